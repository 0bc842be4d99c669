// Decoded pixels: rows from the top, channels interleaved.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Larger images are refused rather than decoded.
constexpr uint64_t MAXIMUM_TEXTURE_PIXELS = uint64_t(1) << 26;

struct texture_image {
    uint32_t width = 0;
    uint32_t height = 0;
    uint32_t channels = 0;
    std::vector<uint8_t> pixels;

    size_t size() const { return size_t(width) * height * channels; }
};

// Halves the image in place: 2 x 2 blocks become (a + b + c + d + 2) >> 2; when only one
// side is at least 2, pairs along it become (a + b + 1) >> 1. Nothing happens to a 1 x 1
// or an empty image.
void halve_image(texture_image& image);
