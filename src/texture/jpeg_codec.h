// JPEG streams of one (greyscale) or three (RGB) channels through libjpeg.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "texture/texture_image.h"

// Encodes width x height pixels of 1 or 3 channels, top row first, at quality 1..100.
// Raises an error when libjpeg fails.
std::vector<uint8_t> jpeg_encode(const uint8_t* pixels, uint32_t width, uint32_t height, uint32_t channels,
                                 int quality);

struct jpeg_decode_options {
    uint32_t channels = 3;        // 1 or 3: the layout asked for
    uint32_t expected_width = 0;  // the stream's own size must be this; 0 for any
    uint32_t expected_height = 0;
    uint32_t requested_width = 0; // the scale denominator is the stream's width / this; 0 for full size
    bool smooth = true;           // the library's fancy upsampling
};

// Decodes one stream with the fast integer transform. A stream that libjpeg rejects or
// warns about (corrupt or truncated data) fails with the library's reason in why.
bool jpeg_decode(const uint8_t* data, size_t size, const jpeg_decode_options& options, texture_image& out,
                 std::string* why = nullptr);
// The same into pixels, which must hold exactly the decoded image (width x height x
// channels bytes); a stream of any other size fails.
bool jpeg_decode_into(const uint8_t* data, size_t size, const jpeg_decode_options& options, uint8_t* pixels,
                      size_t capacity, std::string* why = nullptr);
