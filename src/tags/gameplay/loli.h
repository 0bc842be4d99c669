// Local light (loli): one 48-byte definition.
#pragma once

#include <cstddef>

#include "tags/gameplay/tag_struct.h"

struct local_light_definition {
    int16_t field_0;
    int16_t field_2;
    int16_t field_4;
    int16_t field_6;
    int32_t field_8;
    int16_t field_12[18];
};
static_assert(sizeof(local_light_definition) == 48);
static_assert(offsetof(local_light_definition, field_8) == 8);
static_assert(offsetof(local_light_definition, field_12) == 12);

template <>
struct tag_struct_info<local_light_definition> {
    static constexpr tag_code type = "loli"_4cc;
    static constexpr const char* label = "loli";
    static constexpr bs_code codes[] = {_begin_bs_array, 1, _2byte, _2byte, _2byte, _2byte, _4byte,
                                        _begin_bs_array, 18, _2byte, _end_bs_array, _end_bs_array};
};

// The fields of a new tag (the rest are zero).
void tag_struct_defaults(local_light_definition& d);
