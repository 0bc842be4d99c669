// The program's sound output: one audio output, created on first use and kept, and one
// playing buffer at a time. A new Play stops the old one; an editor that closes releases
// the buffer it started.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "sound/sound_playback.h"

// Where decoded sound goes: the audio device in the editor, a fake in tests.
class TSoundSink {
public:
    virtual ~TSoundSink() = default;
    // Takes the buffer and plays it once from its start; false with the reason when the
    // output cannot (the buffer is then dropped).
    virtual bool Play(sound_pcm&& pcm, std::string* why) = 0;
    // Stops and releases the buffer.
    virtual void Stop() = 0;
    virtual bool IsPlaying() const = 0;
    // Frames of the buffer played so far.
    virtual uint64_t PlayedFrames() const = 0;
};

// Makes the output; null with the reason when there is none (no audio device).
using TSoundSinkFactory = std::function<std::unique_ptr<TSoundSink>(std::string* why)>;

enum class sound_play_result {
    playing,
    not_playable, // the permutation cannot be played (rate, channels, data)
    no_output,    // there is no audio output, or it refused the buffer
};

class TSoundPlayer {
public:
    explicit TSoundPlayer(TSoundSinkFactory factory);
    ~TSoundPlayer();

    // Replaces the factory; the output made by the old one goes.
    void SetSinkFactory(TSoundSinkFactory factory);

    // Decodes the permutation and hands it to the output, for owner. A permutation that
    // cannot be played leaves what plays alone; otherwise what played before stops first.
    sound_play_result Play(const TSoundDefinition& sound, int32_t index, const void* owner, std::string* why);
    void Stop();
    // The owner goes away: the buffer it started is released.
    void Release(const void* owner);

    // Whether the owner's buffer is still playing.
    bool IsPlaying(const void* owner) const;
    // The playing buffer's position and length in frames (0 when nothing plays).
    uint64_t PlayedFrames() const;
    uint64_t FrameCount() const { return fOwner ? fFrames : 0; }

private:
    TSoundSinkFactory fFactory;
    std::unique_ptr<TSoundSink> fSink;
    const void* fOwner = nullptr;
    uint64_t fFrames = 0;
};
