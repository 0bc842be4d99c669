// Projectile (proj): one 256-byte definition.
#pragma once

#include <cstddef>

#include "tags/gameplay/tag_struct.h"

constexpr int NUMBER_OF_PROJECTILE_SOUND_TAGS = 4;
constexpr int16_t PROJECTILE_USES_SKELETAL_MODEL = -292; // in model_kind: the collection is a skmd

enum : uint32_t {
    PROJECTILE_HAS_SPRITE_CONTRAIL = 0x400000, // the contrail is a spri, else a proj
};

struct projectile_definition {
    uint32_t flags;
    tag_code collection_tag; // .256, or skmd by model_kind
    int16_t field_8[3];
    int16_t field_14;
    tag_code projectile_group_tag; // prgr
    tag_code contrail_tag;         // spri or proj by the flags
    int16_t field_24;
    int16_t field_26;
    tag_code object_tag;              // obje
    int16_t inertia_lower_bound;      // fixed8
    int16_t inertia_delta;
    int16_t random_initial_velocity;  // world distance
    int16_t volume;                   // -1..2
    int16_t tracking_priority;
    int16_t field_42;
    uint16_t detonation_frequency;       // fraction16
    uint16_t media_detonation_frequency; // fraction16
    int16_t detonation_velocity;         // world distance
    int16_t field_50;
    tag_code lightning_tag; // ligh
    uint8_t raw_56[4];
    tag_code sound_tags[NUMBER_OF_PROJECTILE_SOUND_TAGS]; // soun
    int16_t field_76[7];
    uint16_t guided_turning_speed;       // angle16 per tick
    tag_code projectile_tag_92;          // proj
    tag_code projectile_group_tag_96;    // prgr
    tag_code texture_stack_tag_100;      // txst
    int16_t damage_type;                 // -1..11
    uint16_t damage_flags;
    int16_t damage_lower_bound;          // fixed8
    int16_t damage_delta;
    int16_t radius_lower_bound;          // world distance
    int16_t radius_delta;
    int16_t rate_of_expansion;           // world distance
    int16_t damage_to_velocity;          // fixed8
    tag_code artifact_tag;               // arti
    tag_code projectile_group_tag_124;   // prgr
    tag_code texture_stack_tag_128;      // txst
    int16_t field_132;
    int16_t field_134;
    tag_code local_projectile_group_tag; // lpgr
    int16_t field_140;                   // a statistic without a name
    uint8_t raw_142[2];
    int16_t model_kind;
    uint8_t raw_146[4];
    uint8_t raw_150[70];
    uint8_t raw_220[20];
    uint8_t raw_240[16];
};
static_assert(sizeof(projectile_definition) == 256);
static_assert(offsetof(projectile_definition, projectile_group_tag) == 16);
static_assert(offsetof(projectile_definition, contrail_tag) == 20);
static_assert(offsetof(projectile_definition, object_tag) == 28);
static_assert(offsetof(projectile_definition, inertia_lower_bound) == 32);
static_assert(offsetof(projectile_definition, inertia_delta) == 34);
static_assert(offsetof(projectile_definition, random_initial_velocity) == 36);
static_assert(offsetof(projectile_definition, volume) == 38);
static_assert(offsetof(projectile_definition, tracking_priority) == 40);
static_assert(offsetof(projectile_definition, detonation_frequency) == 44);
static_assert(offsetof(projectile_definition, media_detonation_frequency) == 46);
static_assert(offsetof(projectile_definition, detonation_velocity) == 48);
static_assert(offsetof(projectile_definition, lightning_tag) == 52);
static_assert(offsetof(projectile_definition, sound_tags) == 60);
static_assert(offsetof(projectile_definition, guided_turning_speed) == 90);
static_assert(offsetof(projectile_definition, projectile_tag_92) == 92);
static_assert(offsetof(projectile_definition, texture_stack_tag_100) == 100);
static_assert(offsetof(projectile_definition, damage_type) == 104);
static_assert(offsetof(projectile_definition, damage_flags) == 106);
static_assert(offsetof(projectile_definition, damage_lower_bound) == 108);
static_assert(offsetof(projectile_definition, damage_delta) == 110);
static_assert(offsetof(projectile_definition, radius_lower_bound) == 112);
static_assert(offsetof(projectile_definition, radius_delta) == 114);
static_assert(offsetof(projectile_definition, rate_of_expansion) == 116);
static_assert(offsetof(projectile_definition, damage_to_velocity) == 118);
static_assert(offsetof(projectile_definition, artifact_tag) == 120);
static_assert(offsetof(projectile_definition, projectile_group_tag_124) == 124);
static_assert(offsetof(projectile_definition, texture_stack_tag_128) == 128);
static_assert(offsetof(projectile_definition, local_projectile_group_tag) == 136);
static_assert(offsetof(projectile_definition, field_140) == 140);
static_assert(offsetof(projectile_definition, model_kind) == 144);
static_assert(offsetof(projectile_definition, raw_150) == 150);

template <>
struct tag_struct_info<projectile_definition> {
    static constexpr tag_code type = "proj"_4cc;
    static constexpr const char* label = "proj";
    static constexpr bs_code codes[] = {
        _begin_bs_array, 1, _4byte, _4byte, _begin_bs_array, 3, _2byte, _end_bs_array, _2byte, _4byte, _4byte,
        _2byte, _2byte, _4byte, _2byte, _2byte, _2byte, _2byte, _2byte, _2byte, _2byte, _2byte, _2byte,
        _2byte, _4byte, 4, _begin_bs_array, 4, _4byte, _end_bs_array, _2byte, _2byte, _2byte, _2byte, _2byte,
        _2byte, _2byte, _2byte, _4byte, _4byte, _4byte, _2byte, _2byte, _2byte, _2byte, _2byte, _2byte,
        _2byte, _2byte, _4byte, _4byte, _4byte, _2byte, _2byte, _4byte, _2byte, 2, _2byte, 4, 70, 20, 16,
        _end_bs_array};
};

// Reports every tag the definition references, in order.
void collect_dependencies(const projectile_definition& d);
