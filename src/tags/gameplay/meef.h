// Mesh effect (meef): one 36-byte definition.
#pragma once

#include <cstddef>

#include "tags/gameplay/tag_struct.h"

struct mesh_effect_definition {
    uint32_t flags;
    int16_t field_4[6];
    tag_code collection_reference_tag; // core
    int16_t field_20[4];
    uint8_t raw_28[8];
};
static_assert(sizeof(mesh_effect_definition) == 36);
static_assert(offsetof(mesh_effect_definition, collection_reference_tag) == 16);
static_assert(offsetof(mesh_effect_definition, raw_28) == 28);

template <>
struct tag_struct_info<mesh_effect_definition> {
    static constexpr tag_code type = "meef"_4cc;
    static constexpr const char* label = "meef";
    static constexpr bs_code codes[] = {_begin_bs_array, 1, _4byte, _2byte, _2byte, _2byte, _2byte, _2byte,
                                        _2byte, _4byte, _2byte, _2byte, _2byte, _2byte, 8, _end_bs_array};
};

// The fields of a new tag (the rest are zero).
void tag_struct_defaults(mesh_effect_definition& d);

// Reports every tag the definition references, in order.
void collect_dependencies(const mesh_effect_definition& d);
