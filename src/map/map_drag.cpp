#include "map/map_drag.h"

#include <algorithm>
#include <cmath>

#include "map/mesh_map.h"

int16_t clamp_height(double v)
{
    return int16_t(std::clamp(std::lround(v), long(INT16_MIN), long(INT16_MAX)));
}

map_drag::map_drag(const TMeshMap& map, const map_band& band, map_drag_kind kind, std::vector<map_grid> grids,
                   uint32_t picked, double radius)
    : fKind(kind), fGrids(std::move(grids)), fRadius(radius)
{
    for (size_t i = 0; i < band.cells().size(); ++i) {
        uint32_t c = band.cells()[i];
        if (c >= map.fCells.size()) continue;
        fCells.push_back(c);
        fWeights.push_back(band.weights()[i]);
        fStart.push_back(map.fCells[c]);
    }
    if (picked < map.fCells.size())
        for (map_grid g : MAP_GRIDS) fPicked[grid_slot(g)] = grid_height(map.fCells[picked], g);
}

std::vector<uint32_t> map_drag::step(TMeshMap& map, double d)
{
    int32_t raise = int32_t(std::lround(d * 512));
    for (size_t i = 0; i < fCells.size(); ++i) {
        mesh_cell& cell = map.fCells[fCells[i]];
        for (map_grid g : fGrids) {
            int16_t& field = grid_height(cell, g);
            double start = grid_height(fStart[i], g);
            switch (fKind) {
            case MAP_DRAG_RAISE: field = clamp_height(double(field) + (raise - fApplied)); break;
            case MAP_DRAG_WEIGHTED: field = clamp_height(start + std::round(d * fWeights[i] * 512)); break;
            case MAP_DRAG_BLEND: {
                double f = fRadius > 0 ? std::min(1.0, d / (1.5 * fRadius) * fWeights[i]) : 0;
                field = clamp_height(start + (fPicked[grid_slot(g)] - start) * f);
                break;
            }
            }
        }
    }
    fApplied = raise;
    return fCells;
}
