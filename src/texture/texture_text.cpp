#include "texture/texture_text.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

std::string Format(const char* format, auto... values)
{
    char buffer[128];
    std::snprintf(buffer, sizeof buffer, format, values...);
    return buffer;
}

} // namespace

std::string texture_channels_name(uint32_t channels)
{
    static const char* const names[] = {"empty", "alpha", "lum/alpha", "rgb", "rgba"};
    return channels < 5 ? names[channels] : Format("%u channels", channels);
}

std::string texture_use_text(uint8_t use, uint8_t layer)
{
    switch (use) {
    case TEXTURE_USE_BASE: return "base texture";
    case TEXTURE_USE_DETAIL_MASK: return Format("detail mask %d", layer);
    case TEXTURE_USE_DETAIL_TEXTURE: return Format("detail texture %d", layer);
    case TEXTURE_USE_SKIN_MODIFIER: return Format("skin modifier %d", layer);
    case TEXTURE_USE_LOGO_MASK: return "logo mask";
    case TEXTURE_USE_GLOW_MASK: return "glow mask";
    case TEXTURE_USE_REFLECT_MASK: return "reflect mask";
    default: return Format("use %d layer %d", use, layer);
    }
}

std::vector<std::string> texture_list_text(const stacked_texture& t)
{
    std::string first = Format("%s %d x %d", texture_channels_name(t.channels).c_str(), t.width, t.height);
    std::string second = t.format == TEXTURE_FORMAT_RAW    ? "raw data"
                         : t.format == TEXTURE_FORMAT_JPEG ? "jpeg"
                                                           : Format("format %d", t.format);
    // An empty texture has no raw size to compare with: it shows 0 %.
    const uint64_t raw = t.raw_size();
    const uint64_t percent = raw ? (100 * uint64_t(t.data_size()) + raw / 2) / raw : 0;
    second += Format(", %.1f k (%d%%)", t.data_size() / 1024.0, int(percent));
    return {first, second, texture_use_text(t.use, t.layer)};
}

const std::vector<texture_info_choice>& texture_info_choices(uint32_t channels)
{
    static const std::vector<texture_info_choice> masks = {
        {"Terrain Detail Mask", TEXTURE_USE_DETAIL_MASK},   {"Skin Team Color Mask", TEXTURE_USE_SKIN_MODIFIER},
        {"Skin Logo Mask", TEXTURE_USE_LOGO_MASK},          {"Skin Glow Mask", TEXTURE_USE_GLOW_MASK},
        {"Skin Reflection Mask", TEXTURE_USE_REFLECT_MASK},
    };
    static const std::vector<texture_info_choice> colours = {
        {"Base Colormap", TEXTURE_USE_BASE},
        {"Detail Texture", TEXTURE_USE_DETAIL_TEXTURE},
    };
    return channels == 1 ? masks : colours;
}

size_t texture_info_selected_choice(const stacked_texture& t)
{
    if (t.channels == 1) {
        switch (t.use) {
        case TEXTURE_USE_DETAIL_MASK: return 0;
        case TEXTURE_USE_LOGO_MASK: return 2;
        case TEXTURE_USE_GLOW_MASK: return 3;
        case TEXTURE_USE_REFLECT_MASK: return 4;
        default: return 1;
        }
    }
    return t.use == TEXTURE_USE_DETAIL_TEXTURE ? 1 : 0;
}

detail_placement texture_detail_placement(const stacked_texture& t)
{
    detail_placement p{0, 0, -64, 0, 0, 64};
    if (t.u_x != 0 || t.u_y != 0) {
        p.origin_x = t.origin_x;
        p.u_x = t.u_x;
        p.u_y = t.u_y;
    }
    if (t.v_x != 0 || t.v_y != 0) {
        p.origin_y = t.origin_y;
        p.v_x = t.v_x;
        p.v_y = t.v_y;
    }
    return p;
}

std::string texture_placement_text(int16_t value, uint32_t side)
{
    return Format("%.*f", 3, double(value) * side / 16384.0);
}

bool texture_placement_value(const std::string& text, uint32_t side, int16_t* value)
{
    const char* start = text.c_str();
    char* end = nullptr;
    const double shown = std::strtod(start, &end);
    while (end && (*end == ' ' || *end == '\t')) ++end;
    if (end == start || !end || *end != 0 || !std::isfinite(shown) || side == 0) return false;
    const double stored = std::round(shown * 16384.0 / side);
    if (stored < INT16_MIN || stored > INT16_MAX) return false;
    *value = int16_t(stored);
    return true;
}
