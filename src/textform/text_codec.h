// Byte strings in text: base64, hex, and single-byte text (tag names and codes, where
// every byte is the character of the same number) as UTF-8.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tags/tag_code.h"

std::string base64_encode(const uint8_t* data, size_t size);
// None for text that is not canonical base64 (padded, no blanks).
std::optional<std::vector<uint8_t>> base64_decode(std::string_view text);

std::string hex_encode(const uint8_t* data, size_t size); // lower case
// None unless text is exactly 2 × size hex digits (either case).
bool hex_decode(std::string_view text, uint8_t* out, size_t size);

// Each byte as the character of the same number, in UTF-8.
std::string latin1_to_utf8(std::string_view bytes);
// None when text is not UTF-8 or holds a character above 255.
std::optional<std::string> utf8_to_latin1(std::string_view text);

// A code's four bytes as four characters.
std::string code_to_utf8(tag_code code);
// None unless text is four characters, none above 255.
std::optional<tag_code> utf8_to_code(std::string_view text);

// Text for one line: backslash, tab, line breaks and other control characters escaped
// (\\, \t, \n, \r, \xNN); other bytes kept, or read as Latin-1 and written in UTF-8.
std::string escape_for_line(std::string_view text, bool from_latin1);
// A tag's name for one line of text: backslash, tab, line breaks and other control
// characters escaped (\\, \t, \n, \r, \xNN), other characters in UTF-8.
std::string tag_name_for_line(std::string_view name);
