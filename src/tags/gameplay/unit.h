// Unit (unit): one 128-byte definition with four 24-byte records.
#pragma once

#include <cstddef>

#include "tags/gameplay/tag_struct.h"

constexpr int NUMBER_OF_UNIT_RECORDS = 4;

struct unit_record {
    tag_code texture_stack_tag; // txst
    uint32_t field_4;
    int16_t field_8[8];
};
static_assert(sizeof(unit_record) == 24);

struct unit_definition {
    tag_code monster_tag; // mons
    uint32_t field_4;
    unit_record records[NUMBER_OF_UNIT_RECORDS];
    uint8_t raw_104[14];
    uint8_t raw_118[2];
    uint8_t raw_120[4];
    uint8_t raw_124[4];
};
static_assert(sizeof(unit_definition) == 128);
static_assert(offsetof(unit_definition, records) == 8);
static_assert(offsetof(unit_definition, raw_104) == 104);
static_assert(offsetof(unit_definition, raw_120) == 120);

// The record that new units and the version 1 to 2 update give every record.
unit_record default_unit_record();

template <>
struct tag_struct_info<unit_definition> {
    static constexpr tag_code type = "unit"_4cc;
    static constexpr const char* label = "unit";
    static constexpr bs_code codes[] = {_begin_bs_array, 1, _4byte, _4byte,
                                        _begin_bs_array, 4, _4byte, _4byte, _2byte, _2byte, _2byte, _2byte,
                                        _2byte, _2byte, _2byte, _2byte, _end_bs_array, 14, 2, 4, 4, _end_bs_array};
};

// The fields of a new tag (the rest are zero).
void tag_struct_defaults(unit_definition& d);

// Reports every tag the definition references, in order.
void collect_dependencies(const unit_definition& d);
