// Importing a large interface-builder file, beside a plain pass over the same bytes.
#include <benchmark/benchmark.h>

#include <numeric>
#include <string>

#include "shell/cin_file_writer.h"
#include "shell/ditlmaker.h"
#include "tags/tags.h"

namespace {

constexpr int kDialogs = 200;
constexpr int kControls = 120;

const std::vector<uint8_t>& InterfaceFile()
{
    static const std::vector<uint8_t> bytes = [] {
        const tag_code classes[] = {"pbtn"_4cc, "text"_4cc, "list"_4cc, "edit"_4cc, "chkb"_4cc, "head"_4cc};
        TCinWriter w;
        for (int d = 0; d < kDialogs; ++d) {
            std::vector<TCinControl> controls;
            for (int c = 0; c < kControls; ++c)
                controls.push_back(
                    {classes[c % 6], 800 + c, c, c + 1, c + 40, c + 20, "Label number " + std::to_string(c)});
            w.add_dialog("Dialog " + std::to_string(d), "Title", 0, 0, 640, 480, controls);
        }
        return w.bytes();
    }();
    return bytes;
}

void BM_ImportDialogs(benchmark::State& state)
{
    const std::vector<uint8_t>& bytes = InterfaceFile();
    for (auto _ : state) {
        TTagStore store;
        tag_file* f = store.new_tag_file();
        TDialogImportReport report = make_dialog_tags(bytes.data(), bytes.size(), "bench.CIN", f);
        if (report.count(kDialogMade) != kDialogs) state.SkipWithError("import failed");
        benchmark::DoNotOptimize(report);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytes.size()));
}

// Reference: copy the file's bytes once and add them up.
void BM_CopyAndSumReference(benchmark::State& state)
{
    const std::vector<uint8_t>& bytes = InterfaceFile();
    for (auto _ : state) {
        std::vector<uint8_t> copy(bytes);
        benchmark::DoNotOptimize(std::accumulate(copy.begin(), copy.end(), uint64_t(0)));
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytes.size()));
}

} // namespace

BENCHMARK(BM_ImportDialogs)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CopyAndSumReference)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
