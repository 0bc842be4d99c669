// Importing a skeletal model from a skeleton export of 500 to 4000 vertices (about
// twice as many faces), beside a plain parse of the same text. items_per_second
// counts vertices, so equal rates mean time grows in proportion to the vertices.
#include <benchmark/benchmark.h>

#include <map>

#include "bench_support.h"
#include "framework/XGFile.h"
#include "model/skeleton_export_writer.h"
#include "model/skeleton_model_import.h"

namespace {

struct bench_export {
    std::string path;
    std::string text;
    size_t vertices;
};

const bench_export& Export(int vertex_count)
{
    static BenchFolder folder;
    static std::map<int, bench_export> made;
    auto it = made.find(vertex_count);
    if (it != made.end()) return it->second;
    cylinder_export source = make_cylinder_export(cylinder_shape_for(vertex_count));
    bench_export e{folder.path() + "/figure" + std::to_string(vertex_count) + ".skl", source.text,
                   source.positions.size()};
    XGFile out(e.path);
    out.Create();
    out.Write(e.text.data(), e.text.size());
    out.Close();
    return made.emplace(vertex_count, e).first->second;
}

// The whole import: read, parse, build with levels of detail.
void BM_ImportSkeleton(benchmark::State& state)
{
    const bench_export& e = Export(int(state.range(0)));
    size_t faces = 0;
    for (auto _ : state) {
        std::unique_ptr<TSkeletalModel> model = import_skeletal_model(e.path);
        faces = model->levels.back().header.triangle_count;
        benchmark::DoNotOptimize(model.get());
    }
    state.counters["vertices"] = double(e.vertices);
    state.counters["faces"] = double(faces);
    state.SetItemsProcessed(int64_t(state.iterations()) * int64_t(e.vertices));
}

// Reference: only parsing the same text.
void BM_ParseSkeleton(benchmark::State& state)
{
    const bench_export& e = Export(int(state.range(0)));
    for (auto _ : state) {
        TSkeletonFile file;
        file.Parse(e.text, "figure.skl");
        benchmark::DoNotOptimize(file.fFaces.data());
    }
    state.counters["vertices"] = double(e.vertices);
    state.SetItemsProcessed(int64_t(state.iterations()) * int64_t(e.vertices));
}

} // namespace

BENCHMARK(BM_ImportSkeleton)->Arg(500)->Arg(1000)->Arg(2000)->Arg(4000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ParseSkeleton)->Arg(500)->Arg(1000)->Arg(2000)->Arg(4000)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
