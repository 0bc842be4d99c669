// The map renderer's inputs: map bytes and a Landscape texture stack, drawn through a
// GL table that does nothing, in both views, then picked and edited with a brush.
#include <cstdint>
#include <cstring>
#include <string>

#include "framework/XGError.h"
#include "map/map_camera.h"
#include "map/map_editor.h"
#include "render/map_renderer.h"

namespace {

GLuint gNextName = 1;

template <class T>
T nothing()
{
    return T();
}

#define QUENCHOLD_GL_NOOP(ret, name, params, args) \
    ret noop_##name params { return nothing<ret>(); }
QUENCHOLD_GL_REQUIRED(QUENCHOLD_GL_NOOP)
QUENCHOLD_GL_OPTIONAL(QUENCHOLD_GL_NOOP)
#undef QUENCHOLD_GL_NOOP

void GenTextures(GLsizei n, GLuint* names)
{
    for (GLsizei i = 0; i < n; ++i) names[i] = gNextName++;
}

const GLubyte* GetString(GLenum)
{
    return reinterpret_cast<const GLubyte*>("GL_ARB_multitexture GL_EXT_compiled_vertex_array");
}

void GetIntegerv(GLenum, GLint* values)
{
    values[0] = 256;
}

void* proc(const char* wanted)
{
    if (!std::strcmp(wanted, "glGenTextures")) return reinterpret_cast<void*>(&GenTextures);
    if (!std::strcmp(wanted, "glGetString")) return reinterpret_cast<void*>(&GetString);
    if (!std::strcmp(wanted, "glGetIntegerv")) return reinterpret_cast<void*>(&GetIntegerv);
#define QUENCHOLD_GL_ENTRY(ret, name, params, args) \
    if (!std::strcmp(wanted, "gl" #name)) return reinterpret_cast<void*>(&noop_##name);
    QUENCHOLD_GL_REQUIRED(QUENCHOLD_GL_ENTRY)
    QUENCHOLD_GL_OPTIONAL(QUENCHOLD_GL_ENTRY)
#undef QUENCHOLD_GL_ENTRY
    return nullptr;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // the first two bytes say where the map's bytes end and the stack's begin
    if (size < 2) return 0;
    size_t split = std::min(size - 2, size_t(data[0]) << 8 | data[1]);
    const uint8_t* map_bytes = data + 2;
    const uint8_t* stack_bytes = map_bytes + split;
    size_t stack_size = size - 2 - split;

    TTagStore store;
    tag_file* f = store.new_tag_file();
    tag_entry* e = store.create_tag(f, "mesh"_4cc, "fuzz"_4cc, 11, "fuzz", 0, uint32_t(split), map_bytes);
    store.create_tag(f, "txst"_4cc, "land"_4cc, 1, "land", 0, uint32_t(stack_size), stack_bytes);
    if (!e) return 0;
    map_editor editor;
    try {
        load_map(e, editor.map);
    } catch (const XGError&) {
        return 0;
    }
    if (size_t(editor.map.fWidth) * size_t(editor.map.fHeight) > 128 * 128) return 0; // keep runs short
    editor.map.fHeader.landscape_tag = "land"_4cc;
    editor.loaded();

    gl_functions gl;
    if (!load_gl_functions(gl, proc)) return 0;
    map_renderer renderer(&store);
    renderer.set_gl(&gl);
    editor.display.terrain_types = true;
    editor.display.grid_shown[0] = editor.display.grid_shown[1] = true;
    editor.selection = {0, 1, -3, 70000};
    map_scene scene;
    scene.map = &editor.map;
    scene.display = &editor.display;
    scene.selection = &editor.selection;
    scene.band = &editor.band.cells();
    map_camera camera = map_camera::for_map(editor.map);
    renderer.draw(scene, camera.projection(320, 240), camera.model_view(), 320, 240);
    renderer.draw_top_view(scene, 64, 64);

    vec3 origin, direction;
    camera.ray(160, 120, 320, 240, origin, direction);
    grid_point p;
    if (pick_grid(editor.map, MAP_GRID_RENDER, origin, direction, p)) {
        editor.tool = MAP_TOOL_SMOOTH;
        editor.stroke_begin(p, false, false);
        editor.stroke_end();
        renderer.cells_changed(editor.take_changed_cells());
    }
    pick_marker(renderer.marker_boxes(scene), origin, direction);
    renderer.draw(scene, camera.projection(320, 240), camera.model_view(), 320, 240);
    renderer.release();
    return 0;
}
