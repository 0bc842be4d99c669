#include "map/map_palette.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "map/mesh_map.h"
#include "tags/tag_types.h"
#include "tags/tags.h"

marker_palette_entry new_palette_entry(int type)
{
    marker_palette_entry e{};
    e.type = int16_t(type);
    e.tag = NONE_TAG;
    e.team = -1;
    e.netgame_types = 0x3FFF;
    e.runtime_30 = -1;
    if (type == 3) { // Monster: May Be Traded, May Use Veterans
        e.property_flags = 6;
        e.team = 0;
    }
    return e;
}

std::vector<int> palette_entries_of_type(const TMeshMap& map, int type)
{
    std::vector<int> found;
    for (size_t i = 0; i < map.fPalette.size(); ++i)
        if (map.fPalette[i].type == type) found.push_back(int(i));
    return found;
}

std::string palette_row_text(const TTagStore* store, const marker_palette_entry& entry)
{
    std::string text = tag_code_to_text(entry.tag) + "  -  ";
    tag_code type = marker_type(entry.type).tag_type;
    tag_entry* e = store && type ? store->find_tag(type, entry.tag) : nullptr;
    if (e)
        text += tag_get_name(e);
    else
        text += std::string("<missing ") + (type ? tag_type_name(type) : "tag") + ">";
    if (entry.team >= -1) {
        char team[32];
        std::snprintf(team, sizeof team, " (team %d)", int(entry.team));
        text += team;
    }
    return text;
}

std::vector<int> markers_using(const TMeshMap& map, int entry)
{
    std::vector<int> found;
    for (size_t i = 0; i < map.fMarkers.size(); ++i)
        if (map.fMarkers[i].palette_index == entry) found.push_back(int(i));
    return found;
}

void delete_palette_entry(TMeshMap& map, int entry, int current[NUMBER_OF_MARKER_TYPES])
{
    if (entry < 0 || size_t(entry) >= map.fPalette.size()) return;
    int type = map.fPalette[size_t(entry)].type;
    std::erase_if(map.fMarkers, [&](const marker_data& m) { return m.palette_index == entry; });
    for (marker_data& m : map.fMarkers)
        if (m.palette_index > entry) --m.palette_index;
    if (type >= 0 && type < NUMBER_OF_MARKER_TYPES) current[type] = -1;
    for (int t = 0; t < NUMBER_OF_MARKER_TYPES; ++t)
        if (current[t] > entry) --current[t];
    map.fPalette.erase(map.fPalette.begin() + entry);
}

int add_marker(TMeshMap& map, int entry, double x, double y, double z)
{
    marker_data m{};
    m.type = entry >= 0 && size_t(entry) < map.fPalette.size() ? map.fPalette[size_t(entry)].type : 0;
    m.palette_index = int16_t(entry);
    m.identifier = map.fNextMarkerIdentifier;
    if (map.fNextMarkerIdentifier < INT16_MAX) ++map.fNextMarkerIdentifier;
    m.position[0] = int32_t(std::lround(x * 512));
    m.position[1] = int32_t(std::lround(y * 512));
    m.position[2] = int32_t(std::lround(z * 512));
    map.fMarkers.push_back(m);
    return int(map.fMarkers.size() - 1);
}

void remove_markers(TMeshMap& map, std::vector<int> markers)
{
    std::sort(markers.begin(), markers.end());
    markers.erase(std::unique(markers.begin(), markers.end()), markers.end());
    for (auto it = markers.rbegin(); it != markers.rend(); ++it)
        if (*it >= 0 && size_t(*it) < map.fMarkers.size()) map.fMarkers.erase(map.fMarkers.begin() + *it);
}

namespace {

double degrees(uint16_t angle)
{
    return angle * 360.0 / 65536;
}

uint16_t angle(double degrees)
{
    long v = std::lround(degrees * 65536 / 360);
    return uint16_t(((v % 65536) + 65536) % 65536);
}

int32_t fixed9(double v)
{
    return int32_t(std::clamp(std::round(v * 512), double(INT32_MIN), double(INT32_MAX)));
}

} // namespace

marker_fields marker_to_fields(const marker_data& m)
{
    marker_fields f;
    f.x = m.position[0] / 512.0;
    f.y = m.position[1] / 512.0;
    f.z = m.position[2] / 512.0;
    f.elevation = m.elevation / 512.0;
    f.yaw = degrees(m.yaw);
    f.pitch = degrees(m.pitch);
    f.roll = degrees(m.roll);
    for (int b = 0; b < 5; ++b) f.flags[b] = (m.flags >> b) & 1;
    f.difficulty = std::clamp(m.minimum_difficulty / 2, 0, 2);
    return f;
}

void fields_to_marker(const marker_fields& f, marker_data& m)
{
    m.position[0] = fixed9(f.x);
    m.position[1] = fixed9(f.y);
    m.position[2] = fixed9(f.z);
    m.elevation = int16_t(std::clamp(std::lround(f.elevation * 512), long(INT16_MIN), long(INT16_MAX)));
    m.yaw = angle(f.yaw);
    m.pitch = angle(f.pitch);
    m.roll = angle(f.roll);
    m.flags = 0;
    for (int b = 0; b < 5; ++b)
        if (f.flags[b]) m.flags |= 1u << b;
    m.minimum_difficulty = int16_t(2 * std::clamp(f.difficulty, 0, 2));
}

void marker_z_typed(marker_fields& f, marker_lock lock, double ground)
{
    if (lock == LOCK_Z) f.elevation = f.z - ground;
}

void marker_elevation_typed(marker_fields& f, marker_lock lock, double ground)
{
    if (lock == LOCK_ELEVATION) f.z = ground + f.elevation;
}
