// Map (mesh) tags: a 1024-byte header, then a data area holding the cell grid, the
// marker palette, the markers, blocks A, B and C, and the map action section. Offsets
// in the header count from the start of the data area.
#pragma once

#include <cstddef>
#include <cstdint>

#include "tags/gameplay/tag_struct.h"

constexpr int32_t MESH_HEADER_SIZE = 1024;
constexpr int32_t MESH_CELL_SIZE = 12;
constexpr int32_t MARKER_PALETTE_ENTRY_SIZE = 32;
constexpr int32_t MARKER_DATA_SIZE = 64;
constexpr int32_t MAP_ACTION_SIZE = 64;
constexpr int32_t MAP_ACTION_PARAMETER_HEADER_SIZE = 8;
constexpr int MESH_CELLS_PER_BLOCK = 32;
constexpr int MINIMUM_MESH_CELLS = 32;
constexpr int MAXIMUM_MESH_CELLS = 512;
constexpr int16_t FIRST_MARKER_IDENTIFIER = 10000;
constexpr uint16_t MESH_EXTENSION_MARKER = 0xFEDC; // the header's fields at 516 and 532 are valid
constexpr int NUMBER_OF_MARKER_TYPES = 12;
constexpr int MAXIMUM_MAP_ACTION_PARAMETER_TYPE = 22;

struct mesh_header {
    tag_code landscape_tag; // txst
    tag_code media_tag;     // medi
    int16_t width_in_blocks;  // cells / 32
    int16_t height_in_blocks; // cells / 32
    uint32_t cells_offset;
    uint32_t cells_size;
    uint8_t reserved_20[4];
    uint32_t data_offset; // from the start of the tag
    uint32_t data_size;
    uint8_t reserved_32[4];
    uint32_t marker_palette_count;
    uint32_t marker_palette_offset;
    uint32_t marker_palette_size;
    uint8_t reserved_48[4];
    uint32_t marker_count;
    uint32_t markers_offset;
    uint32_t markers_size;
    uint8_t reserved_64[4];
    tag_code global_lights_tag; // glli
    tag_code connector_tag;     // conn
    uint32_t flags;             // map flags and game scoring types
    tag_code particle_system_tag; // part
    uint32_t team_count;
    int16_t field_88[10];
    uint32_t field_108;
    uint16_t ceiling_height; // 9 fraction bits
    uint8_t raw_114[2];
    int16_t edge_buffer_zone[4]; // top, left, bottom, right, in cells
    tag_code ambient_sound_tag;  // amso
    uint32_t map_action_count;
    uint32_t map_actions_offset;
    uint32_t map_actions_size;
    tag_code map_description_tag;         // stli
    tag_code postgame_collection_tag;     // .256
    tag_code pregame_collection_tag;      // .256
    tag_code overhead_map_collection_tag; // .256
    tag_code next_mesh_tags[2];           // on success, on failure
    uint32_t field_164[3];
    tag_code pregame_storyline_tag; // text
    uint32_t field_180[3];
    uint32_t block_a_offset;
    uint32_t block_a_size;
    uint8_t reserved_200[4];
    uint32_t block_b_offset;
    uint32_t block_b_size;
    uint8_t reserved_212[4];
    int16_t field_216[5];
    uint8_t raw_226[2];
    tag_code wind_tag; // wind
    uint32_t field_232[3];
    int16_t field_244[4];
    tag_code picture_captions_tag; // stli
    tag_code narration_sound_tag;  // soun
    uint32_t field_260[7];
    uint32_t block_c_offset;
    uint32_t block_c_size;
    uint32_t reserved_296;
    uint8_t raw_300[192];
    tag_code hints_tag; // stli
    int16_t field_496[4];
    uint32_t field_504[2];
    uint16_t extension_marker;
    uint16_t field_514;
    tag_code details_tag;          // txst, valid with the extension marker
    tag_code environment_map_tag;  // txst
    tag_code ground_sprites_tag;   // grsp
    tag_code level_picture_tag;    // .256
    tag_code collapsed_detail_tag; // txst, valid with the extension marker
    int32_t zoom_here[2];
    int32_t zoom_speed; // 16 fraction bits
    int32_t scrolling_text_speed;
    tag_code background_picture_tags[2]; // jpeg
    tag_code scrolling_text_tags[2];     // text
    tag_code storyline_music_tags[2];    // quik
    int16_t scrolling_text_speeds[2];
    tag_code cutscene_movies[3]; // PrePrologue 1, PrePrologue 2, PostPrologue
    uint32_t field_592;
    uint8_t raw_596[392];
    uint8_t raw_988[20];
    uint8_t raw_1008[16];
};
static_assert(sizeof(mesh_header) == MESH_HEADER_SIZE);
static_assert(offsetof(mesh_header, cells_offset) == 12);
static_assert(offsetof(mesh_header, data_offset) == 24);
static_assert(offsetof(mesh_header, marker_palette_count) == 36);
static_assert(offsetof(mesh_header, marker_count) == 52);
static_assert(offsetof(mesh_header, global_lights_tag) == 68);
static_assert(offsetof(mesh_header, team_count) == 84);
static_assert(offsetof(mesh_header, ceiling_height) == 112);
static_assert(offsetof(mesh_header, edge_buffer_zone) == 116);
static_assert(offsetof(mesh_header, ambient_sound_tag) == 124);
static_assert(offsetof(mesh_header, map_action_count) == 128);
static_assert(offsetof(mesh_header, map_description_tag) == 140);
static_assert(offsetof(mesh_header, next_mesh_tags) == 156);
static_assert(offsetof(mesh_header, pregame_storyline_tag) == 176);
static_assert(offsetof(mesh_header, block_a_offset) == 192);
static_assert(offsetof(mesh_header, block_b_offset) == 204);
static_assert(offsetof(mesh_header, field_216) == 216);
static_assert(offsetof(mesh_header, wind_tag) == 228);
static_assert(offsetof(mesh_header, picture_captions_tag) == 252);
static_assert(offsetof(mesh_header, narration_sound_tag) == 256);
static_assert(offsetof(mesh_header, block_c_offset) == 288);
static_assert(offsetof(mesh_header, reserved_296) == 296);
static_assert(offsetof(mesh_header, hints_tag) == 492);
static_assert(offsetof(mesh_header, extension_marker) == 512);
static_assert(offsetof(mesh_header, details_tag) == 516);
static_assert(offsetof(mesh_header, collapsed_detail_tag) == 532);
static_assert(offsetof(mesh_header, zoom_speed) == 544);
static_assert(offsetof(mesh_header, background_picture_tags) == 552);
static_assert(offsetof(mesh_header, scrolling_text_speeds) == 576);
static_assert(offsetof(mesh_header, cutscene_movies) == 580);
static_assert(offsetof(mesh_header, raw_596) == 596);

template <>
struct tag_struct_info<mesh_header> {
    static constexpr tag_code type = "mesh"_4cc;
    static constexpr const char* label = "mesh";
    static constexpr bs_code codes[] = {
        _begin_bs_array, 1, _4byte, _4byte, _2byte, _2byte, _4byte, _4byte, 4, _4byte, _4byte, 4,
        _4byte, _4byte, _4byte, 4, _4byte, _4byte, _4byte, 4, _4byte, _4byte, _4byte, _4byte, _4byte,
        _2byte, _2byte, _2byte, _2byte, _2byte, _2byte, _2byte, _2byte, _2byte, _2byte, _4byte, _2byte, 2,
        _2byte, _2byte, _2byte, _2byte, _4byte, _4byte, _4byte, _4byte, _4byte, _4byte, _4byte, _4byte,
        _begin_bs_array, 2, _4byte, _end_bs_array, _begin_bs_array, 3, _4byte, _end_bs_array,
        _begin_bs_array, 4, _4byte, _end_bs_array, _4byte, _4byte, 4, _4byte, _4byte, 4,
        _2byte, _2byte, _2byte, _2byte, _2byte, 2, _4byte, _begin_bs_array, 3, _4byte, _end_bs_array,
        _2byte, _2byte, _2byte, _2byte, _4byte, _4byte, _4byte, _4byte, _4byte, _4byte, _4byte, _4byte,
        _4byte, _4byte, _4byte, _4byte, 192, _4byte, _2byte, _2byte, _2byte, _2byte, _4byte, _4byte,
        _2byte, _2byte, _4byte, _4byte, _4byte, _4byte, _4byte, _4byte, _4byte, _4byte, _4byte, _4byte,
        _4byte, _4byte, _4byte, _4byte, _4byte, _2byte, _2byte, _4byte, _4byte, _4byte, _4byte, 392, 20, 16,
        _end_bs_array};
};

enum : uint16_t {
    MESH_CELL_DERIVED_MEDIA = 0x0100, // the cell or a neighbour above or to the left has media
    MESH_CELL_MEDIA_1 = 0x0800,
    MESH_CELL_MEDIA_2 = 0x1000,
    MESH_CELL_MEDIA = MESH_CELL_MEDIA_1 | MESH_CELL_MEDIA_2,
};

// One cell of the grid. In memory the render height is absolute; stored, it is
// render height - physical height - 1.
struct mesh_cell {
    int16_t physical_height;
    int16_t field_2;
    uint16_t flags; // two terrain type indexes (bits 0-3, 4-7) and the media bits
    uint8_t raw_6[2];
    int16_t media_height;
    int16_t render_height;
};
static_assert(sizeof(mesh_cell) == MESH_CELL_SIZE);

template <>
struct tag_struct_info<mesh_cell> {
    static constexpr const char* label = "mesh cell";
    static constexpr bs_code codes[] = {_begin_bs_array, 1, _2byte, _2byte, _2byte, 2, _2byte, _2byte,
                                        _end_bs_array};
};

struct marker_palette_entry {
    int16_t type; // marker type 0-11
    uint16_t property_flags;
    tag_code tag; // its type follows from the marker type
    int16_t team; // -1 and below: none
    uint8_t raw_10[2];
    uint32_t netgame_types;
    uint8_t raw_16[8];
    uint32_t runtime_24;   // written 0
    uint16_t marker_count; // the markers that use the entry, counted on every store
    int16_t runtime_30;    // written -1
};
static_assert(sizeof(marker_palette_entry) == MARKER_PALETTE_ENTRY_SIZE);
static_assert(offsetof(marker_palette_entry, netgame_types) == 12);
static_assert(offsetof(marker_palette_entry, runtime_24) == 24);
static_assert(offsetof(marker_palette_entry, marker_count) == 28);

template <>
struct tag_struct_info<marker_palette_entry> {
    static constexpr const char* label = "marker palette entry";
    static constexpr bs_code codes[] = {_begin_bs_array, 1, _2byte, _2byte, _4byte, _2byte, 2, _4byte, 12, 4,
                                        _end_bs_array};
};

struct marker_data {
    uint32_t flags;
    int16_t type;
    int16_t palette_index; // stored: among the entries of the same type; in memory: into the palette
    int16_t identifier;
    int16_t minimum_difficulty;
    int32_t position[3]; // 9 fraction bits
    int16_t field_24[3];
    int16_t elevation; // 9 fraction bits
    uint16_t yaw;
    uint16_t pitch;
    uint8_t raw_36[16];
    uint16_t roll;
    uint8_t raw_54[2];
    uint32_t runtime_56; // written 0
    uint8_t raw_60[4];
};
static_assert(sizeof(marker_data) == MARKER_DATA_SIZE);
static_assert(offsetof(marker_data, position) == 12);
static_assert(offsetof(marker_data, elevation) == 30);
static_assert(offsetof(marker_data, raw_36) == 36);
static_assert(offsetof(marker_data, roll) == 52);
static_assert(offsetof(marker_data, runtime_56) == 56);

template <>
struct tag_struct_info<marker_data> {
    static constexpr const char* label = "marker data";
    static constexpr bs_code codes[] = {_begin_bs_array, 1, _4byte, _2byte, _2byte, _2byte, _2byte, _4byte,
                                        _4byte, _4byte, _2byte, _2byte, _2byte, _2byte, _2byte, _2byte, 16,
                                        _2byte, 2, 4, 4, _end_bs_array};
};

struct map_action_parameter_header {
    int16_t type;
    int16_t element_count;
    uint32_t field_4;
};
static_assert(sizeof(map_action_parameter_header) == MAP_ACTION_PARAMETER_HEADER_SIZE);

template <>
struct tag_struct_info<map_action_parameter_header> {
    static constexpr const char* label = "map action parameter header";
    static constexpr bs_code codes[] = {_begin_bs_array, 1, _2byte, _2byte, _4byte, _end_bs_array};
};

// A marker type: its name, the type of the tag its palette entries name, and whether
// those tags are dependencies of the map.
struct marker_type_info {
    const char* name;
    tag_code tag_type; // 0 for none
    bool collected;
};
const marker_type_info& marker_type(int index); // an out-of-range index gives an empty record

// Elements of a map action parameter: their size and the tag type a reference names (0 for
// none). type must be within 0..22.
int32_t map_action_parameter_element_size(int type);
tag_code map_action_parameter_reference_type(int type);
