// Playing a skeletal animation on a model: the bone placements of a frame, whether an
// animation fits a model, and the frame a playback has reached on its clock.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "model/skelanim.h"
#include "model/skmd_format.h"
#include "model/skmd_pose.h"

// Frames per second when the animation stores none: the game's ticks.
constexpr double SKAN_DEFAULT_FRAME_RATE = 30.0;

// Why the set's animations cannot play on the model, or "" when they can (the bones
// are matched by their order, so the counts must agree).
std::string skan_fit_problem(const TSkeletalAnimationSet& set, const TSkeletalModel& model);

// Bone bases named after the model's bones, in order: a set that starts from them
// takes its animations' poses bone for bone from the model's.
std::vector<skan_bone_base> skan_bone_bases_for(const TSkeletalModel& model);

// Every bone's placement in model space at a frame of the animation: each pose is
// relative to the bone's parent in the model. Raises File Read Error when the frame is
// outside the animation or its poses do not cover the model's bones.
std::vector<skmd_transform> skan_frame_transforms(const TSkeletalModel& model, const TSkeletalAnimation& animation,
                                                  int frame);

// Frames per second of the animation.
double skan_frames_per_second(const TSkeletalAnimation& animation);

// The frame of a looping playback, read from a clock in seconds.
class TAnimationPlayback {
public:
    using Clock = std::function<double()>;
    // A steady clock when none is given.
    explicit TAnimationPlayback(Clock clock = {});

    // A new animation: frame 0, paused.
    void SetAnimation(int frame_count, double frames_per_second);
    void Play();
    void Pause();
    bool IsPlaying() const { return fPlaying; }
    // Goes to the frame (limited to the animation); playing goes on from there.
    void SetFrame(int frame);
    int Frame() const;
    int FrameCount() const { return fCount; }

private:
    double Now() const { return fClock(); }

    Clock fClock;
    int fCount = 0;
    double fRate = SKAN_DEFAULT_FRAME_RATE;
    bool fPlaying = false;
    int fFrom = 0;      // the frame at fStarted
    double fStarted = 0; // when playing started
};
