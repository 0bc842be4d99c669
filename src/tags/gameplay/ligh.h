// Lightning (ligh): one 64-byte definition.
#pragma once

#include <cstddef>

#include "tags/gameplay/tag_struct.h"

struct lightning_definition {
    uint32_t flags;
    tag_code texture_stack_tag; // txst
    uint32_t field_8;
    uint32_t field_12;
    uint32_t field_16;
    int16_t field_20[3];
    int16_t field_26[16];
    uint8_t raw_58[6];
};
static_assert(sizeof(lightning_definition) == 64);
static_assert(offsetof(lightning_definition, texture_stack_tag) == 4);
static_assert(offsetof(lightning_definition, field_26) == 26);
static_assert(offsetof(lightning_definition, raw_58) == 58);

template <>
struct tag_struct_info<lightning_definition> {
    static constexpr tag_code type = "ligh"_4cc;
    static constexpr const char* label = "ligh";
    static constexpr bs_code codes[] = {_begin_bs_array, 1, _4byte, _4byte, _4byte, _4byte, _4byte,
                                        _begin_bs_array, 3, _2byte, _end_bs_array,
                                        _begin_bs_array, 16, _2byte, _end_bs_array, 6, _end_bs_array};
};

// The fields of a new tag (the rest are zero).
void tag_struct_defaults(lightning_definition& d);

// Reports every tag the definition references, in order.
void collect_dependencies(const lightning_definition& d);
