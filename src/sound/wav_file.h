// WAV files: a RIFF form of type "WAVE" whose "fmt " chunk describes the samples
// held by its "data" chunk.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

constexpr uint16_t WAVE_FORMAT_PCM = 1;
constexpr uint16_t WAVE_FORMAT_EXTENSIBLE = 0xFFFE;

struct wav_sound {
    uint16_t format_tag = 0;
    uint16_t number_of_channels = 0;
    uint32_t samples_per_second = 0;
    uint16_t bits_per_sample = 0;
    bool pcm = false;             // format tag 1, or extensible with the PCM sub-format
    std::vector<uint8_t> format;  // the whole "fmt " chunk
    std::vector<uint8_t> data;    // the "data" chunk, samples little-endian
};

// Reads count bytes at offset; false when they are not all there.
using wav_reader = std::function<bool(uint64_t offset, void* buffer, size_t count)>;

// Walks the RIFF chunks of a source of the given length and reads the first "fmt " and
// "data" chunks, wherever they lie. Every size is checked against the source; false
// with the reason in why for anything that is not a readable WAV file.
bool read_wav(const wav_reader& read, uint64_t length, wav_sound& out, std::string* why);
bool read_wav_memory(const uint8_t* bytes, size_t size, wav_sound& out, std::string* why);
bool read_wav_file(const std::string& path, wav_sound& out, std::string* why);

// A PCM WAV file image of the given little-endian sample bytes.
std::vector<uint8_t> make_wav_image(uint16_t channels, uint32_t samples_per_second, uint16_t bits,
                                    const std::vector<uint8_t>& sample_bytes);
