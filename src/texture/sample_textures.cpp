// Texture stacks, sprites and ground sprites of the sample data. The terrain comes from a
// layered image that is written into the sample folder first and then imported.
#include <cstring>
#include <filesystem>

#include "build/sample_data.h"
#include "framework/XGError.h"
#include "framework/XGFile.h"
#include "texture/ctd.h"
#include "texture/grsp.h"
#include "texture/jpeg_codec.h"
#include "texture/psd_writer.h"
#include "texture/spri.h"
#include "texture/texture_import.h"
#include "texture/texture_pixels.h"
#include "texture/txst_format.h"

namespace {

constexpr uint32_t kTerrainSide = 256;

std::vector<uint8_t> Plane(const psd_rect& r, auto value)
{
    std::vector<uint8_t> p(size_t(r.width()) * r.height());
    for (int32_t y = r.top; y < r.bottom; ++y)
        for (int32_t x = r.left; x < r.right; ++x) p[size_t(y - r.top) * r.width() + size_t(x - r.left)] = value(x, y);
    return p;
}

psd_layer_source DetailLayer(const char* name, psd_rect bounds, uint8_t r, uint8_t g, uint8_t b, psd_rect mask_bounds,
                             auto mask)
{
    psd_layer_source layer;
    layer.name = name;
    layer.bounds = bounds;
    layer.red = Plane(bounds, [r](int, int) { return r; });
    layer.green = Plane(bounds, [g](int, int) { return g; });
    layer.blue = Plane(bounds, [b](int, int) { return b; });
    layer.has_mask = true;
    layer.mask_bounds = mask_bounds;
    layer.mask = Plane(mask_bounds, mask);
    return layer;
}

std::string WriteTerrainImage(const std::string& folder)
{
    std::vector<psd_layer_source> layers(1);
    psd_layer_source& ground = layers[0];
    ground.name = "ground";
    ground.bounds = {0, 0, int32_t(kTerrainSide), int32_t(kTerrainSide)};
    ground.red = Plane(ground.bounds, [](int x, int y) { return uint8_t(80 + ((x ^ y) & 63)); });
    ground.green = Plane(ground.bounds, [](int x, int y) { return uint8_t(110 + (x * 7 + y * 3) % 50); });
    ground.blue = Plane(ground.bounds, [](int, int y) { return uint8_t(50 + y / 8); });
    layers.push_back(DetailLayer("grass", {0, 0, 256, 256}, 40, 140, 40, {20, 10, 170, 160}, [](int x, int y) {
        const int dx = x - 85, dy = y - 95, d = dx * dx + dy * dy;
        return uint8_t(d < 3600 ? 255 : d < 5600 ? 255 - (d - 3600) / 8 : 0);
    }));
    layers.push_back(DetailLayer("rock", {0, 0, 256, 256}, 120, 110, 100, {0, 150, 256, 256},
                                 [](int x, int) { return uint8_t((x - 150) * 255 / 105); }));

    const std::string path = folder + "/images/sample_terrain.psd";
    std::error_code ec;
    std::filesystem::create_directories(folder + "/images", ec);
    std::vector<uint8_t> bytes = write_layered_image(kTerrainSide, kTerrainSide, layers, true);
    XGFile out(path);
    out.Create();
    out.Write(bytes.data(), bytes.size());
    out.Close();
    return path;
}

std::unique_ptr<stacked_texture> Texture(uint32_t side, uint8_t channels, uint8_t use, uint8_t layer, auto pixel)
{
    auto t = std::make_unique<stacked_texture>();
    t->channels = channels;
    t->use = use;
    t->layer = layer;
    t->width = t->height = uint16_t(side);
    t->compressed_data.resize(t->raw_size());
    uint8_t* out = t->compressed_data.data();
    for (uint32_t y = 0; y < side; ++y)
        for (uint32_t x = 0; x < side; ++x)
            for (uint8_t k = 0; k < channels; ++k) *out++ = pixel(x, y, k);
    return t;
}

// Adds the set as a new texture stack tag.
tag_entry* AddSet(TSampleData& data, const char* id, const char* name, texture_set& set)
{
    std::vector<uint8_t> empty(4, 0);
    tag_entry* e = data.add(data.base(), "txst"_4cc, id, name, empty);
    std::string why;
    if (!write_texture_set(e, set, &why)) throw XGPostError(kXGFileWriteError, {std::string(name) + " - " + why});
    return e;
}

} // namespace

void add_sample_textures(TSampleData& data)
{
    std::unique_ptr<texture_set> terrain = import_terrain_file(WriteTerrainImage(data.folder()));
    AddSet(data, "terr", "Sample Terrain", *terrain);

    auto detail = create_texture_set(2);
    auto grass = Texture(64, 3, TEXTURE_USE_DETAIL_TEXTURE, 0, [](uint32_t x, uint32_t y, uint8_t k) {
        return uint8_t(k == 1 ? 150 + (x * y) % 60 : 40 + (x + y) % 30);
    });
    auto rock = Texture(32, 3, TEXTURE_USE_DETAIL_TEXTURE, 1, [](uint32_t x, uint32_t y, uint8_t k) {
        return uint8_t(100 + ((x / 4 + y / 4) % 2) * 40 + k * 10);
    });
    rock->u_x = -32;
    rock->v_y = 32;
    rock->origin_x = 16;
    recompress_texture(*grass, 85);
    insert_texture(detail.get(), 0, 0, std::move(grass));
    insert_texture(detail.get(), 1, 0, std::move(rock));
    AddSet(data, "detl", "Sample Terrain Detail", *detail);

    TTerrainCollapser collapser;
    std::unique_ptr<texture_set> collapsed = collapser.CollapseSets(*terrain, *detail);
    tag_entry* collapsed_tag = AddSet(data, "coll", "Collapsed Terrain Stack", *collapsed);

    auto frames = create_texture_set(1);
    for (int f = 0; f < 2; ++f) {
        auto t = Texture(32, 4, TEXTURE_USE_BASE, 0, [f](uint32_t x, uint32_t y, uint8_t k) {
            const int dx = int(x) - 16, dy = int(y) - 16, inside = dx * dx + dy * dy < (f ? 100 : 200);
            return uint8_t(k == 3 ? (inside ? 255 : 0) : 60 + k * 50 + f * 40);
        });
        recompress_texture(*t, 90);
        insert_texture(frames.get(), 0, -1, std::move(t));
    }
    tag_entry* frames_tag = AddSet(data, "sprf", "Sample Sprite Frames", *frames);

    auto def = create_sprite_definition(2, 1, 4);
    for (int f = 0; f < 2; ++f) {
        sprite_frame& frame = def->frames[f];
        for (int i = 0; i < 24; ++i) frame.placement[i] = (i % 2 ? 16 : -16) << 16;
        frame.texture_stack = tag_get_id(frames_tag);
        frame.stack_index = 0;
        frame.texture_index = f;
    }
    sprite_sequence& walk = def->sequences[0];
    walk.record.num_steps = 4;
    for (int s = 0; s < 4; ++s) {
        walk.frames[s] = s % 2;
        walk.ticks[s] = 3;
        walk.colors[s] = {{65535, 65535, 65535, 65535}};
        walk.sound_tags[s] = NONE_TAG;
        walk.scales[s] = 65536;
    }
    tag_entry* sprite = data.add(data.base(), "spri"_4cc, "sprt", "Sample Sprite", std::vector<uint8_t>(28, 0));
    write_sprite_definition(*def, sprite);

    TGroundSprites ground;
    texture_image mask{64, 64, 1, {}};
    for (uint32_t y = 0; y < 64; ++y)
        for (uint32_t x = 0; x < 64; ++x) mask.pixels.push_back(uint8_t((x * 4) ^ (y * 4)));
    const std::string mask_path = data.folder() + "/images/sample_mask.jpg";
    std::vector<uint8_t> jpeg = jpeg_encode(mask.pixels.data(), 64, 64, 1, 80);
    XGFile out(mask_path);
    out.Create();
    out.Write(jpeg.data(), jpeg.size());
    out.Close();
    ground.set(0).sprite_definition = tag_get_id(sprite);
    ground.set(0).density = 40;
    ground.GetMask(0, mask_path);
    ground.set(2).sprite_definition = tag_get_id(sprite);
    ground.set(2).density = 10;
    tag_entry* grsp = data.add(data.base(), "grsp"_4cc, "gspr", "Sample Ground Sprites", std::vector<uint8_t>(400, 0));
    ground.Commit(grsp);

    data.add_root("txst"_4cc, tag_get_id(collapsed_tag));
    data.add_root("grsp"_4cc, tag_get_id(grsp));
}
