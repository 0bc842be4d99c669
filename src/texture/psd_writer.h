// Writes layered Photoshop documents (8-bit RGB): the sample data and the benchmarks
// make their layered images with it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "texture/psd_reader.h"

struct psd_layer_source {
    std::string name;
    psd_rect bounds;
    std::vector<uint8_t> red, green, blue; // at the bounds; all three empty for a layer without colour
    std::vector<uint8_t> transparency;     // at the bounds; empty for none
    bool has_mask = false;
    psd_rect mask_bounds;
    std::vector<uint8_t> mask; // at the mask bounds
};

// The whole file. Channels are PackBits-compressed with rle set, raw otherwise; the
// composite image is the first layer's colour.
std::vector<uint8_t> write_layered_image(uint32_t width, uint32_t height, const std::vector<psd_layer_source>& layers,
                                         bool rle);

// PackBits, one row.
void packbits_row(const uint8_t* row, size_t width, std::vector<uint8_t>& out);
