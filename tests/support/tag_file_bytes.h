// Tag file bytes assembled by hand, independently of the program's writer.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "support/test_support.h"

struct test_tag {
    std::string type;
    std::string id;
    std::string name;
    int16_t version = 1;
    bytes data;
};

// A multi-tag file listing the tags in the order given, data packed after the headers.
// entry_points are appended raw (112 bytes each).
bytes build_multi_tag_file(const std::vector<test_tag>& tags, int16_t kind = 1, int16_t header_word = 0,
                           const std::string& name = "test", const std::vector<bytes>& entry_points = {});
bytes build_single_tag_file(const test_tag& tag);

// CRC-32, reflected 0xEDB88320, one bit at a time, from 0xFFFFFFFF, no final inversion.
uint32_t reference_checksum(const uint8_t* data, size_t size, uint32_t crc = 0xFFFFFFFF);

uint32_t be32(const bytes& b, size_t offset);
uint16_t be16(const bytes& b, size_t offset);
void put_be32(bytes& b, size_t offset, uint32_t v);
void put_be16(bytes& b, size_t offset, uint16_t v);
uint32_t code(const std::string& four);
