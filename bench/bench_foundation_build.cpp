// The foundation build of 32,000 tags of 10 KB that all have dependency hooks, in turns with
// copying the same files with plain reads and writes; and Update Tag Formats over 20,000
// current tags beside a plain walk over them.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <malloc.h>
#include <memory>
#include <vector>

#include "bench_support.h"
#include "build/foundation_build.h"
#include "build/tag_format_update.h"
#include "map/mesh_map.h"
#include "tags/gameplay/gameplay.h"
#include "tags/tag_file_format.h"
#include "tags/tag_types.h"

namespace {

constexpr int kMaps = 80;
constexpr int kUnitsPerMap = 100;
constexpr uint32_t kTagSize = 10240;

const BenchFolder& Folder()
{
    static BenchFolder folder;
    return folder;
}

// kind and n in three base-36 digits
tag_code Id(char kind, int n)
{
    const char* digits = "0123456789abcdefghijklmnopqrstuvwxyz";
    char text[5] = {kind, digits[(n / 1296) % 36], digits[(n / 36) % 36], digits[n % 36], 0};
    return text_to_tag_code(text);
}

void Write(tag_file* f, const std::string& path)
{
    if (!write_tag_file(f, path, TAG_FILE_TYPE_PLUGIN, true)) std::abort();
}

// A tag of 10 KB: the structure, then filler.
template <class T>
void Add(TTagStore& store, tag_file* f, tag_code type, tag_code id, int16_t version, const T& s)
{
    std::vector<uint8_t> bytes = tag_struct_bytes(s);
    bytes.resize(kTagSize, uint8_t(id));
    store.create_tag(f, type, id, version, "bench", 0, kTagSize, bytes.data());
}

// 32,000 tags of 10 KB, every one with a dependency hook that reads it: map i places units
// of its own group, each referencing a monster, its projectile and the projectile's hit;
// the odd units of each group are also placed by the next map, so that half of them and
// what they reference are shared.
struct data_folder {
    std::string path;
    uint64_t bytes = 0;
    size_t tags = 0;
};

const data_folder& DataFolder()
{
    static data_folder data = [] {
        data_folder d;
        d.path = Folder().path() + "/data";
        std::filesystem::create_directories(d.path + "/plugins");
        std::string roots;
        TTagStore store;
        tag_file* maps = store.new_tag_file();
        for (int m = 0; m < kMaps; ++m) {
            tag_file* group = store.new_tag_file();
            for (int u = 0; u < kUnitsPerMap; ++u) {
                int n = m * kUnitsPerMap + u;
                unit_definition unit{};
                tag_struct_defaults(unit);
                unit.monster_tag = Id('m', n);
                Add(store, group, "unit"_4cc, Id('u', n), 2, unit);
                monster_definition monster{};
                tag_struct_defaults(monster);
                monster.attack_count = 1;
                monster.attacks[0].projectile_tag = Id('p', n);
                Add(store, group, "mons"_4cc, Id('m', n), 1, monster);
                projectile_definition projectile{};
                projectile.projectile_group_tag = Id('g', n);
                Add(store, group, "proj"_4cc, Id('p', n), 2, projectile);
                projectile_group_definition hit{};
                tag_struct_defaults(hit);
                Add(store, group, "prgr"_4cc, Id('g', n), 1, hit);
            }
            char name[64];
            std::snprintf(name, sizeof name, "/plugins/group%03d.tag", m);
            Write(group, d.path + name);
            store.close_tag_file(group);

            TMeshMap map = default_mesh_map(32, 32);
            for (int u = 0; u < kUnitsPerMap; ++u) {
                marker_palette_entry p{};
                p.type = 3;
                p.tag = Id('u', m * kUnitsPerMap + u);
                map.fPalette.push_back(p);
                if (u % 2) {
                    p.tag = Id('u', ((m + kMaps - 1) % kMaps) * kUnitsPerMap + u);
                    map.fPalette.push_back(p);
                }
            }
            std::vector<uint8_t> mesh = map_tag_bytes(map);
            store.create_tag(maps, "mesh"_4cc, Id('w', m), 11, "map", 0, uint32_t(mesh.size()), mesh.data());
            roots += "mesh:" + tag_code_to_text(Id('w', m)) + "\n";
        }
        Write(maps, d.path + "/plugins/maps.tag");
        for (const auto& file : std::filesystem::recursive_directory_iterator(d.path))
            if (file.is_regular_file()) d.bytes += file.file_size();
        d.tags = size_t(kMaps) * (kUnitsPerMap * 4 + 1);
        std::FILE* list = std::fopen((d.path + "/roots.txt").c_str(), "w");
        std::fputs(roots.c_str(), list);
        std::fclose(list);
        return d;
    }();
    return data;
}

// The data folder's files copied with plain reads and writes.
void PlainCopy(const data_folder& d, std::vector<uint8_t>& buffer)
{
    std::string target = Folder().path() + "/copy";
    for (const auto& file : std::filesystem::directory_iterator(d.path + "/plugins"))
        plain_copy_file(file.path().string(), target + "/" + file.path().filename().string(), buffer);
}

// The build of the loaded store (walk, distribution, the three outputs with the log) in
// turns with copying the same bytes. The store is loaded outside the timing; the build's
// peak memory counts from there.
void BM_FoundationBuild_RatioToPlainCopy(benchmark::State& state)
{
    const data_folder& d = DataFolder();
    std::vector<uint8_t> buffer(1 << 20);
    BenchTurns turns;
    size_t peak = 0, collected = 0;
    uint64_t outputs = 0;
    for (auto _ : state) {
        std::filesystem::remove_all(Folder().path() + "/copy");
        std::filesystem::create_directories(Folder().path() + "/copy");
        bench_timing copy = time_of([&] { PlainCopy(d, buffer); });

        std::filesystem::remove_all(Folder().path() + "/foundation_build");
        auto store = std::make_unique<TTagStore>();
        store->load_data_folder(d.path);
        malloc_trim(0);
        reset_peak_memory();
        const size_t before = peak_memory();
        foundation_build_result r;
        bench_timing build = time_of([&] { r = build_foundation(*store, d.path + "/roots.txt", Folder().path()); });
        const size_t after = peak_memory();
        if (!r.finished) state.SkipWithError(r.failure.c_str());
        peak = std::max(peak, after > before ? after - before : 0);
        collected = r.collected;
        outputs = 0;
        for (const char* name : {"small.tag", "small_localized.tag", "large.tag"})
            outputs += std::filesystem::file_size(r.folder + "/" + name);
        turns.add(build, copy);
    }
    std::filesystem::remove_all(Folder().path() + "/copy");
    if (collected != d.tags) state.SkipWithError(("tags missing from the outputs: " + std::to_string(collected)).c_str());
    turns.report(state);
    state.counters["tags"] = double(collected);
    state.counters["MB"] = double(d.bytes) / (1 << 20);
    state.counters["outputs_MB"] = double(outputs) / (1 << 20);
    state.counters["peak_extra_MB"] = double(peak) / (1 << 20);
}
BENCHMARK(BM_FoundationBuild_RatioToPlainCopy)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(7);

constexpr int kUpdateFiles = 20;
constexpr int kUpdateTagsPerFile = 1000;

std::string UpdateFolder()
{
    static std::string path = [] {
        std::string dir = Folder().path() + "/update";
        std::filesystem::create_directories(dir + "/plugins");
        TTagStore store;
        std::vector<uint8_t> unit(128, 0xFF), monster(1024, 0);
        for (int i = 0; i < kUpdateFiles; ++i) {
            tag_file* f = store.new_tag_file();
            for (int k = 0; k < kUpdateTagsPerFile; ++k) {
                int n = i * kUpdateTagsPerFile + k;
                if (k % 2) store.create_tag(f, "unit"_4cc, Id('u', n), 2, "unit", 0, 128, unit.data());
                else store.create_tag(f, "mons"_4cc, Id('m', n), 1, "monster", 0, 1024, monster.data());
            }
            char name[64];
            std::snprintf(name, sizeof name, "/plugins/file%02d.tag", i);
            Write(f, dir + name);
        }
        return dir;
    }();
    return path;
}

// Reference: a walk over the same tags that only reads their versions.
void BM_UpdateFormats_PlainWalk(benchmark::State& state)
{
    TTagStore store;
    store.load_data_folder(UpdateFolder());
    for (auto _ : state) {
        int current = 0;
        for (tag_entry* e = store.next_entry(nullptr); e; e = store.next_entry(e))
            current += e->version == tag_type_version(e->group->type);
        benchmark::DoNotOptimize(current);
    }
    state.counters["tags"] = kUpdateFiles * kUpdateTagsPerFile;
}
BENCHMARK(BM_UpdateFormats_PlainWalk)->Unit(benchmark::kMicrosecond);

void BM_UpdateFormats_NothingOld(benchmark::State& state)
{
    TTagStore store;
    store.load_data_folder(UpdateFolder());
    size_t saved = 0, changed = 0;
    for (auto _ : state) {
        tag_format_update_report report = update_all_tag_formats(store);
        saved += report.saved_files.size();
        changed += report.changed_files.size();
    }
    size_t loaded = 0;
    for (tag_entry* e = store.next_entry(nullptr); e; e = store.next_entry(e)) loaded += e->data != nullptr;
    if (saved || changed || loaded) state.SkipWithError("tags were read or files saved");
    state.counters["tags"] = kUpdateFiles * kUpdateTagsPerFile;
    state.counters["tags_read"] = double(loaded);
    state.counters["files_saved"] = double(saved);
}
BENCHMARK(BM_UpdateFormats_NothingOld)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
