// Camera animation tags (canm), made from the camera tracks of 3D Studio ASE exports.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "tags/byte_swapping.h"

struct tag_file;
struct tag_entry;
class TTagStore;

constexpr int CANM_HEADER_SIZE = 8;
constexpr int CANM_SAMPLE_SIZE = 24;

struct canm_sample {
    int32_t time;
    float values[4]; // x, y, z, 0 or the axis x, y, z and the angle
    int32_t zero;
};
static_assert(sizeof(canm_sample) == CANM_SAMPLE_SIZE);

struct canm_tracks {
    std::vector<canm_sample> positions;
    std::vector<canm_sample> rotations;
};

extern const bs_code canm_header_codes[];
extern const bs_code canm_sample_codes[];

// Reads the position and rotation tracks; raises File Read Error naming source.
canm_tracks read_ase_camera_tracks(std::string_view text, const std::string& source);
// The tag data of the tracks.
std::vector<uint8_t> canm_build_data(const canm_tracks& tracks);
// The tracks of tag data (for checks and tools); raises File Read Error when sizes disagree.
canm_tracks canm_read_data(const uint8_t* data, size_t size);

// Import Camera Motion: a new canm tag in f made from the ASE file at path, named
// after the file. Raises an error, creating nothing, when the file cannot be used.
tag_entry* import_camera_motion(TTagStore& store, tag_file* f, const std::string& path);
