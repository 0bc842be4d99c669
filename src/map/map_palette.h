// The marker palette and the markers: palette rows, new entries, deleting an entry with
// the markers that use it, new markers, and the fields of the Edit Marker dialog.
#pragma once

#include <string>
#include <vector>

#include "map/mesh_format.h"

class TMeshMap;
class TTagStore;

// The six usable marker types of the palette pop-up, in its order.
constexpr int PALETTE_TYPES[6] = {0, 1, 3, 5, 9, 10};

// A new entry of the type as the New button presets it.
marker_palette_entry new_palette_entry(int type);
// The whole-palette indexes of the entries of a type, in palette order.
std::vector<int> palette_entries_of_type(const TMeshMap& map, int type);
// The palette list's row of an entry: its id, and the tag's name when the tag is open.
std::string palette_row_text(const TTagStore* store, const marker_palette_entry& entry);
// The markers whose palette index is entry.
std::vector<int> markers_using(const TMeshMap& map, int entry);

// Removes the entry and every marker that uses it; later markers' palette indexes drop
// by one. current (12 entries, one per marker type) follows: the type's current entry
// becomes -1, those above the removed index drop by one.
void delete_palette_entry(TMeshMap& map, int entry, int current[NUMBER_OF_MARKER_TYPES]);

// Appends a zeroed marker of the entry's type at the position (world units), with the
// next free identifier. Returns its index.
int add_marker(TMeshMap& map, int entry, double x, double y, double z);
// Removes the markers, highest index first.
void remove_markers(TMeshMap& map, std::vector<int> markers);

// The Edit Marker dialog's fields: position and elevation in world units, angles in
// degrees, the five flag boxes and the difficulty radio (0 Weak, 1 Mighty, 2 Legendary).
struct marker_fields {
    double x = 0, y = 0, z = 0, elevation = 0;
    double yaw = 0, pitch = 0, roll = 0;
    bool flags[5] = {};
    int difficulty = 0;
};
marker_fields marker_to_fields(const marker_data& m);
// Writes the fields back; the flags are rebuilt from the five boxes alone.
void fields_to_marker(const marker_fields& f, marker_data& m);

// Lock Z and Lock Elevation: elevation is the height above the ground (z - ground).
// Typing the locked value's partner leaves the locked value; typing the locked value
// moves its partner so that z = ground + elevation holds.
enum marker_lock { LOCK_Z, LOCK_ELEVATION };
void marker_z_typed(marker_fields& f, marker_lock lock, double ground);
void marker_elevation_typed(marker_fields& f, marker_lock lock, double ground);
