// Helpers for the sound tests: signals, WAV files written by hand, and an outside
// encoder (ffmpeg) to check the codec against.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "support/test_support.h"
#include "tags/tags.h"

std::vector<int16_t> sine_wave(size_t count, double frequency, double amplitude, double rate = 22050);
bytes le_samples(const std::vector<int16_t>& samples);
std::vector<int16_t> from_le_samples(const bytes& data);
// Interleaves two channels of equal length.
std::vector<int16_t> interleave(const std::vector<int16_t>& left, const std::vector<int16_t>& right);

// A RIFF WAVE image assembled by hand: the chunks in the order given.
struct wav_chunk {
    std::string id;
    bytes contents;
};
bytes riff_wave(const std::vector<wav_chunk>& chunks);
bytes fmt_chunk(uint16_t format_tag, uint16_t channels, uint32_t rate, uint16_t bits);
bytes pcm_wav(uint16_t channels, uint32_t rate, uint16_t bits, const bytes& data);

// The packets of the first SSND chunk of an AIFF or AIFF-C file.
bytes aiff_sound_data(const bytes& file);

// ffmpeg on the command line; false when it is missing or fails.
bool have_ffmpeg();
bool ffmpeg_encode_ima4(const std::string& wav, const std::string& aiff);

// Signal-to-noise ratio of decoded against original, in decibels.
double snr_db(const std::vector<int16_t>& original, const std::vector<int16_t>& decoded);

// A store with one new tag file.
struct sound_store {
    TTagStore store;
    tag_file* file = store.new_tag_file();
    tag_entry* add(const char* type, const bytes& data, const char* name = "sound");
};
// The tag's data as stored (empty when it has none).
bytes tag_data(tag_entry* e);
