// The byte-swapping engine: structure descriptions say which bytes of a stored
// structure form 2-byte and 4-byte values; the interpreter reverses them in place.
// Reversing is its own inverse, so one description converts both ways.
#pragma once

#include <cstdint>

using bs_code = int16_t;

enum : bs_code {
    _begin_bs_array = -100, // begin array of N; the next code is N
    _end_bs_array = -101,
    _4byte = -4,
    _2byte = -2,
    // a positive n: n raw bytes
};

struct bs_description_size {
    int32_t bytes; // bytes the description covers
    int32_t codes; // codes it occupies, begin, count and end included
};

// Raises 128/1 for a description the engine cannot interpret (a count below 1, an unknown code).
bs_description_size byte_swap_description_size(const bs_code* codes);

// Converts struct_count structures of struct_length bytes. A description that covers
// another size than struct_length raises 0x800001 "size_in_bytes==data_size" and
// converts nothing. A null data pointer or a count of 0 only checks.
void byte_swap_data(const char* label, void* data, int32_t struct_length, int32_t struct_count,
                    const bs_code* codes);

// Copies struct_length * struct_count bytes from source, then converts the copy.
void byte_swap_copy(const char* label, void* destination, const void* source, int32_t struct_length,
                    int32_t struct_count, const bs_code* codes);

// Converts count plain values; code is _2byte or _4byte.
void byte_swap_memory(const char* label, void* data, int32_t count, bs_code code);
