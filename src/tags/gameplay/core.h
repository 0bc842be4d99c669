// Classic collection reference (core): one 384-byte definition.
#pragma once

#include <cstddef>

#include "tags/gameplay/tag_struct.h"

struct collection_reference_definition {
    tag_code collection_tag; // .256
    int16_t field_4;
    int16_t field_6;
    int16_t field_8[5][8][4];
    int16_t field_328;
    int16_t field_330;
    int16_t field_332;
    int16_t field_334;
    uint8_t raw_336[36];
    uint8_t raw_372[2];
    uint8_t raw_374[10];
};
static_assert(sizeof(collection_reference_definition) == 384);
static_assert(offsetof(collection_reference_definition, field_8) == 8);
static_assert(offsetof(collection_reference_definition, field_328) == 328);
static_assert(offsetof(collection_reference_definition, raw_336) == 336);

template <>
struct tag_struct_info<collection_reference_definition> {
    static constexpr tag_code type = "core"_4cc;
    static constexpr const char* label = "core";
    static constexpr bs_code codes[] = {_begin_bs_array, 1, _4byte, _2byte, _2byte,
                                        _begin_bs_array, 5, _begin_bs_array, 8, _2byte, _2byte, _2byte, _2byte,
                                        _end_bs_array, _end_bs_array,
                                        _2byte, _2byte, _2byte, _2byte, 36, 2, 10, _end_bs_array};
};

// Reports every tag the definition references, in order.
void collect_dependencies(const collection_reference_definition& d);
