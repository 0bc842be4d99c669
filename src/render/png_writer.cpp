#include "render/png_writer.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <memory>

#include "framework/XGError.h"
#include "framework/XGReplaceFile.h"

namespace {

int color_type(uint32_t channels)
{
    switch (channels) {
    case 1: return PNG_COLOR_TYPE_GRAY;
    case 2: return PNG_COLOR_TYPE_GRAY_ALPHA;
    case 3: return PNG_COLOR_TYPE_RGB;
    case 4: return PNG_COLOR_TYPE_RGBA;
    default: return -1;
    }
}

void append(png_structp png, png_bytep data, png_size_t length)
{
    auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

void no_flush(png_structp) {}

void error_text(png_structp png, png_const_charp message)
{
    auto* why = static_cast<std::string*>(png_get_error_ptr(png));
    if (why) *why = message;
    png_longjmp(png, 1);
}

void no_warning(png_structp, png_const_charp) {}

// The libpng calls, kept apart from objects with destructors because of longjmp.
bool encode_rows(png_structp png, png_infop info, const texture_image& image, png_bytep* rows)
{
    if (setjmp(png_jmpbuf(png))) return false;
    png_set_IHDR(png, info, image.width, image.height, 8, color_type(image.channels), PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_compression_level(png, 6);
    png_write_info(png, info);
    png_write_image(png, rows);
    png_write_end(png, info);
    return true;
}

bool decode_rows(png_structp png, png_infop info, FILE* file, texture_image& out)
{
    if (setjmp(png_jmpbuf(png))) return false;
    png_init_io(png, file);
    png_read_info(png, info);
    png_set_expand(png);
    png_set_strip_16(png);
    png_read_update_info(png, info);
    out.width = png_get_image_width(png, info);
    out.height = png_get_image_height(png, info);
    out.channels = png_get_channels(png, info);
    if (uint64_t(out.width) * out.height > MAXIMUM_TEXTURE_PIXELS) png_error(png, "the picture is too large");
    out.pixels.resize(out.size());
    for (uint32_t y = 0; y < out.height; ++y) png_read_row(png, &out.pixels[size_t(y) * out.width * out.channels], nullptr);
    png_read_end(png, nullptr);
    return true;
}

} // namespace

bool encode_png(const texture_image& image, std::vector<uint8_t>& out, std::string* why)
{
    std::string reason;
    if (image.width == 0 || image.height == 0 || color_type(image.channels) < 0 || image.pixels.size() != image.size()) {
        if (why) *why = "the picture has no pixels of a known layout";
        return false;
    }
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &reason, error_text, no_warning);
    if (!png) {
        if (why) *why = "libpng cannot start";
        return false;
    }
    png_infop info = png_create_info_struct(png);
    std::vector<png_bytep> rows(image.height);
    for (uint32_t y = 0; y < image.height; ++y)
        rows[y] = const_cast<png_bytep>(&image.pixels[size_t(y) * image.width * image.channels]);
    out.clear();
    png_set_write_fn(png, &out, append, no_flush);
    bool done = info && encode_rows(png, info, image, rows.data());
    png_destroy_write_struct(&png, info ? &info : nullptr);
    if (!done) {
        out.clear();
        if (why) *why = reason.empty() ? "libpng failed" : reason;
    }
    return done;
}

void write_png_file(const std::string& path, const texture_image& image)
{
    std::vector<uint8_t> bytes;
    std::string why;
    if (!encode_png(image, bytes, &why)) throw XGError(kXGError, "File Write Error", path + ": " + why);
    XGReplaceFile(path, bytes.data(), bytes.size());
}

bool read_png_file(const std::string& path, texture_image& out, std::string* why)
{
    std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "rb"), std::fclose);
    if (!file) {
        if (why) *why = "cannot open " + path;
        return false;
    }
    std::string reason;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &reason, error_text, no_warning);
    if (!png) {
        if (why) *why = "libpng cannot start";
        return false;
    }
    png_infop info = png_create_info_struct(png);
    bool done = info && decode_rows(png, info, file.get(), out);
    png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
    if (!done) {
        out = texture_image();
        if (why) *why = path + ": " + (reason.empty() ? "not a PNG picture" : reason);
    }
    return done;
}
