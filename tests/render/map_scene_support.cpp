#include "render/map_scene_support.h"

#include "texture/texture_set.h"
#include "texture/txst_format.h"

tiled_map::tiled_map(int blocks_x, int blocks_y, tag_code stack)
{
    map = default_mesh_map(32 * ((blocks_x + 1) / 2), 32 * ((blocks_y + 1) / 2));
    map.fHeader.landscape_tag = stack;
    std::vector<map_rgb> tiles;
    for (int i = 0; i < (map.fWidth / 16) * (map.fHeight / 16); ++i)
        tiles.push_back({uint8_t(40 + (i * 53) % 200), uint8_t(200 - (i * 37) % 160), uint8_t((i * 91) % 256)});
    set_tiles(tiles, stack);
}

void tiled_map::set_tiles(const std::vector<map_rgb>& tiles, tag_code stack)
{
    colors = tiles;
    auto set = create_texture_set(uint32_t(tiles.size()));
    for (size_t i = 0; i < tiles.size(); ++i) {
        auto t = std::make_unique<stacked_texture>();
        t->channels = 3;
        t->width = t->height = 128;
        for (int p = 0; p < 128 * 128; ++p) t->compressed_data.insert(t->compressed_data.end(), {tiles[i].r, tiles[i].g, tiles[i].b});
        insert_texture(set.get(), uint32_t(i), 0, std::move(t));
    }
    tag_entry* e = tag_find_in_file(file, "txst"_4cc, stack);
    if (!e) e = store.create_tag(file, "txst"_4cc, stack, 1, "Landscape", 0, 0, nullptr);
    write_texture_set(e, *set);
}
