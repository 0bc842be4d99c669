// Editing a map without windows: the band, the drags, the tools, the palette and
// markers, and undo and redo giving the map's bytes back.
#include <gtest/gtest.h>

#include "map/map_editor.h"
#include "tags/tags.h"

namespace {

uint32_t at(const TMeshMap& map, int x, int y)
{
    return uint32_t(y * map.fWidth + x);
}

TEST(MapBand, AddsEachCellOnceOnTheHashedAndTheListPaths)
{
    map_band band(3); // 8 slots: the list takes over beyond 6 cells
    for (uint32_t c = 0; c < 6; ++c) EXPECT_TRUE(band.add(c * 7, 0.5f));
    EXPECT_TRUE(band.hashed());
    EXPECT_FALSE(band.add(14, 0.9f));
    EXPECT_FLOAT_EQ(band.weight_of(14), 0.9f); // the larger weight stays
    EXPECT_TRUE(band.add(100));
    EXPECT_FALSE(band.hashed());
    EXPECT_FALSE(band.add(21));
    EXPECT_FALSE(band.add(100));
    EXPECT_TRUE(band.contains(35));
    EXPECT_FALSE(band.contains(36));
    EXPECT_EQ(band.size(), 7u);
    band.clear();
    EXPECT_TRUE(band.hashed());
    EXPECT_FALSE(band.contains(100));
}

TEST(MapBand, TheBrushTakesCellsStrictlyWithinItsRadiusWithFallingWeights)
{
    TMeshMap map = default_mesh_map(32, 32);
    map_band band;
    map_brush brush{2, 0, 0}; // hard: every weight 1
    band_brush(map, 5, 5, brush, band);
    EXPECT_TRUE(band.contains(at(map, 6, 6)));
    EXPECT_FALSE(band.contains(at(map, 7, 5))); // exactly on the radius
    EXPECT_EQ(band.size(), 9u); // distances below 2 around (5, 5)
    EXPECT_FLOAT_EQ(band.weight_of(at(map, 6, 6)), 1.0f);

    brush = {4, 1, 0}; // linear from the centre
    EXPECT_DOUBLE_EQ(brush.weight(0), 1);
    EXPECT_DOUBLE_EQ(brush.weight(2), 0.5);
    brush.round = 1; // cosine: flat at both ends
    EXPECT_DOUBLE_EQ(brush.weight(2), 0.5);
    EXPECT_GT(brush.weight(0.5), 1 - 0.5 / 4);
    brush = {4, 0.5, 0};
    EXPECT_DOUBLE_EQ(brush.weight(1.9), 1); // inside the hard core
    EXPECT_DOUBLE_EQ(brush.weight(3), 0.5);
    band.clear();
    band_brush(map, 0, 0, brush, band); // the corner: only cells on the map
    for (uint32_t c : band.cells()) EXPECT_LT(c, map.fCells.size());
}

TEST(MapDrags, RaiseWeightedAndBlendMoveTheChangedGridsFromTheirStart)
{
    TMeshMap map = default_mesh_map(32, 32);
    map.Cell(3, 3).render_height = 1000;
    map_band band;
    band.add(at(map, 3, 3), 1.0f);
    band.add(at(map, 4, 3), 0.5f);

    map_drag raise(map, band, MAP_DRAG_RAISE, {MAP_GRID_RENDER, MAP_GRID_PHYSICAL}, at(map, 3, 3), 4);
    raise.step(map, 1.0);
    raise.step(map, 0.5); // the band follows the pointer back
    EXPECT_EQ(map.Cell(3, 3).render_height, 1000 + 256);
    EXPECT_EQ(map.Cell(4, 3).render_height, 256);
    EXPECT_EQ(map.Cell(4, 3).physical_height, 256);
    EXPECT_EQ(map.Cell(4, 3).media_height, 0); // not a changed grid
    raise.step(map, 100); // clamped to the field's range
    EXPECT_EQ(map.Cell(3, 3).render_height, INT16_MAX);

    map = default_mesh_map(32, 32);
    map_drag weighted(map, band, MAP_DRAG_WEIGHTED, {MAP_GRID_MEDIA}, at(map, 3, 3), 4);
    weighted.step(map, 3);
    weighted.step(map, 2);
    EXPECT_EQ(map.Cell(3, 3).media_height, 1024);
    EXPECT_EQ(map.Cell(4, 3).media_height, 512);

    map = default_mesh_map(32, 32);
    map.Cell(3, 3).render_height = 3000; // the picked cell
    map_drag blend(map, band, MAP_DRAG_BLEND, {MAP_GRID_RENDER}, at(map, 3, 3), 4);
    blend.step(map, 3); // 3 / 6 x 0.5 = a quarter of the way for the half-weighted cell
    EXPECT_EQ(map.Cell(4, 3).render_height, 750);
    blend.step(map, 9); // 9 / 6 x 0.5: three quarters
    EXPECT_EQ(map.Cell(4, 3).render_height, 2250);
    blend.step(map, 60); // at most all the way
    EXPECT_EQ(map.Cell(4, 3).render_height, 3000);
    EXPECT_EQ(map.Cell(3, 3).render_height, 3000);
}

TEST(MapTools, WaterTerrainTypeAndSmoothingChangeTheBrushedCells)
{
    TMeshMap map = default_mesh_map(32, 32);
    map_band band;
    band.add(at(map, 5, 5));
    std::vector<uint32_t> changed = apply_water(map, band, 700);
    EXPECT_EQ(map.Cell(5, 5).media_height, 700);
    EXPECT_EQ(map.Cell(5, 5).flags & MESH_CELL_MEDIA, MESH_CELL_MEDIA);
    // the derived bit reaches the cells right of and below it
    for (auto [x, y] : {std::pair{5, 5}, {6, 5}, {5, 6}, {6, 6}})
        EXPECT_TRUE(map.Cell(x, y).flags & MESH_CELL_DERIVED_MEDIA) << x << "," << y;
    EXPECT_FALSE(map.Cell(4, 5).flags & MESH_CELL_DERIVED_MEDIA);
    EXPECT_EQ(changed.size(), 4u);
    EXPECT_TRUE(apply_water(map, band, 700).empty()); // already so

    apply_terrain_type(map, band, 9);
    EXPECT_EQ(map.Cell(5, 5).flags & 0xFF, 0x99);
    EXPECT_EQ(map.Cell(5, 5).flags & MESH_CELL_MEDIA, MESH_CELL_MEDIA); // other bits kept

    map.Cell(5, 5).render_height = 800; // a spike over flat ground
    apply_smooth(map, band, {MAP_GRID_RENDER}, false);
    EXPECT_EQ(map.Cell(5, 5).render_height, 400);
    apply_smooth(map, band, {MAP_GRID_RENDER}, true);
    EXPECT_EQ(map.Cell(5, 5).render_height, 600);
}

marker_data marker_of(int16_t type, int16_t entry)
{
    marker_data m{};
    m.type = type;
    m.palette_index = entry;
    return m;
}

TEST(MapPalette, DeletingAnEntryTakesItsMarkersAndLowersLaterIndexes)
{
    TMeshMap map = default_mesh_map(32, 32);
    map.fPalette = {new_palette_entry(3), new_palette_entry(1), new_palette_entry(3)};
    map.fMarkers = {marker_of(1, 1), marker_of(3, 2), marker_of(3, 0), marker_of(1, 1)};
    int current[NUMBER_OF_MARKER_TYPES] = {-1, 1, -1, 2};
    delete_palette_entry(map, 1, current);
    ASSERT_EQ(map.fPalette.size(), 2u);
    ASSERT_EQ(map.fMarkers.size(), 2u);
    EXPECT_EQ(map.fMarkers[0].palette_index, 1); // was 2
    EXPECT_EQ(map.fMarkers[1].palette_index, 0);
    EXPECT_EQ(current[1], -1);
    EXPECT_EQ(current[3], 1);

    marker_palette_entry monster = new_palette_entry(3);
    EXPECT_EQ(monster.property_flags, 6);
    EXPECT_EQ(monster.team, 0);
    EXPECT_EQ(monster.netgame_types, 0x3FFFu);
    EXPECT_EQ(new_palette_entry(1).team, -1);

    TTagStore store;
    tag_file* f = store.new_tag_file();
    store.create_tag(f, "scen"_4cc, "tree"_4cc, 1, "Old Tree", 0, 0, nullptr);
    marker_palette_entry scenery = new_palette_entry(1);
    scenery.tag = "tree"_4cc;
    EXPECT_EQ(palette_row_text(&store, scenery), "tree  -  Old Tree (team -1)");
    scenery.tag = "gone"_4cc;
    scenery.team = -2;
    EXPECT_EQ(palette_row_text(&store, scenery), "gone  -  <missing Scenery>");
}

TEST(MapPalette, EditMarkerFieldsConvertAndRebuildTheFlags)
{
    marker_data m{};
    m.flags = 0xFFFFFFE1; // bit 0 and bits above 4
    m.position[0] = 512 * 3 + 256;
    m.yaw = 16384;
    m.minimum_difficulty = 4;
    marker_fields f = marker_to_fields(m);
    EXPECT_DOUBLE_EQ(f.x, 3.5);
    EXPECT_DOUBLE_EQ(f.yaw, 90);
    EXPECT_EQ(f.difficulty, 2);
    EXPECT_TRUE(f.flags[0]);
    f.flags[3] = true;
    f.roll = -90;
    f.elevation = 1.2346;
    f.difficulty = 1;
    fields_to_marker(f, m);
    EXPECT_EQ(m.flags, 0x9u);
    EXPECT_EQ(m.roll, 49152);
    EXPECT_EQ(m.elevation, 632);
    EXPECT_EQ(m.minimum_difficulty, 2);

    f.z = 10;
    f.elevation = 1;
    marker_z_typed(f, LOCK_ELEVATION, 4);
    EXPECT_DOUBLE_EQ(f.elevation, 1);
    marker_z_typed(f, LOCK_Z, 4);
    EXPECT_DOUBLE_EQ(f.elevation, 6);
    f.elevation = 2;
    marker_elevation_typed(f, LOCK_Z, 4);
    EXPECT_DOUBLE_EQ(f.z, 10);
    marker_elevation_typed(f, LOCK_ELEVATION, 4);
    EXPECT_DOUBLE_EQ(f.z, 6);
}

TEST(MapUndo, EveryKindOfStepUndoesAndRedoesToTheSameBytes)
{
    map_editor ed;
    ed.map = default_mesh_map(64, 32);
    ed.map.fPalette = {new_palette_entry(1)};
    ed.map.fMarkers = {marker_of(1, 0)};
    ed.loaded();
    ed.brush = {3, 0.5, 0.5};
    std::vector<std::vector<uint8_t>> states = {map_tag_bytes(ed.map)};
    auto step = [&](auto edit) {
        edit();
        ed.stroke_end();
        std::vector<uint8_t> now = map_tag_bytes(ed.map);
        EXPECT_NE(now, states.back()) << "step " << states.size() << " changed nothing";
        states.push_back(now);
    };
    grid_point p{10, 10, 0};
    step([&] { ed.add_entry(new_palette_entry(3)); });
    step([&] { ed.choose_type(3); ed.place_marker(10, 10, 0); });
    step([&] { marker_data m = ed.map.fMarkers[1]; m.yaw = 900; m.pitch = 5; ed.edit_marker(1, m); });
    step([&] { ed.display.markers_follow_heights = true; ed.tool = MAP_TOOL_BAND_GRID; ed.stroke_begin(p, false, false); ed.stroke_end(); ed.stroke_begin(p, false, false); ed.stroke_move(p, 2); ed.stroke_move(p, 3); });
    step([&] { ed.tool = MAP_TOOL_PULL_GRID; ed.stroke_begin({30, 20, 0}, false, false); ed.stroke_move({30, 20, 0}, -1.5); });
    step([&] { ed.tool = MAP_TOOL_WATER; ed.media_height = 300; ed.stroke_begin({40, 5, 0}, false, false); ed.stroke_move({44, 5, 0}, 0); });
    step([&] { ed.tool = MAP_TOOL_TERRAIN_TYPE; ed.terrain_type = 2; ed.stroke_begin({50, 20, 0}, false, false); });
    step([&] { ed.tool = MAP_TOOL_SMOOTH; ed.stroke_begin(p, false, false); });
    step([&] { ed.clear_pitch_and_roll(); });
    step([&] { ed.set_render_from_physical(); });
    step([&] { ed.select(0, false); ed.clear_selected(); });
    step([&] { ed.replace_entry(0, new_palette_entry(3)); });
    step([&] { ed.choose_type(3); ed.delete_current(); });
    EXPECT_EQ(ed.history.size(), states.size() - 1); // one step per edit, however many moves
    EXPECT_TRUE(ed.modified());

    for (size_t i = states.size() - 1; i > 0; --i) {
        ASSERT_TRUE(ed.undo());
        EXPECT_EQ(map_tag_bytes(ed.map), states[i - 1]) << "undoing step " << i;
    }
    EXPECT_FALSE(ed.undo());
    EXPECT_FALSE(ed.modified());
    for (size_t i = 1; i < states.size(); ++i) {
        ASSERT_TRUE(ed.redo());
        EXPECT_EQ(map_tag_bytes(ed.map), states[i]) << "redoing step " << i;
    }
    EXPECT_FALSE(ed.redo());

    // storing marks the state saved; an edit after undoing drops the redo steps
    ed.stored();
    EXPECT_FALSE(ed.modified());
    ed.undo();
    EXPECT_TRUE(ed.modified());
    marker_data moved = ed.map.fMarkers[0];
    moved.position[0] += 512;
    ed.edit_marker(0, moved);
    EXPECT_FALSE(ed.redo());
    EXPECT_TRUE(ed.modified());
    // a step stores the cells it changed, not the grid
    ed.tool = MAP_TOOL_TERRAIN_TYPE;
    ed.terrain_type = 11;
    ed.stroke_begin({5, 5, 0}, false, false);
    ed.stroke_end();
    EXPECT_TRUE(ed.undo());
    EXPECT_TRUE(ed.redo());
    ed.loaded();
    EXPECT_FALSE(ed.undo());
}

} // namespace
