#include "map/mesh_map.h"

#include <cstring>

#include "framework/ProgramAssert.h"

namespace {

// A section of the data area: where it starts in the tag and how long it is.
struct section {
    uint64_t start;
    uint64_t size;
};

class TMapReader {
public:
    TMapReader(tag_entry* e, const uint8_t* data, uint32_t size) : fEntry(e), fData(data), fSize(size) {}

    section Section(uint32_t data_offset, uint32_t offset, uint64_t size, const char* what) const
    {
        uint64_t start = uint64_t(data_offset) + offset;
        if (start > fSize || size > fSize - start)
            throw tag_data_error(fEntry, std::string("has its ") + what + " outside its data");
        return {start, size};
    }

    template <class T>
    void Read(const section& s, size_t index, T& out) const
    {
        using info = tag_struct_info<T>;
        byte_swap_copy(info::label, &out, fData + s.start + index * sizeof(T), int32_t(sizeof(T)), 1, info::codes);
    }

    std::vector<uint8_t> Bytes(const section& s) const
    {
        return std::vector<uint8_t>(fData + s.start, fData + s.start + s.size);
    }

private:
    tag_entry* fEntry;
    const uint8_t* fData;
    uint32_t fSize;
};

bool HasMedia(const TMeshMap& map, int32_t x, int32_t y)
{
    if (x < 0 || y < 0) return false;
    return (map.Cell(x, y).flags & MESH_CELL_MEDIA) != 0;
}

// Either media bit set means both; the derived bit follows the cell and its
// neighbours above and to the left.
void DeriveMediaBits(TMeshMap& map)
{
    for (mesh_cell& c : map.fCells)
        if (c.flags & MESH_CELL_MEDIA) c.flags |= MESH_CELL_MEDIA;
    for (int32_t y = 0; y < map.fHeight; ++y) {
        for (int32_t x = 0; x < map.fWidth; ++x) {
            bool media = HasMedia(map, x, y) || HasMedia(map, x - 1, y) || HasMedia(map, x, y - 1) ||
                         HasMedia(map, x - 1, y - 1);
            mesh_cell& c = map.Cell(x, y);
            c.flags = media ? uint16_t(c.flags | MESH_CELL_DERIVED_MEDIA) : uint16_t(c.flags & ~MESH_CELL_DERIVED_MEDIA);
        }
    }
}

// The stored index among the entries of the marker's type, as an index into the palette.
int16_t WholePaletteIndex(const std::vector<marker_palette_entry>& palette, const marker_data& m)
{
    int count = 0;
    for (size_t i = 0; i < palette.size(); ++i) {
        if (palette[i].type != m.type) continue;
        if (count == m.palette_index) return int16_t(i);
        ++count;
    }
    return m.palette_index;
}

int16_t PerTypePaletteIndex(const std::vector<marker_palette_entry>& palette, const marker_data& m)
{
    if (m.palette_index < 0 || size_t(m.palette_index) >= palette.size() ||
        palette[size_t(m.palette_index)].type != m.type)
        return m.palette_index; // an index that named no entry when loaded is kept
    int16_t count = 0;
    for (int16_t i = 0; i < m.palette_index; ++i)
        if (palette[size_t(i)].type == m.type) ++count;
    return count;
}

template <class T>
void Put(std::vector<uint8_t>& out, size_t at, const T& value)
{
    using info = tag_struct_info<T>;
    byte_swap_copy(info::label, out.data() + at, &value, int32_t(sizeof(T)), 1, info::codes);
}

} // namespace

void load_map(tag_entry* e, TMeshMap& map)
{
    uint32_t size = 0;
    const uint8_t* data = tag_get_data(e, &size);
    if (!data) throw tag_data_error(e, "cannot be read");
    if (size < uint32_t(MESH_HEADER_SIZE)) throw tag_data_error(e, "is shorter than a map header");
    TMapReader reader(e, data, size);

    TMeshMap loaded;
    mesh_header& h = loaded.fHeader;
    reader.Read(section{0, MESH_HEADER_SIZE}, 0, h);
    if (h.width_in_blocks < 0 || h.height_in_blocks < 0) throw tag_data_error(e, "has a negative map size");
    loaded.fWidth = int32_t(h.width_in_blocks) * MESH_CELLS_PER_BLOCK;
    loaded.fHeight = int32_t(h.height_in_blocks) * MESH_CELLS_PER_BLOCK;
    uint64_t cell_count = uint64_t(loaded.fWidth) * uint64_t(loaded.fHeight);

    // Every section is checked before anything is converted.
    section cells = reader.Section(h.data_offset, h.cells_offset, cell_count * MESH_CELL_SIZE, "cells");
    section palette = reader.Section(h.data_offset, h.marker_palette_offset,
                                     uint64_t(h.marker_palette_count) * MARKER_PALETTE_ENTRY_SIZE, "marker palette");
    section markers =
        reader.Section(h.data_offset, h.markers_offset, uint64_t(h.marker_count) * MARKER_DATA_SIZE, "markers");
    section block_a = reader.Section(h.data_offset, h.block_a_offset, h.block_a_size, "block A");
    section block_b = reader.Section(h.data_offset, h.block_b_offset, h.block_b_size, "block B");
    section block_c = reader.Section(h.data_offset, h.block_c_offset, h.block_c_size, "block C");
    section actions = reader.Section(h.data_offset, h.map_actions_offset, h.map_actions_size, "map actions");

    loaded.fCells.resize(size_t(cell_count));
    for (size_t i = 0; i < loaded.fCells.size(); ++i) {
        mesh_cell& c = loaded.fCells[i];
        reader.Read(cells, i, c);
        c.render_height = int16_t(c.render_height + c.physical_height + 1);
    }
    DeriveMediaBits(loaded);

    loaded.fPalette.resize(h.marker_palette_count);
    for (size_t i = 0; i < loaded.fPalette.size(); ++i) reader.Read(palette, i, loaded.fPalette[i]);

    loaded.fMarkers.resize(h.marker_count);
    for (size_t i = 0; i < loaded.fMarkers.size(); ++i) {
        marker_data& m = loaded.fMarkers[i];
        reader.Read(markers, i, m);
        m.palette_index = WholePaletteIndex(loaded.fPalette, m);
        if (m.identifier >= loaded.fNextMarkerIdentifier) loaded.fNextMarkerIdentifier = int16_t(m.identifier + 1);
    }

    loaded.fBlockA = reader.Bytes(block_a);
    loaded.fBlockB = reader.Bytes(block_b);
    loaded.fBlockC = reader.Bytes(block_c);
    loaded.fMapActions = reader.Bytes(actions);
    map = std::move(loaded);
}

std::vector<uint8_t> map_tag_bytes(const TMeshMap& map)
{
    PROGRAM_ASSERT(map.fWidth >= 0 && map.fHeight >= 0, "mesh");
    PROGRAM_ASSERT(map.fCells.size() == size_t(map.fWidth) * size_t(map.fHeight), "mesh");
    PROGRAM_ASSERT(map.fHeader.width_in_blocks * MESH_CELLS_PER_BLOCK == map.fWidth &&
                       map.fHeader.height_in_blocks * MESH_CELLS_PER_BLOCK == map.fHeight,
                   "mesh");

    mesh_header h = map.fHeader;
    uint64_t offset = 0;
    auto place = [&offset](uint32_t& at, uint32_t& size, uint64_t bytes) {
        at = uint32_t(offset);
        size = uint32_t(bytes);
        offset += bytes;
    };
    uint64_t cells_size = uint64_t(map.fCells.size()) * MESH_CELL_SIZE;
    uint64_t total = cells_size + uint64_t(map.fPalette.size()) * MARKER_PALETTE_ENTRY_SIZE +
                     uint64_t(map.fMarkers.size()) * MARKER_DATA_SIZE + map.fBlockA.size() + map.fBlockB.size() +
                     map.fBlockC.size() + map.fMapActions.size();
    if (total > 0xFFFFFFFFull - MESH_HEADER_SIZE) throw XGPostError(kXGFileWriteError, {"The map is too large to store."});

    place(h.cells_offset, h.cells_size, cells_size);
    place(h.marker_palette_offset, h.marker_palette_size, uint64_t(map.fPalette.size()) * MARKER_PALETTE_ENTRY_SIZE);
    place(h.markers_offset, h.markers_size, uint64_t(map.fMarkers.size()) * MARKER_DATA_SIZE);
    place(h.block_a_offset, h.block_a_size, map.fBlockA.size());
    place(h.block_b_offset, h.block_b_size, map.fBlockB.size());
    place(h.block_c_offset, h.block_c_size, map.fBlockC.size());
    place(h.map_actions_offset, h.map_actions_size, map.fMapActions.size());
    h.marker_palette_count = uint32_t(map.fPalette.size());
    h.marker_count = uint32_t(map.fMarkers.size());
    h.data_offset = MESH_HEADER_SIZE;
    h.data_size = uint32_t(total);
    for (uint8_t* reserved : {h.reserved_20, h.reserved_32, h.reserved_48, h.reserved_64, h.reserved_200,
                              h.reserved_212})
        std::memset(reserved, 0, 4);
    h.reserved_296 = 0;

    std::vector<uint8_t> out(size_t(MESH_HEADER_SIZE + total));
    Put(out, 0, h);
    size_t base = MESH_HEADER_SIZE;
    for (size_t i = 0; i < map.fCells.size(); ++i) {
        mesh_cell c = map.fCells[i];
        c.render_height = int16_t(c.render_height - c.physical_height - 1);
        Put(out, base + h.cells_offset + i * MESH_CELL_SIZE, c);
    }
    std::vector<uint16_t> users(map.fPalette.size(), 0);
    for (const marker_data& m : map.fMarkers)
        if (m.palette_index >= 0 && size_t(m.palette_index) < users.size()) ++users[size_t(m.palette_index)];
    for (size_t i = 0; i < map.fPalette.size(); ++i) {
        marker_palette_entry p = map.fPalette[i];
        p.runtime_24 = 0;
        p.runtime_30 = -1;
        p.marker_count = users[i]; // a raw field: kept in memory order
        Put(out, base + h.marker_palette_offset + i * MARKER_PALETTE_ENTRY_SIZE, p);
    }
    for (size_t i = 0; i < map.fMarkers.size(); ++i) {
        marker_data m = map.fMarkers[i];
        m.runtime_56 = 0;
        m.palette_index = PerTypePaletteIndex(map.fPalette, m);
        Put(out, base + h.markers_offset + i * MARKER_DATA_SIZE, m);
    }
    auto copy = [&out, base](uint32_t at, const std::vector<uint8_t>& block) {
        if (!block.empty()) std::memcpy(out.data() + base + at, block.data(), block.size());
    };
    copy(h.block_a_offset, map.fBlockA);
    copy(h.block_b_offset, map.fBlockB);
    copy(h.block_c_offset, map.fBlockC);
    copy(h.map_actions_offset, map.fMapActions);
    return out;
}

void store_map(tag_entry* e, const TMeshMap& map)
{
    std::vector<uint8_t> bytes = map_tag_bytes(map);
    if (!tag_set_data(e, bytes.data(), uint32_t(bytes.size()))) throw XGPostError(kXGOutOfMemory);
}
