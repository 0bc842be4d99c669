// The map view on Mesa's software renderer: steady and first frames of a 192 x 192 and a
// 512 x 512 map with colour map, grids and markers; a drag step of a radius-16 brush; a
// pick; and the top view of render-map beside decoding the same JPEG tiles with libjpeg.
//
// Frames are timed by the wall clock up to glFinish, with llvmpipe's rasteriser threads as
// it starts them (LP_NUM_THREADS unset: one per core). Counters: the frame's budget, and
// the CPU time of every thread of the process per frame. BENCH_MAP_PICTURES=DIR writes
// each steady frame's picture there, to compare what is drawn before and after a change.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <string>

#include "map/map_camera.h"
#include "map/map_drag.h"
#include "map/map_palette.h"
#include "map/mesh_map.h"
#include "render/map_renderer.h"
#include "render/offscreen_context.h"
#include "render/png_writer.h"
#include "texture/jpeg_codec.h"
#include "texture/texture_pixels.h"
#include "texture/txst_format.h"

namespace {

constexpr int kViewWidth = 1024, kViewHeight = 768;

struct bench_map {
    TTagStore store;
    tag_file* file = store.new_tag_file();
    TMeshMap map;
    tag_entry* stack = nullptr;

    explicit bench_map(int cells)
    {
        map = default_mesh_map(cells, cells);
        map.fHeader.landscape_tag = "land"_4cc;
        for (int y = 0; y < cells; ++y)
            for (int x = 0; x < cells; ++x)
                map.Cell(x, y).render_height = int16_t(2048 * std::sin(x / 9.0) * std::cos(y / 13.0) + 2048);
        map.fPalette = {new_palette_entry(1), new_palette_entry(3)};
        for (int i = 0; i < 200; ++i) add_marker(map, i % 2, (i * 37) % cells, (i * 53) % cells, 4);
        auto set = create_texture_set(uint32_t(cells / 16 * cells / 16));
        for (int i = 0; i < cells / 16 * (cells / 16); ++i) {
            texture_image tile;
            tile.width = tile.height = 128;
            tile.channels = 3;
            tile.pixels.resize(tile.size());
            for (uint32_t p = 0; p < tile.size(); ++p) tile.pixels[p] = uint8_t((p / 3 % 128) + i * 7 + (p % 3) * 40);
            auto t = std::make_unique<stacked_texture>();
            t->channels = 3;
            t->format = TEXTURE_FORMAT_JPEG;
            t->width = t->height = 128;
            t->compressed_data = encode_texture_jpeg(tile, 85);
            insert_texture(set.get(), uint32_t(i), 0, std::move(t));
        }
        stack = store.create_tag(file, "txst"_4cc, "land"_4cc, 1, "Landscape", 0, 0, nullptr);
        write_texture_set(stack, *set);
    }
};

bench_map& Map(int cells)
{
    static std::unique_ptr<bench_map> small, large;
    auto& m = cells == 192 ? small : large;
    if (!m) m = std::make_unique<bench_map>(cells);
    return *m;
}

offscreen_context& Context()
{
    static std::unique_ptr<offscreen_context> context = offscreen_context::create(kViewWidth, kViewHeight);
    if (!context) std::abort();
    return *context;
}

double ProcessCpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

std::string Threads()
{
    const char* threads = std::getenv("LP_NUM_THREADS");
    return std::string("llvmpipe threads: ") + (threads ? threads : "default");
}

void Frame(benchmark::State& state, int cells, bool first, bool grids = true)
{
    bench_map& m = Map(cells);
    offscreen_context& context = Context();
    map_display_state display;
    display.grid_shown[0] = display.grid_shown[1] = display.grid_shown[2] = grids;
    map_scene scene;
    scene.map = &m.map;
    scene.display = &display;
    map_camera camera = map_camera::for_map(m.map);
    std::unique_ptr<map_renderer> renderer;
    if (!first) {
        renderer = std::make_unique<map_renderer>(&m.store);
        renderer->set_gl(&context.gl());
        renderer->draw(scene, camera.projection(kViewWidth, kViewHeight), camera.model_view(), kViewWidth, kViewHeight);
        if (const char* dir = std::getenv("BENCH_MAP_PICTURES"))
            write_png_file(std::string(dir) + "/frame" + std::to_string(cells) + (grids ? "" : "-without-grids") + ".png",
                           context.read_pixels(false));
    }
    double cpu = ProcessCpuMs();
    for (auto _ : state) {
        if (first) {
            state.PauseTiming();
            if (renderer) renderer->release();
            renderer = std::make_unique<map_renderer>(&m.store);
            renderer->set_gl(&context.gl());
            state.ResumeTiming();
        }
        renderer->draw(scene, camera.projection(kViewWidth, kViewHeight), camera.model_view(), kViewWidth, kViewHeight);
        context.gl().Finish();
    }
    state.counters["cpu_all_threads_ms"] = benchmark::Counter((ProcessCpuMs() - cpu) / double(state.iterations()));
    if (!first) state.counters["budget_ms"] = cells == 192 ? 33 : 150;
    state.SetLabel("wall, " + Threads());
    renderer->release();
}

void BM_SteadyFrame192(benchmark::State& state) { Frame(state, 192, false); }
void BM_FirstFrame192(benchmark::State& state) { Frame(state, 192, true); }
void BM_SteadyFrame192WithoutGrids(benchmark::State& state) { Frame(state, 192, false, false); }
void BM_SteadyFrame512(benchmark::State& state) { Frame(state, 512, false); }
void BM_FirstFrame512(benchmark::State& state) { Frame(state, 512, true); }

void BM_DragStepRadius16(benchmark::State& state)
{
    TMeshMap map = default_mesh_map(192, 192);
    map_band band;
    band_brush(map, 96, 96, map_brush{16, 0.5, 0.5}, band);
    map_drag drag(map, band, MAP_DRAG_WEIGHTED, {MAP_GRID_RENDER, MAP_GRID_PHYSICAL}, 96 * 192 + 96, 16);
    double d = 0;
    for (auto _ : state) {
        d += 0.01;
        benchmark::DoNotOptimize(drag.step(map, d));
    }
    state.counters["cells"] = double(band.size());
}

void BM_BandBrushRadius16(benchmark::State& state)
{
    TMeshMap map = default_mesh_map(192, 192);
    for (auto _ : state) {
        map_band band;
        band_brush(map, 96, 96, map_brush{16, 0.5, 0.5}, band);
        benchmark::DoNotOptimize(band.size());
    }
}

void BM_Pick(benchmark::State& state)
{
    bench_map& m = Map(192);
    map_camera camera = map_camera::for_map(m.map);
    std::vector<map_box> boxes;
    for (const marker_data& marker : m.map.fMarkers) boxes.push_back(marker_symbol_box(marker));
    int i = 0;
    for (auto _ : state) {
        vec3 origin, direction;
        camera.ray(200 + (i * 37) % 600, 200 + (i * 53) % 400, kViewWidth, kViewHeight, origin, direction);
        grid_point p;
        benchmark::DoNotOptimize(pick_grid(m.map, MAP_GRID_RENDER, origin, direction, p));
        benchmark::DoNotOptimize(pick_marker(boxes, origin, direction));
        ++i;
    }
}

// render-map's work for a 512 x 512 map in top view: context, drawing, read-back.
void BM_RenderMapTop512(benchmark::State& state)
{
    bench_map& m = Map(512);
    map_display_state display;
    display.grid_shown[2] = false;
    map_scene scene;
    scene.map = &m.map;
    scene.display = &display;
    for (auto _ : state) {
        auto context = offscreen_context::create(1024, 1024);
        map_renderer renderer(&m.store);
        renderer.set_gl(&context->gl());
        renderer.draw_top_view(scene, 1024, 1024);
        benchmark::DoNotOptimize(context->read_pixels(false));
        renderer.release();
    }
}

// The reference: the same 1024 colour map tiles decoded with libjpeg alone.
void BM_DecodeTiles512Reference(benchmark::State& state)
{
    bench_map& m = Map(512);
    uint32_t size = 0;
    const uint8_t* data = tag_get_data(m.stack, &size);
    uint32_t stacks = txst_stored_stack_count(data, size);
    texture_image image;
    for (auto _ : state) {
        for (uint32_t s = 0; s < stacks; ++s) {
            txst_texture_header header;
            const uint8_t* pixels = nullptr;
            txst_stored_texture(data, size, s, 0, &header, &pixels);
            jpeg_decode_options options;
            options.smooth = false;
            jpeg_decode(pixels, header.data_size, options, image);
        }
        benchmark::DoNotOptimize(image.pixels.data());
    }
}

} // namespace

BENCHMARK(BM_SteadyFrame192)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_FirstFrame192)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_SteadyFrame192WithoutGrids)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SteadyFrame512)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_FirstFrame512)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_DragStepRadius16)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BandBrushRadius16)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Pick)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RenderMapTop512)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_DecodeTiles512Reference)->Unit(benchmark::kMillisecond)->Iterations(5);

BENCHMARK_MAIN();
