#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <sstream>

#include "framework/XGFile.h"
#include "support/cli_runner.h"
#include "support/tag_file_bytes.h"
#include "tags/gameplay/gameplay.h"

namespace {

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

std::vector<std::string> Sorted(std::vector<std::string> lines)
{
    std::sort(lines.begin(), lines.end());
    return lines;
}

bytes Monster(const char* object, const char* projectile)
{
    monster_definition m{};
    tag_struct_defaults(m);
    m.object_tag = code(object);
    m.attack_count = 1;
    m.attacks[0].projectile_tag = code(projectile);
    return tag_struct_bytes(m);
}

bytes Object(int16_t vitality)
{
    object_definition o{};
    o.maximum_vitality = vitality;
    return tag_struct_bytes(o);
}

class CliText : public ::testing::Test {
protected:
    TempFolder data;

    void SetUp() override
    {
        data.mkdir("tags");
        data.mkdir("plugins");
        write_file(data / "tags/base.tag", build_multi_tag_file({{"rawd", "base", "base", 1, make_bytes(8, 1)}}, 3));
        write_file(data / "plugins/mod.tag",
                   build_multi_tag_file({{"mons", "orc_", "orc", 1, Monster("body", "arro")},
                                         {"obje", "body", "body", 1, Object(256)}}));
    }

    cli_result Run(std::vector<std::string> args)
    {
        args.insert(args.begin(), {"--data", data.path()});
        return run_cli(args, data.path());
    }
};

} // namespace

TEST_F(CliText, APluginKeptAsTextComesBackAndShowsWhatChanged)
{
    cli_result r = Run({"dump", "mons", "orc_", "orc.json"});
    ASSERT_EQ(r.status, 0) << r.err;
    std::string text = read_text(data / "orc.json");
    EXPECT_EQ(Run({"dump", "mons", "orc_"}).out, text);
    ASSERT_EQ(text.back(), '\n');
    EXPECT_EQ(text.rfind("{\n  \"type\": \"mons\",\n  \"id\": \"orc_\",\n  \"version\": 1,\n  \"name\": \"orc\",\n  \"fields\": {\n", 0), 0u)
        << text;

    write_file(data / "old.tag", read_file(data / "plugins/mod.tag"));
    size_t at = text.find("\"pathfinding_radius\": 0,");
    ASSERT_NE(at, std::string::npos);
    text.replace(at, 24, "\"pathfinding_radius\": 300,");
    write_text(data / "orc.json", text);
    r = Run({"load", "plugins/mod.tag", "orc.json"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "replaced mons orc_ (orc)\n");
    bytes saved = read_file(data / "plugins/mod.tag");
    r = Run({"load", "plugins/mod.tag", "orc.json"});
    EXPECT_EQ(r.out, "unchanged mons orc_ (orc)\n");
    EXPECT_EQ(read_file(data / "plugins/mod.tag"), saved);

    write_text(data / "memo.json", R"({"type": "text", "id": "memo", "name": "memo", "data": "aGk="})");
    r = Run({"load", "plugins/mod.tag", "memo.json"});
    EXPECT_EQ(r.out, "made text memo (memo)\n");

    r = Run({"diff", "old.tag", "plugins/mod.tag"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "~ mons orc_ orc: pathfinding_radius 0 -> 300\n+ text memo memo\n");
    EXPECT_EQ(Run({"diff", "old.tag", "plugins/mod.tag", "--exit-code"}).status, 1);
    r = Run({"diff", "--exit-code", "old.tag", "old.tag"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "");
}

TEST_F(CliText, LoadRefusesWhatIsNotATagAndWritesNothing)
{
    write_text(data / "good.json", R"({"type": "obje", "id": "body", "fields": {"maximum_vitality": 512}})");
    struct refusal {
        const char* text;
        const char* message;
    } refusals[] = {
        {R"({"type": "obje", "id": "shld", "fields": {"maximum_vitality": 512})", "bad.json: parse error at line 1"},
        {R"({"type": "obje", "id": "shld", "fields": {"vitality": 512}})", "bad.json: fields.vitality: unknown field"},
        {R"({"type": "obje", "id": "shld", "fields": {"flags": 65536}})",
         "bad.json: fields.flags: 65536 is outside 0..65535"},
        {R"({"type": "rawd", "id": "note", "data": "not base64"})", "bad.json: data: expected base64"},
        {R"({"type": "obje", "id": "body"})", "bad.json: id: obje body is also given by good.json"},
    };
    bytes before = read_file(data / "plugins/mod.tag");
    for (const refusal& r : refusals) {
        write_text(data / "bad.json", r.text);
        cli_result result = Run({"load", "plugins/mod.tag", "good.json", "bad.json"});
        EXPECT_EQ(result.status, 1) << r.text;
        EXPECT_NE(result.err.find(r.message), std::string::npos) << result.err;
        EXPECT_NE(result.err.find("nothing was written to plugins/mod.tag"), std::string::npos) << result.err;
        EXPECT_EQ(read_file(data / "plugins/mod.tag"), before) << r.text;
    }
    EXPECT_EQ(Run({"load", "plugins/new.tag", "good.json", "bad.json"}).status, 1);
    EXPECT_FALSE(XGFile::Exists(data / "plugins/new.tag"));
    cli_result r = Run({"load", "plugins/mod.tag", "missing.json"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("missing.json: No such file or directory"), std::string::npos) << r.err;
    r = Run({"load", "tags/base.tag", "good.json"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("Cannot modify base tags or patches."), std::string::npos) << r.err;
    EXPECT_EQ(Run({"load", "plugins/mod.tag"}).status, 2);
}

TEST_F(CliText, DiffOfTwoFoldersComparesWhatLookupsGive)
{
    for (const char* side : {"a", "b"}) {
        data.mkdir(std::string(side) + "/tags");
        data.mkdir(std::string(side) + "/plugins");
        write_file(data / side + "/tags/base.tag",
                   build_multi_tag_file({{"rawd", "over", "over", 1, make_bytes(16, 1)}}, 3));
    }
    bytes note = make_bytes(10, 2), changed = note;
    changed[3] ^= 1;
    changed[7] ^= 1;
    changed.push_back(0);
    write_file(data / "a/plugins/p.tag", build_multi_tag_file({{"obje", "body", "body", 1, Object(256)},
                                                                {"rawd", "note", "note", 1, note},
                                                                {"soun", "gone", "gone", 1, make_bytes(64, 3)}}));
    write_file(data / "b/plugins/p.tag", build_multi_tag_file({{"obje", "body", "Body", 1, Object(-3)},
                                                                {"rawd", "note", "note", 2, changed},
                                                                {"rawd", "over", "over", 1, make_bytes(16, 4)},
                                                                {"text", "newt", "new", 1, bytes{'h', 'i'}}}));
    bytes over_a = make_bytes(16, 1), over_b = make_bytes(16, 4);
    int over = 0;
    for (size_t i = 0; i < 16; ++i) over += over_a[i] != over_b[i];
    cli_result r = Run({"diff", "a", "b"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Sorted(Lines(r.out)), Sorted({"~ obje body Body: name \"body\" -> \"Body\"",
                                            "~ obje body Body: maximum_vitality 256 -> -3",
                                            "~ rawd note note: version 1 -> 2",
                                            "~ rawd note note: data (3 bytes differ)",
                                            "~ rawd over over: data (" + std::to_string(over) + " bytes differ)",
                                            "- soun gone gone", "+ text newt new"}))
        << r.out;
    EXPECT_EQ(Lines(r.out).back(), "+ text newt new") << "tags only in B come last";
    EXPECT_EQ(Run({"diff", "a", "plugins/mod.tag"}).status, 2);
}

TEST_F(CliText, CheckListsDanglingReferencesUnreadableTagsAndDuplicateIds)
{
    cli_result r = Run({"check"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "mons orc_ (orc) -> proj arro missing\n1 missing reference, 0 unreadable tags, 0 duplicate ids\n");
    write_text(data / "arrow.json", R"({"type": "proj", "id": "arro", "fields": {}})");
    ASSERT_EQ(Run({"load", "plugins/arrows.tag", "arrow.json"}).status, 0);
    r = Run({"check"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "0 missing references, 0 unreadable tags, 0 duplicate ids\n");
    std::remove((data / "plugins/arrows.tag").c_str());

    unit_definition unit{};
    tag_struct_defaults(unit);
    unit.monster_tag = code("wolf");
    bytes broken = build_multi_tag_file({{"soun", "lost", "lost", 1, make_bytes(64, 1)}});
    put_be32(broken, 128 + 44, 0x10000000); // its data lies past the end of the file
    write_file(data / "plugins/broken.tag", broken);
    write_file(data / "plugins/more.tag", build_multi_tag_file({{"unit", "wolf", "wolf", 2, tag_struct_bytes(unit)},
                                                                 {"scen", "rock", "rock", 2, make_bytes(10, 2)},
                                                                 {"rawd", "dupl", "one", 1, make_bytes(4, 3)},
                                                                 {"rawd", "dupl", "two", 1, make_bytes(4, 4)}}));
    r = Run({"check"});
    EXPECT_EQ(r.status, 1);
    std::vector<std::string> lines = Lines(r.out);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), "2 missing references, 2 unreadable tags, 1 duplicate id");
    lines.pop_back();
    EXPECT_EQ(Sorted(lines), Sorted({"mons orc_ (orc) -> proj arro missing", "unit wolf (wolf) -> mons wolf missing",
                                     "scen rock (rock) unreadable: its data is too short or damaged",
                                     "soun lost (lost) unreadable: its data cannot be read from " + data.path() +
                                         "/plugins/broken.tag",
                                     "rawd dupl (two) duplicate id in " + data.path() + "/plugins/more.tag"}))
        << r.out;
}
