// Artifact (arti): one 168-byte definition.
#pragma once

#include <cstddef>

#include "tags/gameplay/tag_struct.h"

constexpr int NUMBER_OF_ARTIFACT_PROJECTILE_TAGS = 4;

struct artifact_definition {
    uint32_t flags;
    uint32_t field_4;
    int16_t field_8;
    int16_t field_10;
    int16_t field_12;
    uint8_t raw_14[2];
    tag_code collection_tag; // .256
    int16_t field_20[4];
    tag_code projectile_tags[NUMBER_OF_ARTIFACT_PROJECTILE_TAGS];
    uint32_t field_44;
    uint32_t field_48;
    int16_t field_52[16];
    uint8_t raw_84[64];
    tag_code special_ability_string_list_tag; // stli
    uint8_t raw_152[4];
    uint8_t raw_156[4];
    uint8_t raw_160[8];
};
static_assert(sizeof(artifact_definition) == 168);
static_assert(offsetof(artifact_definition, collection_tag) == 16);
static_assert(offsetof(artifact_definition, projectile_tags) == 28);
static_assert(offsetof(artifact_definition, field_52) == 52);
static_assert(offsetof(artifact_definition, special_ability_string_list_tag) == 148);

template <>
struct tag_struct_info<artifact_definition> {
    static constexpr tag_code type = "arti"_4cc;
    static constexpr const char* label = "arti";
    static constexpr bs_code codes[] = {_begin_bs_array, 1, _4byte, _4byte, _2byte, _2byte, _2byte, 2, _4byte,
                                        _begin_bs_array, 4, _2byte, _end_bs_array,
                                        _begin_bs_array, 4, _4byte, _end_bs_array,
                                        _4byte, _4byte,
                                        _begin_bs_array, 16, _2byte, _end_bs_array,
                                        64, _4byte, 4, 4, 8, _end_bs_array};
};

// The fields of a new tag (the rest are zero).
void tag_struct_defaults(artifact_definition& d);

// Reports every tag the definition references, in order.
void collect_dependencies(const artifact_definition& d);
