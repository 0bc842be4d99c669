#include "render/map_renderer.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#ifdef __GLIBC__
#include <malloc.h>
#endif

#include "map/mesh_map.h"
#include "render/model_renderer.h"

namespace {

constexpr int VERTS = MAP_BLOCK_CELLS + 1; // per block side
constexpr int BLOCK_VERTICES = VERTS * VERTS;
// which of a block's far edge lines it draws
constexpr int LAST_COLUMN = 1, LAST_ROW = 2;
constexpr int FLUSH_BLOCKS = 32;

// Colour map tiles are 128 pixels placed 126 apart: a block shows the tile's inner 126
// pixels, so the two columns neighbours share meet exactly.
constexpr double TILE_PIXELS = 128;
constexpr double TILE_STEP = 126;

const map_rgb kMarkerColors[NUMBER_OF_MARKER_TYPES] = {
    {255, 255, 255}, {60, 220, 90}, {128, 128, 128}, {240, 70, 60},   {128, 128, 128}, {80, 170, 255},
    {200, 200, 80},  {128, 128, 128}, {128, 128, 128}, {255, 150, 40}, {230, 90, 230}, {200, 200, 80}};

const float kGridColors[3][4] = {{0.35f, 1.0f, 0.35f, 0.8f}, {0.35f, 0.65f, 1.0f, 0.8f}, {1.0f, 1.0f, 1.0f, 0.55f}};

} // namespace

map_renderer::map_renderer(TTagStore* store) : fTextures(store), fModels(store), fStore(store)
{
    fTexCoords.reserve(BLOCK_VERTICES * 2);
    for (int j = 0; j < VERTS; ++j)
        for (int i = 0; i < VERTS; ++i) {
            fTexCoords.push_back(float((1 + i * TILE_STEP / MAP_BLOCK_CELLS) / TILE_PIXELS));
            fTexCoords.push_back(float((1 + j * TILE_STEP / MAP_BLOCK_CELLS) / TILE_PIXELS));
        }
    for (int k = 0; k < 4; ++k) build_surface(1 << k, fSurface[k]);
    // far blocks draw every 2nd, 4th or 8th line, along coarser segments. A block's last
    // row and column lines are its neighbours' first: only the map's last blocks draw them,
    // so that no line is blended twice.
    for (int k = 0; k < 4; ++k)
        for (int edges = 0; edges < 4; ++edges) {
            int step = 1 << k;
            std::vector<uint16_t>& lines = fLines[k][edges];
            for (int j = 0; j < VERTS; j += step)
                for (int i = 0; i < MAP_BLOCK_CELLS; i += step) {
                    if (j < MAP_BLOCK_CELLS || edges & LAST_ROW) {
                        lines.push_back(uint16_t(j * VERTS + i));
                        lines.push_back(uint16_t(j * VERTS + i + step));
                    }
                    if (j < MAP_BLOCK_CELLS || edges & LAST_COLUMN) {
                        lines.push_back(uint16_t(i * VERTS + j));
                        lines.push_back(uint16_t((i + step) * VERTS + j));
                    }
                }
        }
}

void map_renderer::build_surface(int step, std::vector<uint16_t>& triangles)
{
    auto vertex = [](int i, int j) { return uint16_t(j * VERTS + i); };
    for (int j = 0; j < MAP_BLOCK_CELLS; j += step)
        for (int i = 0; i < MAP_BLOCK_CELLS; i += step) {
            int i1 = i + step, j1 = j + step;
            if (step == 1 || (i > 0 && j > 0 && i1 < MAP_BLOCK_CELLS && j1 < MAP_BLOCK_CELLS)) {
                triangles.insert(triangles.end(), {vertex(i, j), vertex(i1, j), vertex(i1, j1), vertex(i, j), vertex(i1, j1),
                                                   vertex(i, j1)});
                continue;
            }
            // a quad on the block's edge keeps every vertex along that edge, so that it
            // meets its neighbour's vertices whatever their step: a fan from its centre
            std::vector<uint16_t> around;
            auto side = [&](int x0, int y0, int dx, int dy, bool on_edge) {
                for (int n = 0; n < step; n += on_edge ? 1 : step) around.push_back(vertex(x0 + dx * n, y0 + dy * n));
            };
            side(i, j, 1, 0, j == 0);
            side(i1, j, 0, 1, i1 == MAP_BLOCK_CELLS);
            side(i1, j1, -1, 0, j1 == MAP_BLOCK_CELLS);
            side(i, j1, 0, -1, i == 0);
            uint16_t centre = vertex(i + step / 2, j + step / 2);
            for (size_t n = 0; n < around.size(); ++n)
                triangles.insert(triangles.end(), {centre, around[n], around[(n + 1) % around.size()]});
        }
}

bool map_renderer::on_screen(const block& b, double& pixels_per_cell) const
{
    mat4 m = fProjection * fModelView;
    const float low = b.low, high = b.high;
    double x0 = b.surface[0], y0 = b.surface[1];
    // the clip coordinates of the block's box: off screen when all lie beyond one plane
    int outside[6] = {};
    for (int k = 0; k < 8; ++k) {
        double x = x0 + (k & 1 ? MAP_BLOCK_CELLS : 0), y = y0 + (k & 2 ? MAP_BLOCK_CELLS : 0), z = k & 4 ? high : low;
        double c[4];
        for (int r = 0; r < 4; ++r) c[r] = m.at(r, 0) * x + m.at(r, 1) * y + m.at(r, 2) * z + m.at(r, 3);
        outside[0] += c[0] < -c[3];
        outside[1] += c[0] > c[3];
        outside[2] += c[1] < -c[3];
        outside[3] += c[1] > c[3];
        outside[4] += c[2] < -c[3];
        outside[5] += c[2] > c[3];
    }
    for (int plane : outside)
        if (plane == 8) return false;
    vec3 centre{x0 + MAP_BLOCK_CELLS / 2.0, y0 + MAP_BLOCK_CELLS / 2.0, (low + high) / 2.0};
    auto pixel = [&](vec3 p, double& px, double& py) {
        double w = m.at(3, 0) * p.x + m.at(3, 1) * p.y + m.at(3, 2) * p.z + m.at(3, 3);
        if (w <= 1e-6) return false;
        vec3 n = m.project(p);
        px = (n.x + 1) * fViewWidth / 2;
        py = (n.y + 1) * fViewHeight / 2;
        return true;
    };
    double cx, cy, ax, ay, bx, by;
    if (!pixel(centre, cx, cy) || !pixel(centre + vec3{1, 0, 0}, ax, ay) || !pixel(centre + vec3{0, 1, 0}, bx, by)) {
        pixels_per_cell = 1e9; // at or behind the eye: as near as can be
        return true;
    }
    pixels_per_cell = std::max(std::hypot(ax - cx, ay - cy), std::hypot(bx - cx, by - cy));
    return true;
}

map_renderer::~map_renderer() = default;

void map_renderer::set_gl(const gl_functions* gl)
{
#ifdef __GLIBC__
    // Mesa's software renderer frees its per-frame binning memory after every frame; at
    // glibc's default threshold that memory goes back to the kernel and each frame faults
    // it in again. Freed heap up to 64 MB is kept for reuse instead.
    static const bool kept = mallopt(M_TRIM_THRESHOLD, 64 << 20) == 1;
    (void)kept;
#endif
    fGL = gl;
    fTextures.set_gl(gl);
}

void map_renderer::release()
{
    fTextures.release_all();
}

void map_renderer::map_changed()
{
    for (block& b : fBlocks) b = block();
}

void map_renderer::cells_changed(const std::vector<uint32_t>& cells)
{
    if (fWidth <= 0) return;
    for (uint32_t c : cells) {
        int x = int(c % uint32_t(fWidth)), y = int(c / uint32_t(fWidth));
        // a vertex on a block's first row or column is also its neighbour's last; the map's
        // last cells also stand for the clamped edge vertices of their own block
        for (int by = (y - 1) / MAP_BLOCK_CELLS; by <= y / MAP_BLOCK_CELLS; ++by)
            for (int bx = (x - 1) / MAP_BLOCK_CELLS; bx <= x / MAP_BLOCK_CELLS; ++bx)
                if (bx >= 0 && by >= 0 && bx < fBlocksX && by < fBlocksY) fBlocks[size_t(by * fBlocksX + bx)] = block();
    }
}

void map_renderer::prepare(const TMeshMap& map)
{
    if (fMap == &map && fWidth == map.fWidth && fHeight == map.fHeight) return;
    fMap = &map;
    fWidth = map.fWidth;
    fHeight = map.fHeight;
    fBlocksX = std::max(0, (fWidth + MAP_BLOCK_CELLS - 1) / MAP_BLOCK_CELLS);
    fBlocksY = std::max(0, (fHeight + MAP_BLOCK_CELLS - 1) / MAP_BLOCK_CELLS);
    fBlocks.assign(size_t(fBlocksX) * size_t(fBlocksY), block());
}

void map_renderer::build_block(const TMeshMap& map, int bx, int by, block& b)
{
    b.surface.resize(BLOCK_VERTICES * 3);
    b.shade.resize(BLOCK_VERTICES * 3);
    b.types.resize(BLOCK_VERTICES * 4);
    b.low = 1e30f;
    b.high = -1e30f;
    auto height = [&](int x, int y) {
        x = std::clamp(x, 0, map.fWidth - 1);
        y = std::clamp(y, 0, map.fHeight - 1);
        return map.Cell(x, y).render_height / 512.0;
    };
    for (int j = 0; j < VERTS; ++j)
        for (int i = 0; i < VERTS; ++i) {
            int x = bx * MAP_BLOCK_CELLS + i, y = by * MAP_BLOCK_CELLS + j;
            size_t v = size_t(j * VERTS + i);
            b.surface[v * 3] = float(x);
            b.surface[v * 3 + 1] = float(y);
            b.surface[v * 3 + 2] = float(height(x, y));
            // light from the upper left
            double nx = height(x - 1, y) - height(x + 1, y), ny = height(x, y - 1) - height(x, y + 1), nz = 2;
            double light = (nx * -0.45 + ny * -0.45 + nz * 0.77) / std::sqrt(nx * nx + ny * ny + nz * nz);
            b.shade[v * 3] = b.shade[v * 3 + 1] = b.shade[v * 3 + 2] = uint8_t(std::clamp(60 + 170 * light, 0.0, 255.0));
            map_rgb t = terrain_type_color(map.Cell(std::min(x, map.fWidth - 1), std::min(y, map.fHeight - 1)).flags & 15);
            uint8_t* rgba = &b.types[v * 4];
            rgba[0] = t.r, rgba[1] = t.g, rgba[2] = t.b, rgba[3] = 120;
            // the bounds hold every grid, so that culling keeps lines above or below the surface
            const mesh_cell& cell = map.Cell(std::min(x, map.fWidth - 1), std::min(y, map.fHeight - 1));
            for (map_grid g : MAP_GRIDS) {
                float z = float(grid_height(cell, g) / 512.0);
                b.low = std::min(b.low, z);
                b.high = std::max(b.high, z);
            }
        }
    b.built = true;
}

void map_renderer::build_grid(const TMeshMap& map, int bx, int by, int slot, block& b)
{
    std::vector<float>& g = b.grids[slot];
    g = b.surface;
    for (int j = 0; j < VERTS; ++j)
        for (int i = 0; i < VERTS; ++i) {
            int x = std::min(bx * MAP_BLOCK_CELLS + i, map.fWidth - 1), y = std::min(by * MAP_BLOCK_CELLS + j, map.fHeight - 1);
            g[size_t(j * VERTS + i) * 3 + 2] = float(grid_height(map.Cell(x, y), MAP_GRIDS[slot]) / 512.0);
        }
    b.grid_built[slot] = true;
}

void map_renderer::draw_indexed(GLenum mode, const std::vector<uint16_t>& indices, GLsizei vertices)
{
    if (fGL->LockArraysEXT) fGL->LockArraysEXT(0, vertices);
    if (fGL->DrawRangeElementsEXT)
        fGL->DrawRangeElementsEXT(mode, 0, GLuint(vertices - 1), GLsizei(indices.size()), GL_UNSIGNED_SHORT, indices.data());
    else
        fGL->DrawElements(mode, GLsizei(indices.size()), GL_UNSIGNED_SHORT, indices.data());
    if (fGL->UnlockArraysEXT) fGL->UnlockArraysEXT();
}

bool map_renderer::start_frame(const map_scene& scene, const mat4& projection, const mat4& model_view, int width,
                               int height)
{
    if (!fGL) return false;
    fProjection = projection;
    fModelView = model_view;
    fViewWidth = width;
    fViewHeight = height;
    fGL->Viewport(0, 0, width, height);
    fGL->ClearColor(0, 0, 0, 1);
    fGL->ClearDepth(1);
    fGL->Clear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    if (!scene.map || !scene.display) return false;
    fGL->MatrixMode(GL_PROJECTION);
    fGL->LoadMatrixf(projection.floats().data());
    fGL->MatrixMode(GL_MODELVIEW);
    fGL->LoadMatrixf(model_view.floats().data());
    return true;
}

void map_renderer::draw(const map_scene& scene, const mat4& projection, const mat4& model_view, int width, int height)
{
    if (!start_frame(scene, projection, model_view, width, height)) return;
    draw_scene(scene, false);
    draw_overlay(scene, width, height);
}

void map_renderer::draw_top_view(const map_scene& scene, int width, int height)
{
    double w = scene.map ? std::max(1, scene.map->fWidth) : 1, h = scene.map ? std::max(1, scene.map->fHeight) : 1;
    // heights span at most 64 world units either way
    if (start_frame(scene, mat4::ortho(0, w, h, 0, -200, 200), mat4::identity(), width, height)) draw_scene(scene, true);
}

void map_renderer::draw_scene(const map_scene& scene, bool from_above)
{
    const TMeshMap& map = *scene.map;
    prepare(map);
    fGL->Enable(GL_DEPTH_TEST);
    fGL->DepthFunc(GL_LEQUAL);
    fGL->Disable(GL_CULL_FACE);
    fGL->Disable(GL_LIGHTING);
    fGL->Disable(GL_BLEND);
    fGL->ShadeModel(GL_SMOOTH);
    for (int by = 0; by < fBlocksY; ++by)
        for (int bx = 0; bx < fBlocksX; ++bx) {
            block& b = fBlocks[size_t(by * fBlocksX + bx)];
            if (!b.built) build_block(map, bx, by, b);
            double pixels = 0;
            b.visible = on_screen(b, pixels);
            // far blocks draw their surface and grid lines through every 2nd, 4th or 8th vertex
            b.level = pixels >= 8 ? 0 : pixels >= 4 ? 1 : pixels >= 2 ? 2 : 3;
        }
    if (scene.display->colormap) draw_terrain(scene);
    if (scene.display->markers != MAP_HIDE_MARKERS) draw_markers(scene, from_above);
    draw_overlays(scene);
    draw_grids(scene);
}

void map_renderer::draw_terrain(const map_scene& scene)
{
    const TMeshMap& map = *scene.map;
    tag_code landscape = map.fHeader.landscape_tag;
    bool has_stack = landscape != NONE_TAG && landscape != 0;
    fGL->Enable(GL_POLYGON_OFFSET_FILL);
    fGL->PolygonOffset(1, 1);
    fGL->EnableClientState(GL_VERTEX_ARRAY);
    fGL->TexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    fTextures.forget_binding();
    fGL->TexCoordPointer(2, GL_FLOAT, 0, fTexCoords.data());
    fGL->Color4f(1, 1, 1, 1);
    int drawn = 0;
    int textured = -1; // the state set for the last block: textured (1), shaded (0)
    for (int by = 0; by < fBlocksY; ++by)
        for (int bx = 0; bx < fBlocksX; ++bx) {
            block& b = fBlocks[size_t(by * fBlocksX + bx)];
            if (!b.visible) continue;
            // hands what is drawn so far to the renderer: a threaded software renderer
            // starts filling while the rest of the frame is sent
            if (++drawn % FLUSH_BLOCKS == 0) fGL->Flush();
            GLuint texture = has_stack ? fTextures.texture(landscape, by * (map.fWidth / MAP_BLOCK_CELLS) + bx, 0, -1, 0) : 0;
            // untextured blocks are shaded by the slope
            if (textured != (texture != 0)) {
                textured = texture != 0;
                (textured ? fGL->Enable : fGL->Disable)(GL_TEXTURE_2D);
                (textured ? fGL->EnableClientState : fGL->DisableClientState)(GL_TEXTURE_COORD_ARRAY);
                (textured ? fGL->DisableClientState : fGL->EnableClientState)(GL_COLOR_ARRAY);
            }
            fGL->VertexPointer(3, GL_FLOAT, 0, b.surface.data());
            if (!textured) fGL->ColorPointer(3, GL_UNSIGNED_BYTE, 0, b.shade.data());
            draw_indexed(GL_TRIANGLES, fSurface[b.level], BLOCK_VERTICES);
        }
    fGL->Disable(GL_TEXTURE_2D);
    fGL->DisableClientState(GL_TEXTURE_COORD_ARRAY);
    fGL->DisableClientState(GL_COLOR_ARRAY);
    fGL->DisableClientState(GL_VERTEX_ARRAY);
    fGL->Disable(GL_POLYGON_OFFSET_FILL);
    fGL->Flush();
}

namespace {

// A marker's symbol: a post, a diamond on top and a stroke toward its yaw.
void symbol(const gl_functions& gl, const marker_data& m, map_rgb color, bool highlight)
{
    vec3 p = marker_position(m);
    double yaw = m.yaw * 2 * std::numbers::pi / 65536;
    float top = float(p.z + 1.5);
    gl.Color3f(color.r / 255.f, color.g / 255.f, color.b / 255.f);
    gl.Begin(GL_LINES);
    gl.Vertex3f(float(p.x), float(p.y), float(p.z));
    gl.Vertex3f(float(p.x), float(p.y), top);
    gl.Vertex3f(float(p.x), float(p.y), top);
    gl.Vertex3f(float(p.x + std::cos(yaw) * 0.8), float(p.y + std::sin(yaw) * 0.8), top);
    gl.End();
    const float s = highlight ? 0.6f : 0.4f;
    gl.Begin(GL_TRIANGLE_FAN);
    gl.Vertex3f(float(p.x), float(p.y), top + s);
    gl.Vertex3f(float(p.x) - s, float(p.y), top);
    gl.Vertex3f(float(p.x), float(p.y) - s, top);
    gl.Vertex3f(float(p.x) + s, float(p.y), top);
    gl.Vertex3f(float(p.x), float(p.y) + s, top);
    gl.Vertex3f(float(p.x) - s, float(p.y), top);
    gl.End();
    gl.Begin(GL_TRIANGLE_FAN);
    gl.Vertex3f(float(p.x), float(p.y), top - s);
    gl.Vertex3f(float(p.x) - s, float(p.y), top);
    gl.Vertex3f(float(p.x), float(p.y) + s, top);
    gl.Vertex3f(float(p.x) + s, float(p.y), top);
    gl.Vertex3f(float(p.x), float(p.y) - s, top);
    gl.Vertex3f(float(p.x) - s, float(p.y), top);
    gl.End();
}

void wire_box(const gl_functions& gl, const map_box& box)
{
    const float x[2] = {float(box.low.x), float(box.high.x)}, y[2] = {float(box.low.y), float(box.high.y)},
                z[2] = {float(box.low.z), float(box.high.z)};
    gl.Begin(GL_LINES);
    for (int a = 0; a < 2; ++a)
        for (int b = 0; b < 2; ++b) {
            gl.Vertex3f(x[0], y[a], z[b]);
            gl.Vertex3f(x[1], y[a], z[b]);
            gl.Vertex3f(x[a], y[0], z[b]);
            gl.Vertex3f(x[a], y[1], z[b]);
            gl.Vertex3f(x[a], y[b], z[0]);
            gl.Vertex3f(x[a], y[b], z[1]);
        }
    gl.End();
}

} // namespace

std::vector<const map_marker_model*> map_renderer::entry_models(const map_scene& scene)
{
    std::vector<const map_marker_model*> models(scene.map->fPalette.size(), nullptr);
    map_marker_mode mode = scene.display->markers;
    if (mode != MAP_SIMPLE_MODELS && mode != MAP_COMPLEX_MODELS && mode != MAP_BOUNDING_BOXES) return models;
    for (size_t i = 0; i < models.size(); ++i)
        models[i] = fModels.model(marker_model_id(fStore, scene.map->fPalette[i]), 0, mode != MAP_SIMPLE_MODELS);
    return models;
}

std::vector<map_box> map_renderer::marker_boxes(const map_scene& scene)
{
    std::vector<map_box> boxes;
    if (!scene.map || !scene.display || scene.display->markers == MAP_HIDE_MARKERS) return boxes;
    std::vector<const map_marker_model*> models = entry_models(scene);
    boxes.reserve(scene.map->fMarkers.size());
    for (const marker_data& m : scene.map->fMarkers) {
        size_t entry = size_t(m.palette_index);
        const map_marker_model* model = entry < models.size() ? models[entry] : nullptr;
        boxes.push_back(model ? marker_model_box(m, *model) : marker_symbol_box(m));
    }
    return boxes;
}

void map_renderer::draw_model(const marker_data& m, const map_marker_model& model, map_rgb color)
{
    vec3 p = marker_position(m);
    mat4 placed = mat4::translation(p.x, p.y, p.z) * mat4::rotation(m.yaw * 360.0 / 65536, 0, 0, 1) *
                  mat4::rotation(m.pitch * 360.0 / 65536, 0, 1, 0) * mat4::rotation(m.roll * 360.0 / 65536, 1, 0, 0);
    // the skin: the base texture of the texture stack the model's tag names
    GLuint skin = model.skin != NONE_TAG && model.skin != 0 ? fTextures.texture(model.skin, 0, -1, -1, 0) : 0;
    const float tint[4] = {color.r / 255.f, color.g / 255.f, color.b / 255.f, 1};
    model_renderer(*fGL).draw_mesh(model.mesh, skin, placed.floats().data(), tint);
}

void map_renderer::draw_markers(const map_scene& scene, bool from_above)
{
    const TMeshMap& map = *scene.map;
    std::vector<bool> selected(map.fMarkers.size());
    if (scene.selection)
        for (int i : *scene.selection)
            if (i >= 0 && size_t(i) < selected.size()) selected[size_t(i)] = true;
    std::vector<const map_marker_model*> models = entry_models(scene);
    bool draw_models = scene.display->markers == MAP_SIMPLE_MODELS || scene.display->markers == MAP_COMPLEX_MODELS;
    fTextures.forget_binding();
    if (draw_models) model_renderer(*fGL).light_from_viewer();
    fGL->LineWidth(from_above ? 1.0f : 1.5f);
    for (size_t i = 0; i < map.fMarkers.size(); ++i) {
        const marker_data& m = map.fMarkers[i];
        map_rgb color = m.type >= 0 && m.type < NUMBER_OF_MARKER_TYPES ? kMarkerColors[m.type] : map_rgb{200, 200, 200};
        bool highlight = selected[i] || int(i) == scene.hover_marker;
        if (selected[i]) color = {255, 230, 0};
        else if (int(i) == scene.hover_marker) color = {255, 255, 255};
        size_t entry = size_t(m.palette_index);
        const map_marker_model* model = entry < models.size() ? models[entry] : nullptr;
        if (model && draw_models) {
            map_rgb tint = m.type >= 0 && m.type < NUMBER_OF_MARKER_TYPES ? kMarkerColors[m.type] : map_rgb{200, 200, 200};
            draw_model(m, *model, tint);
            fTextures.forget_binding(); // the model binds its skin itself
            if (highlight) {
                fGL->Color3f(color.r / 255.f, color.g / 255.f, color.b / 255.f);
                wire_box(*fGL, marker_model_box(m, *model));
            }
        } else if (scene.display->markers == MAP_BOUNDING_BOXES) {
            fGL->Color3f(color.r / 255.f, color.g / 255.f, color.b / 255.f);
            wire_box(*fGL, model ? marker_model_box(m, *model) : marker_symbol_box(m));
        } else {
            // markers without a model show as symbols
            symbol(*fGL, m, color, highlight);
        }
    }
    fGL->LineWidth(1);
}

void map_renderer::draw_overlays(const map_scene& scene)
{
    const TMeshMap& map = *scene.map;
    const map_display_state& display = *scene.display;
    fGL->Enable(GL_BLEND);
    fGL->BlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    fGL->DepthMask(GL_FALSE);
    if (display.terrain_types) {
        fGL->Enable(GL_POLYGON_OFFSET_FILL);
        fGL->PolygonOffset(-1, -1);
        fGL->EnableClientState(GL_VERTEX_ARRAY);
        fGL->EnableClientState(GL_COLOR_ARRAY);
        for (block& b : fBlocks) {
            if (!b.visible) continue;
            fGL->VertexPointer(3, GL_FLOAT, 0, b.surface.data());
            fGL->ColorPointer(4, GL_UNSIGNED_BYTE, 0, b.types.data());
            draw_indexed(GL_TRIANGLES, fSurface[b.level], BLOCK_VERTICES);
        }
        fGL->DisableClientState(GL_COLOR_ARRAY);
        fGL->DisableClientState(GL_VERTEX_ARRAY);
        fGL->Disable(GL_POLYGON_OFFSET_FILL);
    }
    map_grid heights = display.click_grid != MAP_GRID_NONE ? display.click_grid : MAP_GRID_RENDER;
    if (scene.band && !scene.band->empty() && map.fWidth > 0) {
        fGL->Color4f(1.0f, 0.85f, 0.1f, 0.45f);
        fGL->Begin(GL_QUADS);
        for (uint32_t c : *scene.band) {
            if (c >= map.fCells.size()) continue;
            float x = float(c % uint32_t(map.fWidth)), y = float(c / uint32_t(map.fWidth));
            float z = float(grid_height(map.fCells[c], heights) / 512.0 + 0.03);
            fGL->Vertex3f(x - 0.45f, y - 0.45f, z);
            fGL->Vertex3f(x + 0.45f, y - 0.45f, z);
            fGL->Vertex3f(x + 0.45f, y + 0.45f, z);
            fGL->Vertex3f(x - 0.45f, y + 0.45f, z);
        }
        fGL->End();
    }
    if (scene.has_hover_point && scene.brush_radius > 0) {
        fGL->Color4f(1, 1, 1, 0.8f);
        fGL->Begin(GL_LINE_LOOP);
        for (int k = 0; k < 48; ++k) {
            double a = k * 2 * std::numbers::pi / 48;
            double x = scene.hover_point.x + std::cos(a) * scene.brush_radius;
            double y = scene.hover_point.y + std::sin(a) * scene.brush_radius;
            fGL->Vertex3f(float(x), float(y), float(grid_height_at(map, heights, x, y) + 0.05));
        }
        fGL->End();
    }
    fGL->DepthMask(GL_TRUE);
    fGL->Disable(GL_BLEND);
}

void map_renderer::draw_grids(const map_scene& scene)
{
    const TMeshMap& map = *scene.map;
    fGL->Enable(GL_BLEND);
    fGL->BlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    fGL->EnableClientState(GL_VERTEX_ARRAY);
    for (int slot = 0; slot < 3; ++slot) {
        if (!scene.display->grid_shown[slot]) continue;
        const float* c = kGridColors[slot];
        fGL->Color4f(c[0], c[1], c[2], c[3]);
        for (int by = 0; by < fBlocksY; ++by)
            for (int bx = 0; bx < fBlocksX; ++bx) {
                block& b = fBlocks[size_t(by * fBlocksX + bx)];
                if (!b.visible) continue;
                if (!b.grid_built[slot]) build_grid(map, bx, by, slot, b);
                fGL->VertexPointer(3, GL_FLOAT, 0, b.grids[slot].data());
                int edges = (bx == fBlocksX - 1 ? LAST_COLUMN : 0) | (by == fBlocksY - 1 ? LAST_ROW : 0);
                draw_indexed(GL_LINES, fLines[b.level][edges], BLOCK_VERTICES);
            }
    }
    fGL->DisableClientState(GL_VERTEX_ARRAY);
    fGL->Disable(GL_BLEND);
}

void map_renderer::draw_overlay(const map_scene& scene, int width, int height)
{
    // the world axes as the camera sees them, in the lower left corner
    fGL->Disable(GL_DEPTH_TEST);
    fGL->MatrixMode(GL_PROJECTION);
    fGL->LoadMatrixf(mat4::ortho(0, width, 0, height, -100, 100).floats().data());
    fGL->MatrixMode(GL_MODELVIEW);
    mat4 rotation = fModelView;
    rotation.m[12] = rotation.m[13] = rotation.m[14] = 0;
    if (scene.display->axis == MAP_LOCAL_AXIS && scene.selection && !scene.selection->empty()) {
        int i = scene.selection->front();
        if (i >= 0 && size_t(i) < scene.map->fMarkers.size())
            rotation = rotation * mat4::rotation(scene.map->fMarkers[size_t(i)].yaw * 360.0 / 65536, 0, 0, 1);
    }
    fGL->LoadMatrixf((mat4::translation(40, 40, 0) * mat4::scaling(28, 28, 28) * rotation).floats().data());
    fGL->LineWidth(2);
    fGL->Begin(GL_LINES);
    const float axes[3][3] = {{1, 0.3f, 0.3f}, {0.3f, 1, 0.3f}, {0.4f, 0.6f, 1}};
    for (int k = 0; k < 3; ++k) {
        fGL->Color3f(axes[k][0], axes[k][1], axes[k][2]);
        fGL->Vertex3f(0, 0, 0);
        fGL->Vertex3f(k == 0, k == 1, k == 2);
    }
    fGL->End();
    fGL->LineWidth(1);
    fGL->Enable(GL_DEPTH_TEST);
}
