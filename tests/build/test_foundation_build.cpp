#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <functional>
#include <map>
#include <ctime>
#include <fcntl.h>
#include <malloc.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "build/foundation_build.h"
#include "framework/XGError.h"
#include "map/mesh_map.h"
#include "support/tag_file_bytes.h"

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QUENCHOLD_ASAN 1
#include <atomic>
#include <sanitizer/allocator_interface.h>
#endif
#endif

namespace {

// A tag of the type with the given references; every other byte zero (no tag).
bytes Refs(size_t size, std::initializer_list<std::pair<size_t, const char*>> refs)
{
    bytes b(size, 0);
    for (auto [offset, id] : refs) put_be32(b, offset, code(id));
    return b;
}

bytes Unit(const char* monster)
{
    return Refs(128, {{0, monster}});
}

bytes Monster(const char* object)
{
    return Refs(1024, {{132, object}});
}

bytes Map(std::initializer_list<const char*> units, const char* title = nullptr)
{
    TMeshMap map = default_mesh_map(32, 32);
    for (const char* unit : units) {
        marker_palette_entry p{};
        p.type = 3;
        p.tag = code(unit);
        map.fPalette.push_back(p);
    }
    if (title) map.fHeader.map_description_tag = code(title);
    map.fHeader.team_count = 6;
    return map_tag_bytes(map);
}

bytes Text(const std::string& s)
{
    return bytes(s.begin(), s.end());
}

// "type:id" of every tag of a written multi-tag file, in file order.
std::vector<std::string> Listing(const std::string& path)
{
    bytes b = read_file(path);
    std::vector<std::string> out;
    if (b.size() < 128) return out;
    size_t table = 128 + 112 * size_t(be16(b, 100));
    for (size_t i = 0; i < be16(b, 102); ++i) {
        size_t at = table + 64 * i;
        out.push_back(tag_code_to_text(be32(b, at + 36)) + ":" + tag_code_to_text(be32(b, at + 40)));
    }
    return out;
}

std::vector<std::string> Lines(const std::string& path)
{
    std::string text = read_text(path);
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t nl; (nl = text.find('\n', start)) != std::string::npos; start = nl + 1)
        lines.push_back(text.substr(start, nl - start));
    EXPECT_EQ(start, text.size()) << "the log ends without a line end";
    return lines;
}

[[maybe_unused]] long StatusKilobytes(const char* field)
{
    std::string status = read_text("/proc/self/status");
    size_t at = status.find(field);
    return at == std::string::npos ? -1 : std::atol(status.c_str() + at + std::strlen(field));
}

#ifdef QUENCHOLD_ASAN
// AddressSanitizer keeps freed blocks resident in its quarantine, so there the peak is
// of the heap bytes not yet freed, taken at every allocation.
std::atomic<size_t> heap_peak{0};

void NoteHeapPeak(const volatile void*, size_t)
{
    size_t now = __sanitizer_get_current_allocated_bytes();
    size_t was = heap_peak.load();
    while (now > was && !heap_peak.compare_exchange_weak(was, now)) {}
}

void NoteFree(const volatile void*) {}
#endif

// The peak resident size that work adds, measured in a child process: a child starts
// with its high-water mark at what it holds when forked.
long PeakMegabytesOf(const std::function<void()>& work)
{
    int pipe_ends[2];
    if (::pipe(pipe_ends) != 0) return -1;
    ::malloc_trim(0); // memory the heap holds free would hide what the work takes
    pid_t child = ::fork();
    if (child == 0) {
#ifdef QUENCHOLD_ASAN
        size_t start = __sanitizer_get_current_allocated_bytes();
        heap_peak = start;
        __sanitizer_install_malloc_and_free_hooks(NoteHeapPeak, NoteFree);
        work();
        long peak = long((heap_peak - start) >> 20);
#else
        long start = StatusKilobytes("VmRSS:");
        work();
        long peak = (StatusKilobytes("VmHWM:") - start) / 1024;
#endif
        (void)!::write(pipe_ends[1], &peak, sizeof peak);
        ::_exit(0);
    }
    ::close(pipe_ends[1]);
    long peak = -1;
    if (::read(pipe_ends[0], &peak, sizeof peak) != sizeof peak) peak = -1;
    ::close(pipe_ends[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    return peak;
}

class Foundation : public ::testing::Test {
protected:
    TempFolder data;
    TTagStore store;

    void SetUp() override
    {
        data.mkdir("tags");
        data.mkdir("plugins");
        data.mkdir("local");
    }

    std::string Folder() const { return data / "foundation_build"; }

    foundation_build_result Build(const std::string& roots)
    {
        write_text(data / "roots.txt", roots);
        return build_foundation(store, data / "roots.txt", data.path());
    }

    void Load() { store.load_data_folder(data.path()); }
};

} // namespace

TEST_F(Foundation, AMissingRootIsLoggedAndNothingIsWritten)
{
    Load();
    foundation_build_result r = Build("soun:nope\n");
    EXPECT_TRUE(r.finished) << r.failure;
    EXPECT_EQ(Lines(Folder() + "/dependency_log.txt"),
              std::vector<std::string>{"missing tag soun/nope (referenced from initial seeding)"});
    for (const char* name : {"small.tag", "small_localized.tag", "large.tag"}) {
        EXPECT_TRUE(Listing(Folder() + "/" + name).empty()) << name;
        EXPECT_EQ(be16(read_file(Folder() + "/" + name), 0), 3) << name;
    }
}

TEST_F(Foundation, TagsGoToSmallLargeOrLocalizedByWhoNeedsThem)
{
    write_file(data / "plugins/maps.tag",
               build_multi_tag_file({{"mesh", "map1", "First Map", 11, Map({"shar", "own1"}, "ttl1")},
                                     {"mesh", "map2", "Second Map", 11, Map({"shar", "own2"})},
                                     {"unit", "shar", "shared unit", 2, Unit("mshr")},
                                     {"unit", "own1", "own unit 1", 2, Unit("mon1")},
                                     {"unit", "own2", "own unit 2", 2, Unit("mon2")},
                                     {"mons", "mshr", "shared monster", 1, Monster("body")},
                                     {"mons", "mon1", "monster 1", 1, Monster("body")},
                                     {"mons", "mon2", "monster 2", 1, Monster("obj2")},
                                     {"obje", "body", "body", 1, bytes(64, 0)},
                                     {"obje", "obj2", "object 2", 1, bytes(64, 0)},
                                     {"unit", "root", "root unit", 2, Unit("")},
                                     {"stli", "ttl1", "title", 1, Text("The First Map\r\nsecond line")},
                                     {".256", "MTit", "title picture", 4, bytes(10, 1)},
                                     {".256", "pict", "picture", 4, bytes(10, 2)},
                                     {"font", "fnt1", "font", 1, bytes(5, 3)}}));
    Load();
    foundation_build_result r = Build("mesh:map1 mesh:map2\tunit:root\n.256:MTit .256:pict font:fnt1");
    ASSERT_TRUE(r.finished) << r.failure;
    EXPECT_EQ(Listing(Folder() + "/large.tag"),
              (std::vector<std::string>{"obje:obj2", "mons:mon1", "mons:mon2", "unit:own1", "unit:own2",
                                        "mesh:map1", "mesh:map2"}));
    EXPECT_EQ(Listing(Folder() + "/small.tag"),
              (std::vector<std::string>{".256:pict", "obje:body", "mons:mshr", "unit:shar", "unit:root"}));
    EXPECT_EQ(Listing(Folder() + "/small_localized.tag"),
              (std::vector<std::string>{"font:fnt1", ".256:MTit", "stli:ttl1"}));
    EXPECT_TRUE(Lines(Folder() + "/dependency_log.txt").empty());
    ASSERT_EQ(r.outputs.size(), 3u);
    EXPECT_EQ(r.outputs[2].name, "large.tag");
    EXPECT_EQ(r.outputs[2].types.front(), std::make_pair(code("obje"), 1));
    EXPECT_EQ(r.collected, 15u);

    bytes large = read_file(Folder() + "/large.tag");
    ASSERT_EQ(be16(large, 100), 2);
    EXPECT_EQ(be32(large, 128), code("map1"));
    EXPECT_EQ(be32(large, 132), 6u);
    EXPECT_STREQ(reinterpret_cast<const char*>(large.data() + 128 + 16), "First Map");
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(large.data() + 128 + 48)), "The First Map");
    EXPECT_EQ(be32(large, 240), code("map2"));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(large.data() + 240 + 48)), "map name string not found");
}

TEST_F(Foundation, ATagNeededByASecondMapIsPromotedWithWhatItReferences)
{
    write_file(data / "plugins/maps.tag",
               build_multi_tag_file({{"mesh", "map1", "one", 11, Map({"unit"})},
                                     {"mesh", "map2", "two", 11, Map({"solo"})},
                                     {"mesh", "map3", "three", 11, Map({"unit"})},
                                     {"unit", "unit", "unit", 2, Unit("mons")},
                                     {"unit", "solo", "solo", 2, Unit("mons")},
                                     {"mons", "mons", "monster", 1, Monster("obje")},
                                     {"obje", "obje", "object", 1, bytes(64, 0)}}));
    Load();
    ASSERT_TRUE(Build("mesh:map1 mesh:map2 mesh:map3 mesh:map1").finished);
    // unit is needed by map1 and map3, its monster and object by map1 and map2
    EXPECT_EQ(Listing(Folder() + "/small.tag"), (std::vector<std::string>{"obje:obje", "mons:mons", "unit:unit"}));
    EXPECT_EQ(Listing(Folder() + "/large.tag"),
              (std::vector<std::string>{"unit:solo", "mesh:map1", "mesh:map2", "mesh:map3"}));
}

TEST_F(Foundation, EveryOutputTagCarriesItsOwnBytes)
{
    // Map i places the units of file i and the odd ones of file i - 1, so small.tag and
    // large.tag take turns through each file; one unit is too large to be read ahead.
    auto unit_id = [](int m, int u) {
        char id[5];
        std::snprintf(id, sizeof id, "u%d%02d", m, u);
        return std::string(id);
    };
    std::vector<test_tag> maps;
    std::map<std::string, bytes> sources;
    for (int m = 0; m < 3; ++m) {
        std::vector<test_tag> units;
        for (int u = 0; u < 40; ++u) {
            const std::string id = unit_id(m, u);
            bytes unit = Unit("");
            unit.resize(m == 1 && u == 7 ? 300000 : 3000 + 977 * size_t(u), 0);
            for (size_t k = 128; k < unit.size(); ++k) unit[k] = uint8_t(k * 31 + u * 7 + m);
            units.push_back({"unit", id, id, 2, unit});
            sources["unit:" + id] = unit;
        }
        write_file(data / ("plugins/units" + std::to_string(m) + ".tag"), build_multi_tag_file(units));
        std::vector<std::string> placed;
        for (int u = 0; u < 40; ++u) {
            placed.push_back(unit_id(m, u));
            if (u % 2) placed.push_back(unit_id((m + 2) % 3, u));
        }
        TMeshMap map = default_mesh_map(32, 32);
        for (const std::string& unit : placed) {
            marker_palette_entry p{};
            p.type = 3;
            p.tag = code(unit.c_str());
            map.fPalette.push_back(p);
        }
        char id[5];
        std::snprintf(id, sizeof id, "map%d", m);
        maps.push_back({"mesh", id, id, 11, map_tag_bytes(map)});
    }
    write_file(data / "plugins/maps.tag", build_multi_tag_file(maps));
    Load();
    foundation_build_result r = Build("mesh:map0 mesh:map1 mesh:map2");
    ASSERT_TRUE(r.finished) << r.failure;

    TTagStore outputs;
    size_t compared = 0;
    for (const char* name : {"small.tag", "large.tag"}) {
        std::string why;
        tag_file* f = outputs.open_tag_file(Folder() + "/" + name, false, &why);
        ASSERT_NE(f, nullptr) << why;
        for (tag_group* g = f->groups; g; g = g->next) {
            if (g->type != code("unit")) continue;
            for (tag_entry* e = g->entries; e; e = e->next) {
                SCOPED_TRACE(std::string(name) + " " + tag_code_to_text(e->id));
                uint32_t size = 0;
                const uint8_t* got = tag_get_data(e, &size);
                ASSERT_NE(got, nullptr);
                EXPECT_EQ(bytes(got, got + size), sources.at("unit:" + tag_code_to_text(e->id)));
                ++compared;
            }
        }
    }
    EXPECT_EQ(compared, sources.size());
}

TEST_F(Foundation, FoundationFilesGiveWayAndDuplicatesAreLogged)
{
    write_file(data / "tags/base.tag",
               build_multi_tag_file({{"obje", "base", "base object", 1, bytes(64, 0)},
                                     {"obje", "both", "base copy", 1, bytes(64, 1)}},
                                    3, 0, "base"));
    write_file(data / "plugins/a.tag", build_multi_tag_file({{"obje", "both", "plugin copy", 1, bytes(64, 2)},
                                                             {"obje", "twin", "twin a", 1, bytes(64, 3)}}));
    write_file(data / "plugins/b.tag", build_multi_tag_file({{"obje", "twin", "twin b", 1, bytes(64, 4)}}));
    write_file(data / "local/short.tag", build_single_tag_file({"mons", "shrt", "short monster", 1, bytes(20, 0)}));
    Load();
    ASSERT_TRUE(Build("obje:base obje:both obje:twin zzzz:what mons:shrt").finished);
    EXPECT_EQ(Lines(Folder() + "/dependency_log.txt"),
              (std::vector<std::string>{
                  "used foundation tag 'base object' (obje/base) in file base.tag (referenced from initial seeding)",
                  "duplicate tag 'twin b' (obje/twin) in file b.tag (referenced from initial seeding)",
                  "duplicate tag 'twin a' (obje/twin) in file a.tag (referenced from initial seeding)",
                  "unknown tag type zzzz of id what (referenced from initial seeding)",
                  "unreadable tag 'short monster' (mons/shrt) in file short.tag (referenced from initial seeding)"}));
    bytes small = read_file(Folder() + "/small.tag");
    EXPECT_EQ(Listing(Folder() + "/small.tag"),
              (std::vector<std::string>{"mons:shrt", "obje:base", "obje:both", "obje:twin"}));
    // the plugin's copy and the later-loaded file's twin were taken
    size_t data_start = 128 + 4 * 64;
    EXPECT_EQ(small[data_start + 20 + 64], 2);
    EXPECT_EQ(small[data_start + 20 + 128], 4);
}

TEST_F(Foundation, ReferencesAreLoggedFromTheTagThatMakesThem)
{
    write_file(data / "plugins/a.tag",
               build_multi_tag_file({{"unit", "wolf", "wolf", 2, Unit("gone")}, {"mesh", "map1", "map", 11, Map({"wolf"})}}));
    Load();
    ASSERT_TRUE(Build("mesh:map1").finished);
    EXPECT_EQ(Lines(Folder() + "/dependency_log.txt"),
              std::vector<std::string>{"missing tag mons/gone (referenced from 'wolf' (unit/wolf) in file a.tag)"});
}

TEST_F(Foundation, TheCollectedListStopsAtItsLimit)
{
    tag_file* f = store.new_tag_file();
    std::string roots;
    uint8_t nothing[64] = {};
    // half of them string lists, so that no output holds more tags than a file can
    for (int i = 0; i <= MAXIMUM_COLLECTED_TAGS + 1; ++i) {
        char id[5];
        std::snprintf(id, sizeof id, "%04x", i);
        const char* type = i % 2 ? "stli" : "obje";
        store.create_tag(f, code(type), code(id), 1, "object", 0, sizeof nothing, nothing);
        roots += std::string(type) + ":" + id + "\n";
    }
    foundation_build_result r = Build(roots);
    ASSERT_TRUE(r.finished) << r.failure;
    EXPECT_EQ(r.collected, size_t(MAXIMUM_COLLECTED_TAGS));
    EXPECT_EQ(Lines(Folder() + "/dependency_log.txt"),
              std::vector<std::string>{"limit of 50000 tags exceeded (referenced from initial seeding)"});
    EXPECT_EQ(Listing(Folder() + "/small.tag").size() + Listing(Folder() + "/small_localized.tag").size(),
              size_t(MAXIMUM_COLLECTED_TAGS));
}

TEST_F(Foundation, AnOutputTooLargeForATagFileIsRefusedBeforeAnythingIsWritten)
{
    tag_file* f = store.new_tag_file();
    std::string roots = "stli:text\n";
    store.create_tag(f, code("stli"), code("text"), 1, "text", 0, 4, "text");
    for (int i = 0; i <= MAXIMUM_TAGS_PER_FILE; ++i) {
        char id[5];
        std::snprintf(id, sizeof id, "%04x", i);
        store.create_tag(f, code("obje"), code(id), 1, "object", 0, 4, "body");
        roots += std::string("obje:") + id + "\n";
    }
    foundation_build_result r = Build(roots);
    EXPECT_FALSE(r.finished);
    const std::string refusal = "small.tag would hold 32768 tags; a tag file holds at most 32767.";
    EXPECT_EQ(r.failure, refusal + " No output was written.");
    EXPECT_EQ(Lines(Folder() + "/dependency_log.txt"), std::vector<std::string>{refusal});
    for (const char* name : {"small.tag", "small_localized.tag", "large.tag"})
        EXPECT_FALSE(std::filesystem::exists(Folder() + "/" + name)) << name;
}

TEST_F(Foundation, TagDataIsReleasedAfterItsHookSoMemoryStaysBounded)
{
    // 70 MB of monsters, each read for its hook: the build must not hold them all.
    constexpr int kMonsters = 7000;
    std::string roots;
    bytes monster = Monster("");
    monster.resize(10240, 0x5A);
    {
        TTagStore writer;
        tag_file* f = writer.new_tag_file();
        for (int i = 0; i < kMonsters; ++i) {
            char id[5];
            std::snprintf(id, sizeof id, "%04x", i);
            writer.create_tag(f, code("mons"), code(id), 1, "monster", 0, uint32_t(monster.size()), monster.data());
            roots += std::string("mons:") + id + "\n";
        }
        ASSERT_TRUE(write_tag_file(f, data / "plugins/monsters.tag", TAG_FILE_TYPE_PLUGIN, false));
    }
    Load();
    tag_entry* preloaded = store.find_tag(code("mons"), code("0000"));
    ASSERT_NE(tag_get_data(preloaded), nullptr);

    write_text(data / "roots.txt", roots);
    long peak = PeakMegabytesOf([&] {
        foundation_build_result r = build_foundation(store, data / "roots.txt", data.path());
        // a tag loaded before the build keeps its data, the others are not kept
        if (!r.finished || r.collected != size_t(kMonsters) || !preloaded->data ||
            store.find_tag(code("mons"), code("0001"))->data)
            ::_exit(1);
    });
    ASSERT_GE(peak, 0) << "the build failed in the child";
    EXPECT_LT(peak, 64);
    bytes small = read_file(Folder() + "/small.tag");
    EXPECT_EQ(small.size(), 128 + kMonsters * (64 + monster.size()));
    EXPECT_EQ(small.back(), 0x5A);
}

TEST_F(Foundation, LongChainsOfReferencesAreWalked)
{
    tag_file* f = store.new_tag_file();
    const int chain = 20000;
    for (int i = 0; i < chain; ++i) {
        char id[5], next[5];
        std::snprintf(id, sizeof id, "%04x", i);
        std::snprintf(next, sizeof next, "%04x", i + 1);
        bytes proj = Refs(256, {{92, i + 1 < chain ? next : ""}});
        store.create_tag(f, code("proj"), code(id), 2, "link", 0, 256, proj.data());
    }
    foundation_build_result r = Build("proj:0000");
    ASSERT_TRUE(r.finished) << r.failure;
    EXPECT_EQ(r.collected, size_t(chain));
}

TEST_F(Foundation, OldOutputsAreRemovedAndAFailedWriteStopsTheRest)
{
    data.mkdir("foundation_build/small_localized.tag/blocker");
    write_text(Folder() + "/large_localized.tag", "left from an earlier build");
    write_text(Folder() + "/large.tag", "left from an earlier build");
    write_file(data / "plugins/a.tag", build_multi_tag_file({{"obje", "body", "body", 1, bytes(64, 0)}}));
    Load();
    foundation_build_result r = Build("obje:body");
    EXPECT_FALSE(r.finished);
    EXPECT_NE(r.failure.find("small_localized.tag"), std::string::npos) << r.failure;
    EXPECT_EQ(Lines(Folder() + "/dependency_log.txt"), std::vector<std::string>{"could not write small_localized.tag"});
    EXPECT_EQ(Listing(Folder() + "/small.tag"), std::vector<std::string>{"obje:body"});
    EXPECT_FALSE(std::filesystem::exists(Folder() + "/large.tag"));
    EXPECT_FALSE(std::filesystem::exists(Folder() + "/large_localized.tag"));
}

TEST_F(Foundation, DataThatCannotBeReadStopsTheDistribution)
{
    write_file(data / "plugins/a.tag", build_multi_tag_file({{"obje", "body", "body", 1, bytes(64, 0)},
                                                             {"rawd", "blob", "blob", 1, bytes(4000, 1)}}));
    // the blob's bytes are not in the file
    std::filesystem::resize_file(data / "plugins/a.tag", 128 + 2 * 64 + 100);
    Load();
    foundation_build_result r = Build("obje:body rawd:blob");
    EXPECT_FALSE(r.finished);
    EXPECT_NE(r.failure.find("'blob' (rawd/blob)"), std::string::npos) << r.failure;
    EXPECT_EQ(Lines(Folder() + "/dependency_log.txt"), std::vector<std::string>{"out of memory building monolithic"});
    for (const char* name : {"small.tag", "small_localized.tag", "large.tag"})
        EXPECT_FALSE(std::filesystem::exists(Folder() + "/" + name)) << name;
}

TEST_F(Foundation, ASourceChangedByAnotherProgramAfterTheWalkWritesNothing)
{
    write_file(data / "plugins/a.tag", build_multi_tag_file({{"unit", "wolf", "wolf", 2, Unit("mons")},
                                                             {"mons", "mons", "monster", 1, Monster("")}}));
    Load();
    // rewritten in place, same size, once the hooks have read (and let go of) the tags
    struct changer : XGProgress {
        std::string path;
        bool Report(const std::string& what, int64_t, int64_t) override
        {
            if (what.rfind("Writing", 0) != 0) return true;
            bytes b = read_file(path);
            b[b.size() - 1] ^= 1;
            write_file(path, b);
            struct timespec later[2] = {{0, UTIME_OMIT}, {std::time(nullptr) + 5, 0}};
            ::utimensat(AT_FDCWD, path.c_str(), later, 0);
            return true;
        }
    } progress;
    progress.path = data / "plugins/a.tag";
    write_text(data / "roots.txt", "unit:wolf");
    foundation_build_result r = build_foundation(store, data / "roots.txt", data.path(), &progress);
    EXPECT_FALSE(r.finished);
    EXPECT_NE(r.failure.find("cannot be read; no output was written"), std::string::npos) << r.failure;
    for (const char* name : {"small.tag", "small_localized.tag", "large.tag"})
        EXPECT_FALSE(std::filesystem::exists(Folder() + "/" + name)) << name;
}

TEST_F(Foundation, TheSourcesAreLeftAsTheyWere)
{
    write_file(data / "plugins/a.tag", build_multi_tag_file({{"unit", "wolf", "wolf", 2, Unit("mons")},
                                                             {"mons", "mons", "monster", 1, Monster("")}}));
    Load();
    bytes before = read_file(data / "plugins/a.tag");
    tag_entry* edited = store.find_tag(code("mons"), code("mons"));
    bytes changed = Monster("");
    changed[600] = 9;
    ASSERT_TRUE(tag_set_data(edited, changed.data(), uint32_t(changed.size())));
    ASSERT_TRUE(Build("unit:wolf").finished);
    EXPECT_EQ(read_file(data / "plugins/a.tag"), before);
    EXPECT_EQ(store.find_tag(code("unit"), code("wolf"))->data, nullptr);
    ASSERT_NE(edited->data, nullptr); // the only copy of the edit
    EXPECT_EQ(edited->data[600], 9);
    bytes small = read_file(Folder() + "/small.tag");
    EXPECT_EQ(small[128 + 2 * 64 + 600], 9); // mons was listed first: it is the newer group
}

TEST(RootList, ItemsAreTypeColonIdSeparatedByBlanksAndControls)
{
    std::vector<std::string> skipped;
    auto items = parse_root_list("mesh:ab01 unit:Wolf\r\n\t.256:MTit\x01soun:b\x7f" "oo junk mesh-ab02 mesh:ab0 x", &skipped);
    std::vector<std::pair<tag_code, tag_code>> expected = {
        {code("mesh"), code("ab01")}, {code("unit"), code("Wolf")}, {code(".256"), code("MTit")}};
    EXPECT_EQ(items, expected);
    EXPECT_EQ(skipped, (std::vector<std::string>{"soun:b", "oo", "junk", "mesh-ab02", "mesh:ab0", "x"}));
    EXPECT_TRUE(parse_root_list("").empty());
}

TEST_F(Foundation, AMissingRootListBuildsNothing)
{
    data.mkdir("foundation_build");
    write_text(Folder() + "/small.tag", "earlier");
    EXPECT_THROW(build_foundation(store, data / "none.txt", data.path()), XGError);
    EXPECT_EQ(read_text(Folder() + "/small.tag"), "earlier");
}
