#include "tags/tag_units.h"

#include <charconv>
#include <cmath>

namespace {

constexpr double kCut = 1099511627776.0; // 2^40

int64_t Rounded(double x)
{
    if (std::isnan(x)) return 0;
    if (x >= kCut) return int64_t(kCut);
    if (x <= -kCut) return -int64_t(kCut);
    return int64_t(std::round(x));
}

int16_t Keep16(int64_t raw)
{
    return int16_t(uint16_t(uint64_t(raw)));
}

uint16_t EncodeFraction(double value, double scale)
{
    double raw = std::round(value * scale);
    if (!(raw > 0)) return 0;
    if (raw > scale) return uint16_t(scale);
    return uint16_t(raw);
}

} // namespace

uint16_t encode_fraction16(double value)
{
    return EncodeFraction(value, 65535.0);
}

uint8_t encode_fraction8(double value)
{
    return uint8_t(EncodeFraction(value, 255.0));
}

int64_t fixed8_raw(double value)
{
    if (std::isnan(value)) return 0;
    if (std::fabs(value) >= kCut / 256) return value > 0 ? int64_t(kCut) : -int64_t(kCut);
    double whole = std::trunc(value);
    return int64_t(whole) * 256 + Rounded((value - whole) * 256.0);
}

int64_t world_distance_raw(double value)
{
    return Rounded(value * 512.0);
}

int64_t angle16_raw(double degrees)
{
    double raw = std::floor(degrees * 65536.0 / 360.0 + 0.5);
    return Rounded(raw);
}

int16_t encode_fixed8(double value)
{
    return Keep16(fixed8_raw(value));
}

int16_t encode_world_distance(double value)
{
    return Keep16(world_distance_raw(value));
}

uint16_t encode_angle16(double degrees)
{
    return uint16_t(Keep16(angle16_raw(degrees)));
}

int16_t range_delta(int16_t lower, int16_t upper)
{
    int32_t span = int32_t(upper) - int32_t(lower);
    return Keep16(span == 0 ? 0 : span + 1);
}

int32_t range_upper_bound(int16_t lower, int16_t delta)
{
    return delta == 0 ? lower : int32_t(lower) + delta - 1;
}

std::string format_decimal(double value, int digits)
{
    char text[400];
    auto [end, error] = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, digits);
    if (error != std::errc()) return std::isnan(value) ? "nan" : value < 0 ? "-inf" : "inf";
    return std::string(text, end);
}

std::string format_trimmed(double value, int digits)
{
    std::string text = format_decimal(value, digits);
    if (text.find('.') == std::string::npos) return text;
    while (text.size() >= 2 && text.back() == '0' && text[text.size() - 2] != '.') text.pop_back();
    return text;
}
