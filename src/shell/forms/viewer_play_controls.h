// The play button, frame slider and frame text under a form's model viewer: they
// follow the viewer's animation as it plays, and drive it.
#pragma once

#include <cstdint>
#include <functional>

#include "framework/XGCode.h"

class TskmdViewer;
class XGForm;
struct TSkeletalAnimation;

class TViewerPlayControls {
public:
    TViewerPlayControls(XGForm& form, int32_t viewer, int32_t play, int32_t slider, int32_t frameText);

    TskmdViewer* Viewer() const;
    // Plays the animation on the viewer (null: the rest pose), paused at frame 0.
    void SetAnimation(const TSkeletalAnimation* animation);
    // Play or pause clicked, or the slider moved: true when the control was one of these.
    bool Handle(XGCode message, int32_t control);
    // Called with each frame the viewer shows while playing (besides the controls).
    void SetFrameListener(std::function<void(int)> listener) { fListener = std::move(listener); }

private:
    void Show(int frame);

    XGForm& fForm;
    int32_t fViewer, fPlay, fSlider, fFrameText;
    int fFrames = 0;
    std::function<void(int)> fListener;
};
