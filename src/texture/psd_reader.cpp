#include "texture/psd_reader.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include <zlib.h>

#include "framework/XGError.h"
#include "framework/XGFile.h"
#include "texture/texture_errors.h"
#include "texture/texture_image.h"

namespace {

constexpr uint32_t kMaximumSide = 30000;
// PackBits needs at least 2 bytes per 128 pixels of a row; deflate expands at most about 1032 times.
constexpr uint64_t kZipExpansion = 1032;

class Cursor {
public:
    Cursor(const uint8_t* bytes, uint64_t position, uint64_t end, const TLayeredImage& image)
        : fBytes(bytes), fPosition(position), fEnd(end), fImage(image)
    {
    }
    uint64_t position() const { return fPosition; }
    uint64_t end() const { return fEnd; }
    uint64_t left() const { return fEnd - fPosition; }
    void need(uint64_t n, const char* what) const;
    void skip(uint64_t n, const char* what)
    {
        need(n, what);
        fPosition += n;
    }
    uint8_t u8(const char* what)
    {
        need(1, what);
        return fBytes[fPosition++];
    }
    uint16_t u16(const char* what)
    {
        need(2, what);
        uint16_t v = uint16_t((fBytes[fPosition] << 8) | fBytes[fPosition + 1]);
        fPosition += 2;
        return v;
    }
    uint32_t u32(const char* what)
    {
        need(4, what);
        const uint8_t* p = &fBytes[fPosition];
        fPosition += 4;
        return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3];
    }
    int32_t i32(const char* what) { return int32_t(u32(what)); }
    psd_rect rect(const char* what)
    {
        psd_rect r;
        r.top = i32(what);
        r.left = i32(what);
        r.bottom = i32(what);
        r.right = i32(what);
        return r;
    }

private:
    const uint8_t* fBytes;
    uint64_t fPosition;
    uint64_t fEnd;
    const TLayeredImage& fImage;
};

const char* ModeName(uint16_t mode)
{
    switch (mode) {
    case 0: return "a bitmap";
    case 1: return "a greyscale";
    case 2: return "an indexed colour";
    case 4: return "a CMYK";
    case 7: return "a multichannel";
    case 8: return "a duotone";
    case 9: return "a Lab colour";
    default: return "an unknown kind of";
    }
}

uint32_t Be32(const uint8_t* p)
{
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3];
}

bool PackBitsRow(const uint8_t* in, size_t in_size, uint8_t* out, size_t width)
{
    size_t i = 0, o = 0;
    while (i < in_size && o < width) {
        int n = int8_t(in[i++]);
        if (n >= 0) {
            size_t count = size_t(n) + 1;
            if (count > in_size - i || count > width - o) return false;
            std::memcpy(out + o, in + i, count);
            i += count;
            o += count;
        } else if (n != -128) {
            size_t count = size_t(1 - n);
            if (i >= in_size || count > width - o) return false;
            std::memset(out + o, in[i++], count);
            o += count;
        }
    }
    return o == width;
}

} // namespace

void Cursor::need(uint64_t n, const char* what) const
{
    if (n > fEnd - fPosition) {
        std::string message = fImage.name() + " is damaged: " + what + " runs past the end of its section.";
        texture_read_error(message);
    }
}

const psd_channel* psd_layer::channel(int16_t id) const
{
    for (const psd_channel& c : channels)
        if (c.id == id) return &c;
    return nullptr;
}

TLayeredImage TLayeredImage::Read(const std::string& path)
{
    XGFile file(path);
    file.Open(XGFile::kRead);
    const uint64_t length = file.GetLength();
    if (length > (uint64_t(1) << 32)) texture_read_error(path + " is too large to import.");
    TLayeredImage image;
    image.fStorage.reserve(length ? length : 1);
    image.fBytes = image.fStorage.data();
    image.fSize = length;
    image.fName = path;
    // Up to the end of the layer and mask section first: a document with layers needs no more.
    uint64_t loaded = std::min<uint64_t>(length, 26);
    for (int section = 0; section < 3 && loaded + 4 <= length; ++section) {
        uint8_t next[4]; // the length of the next section
        file.ReadAt(loaded, next, 4);
        loaded = std::min<uint64_t>(length, loaded + 4 + Be32(next));
    }
    if (loaded) file.ReadAt(0, image.fStorage.data(), size_t(loaded));
    const uint64_t composite = image.ParseLayers();
    if (image.fLayers.empty() && loaded < length)
        file.ReadAt(loaded, image.fStorage.data() + loaded, size_t(length - loaded));
    image.ParseComposite(composite);
    image.CheckChannels();
    return image;
}

TLayeredImage TLayeredImage::Parse(std::vector<uint8_t> bytes, const std::string& name)
{
    TLayeredImage image;
    image.fStorage.reserve(bytes.size() ? bytes.size() : 1);
    std::copy(bytes.begin(), bytes.end(), image.fStorage.data());
    image.fBytes = image.fStorage.data();
    image.fSize = bytes.size();
    image.fName = name;
    image.ParseComposite(image.ParseLayers());
    image.CheckChannels();
    return image;
}

void TLayeredImage::Damaged(const std::string& what) const
{
    texture_read_error(fName + " is damaged: " + what + ".");
}

uint64_t TLayeredImage::ParseLayers()
{
    Cursor file(fBytes, 0, fSize, *this);
    if (fSize < 26 || std::memcmp(fBytes, "8BPS", 4) != 0)
        texture_read_error(fName + " is not a Photoshop file.");
    file.skip(4, "the header");
    const uint16_t version = file.u16("the header");
    if (version == 2) texture_read_error(fName + " is a large document (PSB); only Photoshop files can be imported.");
    if (version != 1) texture_read_error(fName + " is not a Photoshop file (version " + std::to_string(version) + ").");
    file.skip(6, "the header");
    const uint16_t channels = file.u16("the header");
    fHeight = file.u32("the header");
    fWidth = file.u32("the header");
    const uint16_t depth = file.u16("the header");
    const uint16_t mode = file.u16("the header");
    if (depth != 8)
        texture_read_error(fName + " is a " + std::to_string(depth) +
                           "-bit document; only 8-bit RGB or greyscale documents can be imported.");
    if (mode != 3 && mode != 1)
        texture_read_error(fName + " is " + ModeName(mode) +
                           " document; only 8-bit RGB or greyscale documents can be imported.");
    fGreyscale = mode == 1;
    const uint16_t colours = fGreyscale ? 1 : 3;
    if (channels < colours || channels > 56) Damaged("the header gives " + std::to_string(channels) + " channels");
    if (fWidth == 0 || fHeight == 0 || fWidth > kMaximumSide || fHeight > kMaximumSide)
        Damaged("the header gives a size of " + std::to_string(fWidth) + " x " + std::to_string(fHeight));

    file.skip(file.u32("the colour mode data"), "the colour mode data");
    file.skip(file.u32("the image resources"), "the image resources");
    const uint32_t section_length = file.u32("the layer and mask section");
    file.need(section_length, "the layer and mask section");
    Cursor section(fBytes, file.position(), file.position() + section_length, *this);
    file.skip(section_length, "the layer and mask section");

    if (section.left() >= 4) {
        const uint32_t info_length = section.u32("the layer information");
        section.need(info_length, "the layer information");
        Cursor info(fBytes, section.position(), section.position() + info_length, *this);
        if (info.left() >= 2) {
            int32_t count = int16_t(info.u16("the layer count"));
            if (count < 0) count = -count;
            for (int32_t i = 0; i < count; ++i) {
                psd_layer layer;
                layer.bounds = info.rect("a layer record");
                const uint16_t channel_count = info.u16("a layer record");
                if (channel_count > 56) Damaged("a layer lists " + std::to_string(channel_count) + " channels");
                for (uint16_t k = 0; k < channel_count; ++k) {
                    psd_channel c;
                    c.id = int16_t(info.u16("a channel list"));
                    c.length = info.u32("a channel list");
                    layer.channels.push_back(c);
                }
                info.need(4, "a layer record");
                if (std::memcmp(&fBytes[info.position()], "8BIM", 4) != 0 &&
                    std::memcmp(&fBytes[info.position()], "8B64", 4) != 0)
                    Damaged("a layer record lacks its blend mode signature");
                info.skip(12, "a layer record");
                const uint32_t extra_length = info.u32("a layer record");
                info.need(extra_length, "the extra data of a layer");
                Cursor extra(fBytes, info.position(), info.position() + extra_length, *this);
                info.skip(extra_length, "the extra data of a layer");

                const uint32_t mask_length = extra.u32("the layer mask data");
                extra.need(mask_length, "the layer mask data");
                if (mask_length >= 18) {
                    Cursor mask(fBytes, extra.position(), extra.position() + mask_length, *this);
                    layer.has_mask = true;
                    layer.mask_bounds = mask.rect("the layer mask data");
                    layer.mask_default = mask.u8("the layer mask data");
                }
                extra.skip(mask_length, "the layer mask data");
                extra.skip(extra.u32("the blending ranges"), "the blending ranges");
                if (extra.left() > 0) {
                    uint8_t n = extra.u8("the layer name");
                    extra.need(n, "the layer name");
                    layer.name.assign(reinterpret_cast<const char*>(&fBytes[extra.position()]), n);
                }
                fLayers.push_back(std::move(layer));
            }

            for (psd_layer& layer : fLayers) {
                for (psd_rect r : {layer.bounds, layer.mask_bounds})
                    if (r.bottom < r.top || r.right < r.left || int64_t(r.right) - r.left > kMaximumSide ||
                        int64_t(r.bottom) - r.top > kMaximumSide)
                        Damaged("the layer \"" + layer.name + "\" has impossible bounds");
                for (psd_channel& c : layer.channels) {
                    const uint64_t length = c.length;
                    if (c.id == PSD_CHANNEL_LAYER_MASK) {
                        if (!layer.has_mask) Damaged("the layer \"" + layer.name + "\" has a mask channel but no mask");
                        c.bounds = layer.mask_bounds;
                    } else {
                        c.bounds = layer.bounds;
                    }
                    info.need(length, "the channel data");
                    const uint64_t start = info.position();
                    info.skip(length, "the channel data");
                    if (length == 0) {
                        if (!c.bounds.empty()) Damaged("a channel of the layer \"" + layer.name + "\" has no data");
                        c.length = 0;
                        c.data = start;
                        continue;
                    }
                    if (length < 2) Damaged("a channel of the layer \"" + layer.name + "\" is cut short");
                    c.compression = uint16_t((fBytes[start] << 8) | fBytes[start + 1]);
                    c.data = start + 2;
                    c.length = length - 2;
                }
            }
        }
    }

    return file.position();
}

void TLayeredImage::ParseComposite(uint64_t at)
{
    if (fLayers.empty()) {
        const uint16_t colours = fGreyscale ? 1 : 3;
        const uint16_t channels = uint16_t((fBytes[12] << 8) | fBytes[13]);
        Cursor data(fBytes, at, fSize, *this);
        const uint16_t compression = data.u16("the image data");
        psd_layer layer;
        layer.name = "composite";
        layer.bounds = {0, 0, int32_t(fHeight), int32_t(fWidth)};
        const uint64_t area = uint64_t(fWidth) * fHeight;
        if (compression == 0) {
            data.need(area * colours, "the image data");
            for (int16_t k = 0; k < int16_t(colours); ++k)
                layer.channels.push_back({k, layer.bounds, 0, 0, data.position() + area * k, area});
        } else if (compression == 1) {
            const uint64_t counts = data.position();
            data.skip(uint64_t(fHeight) * 2 * channels, "the row lengths of the image data");
            uint64_t next = data.position();
            for (int16_t k = 0; k < int16_t(colours); ++k) {
                uint64_t total = 0;
                for (uint32_t r = 0; r < fHeight; ++r) {
                    const uint64_t p = counts + (uint64_t(k) * fHeight + r) * 2;
                    total += uint32_t((fBytes[p] << 8) | fBytes[p + 1]);
                }
                layer.channels.push_back({k, layer.bounds, 1, counts + uint64_t(k) * fHeight * 2, next, total});
                next += total;
            }
            if (next > fSize) Damaged("the image data runs past the end of the file");
        } else {
            Damaged("the image data uses compression " + std::to_string(compression));
        }
        fLayers.push_back(std::move(layer));
    }
}

void TLayeredImage::CheckChannels()
{
    for (psd_layer& layer : fLayers)
        for (psd_channel& c : layer.channels) {
            const uint64_t area = uint64_t(c.bounds.width()) * c.bounds.height();
            if (area == 0) continue;
            if (area > MAXIMUM_TEXTURE_PIXELS) Damaged("a channel of the layer \"" + layer.name + "\" is too large");
            const std::string which = "a channel of the layer \"" + layer.name + "\"";
            switch (c.compression) {
            case 0:
                if (c.length < area) Damaged(which + " is shorter than its bounds");
                break;
            case 1: {
                if (c.counts == 0) {
                    // Row byte counts come first in a layer's channel.
                    c.counts = c.data;
                    if (c.length < uint64_t(c.bounds.height()) * 2) Damaged(which + " lacks its row lengths");
                    c.data += uint64_t(c.bounds.height()) * 2;
                    uint64_t total = 0;
                    for (uint32_t r = 0; r < c.bounds.height(); ++r)
                        total += uint32_t((fBytes[c.counts + 2 * r] << 8) | fBytes[c.counts + 2 * r + 1]);
                    if (total > c.length - uint64_t(c.bounds.height()) * 2) Damaged(which + " has rows past its end");
                    c.length = total;
                }
                const uint64_t least = uint64_t(c.bounds.height()) * 2 * ((c.bounds.width() + 127) / 128);
                if (c.length < least) Damaged(which + " is too short for its bounds");
                break;
            }
            case 2:
            case 3:
                if (c.length * kZipExpansion < area) Damaged(which + " is too short for its bounds");
                break;
            default:
                Damaged(which + " uses compression " + std::to_string(c.compression));
            }
        }
    if (fGreyscale) GreyAsColour();
}

void TLayeredImage::GreyAsColour()
{
    for (psd_layer& layer : fLayers) {
        // channels 1 and 2 of a greyscale layer are not colours
        std::erase_if(layer.channels, [](const psd_channel& c) { return c.id == 1 || c.id == 2; });
        const psd_channel* grey = layer.channel(0);
        if (!grey) continue;
        psd_channel copy = *grey;
        for (int16_t id : {int16_t(1), int16_t(2)}) {
            copy.id = id;
            layer.channels.push_back(copy);
        }
    }
}

std::vector<uint8_t> TLayeredImage::channel_pixels(const psd_channel& c) const
{
    std::vector<uint8_t> out(size_t(c.bounds.width()) * c.bounds.height());
    if (!out.empty()) decode_channel(c, out.data());
    return out;
}

void TLayeredImage::decode_channel(const psd_channel& c, uint8_t* out) const
{
    const uint32_t width = c.bounds.width(), height = c.bounds.height();
    const size_t area = size_t(width) * height;
    if (area == 0) return;
    const uint8_t* data = fBytes + c.data;
    switch (c.compression) {
    case 0:
        std::memcpy(out, data, area);
        break;
    case 1: {
        uint64_t at = 0;
        for (uint32_t r = 0; r < height; ++r) {
            const uint8_t* count = fBytes + c.counts + 2 * uint64_t(r);
            const uint32_t n = uint32_t((count[0] << 8) | count[1]);
            if (n > c.length - at || !PackBitsRow(data + at, n, out + size_t(r) * width, width))
                Damaged("row " + std::to_string(r) + " of a PackBits channel does not decode");
            at += n;
        }
        break;
    }
    case 2:
    case 3: {
        uLongf produced = uLongf(area);
        int result = uncompress(out, &produced, data, uLong(c.length));
        if (result != Z_OK || produced != area) Damaged("a ZIP channel does not decode");
        if (c.compression == 3)
            for (uint32_t r = 0; r < height; ++r) {
                uint8_t* row = out + size_t(r) * width;
                for (uint32_t x = 1; x < width; ++x) row[x] = uint8_t(row[x] + row[x - 1]);
            }
        break;
    }
    default:
        Damaged("a channel uses compression " + std::to_string(c.compression));
    }
}
