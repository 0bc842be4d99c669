#include "texture/texture_pixels.h"

#include <cstring>

#include "texture/jpeg_codec.h"
#include "texture/texture_errors.h"

namespace {

bool Fail(std::string* why, const std::string& reason)
{
    if (why) *why = reason;
    return false;
}

texture_pixels_info InfoOf(const stacked_texture& t)
{
    return {t.format, t.channels, t.width, t.height};
}

uint32_t ColourStreamLength(const uint8_t* data)
{
    return (uint32_t(data[0]) << 16) | (uint32_t(data[1]) << 8) | data[2];
}

} // namespace

bool decode_texture_data(const uint8_t* data, size_t size, const texture_pixels_info& info,
                         const texture_decode_options& options, texture_image& out, std::string* why)
{
    out = texture_image{};
    if (uint64_t(info.width) * info.height > MAXIMUM_TEXTURE_PIXELS)
        return Fail(why, "the texture is too large to decode");
    if (info.format == TEXTURE_FORMAT_RAW) {
        const size_t raw = size_t(info.width) * info.height * info.channels;
        if (size != raw)
            return Fail(why, "the raw data holds " + std::to_string(size) + " bytes, not " + std::to_string(raw));
        out.width = info.width;
        out.height = info.height;
        out.channels = info.channels;
        out.pixels.assign(data, data + size);
        return true;
    }
    if (info.format != TEXTURE_FORMAT_JPEG) return Fail(why, "format " + std::to_string(info.format) + " is unknown");

    jpeg_decode_options stream;
    stream.expected_width = info.width;
    stream.expected_height = info.height;
    stream.requested_width = options.requested_width;
    stream.smooth = options.smooth;
    if (info.channels == 1 || info.channels == 3) {
        stream.channels = info.channels;
        return jpeg_decode(data, size, stream, out, why);
    }
    if (info.channels != 4)
        return Fail(why, "a " + std::to_string(info.channels) + "-channel texture cannot hold JPEG data");
    if (size < 3) return Fail(why, "the JPEG data is too short");
    const uint32_t length = ColourStreamLength(data);
    if (uint64_t(length) + 3 > size) return Fail(why, "the colour stream runs past the end of the data");
    texture_image colour, alpha;
    stream.channels = 3;
    if (!jpeg_decode(data + 3, length, stream, colour, why)) return false;
    stream.channels = 1;
    if (!jpeg_decode(data + 3 + length, size - 3 - length, stream, alpha, why)) return false;
    if (alpha.width != colour.width || alpha.height != colour.height)
        return Fail(why, "the colour and alpha streams differ in size");
    out.width = colour.width;
    out.height = colour.height;
    out.channels = 4;
    out.pixels.resize(out.size());
    const size_t n = size_t(out.width) * out.height;
    for (size_t i = 0; i < n; ++i) {
        std::memcpy(&out.pixels[4 * i], &colour.pixels[3 * i], 3);
        out.pixels[4 * i + 3] = alpha.pixels[i];
    }
    return true;
}

bool decode_texture(const stacked_texture& t, const texture_decode_options& options, texture_image& out,
                    std::string* why)
{
    return decode_texture_data(t.compressed_data.data(), t.compressed_data.size(), InfoOf(t), options, out, why);
}

bool decode_texture_data_into(const uint8_t* data, size_t size, const texture_pixels_info& info, bool smooth,
                              uint8_t* pixels, std::string* why)
{
    if (uint64_t(info.width) * info.height > MAXIMUM_TEXTURE_PIXELS)
        return Fail(why, "the texture is too large to decode");
    const size_t raw = size_t(info.width) * info.height * info.channels;
    if (info.format == TEXTURE_FORMAT_RAW) {
        if (size != raw)
            return Fail(why, "the raw data holds " + std::to_string(size) + " bytes, not " + std::to_string(raw));
        std::memcpy(pixels, data, size);
        return true;
    }
    if (info.format == TEXTURE_FORMAT_JPEG && (info.channels == 1 || info.channels == 3)) {
        jpeg_decode_options stream;
        stream.channels = info.channels;
        stream.expected_width = info.width;
        stream.expected_height = info.height;
        stream.smooth = smooth;
        return jpeg_decode_into(data, size, stream, pixels, raw, why);
    }
    texture_image image;
    if (!decode_texture_data(data, size, info, {0, smooth}, image, why)) return false;
    std::memcpy(pixels, image.pixels.data(), raw);
    return true;
}

void texture_decode_failed(uint32_t width, uint32_t height, const std::string& why)
{
    texture_read_error("A " + std::to_string(width) + " x " + std::to_string(height) + " texture cannot be decoded: " +
                       why + ".");
}

texture_image decode_texture_or_fail(const stacked_texture& t, bool smooth)
{
    texture_image image;
    std::string why;
    if (!decode_texture(t, {0, smooth}, image, &why)) texture_decode_failed(t.width, t.height, why);
    return image;
}

bool texture_channels_compress(uint32_t channels)
{
    return channels == 1 || channels == 3 || channels == 4;
}

std::vector<uint8_t> encode_texture_jpeg(const texture_image& image, int quality)
{
    return encode_texture_jpeg(image.pixels.data(), image.width, image.height, image.channels, quality);
}

std::vector<uint8_t> encode_texture_jpeg(const uint8_t* pixels, uint32_t width, uint32_t height, uint32_t channels,
                                         int quality)
{
    if (channels != 4) return jpeg_encode(pixels, width, height, channels, quality);
    const size_t n = size_t(width) * height;
    std::vector<uint8_t> colour(n * 3), alpha(n);
    for (size_t i = 0; i < n; ++i) {
        std::memcpy(&colour[3 * i], &pixels[4 * i], 3);
        alpha[i] = pixels[4 * i + 3];
    }
    std::vector<uint8_t> colour_stream = jpeg_encode(colour.data(), width, height, 3, quality);
    std::vector<uint8_t> alpha_stream = jpeg_encode(alpha.data(), width, height, 1, quality);
    if (colour_stream.size() > 0xFFFFFF) texture_read_error("The colour stream is too large for the 4-channel layout.");
    std::vector<uint8_t> out;
    out.reserve(3 + colour_stream.size() + alpha_stream.size());
    const uint32_t length = uint32_t(colour_stream.size());
    out.push_back(uint8_t(length >> 16));
    out.push_back(uint8_t(length >> 8));
    out.push_back(uint8_t(length));
    out.insert(out.end(), colour_stream.begin(), colour_stream.end());
    out.insert(out.end(), alpha_stream.begin(), alpha_stream.end());
    return out;
}

namespace {

// What recompression gives: the new data and format, or false to keep the old data.
bool Recompressed(const stacked_texture& t, int quality, std::vector<uint8_t>& data, uint8_t& format)
{
    // Raw pixels are encoded where they are.
    texture_image decoded;
    if (t.format != TEXTURE_FORMAT_RAW || t.data_size() != t.raw_size()) decoded = decode_texture_or_fail(t, true);
    const uint8_t* pixels = t.format == TEXTURE_FORMAT_RAW ? t.compressed_data.data() : decoded.pixels.data();
    if (quality >= 1 && quality <= 100 && texture_channels_compress(t.channels)) {
        std::vector<uint8_t> jpeg = encode_texture_jpeg(pixels, t.width, t.height, t.channels, quality);
        if (!jpeg_saves_enough(jpeg.size(), t.data_size())) return false;
        data = std::move(jpeg);
        format = TEXTURE_FORMAT_JPEG;
        return true;
    }
    if (t.format == TEXTURE_FORMAT_RAW) return false;
    data = std::move(decoded.pixels);
    format = TEXTURE_FORMAT_RAW;
    return true;
}

} // namespace

bool jpeg_saves_enough(uint64_t jpeg_size, uint64_t old_size)
{
    return !(jpeg_size * 100 > old_size * 95 && jpeg_size + 1000 > old_size);
}

void recompress_texture(stacked_texture& t, int quality)
{
    std::vector<uint8_t> data;
    uint8_t format = t.format;
    if (!Recompressed(t, quality, data, format)) return;
    t.compressed_data = std::move(data);
    t.format = format;
    t.preview.reset();
}

void set_texture_pixels(stacked_texture& t, const uint8_t* pixels, int quality)
{
    const size_t raw = t.raw_size();
    t.preview.reset();
    if (quality >= 1 && quality <= 100 && texture_channels_compress(t.channels)) {
        std::vector<uint8_t> jpeg = encode_texture_jpeg(pixels, t.width, t.height, t.channels, quality);
        if (jpeg_saves_enough(jpeg.size(), raw)) {
            t.compressed_data = std::move(jpeg);
            t.format = TEXTURE_FORMAT_JPEG;
            return;
        }
    }
    t.compressed_data.assign(pixels, pixels + raw);
    t.format = TEXTURE_FORMAT_RAW;
}

uint32_t recompressed_size(const stacked_texture& t, int quality)
{
    std::vector<uint8_t> data;
    uint8_t format = t.format;
    return Recompressed(t, quality, data, format) ? uint32_t(data.size()) : t.data_size();
}

int match_jpeg_quality(const uint8_t* stream, size_t size, uint32_t width, uint32_t height, uint32_t channels)
{
    texture_image image;
    std::string why;
    jpeg_decode_options options;
    options.channels = channels;
    options.expected_width = width;
    options.expected_height = height;
    if (!jpeg_decode(stream, size, options, image, &why))
        texture_read_error("The JPEG stream cannot be decoded: " + why + ".");
    auto size_at = [&](int q) { return uint64_t(jpeg_encode(image.pixels.data(), width, height, channels, q).size()); };
    const uint64_t target = size;
    uint64_t s_lo = size_at(1), s_hi = size_at(100);
    int lo = 1, hi = 100;
    while (hi > lo + 1) {
        int mid = lo + (hi - lo) / 2;
        uint64_t s = size_at(mid);
        if (s >= target) {
            hi = mid;
            s_hi = s;
        }
        if (s <= target) {
            lo = mid;
            s_lo = s;
        }
    }
    return target > (s_hi + s_lo) / 2 ? hi : lo;
}

namespace {

// How many of the halvings down to largest a JPEG's scaled decode can do instead: those
// that halve both sides exactly, at most three (1/8).
uint32_t ScaledHalvings(uint32_t width, uint32_t height, uint32_t largest)
{
    uint32_t k = 0;
    while (k < 3 && (width > largest || height > largest) && width % 2 == 0 && height % 2 == 0) {
        width >>= 1;
        height >>= 1;
        ++k;
    }
    return k;
}

} // namespace

bool make_preview(stacked_texture& t, uint32_t largest)
{
    auto image = std::make_unique<texture_image>();
    texture_decode_options options{0, false};
    if (t.format == TEXTURE_FORMAT_JPEG && largest > 0)
        options.requested_width = t.width >> ScaledHalvings(t.width, t.height, largest);
    if (!decode_texture(t, options, *image) || image->size() == 0) {
        t.preview.reset();
        return false;
    }
    while ((image->width > largest || image->height > largest) && (image->width > 1 || image->height > 1))
        halve_image(*image);
    t.preview = std::move(image);
    return true;
}

stacked_texture* split_rgba(texture_set& set, stacked_texture* t)
{
    uint32_t stack = 0, position = 0;
    if (!t || t->channels != 4 || !find_texture(set, t, &stack, &position)) return nullptr;
    std::vector<uint8_t> colour, alpha;
    const std::vector<uint8_t>& data = t->compressed_data;
    if (t->format == TEXTURE_FORMAT_RAW) {
        const size_t n = size_t(t->width) * t->height;
        if (data.size() != n * 4) texture_read_error("The raw data of the texture does not match its size.");
        colour.resize(n * 3);
        alpha.resize(n);
        for (size_t i = 0; i < n; ++i) {
            std::memcpy(&colour[3 * i], &data[4 * i], 3);
            alpha[i] = data[4 * i + 3];
        }
    } else if (t->format == TEXTURE_FORMAT_JPEG) {
        if (data.size() < 3 || uint64_t(ColourStreamLength(data.data())) + 3 > data.size())
            texture_read_error("The JPEG data of the texture is not in the 4-channel layout.");
        const uint32_t length = ColourStreamLength(data.data());
        colour.assign(data.begin() + 3, data.begin() + 3 + length);
        alpha.assign(data.begin() + 3 + length, data.end());
    } else {
        texture_read_error("A texture of format " + std::to_string(t->format) + " cannot be split.");
    }

    auto mask = std::make_unique<stacked_texture>();
    mask->compressed_data = std::move(alpha);
    mask->channels = 1;
    mask->format = t->format;
    mask->use = TEXTURE_USE_SKIN_MODIFIER;
    mask->layer = t->layer;
    mask->width = t->width;
    mask->height = t->height;
    stacked_texture* made = mask.get();
    t->compressed_data = std::move(colour);
    t->channels = 3;
    t->preview.reset();
    insert_texture(&set, stack, int(position) + 1, std::move(mask));
    return made;
}

stacked_texture* merge_rgb_and_a(texture_set& set, stacked_texture* first, stacked_texture* second)
{
    if (!first || !second || first == second) return nullptr;
    stacked_texture* colour = first->channels == 3 ? first : second;
    stacked_texture* alpha = colour == first ? second : first;
    if (colour->channels != 3 || alpha->channels != 1 || colour->width != alpha->width ||
        colour->height != alpha->height || !find_texture(set, colour, nullptr, nullptr) ||
        !find_texture(set, alpha, nullptr, nullptr))
        return nullptr;

    std::vector<uint8_t> merged;
    if (colour->format == TEXTURE_FORMAT_RAW) {
        const size_t n = size_t(colour->width) * colour->height;
        if (colour->data_size() != n * 3) texture_read_error("The raw data of the colour texture does not match its size.");
        texture_image a = decode_texture_or_fail(*alpha, true);
        merged.resize(n * 4);
        for (size_t i = 0; i < n; ++i) {
            std::memcpy(&merged[4 * i], &colour->compressed_data[3 * i], 3);
            merged[4 * i + 3] = a.pixels[i];
        }
    } else if (colour->format == TEXTURE_FORMAT_JPEG) {
        std::vector<uint8_t> alpha_stream;
        if (alpha->format == TEXTURE_FORMAT_JPEG) {
            alpha_stream = alpha->compressed_data;
        } else {
            texture_image a = decode_texture_or_fail(*alpha, true);
            int quality = match_jpeg_quality(colour->compressed_data.data(), colour->data_size(), colour->width,
                                             colour->height, 3);
            alpha_stream = jpeg_encode(a.pixels.data(), a.width, a.height, 1, quality);
        }
        const uint32_t length = colour->data_size();
        if (length > 0xFFFFFF) texture_read_error("The colour stream is too large for the 4-channel layout.");
        merged.reserve(3 + length + alpha_stream.size());
        merged.push_back(uint8_t(length >> 16));
        merged.push_back(uint8_t(length >> 8));
        merged.push_back(uint8_t(length));
        merged.insert(merged.end(), colour->compressed_data.begin(), colour->compressed_data.end());
        merged.insert(merged.end(), alpha_stream.begin(), alpha_stream.end());
    } else {
        texture_read_error("A texture of format " + std::to_string(colour->format) + " cannot be merged.");
    }
    colour->compressed_data = std::move(merged);
    colour->channels = 4;
    colour->preview.reset();
    remove_texture(set, alpha);
    set.modified = true;
    return colour;
}
