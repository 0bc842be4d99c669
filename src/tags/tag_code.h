// Tag codes: four characters in a 32-bit value, first character most significant.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "framework/XGCode.h"

using tag_code = uint32_t;

constexpr tag_code NONE_TAG = 0xFFFFFFFF;

// An id of 0 or -1 in a reference means no tag.
constexpr bool tag_id_is_none(tag_code id)
{
    return id == 0 || id == NONE_TAG;
}

// The four characters; anything not a letter, digit, punctuation or blank shows as '_',
// and a zero byte and everything after it show as '_'.
std::string tag_code_to_text(tag_code code);

// The first four characters (below 32 or from 128 up become '_', a short text is
// padded with '_'); "____" means no code and yields -1.
tag_code text_to_tag_code(std::string_view text);

// Big-endian access to stored bytes.
inline uint32_t read_be32(const uint8_t* p)
{
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | uint32_t(p[3]);
}
inline uint16_t read_be16(const uint8_t* p)
{
    return uint16_t((p[0] << 8) | p[1]);
}
inline void write_be32(uint8_t* p, uint32_t v)
{
    p[0] = uint8_t(v >> 24);
    p[1] = uint8_t(v >> 16);
    p[2] = uint8_t(v >> 8);
    p[3] = uint8_t(v);
}
inline void write_be16(uint8_t* p, uint16_t v)
{
    p[0] = uint8_t(v >> 8);
    p[1] = uint8_t(v);
}
