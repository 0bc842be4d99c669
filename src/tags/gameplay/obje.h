// Object (obje): one 64-byte definition.
#pragma once

#include <cstddef>

#include "tags/gameplay/tag_struct.h"

constexpr int NUMBER_OF_EFFECT_MODIFIERS = 16;

struct object_definition {
    uint16_t flags;
    int16_t field_2;
    int16_t field_4;
    int16_t field_6;
    int16_t maximum_vitality; // fixed8
    int16_t maximum_vitality_delta;
    int16_t scale_lower_bound; // fixed8
    int16_t scale_delta;
    int16_t effect_modifiers[NUMBER_OF_EFFECT_MODIFIERS]; // fixed8
    int16_t minimum_damage;                               // fixed8
    uint8_t raw_50[14];
};
static_assert(sizeof(object_definition) == 64);
static_assert(offsetof(object_definition, maximum_vitality) == 8);
static_assert(offsetof(object_definition, maximum_vitality_delta) == 10);
static_assert(offsetof(object_definition, scale_lower_bound) == 12);
static_assert(offsetof(object_definition, scale_delta) == 14);
static_assert(offsetof(object_definition, effect_modifiers) == 16);
static_assert(offsetof(object_definition, minimum_damage) == 48);

template <>
struct tag_struct_info<object_definition> {
    static constexpr tag_code type = "obje"_4cc;
    static constexpr const char* label = "obje";
    static constexpr bs_code codes[] = {_begin_bs_array, 1, _2byte, _2byte, _2byte, _2byte, _2byte, _2byte,
                                        _2byte, _2byte, _begin_bs_array, 16, _2byte, _end_bs_array, _2byte, 14,
                                        _end_bs_array};
};

// The fields of a new tag (the rest are zero).
void tag_struct_defaults(object_definition& d);
