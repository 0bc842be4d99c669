// The values of one `soun` line of a sound creation script.
#pragma once

#include <cstdint>

#include "tags/tag_code.h"

struct sound_creation_record {
    char name[32];          // at most 31 characters
    tag_code tag;
    int32_t loudness;       // 1..4
    tag_code subtitle_stringlist;
    int32_t subtitle_index; // 1-based
    float play_fraction;    // percent, 0..100
    float frequency_modifier;
    float pitch_min;
    float pitch_max;
    float volume_min;       // 0..1
    float volume_max;
    uint32_t flags;
};
