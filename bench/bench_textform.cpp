// Tags as text over a data folder of 20,000 tags: dump and load of every tag beside reading
// and writing the same bytes through the store; check beside the foundation build's walk
// over the same tags.
#include <benchmark/benchmark.h>

#include <cstring>
#include <filesystem>
#include <memory>

#include "bench_support.h"
#include "build/foundation_build.h"
#include "build/tag_check.h"
#include "tags/gameplay/gameplay.h"
#include "tags/tag_file_format.h"
#include "textform/tag_json.h"

namespace {

constexpr int kFiles = 20;
constexpr int kChainsPerFile = 200; // five tags each: unit, monster, projectile, group, collection
constexpr uint32_t kCollectionSize = 4096;

const BenchFolder& Folder()
{
    static BenchFolder folder;
    return folder;
}

tag_code Id(char kind, int n)
{
    const char* digits = "0123456789abcdefghijklmnopqrstuvwxyz";
    char text[5] = {kind, digits[(n / 1296) % 36], digits[(n / 36) % 36], digits[n % 36], 0};
    return text_to_tag_code(text);
}

// Each unit names a monster, which names a collection and a projectile, which names a group.
const std::string& DataFolder()
{
    static std::string path = [] {
        std::string dir = Folder().path() + "/data";
        std::filesystem::create_directories(dir + "/plugins");
        std::vector<uint8_t> collection(kCollectionSize);
        for (size_t i = 0; i < collection.size(); ++i) collection[i] = uint8_t(i * 7 + (i >> 8));
        TTagStore store;
        for (int i = 0; i < kFiles; ++i) {
            tag_file* f = store.new_tag_file();
            for (int k = 0; k < kChainsPerFile; ++k) {
                int n = i * kChainsPerFile + k;
                unit_definition unit{};
                tag_struct_defaults(unit);
                unit.monster_tag = Id('m', n);
                store.create_tag(f, "unit"_4cc, Id('u', n), 2, "unit", 0, 128, tag_struct_bytes(unit).data());
                monster_definition monster{};
                tag_struct_defaults(monster);
                monster.collection_tag = Id('c', n);
                monster.pathfinding_radius = int16_t(n);
                monster.attack_count = 1;
                monster.attacks[0].projectile_tag = Id('p', n);
                store.create_tag(f, "mons"_4cc, Id('m', n), 1, "monster", 0, 1024, tag_struct_bytes(monster).data());
                projectile_definition projectile{};
                projectile.projectile_group_tag = Id('g', n);
                store.create_tag(f, "proj"_4cc, Id('p', n), 2, "projectile", 0, 256, tag_struct_bytes(projectile).data());
                projectile_group_definition group{};
                tag_struct_defaults(group);
                store.create_tag(f, "prgr"_4cc, Id('g', n), 1, "group", 0, 512, tag_struct_bytes(group).data());
                store.create_tag(f, ".256"_4cc, Id('c', n), 4, "collection", 0, kCollectionSize, collection.data());
            }
            char name[64];
            std::snprintf(name, sizeof name, "/plugins/file%02d.tag", i);
            if (!write_tag_file(f, dir + name, TAG_FILE_TYPE_PLUGIN, true)) std::abort();
            store.close_tag_file(f);
        }
        return dir;
    }();
    return path;
}

constexpr double kTags = kFiles * kChainsPerFile * 5;

// Writes every tag of the folder into one new file, made by copy, from JSON text, or as given.
template <class Copy>
void Rewrite(benchmark::State& state, Copy copy)
{
    std::string target = Folder().path() + "/out.tag";
    for (auto _ : state) {
        TTagStore store;
        store.load_data_folder(DataFolder());
        tag_file* out = store.new_tag_file();
        std::vector<tag_entry*> tags;
        for (tag_entry* e = store.next_entry(nullptr); e; e = store.next_entry(e))
            if (e->file != out) tags.push_back(e);
        for (tag_entry* e : tags) copy(store, out, e);
        if (!write_tag_file(out, target, TAG_FILE_TYPE_PLUGIN, true)) state.SkipWithError("not written");
    }
    state.counters["tags"] = kTags;
    std::filesystem::remove(target);
}

// Reference: every tag's bytes read and written through the store.
void BM_TagBytes_ReadAndWrite(benchmark::State& state)
{
    Rewrite(state, [](TTagStore& store, tag_file* out, tag_entry* e) {
        uint32_t size = 0;
        const uint8_t* data = tag_get_data(e, &size);
        store.create_tag(out, tag_get_type(e), e->id, e->version, e->name, 0, size, data);
    });
}
BENCHMARK(BM_TagBytes_ReadAndWrite)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3)->Repetitions(3)->ReportAggregatesOnly(true);

// Every tag dumped to JSON text and loaded back from it.
void BM_TagJson_DumpAndLoad(benchmark::State& state)
{
    Rewrite(state, [](TTagStore& store, tag_file* out, tag_entry* e) {
        std::string text = tag_json_text(tag_to_json(e));
        TTagJsonDocument document(text);
        tag_json_tag t = document.Build(nullptr);
        store.create_tag(out, t.type, t.id, t.version, t.name.c_str(), 0, uint32_t(t.data.size()), t.data.data());
    });
}
BENCHMARK(BM_TagJson_DumpAndLoad)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3)->Repetitions(3)->ReportAggregatesOnly(true);

// Reference: the foundation build's walk from every tag of the folder, without its outputs.
void BM_FoundationWalk(benchmark::State& state)
{
    for (auto _ : state) {
        state.PauseTiming();
        TTagStore store;
        store.load_data_folder(DataFolder());
        std::vector<std::pair<tag_code, tag_code>> roots;
        for (tag_entry* e = store.next_entry(nullptr); e; e = store.next_entry(e))
            roots.emplace_back(tag_get_type(e), e->id);
        TFoundationBuild build(store);
        build.begin_foundation_build(Folder().path());
        state.ResumeTiming();
        for (const auto& [type, id] : roots) build.AddDependency(type, id);
        state.PauseTiming();
        if (build.collected().size() != roots.size()) state.SkipWithError("tags missing from the walk");
        state.ResumeTiming();
    }
    state.counters["tags"] = kTags;
}
BENCHMARK(BM_FoundationWalk)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3)->Repetitions(3)->ReportAggregatesOnly(true);

void BM_CheckTags(benchmark::State& state)
{
    size_t problems = 0;
    for (auto _ : state) {
        state.PauseTiming();
        TTagStore store;
        store.load_data_folder(DataFolder());
        state.ResumeTiming();
        problems += check_tags(store).size();
    }
    if (problems) state.SkipWithError("problems found in a clean folder");
    state.counters["tags"] = kTags;
}
BENCHMARK(BM_CheckTags)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3)->Repetitions(3)->ReportAggregatesOnly(true);

} // namespace

BENCHMARK_MAIN();
