// The text of the editor forms' numeric fields: decimals shown trimmed, text read back
// as a number, and the number limited to what the field can hold.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// "%.*f", then trailing zeros removed while the character before them is not the point
// (2.0, 1.5); never "-0.0".
std::string field_number_text(double value, int decimals);

// The decimal number the whole text holds (blanks around it allowed); 0 for an empty
// text. False for a text that is not a number (value is then 0).
bool field_text_parse(std::string_view text, double& value);
// The same, 0 for a text that is not a number.
double field_text_number(std::string_view text);

// value rounded to the nearest integer (halves away from zero) and limited to lo..hi;
// NaN gives 0 limited to the range.
int64_t field_limit(double value, int64_t lo, int64_t hi);

// Whether an id shows as "____" (0, -1 and ids of non-printable characters).
bool tag_id_shows_blank(uint32_t id);
