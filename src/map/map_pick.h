// Picking: a ray from the camera onto a height grid of the map, and onto markers by
// their bounds.
#pragma once

#include <vector>

#include "map/map_display.h"
#include "map/map_matrix.h"

class TMeshMap;

// A grid's height at a point in cells, bilinear between the vertices; the point is
// clamped to the map.
double grid_height_at(const TMeshMap& map, map_grid grid, double x, double y);

struct grid_point {
    double x = 0, y = 0, z = 0; // cells, cells, world units
    int column() const;         // the nearest cell
    int row() const;
};

// Where the ray first meets the grid's surface within the map; false when it misses.
bool pick_grid(const TMeshMap& map, map_grid grid, vec3 origin, vec3 direction, grid_point& out);

// An axis-aligned box.
struct map_box {
    vec3 low, high;
};

// The distance along the ray to the box, or false when it misses.
bool ray_hits_box(vec3 origin, vec3 direction, const map_box& box, double& distance);

// The nearest marker whose box the ray meets, or -1.
int pick_marker(const std::vector<map_box>& boxes, vec3 origin, vec3 direction);

// A marker's position in world units.
vec3 marker_position(const marker_data& m);
// The box of a marker drawn as a symbol: half a unit each way, a unit and a half high.
map_box marker_symbol_box(const marker_data& m);
