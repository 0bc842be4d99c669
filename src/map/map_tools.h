// The brush tools that change cells where they are applied: water, terrain types and
// smoothing; and markers following the heights under them.
#pragma once

#include <cstdint>
#include <vector>

#include "map/map_band.h"
#include "map/map_display.h"

class TMeshMap;

// The tools of the map form, numbered as their radio buttons.
enum map_tool : int {
    MAP_TOOL_BAND_GRID = 100,
    MAP_TOOL_BAND_MARKERS = 101,
    MAP_TOOL_WATER = 102,
    MAP_TOOL_TERRAIN_TYPE = 103,
    MAP_TOOL_PULL_GRID = 104,
    MAP_TOOL_SMOOTH = 105,
};

// Water: the band's cells get the media height and both media bits; the derived bits
// are brought up to date. Returns the cells changed (with their neighbours whose
// derived bit changed).
std::vector<uint32_t> apply_water(TMeshMap& map, const map_band& band, int16_t media_height);
// Terrain type: both terrain type indexes of the band's cells become type.
std::vector<uint32_t> apply_terrain_type(TMeshMap& map, const map_band& band, int type);
// Smooth (or unsmooth): the grids of each band cell move toward (away from) the mean of
// its eight neighbours by half the cell's weight.
std::vector<uint32_t> apply_smooth(TMeshMap& map, const map_band& band, const std::vector<map_grid>& grids,
                                   bool unsmooth);
// Recomputes the derived media bit of the cells at and right of / below the given cells.
void derive_media_bits(TMeshMap& map, const std::vector<uint32_t>& cells, std::vector<uint32_t>* changed = nullptr);

// Markers standing on changed cells move with their height: each marker whose nearest
// cell is in cells has its z moved by that cell's change of the grid. before holds the
// cells' values before the change, in the order of cells. Returns the markers moved.
std::vector<int> markers_follow(TMeshMap& map, const std::vector<uint32_t>& cells,
                                const std::vector<mesh_cell>& before, map_grid grid);

// The markers whose position lies within the brush radius of (x, y).
std::vector<int> markers_in_brush(const TMeshMap& map, double x, double y, double radius);
