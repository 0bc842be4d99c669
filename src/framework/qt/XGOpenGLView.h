// 'opgl': a view with its own OpenGL context (a compatibility context, double
// buffered, 24 colour and 32 depth bits requested). The map view and the model
// viewer derive from it: SetupGL once the context exists, DrawGL to draw, and the
// mouse and key handlers. One context is current at a time; the framework remembers
// which view's it is.
#pragma once

#include <functional>
#include <string>

#include "framework/qt/XGView.h"

class QOpenGLContext;
class QOpenGLWidget;
class XGOpenGLView;

// What a subclass gets while it draws.
struct XGOpenGLDraw {
    XGOpenGLView* view = nullptr;
    QOpenGLContext* context = nullptr;
    int width = 0;
    int height = 0;
    // An entry point of the context (extensions included), or null.
    void* GetProcAddress(const char* name) const;
};

class XGOpenGLView : public XGView {
public:
    // Attributes: single (no double buffering), nodepth (no depth buffer).
    XGOpenGLView(XGView* parent, const XGViewRecord& record);
    ~XGOpenGLView() override;

    // Asks for the context; it is made when the view is first shown in a window.
    // Does nothing once asked.
    void CreateContext(bool doubleBuffered, bool depth);
    bool HasContext() const;
    // Whether the platform can make OpenGL contexts at all.
    static bool PlatformHasOpenGL();

    // Makes the view's context current (none for null). Nothing happens when the view
    // is already current; a view without a context makes none current.
    static void MakeCurrent(XGOpenGLView* view);
    static XGOpenGLView* GetCurrent();
    // How many times a context was made current (each real switch counts once).
    static int GetSwitchCount();

    // Schedules a redraw; draws nothing without a context.
    void Redraw();
    // Swaps only when the view has its context (the widget presents what it drew).
    void SwapBuffers();
    // The viewport last set from the view's size.
    void GetViewport(int& width, int& height) const;

protected:
    virtual void SetupGL() {}
    virtual void DrawGL(XGOpenGLDraw& draw) {}
    virtual void MouseDown(int x, int y, int button, int modifiers) {}
    virtual void MouseUp(int x, int y, int button, int modifiers) {}
    virtual void MouseMoved(int x, int y, int buttons, int modifiers) {}
    virtual void MouseWheel(int x, int y, int delta, int modifiers) {}
    virtual void MouseDoubleClick(int x, int y, int button, int modifiers) {}
    // A key pressed while the view has the focus; true when the view used it.
    virtual bool KeyDown(int key, const std::string& text, int modifiers) { return false; }

private:
    friend class XGGLWidget;
    void Initialized();
    void Resized(int width, int height);
    void Paint();

    class XGGLWidget* fGL = nullptr;
    bool fAsked = false;
    bool fDepth = true;
    int fViewportWidth = 0;
    int fViewportHeight = 0;
};
