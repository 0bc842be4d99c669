// The in-memory form of a map and its conversions to and from a mesh tag.
#pragma once

#include <string>
#include <vector>

#include "map/mesh_format.h"

class TMeshMap {
public:
    mesh_header fHeader{};
    int32_t fWidth = 0;  // in cells
    int32_t fHeight = 0;
    std::vector<mesh_cell> fCells; // row-major, render heights absolute
    std::vector<marker_palette_entry> fPalette;
    std::vector<marker_data> fMarkers; // palette indexes into the whole palette
    std::vector<uint8_t> fBlockA;
    std::vector<uint8_t> fBlockB;
    std::vector<uint8_t> fBlockC;
    std::vector<uint8_t> fMapActions; // the action records and their parameters
    int16_t fNextMarkerIdentifier = FIRST_MARKER_IDENTIFIER;

    mesh_cell& Cell(int32_t x, int32_t y) { return fCells[size_t(y) * size_t(fWidth) + size_t(x)]; }
    const mesh_cell& Cell(int32_t x, int32_t y) const { return fCells[size_t(y) * size_t(fWidth) + size_t(x)]; }
};

// Fills map from the tag. Raises the program's read error naming the tag when its data
// cannot be had or a section lies outside it; map is unchanged then.
void load_map(tag_entry* e, TMeshMap& map);

// Rebuilds the whole tag from map: sections laid out in order right after the header,
// palette counts recomputed, run-time fields cleared. Raises an error when the map is too
// large for the format; the tag is unchanged then.
void store_map(tag_entry* e, const TMeshMap& map);

// The tag's bytes for map, as store_map writes them.
std::vector<uint8_t> map_tag_bytes(const TMeshMap& map);

// Sizes of a new map: multiples of 32 from 32 to 512.
bool mesh_size_is_valid(int width, int height);
// What the New Mesh dialog says of the sizes.
std::string mesh_size_message(int width, int height);

// A new map of width x height cells with the default header and cells.
TMeshMap default_mesh_map(int width, int height);
// Gives the tag a new map's data. Raises the size message for invalid sizes.
void set_mesh_defaults(tag_entry* e, int width, int height);

// Reports the tags the map uses: header, palette entries, map action parameters, next maps.
void collect_mesh_dependencies(tag_entry* e);

// Installs the mesh hooks (defaults of 192 x 192 cells, dependencies).
void install_map_tag_hooks();
