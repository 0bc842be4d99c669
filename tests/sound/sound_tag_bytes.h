// Sound tag data assembled by hand, field by field, independently of the writer.
#pragma once

#include <string>
#include <vector>

#include "support/tag_file_bytes.h"

struct test_permutation {
    std::string name;
    uint16_t skip = 0;
    uint32_t flags = 1; // compressed
    uint16_t bits = 16;
    uint16_t shift = 1;
    uint16_t channels = 1;
    uint32_t rate = 22050u << 16;
    uint32_t count = 0;
    bytes data;
    uint16_t first_word = 0;
    uint8_t kept[2] = {0, 0};      // permutation record bytes 4 and 5
    uint8_t header_kept[2] = {0, 0}; // header bytes 10 and 11
};

struct test_sound {
    uint32_t flags = 0;
    uint16_t fields[8] = {0, 0, 0x100, 0x100, 0, 0x100, 0, 0}; // loudness .. subtitle_index
    uint32_t subtitles = 0xFFFFFFFF;
    uint8_t kept32[4] = {0xFF, 0xFF, 0, 0};
    uint8_t kept52[8] = {};
    std::vector<test_permutation> permutations;
};

bytes sound_tag_bytes(const test_sound& sound);
// Compressed permutations whose packets carry recognisable bytes.
test_permutation packet_permutation(const std::string& name, uint16_t channels, uint32_t packets, uint8_t seed);
