// WAV files into sound tags: one permutation at a time, a whole new sound from a
// creation record, and the replacement of one permutation of a stored sound.
#pragma once

#include <cstdint>
#include <string>

#include "sound/sound_creation_record.h"
#include "sound/sound_definition.h"

struct tag_entry;
struct tag_file;

enum sound_import_result : int {
    _sound_import_done = 0,
    _sound_import_unreadable = 1, // no WAV, a damaged one, not PCM, not 1 or 2 channels; or the tag failed
    _sound_import_not_16_bit = 2,
    _sound_import_not_22khz = 3,
};

constexpr uint32_t SOUND_IMPORT_SAMPLE_RATE = 22050;

// The permutation name for a WAV path: the file name without an extension of up to
// three characters, cut to 25 characters.
std::string sound_permutation_name_for_path(const std::string& path);
// A stored permutation name, read no further than its field.
std::string sound_permutation_name(const sound_permutation_data& permutation);

// Compresses the WAV file into permutation index of the sound (-1: the next free one).
// On success the record, header and data block of the slot are filled and sound_size
// grows; the caller appends the slot when it was the next free one. A refused WAV
// changes nothing. why, when given, receives the reason for a nonzero result.
int import_wav_permutation(TSoundDefinition& sound, const std::string& wav_path, int32_t index,
                           std::string* why = nullptr);

// Replaces (index below the count) or appends (index equal to it) one permutation of a
// sound tag and stores the tag. An index of 5 or more changes nothing and returns 0;
// an unreadable tag or an index past the count returns 1; a WAV failure returns its code.
int replace_sound_permutation(tag_entry* sound_tag, const std::string& wav_path, double skip_percentage,
                              int32_t index, std::string* why = nullptr);

// Adds a sound tag made from the record to the file; false (nothing added) on failure.
bool create_sound_tag(tag_file* file, const sound_creation_record& record, std::string* why = nullptr);
