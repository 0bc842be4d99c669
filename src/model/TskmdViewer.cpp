#include "model/TskmdViewer.h"

#include <QTimer>
#include <QWidget>

#include "framework/XGError.h"
#include "framework/qt/XGFactories.h"
#include "framework/qt/XGGuard.h"
#include "framework/qt/XGMessages.h"
#include "render/offscreen_context.h"

namespace {

constexpr int kPlayingInterval = 15; // milliseconds between looks at the clock
constexpr float kBackground[4] = {0.30f, 0.34f, 0.40f, 1.0f};

} // namespace

XG_BEGIN_DISPATCH(TskmdViewer, XGOpenGLView)
    XG_ON(kXGKeyMessage, &TskmdViewer::DoKey)
XG_END_DISPATCH()

void TskmdViewer::Register()
{
    XGRegisterView(kClassCode, XGMakeView<TskmdViewer>);
}

TskmdViewer::TskmdViewer(XGView* parent, const XGViewRecord& record) : XGOpenGLView(parent, record)
{
    std::copy(kBackground, kBackground + 4, fOptions.background);
    GetWidget()->setFocusPolicy(Qt::StrongFocus);
    fTimer = new QTimer(Bridge());
    fTimer->setInterval(kPlayingInterval);
    QObject::connect(fTimer, &QTimer::timeout, Bridge(), [this] { XGGuard([this] { Tick(); }); });
}

TskmdViewer::~TskmdViewer() = default;

void TskmdViewer::SetModel(const TSkeletalModel* model, int level)
{
    bool other = model != fModel;
    fModel = model;
    fLevel = level;
    if (other) {
        fAnimation = nullptr;
        fPlayback.SetAnimation(0, 0);
        fTimer->stop();
        fSelectedBone = -1;
        fFramed = false;
    }
    Build();
}

void TskmdViewer::ModelChanged()
{
    Build();
}

void TskmdViewer::SetLevel(int level)
{
    fLevel = level;
    Build();
}

void TskmdViewer::SetSelectedBone(int bone)
{
    fSelectedBone = bone;
    Build();
}

void TskmdViewer::SetSkin(const texture_image* skin)
{
    fSkin = skin ? *skin : texture_image();
    fSkinChanged = true;
    Redraw();
}

void TskmdViewer::SetOptions(const model_view_options& options)
{
    fOptions = options;
    Redraw();
}

void TskmdViewer::SetAnimation(const TSkeletalAnimation* animation)
{
    fAnimation = animation;
    fPlayback.SetAnimation(animation ? int(animation->frames.size()) : 0,
                           animation ? skan_frames_per_second(*animation) : 0);
    fTimer->stop();
    Build();
}

void TskmdViewer::Play()
{
    fPlayback.Play();
    if (fPlayback.IsPlaying()) fTimer->start();
}

void TskmdViewer::Pause()
{
    fPlayback.Pause();
    fTimer->stop();
}

void TskmdViewer::SetFrame(int frame)
{
    fPlayback.SetFrame(frame);
    Build();
}

void TskmdViewer::SetClock(TAnimationPlayback::Clock clock)
{
    fPlayback = TAnimationPlayback(std::move(clock));
    fPlayback.SetAnimation(fAnimation ? int(fAnimation->frames.size()) : 0,
                           fAnimation ? skan_frames_per_second(*fAnimation) : 0);
    Build();
}

void TskmdViewer::Tick()
{
    if (!fPlayback.IsPlaying() || fPlayback.Frame() == fShownFrame) return;
    Build();
    if (fFrameListener) fFrameListener(fShownFrame);
}

int TskmdViewer::ShownLevel() const
{
    if (!fModel || fModel->levels.empty()) return -1;
    int last = int(fModel->levels.size()) - 1;
    return fLevel < 0 || fLevel > last ? last : fLevel;
}

void TskmdViewer::Build()
{
    fPoseProblem.clear();
    fShownFrame = -1;
    if (!fModel) {
        fScene.Clear();
        Redraw();
        return;
    }
    std::vector<skmd_transform> pose;
    bool posed = false;
    if (fAnimation && !fAnimation->frames.empty()) {
        fShownFrame = fPlayback.Frame();
        try {
            pose = skan_frame_transforms(*fModel, *fAnimation, fShownFrame);
            posed = true;
        } catch (const XGError& e) {
            fPoseProblem = e.GetMessage();
        }
    }
    fScene.Build(*fModel, ShownLevel(), posed ? &pose : nullptr, fSelectedBone);
    if (!fFramed) FrameModel();
    Redraw();
}

float TskmdViewer::Aspect() const
{
    int width = 0, height = 0;
    GetViewport(width, height);
    if (width <= 0 || height <= 0) {
        width = GetFrame().width;
        height = GetFrame().height;
    }
    return height > 0 && width > 0 ? float(width) / float(height) : 1.0f;
}

void TskmdViewer::FrameModel()
{
    if (!fModel) return;
    // the rest pose, so that playing does not move the camera
    TskmdScene rest;
    rest.Build(*fModel, ShownLevel(), nullptr, -1);
    const TskmdScene& framed = rest.IsEmpty() ? fScene : rest;
    if (framed.fBounds.empty) return;
    float yaw = fFramed ? fCamera.Yaw() : 0.0f, pitch = fFramed ? fCamera.Pitch() : 20.0f;
    fCamera.Frame(framed.fBounds, Aspect(), yaw, pitch);
    fFramed = true;
    Redraw();
}

std::string TskmdViewer::GetProblem() const
{
    if (!fDrawProblem.empty()) return fDrawProblem;
    if (!fPoseProblem.empty()) return fPoseProblem;
    return fScene.Problem();
}

void TskmdViewer::DrawGL(XGOpenGLDraw& draw)
{
    if (!fGL.loaded()) {
        auto proc = [&draw](const char* name) { return draw.GetProcAddress(name); };
        if (!load_gl_functions(fGL, proc, &fDrawProblem)) return;
        fRenderer = std::make_unique<model_renderer>(fGL);
        fSkinChanged = true;
    }
    if (fSkinChanged) {
        fRenderer->set_skin(&fSkin);
        fSkinChanged = false;
    }
    fRenderer->draw_scene(fScene, fCamera, draw.width, draw.height, fOptions);
}

texture_image TskmdViewer::Picture(int width, int height)
{
    std::string why;
    auto context = offscreen_context::create(width, height, &why);
    if (!context) throw XGError(kXGError, "Model Picture", why + ".");
    model_renderer renderer(context->gl());
    renderer.set_skin(&fSkin);
    renderer.draw_scene(fScene, fCamera, width, height, fOptions);
    texture_image picture = context->read_pixels(true);
    renderer.release();
    context.reset();
    // the widget's context goes on being current
    if (XGOpenGLView* current = GetCurrent()) {
        MakeCurrent(nullptr);
        MakeCurrent(current);
    }
    return picture;
}

void TskmdViewer::MouseDown(int x, int y, int button, int)
{
    Focus();
    if (fDragButton) return;
    fDragButton = button;
    fLastX = x;
    fLastY = y;
}

void TskmdViewer::MouseUp(int, int, int button, int)
{
    if (button == fDragButton) fDragButton = 0;
}

void TskmdViewer::MouseMoved(int x, int y, int buttons, int)
{
    if (!fDragButton || !(buttons & fDragButton)) {
        fDragButton = 0;
        return;
    }
    float dx = float(x - fLastX), dy = float(y - fLastY);
    fLastX = x;
    fLastY = y;
    if (fDragButton == Qt::MiddleButton) {
        int width = 0, height = 0;
        GetViewport(width, height);
        fCamera.Pan(dx, dy, height > 0 ? height : GetFrame().height);
    } else {
        fCamera.Orbit(dx, dy);
    }
    Redraw();
}

void TskmdViewer::MouseWheel(int, int, int delta, int)
{
    fCamera.Zoom(delta);
    Redraw();
}

int32_t TskmdViewer::DoKey(XGCode, XGParam key, XGParam)
{
    if (key != kXGKeyHome) return kXGNotHandled;
    FrameModel();
    return 0;
}
