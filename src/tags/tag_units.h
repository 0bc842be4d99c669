// The fixed-point units of tag fields: decimals encoded into them and shown from them,
// and random ranges stored as a lower bound and a delta.
#pragma once

#include <cstdint>
#include <string>

// value × 65535 (× 255), rounded (halves away from zero) and clamped to the unit's range.
uint16_t encode_fraction16(double value);
uint8_t encode_fraction8(double value);

// Raw values before they are kept to 16 bits, so callers can tell whether they fit. NaN
// gives 0; magnitudes far beyond 16 bits are cut to ±2^40.
int64_t fixed8_raw(double value);          // whole and fractional parts converted apart
int64_t world_distance_raw(double value);  // value × 512, rounded
int64_t angle16_raw(double degrees);       // floor(degrees × 65536 / 360 + 0.5)

// The same kept to 16 bits, as a 16-bit store keeps them.
int16_t encode_fixed8(double value);
int16_t encode_world_distance(double value);
uint16_t encode_angle16(double degrees);

inline double fraction16_value(uint16_t raw) { return raw / 65535.0; }
inline double fraction8_value(uint8_t raw) { return raw / 255.0; }
inline double fixed8_value(int32_t raw) { return raw / 256.0; }
inline double world_distance_value(int32_t raw) { return raw / 512.0; }
inline double angle16_degrees(uint32_t raw) { return raw * 360.0 / 65536.0; }

// The stored delta of the range lower..upper (raw values): 0 when they are equal, else
// upper - lower + 1, kept to 16 bits.
int16_t range_delta(int16_t lower, int16_t upper);
// The upper bound a stored range shows: lower + delta - 1, or lower when delta is 0.
int32_t range_upper_bound(int16_t lower, int16_t delta);

// "%.*f" in the C locale, whatever the process locale is.
std::string format_decimal(double value, int digits);
// format_decimal, then trailing zeros removed down to one digit after the point.
std::string format_trimmed(double value, int digits);
