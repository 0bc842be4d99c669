// Terrain import and collapse, each beside the JPEG work it cannot avoid, done with
// libjpeg directly in the same run.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <malloc.h>

#include "bench_support.h"
#include "framework/XGFile.h"
#include "tags/tags.h"
#include "texture/ctd.h"
#include "texture/jpeg_codec.h"
#include "texture/psd_writer.h"
#include "texture/texture_import.h"
#include "texture/texture_pixels.h"
#include "texture/txst_format.h"

namespace {

constexpr uint32_t kSide = 4032; // 32 x 32 tiles
constexpr int kDetailLayers = 8;

const BenchFolder& Folder()
{
    static BenchFolder folder;
    return folder;
}

// A 4032 x 4032 layered image: a colour layer and 8 layers whose masks cover parts of it.
const std::string& ImagePath()
{
    static std::string path = [] {
        std::vector<float> wave_x(kSide), wave_y(kSide);
        std::vector<psd_layer_source> layers(1);
        psd_layer_source& ground = layers[0];
        ground.name = "ground";
        ground.bounds = {0, 0, int32_t(kSide), int32_t(kSide)};
        for (auto* plane : {&ground.red, &ground.green, &ground.blue}) plane->resize(size_t(kSide) * kSide);
        for (uint32_t y = 0; y < kSide; ++y)
            for (uint32_t x = 0; x < kSide; ++x) {
                const size_t i = size_t(y) * kSide + x;
                const uint32_t noise = (x * 2654435761u ^ y * 40503u) >> 28;
                ground.red[i] = uint8_t(100 + 60 * std::sin(x * 0.01f) * std::cos(y * 0.013f) + noise);
                ground.green[i] = uint8_t(120 + 50 * std::sin(y * 0.007f + 1) + noise);
                ground.blue[i] = uint8_t(70 + ((x + y) >> 6) % 40 + noise);
            }
        for (int n = 0; n < kDetailLayers; ++n) {
            psd_layer_source layer;
            layer.name = "detail " + std::to_string(n);
            layer.bounds = {0, 0, 16, 16};
            layer.red = layer.green = layer.blue = std::vector<uint8_t>(256, uint8_t(40 * n));
            layer.has_mask = true;
            layer.mask_bounds = {0, 0, int32_t(kSide), int32_t(kSide)};
            for (uint32_t i = 0; i < kSide; ++i) {
                wave_x[i] = std::sin(i * (0.002f + 0.0007f * n) + n);
                wave_y[i] = std::cos(i * (0.0015f + 0.0005f * n) + 2 * n);
            }
            layer.mask.resize(size_t(kSide) * kSide);
            for (uint32_t y = 0; y < kSide; ++y)
                for (uint32_t x = 0; x < kSide; ++x) {
                    const float v = (wave_x[x] * wave_y[y] - 0.1f) * 700.0f;
                    layer.mask[size_t(y) * kSide + x] = uint8_t(v < 0 ? 0 : v > 255 ? 255 : v);
                }
            layers.push_back(std::move(layer));
        }
        std::vector<uint8_t> bytes = write_layered_image(kSide, kSide, layers, true);
        std::string file = Folder().path() + "/terrain.psd";
        XGFile out(file);
        out.Create();
        out.Write(bytes.data(), bytes.size());
        out.Close();
        return file;
    }();
    return path;
}

struct CollapseInput {
    TTagStore store;
    tag_file* file = nullptr;
    std::unique_ptr<texture_set> terrain, detail;
};

// The import's result as a terrain stack tag, and 8 detail textures.
CollapseInput& Input()
{
    static CollapseInput in;
    static bool made = [] {
        in.file = in.store.new_tag_file();
        in.terrain = import_terrain_file(ImagePath());
        in.detail = create_texture_set(kDetailLayers);
        for (int n = 0; n < kDetailLayers; ++n) {
            auto t = std::make_unique<stacked_texture>();
            t->width = t->height = 256;
            t->channels = 3;
            t->use = TEXTURE_USE_DETAIL_TEXTURE;
            t->layer = uint8_t(n);
            for (uint32_t y = 0; y < 256; ++y)
                for (uint32_t x = 0; x < 256; ++x)
                    t->compressed_data.insert(t->compressed_data.end(),
                                              {uint8_t(x ^ y), uint8_t(x * n), uint8_t(y + 40 * n)});
            recompress_texture(*t, 85);
            insert_texture(in.detail.get(), uint32_t(n), 0, std::move(t));
        }
        auto add = [&](const char* id, texture_set& set) {
            tag_entry* e = in.store.create_tag(in.file, "txst"_4cc, text_to_tag_code(id), 1, id, 0, 0, nullptr);
            if (!e || !write_texture_set(e, set)) std::abort();
        };
        add("terr", *in.terrain);
        add("detl", *in.detail);
        return true;
    }();
    (void)made;
    return in;
}

// Reference: every input texture of both stacks decoded once, 1024 tiles encoded at 94.
size_t ReferenceWork(CollapseInput& in, benchmark::State& state)
{
    size_t decoded = 0;
    std::vector<texture_image> colour;
    for (const texture_set* set : {in.terrain.get(), in.detail.get()})
        for (const texture_stack_entry& stack : set->stacks)
            for (const auto& t : stack.textures) {
                texture_image image;
                jpeg_decode_options options;
                options.channels = t->channels;
                options.smooth = set == in.terrain.get();
                if (!jpeg_decode(t->compressed_data.data(), t->compressed_data.size(), options, image))
                    state.SkipWithError("decode failed");
                ++decoded;
                if (set == in.terrain.get() && t->channels == 3) colour.push_back(std::move(image));
            }
    for (const texture_image& image : colour)
        benchmark::DoNotOptimize(jpeg_encode(image.pixels.data(), image.width, image.height, 3, 94));
    return decoded;
}

void CollapseWork(CollapseInput& in, TTerrainCollapser& collapser)
{
    tag_entry* made = collapser.Collapse(in.file, "terr"_4cc, "detl"_4cc);
    in.store.delete_tag(made);
}

double ThreadMilliseconds()
{
    timespec t;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

void BM_CollapseTerrain_LibjpegReference(benchmark::State& state)
{
    CollapseInput& in = Input();
    size_t decoded = 0;
    for (auto _ : state) decoded = ReferenceWork(in, state);
    state.counters["textures_decoded"] = double(decoded);
}
BENCHMARK(BM_CollapseTerrain_LibjpegReference)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_CollapseTerrain(benchmark::State& state)
{
    CollapseInput& in = Input();
    TTerrainCollapser collapser;
    for (auto _ : state) CollapseWork(in, collapser);
    size_t masks = 0;
    for (const texture_stack_entry& stack : in.terrain->stacks) masks += stack.textures.size() - 1;
    state.counters["tiles"] = double(in.terrain->stack_count());
    state.counters["masks"] = double(masks);
}
BENCHMARK(BM_CollapseTerrain)->Unit(benchmark::kMillisecond)->Iterations(3);

// The two in turns, so that both see the same load on a shared machine: the median of the
// ratios of their processor times.
void BM_CollapseTerrain_RatioToReference(benchmark::State& state)
{
    CollapseInput& in = Input();
    TTerrainCollapser collapser;
    std::vector<double> ratios;
    for (auto _ : state) {
        const double t0 = ThreadMilliseconds();
        ReferenceWork(in, state);
        const double t1 = ThreadMilliseconds();
        CollapseWork(in, collapser);
        const double t2 = ThreadMilliseconds();
        ratios.push_back((t2 - t1) / (t1 - t0));
    }
    std::sort(ratios.begin(), ratios.end());
    state.counters["ratio_median"] = ratios[ratios.size() / 2];
    state.counters["ratio_best"] = ratios.front();
}
BENCHMARK(BM_CollapseTerrain_RatioToReference)->Unit(benchmark::kMillisecond)->Iterations(7);

// The tiles of the import's result, decoded: the reference encodes them as the import must.
const std::vector<texture_image>& ImportedTiles()
{
    static const std::vector<texture_image> tiles = [] {
        std::vector<texture_image> decoded;
        for (const texture_stack_entry& stack : Input().terrain->stacks)
            for (const auto& t : stack.textures) decoded.push_back(decode_texture_or_fail(*t, true));
        return decoded;
    }();
    return tiles;
}

// Reference: the JPEG encoding the import does, the same tiles at quality 85.
void JpegEncodingOnly()
{
    for (const texture_image& image : ImportedTiles())
        benchmark::DoNotOptimize(jpeg_encode(image.pixels.data(), image.width, image.height, image.channels, 85));
}

size_t ImportWork(const std::string& path)
{
    auto set = import_terrain_file(path);
    size_t textures = 0;
    for (const texture_stack_entry& stack : set->stacks) textures += stack.textures.size();
    return textures;
}

void BM_ImportTerrain_JpegEncodingOnly(benchmark::State& state)
{
    ImportedTiles();
    for (auto _ : state) JpegEncodingOnly();
    state.counters["textures"] = double(ImportedTiles().size());
}
BENCHMARK(BM_ImportTerrain_JpegEncodingOnly)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_ImportTerrain(benchmark::State& state)
{
    const std::string& path = ImagePath();
    size_t textures = 0;
    for (auto _ : state) textures = ImportWork(path);
    state.counters["textures"] = double(textures);
    state.counters["file_MB"] = double(std::filesystem::file_size(path)) / (1 << 20);
}
BENCHMARK(BM_ImportTerrain)->Unit(benchmark::kMillisecond)->Iterations(3);

// The two in turns, by processor time (the import's page faults included), and the
// import's peak memory above what the process held before it.
void BM_ImportTerrain_RatioToReference(benchmark::State& state)
{
    const std::string& path = ImagePath();
    ImportedTiles();
    std::vector<double> ratios;
    size_t growth = 0;
    for (auto _ : state) {
        const double t0 = ThreadMilliseconds();
        JpegEncodingOnly();
        const double t1 = ThreadMilliseconds();
        malloc_trim(0);
        reset_peak_memory();
        const size_t before = peak_memory();
        if (ImportWork(path) != ImportedTiles().size()) state.SkipWithError("textures missing");
        const double t2 = ThreadMilliseconds();
        const size_t after = peak_memory();
        growth = std::max(growth, after > before ? after - before : 0);
        ratios.push_back((t2 - t1) / (t1 - t0));
    }
    std::sort(ratios.begin(), ratios.end());
    state.counters["ratio_median"] = ratios[ratios.size() / 2];
    state.counters["ratio_best"] = ratios.front();
    state.counters["peak_MB_above_start"] = double(growth) / (1 << 20);
}
BENCHMARK(BM_ImportTerrain_RatioToReference)->Unit(benchmark::kMillisecond)->Iterations(7);

} // namespace

BENCHMARK_MAIN();
