// The audio device as a sound sink: Qt Multimedia's default output, playing 16-bit PCM.
#pragma once

#include <memory>
#include <string>

#include "sound/sound_player.h"

// The default audio output, or null with the reason when the machine has none or it
// cannot play 22050 Hz 16-bit sound.
std::unique_ptr<TSoundSink> make_audio_output_sink(std::string* why);
