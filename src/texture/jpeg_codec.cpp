// libjpeg reports failures through longjmp; the functions that call it hold only plain
// data, and every C++ object they fill is owned by their callers.
#include "texture/jpeg_codec.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>

#include <jpeglib.h>

#include "texture/texture_errors.h"

namespace {

struct JpegFailure {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

void ErrorExit(j_common_ptr info)
{
    JpegFailure* failure = reinterpret_cast<JpegFailure*>(info->err);
    (*info->err->format_message)(info, failure->message);
    std::longjmp(failure->jump, 1);
}

// Warnings (level -1) mean corrupt data: they fail the operation too.
void EmitMessage(j_common_ptr info, int level)
{
    if (level < 0) ErrorExit(info);
}

void OutputMessage(j_common_ptr) {}

jpeg_error_mgr* InstallFailure(JpegFailure& failure)
{
    jpeg_error_mgr* manager = jpeg_std_error(&failure.manager);
    manager->error_exit = ErrorExit;
    manager->emit_message = EmitMessage;
    manager->output_message = OutputMessage;
    failure.message[0] = 0;
    return manager;
}

bool EncodeStream(const uint8_t* pixels, uint32_t width, uint32_t height, uint32_t channels, int quality,
                  unsigned char** buffer, unsigned long* size, char* message)
{
    jpeg_compress_struct info;
    JpegFailure failure;
    info.err = InstallFailure(failure);
    if (setjmp(failure.jump)) {
        jpeg_destroy_compress(&info);
        std::snprintf(message, JMSG_LENGTH_MAX, "%s", failure.message);
        return false;
    }
    jpeg_create_compress(&info);
    jpeg_mem_dest(&info, buffer, size);
    info.image_width = width;
    info.image_height = height;
    info.input_components = int(channels);
    info.in_color_space = channels == 1 ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    jpeg_start_compress(&info, TRUE);
    const size_t stride = size_t(width) * channels;
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(pixels + size_t(info.next_scanline) * stride);
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return true;
}

using Allocate = uint8_t* (*)(void* context, uint32_t width, uint32_t height);

bool DecodeStream(const uint8_t* data, size_t size, const jpeg_decode_options& options, Allocate allocate,
                  void* context, char* message)
{
    jpeg_decompress_struct info;
    JpegFailure failure;
    info.err = InstallFailure(failure);
    if (setjmp(failure.jump)) {
        jpeg_destroy_decompress(&info);
        std::snprintf(message, JMSG_LENGTH_MAX, "%s", failure.message);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, data, (unsigned long)size);
    jpeg_read_header(&info, TRUE);
    if ((options.expected_width && info.image_width != options.expected_width) ||
        (options.expected_height && info.image_height != options.expected_height)) {
        std::snprintf(message, JMSG_LENGTH_MAX, "the JPEG image is %ux%u, not %ux%u", info.image_width,
                      info.image_height, options.expected_width, options.expected_height);
        jpeg_destroy_decompress(&info);
        return false;
    }
    info.out_color_space = options.channels == 1 ? JCS_GRAYSCALE : JCS_RGB;
    info.dct_method = JDCT_IFAST;
    info.do_fancy_upsampling = options.smooth ? TRUE : FALSE;
    info.scale_num = 1;
    info.scale_denom = 1;
    if (options.requested_width > 0 && options.requested_width < info.image_width)
        info.scale_denom = info.image_width / options.requested_width;
    jpeg_calc_output_dimensions(&info);
    if (uint32_t(info.output_components) != options.channels ||
        uint64_t(info.output_width) * info.output_height > MAXIMUM_TEXTURE_PIXELS) {
        std::snprintf(message, JMSG_LENGTH_MAX, "the image is %ux%u with %d channels", info.output_width,
                      info.output_height, info.output_components);
        jpeg_destroy_decompress(&info);
        return false;
    }
    uint8_t* pixels = allocate(context, info.output_width, info.output_height);
    if (!pixels) {
        std::snprintf(message, JMSG_LENGTH_MAX, "the image is %ux%u with %d channels, which does not fit its buffer",
                      info.output_width, info.output_height, info.output_components);
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_start_decompress(&info);
    const size_t stride = size_t(info.output_width) * options.channels;
    // Several rows a call: the library then writes subsampled colour straight into them
    // rather than through its spare row.
    JSAMPROW rows[16];
    while (info.output_scanline < info.output_height) {
        const JDIMENSION count = std::min<JDIMENSION>(16, info.output_height - info.output_scanline);
        for (JDIMENSION i = 0; i < count; ++i) rows[i] = pixels + size_t(info.output_scanline + i) * stride;
        jpeg_read_scanlines(&info, rows, count);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}

uint8_t* AllocateImage(void* context, uint32_t width, uint32_t height)
{
    texture_image* image = static_cast<texture_image*>(context);
    image->width = width;
    image->height = height;
    image->pixels.resize(image->size());
    return image->pixels.data();
}

struct FixedBuffer {
    uint8_t* pixels;
    size_t capacity;
    uint32_t channels;
};

uint8_t* UseFixedBuffer(void* context, uint32_t width, uint32_t height)
{
    const FixedBuffer* buffer = static_cast<const FixedBuffer*>(context);
    return size_t(width) * height * buffer->channels == buffer->capacity ? buffer->pixels : nullptr;
}

bool CheckDecodeArguments(const uint8_t* data, size_t size, const jpeg_decode_options& options, std::string* why)
{
    if (options.channels != 1 && options.channels != 3) {
        if (why) *why = "only 1 and 3 channel streams are decoded";
        return false;
    }
    if (!data || size == 0) {
        if (why) *why = "there is no JPEG data";
        return false;
    }
    return true;
}

} // namespace

std::vector<uint8_t> jpeg_encode(const uint8_t* pixels, uint32_t width, uint32_t height, uint32_t channels,
                                 int quality)
{
    if ((channels != 1 && channels != 3) || width == 0 || height == 0 || width > 65500 || height > 65500)
        texture_read_error("A " + std::to_string(width) + " x " + std::to_string(height) + " image of " +
                           std::to_string(channels) + " channels cannot be stored as JPEG.");
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    char message[JMSG_LENGTH_MAX];
    bool done = EncodeStream(pixels, width, height, channels, quality, &buffer, &size, message);
    std::vector<uint8_t> out;
    if (done) out.assign(buffer, buffer + size);
    std::free(buffer);
    if (!done) texture_read_error(std::string("JPEG compression failed: ") + message);
    return out;
}

bool jpeg_decode(const uint8_t* data, size_t size, const jpeg_decode_options& options, texture_image& out,
                 std::string* why)
{
    char message[JMSG_LENGTH_MAX];
    out = texture_image{};
    out.channels = options.channels;
    if (!CheckDecodeArguments(data, size, options, why)) return false;
    if (DecodeStream(data, size, options, AllocateImage, &out, message)) return true;
    if (why) *why = message;
    out = texture_image{};
    return false;
}

bool jpeg_decode_into(const uint8_t* data, size_t size, const jpeg_decode_options& options, uint8_t* pixels,
                      size_t capacity, std::string* why)
{
    if (!CheckDecodeArguments(data, size, options, why)) return false;
    char message[JMSG_LENGTH_MAX];
    FixedBuffer buffer{pixels, capacity, options.channels};
    if (DecodeStream(data, size, options, UseFixedBuffer, &buffer, message)) return true;
    if (why) *why = message;
    return false;
}
