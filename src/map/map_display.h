// What the map view shows and which height grids the tools act on. The grids are named
// by the index of their 16-bit field in mesh_cell: 0 physical, 4 media, 5 render.
#pragma once

#include <cstdint>

#include "map/mesh_format.h"

enum map_grid : int {
    MAP_GRID_NONE = -1,
    MAP_GRID_PHYSICAL = 0,
    MAP_GRID_MEDIA = 4,
    MAP_GRID_RENDER = 5,
};
constexpr map_grid MAP_GRIDS[3] = {MAP_GRID_PHYSICAL, MAP_GRID_MEDIA, MAP_GRID_RENDER};

// The marker display modes, numbered as their commands.
enum map_marker_mode : int {
    MAP_HIDE_MARKERS = 2010,
    MAP_MARKERS_ONLY = 2011,
    MAP_BOUNDING_BOXES = 2012,
    MAP_SIMPLE_MODELS = 2013,
    MAP_COMPLEX_MODELS = 2014,
};

enum map_axis_mode : int {
    MAP_LOCAL_AXIS = 2001,
    MAP_WORLD_AXIS = 2002,
};

// A grid's height field of a cell; grid must be one of the three.
inline int16_t& grid_height(mesh_cell& c, map_grid grid)
{
    return grid == MAP_GRID_PHYSICAL ? c.physical_height : grid == MAP_GRID_MEDIA ? c.media_height : c.render_height;
}
inline int16_t grid_height(const mesh_cell& c, map_grid grid)
{
    return grid == MAP_GRID_PHYSICAL ? c.physical_height : grid == MAP_GRID_MEDIA ? c.media_height : c.render_height;
}
// Index 0, 1, 2 of a grid in MAP_GRIDS, -1 for none.
inline int grid_slot(map_grid grid)
{
    return grid == MAP_GRID_PHYSICAL ? 0 : grid == MAP_GRID_MEDIA ? 1 : grid == MAP_GRID_RENDER ? 2 : -1;
}

struct map_display_state {
    map_axis_mode axis = MAP_LOCAL_AXIS;
    bool colormap = true;
    bool terrain_types = false;
    bool grid_shown[3] = {false, false, true}; // by grid_slot
    bool grid_modify[3] = {false, false, true};
    map_grid click_grid = MAP_GRID_RENDER;
    map_marker_mode markers = MAP_MARKERS_ONLY;
    bool markers_follow_heights = false;

    bool shown(map_grid g) const { return grid_slot(g) >= 0 && grid_shown[grid_slot(g)]; }
    // Whether an edit on the click grid also changes grid g (the click grid always does).
    bool modifies(map_grid g) const
    {
        return grid_slot(g) >= 0 && (g == click_grid || (click_grid != MAP_GRID_NONE && grid_modify[grid_slot(g)]));
    }
};

// The colour that shows a terrain type (0..15) in the view and in the form's swatches.
struct map_rgb {
    uint8_t r, g, b;
};
inline map_rgb terrain_type_color(int type)
{
    static constexpr map_rgb colors[16] = {
        {90, 170, 230}, {40, 120, 210}, {20, 70, 180},  {10, 30, 110},  {200, 160, 90}, {150, 90, 40},
        {70, 180, 60},  {230, 210, 120}, {140, 140, 140}, {90, 120, 70}, {245, 245, 250}, {20, 110, 40},
        {128, 0, 128},  {128, 0, 128},  {220, 40, 40},  {240, 120, 200}};
    return colors[type & 15];
}
