// The map renderer: what it uploads and rebuilds (against the recording fake) and what
// it draws (in a real Mesa context).
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <filesystem>
#include <map>
#include <set>

#include "map/map_camera.h"
#include "render/map_renderer.h"
#include "render/map_scene_support.h"
#include "render/offscreen_context.h"
#include "support/cli_runner.h"
#include "support/gl_recorder.h"
#include "render/png_writer.h"
#include "map/map_palette.h"
#include "model/skeleton_export_writer.h"
#include "model/skeleton_model_import.h"
#include "model/skmd_format.h"
#include "tags/gameplay/gameplay.h"

namespace {

// A map's renderer drawing through a recorder.
struct recorded_frame {
    gl_recorder rec;
    gl_functions gl = rec.functions();
    map_display_state display;
    map_scene scene;
    map_renderer renderer;

    explicit recorded_frame(tiled_map& m) : renderer(&m.store)
    {
        scene.map = &m.map;
        scene.display = &display;
        renderer.set_gl(&gl);
    }
};

TEST(MapRenderer, TilesAreUploadedOnceAndRebuiltAfterADrop)
{
    tiled_map m(2, 2);
    recorded_frame f(m);
    map_renderer& renderer = f.renderer;
    map_camera camera = map_camera::for_map(m.map);
    renderer.draw(f.scene, camera.projection(640, 480), camera.model_view(), 640, 480);
    EXPECT_EQ(f.rec.count("GenTextures"), 4u); // one per block
    EXPECT_EQ(f.rec.live_textures.size(), 4u);

    f.rec.clear();
    renderer.draw(f.scene, camera.projection(640, 480), camera.model_view(), 640, 480);
    EXPECT_EQ(f.rec.count("GenTextures"), 0u);
    EXPECT_EQ(f.rec.count("TexImage2D"), 0u);

    // a changed stack: the old names go, the next frame builds them again from the new tiles
    m.set_tiles({{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {9, 9, 9}});
    renderer.drop_textures("land"_4cc);
    EXPECT_TRUE(f.rec.live_textures.empty());
    f.rec.clear();
    renderer.drop_textures("othr"_4cc); // not cached: nothing happens
    EXPECT_EQ(f.rec.count("DeleteTextures"), 0u);
    renderer.draw(f.scene, camera.projection(640, 480), camera.model_view(), 640, 480);
    EXPECT_EQ(f.rec.count("GenTextures"), 4u);
    auto uploads = f.rec.named("TexImage2D");
    ASSERT_FALSE(uploads.empty());
    EXPECT_EQ(uploads[0]->data[0], 255); // the first block's new red tile, level 0
}

TEST(MapRenderer, MissingStacksAndHiddenPartsDrawNothingForTheirItems)
{
    tiled_map m(2, 2);
    m.map.fHeader.landscape_tag = "none"_4cc; // not open
    recorded_frame f(m);
    map_renderer& renderer = f.renderer;
    f.display.grid_shown[0] = f.display.grid_shown[1] = f.display.grid_shown[2] = false;
    map_camera camera = map_camera::for_map(m.map);
    renderer.draw(f.scene, camera.projection(640, 480), camera.model_view(), 640, 480);
    EXPECT_EQ(f.rec.count("GenTextures"), 0u);
    size_t terrain = f.rec.count("DrawRangeElementsEXT");
    EXPECT_EQ(terrain, 4u); // the blocks, untextured

    // each shown grid adds one line draw per block
    f.rec.clear();
    f.display.grid_shown[grid_slot(MAP_GRID_PHYSICAL)] = true;
    f.display.colormap = false;
    renderer.draw(f.scene, camera.projection(640, 480), camera.model_view(), 640, 480);
    auto draws = f.rec.named("DrawRangeElementsEXT");
    ASSERT_EQ(draws.size(), 4u);
    EXPECT_EQ(draws[0]->args[0], double(GL_LINES));

    // without the extension the plain element draw is used
    f.rec.extensions = "";
    gl_functions plain = f.rec.functions();
    renderer.set_gl(&plain);
    renderer.draw(f.scene, camera.projection(640, 480), camera.model_view(), 640, 480);
    EXPECT_EQ(f.rec.count("DrawRangeElementsEXT"), 0u);
    EXPECT_EQ(f.rec.count("DrawElements"), 4u);
    EXPECT_EQ(f.rec.count("LockArraysEXT"), 0u);
}

TEST(MapRenderer, GridsAboveTheSurfaceStayDrawnWhenTheSurfaceIsOutOfView)
{
    tiled_map m(1, 1);
    for (mesh_cell& c : m.map.fCells) c.media_height = 20 * 512; // water 20 units above the ground
    recorded_frame f(m);
    map_renderer& renderer = f.renderer;
    f.display.colormap = false;
    f.display.grid_shown[grid_slot(MAP_GRID_RENDER)] = false;
    f.display.grid_shown[grid_slot(MAP_GRID_MEDIA)] = true;
    // level with the water, looking along +y: the ground lies below the view
    mat4 eye = mat4::rotation(-90, 1, 0, 0) * mat4::translation(-8, 10, -20);
    renderer.draw(f.scene, mat4::perspective(40, 640.0 / 480, 0.5, 500), eye, 640, 480);
    EXPECT_EQ(f.rec.count("DrawRangeElementsEXT"), 4u); // every block's water lines
}

// The index lists of a frame's element draws of one mode, one per block.
std::vector<std::vector<uint16_t>> drawn_indices(const gl_recorder& rec, GLenum mode)
{
    std::vector<std::vector<uint16_t>> lists;
    for (const gl_recorder::call* c : rec.named("DrawRangeElementsEXT"))
        if (c->args[0] == double(mode)) {
            lists.emplace_back(c->data.size() / 2);
            std::memcpy(lists.back().data(), c->data.data(), c->data.size());
        }
    return lists;
}

TEST(MapRenderer, GridSegmentsAreDrawnOnceAndFarSurfacesStayClosed)
{
    tiled_map m(2, 2);
    recorded_frame f(m);
    map_renderer& renderer = f.renderer;
    size_t previous = 16 * 16 * 2 + 1;
    for (int size : {640, 160, 80, 32}) { // 20, 5, 2.5 and 1 pixels a cell
        f.rec.clear();
        renderer.draw_top_view(f.scene, size, size);
        auto lines = drawn_indices(f.rec, GL_LINES), surfaces = drawn_indices(f.rec, GL_TRIANGLES);
        ASSERT_EQ(surfaces.size(), 4u);
        ASSERT_EQ(lines.size(), 4u);
        if (size == 640) { // every line, the map's last row and column included, none twice
            std::set<std::array<int, 4>> segments;
            for (size_t k = 0; k < 4; ++k)
                for (size_t n = 0; n + 1 < lines[k].size(); n += 2) {
                    int a = lines[k][n], b = lines[k][n + 1], x = int(k % 2) * 16, y = int(k / 2) * 16;
                    EXPECT_TRUE(segments.insert({x + a % 17, y + a / 17, x + b % 17, y + b / 17}).second) << k << ": " << a;
                }
            EXPECT_EQ(segments.size(), 2u * 33 * 32);
        }
        // far blocks draw fewer triangles, which cover the block once; every inner edge is
        // shared by two and the outline keeps all 64 cell edges, so neighbours meet
        const std::vector<uint16_t>& t = surfaces[0];
        EXPECT_LT(t.size() / 3, previous) << size;
        previous = t.size() / 3;
        double area = 0;
        std::map<std::pair<int, int>, int> edges;
        for (size_t n = 0; n + 2 < t.size(); n += 3) {
            int ax = t[n] % 17, ay = t[n] / 17, bx = t[n + 1] % 17, by = t[n + 1] / 17, cx = t[n + 2] % 17, cy = t[n + 2] / 17;
            area += std::abs((bx - ax) * (cy - ay) - (cx - ax) * (by - ay)) / 2.0;
            for (size_t e = 0; e < 3; ++e) {
                int p = t[n + e], q = t[n + (e + 1) % 3];
                ++edges[{std::min(p, q), std::max(p, q)}];
            }
        }
        EXPECT_EQ(area, 256) << size;
        int outline = 0;
        for (auto [edge, uses] : edges) {
            int px = edge.first % 17, py = edge.first / 17, qx = edge.second % 17, qy = edge.second / 17;
            bool on_outline = (px == qx && px % 16 == 0) || (py == qy && py % 16 == 0);
            EXPECT_EQ(uses, on_outline ? 1 : 2) << size << ": " << edge.first << "-" << edge.second;
            outline += on_outline && std::abs(px - qx) + std::abs(py - qy) == 1;
        }
        EXPECT_EQ(outline, 64) << size;
    }
}

TEST(MapRenderer, MarkerModelsAreBuiltOnceAndFollowTheirTag)
{
    tiled_map m(2, 2);
    TempFolder folder;
    std::string skeleton = folder / "figure.skl";
    write_text(skeleton, make_cylinder_export(cylinder_export_shape()).text);
    TSkeletalModelTag model;
    model.models.push_back(import_skeletal_model(skeleton));
    std::vector<uint8_t> skmd = skmd_store(model);
    m.store.create_tag(m.file, "skmd"_4cc, "figr"_4cc, 1, "figure", 0, uint32_t(skmd.size()), skmd.data());
    scenery_definition statue{};
    tag_struct_defaults(statue);
    statue.flags |= SCENERY_USES_SKELETAL_MODELS;
    statue.skeletal_model_tags[0] = "figr"_4cc;
    std::vector<uint8_t> scen = tag_struct_bytes(statue);
    m.store.create_tag(m.file, "scen"_4cc, "figs"_4cc, 1, "statue", 0, uint32_t(scen.size()), scen.data());
    m.map.fPalette = {new_palette_entry(1), new_palette_entry(1)};
    m.map.fPalette[0].tag = "figs"_4cc;
    m.map.fPalette[1].tag = "none"_4cc; // no such scenery: a symbol
    add_marker(m.map, 0, 5, 5, 0);
    add_marker(m.map, 0, 9, 5, 0);
    add_marker(m.map, 1, 20, 20, 0);

    recorded_frame f(m);
    map_renderer& renderer = f.renderer;
    f.display.markers = MAP_COMPLEX_MODELS;
    map_camera camera = map_camera::for_map(m.map);
    renderer.draw(f.scene, camera.projection(640, 480), camera.model_view(), 640, 480);
    EXPECT_EQ(renderer.models().size(), 1u);
    size_t triangles = 0;
    for (auto* c : f.rec.named("DrawElements")) triangles += c->args[0] == GL_TRIANGLES;
    EXPECT_EQ(triangles, 2u); // the two statues
    auto placements = f.rec.named("MultMatrixf");
    ASSERT_EQ(placements.size(), 2u);
    for (size_t i = 0; i < 2; ++i) {
        vec3 at = marker_position(m.map.fMarkers[i]);
        EXPECT_FLOAT_EQ(float(placements[i]->args[12]), float(at.x));
        EXPECT_FLOAT_EQ(float(placements[i]->args[13]), float(at.y));
    }
    std::vector<map_box> boxes = renderer.marker_boxes(f.scene);
    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_NE(boxes[0].high.z - boxes[0].low.z, 1.5); // the model's bounds
    EXPECT_DOUBLE_EQ(boxes[2].high.z - boxes[2].low.z, 1.5); // the symbol's
    renderer.drop_model("figr"_4cc);
    EXPECT_EQ(renderer.models().size(), 0u);
    f.display.markers = MAP_SIMPLE_MODELS; // another level: built again
    renderer.draw(f.scene, camera.projection(640, 480), camera.model_view(), 640, 480);
    EXPECT_EQ(renderer.models().size(), 1u);
}

// The pixel at the middle of cell (x, y) of a top view of w x h pixels.
const uint8_t* pixel_at(const texture_image& image, const TMeshMap& map, double x, double y)
{
    uint32_t px = uint32_t(x / map.fWidth * image.width), py = uint32_t(y / map.fHeight * image.height);
    return &image.pixels[(size_t(py) * image.width + px) * image.channels];
}

TEST(MapRendererPixels, TopViewShowsEachBlocksTileAndMarkersWhereTheyStand)
{
    tiled_map m(4, 2); // 64 x 32 cells
    marker_data marker{};
    marker.type = 0; // observer: white symbol
    marker.position[0] = int32_t(40.5 * 512);
    marker.position[1] = int32_t(8.5 * 512);
    m.map.fMarkers.push_back(marker);
    std::string why;
    auto context = offscreen_context::create(256, 128, &why);
    ASSERT_TRUE(context) << why;
    map_display_state display;
    display.grid_shown[grid_slot(MAP_GRID_RENDER)] = false;
    map_scene scene;
    scene.map = &m.map;
    scene.display = &display;
    map_renderer renderer(&m.store);
    renderer.set_gl(&context->gl());
    renderer.draw_top_view(scene, 256, 128);
    texture_image image = context->read_pixels(false);
    for (int by = 0; by < 2; ++by)
        for (int bx = 0; bx < 4; ++bx) {
            const map_rgb& want = m.colors[size_t(by * 4 + bx)];
            const uint8_t* got = pixel_at(image, m.map, bx * 16 + 5, by * 16 + 12);
            EXPECT_NEAR(got[0], want.r, 2) << bx << "," << by;
            EXPECT_NEAR(got[1], want.g, 2) << bx << "," << by;
            EXPECT_NEAR(got[2], want.b, 2) << bx << "," << by;
        }
    const uint8_t* at_marker = pixel_at(image, m.map, 40.5, 8.5);
    EXPECT_EQ(at_marker[0], 255);
    EXPECT_EQ(at_marker[1], 255);
    EXPECT_EQ(at_marker[2], 255);
    renderer.release();
}

TEST(RenderMapCli, WritesThePictureOrSaysWhyNot)
{
    tiled_map m(2, 2);
    tag_entry* e = m.store.create_tag(m.file, "mesh"_4cc, "map1"_4cc, 11, "Map", 0, 0, nullptr);
    store_map(e, m.map);
    uint8_t damaged[1024] = {};
    damaged[9] = damaged[11] = 1; // 32 x 32 cells that are not there
    m.store.create_tag(m.file, "mesh"_4cc, "bad1"_4cc, 11, "Damaged", 0, sizeof damaged, damaged);
    TempFolder folder;
    m.store.save_tag_file_as(m.file, folder / "maps.tag");

    cli_result r = run_cli({"render-map", folder / "maps.tag", "map1", folder / "top.png", "--size", "64x32"});
    ASSERT_EQ(r.status, 0) << r.err;
    texture_image image;
    std::string why;
    ASSERT_TRUE(read_png_file(folder / "top.png", image, &why)) << why;
    EXPECT_EQ(image.width, 64u);
    EXPECT_EQ(image.height, 32u);
    EXPECT_NEAR(image.pixels[(8 * 64 + 8) * 3], m.colors[0].r, 2);

    r = run_cli({"render-map", folder / "maps.tag", "map1", folder / "p.png", "--view", "perspective", "--markers", "boxes"});
    EXPECT_EQ(r.status, 0) << r.err;
    ASSERT_TRUE(read_png_file(folder / "p.png", image, &why)) << why;
    EXPECT_EQ(image.width, 1024u); // the default size follows the map's proportions
    EXPECT_EQ(image.height, 1024u);

    r = run_cli({"render-map", folder / "maps.tag", "land", folder / "x.png"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("no map"), std::string::npos) << r.err;
    r = run_cli({"render-map", folder / "maps.tag", "bad1", folder / "x.png"});
    EXPECT_EQ(r.status, 1);
    EXPECT_FALSE(r.err.empty());
    EXPECT_EQ(run_cli({"render-map", folder / "maps.tag", "map1", folder / "x.png", "--view", "side"}).status, 2);
    EXPECT_EQ(run_cli({"render-map", folder / "maps.tag", "map1", folder / "x.png", "--size", "0x9"}).status, 2);
    EXPECT_FALSE(std::filesystem::exists(folder / "x.png"));
}

} // namespace
