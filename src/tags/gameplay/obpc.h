// Observer constants (obpc): one 256-byte definition.
#pragma once

#include <cstddef>

#include "tags/gameplay/tag_struct.h"

struct observer_constants_definition {
    int32_t fields[42];
    uint8_t raw_168[88];
};
static_assert(sizeof(observer_constants_definition) == 256);
static_assert(offsetof(observer_constants_definition, raw_168) == 168);

template <>
struct tag_struct_info<observer_constants_definition> {
    static constexpr tag_code type = "obpc"_4cc;
    static constexpr const char* label = "obpc";
    static constexpr bs_code codes[] = {_begin_bs_array, 1, _begin_bs_array, 42, _4byte, _end_bs_array, 88,
                                        _end_bs_array};
};

// The fields of a new tag (the rest are zero).
void tag_struct_defaults(observer_constants_definition& d);
