#include "shell/forms/viewer_play_controls.h"

#include <algorithm>
#include <string>

#include "framework/qt/XGForm.h"
#include "framework/qt/XGMessages.h"
#include "framework/qt/XGSlider.h"
#include "model/TskmdViewer.h"
#include "model/skelanim.h"

TViewerPlayControls::TViewerPlayControls(XGForm& form, int32_t viewer, int32_t play, int32_t slider,
                                         int32_t frameText)
    : fForm(form), fViewer(viewer), fPlay(play), fSlider(slider), fFrameText(frameText)
{
}

TskmdViewer* TViewerPlayControls::Viewer() const
{
    return dynamic_cast<TskmdViewer*>(fForm.FindView(fViewer));
}

void TViewerPlayControls::SetAnimation(const TSkeletalAnimation* animation)
{
    TskmdViewer* viewer = Viewer();
    if (!viewer) return;
    viewer->SetFrameListener([this](int frame) {
        Show(frame);
        if (fListener) fListener(frame);
    });
    viewer->SetAnimation(animation);
    fFrames = animation ? int(animation->frames.size()) : 0;
    if (auto* slider = dynamic_cast<XGSlider*>(fForm.FindView(fSlider))) slider->SetRange(0, std::max(fFrames - 1, 0));
    fForm.EnableControl(fPlay, fFrames > 1);
    fForm.EnableControl(fSlider, fFrames > 1);
    Show(0);
}

void TViewerPlayControls::Show(int frame)
{
    TskmdViewer* viewer = Viewer();
    fForm.SetControlText(fPlay, viewer && viewer->IsPlaying() ? "Pause" : "Play");
    fForm.SetControlValue(fSlider, frame);
    // frames are numbered from 0, as the event lines number them
    fForm.SetControlText(fFrameText, fFrames ? "Frame " + std::to_string(frame) + " (0 to " + std::to_string(fFrames - 1) + ")"
                                             : std::string());
}

bool TViewerPlayControls::Handle(XGCode message, int32_t control)
{
    TskmdViewer* viewer = Viewer();
    if (!viewer) return false;
    if (control == fPlay && message == kXGClickMessage) {
        if (viewer->IsPlaying()) viewer->Pause();
        else viewer->Play();
    } else if (control == fSlider && message == kXGScrollMessage) {
        viewer->SetFrame(fForm.GetControlValue(fSlider));
    } else {
        return false;
    }
    Show(viewer->CurrentFrame());
    if (fListener) fListener(viewer->CurrentFrame());
    return true;
}
