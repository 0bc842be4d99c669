#include <gtest/gtest.h>

#include <cstdio>

#include "map/map_bytes.h"
#include "map/mesh_map.h"
#include "support/dependency_recorder.h"

namespace {

std::string Id(char prefix, int n)
{
    char id[8];
    std::snprintf(id, sizeof id, "%c%03d", prefix, n);
    return id;
}

// Every tag field of the header holds "h" + its offset.
map_bytes HeaderMap(uint16_t marker)
{
    map_bytes m;
    m.cells = bytes(32 * 32 * 12, 0);
    for (size_t o : {0, 4, 68, 72, 80, 124, 140, 144, 148, 152, 156, 160, 176, 228, 252, 256, 492, 516, 520, 524,
                     528, 532, 552, 556, 560, 564, 568, 572})
        m.header32.push_back({o, code(Id('h', int(o)))});
    m.header16.push_back({512, marker});
    return m;
}

std::vector<std::string> HeaderRefs(bool extended)
{
    std::vector<std::pair<const char*, int>> refs = {
        {"txst", 0},   {"txst", 516}, {"grsp", 524}, {"txst", 532}, {"medi", 4},   {"glli", 68},  {"txst", 520},
        {"part", 80},  {"amso", 124}, {"stli", 140}, {"wind", 228}, {"soun", 256}, {"conn", 72},  {"stli", 492},
        {".256", 148}, {".256", 152}, {".256", 144}, {"text", 176}, {"stli", 252}, {"jpeg", 552}, {"jpeg", 556},
        {"text", 560}, {"text", 564}, {"quik", 568}, {"quik", 572}, {".256", 528}};
    std::vector<std::string> out;
    for (auto [type, offset] : refs) {
        if (!extended && (offset == 516 || offset == 532)) continue;
        out.push_back(std::string(type) + ":" + Id('h', offset));
    }
    return out;
}

bytes Parameter(int16_t type, int16_t count, std::vector<uint32_t> words, size_t element_bytes = 0)
{
    bytes p(8, 0);
    put_be16(p, 0, uint16_t(type));
    put_be16(p, 2, uint16_t(count));
    put_be32(p, 4, 0xDEADBEEF);
    for (uint32_t w : words) {
        p.resize(p.size() + 4);
        put_be32(p, p.size() - 4, w);
    }
    p.resize(p.size() + ((element_bytes + 3) & ~size_t(3)), 0x00);
    return p;
}

class MeshDependencies : public ::testing::Test {
protected:
    TTagStore store;
    tag_file* file = store.new_tag_file();
    DependencyRecorder recorder;

    std::vector<std::string> Collect(const bytes& data)
    {
        tag_entry* e =
            store.create_tag(file, code("mesh"), code("map1"), 11, "map", 0, uint32_t(data.size()), data.data());
        return recorder.Collect(e);
    }
};

} // namespace

TEST_F(MeshDependencies, HeaderReferencesComeInOrderAndDetailsOnlyWithTheMarker)
{
    for (bool marked : {true, false}) {
        std::vector<std::string> expected = HeaderRefs(marked);
        expected.insert(expected.end(), {"mesh:h156", "mesh:h160"});
        EXPECT_EQ(Collect(HeaderMap(marked ? 0xFEDC : 0x1234).Build()), expected) << (marked ? "marked" : "unmarked");
    }
}

TEST_F(MeshDependencies, PaletteEntriesAndMapActionParametersFollowTheHeader)
{
    map_bytes m = HeaderMap(0xFEDC);
    for (int16_t type = 0; type < 12; ++type) m.palette.push_back(palette_bytes(type, code(Id('p', type)), 0, 0));
    m.palette.push_back(palette_bytes(40, code("p040"), 0, 0)); // no such marker type
    m.action_count = 2;
    m.actions = make_bytes(128, 9);
    for (bytes p : {Parameter(11, 2, {code("snd1"), code("snd2")}), Parameter(0, 3, {}, 3),
                    Parameter(13, 1, {}, 8), Parameter(22, 1, {code("scn1")}), Parameter(9, 0, {}),
                    Parameter(18, 1, {}, 12), Parameter(12, 1, {code("prj1")}), Parameter(10, 1, {code("str1")}),
                    Parameter(9, 1, {code("grp1")}), Parameter(23, 1, {code("nope")}), Parameter(12, 1, {code("prj2")})})
        m.actions.insert(m.actions.end(), p.begin(), p.end());

    std::vector<std::string> expected = HeaderRefs(true);
    for (std::string r : {"scen:p001", "unit:p003", "amso:p005", "proj:p009", "lpgr:p010", "soun:snd1", "soun:snd2",
                          "scen:scn1", "proj:prj1", "stli:str1", "prgr:grp1", "mesh:h156", "mesh:h160"})
        expected.push_back(r);
    EXPECT_EQ(Collect(m.Build()), expected);
    EXPECT_TRUE(recorder.Unreadable().empty());
}

TEST_F(MeshDependencies, CountsOutsideTheTagReferenceNothing)
{
    auto unreadable = [&](const map_bytes& m, const char* what) {
        EXPECT_TRUE(Collect(m.Build()).empty()) << what;
        EXPECT_EQ(recorder.Unreadable().size(), 1u) << what;
    };
    map_bytes actions = HeaderMap(0xFEDC);
    actions.actions = make_bytes(64, 1);
    actions.action_count = 2;
    unreadable(actions, "action records past the section");

    map_bytes parameter = HeaderMap(0xFEDC);
    parameter.actions = Parameter(11, 3, {code("snd1"), code("snd2")});
    unreadable(parameter, "elements past the section");

    map_bytes negative = HeaderMap(0xFEDC);
    negative.actions = Parameter(11, -1, {});
    unreadable(negative, "negative element count");

    map_bytes palette = HeaderMap(0xFEDC);
    palette.palette.push_back(palette_bytes(1, code("tree"), 0, 0));
    bytes data = palette.Build();
    put_be32(data, 36, 2);
    EXPECT_TRUE(Collect(data).empty());
    EXPECT_EQ(recorder.Unreadable().size(), 1u);

    EXPECT_TRUE(Collect(bytes(1023, 0)).empty());
    EXPECT_EQ(recorder.Unreadable().size(), 1u);
}
