// Decoding a sound permutation into 16-bit PCM for the audio output.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "sound/sound_definition.h"

constexpr uint32_t SOUND_PLAYBACK_SAMPLE_RATE = 22050;

struct sound_pcm {
    uint16_t channels = 0;
    uint32_t samples_per_second = 0;
    uint16_t bits_per_sample = 16;
    std::vector<int16_t> samples; // interleaved frame by frame
};

// The permutation's samples as 16-bit PCM at its own rate (for pictures of it): as below,
// whatever the rate.
bool decode_permutation_samples(const TSoundDefinition& sound, int32_t index, sound_pcm& out,
                                std::string* why = nullptr);
// The permutation as 16-bit PCM whatever the header's sample width: each stored packet
// gives 64 samples (stereo packets come in left, right pairs and are interleaved), so
// the buffer holds sample_count × 64 samples; uncompressed 16-bit and 8-bit data are
// converted as they stand. False (nothing to play, the reason in why) when the rate is
// not 22050 Hz or the channels or sample size are not ones the output can take. The
// index must name a permutation.
bool decode_permutation_for_playback(const TSoundDefinition& sound, int32_t index, sound_pcm& out,
                                     std::string* why = nullptr);
