// Height drags on the band: raise (the band follows the pointer), weighted (each cell by
// its weight) and blend (toward the picked cell's height). A drag keeps the band's cells
// as they were at its start; each step sets the grids it changes from them.
#pragma once

#include <cstdint>
#include <vector>

#include "map/map_band.h"
#include "map/map_display.h"

class TMeshMap;

enum map_drag_kind { MAP_DRAG_RAISE, MAP_DRAG_WEIGHTED, MAP_DRAG_BLEND };

class map_drag {
public:
    // Starts on the band; grids are the fields changed (the click grid and those whose
    // modify flag is set); picked is the cell under the pointer (for blending); radius
    // the brush radius in cells.
    map_drag(const TMeshMap& map, const map_band& band, map_drag_kind kind, std::vector<map_grid> grids,
             uint32_t picked, double radius);

    // Moves the band to where a signed distance of d world units from the start puts it.
    // Returns the cells changed by this step.
    std::vector<uint32_t> step(TMeshMap& map, double d);

    map_drag_kind kind() const { return fKind; }
    const std::vector<uint32_t>& cells() const { return fCells; }
    const std::vector<mesh_cell>& start() const { return fStart; } // the band's cells before the drag

private:
    map_drag_kind fKind;
    std::vector<map_grid> fGrids;
    std::vector<uint32_t> fCells;
    std::vector<float> fWeights;
    std::vector<mesh_cell> fStart;
    int16_t fPicked[3] = {}; // the picked cell's heights by grid slot
    double fRadius;
    int32_t fApplied = 0; // raise: the amount already applied
};

// A value moved into the range of a height field.
int16_t clamp_height(double v);
