#include "render/map_texture_cache.h"

#include "framework/XGError.h"
#include "render/gl_texture.h"
#include "texture/texture_pixels.h"
#include "texture/txst_format.h"

map_texture_cache::~map_texture_cache() = default;

void map_texture_cache::bind(GLuint name)
{
    if (name == fBound) return;
    fGL->BindTexture(GL_TEXTURE_2D, name);
    fBound = name;
}

GLuint map_texture_cache::texture(tag_code stack_id, int layer, int index, int a, int b)
{
    if (!fGL || layer < 0) return 0;
    auto record = fStacks.find(stack_id);
    if (record != fStacks.end()) {
        auto it = record->second.layers.find(layer);
        if (it != record->second.layers.end())
            for (const built& t : it->second)
                if (t.index == index || (t.b == b && (a < 0 || t.a == a))) {
                    bind(t.name);
                    return t.name;
                }
    }

    tag_entry* e = fStore ? fStore->find_tag("txst"_4cc, stack_id) : nullptr;
    if (!e) return 0;
    texture_image image;
    int found = -1;
    try {
        uint32_t size = 0;
        const uint8_t* data = tag_get_data(e, &size);
        if (!data || uint32_t(layer) >= txst_stored_stack_count(data, size)) return 0;
        uint32_t count = txst_stored_texture_count(data, size, uint32_t(layer));
        txst_texture_header header;
        const uint8_t* pixels = nullptr;
        if (index >= 0 && uint32_t(index) < count) {
            if (!txst_stored_texture(data, size, uint32_t(layer), uint32_t(index), &header, &pixels)) return 0;
            found = index;
        } else {
            for (uint32_t i = 0; i < count && found < 0; ++i)
                if (txst_stored_texture(data, size, uint32_t(layer), i, &header, &pixels) && header.use == b &&
                    (a < 0 || header.layer == a))
                    found = int(i);
            if (found < 0) return 0;
        }
        texture_pixels_info info{header.format, header.channels, header.width, header.height};
        texture_decode_options options;
        options.smooth = false;
        if (!decode_texture_data(pixels, header.data_size, info, options, image)) return 0;
        a = header.layer;
        b = header.use;
    } catch (const XGError&) {
        return 0;
    }
    GLuint name = upload_texture(*fGL, image);
    if (!name) return 0;
    fBound = name; // upload binds it
    stack_record& r = fStacks[stack_id];
    r.id = stack_id;
    r.entry = e;
    r.layers[layer].push_back({found, a, b, name});
    return name;
}

void map_texture_cache::drop(tag_code stack_id)
{
    auto it = fStacks.find(stack_id);
    if (it == fStacks.end()) return;
    std::vector<GLuint> names;
    for (auto& [layer, list] : it->second.layers)
        for (const built& t : list) names.push_back(t.name);
    if (fGL && !names.empty()) fGL->DeleteTextures(GLsizei(names.size()), names.data());
    fStacks.erase(it);
    fBound = 0;
}

void map_texture_cache::release_all()
{
    while (!fStacks.empty()) drop(fStacks.begin()->first);
}

size_t map_texture_cache::size() const
{
    size_t n = 0;
    for (auto& [id, r] : fStacks)
        for (auto& [layer, list] : r.layers) n += list.size();
    return n;
}
