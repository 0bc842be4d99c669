// Global light (glli): one 56-byte definition.
#pragma once

#include <cstddef>

#include "tags/gameplay/tag_struct.h"

struct global_light_definition {
    int16_t fields[16];
    int32_t fixed_fields[6]; // 16 fraction bits
};
static_assert(sizeof(global_light_definition) == 56);
static_assert(offsetof(global_light_definition, fixed_fields) == 32);

template <>
struct tag_struct_info<global_light_definition> {
    static constexpr tag_code type = "glli"_4cc;
    static constexpr const char* label = "glli";
    static constexpr bs_code codes[] = {_begin_bs_array, 1, _begin_bs_array, 16, _2byte, _end_bs_array,
                                        _begin_bs_array, 6, _4byte, _end_bs_array, _end_bs_array};
};

// The fields of a new tag (the rest are zero).
void tag_struct_defaults(global_light_definition& d);
