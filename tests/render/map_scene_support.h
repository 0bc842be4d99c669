// Maps for the renderer's tests: a store with a map whose Landscape stack has one
// solid-coloured tile per block.
#pragma once

#include <vector>

#include "map/map_display.h"
#include "map/mesh_map.h"
#include "support/test_support.h"
#include "tags/tags.h"

struct tiled_map {
    TTagStore store;
    tag_file* file = store.new_tag_file();
    TMeshMap map;
    std::vector<map_rgb> colors; // by block, row by row

    // A map of blocks_x x blocks_y blocks of 16 cells, tile colours distinct per block.
    tiled_map(int blocks_x, int blocks_y, tag_code stack = "land"_4cc);
    // Replaces the stack's tiles with these colours.
    void set_tiles(const std::vector<map_rgb>& tiles, tag_code stack = "land"_4cc);
};
