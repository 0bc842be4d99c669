// Local projectile group (lpgr): one 128-byte definition.
#pragma once

#include <cstddef>

#include "tags/gameplay/tag_struct.h"

enum : uint32_t {
    LOCAL_PROJECTILE_GROUP_USES_SKELETAL_MODEL = 0x10000000, // the graphic is a skmd
    LOCAL_PROJECTILE_GROUP_USES_SPRITE = 0x40000000,         // else a spri; else a core
};

struct local_projectile_group_definition {
    uint32_t flags;
    tag_code graphic_tag;
    tag_code local_physics_tag; // phys
    int16_t field_12[2];
    int16_t field_16[6];
    uint32_t field_28[4];
    int16_t field_44[6];
    uint32_t field_56[2];
    int16_t field_64[4];
    uint8_t raw_72[8];
    tag_code local_projectile_group_tag; // lpgr
    tag_code local_light_tag;            // loli
    uint8_t raw_88[28];
    uint8_t raw_116[12];
};
static_assert(sizeof(local_projectile_group_definition) == 128);
static_assert(offsetof(local_projectile_group_definition, field_28) == 28);
static_assert(offsetof(local_projectile_group_definition, field_56) == 56);
static_assert(offsetof(local_projectile_group_definition, raw_72) == 72);
static_assert(offsetof(local_projectile_group_definition, local_projectile_group_tag) == 80);
static_assert(offsetof(local_projectile_group_definition, local_light_tag) == 84);
static_assert(offsetof(local_projectile_group_definition, raw_116) == 116);

// The type of the tag the graphic field names.
tag_code local_projectile_group_graphic_type(uint32_t flags);

template <>
struct tag_struct_info<local_projectile_group_definition> {
    static constexpr tag_code type = "lpgr"_4cc;
    static constexpr const char* label = "lpgr";
    static constexpr bs_code codes[] = {_begin_bs_array, 1, _4byte, _4byte, _4byte,
                                        _begin_bs_array, 2, _2byte, _end_bs_array,
                                        _2byte, _2byte, _2byte, _2byte, _2byte, _2byte,
                                        _4byte, _4byte, _4byte, _4byte,
                                        _2byte, _2byte, _2byte, _2byte, _2byte, _2byte,
                                        _4byte, _4byte, _2byte, _2byte, _2byte, _2byte,
                                        8, _4byte, _4byte, 28, 12, _end_bs_array};
};

// The fields of a new tag (the rest are zero).
void tag_struct_defaults(local_projectile_group_definition& d);

// Reports every tag the definition references, in order.
void collect_dependencies(const local_projectile_group_definition& d);
