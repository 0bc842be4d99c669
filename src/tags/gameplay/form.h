// Formation (form): one 40-byte definition.
#pragma once

#include <cstddef>

#include "tags/gameplay/tag_struct.h"

struct formation_definition {
    int16_t fields[19];
    uint8_t raw_38[2];
};
static_assert(sizeof(formation_definition) == 40);
static_assert(offsetof(formation_definition, raw_38) == 38);

template <>
struct tag_struct_info<formation_definition> {
    static constexpr tag_code type = "form"_4cc;
    static constexpr const char* label = "form";
    static constexpr bs_code codes[] = {_begin_bs_array, 1, _begin_bs_array, 19, _2byte, _end_bs_array, 2,
                                        _end_bs_array};
};
