// Mesh lighting (meli): one 64-byte definition.
#pragma once

#include <cstddef>

#include "tags/gameplay/tag_struct.h"

struct mesh_lighting_definition {
    uint32_t field_0[7];
    int16_t field_28;
    int16_t field_30;
    uint32_t field_32;
    uint8_t raw_36[28];
};
static_assert(sizeof(mesh_lighting_definition) == 64);
static_assert(offsetof(mesh_lighting_definition, field_28) == 28);
static_assert(offsetof(mesh_lighting_definition, field_32) == 32);
static_assert(offsetof(mesh_lighting_definition, raw_36) == 36);

template <>
struct tag_struct_info<mesh_lighting_definition> {
    static constexpr tag_code type = "meli"_4cc;
    static constexpr const char* label = "meli";
    static constexpr bs_code codes[] = {_begin_bs_array, 1, _4byte, _4byte, _4byte, _4byte, _4byte, _4byte,
                                        _4byte, _2byte, _2byte, _4byte, 28, _end_bs_array};
};

// The fields of a new tag (the rest are zero).
void tag_struct_defaults(mesh_lighting_definition& d);
