#include <gtest/gtest.h>

#include <cstring>

#include "framework/XGError.h"
#include "map/map_bytes.h"
#include "map/mesh_map.h"
#include "tags/tag_types.h"

namespace {

class MeshMap : public ::testing::Test {
protected:
    TTagStore store;
    tag_file* file = store.new_tag_file();

    tag_entry* Tag(const bytes& data, const char* name = "Test Map")
    {
        return store.create_tag(file, code("mesh"), code("map1"), 11, name, 0, uint32_t(data.size()), data.data());
    }

    bytes Data(tag_entry* e)
    {
        uint32_t size = 0;
        const uint8_t* p = tag_get_data(e, &size);
        return p ? bytes(p, p + size) : bytes();
    }
};

bool Media(int x, int y)
{
    return x >= 10 && x <= 12 && y >= 5 && y <= 6;
}

// A 32 x 32 grid with varied heights and a patch of media whose derived bits are right.
bytes Cells()
{
    bytes cells;
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            uint16_t flags = uint16_t(((x + y) % 16) | (((x * 3) % 16) << 4));
            if (Media(x, y)) flags |= 0x1800;
            if (Media(x, y) || Media(x - 1, y) || Media(x, y - 1) || Media(x - 1, y - 1)) flags |= 0x0100;
            bytes c = cell_bytes(int16_t(x * 40 - y * 7), int16_t(y), flags, uint8_t(x), 0xFF, int16_t(x % 3),
                                 int16_t(y * 5 - x));
            cells.insert(cells.end(), c.begin(), c.end());
        }
    }
    return cells;
}

// A palette of a Monster entry and two Scenery entries; two markers use the second
// Scenery entry and one the Monster entry.
map_bytes SampleMap()
{
    map_bytes m;
    m.cells = Cells();
    m.palette = {palette_bytes(3, code("warr"), 0, 1), palette_bytes(1, code("tree"), -1, 0),
                 palette_bytes(1, code("rock"), -1, 2)};
    m.markers = {marker_bytes(1, 1, 10002), marker_bytes(3, 0, 10000), marker_bytes(1, 1, 10001)};
    m.block_a = make_bytes(10, 1);
    m.block_b = make_bytes(0, 2);
    m.block_c = make_bytes(33, 3);
    m.actions = make_bytes(64 + 8, 4);
    m.action_count = 1;
    m.header32 = {{0, code("land")}, {84, 4}, {108, 0x01020304}, {300, 0xCAFEBABE}, {1020, 0x0BADF00D}};
    m.header16 = {{112, 20000}, {512, 0xFEDC}, {88, 7}};
    return m;
}

uint16_t NativeCount(const bytes& data, size_t palette_offset, size_t entry)
{
    uint16_t v;
    std::memcpy(&v, data.data() + 1024 + palette_offset + entry * 32 + 28, 2);
    return v;
}

} // namespace

TEST_F(MeshMap, LoadingAndStoringWithoutEditsGivesTheSameBytes)
{
    bytes stored = SampleMap().Build();
    tag_entry* e = Tag(stored);
    TMeshMap map;
    load_map(e, map);
    EXPECT_EQ(map.fWidth, 32);
    EXPECT_EQ(map.fHeight, 32);
    EXPECT_EQ(map.fHeader.team_count, 4u);
    EXPECT_EQ(map.fHeader.ceiling_height, 20000);
    store_map(e, map);
    EXPECT_EQ(Data(e), stored);
}

TEST_F(MeshMap, RenderHeightsAreAbsoluteInMemory)
{
    tag_entry* e = Tag(SampleMap().Build());
    TMeshMap map;
    load_map(e, map);
    for (int y : {0, 7, 31})
        for (int x : {0, 13, 31}) {
            const mesh_cell& c = map.Cell(x, y);
            EXPECT_EQ(c.physical_height, x * 40 - y * 7);
            EXPECT_EQ(c.render_height, (y * 5 - x) + (x * 40 - y * 7) + 1) << x << "," << y;
            EXPECT_EQ(c.raw_6[0], x);
        }
    map.Cell(3, 4).render_height = 500;
    map.Cell(3, 4).physical_height = 100;
    store_map(e, map);
    bytes data = Data(e);
    EXPECT_EQ(int16_t(be16(data, 1024 + (4 * 32 + 3) * 12 + 10)), 399);
    EXPECT_EQ(map.Cell(3, 4).render_height, 500);
}

TEST_F(MeshMap, MediaBitsAreCompletedAndTheDerivedBitRecomputed)
{
    map_bytes m;
    m.cells.clear();
    for (int i = 0; i < 32 * 32; ++i) {
        // one cell with a single media bit; a stale derived bit far from it
        uint16_t flags = i == 5 * 32 + 8 ? 0x0800 : i == 20 * 32 + 20 ? 0x0100 : 0x0066;
        bytes c = cell_bytes(0, 0, flags, 0, 0, 0, -1);
        m.cells.insert(m.cells.end(), c.begin(), c.end());
    }
    tag_entry* e = Tag(m.Build());
    TMeshMap map;
    load_map(e, map);
    EXPECT_EQ(map.Cell(8, 5).flags, 0x1900);
    for (auto [x, y] : {std::pair{9, 5}, {8, 6}, {9, 6}}) EXPECT_EQ(map.Cell(x, y).flags, 0x0166) << x << "," << y;
    for (auto [x, y] : {std::pair{7, 5}, {8, 4}, {7, 4}, {10, 5}, {9, 7}}) EXPECT_EQ(map.Cell(x, y).flags, 0x0066);
    EXPECT_EQ(map.Cell(20, 20).flags, 0);
}

TEST_F(MeshMap, PaletteIndexesAreWholeInMemoryAndPerTypeWhenStored)
{
    map_bytes m = SampleMap();
    m.palette[0] = palette_bytes(3, code("warr"), 0, 9); // stale counts
    m.palette[2] = palette_bytes(1, code("rock"), -1, 0);
    m.markers.push_back(marker_bytes(1, 5, 10003)); // names no Scenery entry
    tag_entry* e = Tag(m.Build());
    TMeshMap map;
    load_map(e, map);
    ASSERT_EQ(map.fMarkers.size(), 4u);
    EXPECT_EQ(map.fMarkers[0].palette_index, 2);
    EXPECT_EQ(map.fMarkers[1].palette_index, 0);
    EXPECT_EQ(map.fMarkers[2].palette_index, 2);
    EXPECT_EQ(map.fMarkers[3].palette_index, 5);

    map.fMarkers[1].palette_index = 2; // the monster marker now uses the rock, stored as its Scenery index 1
    map.fMarkers[1].type = 1;
    store_map(e, map);
    bytes data = Data(e);
    uint32_t markers = be32(data, 56);
    EXPECT_EQ(be16(data, 1024 + markers + 6), 1);
    EXPECT_EQ(be16(data, 1024 + markers + 64 + 6), 1);
    EXPECT_EQ(be16(data, 1024 + markers + 3 * 64 + 6), 5);
    uint32_t palette = be32(data, 40);
    EXPECT_EQ(NativeCount(data, palette, 0), 0);
    EXPECT_EQ(NativeCount(data, palette, 1), 0);
    EXPECT_EQ(NativeCount(data, palette, 2), 3);
}

TEST_F(MeshMap, RunTimeFieldsAreClearedWhenStored)
{
    map_bytes m = SampleMap();
    put_be32(m.palette[1], 24, 0x12345678);
    m.palette[1][30] = 0;
    put_be32(m.markers[0], 56, 0x99999999);
    tag_entry* e = Tag(m.Build());
    TMeshMap map;
    load_map(e, map);
    store_map(e, map);
    EXPECT_EQ(Data(e), SampleMap().Build());
}

TEST_F(MeshMap, MarkerIdentifiersContinueAfterTheHighestLoaded)
{
    map_bytes m = SampleMap();
    TMeshMap map;
    load_map(Tag(m.Build()), map);
    EXPECT_EQ(map.fNextMarkerIdentifier, 10003);
    m.markers = {marker_bytes(1, 0, 12000), marker_bytes(1, 0, 500)};
    load_map(Tag(m.Build()), map);
    EXPECT_EQ(map.fNextMarkerIdentifier, 12001);
    m.markers = {marker_bytes(1, 0, 42)};
    load_map(Tag(m.Build()), map);
    EXPECT_EQ(map.fNextMarkerIdentifier, 10000);
}

TEST_F(MeshMap, SectionsOutsideTheDataAreRefusedAndTheMapIsKept)
{
    TMeshMap map;
    load_map(Tag(SampleMap().Build()), map);
    auto refused = [&](bytes data, const char* what) {
        SCOPED_TRACE(what);
        tag_entry* e = Tag(data, "Broken");
        try {
            load_map(e, map);
            ADD_FAILURE() << "loaded";
        } catch (const XGError& error) {
            EXPECT_NE(error.GetMessage().find("'Broken' (mesh/map1)"), std::string::npos) << error.GetMessage();
            EXPECT_NE(error.GetMessage().find(what), std::string::npos) << error.GetMessage();
        }
        EXPECT_EQ(map.fPalette.size(), 3u);
        EXPECT_EQ(map.fWidth, 32);
    };
    bytes good = SampleMap().Build();
    refused(bytes(good.begin(), good.begin() + 1000), "shorter than a map header");
    bytes wide = good;
    put_be16(wide, 8, 2);
    refused(wide, "cells");
    bytes negative = good;
    put_be16(negative, 10, uint16_t(-1));
    refused(negative, "negative");
    bytes palette = good;
    put_be32(palette, 36, 0x7FFFFFFF);
    refused(palette, "marker palette");
    bytes markers = good;
    put_be32(markers, 56, 0xFFFFFFF0);
    refused(markers, "markers");
    bytes block = good;
    put_be32(block, 292, uint32_t(good.size()));
    refused(block, "block C");
    bytes data_offset = good;
    put_be32(data_offset, 24, 0xFFFFFF00);
    refused(data_offset, "cells");
    bytes actions = good;
    put_be32(actions, 136, 73);
    refused(actions, "map actions");
}

TEST(MeshSizes, MultiplesOf32From32To512)
{
    EXPECT_EQ(mesh_size_message(32, 32), "A 32 x 32 mesh will require a colormap measuring 252 x 252 pixels.");
    EXPECT_EQ(mesh_size_message(512, 512), "A 512 x 512 mesh will require a colormap measuring 4032 x 4032 pixels.");
    EXPECT_EQ(mesh_size_message(192, 64), "A 192 x 64 mesh will require a colormap measuring 1512 x 504 pixels.");
    for (auto [w, h] : {std::pair{48, 32}, {32, 544}, {0, 32}, {-32, 32}, {512, 16}})
        EXPECT_EQ(mesh_size_message(w, h), "The mesh sizes must be multiples of 32, between 32 and 512.") << w << "x" << h;
    EXPECT_TRUE(mesh_size_is_valid(512, 32));
    EXPECT_FALSE(mesh_size_is_valid(544, 32));
}

TEST_F(MeshMap, ANewMapHasTheDefaultHeaderAndCells)
{
    tag_entry* e = store.create_tag(file, code("mesh"), code("new1"), 11, "new", 0, 0, nullptr);
    set_mesh_defaults(e, 32, 64);
    bytes data = Data(e);
    uint32_t cells = 32 * 64 * 12;
    ASSERT_EQ(data.size(), 1024 + cells);

    bytes header(1024, 0);
    for (size_t o : {0, 4, 68, 72, 80, 124, 140, 144, 148, 152, 156, 160, 164, 168, 172, 176, 180, 184, 188, 228,
                     232, 236, 240, 252, 256, 260, 264, 492, 508, 516, 520, 524, 528, 532, 552, 556, 560, 564, 568,
                     572, 580, 584})
        put_be32(header, o, 0xFFFFFFFF);
    put_be16(header, 8, 1);
    put_be16(header, 10, 2);
    put_be32(header, 16, cells);
    put_be32(header, 24, 1024);
    put_be32(header, 28, cells);
    for (size_t o : {40, 56, 132, 192, 204, 288}) put_be32(header, o, cells); // empty sections after the cells
    put_be32(header, 84, 2);
    put_be16(header, 112, 16384);
    for (size_t o : {116, 118, 120, 122}) put_be16(header, o, 32);
    put_be16(header, 512, 0xFEDC);
    put_be16(header, 576, 1);
    put_be16(header, 578, 1);
    EXPECT_EQ(bytes(data.begin(), data.begin() + 1024), header);

    const bytes cell = {0, 0, 0, 0, 0, 0x66, 0xFF, 0xFF, 0, 0, 0xFF, 0xFF};
    for (size_t i = 0; i < 32 * 64; ++i)
        ASSERT_TRUE(std::equal(cell.begin(), cell.end(), data.begin() + 1024 + long(i) * 12)) << "cell " << i;

    TMeshMap map;
    load_map(e, map);
    EXPECT_EQ(map.Cell(31, 63).render_height, 0);
    store_map(e, map);
    EXPECT_EQ(Data(e), data);
}

TEST_F(MeshMap, InvalidSizesMakeNoMap)
{
    tag_entry* e = store.create_tag(file, code("mesh"), code("new2"), 11, "new", 0, 0, nullptr);
    try {
        set_mesh_defaults(e, 48, 32);
        ADD_FAILURE();
    } catch (const XGError& error) {
        EXPECT_EQ(error.GetMessage(), "The mesh sizes must be multiples of 32, between 32 and 512.");
    }
    EXPECT_EQ(tag_get_size(e), 0u);
    tag_type_set_defaults_hook(code("mesh"))(e);
    TMeshMap map;
    load_map(e, map);
    EXPECT_EQ(map.fWidth, 192);
    EXPECT_EQ(map.fHeight, 192);
}

TEST(MeshHeader, TheDescriptionCoversTheFieldsAsLaidOut)
{
    std::vector<int8_t> widths = tag_struct_field_widths(tag_struct_info<mesh_header>::codes);
    ASSERT_EQ(widths.size(), 1024u);
    for (int o : {0, 4, 12, 16, 24, 28, 36, 40, 44, 52, 56, 60, 68, 72, 76, 80, 84, 108, 124, 128, 132, 136, 140,
                  156, 160, 164, 176, 180, 192, 196, 204, 208, 228, 232, 252, 256, 260, 288, 292, 296, 492, 504, 508,
                  516, 520, 524, 528, 532, 536, 540, 544, 548, 552, 564, 568, 572, 580, 592})
        EXPECT_EQ(widths[size_t(o)], 4) << o;
    for (int o : {8, 10, 88, 106, 112, 116, 122, 216, 224, 244, 250, 496, 502, 512, 514, 576, 578})
        EXPECT_EQ(widths[size_t(o)], 2) << o;
    for (int o : {20, 32, 48, 64, 114, 200, 212, 226, 300, 491, 596, 1023}) EXPECT_EQ(widths[size_t(o)], 0) << o;

    std::vector<int8_t> palette = tag_struct_field_widths(tag_struct_info<marker_palette_entry>::codes);
    EXPECT_EQ(std::vector<int8_t>(palette.begin(), palette.begin() + 12),
              (std::vector<int8_t>{2, -1, 2, -1, 4, -1, -1, -1, 2, -1, 0, 0}));
    EXPECT_EQ(palette[12], 4);
    for (int o = 16; o < 32; ++o) EXPECT_EQ(palette[size_t(o)], 0) << o;
    std::vector<int8_t> marker = tag_struct_field_widths(tag_struct_info<marker_data>::codes);
    for (int o : {0, 12, 16, 20}) EXPECT_EQ(marker[size_t(o)], 4) << o;
    for (int o : {4, 6, 8, 10, 24, 30, 32, 34, 52}) EXPECT_EQ(marker[size_t(o)], 2) << o;
    for (int o : {36, 51, 54, 56, 60, 63}) EXPECT_EQ(marker[size_t(o)], 0) << o;
}
