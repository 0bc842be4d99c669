// Sound tags (soun): the stored definition, its permutation records and sample
// headers, and the in-memory form the editor and the importers work on.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tags/byte_swapping.h"
#include "tags/tag_code.h"

struct tag_entry;

constexpr int MAXIMUM_PERMUTATIONS_PER_SOUND = 5;
constexpr int MAXIMUM_PERMUTATION_NAME_LENGTH = 25;
constexpr uint32_t SOUND_DEFINITION_SIZE = 64;
constexpr uint32_t SOUND_PERMUTATION_SIZE = 32;
constexpr uint32_t SAMPLED_SOUND_HEADER_SIZE = 32;
constexpr uint32_t SOUND_SAMPLE_RATE_22KHZ = 22050u << 16;

enum sound_loudness : int16_t {
    _sound_quiet = 0,
    _sound_normal = 1,
    _sound_loud = 2,
    _sound_narration = 3,
};

enum : uint32_t {
    _sound_compressed = 0x1, // sampled_sound_header flags: the data are IMA ADPCM packets
};

struct sound_definition {
    uint32_t flags;
    int16_t loudness;
    uint16_t play_fraction;      // fraction16
    int16_t frequency_modifier;  // fixed8
    int16_t pitch_lower_bound;   // fixed8
    int16_t pitch_delta;         // fixed8
    int16_t volume_lower_bound;  // fixed8
    int16_t volume_delta;        // fixed8
    int16_t subtitle_index;
    uint32_t sound_offset;       // where the sample headers begin
    uint32_t sound_size;         // headers and sample data
    tag_code subtitle_stringlist;
    uint8_t unknown_32[4];
    int32_t number_of_permutations;
    uint32_t permutations_offset;
    uint32_t permutations_size;
    uint32_t permutations_slot;  // stored as 0
    uint8_t unknown_52[8];
    uint32_t sample_headers_slot; // stored as 0
};
static_assert(sizeof(sound_definition) == SOUND_DEFINITION_SIZE);

struct sound_permutation_data {
    int16_t unknown_0;
    uint16_t skip_fraction; // fraction16
    uint8_t unknown_4[2];
    char permutation_name[26];
};
static_assert(sizeof(sound_permutation_data) == SOUND_PERMUTATION_SIZE);

struct sampled_sound_header {
    uint32_t flags;
    uint16_t sample_size_in_bits;
    uint16_t sample_size_shift; // bytes per uncompressed sample = 1 << shift
    uint16_t number_of_channels;
    uint8_t unknown_10[2];
    uint32_t sample_rate;  // 16.16 Hz
    uint32_t sample_count; // packets of all channels when compressed, else samples
    uint32_t unknown_20;
    uint32_t unknown_24;
    uint32_t samples;      // position of the data in the tag; not used on reading
};
static_assert(sizeof(sampled_sound_header) == SAMPLED_SOUND_HEADER_SIZE);

extern const bs_code sound_definition_bs[];
extern const bs_code sound_permutation_data_bs[];
extern const bs_code sampled_sound_header_bs[];

// A sound tag as the editor holds it: the definition and five permutation slots,
// each header owning its sample data block.
struct TSoundDefinition {
    sound_definition fDefinition{};
    sound_permutation_data fPermutations[MAXIMUM_PERMUTATIONS_PER_SOUND]{};
    sampled_sound_header fHeaders[MAXIMUM_PERMUTATIONS_PER_SOUND]{};
    std::vector<uint8_t> fSamples[MAXIMUM_PERMUTATIONS_PER_SOUND];

    int32_t PermutationCount() const { return fDefinition.number_of_permutations; }
};

// The definition of a new sound: no permutations, pitch, volume and frequency 1.0.
sound_definition default_sound_definition();

// Bytes of sample data the header describes; false when it cannot be represented.
bool sound_sample_data_size(const sampled_sound_header& header, uint64_t* size);

// Reads the tag into sound; false (sound untouched) when the data cannot be had, the
// permutation count is outside 0..5, an offset or size breaks the layout, or a sample
// block reaches past the data.
bool read_sound_definition(TSoundDefinition& sound, tag_entry* tag);

// Replaces the tag's data with the sound, leaving the sound as reading the tag back would.
// Offsets that disagree with the permutation count, or a block whose size is not the one its
// header gives, are programming errors. False when the data cannot be set.
bool write_sound_definition(TSoundDefinition& sound, tag_entry* tag);

// Permutation slots. The caller fills slot PermutationCount() and then appends it.
bool sound_can_add_permutation(const TSoundDefinition& sound);
void sound_append_permutation(TSoundDefinition& sound);
// Releases the slot's data block (its size leaves sound_size).
void sound_release_permutation_data(TSoundDefinition& sound, int32_t index);
// Removes permutation index; later ones move down one place.
void sound_remove_permutation(TSoundDefinition& sound, int32_t index);

// "16 bits, 22050 hz", "mono" or "stereo", and the data size as "%.1f k".
struct sound_permutation_information {
    std::string format;
    std::string channels;
    std::string size;
};
sound_permutation_information sound_permutation_info(const TSoundDefinition& sound, int32_t index);
