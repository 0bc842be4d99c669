// Layered image files assembled byte by byte in the tests, independently of the
// program's writer: each channel's bytes are given as stored (compression field first).
#pragma once

#include <string>
#include <vector>

#include "support/test_support.h"

struct psd_bytes_channel {
    int16_t id;
    bytes stored; // compression field, then data
};
struct psd_bytes_layer {
    int32_t top, left, bottom, right;
    std::vector<psd_bytes_channel> channels;
    bool mask = false;
    int32_t mask_top = 0, mask_left = 0, mask_bottom = 0, mask_right = 0;
    std::string name = "layer";
};

bytes psd_document(uint32_t width, uint32_t height, const std::vector<psd_bytes_layer>& layers, uint16_t depth = 8,
                   uint16_t mode = 3);
// Stored channels: raw; PackBits rows given already packed; ZIP (2) or ZIP with prediction (3).
bytes psd_raw(const bytes& pixels);
bytes psd_packbits(const std::vector<bytes>& packed_rows);
bytes psd_zip(const bytes& pixels, uint32_t width, bool predict);
