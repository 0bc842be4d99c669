#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <tuple>

#include "support/dependency_recorder.h"
#include "support/tag_file_bytes.h"
#include "tags/gameplay/gameplay.h"
#include "tags/tag_types.h"

namespace {

struct field {
    int offset;
    int width; // 4, 2, or 0 for a raw byte
};

std::vector<field> Fields(int from, int count, int step, int width)
{
    std::vector<field> fields;
    for (int i = 0; i < count; ++i) fields.push_back({from + i * step, width});
    return fields;
}

std::vector<field> Join(std::initializer_list<std::vector<field>> parts)
{
    std::vector<field> all;
    for (const auto& p : parts) all.insert(all.end(), p.begin(), p.end());
    return all;
}

template <class T>
void ExpectLayout(const std::vector<field>& fields)
{
    std::vector<int8_t> widths = tag_struct_field_widths(tag_struct_info<T>::codes);
    ASSERT_EQ(widths.size(), sizeof(T)) << tag_struct_info<T>::label;
    EXPECT_EQ(byte_swap_description_size(tag_struct_info<T>::codes).bytes, int32_t(sizeof(T)));
    for (const field& f : fields)
        EXPECT_EQ(widths.at(size_t(f.offset)), f.width) << tag_struct_info<T>::label << " at " << f.offset;
}

class Gameplay : public ::testing::Test {
protected:
    TTagStore store;
    tag_file* file = store.new_tag_file();

    tag_entry* Tag(const char* type, const bytes& data, const char* id = "test")
    {
        return store.create_tag(file, code(type), code(id), int16_t(tag_type_version(code(type))), id, 0,
                                uint32_t(data.size()), data.data());
    }

    bytes Data(tag_entry* e)
    {
        uint32_t size = 0;
        const uint8_t* p = tag_get_data(e, &size);
        return p ? bytes(p, p + size) : bytes();
    }

    // A new tag of the type given its defaults by the registry's hook.
    bytes Defaults(const char* type)
    {
        tag_entry* e = store.create_tag(file, code(type), code("dflt"), int16_t(tag_type_version(code(type))),
                                        "new", 0, 0, nullptr);
        tag_set_defaults_hook hook = tag_type_set_defaults_hook(code(type));
        EXPECT_NE(hook, nullptr) << type;
        if (hook) hook(e);
        return Data(e);
    }
};

// The expected default bytes: zero except the fields and byte runs given.
bytes Expected(size_t size, std::initializer_list<std::tuple<int, int, int>> fields,
               std::initializer_list<std::pair<int, int>> ff_runs = {})
{
    bytes b(size, 0);
    for (auto [offset, width, value] : fields) {
        if (width == 4) put_be32(b, size_t(offset), uint32_t(value));
        else put_be16(b, size_t(offset), uint16_t(value));
    }
    for (auto [offset, count] : ff_runs) std::memset(b.data() + offset, 0xFF, size_t(count));
    return b;
}

std::vector<std::tuple<int, int, int>> MinusOne(int width, std::initializer_list<int> offsets)
{
    std::vector<std::tuple<int, int, int>> fields;
    for (int o : offsets) fields.emplace_back(o, width, -1);
    return fields;
}

bytes ExpectedWith(size_t size, const std::vector<std::tuple<int, int, int>>& fields,
                   std::initializer_list<std::pair<int, int>> ff_runs = {})
{
    bytes b = Expected(size, {}, ff_runs);
    for (auto [offset, width, value] : fields) {
        if (width == 4) put_be32(b, size_t(offset), uint32_t(value));
        else put_be16(b, size_t(offset), uint16_t(value));
    }
    return b;
}

// Every 4-byte aligned slot holds the id "o" + its offset in three digits, so that a
// reported id tells where it was read.
bytes Numbered(size_t size)
{
    bytes b(size, 0);
    for (size_t o = 0; o + 4 <= size; o += 4) {
        char id[8];
        std::snprintf(id, sizeof id, "o%03zu", o % 1000);
        put_be32(b, o, code(id));
    }
    return b;
}

std::vector<std::string> Refs(std::initializer_list<std::pair<const char*, int>> refs)
{
    std::vector<std::string> out;
    for (auto [type, offset] : refs) {
        char id[8];
        std::snprintf(id, sizeof id, "o%03d", offset);
        out.push_back(std::string(type) + ":" + id);
    }
    return out;
}

} // namespace

TEST(GameplayLayout, DescriptionsPutReferencesAndStatisticsAtTheirOffsets)
{
    ExpectLayout<ambient_sound_definition>({{12, 4}, {16, 4}, {36, 2}, {38, 0}});
    ExpectLayout<artifact_definition>({{16, 4}, {28, 4}, {32, 4}, {36, 4}, {40, 4}, {148, 4}, {84, 0}, {14, 0}});
    ExpectLayout<collection_reference_definition>({{0, 4}, {8, 2}, {326, 2}, {334, 2}, {336, 0}});
    ExpectLayout<connector_definition>({{4, 4}, {14, 2}, {16, 0}});
    ExpectLayout<formation_definition>({{0, 2}, {36, 2}, {38, 0}});
    ExpectLayout<game_parameter_definition>({{0, 4}, {4, 4}, {8, 4}, {12, 0}});
    ExpectLayout<global_light_definition>({{30, 2}, {32, 4}, {52, 4}});
    ExpectLayout<lightning_definition>({{4, 4}, {24, 2}, {26, 2}, {56, 2}, {58, 0}});
    ExpectLayout<local_light_definition>({{6, 2}, {8, 4}, {12, 2}, {46, 2}});
    ExpectLayout<local_projectile_group_definition>(
        {{4, 4}, {8, 4}, {80, 4}, {84, 4}, {12, 2}, {26, 2}, {28, 4}, {56, 4}, {64, 2}, {72, 0}, {108, 0}});
    ExpectLayout<media_type_definition>(Join({{{4, 4}, {100, 4}, {8, 0}}, Fields(24, 16, 4, 4), Fields(104, 39, 2, 2),
                                              {{182, 0}}}));
    ExpectLayout<mesh_effect_definition>({{16, 4}, {14, 2}, {20, 2}, {28, 0}});
    ExpectLayout<mesh_lighting_definition>({{24, 4}, {28, 2}, {30, 2}, {32, 4}, {36, 0}});
    ExpectLayout<monster_definition>(Join(
        {{{0, 4}, {4, 4}, {132, 4}, {404, 4}, {416, 4}, {420, 4}, {424, 4}, {428, 4}, {432, 4}, {484, 4},
          {488, 4}, {492, 4}, {516, 4}, {520, 4}, {524, 4}, {528, 4}, {540, 4}},
         Fields(444, 10, 4, 4), Fields(72, 16, 1, 0), Fields(92, 16, 1, 0), Fields(140, 256, 1, 0),
         {{90, 2}, {108, 2}, {110, 2}, {112, 2}, {114, 2}, {116, 2}, {118, 2}, {120, 2}, {124, 2}, {126, 2},
          {128, 2}, {136, 2}, {138, 2}, {410, 2}, {412, 2}, {414, 2}, {442, 2}, {498, 2}, {500, 2}, {502, 2},
          {532, 2}, {534, 2}, {536, 2}, {538, 2}, {544, 2}, {546, 2}, {548, 2}, {550, 2}}}));
    ExpectLayout<monster_attack>(Join({{{0, 2}, {2, 2}, {4, 4}, {8, 2}, {10, 2}}, Fields(12, 32, 1, 0),
                                       Fields(44, 9, 2, 2), {{62, 0}}}));
    ExpectLayout<object_definition>(Join({{{0, 2}, {8, 2}, {10, 2}, {12, 2}, {14, 2}, {48, 2}, {50, 0}},
                                          Fields(16, 16, 2, 2)}));
    ExpectLayout<observer_constants_definition>({{164, 4}, {168, 0}});
    ExpectLayout<particle_system_definition>({{4, 4}, {84, 4}, {88, 4}, {72, 2}, {74, 2}, {102, 0}});
    ExpectLayout<local_physics_definition>({{0, 2}, {2, 0}});
    ExpectLayout<projectile_group_definition>(
        Join({{{4, 2}, {8, 4}, {12, 4}, {16, 4}}, Fields(32, 15, 32, 4), Fields(52, 15, 32, 2)}));
    ExpectLayout<projectile_definition>(
        {{4, 4},   {16, 4},  {20, 4},  {28, 4},  {52, 4},  {60, 4},  {64, 4},  {68, 4},  {72, 4},  {92, 4},
         {96, 4},  {100, 4}, {120, 4}, {124, 4}, {128, 4}, {136, 4}, {144, 2}, {32, 2},  {34, 2},  {36, 2},
         {38, 2},  {40, 2},  {44, 2},  {46, 2},  {48, 2},  {90, 2},  {104, 2}, {106, 2}, {108, 2}, {110, 2},
         {112, 2}, {114, 2}, {116, 2}, {118, 2}, {140, 2}, {142, 0}, {150, 0}});
    ExpectLayout<scenery_definition>(
        {{4, 4}, {8, 4}, {12, 4}, {24, 4}, {28, 4}, {32, 4}, {36, 4}, {56, 4}, {60, 4}, {64, 4}, {52, 2}, {68, 0}});
    ExpectLayout<unit_definition>(Join({{{0, 4}, {4, 4}, {104, 0}}, Fields(8, 4, 24, 4), Fields(12, 4, 24, 4),
                                        Fields(16, 4, 24, 2), Fields(28, 4, 24, 2)}));
    ExpectLayout<wind_definition>({{36, 4}, {40, 0}});
}

TEST_F(Gameplay, NewTagsHoldExactlyTheDefaultBytes)
{
    EXPECT_EQ(Defaults("amso"), ExpectedWith(64, MinusOne(4, {12, 16, 20, 24, 28, 32})));
    EXPECT_EQ(Defaults("arti"), ExpectedWith(168, MinusOne(4, {4, 16, 28, 32, 36, 40}), {{88, 4}, {124, 2}}));
    EXPECT_EQ(Defaults("conn"), ExpectedWith(32, MinusOne(4, {4})));
    EXPECT_EQ(Defaults("ligh"), ExpectedWith(64, MinusOne(4, {4})));
    EXPECT_EQ(Defaults("phys"), bytes(64, 0));
    EXPECT_EQ(Defaults("lpgr"), ExpectedWith(128, MinusOne(4, {4, 8, 80, 84}), {{108, 8}, {116, 4}}));
    EXPECT_EQ(Defaults("meef"), ExpectedWith(36, MinusOne(4, {16})));
    EXPECT_EQ(Defaults("meli"), bytes(64, 0));
    EXPECT_EQ(Defaults("obje"), bytes(64, 0));
    EXPECT_EQ(Defaults("obpc"), bytes(256, 0));
    EXPECT_EQ(Defaults("wind"), bytes(128, 0));
    EXPECT_EQ(Defaults("part"), Expected(128, {{4, 4, -1}, {72, 2, -1}, {74, 2, -1}}));
    EXPECT_EQ(Defaults("game"), ExpectedWith(32, MinusOne(4, {0, 4, 8})));

    std::vector<std::tuple<int, int, int>> prgr = MinusOne(4, {8, 12, 16});
    for (int i = 0; i < 15; ++i) prgr.emplace_back(32 + 32 * i, 4, -1);
    EXPECT_EQ(Defaults("prgr"), ExpectedWith(512, prgr));

    EXPECT_EQ(Defaults("scen"), ExpectedWith(128, MinusOne(4, {4, 8, 12, 24, 28, 32, 36, 56, 60, 64})));

    std::vector<std::tuple<int, int, int>> unit = MinusOne(4, {0, 8, 12, 32, 36, 56, 60, 80, 84});
    for (int o : {16, 28, 40, 52, 64, 76, 88, 100}) unit.emplace_back(o, 2, -1);
    EXPECT_EQ(Defaults("unit"), ExpectedWith(128, unit, {{120, 4}}));

    std::vector<std::tuple<int, int, int>> medi = MinusOne(4, {4, 100});
    for (int o = 24; o <= 84; o += 4) medi.emplace_back(o, 4, -1);
    for (auto [o, v] : std::initializer_list<std::pair<int, int>>{
             {122, 25},  {124, 256}, {126, 513}, {128, 13107}, {130, -13108}, {132, 256}, {134, 128},
             {136, 256}, {138, 102}, {140, 102}, {142, 25},    {146, 51},     {148, 282}, {150, 76},
             {152, 76},  {156, 25},  {158, 25},  {160, 51},    {162, 102},    {164, 102}, {170, 51},
             {172, 76},  {174, 76},  {176, 76},  {178, 25},    {180, 25}})
        medi.emplace_back(o, 2, v);
    EXPECT_EQ(Defaults("medi"), ExpectedWith(256, medi));

    EXPECT_EQ(Defaults("loli"), Expected(48, {{4, 2, -1},     {20, 2, -1},   {2, 2, 10},     {6, 2, 10},
                                              {8, 4, 2560},   {12, 2, -32640}, {14, 2, 16448}, {22, 2, -16192},
                                              {24, 2, 16448}, {28, 2, 2048}, {30, 2, 10000}, {32, 2, 10},
                                              {34, 2, 2},     {36, 2, 2048}, {40, 2, 2048},  {44, 2, 2048}}));
    EXPECT_EQ(Defaults("glli"), Expected(56, {{0, 2, 16384},   {2, 2, 16384},  {4, 2, 16384},  {8, 2, 8192},
                                              {10, 2, 8192},   {12, 2, 16384}, {16, 2, -24577}, {18, 2, -24577},
                                              {20, 2, 24575},  {24, 2, 16384}, {26, 2, 12288},  {28, 2, 8192},
                                              {32, 4, 19660},  {36, 4, 6553},  {40, 4, -26214}, {44, 4, -65535},
                                              {48, 4, 65535},  {52, 4, -13107}}));

    std::vector<std::tuple<int, int, int>> mons =
        MinusOne(4, {4, 396, 416, 420, 444, 448, 452, 456, 460, 464, 468, 472, 476, 480, 516});
    for (int o : {136, 410, 412, 414, 438, 440, 442, 534}) mons.emplace_back(o, 2, -1);
    mons.emplace_back(536, 2, 5);
    mons.emplace_back(544, 2, -32768);
    EXPECT_EQ(Defaults("mons"),
              ExpectedWith(1024, mons, {{148, 2}, {208, 4}, {270, 2}, {332, 2}, {390, 2}, {512, 2}, {514, 2}}));
}

TEST_F(Gameplay, DefaultMonsterReadsBackAndWritesTheSameBytes)
{
    bytes stored = Defaults("mons");
    tag_entry* e = Tag("mons", stored);
    monster_definition m;
    ASSERT_TRUE(read_tag_struct(e, m));
    EXPECT_EQ(m.collection_tag, NONE_TAG);
    EXPECT_EQ(m.attack_count, -1);
    EXPECT_EQ(m.berserk_system_shock, 5);
    EXPECT_EQ(m.kills_for_maximum_experience_bonus, -32768);
    EXPECT_EQ(m.attacks[1].projectile_tag, NONE_TAG);
    EXPECT_FALSE(compare_tag_struct(e, m, true));
    ASSERT_TRUE(write_tag_struct(e, m));
    EXPECT_EQ(Data(e), stored);
}

TEST_F(Gameplay, MonsterFieldsAreBigEndianInTheTag)
{
    bytes stored = make_bytes(1024, 7);
    put_be32(stored, 0, 0x00000001); // no 3D model: the sequences are converted
    tag_entry* e = Tag("mons", stored);
    monster_definition m;
    ASSERT_TRUE(read_tag_struct(e, m));
    EXPECT_EQ(m.pathfinding_radius, int16_t(be16(stored, 90)));
    EXPECT_EQ(m.turning_speed, be16(stored, 124));
    EXPECT_EQ(m.object_tag, be32(stored, 132));
    EXPECT_EQ(m.maximum_ammunition_count, int16_t(be16(stored, 410)));
    EXPECT_EQ(m.sound_tags[9], be32(stored, 480));
    EXPECT_EQ(m.blocking_fraction, be16(stored, 550));
    EXPECT_EQ(0, std::memcmp(m.movement_modifiers, stored.data() + 92, 16));
    for (int i = 0; i < 4; ++i) {
        size_t a = 140 + 64 * size_t(i);
        EXPECT_EQ(m.attacks[i].flags_1, be16(stored, a));
        EXPECT_EQ(m.attacks[i].projectile_tag, be32(stored, a + 4));
        EXPECT_EQ(m.attacks[i].sequences[1].field_2, int16_t(be16(stored, a + 12 + 8 + 2)));
        EXPECT_EQ(0, std::memcmp(m.attacks[i].sequences[3].raw_6, stored.data() + a + 12 + 24 + 6, 2));
        EXPECT_EQ(m.attacks[i].mana_cost, int16_t(be16(stored, a + 58)));
        EXPECT_EQ(m.attacks[i].flags_2, be16(stored, a + 60));
    }
    EXPECT_FALSE(compare_tag_struct(e, m, true));
    m.attacks[2].sequences[0].field_4 = 0x0102;
    EXPECT_TRUE(compare_tag_struct(e, m, true));
    ASSERT_TRUE(write_tag_struct(e, m));
    bytes written = Data(e);
    EXPECT_EQ(be16(written, 140 + 128 + 12 + 4), 0x0102);
    written[140 + 128 + 12 + 4] = stored[140 + 128 + 12 + 4];
    written[140 + 128 + 12 + 5] = stored[140 + 128 + 12 + 5];
    EXPECT_EQ(written, stored);
}

TEST_F(Gameplay, MonsterWithA3DModelKeepsItsSequenceBytes)
{
    bytes stored = make_bytes(1024, 9);
    put_be32(stored, 0, MONSTER_HAS_3D_MODEL);
    tag_entry* e = Tag("mons", stored);
    monster_definition m;
    ASSERT_TRUE(read_tag_struct(e, m));
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(0, std::memcmp(m.attacks[i].sequences, stored.data() + 140 + 64 * i + 12, 32));
        EXPECT_EQ(m.attacks[i].repetitions, int16_t(be16(stored, 140 + 64 * size_t(i) + 44)));
    }
    ASSERT_TRUE(write_tag_struct(e, m));
    EXPECT_EQ(Data(e), stored);
    ASSERT_TRUE(set_tag_struct_data(e, m));
    EXPECT_EQ(Data(e), stored);
}

TEST_F(Gameplay, AllFifteenProjectileGroupPartsAreConverted)
{
    bytes stored = make_bytes(512, 3);
    put_be16(stored, 4, 1);
    tag_entry* e = Tag("prgr", stored);
    projectile_group_definition g;
    ASSERT_TRUE(read_tag_struct(e, g));
    EXPECT_EQ(g.part_count, 1);
    EXPECT_EQ(g.parts[14].projectile_tag, be32(stored, 32 + 32 * 14));
    EXPECT_EQ(g.parts[14].field_20, int16_t(be16(stored, 32 + 32 * 14 + 20)));
    EXPECT_EQ(0, std::memcmp(g.parts[7].raw_22, stored.data() + 32 + 32 * 7 + 22, 8));
}

TEST_F(Gameplay, StructuresKeepTheBytesAfterThemAndRefuseShortData)
{
    bytes stored = make_bytes(256 + 10, 4);
    tag_entry* e = Tag("proj", stored);
    projectile_definition p;
    ASSERT_TRUE(read_tag_struct(e, p));
    EXPECT_EQ(p.damage_to_velocity, int16_t(be16(stored, 118)));
    EXPECT_EQ(p.texture_stack_tag_128, be32(stored, 128));
    p.damage_type = 3;
    ASSERT_TRUE(write_tag_struct(e, p));
    bytes written = Data(e);
    ASSERT_EQ(written.size(), stored.size());
    EXPECT_EQ(be16(written, 104), 3);
    EXPECT_TRUE(std::equal(written.begin() + 256, written.end(), stored.begin() + 256));

    tag_entry* short_tag = Tag("proj", make_bytes(255, 4), "shrt");
    projectile_definition untouched{};
    untouched.volume = 77;
    EXPECT_FALSE(read_tag_struct(short_tag, untouched));
    EXPECT_EQ(untouched.volume, 77);
    tag_entry* short_monster = Tag("mons", make_bytes(1000, 4), "shmo");
    monster_definition m{};
    EXPECT_FALSE(read_tag_struct(short_monster, m));
}

TEST_F(Gameplay, DependenciesAreReportedInOrderWithTheirTypes)
{
    DependencyRecorder recorder;
    auto collect = [&](const char* type, bytes data) { return recorder.Collect(Tag(type, data)); };

    EXPECT_EQ(collect("amso", Numbered(64)), Refs({{"soun", 12}, {"soun", 16}}));
    EXPECT_EQ(collect("arti", Numbered(168)),
              Refs({{".256", 16}, {"proj", 28}, {"proj", 32}, {"proj", 36}, {"proj", 40}, {"stli", 148}}));
    EXPECT_EQ(collect("core", Numbered(384)), Refs({{".256", 0}}));
    EXPECT_EQ(collect("conn", Numbered(32)), Refs({{"core", 4}}));
    EXPECT_EQ(collect("ligh", Numbered(64)), Refs({{"txst", 4}}));
    EXPECT_EQ(collect("meef", Numbered(36)), Refs({{"core", 16}}));
    EXPECT_EQ(collect("part", Numbered(128)), Refs({{"spri", 4}, {"amso", 84}, {"lpgr", 88}}));
    EXPECT_EQ(collect("unit", Numbered(128)),
              Refs({{"mons", 0}, {"txst", 8}, {"txst", 32}, {"txst", 56}, {"txst", 80}}));
    EXPECT_EQ(collect("game", Numbered(32)), Refs({{"mesh", 0}, {"mesh", 4}, {"mesh", 8}}));
    EXPECT_EQ(collect("medi", Numbered(256)),
              Refs({{"txst", 4}, {"lpgr", 100}, {"prgr", 24}, {"prgr", 28}, {"prgr", 32}, {"prgr", 36},
                    {"prgr", 40}, {"prgr", 44}, {"prgr", 48}}));
    for (const char* quiet : {"form", "meli", "obpc", "phys", "loli", "glli", "obje", "wind"}) {
        ASSERT_NE(tag_type_collect_dependencies_hook(code(quiet)), nullptr) << quiet;
        EXPECT_TRUE(collect(quiet, Numbered(256)).empty()) << quiet;
    }

    bytes lpgr = Numbered(128);
    std::vector<std::string> lpgr_tail = Refs({{"phys", 8}, {"lpgr", 80}, {"loli", 84}});
    for (auto [flags, type] : std::initializer_list<std::pair<uint32_t, const char*>>{
             {0x50000000, "skmd"}, {0x40000000, "spri"}, {0x20000000, "core"}}) {
        put_be32(lpgr, 0, flags);
        std::vector<std::string> expected = Refs({{type, 4}});
        expected.insert(expected.end(), lpgr_tail.begin(), lpgr_tail.end());
        EXPECT_EQ(collect("lpgr", lpgr), expected) << type;
    }

    bytes scen = Numbered(128);
    put_be32(scen, 0, 0);
    EXPECT_EQ(collect("scen", scen),
              Refs({{"obje", 8}, {"proj", 12}, {"prgr", 24}, {"prgr", 28}, {"core", 4}}));
    put_be32(scen, 0, SCENERY_USES_SKELETAL_MODELS);
    EXPECT_EQ(collect("scen", scen),
              Refs({{"obje", 8}, {"proj", 12}, {"prgr", 24}, {"prgr", 28}, {"skmd", 56}, {"skmd", 60}}));

    bytes proj = Numbered(256);
    put_be32(proj, 0, 0);
    put_be16(proj, 144, 0);
    std::vector<std::string> proj_refs =
        Refs({{".256", 4}, {"prgr", 16}, {"proj", 20}, {"obje", 28}, {"ligh", 52}, {"soun", 60}, {"soun", 64},
              {"soun", 68}, {"soun", 72}, {"proj", 92}, {"arti", 120}, {"prgr", 96}, {"prgr", 124}, {"lpgr", 136},
              {"txst", 100}, {"txst", 128}});
    EXPECT_EQ(collect("proj", proj), proj_refs);
    put_be32(proj, 0, PROJECTILE_HAS_SPRITE_CONTRAIL);
    put_be16(proj, 144, uint16_t(-292));
    proj_refs[0] = "skmd:o004";
    proj_refs[2] = "spri:o020";
    EXPECT_EQ(collect("proj", proj), proj_refs);
}

TEST_F(Gameplay, StoredCountsBoundTheAttacksAndPartsCollected)
{
    DependencyRecorder recorder;
    auto collect = [&](const char* type, bytes data) { return recorder.Collect(Tag(type, data)); };

    bytes mons = Numbered(1024);
    put_be32(mons, 0, 0);
    std::vector<std::string> head = Refs({{".256", 4}, {"obje", 132}});
    std::vector<std::string> tail =
        Refs({{"prgr", 404}, {"prgr", 416}, {"prgr", 420}, {"stli", 424}, {"stli", 428}, {"stli", 432},
              {"soun", 444}, {"soun", 448}, {"soun", 452}, {"soun", 456}, {"soun", 460}, {"soun", 464},
              {"soun", 468}, {"soun", 472}, {"soun", 476}, {"soun", 480}, {"prgr", 484}, {"prgr", 488},
              {"proj", 492}, {"prgr", 516}, {"lpgr", 520}, {"stli", 524}, {"prgr", 528}, {".256", 540}});
    std::vector<std::string> attacks = Refs({{"proj", 144}, {"proj", 208}, {"proj", 272}, {"proj", 336}});
    for (int count : {2, 4, 9, -3}) {
        put_be16(mons, 136, uint16_t(count));
        int used = count < 0 ? 0 : std::min(count, 4);
        std::vector<std::string> expected = head;
        expected.insert(expected.end(), attacks.begin(), attacks.begin() + used);
        expected.insert(expected.end(), tail.begin(), tail.end());
        EXPECT_EQ(collect("mons", mons), expected) << "count " << count;
    }
    put_be32(mons, 0, MONSTER_HAS_3D_MODEL);
    put_be16(mons, 136, 0);
    EXPECT_EQ(collect("mons", mons).front(), "skmd:o004");

    bytes prgr = Numbered(512);
    std::vector<std::string> prgr_head = Refs({{"meef", 8}, {"soun", 12}, {"lpgr", 16}});
    for (int count : {3, 15, 40, -1}) {
        put_be16(prgr, 4, uint16_t(count));
        int used = count < 0 ? 0 : std::min(count, 15);
        std::vector<std::string> expected = prgr_head;
        for (int i = 0; i < used; ++i) expected.push_back(Refs({{"proj", 32 + 32 * i}})[0]);
        EXPECT_EQ(collect("prgr", prgr), expected) << "count " << count;
    }
}

TEST_F(Gameplay, AShortTagReferencesNothingAndIsReported)
{
    DependencyRecorder recorder;
    for (auto [type, size] : std::initializer_list<std::pair<const char*, size_t>>{
             {"mons", 1023}, {"unit", 100}, {"proj", 0}, {"prgr", 500}}) {
        tag_entry* e = Tag(type, Numbered(size));
        EXPECT_TRUE(recorder.Collect(e).empty()) << type;
        ASSERT_EQ(recorder.Unreadable().size(), 1u) << type;
        EXPECT_EQ(recorder.Unreadable()[0], e);
    }
}

TEST(GameplayHooks, TheRegistryHasTheHooksOfEveryStructureType)
{
    for (const char* type : {"amso", "arti", "conn", "ligh", "phys", "lpgr", "medi", "meef", "meli", "mons",
                             "obje", "obpc", "part", "prgr", "scen", "unit", "wind", "loli", "glli", "game"}) {
        EXPECT_NE(tag_type_set_defaults_hook(code(type)), nullptr) << type;
        EXPECT_NE(tag_type_collect_dependencies_hook(code(type)), nullptr) << type;
    }
    for (const char* type : {"core", "form", "proj"}) {
        EXPECT_EQ(tag_type_set_defaults_hook(code(type)), nullptr) << type;
        EXPECT_NE(tag_type_collect_dependencies_hook(code(type)), nullptr) << type;
    }
}
