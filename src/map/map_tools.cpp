#include "map/map_tools.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <unordered_map>

#include "map/map_drag.h"
#include "map/mesh_map.h"

namespace {

bool has_media(const TMeshMap& map, int x, int y)
{
    return x >= 0 && y >= 0 && x < map.fWidth && y < map.fHeight && (map.Cell(x, y).flags & MESH_CELL_MEDIA);
}

} // namespace

void derive_media_bits(TMeshMap& map, const std::vector<uint32_t>& cells, std::vector<uint32_t>* changed)
{
    for (uint32_t c : cells) {
        int x = int(c % uint32_t(map.fWidth)), y = int(c / uint32_t(map.fWidth));
        // the cell's bit follows it and its neighbours above and to the left, so it
        // touches the bits of the cells right of and below it
        for (int dy = 0; dy <= 1; ++dy)
            for (int dx = 0; dx <= 1; ++dx) {
                int cx = x + dx, cy = y + dy;
                if (cx >= map.fWidth || cy >= map.fHeight) continue;
                bool media = has_media(map, cx, cy) || has_media(map, cx - 1, cy) || has_media(map, cx, cy - 1) ||
                             has_media(map, cx - 1, cy - 1);
                uint16_t& flags = map.Cell(cx, cy).flags;
                uint16_t next = media ? flags | MESH_CELL_DERIVED_MEDIA : flags & ~MESH_CELL_DERIVED_MEDIA;
                if (next != flags) {
                    flags = next;
                    if (changed) changed->push_back(uint32_t(cy * map.fWidth + cx));
                }
            }
    }
}

std::vector<uint32_t> apply_water(TMeshMap& map, const map_band& band, int16_t media_height)
{
    std::vector<uint32_t> changed;
    for (uint32_t c : band.cells()) {
        if (c >= map.fCells.size()) continue;
        mesh_cell& cell = map.fCells[c];
        if (cell.media_height == media_height && (cell.flags & MESH_CELL_MEDIA) == MESH_CELL_MEDIA) continue;
        cell.media_height = media_height;
        cell.flags |= MESH_CELL_MEDIA;
        changed.push_back(c);
    }
    std::vector<uint32_t> derived;
    derive_media_bits(map, changed, &derived);
    changed.insert(changed.end(), derived.begin(), derived.end());
    std::sort(changed.begin(), changed.end());
    changed.erase(std::unique(changed.begin(), changed.end()), changed.end());
    return changed;
}

std::vector<uint32_t> apply_terrain_type(TMeshMap& map, const map_band& band, int type)
{
    std::vector<uint32_t> changed;
    uint16_t bits = uint16_t((type & 15) | ((type & 15) << 4));
    for (uint32_t c : band.cells()) {
        if (c >= map.fCells.size()) continue;
        uint16_t& flags = map.fCells[c].flags;
        uint16_t next = uint16_t((flags & ~0x00FF) | bits);
        if (next != flags) {
            flags = next;
            changed.push_back(c);
        }
    }
    return changed;
}

std::vector<uint32_t> apply_smooth(TMeshMap& map, const map_band& band, const std::vector<map_grid>& grids,
                                   bool unsmooth)
{
    // every cell reads its neighbours as they were before the stroke
    std::vector<std::pair<uint32_t, mesh_cell>> next;
    for (size_t i = 0; i < band.cells().size(); ++i) {
        uint32_t c = band.cells()[i];
        if (c >= map.fCells.size()) continue;
        int x = int(c % uint32_t(map.fWidth)), y = int(c / uint32_t(map.fWidth));
        mesh_cell cell = map.fCells[c];
        double strength = 0.5 * band.weights()[i] * (unsmooth ? -1 : 1);
        for (map_grid g : grids) {
            double sum = 0;
            int n = 0;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx) {
                    int cx = x + dx, cy = y + dy;
                    if ((dx || dy) && cx >= 0 && cy >= 0 && cx < map.fWidth && cy < map.fHeight) {
                        sum += grid_height(map.Cell(cx, cy), g);
                        ++n;
                    }
                }
            if (!n) continue;
            double value = grid_height(cell, g);
            grid_height(cell, g) = clamp_height(value + (sum / n - value) * strength);
        }
        next.push_back({c, cell});
    }
    std::vector<uint32_t> changed;
    for (auto& [c, cell] : next) {
        if (std::memcmp(&map.fCells[c], &cell, sizeof cell) == 0) continue;
        map.fCells[c] = cell;
        changed.push_back(c);
    }
    return changed;
}

std::vector<int> markers_follow(TMeshMap& map, const std::vector<uint32_t>& cells,
                                const std::vector<mesh_cell>& before, map_grid grid)
{
    std::vector<int> moved;
    if (grid_slot(grid) < 0 || map.fWidth <= 0) return moved;
    std::unordered_map<uint32_t, int32_t> change;
    for (size_t i = 0; i < cells.size() && i < before.size(); ++i)
        change[cells[i]] = grid_height(map.fCells[cells[i]], grid) - grid_height(before[i], grid);
    for (size_t m = 0; m < map.fMarkers.size(); ++m) {
        marker_data& marker = map.fMarkers[m];
        long x = std::lround(marker.position[0] / 512.0), y = std::lround(marker.position[1] / 512.0);
        if (x < 0 || y < 0 || x >= map.fWidth || y >= map.fHeight) continue;
        auto it = change.find(uint32_t(y * map.fWidth + x));
        if (it == change.end() || it->second == 0) continue;
        marker.position[2] += it->second;
        moved.push_back(int(m));
    }
    return moved;
}

std::vector<int> markers_in_brush(const TMeshMap& map, double x, double y, double radius)
{
    std::vector<int> found;
    for (size_t m = 0; m < map.fMarkers.size(); ++m) {
        const marker_data& marker = map.fMarkers[m];
        if (std::hypot(marker.position[0] / 512.0 - x, marker.position[1] / 512.0 - y) < radius) found.push_back(int(m));
    }
    return found;
}
