#include "sound/sound_playback.h"

#include <cstdio>
#include <cstring>

#include "framework/ProgramAssert.h"
#include "sound/adpcm.h"
#include "tags/tag_code.h"

namespace {

void DecodePacket(const uint8_t* packet, int16_t* destination)
{
    ima_decode_packet(read_be16(packet), packet + IMA_PACKET_HEAD_SIZE, destination,
                      NUMBER_OF_IMA_SAMPLES_PER_PACKET);
}

bool DecodePackets(const sampled_sound_header& h, const std::vector<uint8_t>& block, std::vector<int16_t>& pcm)
{
    size_t packets = h.sample_count;
    if (block.size() < packets * IMA_PACKET_SIZE) return false;
    pcm.assign(packets * NUMBER_OF_IMA_SAMPLES_PER_PACKET, 0);
    const uint8_t* in = block.data();
    if (h.number_of_channels == 1) {
        for (size_t j = 0; j < packets; ++j, in += IMA_PACKET_SIZE)
            DecodePacket(in, pcm.data() + j * NUMBER_OF_IMA_SAMPLES_PER_PACKET);
        return true;
    }
    int16_t left[NUMBER_OF_IMA_SAMPLES_PER_PACKET], right[NUMBER_OF_IMA_SAMPLES_PER_PACKET];
    int16_t* out = pcm.data();
    for (size_t pair = 0; pair < packets / 2; ++pair) {
        DecodePacket(in, left);
        DecodePacket(in + IMA_PACKET_SIZE, right);
        in += 2 * IMA_PACKET_SIZE;
        for (int i = 0; i < NUMBER_OF_IMA_SAMPLES_PER_PACKET; ++i) {
            *out++ = left[i];
            *out++ = right[i];
        }
    }
    return true;
}

bool CopyUncompressed(const sampled_sound_header& h, const std::vector<uint8_t>& block, std::vector<int16_t>& pcm)
{
    size_t count = h.sample_count - h.sample_count % h.number_of_channels; // whole frames
    if (h.sample_size_in_bits == 16 && h.sample_size_shift == 1) {
        if (block.size() < count * 2) return false;
        pcm.resize(count);
        for (size_t i = 0; i < count; ++i) pcm[i] = int16_t(block[2 * i] | (block[2 * i + 1] << 8));
        return true;
    }
    if (h.sample_size_in_bits == 8 && h.sample_size_shift == 0) {
        if (block.size() < count) return false;
        pcm.resize(count);
        for (size_t i = 0; i < count; ++i) pcm[i] = int16_t((int(block[i]) - 128) * 256);
        return true;
    }
    return false;
}

} // namespace

bool decode_permutation_samples(const TSoundDefinition& sound, int32_t index, sound_pcm& out, std::string* why)
{
    PROGRAM_ASSERT(index >= 0 && index < sound.PermutationCount() && index < MAXIMUM_PERMUTATIONS_PER_SOUND,
                   "sound_playback");
    const sampled_sound_header& h = sound.fHeaders[index];
    auto refuse = [why](std::string reason) {
        if (why) *why = std::move(reason);
        return false;
    };
    if (h.number_of_channels != 1 && h.number_of_channels != 2)
        return refuse("it has " + std::to_string(h.number_of_channels) + " channels");
    sound_pcm pcm;
    pcm.channels = h.number_of_channels;
    pcm.samples_per_second = h.sample_rate >> 16;
    bool ok = (h.flags & _sound_compressed) ? DecodePackets(h, sound.fSamples[index], pcm.samples)
                                            : CopyUncompressed(h, sound.fSamples[index], pcm.samples);
    if (!ok) return refuse("its " + std::to_string(h.sample_size_in_bits) + "-bit sample data cannot be decoded");
    out = std::move(pcm);
    return true;
}

bool decode_permutation_for_playback(const TSoundDefinition& sound, int32_t index, sound_pcm& out, std::string* why)
{
    PROGRAM_ASSERT(index >= 0 && index < sound.PermutationCount() && index < MAXIMUM_PERMUTATIONS_PER_SOUND,
                   "sound_playback");
    const uint32_t rate = sound.fHeaders[index].sample_rate;
    if (rate != SOUND_SAMPLE_RATE_22KHZ) {
        char text[32];
        std::snprintf(text, sizeof text, "%.6g", rate / 65536.0);
        if (why) *why = "only 22050 Hz permutations are played; this one is " + std::string(text) + " Hz";
        return false;
    }
    return decode_permutation_samples(sound, index, out, why);
}
