// Scenery (scen): one 128-byte definition.
#pragma once

#include <cstddef>

#include "tags/gameplay/tag_struct.h"

enum : uint32_t {
    SCENERY_USES_SKELETAL_MODELS = 0x400, // the models at 56 and 60, else the collection at 4
};

struct scenery_definition {
    uint32_t flags;
    tag_code collection_reference_tag; // core
    tag_code object_tag;               // obje
    tag_code projectile_tag;           // proj
    int16_t field_16;
    int16_t field_18;
    uint8_t raw_20[4];
    tag_code projectile_group_tags[2]; // prgr
    uint32_t field_32[2];
    int16_t field_40[3];
    uint8_t raw_46[6];
    int16_t field_52;
    uint8_t raw_54[2];
    tag_code skeletal_model_tags[2]; // skmd
    uint32_t field_64;
    uint8_t raw_68[38];
    uint8_t raw_106[6];
    uint8_t raw_112[8];
    uint8_t raw_120[8];
};
static_assert(sizeof(scenery_definition) == 128);
static_assert(offsetof(scenery_definition, projectile_group_tags) == 24);
static_assert(offsetof(scenery_definition, field_40) == 40);
static_assert(offsetof(scenery_definition, field_52) == 52);
static_assert(offsetof(scenery_definition, skeletal_model_tags) == 56);
static_assert(offsetof(scenery_definition, field_64) == 64);
static_assert(offsetof(scenery_definition, raw_68) == 68);

template <>
struct tag_struct_info<scenery_definition> {
    static constexpr tag_code type = "scen"_4cc;
    static constexpr const char* label = "scen";
    static constexpr bs_code codes[] = {_begin_bs_array, 1, _4byte, _4byte, _4byte, _4byte, _2byte, _2byte, 4,
                                        _begin_bs_array, 4, _4byte, _end_bs_array,
                                        _begin_bs_array, 3, _2byte, _end_bs_array, 6, _2byte, 2,
                                        _begin_bs_array, 3, _4byte, _end_bs_array, 38, 6, 8, 8, _end_bs_array};
};

// The fields of a new tag (the rest are zero).
void tag_struct_defaults(scenery_definition& d);

// Reports every tag the definition references, in order.
void collect_dependencies(const scenery_definition& d);
