// Media type (medi): one 256-byte definition.
#pragma once

#include <cstddef>

#include "tags/gameplay/tag_struct.h"

constexpr int NUMBER_OF_MEDIA_PROJECTILE_GROUP_TAGS = 7;

struct media_type_definition {
    uint32_t flags;
    tag_code texture_stack_tag; // txst
    uint8_t raw_8[16];
    tag_code projectile_group_tags[NUMBER_OF_MEDIA_PROJECTILE_GROUP_TAGS]; // prgr
    uint32_t field_52[9];
    int16_t field_88[6];
    tag_code local_projectile_group_tag; // lpgr
    int16_t field_104[15];
    int16_t field_134[4][6];
    uint8_t raw_182[36];
    uint8_t raw_218[6];
    uint8_t raw_224[32];
};
static_assert(sizeof(media_type_definition) == 256);
static_assert(offsetof(media_type_definition, projectile_group_tags) == 24);
static_assert(offsetof(media_type_definition, field_52) == 52);
static_assert(offsetof(media_type_definition, field_88) == 88);
static_assert(offsetof(media_type_definition, local_projectile_group_tag) == 100);
static_assert(offsetof(media_type_definition, field_104) == 104);
static_assert(offsetof(media_type_definition, field_134) == 134);
static_assert(offsetof(media_type_definition, raw_182) == 182);

template <>
struct tag_struct_info<media_type_definition> {
    static constexpr tag_code type = "medi"_4cc;
    static constexpr const char* label = "medi";
    static constexpr bs_code codes[] = {_begin_bs_array, 1, _4byte, _4byte, 16,
                                        _begin_bs_array, 16, _4byte, _end_bs_array,
                                        _2byte, _2byte, _2byte, _2byte, _2byte, _2byte, _4byte,
                                        _begin_bs_array, 15, _2byte, _end_bs_array,
                                        _begin_bs_array, 4, _2byte, _2byte, _2byte, _2byte, _2byte, _2byte,
                                        _end_bs_array,
                                        36, 6, 32, _end_bs_array};
};

// The fields of a new tag (the rest are zero).
void tag_struct_defaults(media_type_definition& d);

// Reports every tag the definition references, in order.
void collect_dependencies(const media_type_definition& d);
