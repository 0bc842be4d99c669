#include "model/skmd_texture.h"

#include "framework/XGError.h"
#include "tags/tags.h"
#include "texture/texture_pixels.h"
#include "texture/txst_format.h"

bool skmd_model_texture(const TTagStore& store, const skmd_tag_header& header, texture_image& out, std::string* why)
{
    auto fail = [&](const std::string& reason) {
        if (why) *why = reason;
        return false;
    };
    tag_code id = tag_code(header.word4);
    if (id == 0 || id == NONE_TAG) return fail("The model names no texture stack.");
    tag_entry* e = store.find_tag("txst"_4cc, id);
    if (!e) return fail("The model's texture stack " + tag_code_to_text(id) + " is missing.");
    try {
        stored_texture_set set = read_stored_texture_set(e);
        const stored_texture* chosen = nullptr;
        for (const stored_texture_set::stack& stack : set.stacks) {
            for (uint32_t i = 0; i < stack.header.texture_count && !chosen; ++i) {
                const stored_texture& t = set.textures[stack.first + i];
                if (t.header.use == TEXTURE_USE_BASE) chosen = &t;
            }
            if (!chosen && stack.header.texture_count) chosen = &set.textures[stack.first];
            if (chosen) break;
        }
        if (!chosen) return fail("The model's texture stack holds no texture.");
        texture_pixels_info info{chosen->header.format, chosen->header.channels, chosen->header.width,
                                 chosen->header.height};
        std::string reason;
        if (!decode_texture_data(chosen->data, chosen->header.data_size, info, {}, out, &reason))
            return fail("The model's texture cannot be decoded: " + reason);
    } catch (const XGError& e) {
        return fail(e.GetMessage());
    }
    return true;
}
