// Wind (wind): one 128-byte definition.
#pragma once

#include <cstddef>

#include "tags/gameplay/tag_struct.h"

struct wind_definition {
    int32_t fields[10];
    uint8_t raw_40[4];
    uint8_t raw_44[24];
    uint8_t raw_68[60];
};
static_assert(sizeof(wind_definition) == 128);
static_assert(offsetof(wind_definition, raw_40) == 40);

template <>
struct tag_struct_info<wind_definition> {
    static constexpr tag_code type = "wind"_4cc;
    static constexpr const char* label = "wind";
    static constexpr bs_code codes[] = {_begin_bs_array, 1, _4byte, _4byte, _4byte, _4byte, _4byte, _4byte,
                                        _4byte, _4byte, _4byte, _4byte, 4, 24, 60, _end_bs_array};
};

// The fields of a new tag (the rest are zero).
void tag_struct_defaults(wind_definition& d);
