// Particle system (part): one 128-byte definition.
#pragma once

#include <cstddef>

#include "tags/gameplay/tag_struct.h"

struct particle_system_definition {
    uint32_t flags;
    tag_code sprite_tag; // spri
    uint32_t field_8[3];
    int16_t field_20[4];
    uint32_t field_28[6];
    int16_t field_52[4];
    int16_t field_60[2][6];
    tag_code ambient_sound_tag;          // amso
    tag_code local_projectile_group_tag; // lpgr
    int16_t field_92[5];
    uint8_t raw_102[20];
    uint8_t raw_122[6];
};
static_assert(sizeof(particle_system_definition) == 128);
static_assert(offsetof(particle_system_definition, field_28) == 28);
static_assert(offsetof(particle_system_definition, field_60) == 60);
static_assert(offsetof(particle_system_definition, ambient_sound_tag) == 84);
static_assert(offsetof(particle_system_definition, local_projectile_group_tag) == 88);
static_assert(offsetof(particle_system_definition, raw_102) == 102);

template <>
struct tag_struct_info<particle_system_definition> {
    static constexpr tag_code type = "part"_4cc;
    static constexpr const char* label = "part";
    static constexpr bs_code codes[] = {_begin_bs_array, 1, _4byte, _4byte, _4byte, _4byte, _4byte,
                                        _2byte, _2byte, _2byte, _2byte,
                                        _4byte, _4byte, _4byte, _4byte, _4byte, _4byte,
                                        _2byte, _2byte, _2byte, _2byte,
                                        _begin_bs_array, 2, _2byte, _2byte, _2byte, _2byte, _2byte, _2byte,
                                        _end_bs_array,
                                        _4byte, _4byte, _2byte, _2byte, _2byte, _2byte, _2byte, 20, 6,
                                        _end_bs_array};
};

// The fields of a new tag (the rest are zero).
void tag_struct_defaults(particle_system_definition& d);

// Reports every tag the definition references, in order.
void collect_dependencies(const particle_system_definition& d);
