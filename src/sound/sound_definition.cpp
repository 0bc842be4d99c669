#include "sound/sound_definition.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <utility>

#include "framework/ProgramAssert.h"
#include "sound/adpcm.h"
#include "tags/tags.h"

const bs_code sound_definition_bs[] = {
    _begin_bs_array, 1,
    _4byte,                                                          // flags
    _2byte, _2byte, _2byte, _2byte, _2byte, _2byte, _2byte, _2byte,  // loudness .. subtitle_index
    _4byte, _4byte, _4byte,                                          // sound offset, size, subtitles
    4,
    _4byte, _4byte, _4byte, _4byte,                                  // permutation count, offset, size, slot
    8,
    _4byte,
    _end_bs_array,
};

const bs_code sound_permutation_data_bs[] = {
    _begin_bs_array, 1, _2byte, _2byte, 2, 26, _end_bs_array,
};

const bs_code sampled_sound_header_bs[] = {
    _begin_bs_array, 1,
    _4byte, _2byte, _2byte, _2byte, 2,
    _4byte, _4byte, _4byte, _4byte, _4byte,
    _end_bs_array,
};

namespace {

constexpr const char* kLabel = "soun";

bool OffsetsAgree(const sound_definition& d)
{
    int32_t n = d.number_of_permutations;
    return n >= 0 && n <= MAXIMUM_PERMUTATIONS_PER_SOUND && d.permutations_offset == SOUND_DEFINITION_SIZE &&
           d.permutations_size == SOUND_PERMUTATION_SIZE * uint32_t(n) &&
           d.sound_offset == SOUND_DEFINITION_SIZE + SOUND_PERMUTATION_SIZE * uint32_t(n);
}

uint64_t HeadersEnd(int32_t n)
{
    return SOUND_DEFINITION_SIZE + uint64_t(SOUND_PERMUTATION_SIZE + SAMPLED_SOUND_HEADER_SIZE) * uint64_t(n);
}

} // namespace

sound_definition default_sound_definition()
{
    sound_definition d{};
    d.frequency_modifier = 0x100;
    d.pitch_lower_bound = 0x100;
    d.volume_lower_bound = 0x100;
    d.sound_offset = SOUND_DEFINITION_SIZE;
    d.subtitle_stringlist = NONE_TAG;
    d.unknown_32[0] = 0xFF;
    d.unknown_32[1] = 0xFF;
    d.permutations_offset = SOUND_DEFINITION_SIZE;
    return d;
}

bool sound_sample_data_size(const sampled_sound_header& h, uint64_t* size)
{
    uint64_t count = h.sample_count;
    if (h.flags & _sound_compressed) {
        *size = count * IMA_PACKET_SIZE;
        return true;
    }
    if (count == 0) {
        *size = 0;
        return true;
    }
    if (h.sample_size_shift >= 32) return false;
    *size = count << h.sample_size_shift;
    return true;
}

bool read_sound_definition(TSoundDefinition& sound, tag_entry* tag)
{
    uint32_t size = 0;
    const uint8_t* data = tag_get_data(tag, &size);
    if (!data || size < SOUND_DEFINITION_SIZE) return false;

    auto read = std::make_unique<TSoundDefinition>();
    byte_swap_copy(kLabel, &read->fDefinition, data, SOUND_DEFINITION_SIZE, 1, sound_definition_bs);
    const sound_definition& d = read->fDefinition;
    if (!OffsetsAgree(d)) return false;
    int32_t n = d.number_of_permutations;
    uint64_t position = HeadersEnd(n);
    if (size < position) return false;

    if (n > 0) {
        byte_swap_copy(kLabel, read->fPermutations, data + d.permutations_offset, SOUND_PERMUTATION_SIZE, n,
                       sound_permutation_data_bs);
        byte_swap_copy(kLabel, read->fHeaders, data + d.sound_offset, SAMPLED_SOUND_HEADER_SIZE, n,
                       sampled_sound_header_bs);
    }
    uint64_t blocks[MAXIMUM_PERMUTATIONS_PER_SOUND] = {};
    uint64_t total = 0;
    for (int32_t k = 0; k < n; ++k) {
        if (!sound_sample_data_size(read->fHeaders[k], &blocks[k])) return false;
        total += blocks[k];
    }
    if (position + total != size) return false;
    if (d.sound_size != SAMPLED_SOUND_HEADER_SIZE * uint64_t(n) + total) return false;

    for (int32_t k = 0; k < n; ++k) {
        read->fSamples[k].assign(data + position, data + position + blocks[k]);
        position += blocks[k];
    }
    sound = std::move(*read);
    return true;
}

bool write_sound_definition(TSoundDefinition& sound, tag_entry* tag)
{
    sound_definition& d = sound.fDefinition;
    PROGRAM_ASSERT(OffsetsAgree(d), kLabel);
    int32_t n = d.number_of_permutations;
    uint64_t data_bytes = 0;
    for (int32_t k = 0; k < n; ++k) {
        uint64_t block = 0;
        PROGRAM_ASSERT(sound_sample_data_size(sound.fHeaders[k], &block) && block == sound.fSamples[k].size(),
                       kLabel);
        data_bytes += block;
    }
    uint64_t total = HeadersEnd(n) + data_bytes;
    if (total > 0xFFFFFFFFull) return false;

    tag_data_ptr buffer(new (std::nothrow) uint8_t[total]);
    if (!buffer) return false;
    uint8_t* out = buffer.get();

    // The sound is left as reading the stored bytes back would give it.
    d.sound_size = uint32_t(SAMPLED_SOUND_HEADER_SIZE * uint32_t(n) + data_bytes);
    d.permutations_slot = 0;
    d.sample_headers_slot = 0;
    std::memcpy(out, &d, SOUND_DEFINITION_SIZE);
    byte_swap_data(kLabel, out, SOUND_DEFINITION_SIZE, 1, sound_definition_bs);

    uint64_t position = HeadersEnd(n);
    for (int32_t k = 0; k < n; ++k) {
        uint8_t* record = out + d.permutations_offset + k * SOUND_PERMUTATION_SIZE;
        std::memcpy(record, &sound.fPermutations[k], SOUND_PERMUTATION_SIZE);
        byte_swap_data(kLabel, record, SOUND_PERMUTATION_SIZE, 1, sound_permutation_data_bs);

        sound.fHeaders[k].samples = uint32_t(position);
        uint8_t* stored_header = out + d.sound_offset + k * SAMPLED_SOUND_HEADER_SIZE;
        std::memcpy(stored_header, &sound.fHeaders[k], SAMPLED_SOUND_HEADER_SIZE);
        byte_swap_data(kLabel, stored_header, SAMPLED_SOUND_HEADER_SIZE, 1, sampled_sound_header_bs);

        if (!sound.fSamples[k].empty())
            std::memcpy(out + position, sound.fSamples[k].data(), sound.fSamples[k].size());
        position += sound.fSamples[k].size();
    }
    for (int32_t k = n; k < MAXIMUM_PERMUTATIONS_PER_SOUND; ++k) {
        sound.fPermutations[k] = {};
        sound.fHeaders[k] = {};
        std::vector<uint8_t>().swap(sound.fSamples[k]);
    }
    tag_set_data_owned(tag, std::move(buffer), uint32_t(total));
    return true;
}

bool sound_can_add_permutation(const TSoundDefinition& sound)
{
    return sound.PermutationCount() < MAXIMUM_PERMUTATIONS_PER_SOUND;
}

void sound_append_permutation(TSoundDefinition& sound)
{
    PROGRAM_ASSERT(sound.PermutationCount() >= 0 && sound_can_add_permutation(sound), kLabel);
    sound.fDefinition.number_of_permutations += 1;
    sound.fDefinition.permutations_size += SOUND_PERMUTATION_SIZE;
    sound.fDefinition.sound_offset += SOUND_PERMUTATION_SIZE;
}

void sound_release_permutation_data(TSoundDefinition& sound, int32_t index)
{
    PROGRAM_ASSERT(index >= 0 && index < MAXIMUM_PERMUTATIONS_PER_SOUND, kLabel);
    std::vector<uint8_t>& block = sound.fSamples[index];
    sound.fDefinition.sound_size -= uint32_t(block.size());
    std::vector<uint8_t>().swap(block);
}

void sound_remove_permutation(TSoundDefinition& sound, int32_t index)
{
    int32_t n = sound.PermutationCount();
    PROGRAM_ASSERT(index >= 0 && index < n && n <= MAXIMUM_PERMUTATIONS_PER_SOUND, kLabel);
    sound_release_permutation_data(sound, index);
    sound.fDefinition.sound_size -= SAMPLED_SOUND_HEADER_SIZE;
    for (int32_t k = index; k + 1 < n; ++k) {
        sound.fPermutations[k] = sound.fPermutations[k + 1];
        sound.fHeaders[k] = sound.fHeaders[k + 1];
        sound.fSamples[k] = std::move(sound.fSamples[k + 1]);
    }
    sound.fPermutations[n - 1] = {};
    sound.fHeaders[n - 1] = {};
    sound.fSamples[n - 1].clear();
    sound.fDefinition.number_of_permutations -= 1;
    sound.fDefinition.permutations_size -= SOUND_PERMUTATION_SIZE;
    sound.fDefinition.sound_offset -= SOUND_PERMUTATION_SIZE;
}

sound_permutation_information sound_permutation_info(const TSoundDefinition& sound, int32_t index)
{
    PROGRAM_ASSERT(index >= 0 && index < MAXIMUM_PERMUTATIONS_PER_SOUND, kLabel);
    const sampled_sound_header& h = sound.fHeaders[index];
    char text[64];
    sound_permutation_information info;
    std::snprintf(text, sizeof text, "%d bits, %d hz", int(h.sample_size_in_bits), int(h.sample_rate >> 16));
    info.format = text;
    info.channels = h.number_of_channels == 2 ? "stereo" : "mono";
    std::snprintf(text, sizeof text, "%.1f k", double(sound.fSamples[index].size()) / 1024.0);
    info.size = text;
    return info;
}
