// Connector (conn): one 32-byte definition.
#pragma once

#include <cstddef>

#include "tags/gameplay/tag_struct.h"

struct connector_definition {
    uint32_t flags;
    tag_code collection_reference_tag; // core
    int16_t field_8;
    int16_t field_10;
    int16_t field_12;
    int16_t field_14;
    uint8_t raw_16[6];
    uint8_t raw_22[10];
};
static_assert(sizeof(connector_definition) == 32);
static_assert(offsetof(connector_definition, collection_reference_tag) == 4);
static_assert(offsetof(connector_definition, raw_16) == 16);

template <>
struct tag_struct_info<connector_definition> {
    static constexpr tag_code type = "conn"_4cc;
    static constexpr const char* label = "conn";
    static constexpr bs_code codes[] = {_begin_bs_array, 1, _4byte, _4byte, _2byte, _2byte, _2byte, _2byte,
                                        6, 10, _end_bs_array};
};

// The fields of a new tag (the rest are zero).
void tag_struct_defaults(connector_definition& d);

// Reports every tag the definition references, in order.
void collect_dependencies(const connector_definition& d);
