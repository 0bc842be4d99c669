// The sample folder's living map: "Sample Highlands", 128 x 128 cells with hills, a river
// valley holding water, terrain types, a palette and markers of several kinds, and a
// Landscape texture stack imported from a colour map painted to match its heights.
#include <cmath>
#include <filesystem>

#include "build/sample_data.h"
#include "framework/XGError.h"
#include "framework/XGFile.h"
#include "map/map_palette.h"
#include "map/map_tools.h"
#include "map/mesh_map.h"
#include "tags/gameplay/gameplay.h"
#include "tags/tag_types.h"
#include "texture/psd_writer.h"
#include "texture/texture_import.h"
#include "texture/txst_format.h"

namespace {

constexpr int kCells = 128;

// Ground height in world units at a point (cells).
double Ground(double x, double y)
{
    double hills = 6 * std::sin(x / 13.0) * std::cos(y / 17.0) + 9 * std::exp(-((x - 96) * (x - 96) + (y - 34) * (y - 34)) / 300.0);
    double river = std::abs(x - 52 - 10 * std::sin(y / 15.0));
    double valley = river < 14 ? (14 - river) / 14 * 7 : 0;
    return hills + 4 - valley;
}

bool River(int x, int y)
{
    return std::abs(x - 52 - 10 * std::sin(y / 15.0)) < 4.5;
}

int TerrainAt(int x, int y)
{
    double h = Ground(x, y);
    if (River(x, y)) return 1; // Human-Depth Media
    if (h > 12) return 10;     // Snow
    if (h > 8) return 8;       // Rocky
    if (std::abs(Ground(x + 1, y) - Ground(x - 1, y)) > 1.2) return 4; // Sloped
    if ((x / 9 + y / 11) % 5 == 0) return 11; // Forest
    return 6; // Grass
}

std::vector<uint8_t> Plane(int side, auto value)
{
    std::vector<uint8_t> plane(size_t(side) * side);
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x) plane[size_t(y) * side + x] = value(x, y);
    return plane;
}

// The colour map: (cells / 16) x 126 pixels a side, cell (x, y) at pixel (x, y) x 126 / 16.
std::string WriteColormap(const std::string& folder)
{
    const int side = kCells / 16 * 126;
    auto colour = [](int px, int py, int k) {
        double x = px * 16.0 / 126, y = py * 16.0 / 126;
        double h = Ground(x, y), shade = 0.8 + 0.05 * (Ground(x - 1, y - 1) - Ground(x + 1, y + 1));
        double r, g, b;
        if (River(int(x + 0.5), int(y + 0.5))) r = 40, g = 90, b = 170;
        else if (h > 12) r = 235, g = 235, b = 240;
        else if (h > 8) r = 130, g = 120, b = 105;
        else if ((int(x) / 9 + int(y) / 11) % 5 == 0) r = 35, g = 95, b = 40;
        else r = 80 + h * 4, g = 140 + h * 3, b = 55;
        double noise = ((px * 73 + py * 151) % 17) - 8;
        double v = (k == 0 ? r : k == 1 ? g : b) * shade + noise;
        return uint8_t(std::clamp(v, 0.0, 255.0));
    };
    psd_layer_source ground;
    ground.name = "ground";
    ground.bounds = {0, 0, side, side};
    ground.red = Plane(side, [&](int x, int y) { return colour(x, y, 0); });
    ground.green = Plane(side, [&](int x, int y) { return colour(x, y, 1); });
    ground.blue = Plane(side, [&](int x, int y) { return colour(x, y, 2); });
    std::vector<uint8_t> bytes = write_layered_image(uint32_t(side), uint32_t(side), {ground}, true);
    std::error_code ec;
    std::filesystem::create_directories(folder + "/images", ec);
    const std::string path = folder + "/images/sample_highlands.psd";
    XGFile out(path);
    out.Create();
    out.Write(bytes.data(), bytes.size());
    out.Close();
    return path;
}

marker_palette_entry Entry(int type, const char* tag, int team)
{
    marker_palette_entry e = new_palette_entry(type);
    e.tag = text_to_tag_code(tag);
    e.team = int16_t(team);
    return e;
}

} // namespace

void add_sample_map(TSampleData& data)
{
    std::unique_ptr<texture_set> colormap = import_terrain_file(WriteColormap(data.folder()));
    std::vector<uint8_t> empty(4, 0);
    tag_entry* stack = data.add(data.plugin(), "txst"_4cc, "m3cm", "Sample Highlands Colormap", empty);
    std::string why;
    if (!write_texture_set(stack, *colormap, &why))
        throw XGPostError(kXGFileWriteError, {"Sample Highlands Colormap - " + why});

    TMeshMap map = default_mesh_map(kCells, kCells);
    map.fHeader.landscape_tag = tag_get_id(stack);
    map.fHeader.global_lights_tag = text_to_tag_code("dawn");
    map.fHeader.wind_tag = text_to_tag_code("gust");
    map.fHeader.flags = 0x1 | 0x20 | 0x10000;
    std::vector<uint32_t> all;
    for (int y = 0; y < kCells; ++y)
        for (int x = 0; x < kCells; ++x) {
            mesh_cell& c = map.Cell(x, y);
            c.render_height = int16_t(std::lround(Ground(x, y) * 512));
            c.physical_height = int16_t(c.render_height - 64);
            int t = TerrainAt(x, y);
            c.flags = uint16_t((c.flags & ~0xFF) | t | (t << 4));
            if (River(x, y)) {
                c.flags |= MESH_CELL_MEDIA;
                c.media_height = int16_t(std::lround((Ground(52, y) + 1.5) * 512));
            }
            all.push_back(uint32_t(y * kCells + x));
        }
    derive_media_bits(map, all);

    // scenery shown by the sample skeletal model
    scenery_definition statue{};
    tag_struct_defaults(statue);
    statue.flags |= SCENERY_USES_SKELETAL_MODELS;
    statue.skeletal_model_tags[0] = statue.skeletal_model_tags[1] = text_to_tag_code("figr");
    statue.object_tag = text_to_tag_code("wood");
    data.add(data.plugin(), "scen"_4cc, "figs", "figure statue", tag_struct_bytes(statue));

    map.fPalette = {Entry(0, "", -1),    Entry(1, "tree", -1), Entry(1, "rock", -1), Entry(3, "warr", 0),
                    Entry(3, "ghol", 1), Entry(3, "dwrf", 0),  Entry(5, "brez", -1), Entry(10, "sprk", -1),
                    Entry(1, "figs", -1)};
    map.fPalette[0].tag = NONE_TAG;
    auto place = [&](int entry, double x, double y, int yaw) {
        int i = add_marker(map, entry, x, y, Ground(x, y));
        map.fMarkers[size_t(i)].yaw = uint16_t(yaw);
    };
    place(0, 64, 64, 0);
    for (int i = 0; i < 24; ++i) place(1, 8 + (i * 37) % 112, 10 + (i * 53) % 108, i * 2700); // trees
    for (int i = 0; i < 8; ++i) place(2, 90 + (i * 7) % 30, 20 + (i * 11) % 30, i * 8000);   // rocks on the hill
    for (int i = 0; i < 6; ++i) place(3, 20 + i * 3, 100, 49152);                             // warriors
    for (int i = 0; i < 6; ++i) place(4, 96 + i * 3, 104, 16384);                              // ghouls
    for (int i = 0; i < 3; ++i) place(5, 30 + i * 4, 24, 0);                                   // dwarves
    place(6, 54, 70, 0);
    place(7, 70, 40, 0);
    for (int i = 0; i < 5; ++i) place(8, 60 + i * 6, 58 + (i % 2) * 5, i * 13000); // statues

    data.add(data.plugin(), "mesh"_4cc, "m003", "Sample Highlands", map_tag_bytes(map));
}
