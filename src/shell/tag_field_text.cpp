#include "shell/tag_field_text.h"

#include <charconv>
#include <cmath>

#include "tags/tag_code.h"
#include "tags/tag_units.h"

std::string field_number_text(double value, int decimals)
{
    std::string text = format_trimmed(value, decimals);
    if (!text.empty() && text[0] == '-' && text.find_first_not_of("-0.") == std::string::npos) text.erase(0, 1);
    return text;
}

double field_text_number(std::string_view text)
{
    size_t start = text.find_first_not_of(" \t\r\n");
    if (start == std::string_view::npos) return 0.0;
    size_t end = text.find_last_not_of(" \t\r\n") + 1;
    std::string_view number = text.substr(start, end - start);
    if (number[0] == '+') number.remove_prefix(1);
    if (number.empty()) return 0.0;
    double value = 0.0;
    auto [stop, error] = std::from_chars(number.data(), number.data() + number.size(), value,
                                         std::chars_format::general);
    if (error != std::errc() || stop != number.data() + number.size() || !std::isfinite(value)) return 0.0;
    return value;
}

int64_t field_limit(double value, int64_t lo, int64_t hi)
{
    if (std::isnan(value)) value = 0.0;
    double rounded = std::round(value);
    if (rounded <= double(lo)) return lo;
    if (rounded >= double(hi)) return hi;
    return int64_t(rounded);
}

bool tag_id_shows_blank(uint32_t id)
{
    return tag_code_to_text(id) == "____";
}
