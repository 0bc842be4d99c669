#include "map/map_editor.h"

#include <algorithm>

map_editor::map_editor()
{
    std::fill(std::begin(current_entry), std::end(current_entry), -1);
}

void map_editor::loaded()
{
    history.clear();
    selection.clear();
    band.clear();
    fDrag.reset();
    fStroke = false;
    fRecorder.reset();
    fBefore.clear();
    std::fill(std::begin(current_entry), std::end(current_entry), -1);
    for (int t = 0; t < NUMBER_OF_MARKER_TYPES; ++t) {
        std::vector<int> entries = palette_entries_of_type(map, t);
        if (!entries.empty()) current_entry[t] = entries.front();
    }
    fChanged.clear();
    fMarkersChanged = true;
}

std::vector<map_grid> map_editor::changed_grids() const
{
    std::vector<map_grid> grids;
    for (map_grid g : MAP_GRIDS)
        if (display.modifies(g)) grids.push_back(g);
    return grids;
}

void map_editor::begin_step()
{
    fRecorder.emplace(map);
    fBefore.clear();
}

void map_editor::end_step()
{
    if (!fRecorder) return;
    std::vector<uint32_t> cells;
    std::vector<mesh_cell> before;
    for (auto& [c, value] : fBefore) {
        cells.push_back(c);
        before.push_back(value);
    }
    map_step step = fRecorder->finish(map, cells, before);
    if (step.lists || !step.markers.empty() || !step.entries.empty()) fMarkersChanged = true;
    history.push(std::move(step));
    fRecorder.reset();
    fBefore.clear();
    keep_selection_valid();
}

void map_editor::touch(const std::vector<uint32_t>& cells, const std::vector<mesh_cell>& before)
{
    for (size_t i = 0; i < cells.size(); ++i) fBefore.emplace(cells[i], before[i]);
    fChanged.insert(fChanged.end(), cells.begin(), cells.end());
    if (display.markers_follow_heights && display.click_grid != MAP_GRID_NONE &&
        !markers_follow(map, cells, before, display.click_grid).empty())
        fMarkersChanged = true;
}

void map_editor::keep_selection_valid()
{
    std::erase_if(selection, [&](int i) { return i < 0 || size_t(i) >= map.fMarkers.size(); });
}

void map_editor::choose_type(int type)
{
    if (type >= 0 && type < NUMBER_OF_MARKER_TYPES) current_type = type;
}

void map_editor::choose_row(int row)
{
    std::vector<int> entries = current_entries();
    if (row >= 0 && size_t(row) < entries.size()) current_entry[current_type] = entries[size_t(row)];
}

void map_editor::add_entry(const marker_palette_entry& entry)
{
    begin_step();
    map.fPalette.push_back(entry);
    if (entry.type >= 0 && entry.type < NUMBER_OF_MARKER_TYPES) current_entry[entry.type] = int(map.fPalette.size() - 1);
    end_step();
}

void map_editor::replace_entry(int entry, const marker_palette_entry& value)
{
    if (entry < 0 || size_t(entry) >= map.fPalette.size()) return;
    begin_step();
    map.fPalette[size_t(entry)] = value;
    end_step();
}

void map_editor::delete_current()
{
    int entry = current();
    if (entry < 0) return;
    begin_step();
    delete_palette_entry(map, entry, current_entry);
    selection.clear();
    end_step();
}

void map_editor::select_current_markers()
{
    int entry = current();
    if (entry < 0) return;
    for (int m : markers_using(map, entry)) select(m, true);
}

int map_editor::place_marker(double x, double y, double z)
{
    int entry = current();
    if (entry < 0) return -1;
    begin_step();
    int index = add_marker(map, entry, x, y, z);
    end_step();
    selection = {index};
    return index;
}

void map_editor::edit_marker(int index, const marker_data& value)
{
    if (index < 0 || size_t(index) >= map.fMarkers.size()) return;
    begin_step();
    map.fMarkers[size_t(index)] = value;
    end_step();
}

void map_editor::clear_selected()
{
    if (selection.empty()) return;
    begin_step();
    remove_markers(map, selection);
    selection.clear();
    end_step();
}

void map_editor::clear_pitch_and_roll()
{
    begin_step();
    for (marker_data& m : map.fMarkers) m.pitch = m.roll = 0;
    end_step();
}

void map_editor::set_render_from_physical()
{
    begin_step();
    std::vector<uint32_t> cells;
    std::vector<mesh_cell> before;
    for (size_t i = 0; i < map.fCells.size(); ++i) {
        mesh_cell& c = map.fCells[i];
        if (c.render_height == c.physical_height) continue;
        cells.push_back(uint32_t(i));
        before.push_back(c);
        c.render_height = c.physical_height;
    }
    touch(cells, before);
    end_step();
}

void map_editor::set_header(const mesh_header& header)
{
    begin_step();
    map.fHeader = header;
    end_step();
}

void map_editor::select(int marker, bool add)
{
    if (!add) selection.clear();
    if (marker >= 0 && size_t(marker) < map.fMarkers.size() &&
        std::find(selection.begin(), selection.end(), marker) == selection.end())
        selection.push_back(marker);
}

void map_editor::stroke_begin(const grid_point& p, bool shift, bool control)
{
    stroke_end();
    fStroke = true;
    fShift = shift;
    begin_step();
    if (map.fWidth <= 0 || map.fHeight <= 0) return;
    int cx = std::clamp(p.column(), 0, map.fWidth - 1), cy = std::clamp(p.row(), 0, map.fHeight - 1);
    uint32_t picked = uint32_t(cy * map.fWidth + cx);
    switch (tool) {
    case MAP_TOOL_BAND_GRID:
        if (!shift && band.contains(picked) && display.click_grid != MAP_GRID_NONE) {
            fDrag = std::make_unique<map_drag>(map, band, control ? MAP_DRAG_BLEND : MAP_DRAG_RAISE, changed_grids(),
                                               picked, brush.radius);
            return;
        }
        if (!shift) band.clear();
        break;
    case MAP_TOOL_PULL_GRID:
        if (display.click_grid == MAP_GRID_NONE) return;
        band.clear();
        band_brush(map, p.x, p.y, brush, band);
        fDrag = std::make_unique<map_drag>(map, band, MAP_DRAG_WEIGHTED, changed_grids(), picked, brush.radius);
        return;
    case MAP_TOOL_BAND_MARKERS:
        if (!shift) selection.clear();
        break;
    default: break;
    }
    stroke_move(p, 0);
}

void map_editor::stroke_move(const grid_point& p, double d)
{
    if (!fStroke) return;
    if (fDrag) {
        std::vector<mesh_cell> before;
        for (uint32_t c : fDrag->cells()) before.push_back(map.fCells[c]);
        fDrag->step(map, d);
        touch(fDrag->cells(), before);
        if (fDrag->kind() == MAP_DRAG_RAISE && display.click_grid == MAP_GRID_MEDIA) {
            int cx = std::clamp(p.column(), 0, map.fWidth - 1), cy = std::clamp(p.row(), 0, map.fHeight - 1);
            uint32_t c = uint32_t(cy * map.fWidth + cx);
            if (band.contains(c)) media_height = map.fCells[c].media_height;
        }
        return;
    }
    map_band stroke;
    switch (tool) {
    case MAP_TOOL_BAND_GRID: band_brush(map, p.x, p.y, brush, band); return;
    case MAP_TOOL_BAND_MARKERS:
        for (int m : markers_in_brush(map, p.x, p.y, brush.radius)) select(m, true);
        return;
    default: break;
    }
    band_brush(map, p.x, p.y, brush, stroke);
    std::vector<mesh_cell> before;
    std::vector<uint32_t> around; // the derived media bits reach one cell right and down
    for (uint32_t c : stroke.cells()) {
        around.push_back(c);
        int x = int(c % uint32_t(map.fWidth)), y = int(c / uint32_t(map.fWidth));
        if (x + 1 < map.fWidth) around.push_back(c + 1);
        if (y + 1 < map.fHeight) around.push_back(c + uint32_t(map.fWidth));
        if (x + 1 < map.fWidth && y + 1 < map.fHeight) around.push_back(c + uint32_t(map.fWidth) + 1);
    }
    for (uint32_t c : around) before.push_back(map.fCells[c]);
    std::vector<uint32_t> changed;
    switch (tool) {
    case MAP_TOOL_WATER: changed = apply_water(map, stroke, media_height); break;
    case MAP_TOOL_TERRAIN_TYPE: changed = apply_terrain_type(map, stroke, terrain_type); break;
    case MAP_TOOL_SMOOTH:
        if (display.click_grid != MAP_GRID_NONE) changed = apply_smooth(map, stroke, changed_grids(), fShift);
        break;
    default: break;
    }
    if (!changed.empty()) touch(around, before);
}

void map_editor::stroke_end()
{
    if (!fStroke) return;
    fStroke = false;
    fDrag.reset();
    end_step();
}

bool map_editor::undo()
{
    stroke_end();
    const map_step* s = history.undo(map);
    if (!s) return false;
    fChanged.insert(fChanged.end(), s->cells.begin(), s->cells.end());
    fMarkersChanged = true;
    keep_selection_valid();
    return true;
}

bool map_editor::redo()
{
    stroke_end();
    const map_step* s = history.redo(map);
    if (!s) return false;
    fChanged.insert(fChanged.end(), s->cells.begin(), s->cells.end());
    fMarkersChanged = true;
    keep_selection_valid();
    return true;
}

std::vector<uint32_t> map_editor::take_changed_cells()
{
    std::vector<uint32_t> cells;
    cells.swap(fChanged);
    return cells;
}

bool map_editor::take_markers_changed()
{
    bool changed = fMarkersChanged;
    fMarkersChanged = false;
    return changed;
}
