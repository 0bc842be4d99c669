// 'mesh': the map's 3D view. It draws the form's map through the map renderer, moves
// its orbiting camera (keys while it has the focus, the wheel, right-drag to orbit,
// middle-drag to pan), picks cells and markers under the pointer, and turns left
// presses and drags into the current tool's strokes.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "framework/qt/XGOpenGLView.h"
#include "map/map_camera.h"
#include "map/map_editor.h"
#include "render/map_renderer.h"
#include "texture/texture_image.h"

class TMeshView : public XGOpenGLView {
public:
    TMeshView(XGView* parent, const XGViewRecord& record);
    ~TMeshView() override;

    struct hooks {
        std::function<void()> changed;             // the map was edited
        std::function<void(int marker)> edit;      // open the Edit Marker dialog
        std::function<void()> clear;               // Backspace or Delete
        std::function<void(const std::string&)> status;
    };
    void SetEditor(map_editor* editor, TTagStore* store, hooks h);
    // A new map: the camera looks at the whole of it and its drawing is rebuilt.
    void MapLoaded();
    // Brings the drawing up to date with the editor's changes and redraws.
    void Sync();
    void DropModel(tag_code id);
    void DropTextures(tag_code id);

    map_camera& Camera() { return fCamera; }
    // A camera key (a/d w/s q/e f/r c/v); false for others.
    bool CameraKey(int key);
    const std::string& StatusText() const { return fStatus; }
    // Why nothing is drawn, or "".
    const std::string& Problem() const { return fProblem; }
    // What the view shows, drawn offscreen at its size; raises an error when no context can be made.
    texture_image Picture(int width, int height);

    // Pointer input as the widget delivers it (also for tests).
    void Press(int x, int y, int button, int modifiers) { MouseDown(x, y, button, modifiers); }
    void Release(int x, int y, int button, int modifiers) { MouseUp(x, y, button, modifiers); }
    void Move(int x, int y, int buttons, int modifiers) { MouseMoved(x, y, buttons, modifiers); }
    void DoubleClick(int x, int y, int button, int modifiers) { MouseDoubleClick(x, y, button, modifiers); }
    bool Key(int key, const std::string& text, int modifiers) { return KeyDown(key, text, modifiers); }
    // The view's size for picking.
    void ViewSize(int& width, int& height) const;

protected:
    void DrawGL(XGOpenGLDraw& draw) override;
    void MouseDown(int x, int y, int button, int modifiers) override;
    void MouseUp(int x, int y, int button, int modifiers) override;
    void MouseMoved(int x, int y, int buttons, int modifiers) override;
    void MouseWheel(int x, int y, int delta, int modifiers) override;
    void MouseDoubleClick(int x, int y, int button, int modifiers) override;
    bool KeyDown(int key, const std::string& text, int modifiers) override;

private:
    map_scene Scene() const;
    bool PickGround(int x, int y, grid_point& p) const;
    int PickMarker(int x, int y) const;
    void UpdateStatus(int x, int y);
    void Notify();

    map_editor* fEditor = nullptr;
    TTagStore* fStore = nullptr;
    hooks fHooks;
    map_camera fCamera;
    gl_functions fGL;
    std::unique_ptr<map_renderer> fRenderer;
    std::string fStatus;
    std::string fProblem;
    int fHover = -1;
    bool fHasPoint = false;
    grid_point fPoint;
    int fLastX = 0, fLastY = 0, fStartY = 0;
    int fButtons = 0;
};

void register_mesh_view();
