// Local physics (phys): one 64-byte definition; the type chooses how the rest is read.
#pragma once

#include <cstddef>

#include "tags/gameplay/tag_struct.h"

struct local_physics_definition {
    int16_t type;
    uint8_t raw_2[2];
    uint8_t raw_4[60];
};
static_assert(sizeof(local_physics_definition) == 64);
static_assert(offsetof(local_physics_definition, raw_4) == 4);

template <>
struct tag_struct_info<local_physics_definition> {
    static constexpr tag_code type = "phys"_4cc;
    static constexpr const char* label = "phys";
    static constexpr bs_code codes[] = {_begin_bs_array, 1, _2byte, 2, 60, _end_bs_array};
};

// The fields of a new tag (the rest are zero).
void tag_struct_defaults(local_physics_definition& d);
