// What a person can read of the data of texture stacks, sounds and maps.
#include <cstdio>

#include "framework/XGError.h"
#include "map/mesh_map.h"
#include "sound/sound_definition.h"
#include "tags/tag_units.h"
#include "tags/tags.h"
#include "textform/tag_json.h"
#include "textform/text_codec.h"
#include "texture/txst_format.h"

namespace {

tag_json TextureStack(tag_entry* e)
{
    std::unique_ptr<texture_set> set = read_texture_set(e);
    tag_json stacks = tag_json::array();
    for (const texture_stack_entry& stack : set->stacks) {
        tag_json textures = tag_json::array();
        for (const auto& t : stack.textures) {
            char text[96];
            std::snprintf(text, sizeof text, "%dx%d, %d channels, %s, use %d, layer %d", int(t->width),
                          int(t->height), int(t->channels), t->format == TEXTURE_FORMAT_JPEG ? "jpeg" : "raw",
                          int(t->use), int(t->layer));
            textures.push_back(text);
        }
        stacks.push_back(std::move(textures));
    }
    tag_json summary = tag_json::object();
    summary.emplace("stacks", std::move(stacks));
    return summary;
}

tag_json Sound(tag_entry* e)
{
    TSoundDefinition sound;
    if (!read_sound_definition(sound, e)) return nullptr;
    tag_json permutations = tag_json::array();
    for (int32_t i = 0; i < sound.PermutationCount(); ++i) {
        sound_permutation_information info = sound_permutation_info(sound, i);
        const sampled_sound_header& h = sound.fHeaders[i];
        // compressed sounds count packets of 64 samples over all channels
        double samples = h.flags & _sound_compressed
                             ? double(h.sample_count) * 64.0 / (h.number_of_channels ? h.number_of_channels : 1)
                             : double(h.sample_count);
        double rate = double(h.sample_rate) / 65536.0;
        tag_json p = tag_json::object();
        p.emplace("name", latin1_to_utf8(std::string(sound.fPermutations[i].permutation_name,
                                                     strnlen(sound.fPermutations[i].permutation_name,
                                                             sizeof sound.fPermutations[i].permutation_name))));
        p.emplace("format", info.format + ", " + info.channels + (h.flags & _sound_compressed ? ", IMA ADPCM" : ""));
        p.emplace("seconds", format_trimmed(rate > 0 ? samples / rate : 0.0, 3));
        permutations.push_back(std::move(p));
    }
    tag_json summary = tag_json::object();
    summary.emplace("permutations", std::move(permutations));
    return summary;
}

tag_json Map(tag_entry* e)
{
    TMeshMap map;
    load_map(e, map);
    tag_json summary = tag_json::object();
    summary.emplace("cells", std::to_string(map.fWidth) + "x" + std::to_string(map.fHeight));
    summary.emplace("marker_palette", map.fPalette.size());
    summary.emplace("markers", map.fMarkers.size());
    return summary;
}

} // namespace

tag_json tag_json_summary(tag_entry* e)
{
    try {
        switch (tag_get_type(e)) {
        case "txst"_4cc: return TextureStack(e);
        case "soun"_4cc: return Sound(e);
        case "mesh"_4cc: return Map(e);
        default: return nullptr;
        }
    } catch (const XGError&) {
        return nullptr; // the data goes out as it is; the summary only helps reading it
    }
}
