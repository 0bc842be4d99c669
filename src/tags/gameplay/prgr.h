// Projectile group (prgr): a 32-byte header and 15 part records of 32 bytes.
#pragma once

#include <cstddef>

#include "tags/gameplay/tag_struct.h"

constexpr int MAXIMUM_PARTS_PER_PROJECTILE_GROUP = 15;

struct projectile_group_part {
    tag_code projectile_tag; // proj
    uint32_t field_4;
    int16_t field_8;
    int16_t field_10;
    int16_t field_12;
    int16_t field_14;
    uint8_t raw_16[4];
    int16_t field_20;
    uint8_t raw_22[8];
    uint8_t raw_30[2];
};
static_assert(sizeof(projectile_group_part) == 32);
static_assert(offsetof(projectile_group_part, field_20) == 20);

struct projectile_group_definition {
    uint32_t flags;
    int16_t part_count;
    uint8_t raw_6[2];
    tag_code mesh_effect_tag;            // meef
    tag_code sound_tag;                  // soun
    tag_code local_projectile_group_tag; // lpgr
    uint8_t raw_20[6];
    uint8_t raw_26[6];
    projectile_group_part parts[MAXIMUM_PARTS_PER_PROJECTILE_GROUP];
};
static_assert(sizeof(projectile_group_definition) == 512);
static_assert(offsetof(projectile_group_definition, part_count) == 4);
static_assert(offsetof(projectile_group_definition, mesh_effect_tag) == 8);
static_assert(offsetof(projectile_group_definition, sound_tag) == 12);
static_assert(offsetof(projectile_group_definition, local_projectile_group_tag) == 16);
static_assert(offsetof(projectile_group_definition, parts) == 32);

// The parts in use: the stored count limited to 0..15.
int projectile_group_parts_in_use(const projectile_group_definition& g);

template <>
struct tag_struct_info<projectile_group_definition> {
    static constexpr tag_code type = "prgr"_4cc;
    static constexpr const char* label = "prgr";
    static constexpr bs_code codes[] = {_begin_bs_array, 1, _4byte, _2byte, 2, _4byte, _4byte, _4byte, 6, 6,
                                        _begin_bs_array, 15, _4byte, _4byte, _2byte, _2byte, _2byte, _2byte, 4,
                                        _2byte, 8, 2, _end_bs_array, _end_bs_array};
};

// The fields of a new tag (the rest are zero).
void tag_struct_defaults(projectile_group_definition& d);

// Reports every tag the definition references, in order.
void collect_dependencies(const projectile_group_definition& d);
