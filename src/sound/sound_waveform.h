// The outline of a sound for drawing: for each channel and each column of a picture,
// the lowest and highest sample of the frames the column covers.
#pragma once

#include <cstdint>
#include <vector>

#include "sound/sound_playback.h"

struct sound_waveform_column {
    int16_t low = 0;
    int16_t high = 0;
};

// One row of columns per channel. Column c covers frames c × F / columns up to
// (c + 1) × F / columns of the F frames, and at least one frame while there are any.
std::vector<std::vector<sound_waveform_column>> sound_waveform(const sound_pcm& pcm, uint32_t columns);
