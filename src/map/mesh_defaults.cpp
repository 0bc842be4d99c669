// A new map: the default header and cells of the size the user chose.
#include <cstdio>

#include "map/mesh_map.h"

bool mesh_size_is_valid(int width, int height)
{
    auto valid = [](int n) { return n >= MINIMUM_MESH_CELLS && n <= MAXIMUM_MESH_CELLS && n % 32 == 0; };
    return valid(width) && valid(height);
}

std::string mesh_size_message(int width, int height)
{
    if (!mesh_size_is_valid(width, height)) return "The mesh sizes must be multiples of 32, between 32 and 512.";
    char text[128];
    std::snprintf(text, sizeof text, "A %d x %d mesh will require a colormap measuring %d x %d pixels.", width,
                  height, (width / 16) * 126, (height / 16) * 126);
    return text;
}

TMeshMap default_mesh_map(int width, int height)
{
    TMeshMap map;
    map.fWidth = width;
    map.fHeight = height;
    mesh_header& h = map.fHeader;
    h.width_in_blocks = int16_t(width / MESH_CELLS_PER_BLOCK);
    h.height_in_blocks = int16_t(height / MESH_CELLS_PER_BLOCK);
    h.data_offset = MESH_HEADER_SIZE;
    h.team_count = 2;
    h.ceiling_height = 16384;
    for (int16_t& zone : h.edge_buffer_zone) zone = 32;
    h.extension_marker = MESH_EXTENSION_MARKER;
    h.scrolling_text_speeds[0] = h.scrolling_text_speeds[1] = 1;
    for (tag_code* none : {&h.landscape_tag, &h.media_tag, &h.global_lights_tag, &h.connector_tag,
                           &h.particle_system_tag, &h.ambient_sound_tag, &h.map_description_tag,
                           &h.postgame_collection_tag, &h.pregame_collection_tag, &h.overhead_map_collection_tag,
                           &h.pregame_storyline_tag, &h.wind_tag, &h.picture_captions_tag, &h.narration_sound_tag,
                           &h.hints_tag, &h.details_tag, &h.environment_map_tag, &h.ground_sprites_tag,
                           &h.level_picture_tag, &h.collapsed_detail_tag, &h.field_260[0], &h.field_260[1],
                           &h.field_504[1], &h.cutscene_movies[0], &h.cutscene_movies[1]})
        *none = NONE_TAG;
    for (tag_code* run : {h.next_mesh_tags, h.background_picture_tags, h.scrolling_text_tags,
                          h.storyline_music_tags})
        run[0] = run[1] = NONE_TAG;
    for (uint32_t* run : {h.field_164, h.field_180, h.field_232})
        run[0] = run[1] = run[2] = NONE_TAG;

    mesh_cell cell{};
    cell.flags = 0x0066;
    cell.raw_6[0] = cell.raw_6[1] = 0xFF;
    cell.render_height = 0; // stored as -1
    map.fCells.assign(size_t(width) * size_t(height), cell);
    return map;
}

void set_mesh_defaults(tag_entry* e, int width, int height)
{
    if (!mesh_size_is_valid(width, height))
        throw XGError(kXGError, "New Mesh", mesh_size_message(width, height));
    store_map(e, default_mesh_map(width, height));
}
