// Four-character codes: message codes, class codes, resource types.
#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>

using XGCode = uint32_t;

// "cclk"_4cc: the four characters, first one in the most significant byte.
constexpr XGCode operator""_4cc(const char* s, std::size_t n)
{
    if (n != 4) throw std::logic_error("a four-character code needs four characters");
    return (XGCode(uint8_t(s[0])) << 24) | (XGCode(uint8_t(s[1])) << 16) |
           (XGCode(uint8_t(s[2])) << 8) | XGCode(uint8_t(s[3]));
}

// The code as four characters; a character that is not printable shows as '_',
// and a zero byte ends the text (the rest shows as '_').
std::string XGCodeToText(XGCode code);
