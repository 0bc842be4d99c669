#include "map/map_pick.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "map/mesh_map.h"

double grid_height_at(const TMeshMap& map, map_grid grid, double x, double y)
{
    if (map.fWidth <= 0 || map.fHeight <= 0 || grid_slot(grid) < 0) return 0;
    x = std::clamp(x, 0.0, double(map.fWidth - 1));
    y = std::clamp(y, 0.0, double(map.fHeight - 1));
    int x0 = int(x), y0 = int(y);
    int x1 = std::min(x0 + 1, map.fWidth - 1), y1 = std::min(y0 + 1, map.fHeight - 1);
    double fx = x - x0, fy = y - y0;
    double a = grid_height(map.Cell(x0, y0), grid), b = grid_height(map.Cell(x1, y0), grid);
    double c = grid_height(map.Cell(x0, y1), grid), d = grid_height(map.Cell(x1, y1), grid);
    double top = a + (b - a) * fx, bottom = c + (d - c) * fx;
    return (top + (bottom - top) * fy) / 512;
}

int grid_point::column() const
{
    return int(std::lround(x));
}

int grid_point::row() const
{
    return int(std::lround(y));
}

bool ray_hits_box(vec3 origin, vec3 direction, const map_box& box, double& distance)
{
    double near = -std::numeric_limits<double>::infinity(), far = std::numeric_limits<double>::infinity();
    const double o[3] = {origin.x, origin.y, origin.z}, d[3] = {direction.x, direction.y, direction.z};
    const double lo[3] = {box.low.x, box.low.y, box.low.z}, hi[3] = {box.high.x, box.high.y, box.high.z};
    for (int k = 0; k < 3; ++k) {
        if (std::fabs(d[k]) < 1e-12) {
            if (o[k] < lo[k] || o[k] > hi[k]) return false;
            continue;
        }
        double t0 = (lo[k] - o[k]) / d[k], t1 = (hi[k] - o[k]) / d[k];
        if (t0 > t1) std::swap(t0, t1);
        near = std::max(near, t0);
        far = std::min(far, t1);
        if (near > far) return false;
    }
    if (far < 0) return false;
    distance = std::max(near, 0.0);
    return true;
}

bool pick_grid(const TMeshMap& map, map_grid grid, vec3 origin, vec3 direction, grid_point& out)
{
    if (map.fWidth <= 0 || map.fHeight <= 0 || grid_slot(grid) < 0) return false;
    // the part of the ray over the map, between the lowest and highest heights
    int16_t lowest = INT16_MAX, highest = INT16_MIN;
    for (const mesh_cell& c : map.fCells) {
        lowest = std::min(lowest, grid_height(c, grid));
        highest = std::max(highest, grid_height(c, grid));
    }
    map_box bounds{{0, 0, lowest / 512.0 - 0.01}, {double(map.fWidth - 1), double(map.fHeight - 1), highest / 512.0 + 0.01}};
    double start = 0;
    if (!ray_hits_box(origin, direction, bounds, start)) return false;
    double end = start;
    {
        // the far side of the box: walk the ray back from far away
        vec3 far_origin = origin + direction * (start + 4.0 * (map.fWidth + map.fHeight) + 1e4);
        double back = 0;
        if (ray_hits_box(far_origin, direction * -1, bounds, back))
            end = start + 4.0 * (map.fWidth + map.fHeight) + 1e4 - back;
    }
    auto above = [&](double t) {
        vec3 p = origin + direction * t;
        return p.z - grid_height_at(map, grid, p.x, p.y);
    };
    const double step = 0.25;
    double t0 = start, f0 = above(t0);
    if (f0 <= 0) {
        vec3 p = origin + direction * t0;
        out = {p.x, p.y, grid_height_at(map, grid, p.x, p.y)};
        return true;
    }
    for (double t1 = std::min(end, t0 + step);; t1 = std::min(end, t1 + step)) {
        double f1 = above(t1);
        if (f1 <= 0) {
            for (int i = 0; i < 30; ++i) {
                double mid = (t0 + t1) / 2;
                (above(mid) > 0 ? t0 : t1) = mid;
            }
            vec3 p = origin + direction * t1;
            out = {p.x, p.y, grid_height_at(map, grid, p.x, p.y)};
            return true;
        }
        if (t1 >= end) return false;
        t0 = t1;
    }
}

int pick_marker(const std::vector<map_box>& boxes, vec3 origin, vec3 direction)
{
    int best = -1;
    double nearest = std::numeric_limits<double>::infinity();
    for (size_t i = 0; i < boxes.size(); ++i) {
        double d;
        if (ray_hits_box(origin, direction, boxes[i], d) && d < nearest) {
            nearest = d;
            best = int(i);
        }
    }
    return best;
}

vec3 marker_position(const marker_data& m)
{
    return {m.position[0] / 512.0, m.position[1] / 512.0, m.position[2] / 512.0};
}

map_box marker_symbol_box(const marker_data& m)
{
    vec3 p = marker_position(m);
    return {{p.x - 0.5, p.y - 0.5, p.z}, {p.x + 0.5, p.y + 0.5, p.z + 1.5}};
}
