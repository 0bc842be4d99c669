// Ambient sound (amso): one 64-byte definition.
#pragma once

#include <cstddef>

#include "tags/gameplay/tag_struct.h"

constexpr int NUMBER_OF_AMBIENT_SOUND_TAGS = 6;

struct ambient_sound_definition {
    uint32_t flags;
    int16_t field_4;
    int16_t field_6;
    int16_t field_8;
    int16_t field_10;
    tag_code sound_tags[NUMBER_OF_AMBIENT_SOUND_TAGS]; // the first two are sounds played
    int16_t field_36;
    uint8_t raw_38[10];
    uint8_t raw_48[12];
    uint8_t raw_60[4];
};
static_assert(sizeof(ambient_sound_definition) == 64);
static_assert(offsetof(ambient_sound_definition, sound_tags) == 12);
static_assert(offsetof(ambient_sound_definition, field_36) == 36);

template <>
struct tag_struct_info<ambient_sound_definition> {
    static constexpr tag_code type = "amso"_4cc;
    static constexpr const char* label = "amso";
    static constexpr bs_code codes[] = {_begin_bs_array, 1, _4byte, _2byte, _2byte, _2byte, _2byte,
                                        _begin_bs_array, 6, _4byte, _end_bs_array, _2byte, 10, 12, 4,
                                        _end_bs_array};
};

// The fields of a new tag (the rest are zero).
void tag_struct_defaults(ambient_sound_definition& d);

// Reports every tag the definition references, in order.
void collect_dependencies(const ambient_sound_definition& d);
