// The tags a map uses, in the order the foundation build expects them.
#include <utility>

#include "map/mesh_map.h"

namespace {

using reference = std::pair<tag_code, tag_code>;

void HeaderReferences(const mesh_header& h, std::vector<reference>& refs)
{
    bool extended = h.extension_marker == MESH_EXTENSION_MARKER;
    refs.push_back({"txst"_4cc, h.landscape_tag});
    if (extended) refs.push_back({"txst"_4cc, h.details_tag});
    refs.push_back({"grsp"_4cc, h.ground_sprites_tag});
    if (extended) refs.push_back({"txst"_4cc, h.collapsed_detail_tag});
    refs.push_back({"medi"_4cc, h.media_tag});
    refs.push_back({"glli"_4cc, h.global_lights_tag});
    refs.push_back({"txst"_4cc, h.environment_map_tag});
    refs.push_back({"part"_4cc, h.particle_system_tag});
    refs.push_back({"amso"_4cc, h.ambient_sound_tag});
    refs.push_back({"stli"_4cc, h.map_description_tag});
    refs.push_back({"wind"_4cc, h.wind_tag});
    refs.push_back({"soun"_4cc, h.narration_sound_tag});
    refs.push_back({"conn"_4cc, h.connector_tag});
    refs.push_back({"stli"_4cc, h.hints_tag});
    refs.push_back({".256"_4cc, h.pregame_collection_tag});
    refs.push_back({".256"_4cc, h.overhead_map_collection_tag});
    refs.push_back({".256"_4cc, h.postgame_collection_tag});
    refs.push_back({"text"_4cc, h.pregame_storyline_tag});
    refs.push_back({"stli"_4cc, h.picture_captions_tag});
    refs.push_back({"jpeg"_4cc, h.background_picture_tags[0]});
    refs.push_back({"jpeg"_4cc, h.background_picture_tags[1]});
    refs.push_back({"text"_4cc, h.scrolling_text_tags[0]});
    refs.push_back({"text"_4cc, h.scrolling_text_tags[1]});
    refs.push_back({"quik"_4cc, h.storyline_music_tags[0]});
    refs.push_back({"quik"_4cc, h.storyline_music_tags[1]});
    refs.push_back({".256"_4cc, h.level_picture_tag});
}

// The references of the palette and the map action parameters; false when a count or
// section runs outside the tag's data.
bool SectionReferences(const mesh_header& h, const uint8_t* data, uint32_t size, std::vector<reference>& refs)
{
    auto inside = [size](uint64_t start, uint64_t length) { return start <= size && length <= size - start; };

    uint64_t palette = uint64_t(h.data_offset) + h.marker_palette_offset;
    if (!inside(palette, uint64_t(h.marker_palette_count) * MARKER_PALETTE_ENTRY_SIZE)) return false;
    for (uint32_t i = 0; i < h.marker_palette_count; ++i) {
        marker_palette_entry p;
        using info = tag_struct_info<marker_palette_entry>;
        byte_swap_copy(info::label, &p, data + palette + uint64_t(i) * MARKER_PALETTE_ENTRY_SIZE,
                       MARKER_PALETTE_ENTRY_SIZE, 1, info::codes);
        const marker_type_info& type = marker_type(p.type);
        if (type.collected) refs.push_back({type.tag_type, p.tag});
    }

    uint64_t start = uint64_t(h.data_offset) + h.map_actions_offset;
    uint64_t length = h.map_actions_size;
    if (!inside(start, length)) return false;
    const uint8_t* section = data + start;
    uint64_t at = uint64_t(h.map_action_count) * MAP_ACTION_SIZE;
    if (at > length) return false;
    while (at + MAP_ACTION_PARAMETER_HEADER_SIZE <= length) {
        map_action_parameter_header p;
        using info = tag_struct_info<map_action_parameter_header>;
        byte_swap_copy(info::label, &p, section + at, MAP_ACTION_PARAMETER_HEADER_SIZE, 1, info::codes);
        if (p.type < 0 || p.type > MAXIMUM_MAP_ACTION_PARAMETER_TYPE) break; // the rest is one element
        if (p.element_count < 0) return false;
        uint64_t bytes = uint64_t(p.element_count) * uint64_t(map_action_parameter_element_size(p.type));
        uint64_t padded = (bytes + 3) & ~uint64_t(3);
        at += MAP_ACTION_PARAMETER_HEADER_SIZE;
        if (padded > length - at) return false;
        if (tag_code type = map_action_parameter_reference_type(p.type))
            for (int16_t i = 0; i < p.element_count; ++i) refs.push_back({type, read_be32(section + at + 4 * size_t(i))});
        at += padded;
    }
    return true;
}

} // namespace

void collect_mesh_dependencies(tag_entry* e)
{
    mesh_header h;
    if (!read_tag_struct_or_report(e, h)) return;
    uint32_t size = 0;
    const uint8_t* data = tag_get_data(e, &size);
    std::vector<reference> refs;
    HeaderReferences(h, refs);
    if (!SectionReferences(h, data, size, refs)) {
        report_unreadable_tag(e);
        return;
    }
    refs.push_back({"mesh"_4cc, h.next_mesh_tags[0]});
    refs.push_back({"mesh"_4cc, h.next_mesh_tags[1]});
    for (const reference& r : refs) add_dependency(r.first, r.second);
}
