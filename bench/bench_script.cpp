// Statistics scripts of 3,000 monsters with four attacks each (15,000 value lines):
// parsing the text in turns with splitting it into words and numbers; exporting and
// importing it in turns with reading and writing the same monster structures.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench_support.h"
#include "script/script.h"
#include "tags/gameplay/mons.h"

namespace {

constexpr int kMonsters = 3000;

const BenchFolder& Folder()
{
    static BenchFolder folder;
    return folder;
}

std::string Path(const char* name)
{
    return Folder().path() + "/" + name;
}

tag_code Id(int n)
{
    char text[5] = {'m', char('a' + n / 676 % 26), char('a' + n / 26 % 26), char('a' + n % 26), 0};
    return text_to_tag_code(text);
}

void AddMonsters(TTagStore& store)
{
    tag_file* f = store.new_tag_file();
    for (int n = 0; n < kMonsters; ++n) {
        monster_definition m{};
        tag_struct_defaults(m);
        m.attack_count = 4;
        m.flags = uint32_t(n) & 0xFFF;
        m.cost = int16_t(n);
        m.turning_speed = uint16_t(n * 7);
        for (monster_attack& a : m.attacks) {
            a.flags_1 = uint16_t(n);
            a.recovery_time = int16_t(n % 90);
            a.maximum_range = int16_t(n);
        }
        std::vector<uint8_t> bytes = tag_struct_bytes(m);
        store.create_tag(f, "mons"_4cc, Id(n), 1, "monster", 0, uint32_t(bytes.size()), bytes.data());
    }
}

// The export script and the statistics text it writes, made once.
const std::string& StatisticsText()
{
    static const std::string path = [] {
        std::string script = "create_monster_stats " + Path("stats.txt") + "\n";
        for (int n = 0; n < kMonsters; ++n) script += "type mons tag " + tag_code_to_text(Id(n)) + "\n";
        std::FILE* out = std::fopen(Path("export.QSF").c_str(), "w");
        std::fputs(script.c_str(), out);
        std::fclose(out);
        TTagStore store;
        AddMonsters(store);
        TScript s;
        s.set_log_path(Path("log.txt"));
        if (!s.load_script(Path("export.QSF")) || !s.run_script(store)) std::abort();
        return Path("stats.txt");
    }();
    return path;
}

// Reads the file and turns every word into a number.
double SplitWords(const std::string& path)
{
    std::FILE* in = std::fopen(path.c_str(), "rb");
    std::string text;
    char buffer[65536];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, in)) > 0;) text.append(buffer, n);
    std::fclose(in);
    double sum = 0;
    for (char* p = text.data(); *p;) {
        while (*p && (*p == ' ' || *p == '\t' || *p == '\n')) ++p;
        char* end = p;
        while (*end && *end != ' ' && *end != '\t' && *end != '\n') ++end;
        char saved = *end;
        *end = 0;
        sum += std::strtod(p, nullptr);
        *end = saved;
        p = end;
    }
    return sum;
}

// Parsing the statistics text in turns with reading the file and turning every word into
// a number.
void BM_ParseStatistics_RatioToSplitWords(benchmark::State& state)
{
    const std::string& path = StatisticsText();
    TScript script;
    BenchTurns turns;
    for (auto _ : state) {
        bench_timing split = time_of([&] { benchmark::DoNotOptimize(SplitWords(path)); });
        bench_timing parse = time_of([&] {
            if (!script.load_script(path)) state.SkipWithError(script.error_text().c_str());
            benchmark::DoNotOptimize(script.definition()->entry_count());
        });
        turns.add(parse, split);
    }
    turns.report(state);
}
BENCHMARK(BM_ParseStatistics_RatioToSplitWords)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(30);

// Exporting and importing the statistics in turns with reading every monster structure
// twice and writing it once, as export and import must, on entries found beforehand.
void BM_ExportAndImport_RatioToStructures(benchmark::State& state)
{
    StatisticsText();
    TTagStore store;
    AddMonsters(store);
    std::vector<tag_entry*> entries;
    for (int n = 0; n < kMonsters; ++n) entries.push_back(store.find_tag("mons"_4cc, Id(n)));
    TScript script;
    script.set_log_path(Path("log.txt"));
    BenchTurns turns;
    for (auto _ : state) {
        bench_timing structures = time_of([&] {
            for (tag_entry* e : entries) {
                monster_definition m;
                if (!read_tag_struct(e, m) || !read_tag_struct(e, m) || !write_tag_struct(e, m))
                    state.SkipWithError("structures");
                benchmark::DoNotOptimize(m);
            }
        });
        bench_timing script_run = time_of([&] {
            if (!script.load_script(Path("export.QSF")) || !script.run_script(store)) state.SkipWithError("export");
            if (!script.load_script(Path("stats.txt")) || !script.run_script(store)) state.SkipWithError("import");
        });
        std::remove(Path("log.txt").c_str());
        turns.add(script_run, structures);
    }
    turns.report(state);
}
BENCHMARK(BM_ExportAndImport_RatioToStructures)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(15);

} // namespace

BENCHMARK_MAIN();
