#include "framework/qt/XGOpenGLView.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <QOpenGLWidget>
#include <QWheelEvent>

#include "framework/qt/XGAppCore.h"
#include "framework/qt/XGGuard.h"

namespace {

XGOpenGLView* gCurrentView = nullptr;
int gSwitches = 0;

int Modifiers(Qt::KeyboardModifiers m)
{
    return XGAppCore::ModifierFlags(int(m));
}

} // namespace

class XGGLWidget : public QOpenGLWidget {
public:
    explicit XGGLWidget(XGOpenGLView* view) : fView(view)
    {
        setMouseTracking(true);
        setFocusPolicy(Qt::StrongFocus);
    }
    XGOpenGLView* fView;

protected:
    void initializeGL() override
    {
        if (fView) XGGuard([this] { fView->Initialized(); });
    }
    void resizeGL(int w, int h) override
    {
        if (fView) XGGuard([&] { fView->Resized(w, h); });
    }
    void paintGL() override
    {
        if (fView) XGGuard([this] { fView->Paint(); });
    }
    void mousePressEvent(QMouseEvent* e) override
    {
        if (fView)
            XGGuard([&] {
                fView->MouseDown(int(e->position().x()), int(e->position().y()), int(e->button()),
                                 Modifiers(e->modifiers()));
            });
    }
    void mouseReleaseEvent(QMouseEvent* e) override
    {
        if (fView)
            XGGuard([&] {
                fView->MouseUp(int(e->position().x()), int(e->position().y()), int(e->button()),
                               Modifiers(e->modifiers()));
            });
    }
    void mouseMoveEvent(QMouseEvent* e) override
    {
        if (fView)
            XGGuard([&] {
                fView->MouseMoved(int(e->position().x()), int(e->position().y()), int(e->buttons()),
                                  Modifiers(e->modifiers()));
            });
    }
    void mouseDoubleClickEvent(QMouseEvent* e) override
    {
        if (fView)
            XGGuard([&] {
                fView->MouseDoubleClick(int(e->position().x()), int(e->position().y()), int(e->button()),
                                        Modifiers(e->modifiers()));
            });
    }
    void keyPressEvent(QKeyEvent* e) override
    {
        bool used = false;
        if (fView)
            XGGuard([&] { used = fView->KeyDown(e->key(), e->text().toStdString(), Modifiers(e->modifiers())); });
        if (!used) QOpenGLWidget::keyPressEvent(e);
    }
    void wheelEvent(QWheelEvent* e) override
    {
        if (fView)
            XGGuard([&] {
                fView->MouseWheel(int(e->position().x()), int(e->position().y()), e->angleDelta().y(),
                                  Modifiers(e->modifiers()));
            });
    }
};

void* XGOpenGLDraw::GetProcAddress(const char* name) const
{
    return context ? reinterpret_cast<void*>(context->getProcAddress(name)) : nullptr;
}

bool XGOpenGLView::PlatformHasOpenGL()
{
    static const bool available = [] {
        QOpenGLContext probe;
        return probe.create();
    }();
    return available;
}

XGOpenGLView::XGOpenGLView(XGView* parent, const XGViewRecord& record) : XGView(parent, record)
{
    // without OpenGL the view stays an empty area
    if (PlatformHasOpenGL()) {
        fGL = new XGGLWidget(this);
        // the format goes before the widget meets its window
        CreateContext(!record.Has("single"), !record.Has("nodepth"));
        SetWidget(fGL);
    } else {
        SetWidget(new QWidget);
    }
}

XGOpenGLView::~XGOpenGLView()
{
    if (gCurrentView == this) {
        if (HasContext()) fGL->doneCurrent();
        gCurrentView = nullptr;
    }
    if (fGL) fGL->fView = nullptr;
}

void XGOpenGLView::CreateContext(bool doubleBuffered, bool depth)
{
    if (fAsked || !fGL) return;
    fAsked = true;
    fDepth = depth;
    QSurfaceFormat format;
    format.setRenderableType(QSurfaceFormat::OpenGL);
    format.setProfile(QSurfaceFormat::CompatibilityProfile);
    format.setRedBufferSize(8);
    format.setGreenBufferSize(8);
    format.setBlueBufferSize(8);
    format.setAlphaBufferSize(0);
    format.setDepthBufferSize(depth ? 32 : 0);
    format.setStencilBufferSize(0);
    format.setSwapBehavior(doubleBuffered ? QSurfaceFormat::DoubleBuffer : QSurfaceFormat::SingleBuffer);
    fGL->setFormat(format);
}

bool XGOpenGLView::HasContext() const
{
    return fGL && fGL->context() && fGL->context()->isValid() && fGL->isValid();
}

void XGOpenGLView::MakeCurrent(XGOpenGLView* view)
{
    if (view == gCurrentView) return;
    if (view && view->HasContext()) {
        view->fGL->makeCurrent();
        if (QOpenGLContext::currentContext() != view->fGL->context()) return;
        gCurrentView = view;
        ++gSwitches;
        return;
    }
    if (gCurrentView && gCurrentView->HasContext()) gCurrentView->fGL->doneCurrent();
    gCurrentView = nullptr;
}

XGOpenGLView* XGOpenGLView::GetCurrent()
{
    return gCurrentView;
}

int XGOpenGLView::GetSwitchCount()
{
    return gSwitches;
}

void XGOpenGLView::Redraw()
{
    if (HasContext()) fGL->update();
}

void XGOpenGLView::SwapBuffers()
{
    if (HasContext()) fGL->update();
}

void XGOpenGLView::GetViewport(int& width, int& height) const
{
    width = fViewportWidth;
    height = fViewportHeight;
}

void XGOpenGLView::Initialized()
{
    XGOpenGLView* previous = gCurrentView;
    // Qt made the context current for us
    gCurrentView = this;
    ++gSwitches;
    if (fDepth) fGL->context()->functions()->glEnable(GL_DEPTH_TEST);
    SetupGL();
    MakeCurrent(previous);
}

void XGOpenGLView::Resized(int width, int height)
{
    XGOpenGLView* previous = gCurrentView;
    gCurrentView = this;
    fViewportWidth = width;
    fViewportHeight = height;
    qreal ratio = fGL->devicePixelRatioF();
    fGL->context()->functions()->glViewport(0, 0, int(width * ratio), int(height * ratio));
    MakeCurrent(previous);
}

void XGOpenGLView::Paint()
{
    XGOpenGLView* previous = gCurrentView;
    gCurrentView = this;
    XGOpenGLDraw draw;
    draw.view = this;
    draw.context = fGL->context();
    draw.width = fViewportWidth;
    draw.height = fViewportHeight;
    DrawGL(draw);
    MakeCurrent(previous);
}
