// render-map: the map view's picture drawn offscreen.
#include <cmath>
#include <cstdio>

#include "cli/cli_command.h"
#include "map/map_camera.h"
#include "map/mesh_map.h"
#include "render/map_renderer.h"
#include "render/offscreen_context.h"
#include "render/png_writer.h"

namespace {

struct render_options {
    int width = 0, height = 0;
    bool top = true;
    map_marker_mode markers = MAP_MARKERS_ONLY;
};

int parse_side(const std::string& text, const std::string& whole)
{
    char* end = nullptr;
    long v = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end || v < 1 || v > 16384) throw CliUsageError{"--size must be WIDTHxHEIGHT in pixels: " + whole};
    return int(v);
}

} // namespace

int cli_render_map(CliContext& context)
{
    std::vector<std::string> positional;
    render_options o;
    for (size_t i = 0; i < context.args.size(); ++i) {
        const std::string& a = context.args[i];
        if (a == "--size" || a == "--view" || a == "--markers") {
            if (i + 1 >= context.args.size()) throw CliUsageError{a + " needs a value"};
            const std::string& v = context.args[++i];
            if (a == "--size") {
                size_t x = v.find('x');
                if (x == std::string::npos) throw CliUsageError{"--size must be WIDTHxHEIGHT in pixels: " + v};
                o.width = parse_side(v.substr(0, x), v);
                o.height = parse_side(v.substr(x + 1), v);
            } else if (a == "--view") {
                if (v != "top" && v != "perspective") throw CliUsageError{"--view must be top or perspective: " + v};
                o.top = v == "top";
            } else {
                static const std::pair<const char*, map_marker_mode> modes[] = {
                    {"hide", MAP_HIDE_MARKERS}, {"only", MAP_MARKERS_ONLY}, {"boxes", MAP_BOUNDING_BOXES},
                    {"simple", MAP_SIMPLE_MODELS}, {"complex", MAP_COMPLEX_MODELS}};
                bool known = false;
                for (auto& [name, mode] : modes)
                    if (v == name) o.markers = mode, known = true;
                if (!known) throw CliUsageError{"--markers must be hide, only, boxes, simple or complex: " + v};
            }
        } else if (a.size() > 2 && a.compare(0, 2, "--") == 0) {
            throw CliUsageError{"unknown option " + a};
        } else {
            positional.push_back(a);
        }
    }
    if (positional.size() < 3) throw CliUsageError{"too few arguments"};
    if (positional.size() > 3) throw CliUsageError{"too many arguments"};
    const tag_code id = cli_parse_code(positional[1], "MAP_ID");
    tag_file* f = cli_open_tag_file(context, positional[0], false);
    tag_entry* e = tag_find_in_file(f, "mesh"_4cc, id);
    if (!e) e = context.store.find_tag("mesh"_4cc, id);
    if (!e) throw CliFailure{"There is no map " + positional[1] + " in " + positional[0] + "."};

    TMeshMap map;
    load_map(e, map);
    if (map.fWidth <= 0 || map.fHeight <= 0) throw CliFailure{"The map " + positional[1] + " has no cells."};
    if (o.width == 0) {
        o.width = 1024;
        o.height = std::max(1, int(std::lround(1024.0 * map.fHeight / map.fWidth)));
    }

    std::string why;
    auto context_gl = offscreen_context::create(o.width, o.height, &why);
    if (!context_gl) throw CliFailure{why + "."};
    map_display_state display;
    display.markers = o.markers;
    display.grid_shown[grid_slot(MAP_GRID_RENDER)] = false;
    map_scene scene;
    scene.map = &map;
    scene.display = &display;
    map_renderer renderer(&context.store);
    renderer.set_gl(&context_gl->gl());
    if (o.top) {
        renderer.draw_top_view(scene, o.width, o.height);
    } else {
        map_camera camera = map_camera::for_map(map);
        renderer.draw(scene, camera.projection(o.width, o.height), camera.model_view(), o.width, o.height);
    }
    texture_image picture = context_gl->read_pixels(false);
    renderer.release();
    write_png_file(positional[2], picture);
    std::printf("%s %dx%d\n", positional[2].c_str(), o.width, o.height);
    return kExitDone;
}
