#include "sound/sound_waveform.h"

#include <algorithm>

std::vector<std::vector<sound_waveform_column>> sound_waveform(const sound_pcm& pcm, uint32_t columns)
{
    const size_t channels = pcm.channels;
    std::vector<std::vector<sound_waveform_column>> out(channels, std::vector<sound_waveform_column>(columns));
    const uint64_t frames = channels ? pcm.samples.size() / channels : 0;
    if (frames == 0) return out;
    for (uint32_t c = 0; c < columns; ++c) {
        uint64_t first = frames * c / columns;
        uint64_t end = std::max(frames * (c + 1) / columns, first + 1);
        end = std::min(end, frames);
        for (size_t k = 0; k < channels; ++k) {
            int16_t low = pcm.samples[first * channels + k], high = low;
            for (uint64_t f = first + 1; f < end; ++f) {
                const int16_t s = pcm.samples[f * channels + k];
                low = std::min(low, s);
                high = std::max(high, s);
            }
            out[k][c] = {low, high};
        }
    }
    return out;
}
