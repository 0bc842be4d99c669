// Undo and redo of map edits. A step keeps only what the edit changed: the cells with
// their values before and after, the markers and palette entries changed in place, and
// the whole marker list or palette only when the edit changed its length.
#pragma once

#include <cstdint>
#include <vector>

#include "map/mesh_format.h"

class TMeshMap;

struct map_step {
    std::vector<uint32_t> cells;
    std::vector<mesh_cell> cells_before, cells_after;
    std::vector<int> markers; // changed in place
    std::vector<marker_data> markers_before, markers_after;
    std::vector<int> entries; // palette entries changed in place
    std::vector<marker_palette_entry> entries_before, entries_after;
    bool lists = false; // the marker list and palette were replaced whole
    std::vector<marker_data> all_markers_before, all_markers_after;
    std::vector<marker_palette_entry> palette_before, palette_after;
    int16_t next_identifier_before = 0, next_identifier_after = 0;
    bool header = false; // the header changed
    mesh_header header_before{}, header_after{};

    bool empty() const
    {
        return cells.empty() && markers.empty() && entries.empty() && !lists && !header &&
               next_identifier_before == next_identifier_after;
    }
};

// Records one edit: made before it, finished after it with the cells it changed and
// their values before.
class map_step_recorder {
public:
    explicit map_step_recorder(const TMeshMap& map);
    map_step finish(const TMeshMap& map, const std::vector<uint32_t>& cells = {},
                    const std::vector<mesh_cell>& cells_before = {}) const;

private:
    std::vector<marker_data> fMarkers;
    std::vector<marker_palette_entry> fPalette;
    int16_t fNextIdentifier;
    mesh_header fHeader;
};

class map_history {
public:
    // Adds a step after the current one (dropping what could be redone); empty steps are
    // not kept.
    void push(map_step step);
    bool can_undo() const { return fPosition > 0; }
    bool can_redo() const { return fPosition < fSteps.size(); }
    // Puts the map back as it was before the last step; returns that step (null when none).
    const map_step* undo(TMeshMap& map);
    const map_step* redo(TMeshMap& map);
    void clear();
    // The map as it is now is the one stored: modified() follows from here.
    void mark_saved() { fSaved = int64_t(fPosition); }
    bool modified() const { return fSaved != int64_t(fPosition); }
    size_t size() const { return fSteps.size(); }

private:
    std::vector<map_step> fSteps;
    size_t fPosition = 0;
    int64_t fSaved = 0; // -1 when the saved state can no longer be reached
};
