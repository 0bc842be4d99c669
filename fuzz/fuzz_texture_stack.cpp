// Reads the input as the data of a texture stack tag, collapses it as a terrain, writes it
// back, and works on small textures as the editor does: previews, list text, split and merge.
#include <cstdint>

#include "framework/XGError.h"
#include "tags/tags.h"
#include "texture/ctd.h"
#include "texture/texture_pixels.h"
#include "texture/texture_text.h"
#include "texture/txst_format.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    TTagStore store;
    tag_file* file = store.new_tag_file();
    tag_entry* e = store.create_tag(file, "txst"_4cc, "fuzz"_4cc, 1, "fuzz", 0, uint32_t(size), data);
    try {
        // A detail stack of one small texture; the collapse reads the terrain in place.
        static TTerrainCollapser collapser;
        auto detail = create_texture_set(1);
        auto texture = std::make_unique<stacked_texture>();
        texture->width = texture->height = 4;
        texture->channels = 3;
        texture->compressed_data.assign(4 * 4 * 3, 90);
        insert_texture(detail.get(), 0, 0, std::move(texture));
        write_texture_set(store.create_tag(file, "txst"_4cc, "detl"_4cc, 1, "detail", 0, 0, nullptr), *detail);
        collapser.Collapse(file, "fuzz"_4cc, "detl"_4cc);
    } catch (const XGError&) {
    }
    try {
        std::unique_ptr<texture_set> set = read_texture_set(e);
        for (uint32_t s = 0; s < set->stack_count(); ++s) {
            auto& list = set->stacks[s].textures;
            for (size_t i = 0; i < list.size(); ++i) {
                stacked_texture* t = list[i].get();
                texture_list_text(*t);
                txst_texture_header header;
                const uint8_t* pixels = nullptr;
                txst_stored_texture(data, uint32_t(size), s, uint32_t(i), &header, &pixels);
                if (uint64_t(t->width) * t->height > 64 * 64) continue;
                make_preview(*t);
                make_preview(*t, 8); // decoded at a scale
                try {
                    if (stacked_texture* alpha = split_rgba(*set, t)) merge_rgb_and_a(*set, t, alpha);
                } catch (const XGError&) {
                }
            }
        }
        write_texture_set(e, *set);
    } catch (const XGError&) {
    }
    return 0;
}
