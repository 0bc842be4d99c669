// The sound editor's picture of a permutation: each channel's outline in a lane of its
// own, and a line where playback stands.
#pragma once

#include <QImage>
#include <vector>

#include "sound/sound_waveform.h"

// position is the share of the sound played (0 to 1); below 0 draws no line.
QImage sound_waveform_picture(const std::vector<std::vector<sound_waveform_column>>& outline, int width, int height,
                              double position);
