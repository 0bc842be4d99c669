// How the editor names textures: the three lines beside each preview, the Texture Info
// choices and the placement values it shows.
#pragma once

#include <string>
#include <vector>

#include "texture/texture_set.h"

// "empty", "alpha", "lum/alpha", "rgb", "rgba"; "%d channels" beyond.
std::string texture_channels_name(uint32_t channels);
// "base texture", "detail mask %d", ..., "use %d layer %d".
std::string texture_use_text(uint8_t use, uint8_t layer);
// "%s %d x %d"; "raw data" / "jpeg" / "format %d" with ", %.1f k (%d%%)"; the use text.
std::vector<std::string> texture_list_text(const stacked_texture& t);

struct texture_info_choice {
    const char* name;
    uint8_t use;
};
// The roles the Texture Info window offers for a texture of this many channels.
const std::vector<texture_info_choice>& texture_info_choices(uint32_t channels);
// The index of the choice selected on opening for the texture's use.
size_t texture_info_selected_choice(const stacked_texture& t);

// Detail texture placement with the defaults applied: origin, u and v axes.
struct detail_placement {
    float origin_x, origin_y, u_x, u_y, v_x, v_y;
};
detail_placement texture_detail_placement(const stacked_texture& t);
// A stored placement value as the Texture Info window shows it: value x side / 16384,
// with three decimals; side is the width for x parts and the height for y parts.
std::string texture_placement_text(int16_t value, uint32_t side);
// The inverse: the stored value for a shown number, value x 16384 / side rounded to the
// nearest step. False when the text is not a number, the side is 0, or the value does
// not fit 16 bits.
bool texture_placement_value(const std::string& text, uint32_t side, int16_t* value);
