// The map being edited, without windows: the map, what the form has chosen (palette
// type and entries, tool, terrain type, brush, media height), the selection and the
// band, the strokes of the tools and the undo history. Every edit is one step.
#pragma once

#include <memory>
#include <optional>
#include <unordered_map>
#include <vector>

#include "map/map_band.h"
#include "map/map_display.h"
#include "map/map_drag.h"
#include "map/map_history.h"
#include "map/map_palette.h"
#include "map/map_pick.h"
#include "map/map_tools.h"
#include "map/mesh_map.h"

class map_editor {
public:
    TMeshMap map;
    map_display_state display;
    map_history history;
    std::vector<int> selection; // marker indexes
    map_band band;
    map_brush brush;
    map_tool tool = MAP_TOOL_BAND_GRID;
    int terrain_type = 6;
    int16_t media_height = 0;
    int current_type = PALETTE_TYPES[0];
    int current_entry[NUMBER_OF_MARKER_TYPES];

    map_editor();
    // After the map was loaded (or reloaded): no history, selection or band.
    void loaded();
    // After the map was stored: the history stays, the modified flag clears.
    void stored() { history.mark_saved(); }
    bool modified() const { return history.modified(); }

    // The grids an edit on the click grid changes.
    std::vector<map_grid> changed_grids() const;

    // Palette. The current type's entries in palette order.
    std::vector<int> current_entries() const { return palette_entries_of_type(map, current_type); }
    void choose_type(int type);
    void choose_row(int row); // the row-th entry of the current type becomes current
    int current() const { return current_type >= 0 && current_type < NUMBER_OF_MARKER_TYPES ? current_entry[current_type] : -1; }
    void add_entry(const marker_palette_entry& entry);
    void replace_entry(int entry, const marker_palette_entry& value);
    void delete_current();
    void select_current_markers();

    // Markers.
    int place_marker(double x, double y, double z); // -1 without a current entry
    void edit_marker(int index, const marker_data& value);
    void clear_selected();
    void clear_pitch_and_roll();
    void set_render_from_physical();
    void select(int marker, bool add);
    // The header as the header edits leave it (one step).
    void set_header(const mesh_header& header);

    // Tool strokes on the click grid: press, moves (d is the drag distance in world
    // units for the drags), release; one stroke is one step. With shift, banding adds
    // to the band and Smooth unsmooths; with control, Band Grid blends toward the
    // picked cell instead of raising.
    void stroke_begin(const grid_point& p, bool shift, bool control);
    void stroke_move(const grid_point& p, double d);
    void stroke_end();
    bool in_stroke() const { return fStroke; }
    bool dragging() const { return fDrag != nullptr; }

    // Undo and redo; false when there was nothing to do.
    bool undo();
    bool redo();

    // The cells changed since the last call (for the view to rebuild), and whether the
    // markers or the palette changed.
    std::vector<uint32_t> take_changed_cells();
    bool take_markers_changed();

private:
    void begin_step();
    void end_step();
    void touch(const std::vector<uint32_t>& cells, const std::vector<mesh_cell>& before);
    void keep_selection_valid();

    std::optional<map_step_recorder> fRecorder;
    std::unordered_map<uint32_t, mesh_cell> fBefore; // cells' values at the start of the step
    std::vector<uint32_t> fChanged;
    bool fMarkersChanged = false;
    bool fStroke = false;
    bool fShift = false;
    std::unique_ptr<map_drag> fDrag;
};
