// 'skmv': the skeletal model viewer. Shows a model at a level of detail, lit and with
// its skin, at rest or at a frame of an animation, with its wireframe, bones, collision
// boxes and the selected bone's cylinder as chosen. Left or right drag orbits, the
// wheel zooms, middle drag pans, Home frames the model. The form that owns the model
// and the animation hands them in and says when they changed.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "framework/qt/XGOpenGLView.h"
#include "model/skan_playback.h"
#include "model/skmd_scene.h"
#include "render/gl_functions.h"
#include "render/model_renderer.h"

class QTimer;

class TskmdViewer : public XGOpenGLView {
    XG_DECLARE_DISPATCH()

public:
    static constexpr XGCode kClassCode = "skmv"_4cc;
    static void Register();

    TskmdViewer(XGView* parent, const XGViewRecord& record);
    ~TskmdViewer() override;

    // The model to show (null: nothing) and its level (-1: the full detail); the
    // viewer keeps the pointer until the next call. Frames the model when it is new.
    void SetModel(const TSkeletalModel* model, int level = -1);
    // The model or the level changed in place: builds again.
    void ModelChanged();
    void SetLevel(int level);
    int GetLevel() const { return fLevel; }
    void SetSelectedBone(int bone);
    void SetSkin(const texture_image* skin);
    void SetOptions(const model_view_options& options);
    const model_view_options& GetOptions() const { return fOptions; }

    // The animation to play on the model (null: the rest pose), kept until the next
    // call; the caller checks that it fits. Goes to frame 0, paused.
    void SetAnimation(const TSkeletalAnimation* animation);
    void Play();
    void Pause();
    bool IsPlaying() const { return fPlayback.IsPlaying(); }
    void SetFrame(int frame);
    int CurrentFrame() const { return fPlayback.Frame(); }
    // Called with the frame whenever playing reaches another one.
    void SetFrameListener(std::function<void(int)> listener) { fFrameListener = std::move(listener); }
    // The clock playing reads (tests give their own), and one turn of the playing timer.
    void SetClock(TAnimationPlayback::Clock clock);
    void Tick();

    // Fits the camera to the model at rest, keeping its direction.
    void FrameModel();
    const TskmdScene& GetScene() const { return fScene; }
    // What the viewer shows, drawn offscreen at width × height (RGBA, top row first);
    // raises an XGError when no offscreen context can be made.
    texture_image Picture(int width, int height);
    const skmd_orbit_camera& GetCamera() const { return fCamera; }
    // Why nothing is shown, or "".
    std::string GetProblem() const;

protected:
    void DrawGL(XGOpenGLDraw& draw) override;
    void MouseDown(int x, int y, int button, int modifiers) override;
    void MouseUp(int x, int y, int button, int modifiers) override;
    void MouseMoved(int x, int y, int buttons, int modifiers) override;
    void MouseWheel(int x, int y, int delta, int modifiers) override;

private:
    int32_t DoKey(XGCode code, XGParam key, XGParam modifiers);
    void Build();
    int ShownLevel() const;
    float Aspect() const;

    const TSkeletalModel* fModel = nullptr;
    const TSkeletalAnimation* fAnimation = nullptr;
    int fLevel = -1;
    int fSelectedBone = -1;
    int fShownFrame = -1;
    TskmdScene fScene;
    std::string fPoseProblem;
    skmd_orbit_camera fCamera;
    bool fFramed = false;
    model_view_options fOptions;
    TAnimationPlayback fPlayback;
    std::function<void(int)> fFrameListener;
    QTimer* fTimer = nullptr;

    texture_image fSkin;
    bool fSkinChanged = false;
    gl_functions fGL;
    std::unique_ptr<model_renderer> fRenderer;
    std::string fDrawProblem;

    int fDragButton = 0;
    int fLastX = 0;
    int fLastY = 0;
};
