#include "sound/sound_player.h"

#include <algorithm>
#include <utility>

TSoundPlayer::TSoundPlayer(TSoundSinkFactory factory) : fFactory(std::move(factory)) {}

TSoundPlayer::~TSoundPlayer()
{
    Stop();
}

void TSoundPlayer::SetSinkFactory(TSoundSinkFactory factory)
{
    Stop();
    fSink.reset();
    fFactory = std::move(factory);
}

sound_play_result TSoundPlayer::Play(const TSoundDefinition& sound, int32_t index, const void* owner,
                                     std::string* why)
{
    sound_pcm pcm;
    if (!decode_permutation_for_playback(sound, index, pcm, why)) return sound_play_result::not_playable;
    Stop();
    if (!fSink && fFactory) fSink = fFactory(why);
    if (!fSink) return sound_play_result::no_output;
    const uint64_t frames = pcm.channels ? pcm.samples.size() / pcm.channels : 0;
    if (!fSink->Play(std::move(pcm), why)) return sound_play_result::no_output;
    fOwner = owner;
    fFrames = frames;
    return sound_play_result::playing;
}

void TSoundPlayer::Stop()
{
    if (fSink) fSink->Stop();
    fOwner = nullptr;
    fFrames = 0;
}

void TSoundPlayer::Release(const void* owner)
{
    if (owner && owner == fOwner) Stop();
}

bool TSoundPlayer::IsPlaying(const void* owner) const
{
    return fOwner && fOwner == owner && fSink && fSink->IsPlaying();
}

uint64_t TSoundPlayer::PlayedFrames() const
{
    return fOwner && fSink ? std::min(fSink->PlayedFrames(), fFrames) : 0;
}
