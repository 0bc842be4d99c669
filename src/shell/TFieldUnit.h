// How the editor forms show a fixed-point field: the shown number is the stored value
// times a scale, printed with a number of decimals; a stored value's width limits what
// can be read back.
#pragma once

#include <cstdint>

struct TFieldUnit {
    double scale;
    int decimals;
    int64_t lo;
    int64_t hi;
    bool is_signed;
};

inline constexpr TFieldUnit kFixed16Unit{1.0 / 65536, 4, 0, 0xFFFFFFFFll, false};
inline constexpr TFieldUnit kFixed16SignedUnit{1.0 / 65536, 4, INT32_MIN, INT32_MAX, true};
inline constexpr TFieldUnit kFraction16Unit{1.0 / 65535, 4, 0, 0xFFFF, false};
inline constexpr TFieldUnit kFixed8SignedUnit{1.0 / 256, 3, INT16_MIN, INT16_MAX, true};
inline constexpr TFieldUnit kFixed8Unit{1.0 / 256, 3, 0, 0xFFFF, false};
inline constexpr TFieldUnit kFraction8Unit{1.0 / 255, 3, 0, 0xFF, false};
inline constexpr TFieldUnit kWorldUnitsUnit{1.0 / 512, 3, 0, 0xFFFF, false};
inline constexpr TFieldUnit kWorldUnitsSignedUnit{1.0 / 512, 4, INT16_MIN, INT16_MAX, true};
inline constexpr TFieldUnit kAngleUnit{360.0 / 65536, 2, 0, 0xFFFF, false};
// an angle per tick shown per second (30 ticks a second)
inline constexpr TFieldUnit kAngularRateUnit{360.0 / 65536 * 30, 2, 0, 0xFFFF, false};
// whole numbers, shown as "%ld"
inline constexpr TFieldUnit kInteger16Unit{1.0, -1, INT16_MIN, INT16_MAX, true};
inline constexpr TFieldUnit kUnsigned16Unit{1.0, -1, 0, 0xFFFF, false};
inline constexpr TFieldUnit kInteger32Unit{1.0, -1, INT32_MIN, INT32_MAX, true};
inline constexpr TFieldUnit kUnsigned32Unit{1.0, -1, 0, 0xFFFFFFFFll, false};
inline constexpr TFieldUnit kInteger8Unit{1.0, -1, INT8_MIN, INT8_MAX, true};
inline constexpr TFieldUnit kUnsigned8Unit{1.0, -1, 0, 0xFF, false};
// game ticks (30 a second) shown as seconds
inline constexpr TFieldUnit kTicksAsSecondsUnit{1.0 / 30, 2, INT16_MIN, INT16_MAX, true};
// 32-bit fields: world units and game ticks
inline constexpr TFieldUnit kWorldUnits32Unit{1.0 / 512, 3, INT32_MIN, INT32_MAX, true};
inline constexpr TFieldUnit kTicksAsSeconds32Unit{1.0 / 30, 2, INT32_MIN, INT32_MAX, true};
