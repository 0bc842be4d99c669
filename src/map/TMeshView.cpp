#include "map/TMeshView.h"

#include <cstdio>

#include <QOpenGLContext>
#include <Qt>

#include "framework/XGError.h"
#include "framework/qt/XGFactories.h"
#include "framework/qt/XGMessages.h"
#include "render/offscreen_context.h"

namespace {

constexpr int kLeft = 1, kRight = 2, kMiddle = 4;

} // namespace

TMeshView::TMeshView(XGView* parent, const XGViewRecord& record) : XGOpenGLView(parent, record)
{
    if (!PlatformHasOpenGL()) fProblem = "OpenGL is not available here: the map cannot be shown.";
}

TMeshView::~TMeshView()
{
    // the textures belong to the widget's context
    if (fRenderer && fGL.loaded() && HasContext()) {
        XGOpenGLView* previous = GetCurrent();
        MakeCurrent(this);
        fRenderer->release();
        MakeCurrent(previous);
    }
}

void TMeshView::SetEditor(map_editor* editor, TTagStore* store, hooks h)
{
    fEditor = editor;
    fStore = store;
    fHooks = std::move(h);
    fRenderer = std::make_unique<map_renderer>(store);
    if (fGL.loaded()) fRenderer->set_gl(&fGL);
}

void TMeshView::MapLoaded()
{
    if (!fEditor) return;
    fCamera = map_camera::for_map(fEditor->map);
    if (fRenderer) fRenderer->map_changed();
    fEditor->take_changed_cells();
    fHover = -1;
    Redraw();
}

void TMeshView::Sync()
{
    if (!fEditor) return;
    std::vector<uint32_t> cells = fEditor->take_changed_cells();
    if (fRenderer && !cells.empty()) fRenderer->cells_changed(cells);
    if (fHover >= int(fEditor->map.fMarkers.size())) fHover = -1;
    Redraw();
}

void TMeshView::DropModel(tag_code id)
{
    if (fRenderer) fRenderer->drop_model(id);
    Redraw();
}

void TMeshView::DropTextures(tag_code id)
{
    if (fRenderer && fGL.loaded() && HasContext()) {
        XGOpenGLView* previous = GetCurrent();
        MakeCurrent(this);
        fRenderer->drop_textures(id);
        MakeCurrent(previous);
    }
    Redraw();
}

void TMeshView::ViewSize(int& width, int& height) const
{
    GetViewport(width, height);
    if (width <= 0 || height <= 0) {
        width = std::max(1, GetFrame().width);
        height = std::max(1, GetFrame().height);
    }
}

map_scene TMeshView::Scene() const
{
    map_scene s;
    if (!fEditor) return s;
    s.map = &fEditor->map;
    s.display = &fEditor->display;
    s.selection = &fEditor->selection;
    s.band = &fEditor->band.cells();
    s.hover_marker = fHover;
    s.has_hover_point = fHasPoint && fEditor->display.click_grid != MAP_GRID_NONE;
    s.hover_point = fPoint;
    s.brush_radius = fEditor->brush.radius;
    return s;
}

void TMeshView::DrawGL(XGOpenGLDraw& draw)
{
    if (!fEditor || !fRenderer) return;
    if (!fGL.loaded()) {
        std::string why;
        if (!load_gl_functions(fGL, [&](const char* name) { return draw.GetProcAddress(name); }, &why)) {
            fProblem = "The map cannot be drawn: " + why + ".";
            if (fHooks.status) fHooks.status(fProblem);
            return;
        }
        fRenderer->set_gl(&fGL);
    }
    fRenderer->draw(Scene(), fCamera.projection(draw.width, draw.height), fCamera.model_view(), draw.width, draw.height);
}

texture_image TMeshView::Picture(int width, int height)
{
    std::string why;
    auto context = offscreen_context::create(width, height, &why);
    if (!context) throw XGError(kXGError, "Save Picture", why + ".");
    map_renderer renderer(fStore);
    renderer.set_gl(&context->gl());
    map_scene scene = Scene();
    scene.has_hover_point = false;
    scene.hover_marker = -1;
    renderer.draw(scene, fCamera.projection(width, height), fCamera.model_view(), width, height);
    texture_image image = context->read_pixels(false);
    renderer.release();
    // the widget's context goes on being current
    if (GetCurrent()) {
        XGOpenGLView* current = GetCurrent();
        MakeCurrent(nullptr);
        MakeCurrent(current);
    }
    return image;
}

bool TMeshView::PickGround(int x, int y, grid_point& p) const
{
    if (!fEditor) return false;
    int w, h;
    ViewSize(w, h);
    vec3 origin, direction;
    fCamera.ray(x, y, w, h, origin, direction);
    map_grid grid = fEditor->display.click_grid != MAP_GRID_NONE ? fEditor->display.click_grid : MAP_GRID_RENDER;
    return pick_grid(fEditor->map, grid, origin, direction, p);
}

int TMeshView::PickMarker(int x, int y) const
{
    if (!fEditor || !fRenderer) return -1;
    int w, h;
    ViewSize(w, h);
    vec3 origin, direction;
    fCamera.ray(x, y, w, h, origin, direction);
    return pick_marker(fRenderer->marker_boxes(Scene()), origin, direction);
}

void TMeshView::UpdateStatus(int x, int y)
{
    if (!fEditor) return;
    std::string text;
    char line[256];
    map_grid click = fEditor->display.click_grid;
    int marker = PickMarker(x, y);
    fHover = marker;
    fHasPoint = PickGround(x, y, fPoint);
    if (marker < 0 && fHasPoint && (click == MAP_GRID_MEDIA || click == MAP_GRID_RENDER)) {
        int cx = std::clamp(fPoint.column(), 0, fEditor->map.fWidth - 1);
        int cy = std::clamp(fPoint.row(), 0, fEditor->map.fHeight - 1);
        std::snprintf(line, sizeof line, "x: %.3f    y: %.3f    z: %.3f", double(cx), double(cy),
                      grid_height(fEditor->map.Cell(cx, cy), click) / 512.0);
        text = line;
    } else if (marker >= 0) {
        const marker_data& m = fEditor->map.fMarkers[size_t(marker)];
        std::snprintf(line, sizeof line,
                      "x: %.3f    y: %.3f    z: %.3f    elev: %.3f       yaw: %.1f    pitch: %.1f    roll %.1f",
                      m.position[0] / 512.0, m.position[1] / 512.0, m.position[2] / 512.0, m.elevation / 512.0,
                      m.yaw * 360.0 / 65536, m.pitch * 360.0 / 65536, m.roll * 360.0 / 65536);
        text = line;
    }
    if (!fProblem.empty()) text = fProblem;
    if (text != fStatus) {
        fStatus = text;
        if (fHooks.status) fHooks.status(fStatus);
    }
}

void TMeshView::Notify()
{
    Sync();
    if (fHooks.changed) fHooks.changed();
}

void TMeshView::MouseDown(int x, int y, int button, int modifiers)
{
    fButtons |= button;
    fLastX = x;
    fLastY = y;
    fStartY = y;
    if (!fEditor || button != kLeft) return;
    bool shift = modifiers & kXGShiftKey, control = modifiers & kXGControlKey;
    bool banding = fEditor->tool == MAP_TOOL_BAND_GRID || fEditor->tool == MAP_TOOL_BAND_MARKERS;
    int marker = PickMarker(x, y);
    grid_point p;
    bool ground = PickGround(x, y, p);
    if (marker >= 0 && !(ground && banding && fEditor->band.contains(uint32_t(
                                                  std::clamp(p.row(), 0, fEditor->map.fHeight - 1) * fEditor->map.fWidth +
                                                  std::clamp(p.column(), 0, fEditor->map.fWidth - 1))))) {
        if (shift) {
            auto it = std::find(fEditor->selection.begin(), fEditor->selection.end(), marker);
            if (it != fEditor->selection.end())
                fEditor->selection.erase(it);
            else
                fEditor->select(marker, true);
        } else {
            fEditor->select(marker, false);
        }
        Notify();
        return;
    }
    if (!ground) return;
    if (fEditor->display.click_grid == MAP_GRID_NONE && fEditor->tool != MAP_TOOL_BAND_MARKERS) return;
    fEditor->stroke_begin(p, shift, control);
    Notify();
}

void TMeshView::MouseMoved(int x, int y, int buttons, int modifiers)
{
    int dx = x - fLastX, dy = y - fLastY;
    fLastX = x;
    fLastY = y;
    if (buttons & kRight) {
        fCamera.orbit(dx, dy);
        Redraw();
        return;
    }
    if (buttons & kMiddle) {
        int w, h;
        ViewSize(w, h);
        fCamera.pan(dx, dy, h);
        Redraw();
        return;
    }
    UpdateStatus(x, y);
    if ((buttons & kLeft) && fEditor && fEditor->in_stroke()) {
        grid_point p = fPoint;
        if (fEditor->dragging() || fHasPoint) {
            double d = (fStartY - y) * fCamera.distance * 0.001;
            fEditor->stroke_move(p, d);
            Notify();
            return;
        }
    }
    Redraw();
}

void TMeshView::MouseUp(int x, int y, int button, int modifiers)
{
    fButtons &= ~button;
    if (button == kLeft && fEditor && fEditor->in_stroke()) {
        fEditor->stroke_end();
        Notify();
    }
}

void TMeshView::MouseWheel(int x, int y, int delta, int modifiers)
{
    fCamera.wheel(delta);
    Redraw();
}

void TMeshView::MouseDoubleClick(int x, int y, int button, int modifiers)
{
    if (!fEditor || button != kLeft) return;
    if (fEditor->in_stroke()) fEditor->stroke_end();
    int marker = PickMarker(x, y);
    if (marker >= 0) {
        fEditor->select(marker, false);
        if (fHooks.edit) fHooks.edit(marker);
        return;
    }
    grid_point p;
    if (!PickGround(x, y, p)) return;
    if (fEditor->place_marker(p.x, p.y, p.z) >= 0) Notify();
}

bool TMeshView::CameraKey(int key)
{
    if (!fCamera.key(key)) return false;
    Redraw();
    return true;
}

bool TMeshView::KeyDown(int key, const std::string& text, int modifiers)
{
    if (modifiers & kXGControlKey) return false;
    if (key == Qt::Key_Backspace || key == Qt::Key_Delete) {
        if (fHooks.clear) fHooks.clear();
        return true;
    }
    return text.size() == 1 && CameraKey(text[0]);
}

void register_mesh_view()
{
    XGRegisterView("mesh"_4cc, XGMakeView<TMeshView>);
}
