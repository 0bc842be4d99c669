// Game parameters (game): one 32-byte definition naming three maps.
#pragma once

#include <cstddef>

#include "tags/gameplay/tag_struct.h"

constexpr int NUMBER_OF_GAME_MESH_TAGS = 3;

struct game_parameter_definition {
    tag_code mesh_tags[NUMBER_OF_GAME_MESH_TAGS];
    uint8_t raw_12[20];
};
static_assert(sizeof(game_parameter_definition) == 32);
static_assert(offsetof(game_parameter_definition, raw_12) == 12);

template <>
struct tag_struct_info<game_parameter_definition> {
    static constexpr tag_code type = "game"_4cc;
    static constexpr const char* label = "game";
    static constexpr bs_code codes[] = {_begin_bs_array, 1, _4byte, _4byte, _4byte, 20, _end_bs_array};
};

// The fields of a new tag (the rest are zero).
void tag_struct_defaults(game_parameter_definition& d);

// Reports every tag the definition references, in order.
void collect_dependencies(const game_parameter_definition& d);
