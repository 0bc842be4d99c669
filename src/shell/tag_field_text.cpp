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

bool field_text_parse(std::string_view text, double& value)
{
    value = 0.0;
    size_t start = text.find_first_not_of(" \t\r\n");
    if (start == std::string_view::npos) return true;
    size_t end = text.find_last_not_of(" \t\r\n") + 1;
    std::string_view number = text.substr(start, end - start);
    if (number[0] == '+') number.remove_prefix(1);
    if (number.empty()) return false;
    double parsed = 0.0;
    auto [stop, error] = std::from_chars(number.data(), number.data() + number.size(), parsed,
                                         std::chars_format::general);
    // a number too large for a double is still a number: the field limits it
    if (error == std::errc::result_out_of_range && stop == number.data() + number.size()) {
        value = number[0] == '-' ? -HUGE_VAL : HUGE_VAL;
        return true;
    }
    if (error != std::errc() || stop != number.data() + number.size() || !std::isfinite(parsed)) return false;
    value = parsed;
    return true;
}

double field_text_number(std::string_view text)
{
    double value = 0.0;
    return field_text_parse(text, value) ? value : 0.0;
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
