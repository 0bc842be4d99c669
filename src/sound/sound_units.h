// Encoding decimals into the fixed-point units of tag fields.
#pragma once

#include <cstdint>

// value × 65535, rounded (halves away from zero) and clamped to 0..65535.
uint16_t encode_fraction16(double value);
// value × 256, whole and fractional parts converted apart, kept to 16 bits.
int16_t encode_fixed8(double value);
// The stored delta of a range lower..upper (raw values): 0 for an empty range, else upper - lower + 1.
int16_t encode_range_delta(int16_t lower, int16_t upper);
