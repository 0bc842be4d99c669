#include "sound/sound_units.h"

#include <cmath>

uint16_t encode_fraction16(double value)
{
    double raw = std::round(value * 65535.0);
    if (!(raw > 0)) return 0;
    if (raw > 65535) return 65535;
    return uint16_t(raw);
}

int16_t encode_fixed8(double value)
{
    if (!std::isfinite(value)) return 0;
    double whole = std::trunc(value);
    double fraction = std::round((value - whole) * 256.0);
    // Out-of-range values keep their low 16 bits, as a 16-bit store would.
    int64_t raw = int64_t(std::fmod(whole, 65536.0)) * 256 + int64_t(fraction);
    return int16_t(uint16_t(uint64_t(raw)));
}

int16_t encode_range_delta(int16_t lower, int16_t upper)
{
    int32_t span = int32_t(upper) - int32_t(lower);
    return int16_t(span == 0 ? 0 : span + 1);
}
