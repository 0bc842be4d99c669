#include "map/map_history.h"

#include <cstring>

#include "map/mesh_map.h"

namespace {

template <class T>
bool same(const T& a, const T& b)
{
    return std::memcmp(&a, &b, sizeof(T)) == 0;
}

// The in-place changes between two lists of the same length.
template <class T>
void changes(const std::vector<T>& before, const std::vector<T>& after, std::vector<int>& where, std::vector<T>& old,
             std::vector<T>& now)
{
    for (size_t i = 0; i < after.size(); ++i)
        if (!same(before[i], after[i])) {
            where.push_back(int(i));
            old.push_back(before[i]);
            now.push_back(after[i]);
        }
}

void apply(TMeshMap& map, const map_step& s, bool forward)
{
    const std::vector<mesh_cell>& cells = forward ? s.cells_after : s.cells_before;
    for (size_t i = 0; i < s.cells.size(); ++i)
        if (s.cells[i] < map.fCells.size()) map.fCells[s.cells[i]] = cells[i];
    if (s.lists) {
        map.fMarkers = forward ? s.all_markers_after : s.all_markers_before;
        map.fPalette = forward ? s.palette_after : s.palette_before;
    }
    for (size_t i = 0; i < s.markers.size(); ++i)
        if (size_t(s.markers[i]) < map.fMarkers.size())
            map.fMarkers[size_t(s.markers[i])] = forward ? s.markers_after[i] : s.markers_before[i];
    for (size_t i = 0; i < s.entries.size(); ++i)
        if (size_t(s.entries[i]) < map.fPalette.size())
            map.fPalette[size_t(s.entries[i])] = forward ? s.entries_after[i] : s.entries_before[i];
    map.fNextMarkerIdentifier = forward ? s.next_identifier_after : s.next_identifier_before;
    if (s.header) map.fHeader = forward ? s.header_after : s.header_before;
}

} // namespace

map_step_recorder::map_step_recorder(const TMeshMap& map)
    : fMarkers(map.fMarkers), fPalette(map.fPalette), fNextIdentifier(map.fNextMarkerIdentifier), fHeader(map.fHeader)
{
}

map_step map_step_recorder::finish(const TMeshMap& map, const std::vector<uint32_t>& cells,
                                   const std::vector<mesh_cell>& cells_before) const
{
    map_step s;
    for (size_t i = 0; i < cells.size() && i < cells_before.size(); ++i) {
        if (cells[i] >= map.fCells.size() || same(cells_before[i], map.fCells[cells[i]])) continue;
        s.cells.push_back(cells[i]);
        s.cells_before.push_back(cells_before[i]);
        s.cells_after.push_back(map.fCells[cells[i]]);
    }
    if (fMarkers.size() != map.fMarkers.size() || fPalette.size() != map.fPalette.size()) {
        s.lists = true;
        s.all_markers_before = fMarkers;
        s.all_markers_after = map.fMarkers;
        s.palette_before = fPalette;
        s.palette_after = map.fPalette;
    } else {
        changes(fMarkers, map.fMarkers, s.markers, s.markers_before, s.markers_after);
        changes(fPalette, map.fPalette, s.entries, s.entries_before, s.entries_after);
    }
    s.next_identifier_before = fNextIdentifier;
    s.next_identifier_after = map.fNextMarkerIdentifier;
    if (!same(fHeader, map.fHeader)) {
        s.header = true;
        s.header_before = fHeader;
        s.header_after = map.fHeader;
    }
    return s;
}

void map_history::push(map_step step)
{
    if (step.empty()) return;
    fSteps.resize(fPosition);
    if (fSaved > int64_t(fPosition)) fSaved = -1;
    fSteps.push_back(std::move(step));
    ++fPosition;
}

const map_step* map_history::undo(TMeshMap& map)
{
    if (!can_undo()) return nullptr;
    --fPosition;
    apply(map, fSteps[fPosition], false);
    return &fSteps[fPosition];
}

const map_step* map_history::redo(TMeshMap& map)
{
    if (!can_redo()) return nullptr;
    apply(map, fSteps[fPosition], true);
    return &fSteps[fPosition++];
}

void map_history::clear()
{
    fSteps.clear();
    fPosition = 0;
    fSaved = 0;
}
