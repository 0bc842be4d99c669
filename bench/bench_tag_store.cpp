// Loading a data folder and rewriting a large tag file, each in turns with a plain-I/O
// reference; Import Raw of files named alike in turns with files named apart.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <malloc.h>
#include <sys/stat.h>
#include <memory>
#include <unistd.h>
#include <vector>

#include "bench_support.h"
#include "tags/tag_file_format.h"
#include "tags/tags.h"

namespace {

constexpr int kFiles = 200;
constexpr int kTagsPerFile = 100;
constexpr uint32_t kSmallTag = 200;
constexpr int kLargeTags = 200;
constexpr uint32_t kLargeTag = 1 << 20;

const BenchFolder& Folder()
{
    static BenchFolder folder;
    return folder;
}

std::string LoadFolder()
{
    static std::string path = [] {
        std::string dir = Folder().path() + "/plugins";
        ::mkdir(dir.c_str(), 0755);
        std::vector<uint8_t> data(kSmallTag, 0x5A);
        TTagStore store;
        for (int i = 0; i < kFiles; ++i) {
            tag_file* f = store.new_tag_file();
            for (int k = 0; k < kTagsPerFile; ++k) {
                tag_code type = "soun"_4cc + (k % 7);
                tag_code id = 0x61616161 + (uint32_t(i) << 8) + uint32_t(k);
                store.create_tag(f, type, id, 1, "a tag of the benchmark", 0, kSmallTag, data.data());
            }
            char name[64];
            std::snprintf(name, sizeof name, "/file%03d.tag", i);
            if (!write_tag_file(f, dir + name, TAG_FILE_TYPE_PLUGIN, true)) std::abort();
        }
        return dir;
    }();
    return path;
}

std::string LargeFile()
{
    static std::string path = [] {
        std::string file = Folder().path() + "/large.tag";
        std::vector<uint8_t> data(kLargeTag);
        for (size_t i = 0; i < data.size(); ++i) data[i] = uint8_t(i * 31 + (i >> 9));
        TTagStore store;
        tag_file* f = store.new_tag_file();
        for (int k = 0; k < kLargeTags; ++k)
            store.create_tag(f, "rawd"_4cc, 0x61616100 + uint32_t(k), 1, "one megabyte", 0, kLargeTag, data.data());
        if (!write_tag_file(f, file, TAG_FILE_TYPE_PLUGIN, true)) std::abort();
        return file;
    }();
    return path;
}

// Reference: list the folder and read the same header bytes with plain reads. Gives
// the number of files read.
int PlainHeaderPass(const std::string& dir, std::vector<uint8_t>& buffer, benchmark::State& state)
{
    DIR* d = ::opendir(dir.c_str());
    int files = 0;
    while (dirent* entry = ::readdir(d)) {
        if (entry->d_name[0] == '.') continue;
        std::string path = dir + "/" + entry->d_name;
        int fd = ::open(path.c_str(), O_RDONLY);
        if (fd < 0 || ::read(fd, buffer.data(), 128) != 128 ||
            ::read(fd, buffer.data() + 128, 64 * kTagsPerFile) != 64 * kTagsPerFile)
            state.SkipWithError("read failed");
        ::close(fd);
        benchmark::DoNotOptimize(buffer.data());
        ++files;
    }
    ::closedir(d);
    return files;
}

void BM_LoadFolder_PlainHeaderReads(benchmark::State& state)
{
    std::string dir = LoadFolder();
    std::vector<uint8_t> buffer(128 + 64 * kTagsPerFile);
    for (auto _ : state)
        if (PlainHeaderPass(dir, buffer, state) != kFiles) state.SkipWithError("files missing");
    state.counters["tags"] = kFiles * kTagsPerFile;
}
BENCHMARK(BM_LoadFolder_PlainHeaderReads)->Unit(benchmark::kMillisecond);

// The tags of a loaded store, and how many of them hold their data in memory.
std::pair<size_t, size_t> CountTags(TTagStore& store)
{
    size_t tags = 0, loaded = 0;
    for (tag_entry* e = store.next_entry(nullptr); e; e = store.next_entry(e)) {
        ++tags;
        if (e->data) ++loaded;
    }
    return {tags, loaded};
}

void BM_LoadFolder_TagStore(benchmark::State& state)
{
    std::string dir = LoadFolder();
    std::pair<size_t, size_t> counts;
    for (auto _ : state) {
        auto store = std::make_unique<TTagStore>();
        store->load_folder(dir, true);
        state.PauseTiming();
        counts = CountTags(*store);
        store.reset();
        state.ResumeTiming();
    }
    if (counts.first != size_t(kFiles) * kTagsPerFile) state.SkipWithError("tags missing");
    state.counters["tags"] = double(counts.first);
    state.counters["tags_with_data_in_memory"] = double(counts.second);
}
BENCHMARK(BM_LoadFolder_TagStore)->Unit(benchmark::kMillisecond);

// The two in turns, so that both meet the same load on a shared machine: each round
// times five passes of the reference and then five loads, and the counters give the
// median and best of the rounds' ratios.
void BM_LoadFolder_RatioToReference(benchmark::State& state)
{
    using clock = std::chrono::steady_clock;
    std::string dir = LoadFolder();
    std::vector<uint8_t> buffer(128 + 64 * kTagsPerFile);
    std::vector<double> ratios;
    constexpr int kPasses = 5;
    for (auto _ : state) {
        auto t0 = clock::now();
        for (int pass = 0; pass < kPasses; ++pass) PlainHeaderPass(dir, buffer, state);
        std::chrono::duration<double> reference = clock::now() - t0, loads{};
        for (int pass = 0; pass < kPasses; ++pass) {
            auto t1 = clock::now();
            auto store = std::make_unique<TTagStore>();
            store->load_folder(dir, true);
            loads += clock::now() - t1;
            if (CountTags(*store).first != size_t(kFiles) * kTagsPerFile) state.SkipWithError("tags missing");
        }
        ratios.push_back(loads / reference);
    }
    std::sort(ratios.begin(), ratios.end());
    state.counters["ratio_median"] = ratios[ratios.size() / 2];
    state.counters["ratio_best"] = ratios.front();
}
BENCHMARK(BM_LoadFolder_RatioToReference)->Unit(benchmark::kMillisecond)->Iterations(41);

// Each run works on a fresh copy of the large file, made outside the timing, so that
// neither side meets pages of an earlier run still being written back.
std::string FreshWorkFile(std::vector<uint8_t>& buffer)
{
    std::string work = Folder().path() + "/work.tag";
    ::unlink(work.c_str());
    plain_copy_file(LargeFile(), work, buffer);
    return work;
}

// The store rewrites the file whole (reads every tag, writes a temporary file with both
// checksums and puts it in the file's place) in turns with copying the same file with plain
// reads and writes. Its peak memory counts from before the file is opened.
void BM_Rewrite200MB_RatioToPlainCopy(benchmark::State& state)
{
    std::vector<uint8_t> buffer(kLargeTag);
    const std::string target = Folder().path() + "/copy.tag";
    BenchTurns turns;
    size_t peak = 0;
    for (auto _ : state) {
        std::string work = FreshWorkFile(buffer);
        ::unlink(target.c_str());
        bench_timing copy = time_of([&] { plain_copy_file(work, target, buffer); });

        work = FreshWorkFile(buffer);
        malloc_trim(0);
        reset_peak_memory();
        const size_t before = peak_memory();
        bench_timing rewrite = time_of([&] {
            TTagStore store;
            tag_file* f = store.open_tag_file(work, false);
            if (!f) return state.SkipWithError("open failed");
            f->needupdate = f->needrewrite = true; // a layout change: the whole file is written
            store.save_tag_file(f);
        });
        const size_t after = peak_memory();
        peak = std::max(peak, after > before ? after - before : 0);
        turns.add(rewrite, copy);
    }
    ::unlink(target.c_str());
    turns.report(state);
    state.counters["peak_extra_MB"] = double(peak) / (1 << 20);
}
BENCHMARK(BM_Rewrite200MB_RatioToPlainCopy)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(7);

constexpr int kImported = 4000;

// 4,000 small files named alike (frame0001.bin ... give one first id) or each named apart.
const std::vector<std::string>& RawFiles(bool alike)
{
    static std::vector<std::string> lists[2];
    std::vector<std::string>& paths = lists[alike];
    if (paths.empty()) {
        std::string dir = Folder().path() + (alike ? "/alike" : "/apart");
        ::mkdir(dir.c_str(), 0755);
        for (int i = 0; i < kImported; ++i) {
            char name[64];
            if (alike) std::snprintf(name, sizeof name, "/frame%04d.bin", i + 1);
            else std::snprintf(name, sizeof name, "/%c%c%c%c.bin", 'a' + i % 26, 'a' + i / 26 % 26, 'a' + i / 676 % 26, 'k');
            paths.push_back(dir + name);
            int fd = ::open(paths.back().c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            if (fd < 0 || ::write(fd, name, 16) != 16) std::abort();
            ::close(fd);
        }
    }
    return paths;
}

void ImportRaw(bool alike, benchmark::State& state)
{
    TTagStore store;
    tag_file* f = store.new_tag_file();
    for (const std::string& path : RawFiles(alike))
        if (!store.import_raw_file(f, path)) state.SkipWithError("not imported");
}

// Import Raw of 4,000 files whose names give one id, in turns with 4,000 named apart: each
// new tag's id must not cost a walk over every id taken before it.
void BM_ImportRaw4000_AlikeToApart(benchmark::State& state)
{
    RawFiles(true);
    RawFiles(false);
    BenchTurns turns;
    for (auto _ : state) {
        bench_timing apart = time_of([&] { ImportRaw(false, state); });
        bench_timing alike = time_of([&] { ImportRaw(true, state); });
        turns.add(alike, apart);
    }
    turns.report(state);
}
BENCHMARK(BM_ImportRaw4000_AlikeToApart)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(15);

} // namespace

BENCHMARK_MAIN();
