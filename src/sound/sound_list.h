// Sound lists (soli): up to 30 sound tags in one 256-byte record.
#pragma once

#include <cstdint>

#include "tags/byte_swapping.h"
#include "tags/tag_code.h"

struct tag_entry;

constexpr int MAXIMUM_SOUNDS_PER_LIST = 30;
constexpr uint32_t SOUND_LIST_SIZE = 256;

struct sound_list_entry {
    tag_code sound; // soun id, -1 for none
    uint8_t unknown_4[4];
};

struct sound_list {
    int16_t count; // sounds in use
    uint8_t unknown_2[14];
    sound_list_entry sounds[MAXIMUM_SOUNDS_PER_LIST];
};
static_assert(sizeof(sound_list) == SOUND_LIST_SIZE);

extern const bs_code sound_list_bs[];

// A new list: no sounds in use, every id -1.
sound_list default_sound_list();

// The sounds in use, 0..30 whatever the stored count says.
int sound_list_count(const sound_list& list);

// Reads the list with its count cut to 0..30; false when the data cannot be had.
bool read_sound_list(sound_list& list, tag_entry* tag);
bool write_sound_list(const sound_list& list, tag_entry* tag);
