// The audio output as the tests see it: what was handed over, and when it stopped.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "sound/sound_player.h"

struct FakeSoundOutput {
    std::vector<std::string> events; // "play N" (samples) and "stop"
    std::vector<sound_pcm> buffers;
    bool playing = false;
    uint64_t position = 0;
    int made = 0;

    // A factory of sinks that report here.
    TSoundSinkFactory Factory()
    {
        return [this](std::string*) {
            ++made;
            return std::make_unique<Sink>(*this);
        };
    }

    class Sink : public TSoundSink {
    public:
        explicit Sink(FakeSoundOutput& out) : fOut(out) {}
        bool Play(sound_pcm&& pcm, std::string*) override
        {
            fOut.events.push_back("play " + std::to_string(pcm.samples.size()));
            fOut.buffers.push_back(std::move(pcm));
            fOut.playing = true;
            return true;
        }
        void Stop() override
        {
            if (fOut.playing) fOut.events.push_back("stop");
            fOut.playing = false;
        }
        bool IsPlaying() const override { return fOut.playing; }
        uint64_t PlayedFrames() const override { return fOut.position; }

    private:
        FakeSoundOutput& fOut;
    };
};
