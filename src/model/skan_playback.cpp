#include "model/skan_playback.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>

std::string skan_fit_problem(const TSkeletalAnimationSet& set, const TSkeletalModel& model)
{
    if (set.bones.size() == model.bones.size()) return "";
    return "The animation has " + std::to_string(set.bones.size()) + " bones and the model " +
           std::to_string(model.bones.size()) + "; it cannot play on this model.";
}

std::vector<skan_bone_base> skan_bone_bases_for(const TSkeletalModel& model)
{
    std::vector<skan_bone_base> bases(model.bones.size());
    for (size_t b = 0; b < bases.size(); ++b)
        std::memcpy(bases[b].name, model.bones[b].name, sizeof bases[b].name - 1);
    return bases;
}

std::vector<skmd_transform> skan_frame_transforms(const TSkeletalModel& model, const TSkeletalAnimation& animation,
                                                  int frame)
{
    if (frame < 0 || size_t(frame) >= animation.frames.size())
        model_read_error("the animation has no frame " + std::to_string(frame) + ".");
    const std::vector<skan_bone_pose>& poses = animation.frames[size_t(frame)].poses;
    if (poses.size() < model.bones.size())
        model_read_error("frame " + std::to_string(frame) + " of the animation has fewer poses than the model has bones.");
    double unit = std::ldexp(1.0, -animation.record.position_shift);
    std::vector<skmd_transform> local(model.bones.size());
    for (size_t b = 0; b < local.size(); ++b) {
        float q[4];
        for (int k = 0; k < 4; ++k) q[k] = float(poses[b].rotation[k] / 32767.0);
        skmd_quaternion_to_matrix(q, local[b].rotation);
        for (int k = 0; k < 3; ++k) local[b].translation[k] = float(poses[b].position[k] * unit);
    }
    return skmd_world_transforms(model, local);
}

double skan_frames_per_second(const TSkeletalAnimation& animation)
{
    double rate = animation.record.frame_rate / 256.0;
    return rate > 0 ? rate : SKAN_DEFAULT_FRAME_RATE;
}

TAnimationPlayback::TAnimationPlayback(Clock clock) : fClock(std::move(clock))
{
    if (!fClock) {
        fClock = [] {
            using namespace std::chrono;
            return duration<double>(steady_clock::now().time_since_epoch()).count();
        };
    }
}

void TAnimationPlayback::SetAnimation(int frame_count, double frames_per_second)
{
    fCount = std::max(frame_count, 0);
    fRate = frames_per_second > 0 ? frames_per_second : SKAN_DEFAULT_FRAME_RATE;
    fPlaying = false;
    fFrom = 0;
}

void TAnimationPlayback::Play()
{
    if (fPlaying || fCount == 0) return;
    fStarted = Now();
    fPlaying = true;
}

void TAnimationPlayback::Pause()
{
    if (!fPlaying) return;
    fFrom = Frame();
    fPlaying = false;
}

void TAnimationPlayback::SetFrame(int frame)
{
    fFrom = fCount ? std::clamp(frame, 0, fCount - 1) : 0;
    fStarted = Now();
}

int TAnimationPlayback::Frame() const
{
    if (fCount == 0) return 0;
    if (!fPlaying) return fFrom;
    double elapsed = std::max(0.0, Now() - fStarted);
    double advanced = std::floor(elapsed * fRate);
    return int(std::fmod(fFrom + advanced, double(fCount)));
}
