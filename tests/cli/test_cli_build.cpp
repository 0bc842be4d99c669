#include <gtest/gtest.h>

#include "framework/XGFile.h"
#include "support/cli_runner.h"
#include "support/tag_file_bytes.h"

namespace {

class CliBuild : public ::testing::Test {
protected:
    TempFolder data;

    void SetUp() override
    {
        data.mkdir("tags");
        data.mkdir("local");
        data.mkdir("plugins");
        write_file(data / "tags/base.tag",
                   build_multi_tag_file({{"mons", "fibo", "base monster", 1, bytes(1024, 0)}}, 3, 0, "base"));
    }

    cli_result Run(std::vector<std::string> args)
    {
        args.insert(args.begin(), {"--data", data.path()});
        return run_cli(args, data.path());
    }

    bytes Export(const std::string& type, const std::string& id)
    {
        cli_result r = Run({"export", type, id, "export.bin"});
        EXPECT_EQ(r.status, 0) << r.err;
        return read_file(data / "export.bin");
    }
};

} // namespace

TEST_F(CliBuild, NewMakesATagWithItsDefaults)
{
    cli_result r = Run({"new", "plugins/new.tag", "mons", "Fire Bolt"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "mons\tfibp\t1\t1024\tFire Bolt\tplugins/new.tag\n") << "fibo is taken by the base file";
    bytes monster = Export("mons", "fibp");
    ASSERT_EQ(monster.size(), 1024u);
    EXPECT_EQ(be16(monster, 136), 0xFFFF);
    EXPECT_EQ(be16(monster, 536), 5);

    r = Run({"new", "plugins/new.tag", "mesh", "Big Map", "--id", "map1", "--size", "64x32"});
    ASSERT_EQ(r.status, 0) << r.err;
    bytes map = Export("mesh", "map1");
    EXPECT_EQ(map.size(), 1024u + 64 * 32 * 12);
    EXPECT_EQ(be16(map, 8), 2);
    EXPECT_EQ(be16(map, 10), 1);
    r = Run({"new", "plugins/new.tag", "mesh", "Small Map", "--id", "map2"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Export("mesh", "map2").size(), 1024u + 192 * 192 * 12);

    // the plugin now has a map: its file carries an entry point
    EXPECT_EQ(be16(read_file(data / "plugins/new.tag"), 100), 2);
}

TEST_F(CliBuild, NewRefusesWhatCannotBeMade)
{
    auto refused = [&](std::vector<std::string> args, int status, const std::string& message) {
        cli_result r = Run(args);
        EXPECT_EQ(r.status, status) << r.err;
        EXPECT_NE(r.err.find(message), std::string::npos) << r.err;
    };
    refused({"new", "plugins/n.tag", "mesh", "map", "--size", "48x32"}, 2,
            "The mesh sizes must be multiples of 32, between 32 and 512.");
    refused({"new", "plugins/n.tag", "mesh", "map", "--size", "big"}, 2, "--size");
    refused({"new", "plugins/n.tag", "unit", "wolf", "--size", "64x64"}, 2, "maps");
    refused({"new", "plugins/n.tag", "zzzz", "thing"}, 2, "not a tag type");
    refused({"new", "plugins/n.tag", "proj", "arrow"}, 1, "cannot be made with defaults");
    refused({"new", "plugins/n.tag", "unit"}, 2, "too few arguments");
    EXPECT_FALSE(XGFile::Exists(data / "plugins/n.tag"));
    refused({"new", "tags/base.tag", "unit", "wolf"}, 1, "Cannot modify base tags or patches.");

    ASSERT_EQ(Run({"new", "plugins/n.tag", "unit", "wolf"}).status, 0);
    bytes before = read_file(data / "plugins/n.tag");
    EXPECT_EQ(Run({"new", "plugins/n.tag", "obje", "thing", "--id", "wolf"}).status, 0) << "another type";
    refused({"new", "plugins/n.tag", "unit", "another", "--id", "wolf"}, 1, "already holds a tag unit/wolf");
    EXPECT_NE(read_file(data / "plugins/n.tag"), before);
}

TEST_F(CliBuild, BuildFoundationWritesTheOutputsAndSaysWhat)
{
    write_file(data / "plugins/units.tag",
               build_multi_tag_file({{"unit", "wolf", "wolf", 2, bytes(128, 0)}, {"obje", "rock", "rock", 1, bytes(64, 0)}}));
    write_text(data / "roots.txt", "unit:wolf obje:rock soun:none bad-item\n");
    cli_result r = Run({"build-foundation", "roots.txt"});
    ASSERT_EQ(r.status, 0) << r.err;
    std::string folder = data.path() + "/foundation_build";
    EXPECT_EQ(r.out, folder + "/small.tag: 2 tags (obje 1, unit 1)\n" + folder +
                         "/small_localized.tag: 0 tags\n" + folder + "/large.tag: 0 tags\n" + folder +
                         "/dependency_log.txt: 1 line\n");
    EXPECT_NE(r.err.find("'bad-item'"), std::string::npos) << r.err;
    EXPECT_EQ(read_text(folder + "/dependency_log.txt"), "missing tag soun/none (referenced from initial seeding)\n");

    r = Run({"build-foundation", "missing.txt"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("missing.txt"), std::string::npos) << r.err;
    EXPECT_EQ(Run({"build-foundation"}).status, 2);
}

TEST_F(CliBuild, UpdateFormatsSavesOnlyWhatChanged)
{
    bytes arrow = make_bytes(256, 3);
    write_file(data / "plugins/old.tag", build_multi_tag_file({{"proj", "arro", "arrow", 1, arrow}}));
    write_file(data / "plugins/current.tag", build_multi_tag_file({{"proj", "bolt", "bolt", 2, arrow}}));
    bytes current = read_file(data / "plugins/current.tag");
    cli_result r = Run({"update-formats"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "saved " + data.path() + "/plugins/old.tag\n1 tag converted, 0 given the current version\n");
    EXPECT_EQ(read_file(data / "plugins/current.tag"), current);
    bytes updated = Export("proj", "arro");
    EXPECT_EQ(be32(updated, 100), 0xFFFFFFFFu);
    EXPECT_NE(Run({"find", "proj", "arro"}).out.find("\t2\t256\t"), std::string::npos);

    r = Run({"update-formats"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "0 tags converted, 0 given the current version\n");
}

TEST_F(CliBuild, UpdateFormatsReportsWhatItCannotDo)
{
    write_file(data / "plugins/a.tag", build_multi_tag_file({{"scen", "tree", "tree", 1, make_bytes(128, 1)}}));
    write_file(data / "plugins/b.tag", build_multi_tag_file({{"unit", "wolf", "wolf", 1, make_bytes(20, 1)}}));
    bytes b = read_file(data / "plugins/b.tag");
    cli_result r = Run({"update-formats"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("'wolf' (unit/wolf)"), std::string::npos) << r.err;
    EXPECT_NE(r.out.find("saved " + data.path() + "/plugins/a.tag"), std::string::npos) << r.out;
    EXPECT_EQ(read_file(data / "plugins/b.tag"), b);

    write_file(data / "plugins/c.tag", build_multi_tag_file({{"scen", "bush", "bush", 1, make_bytes(128, 1)},
                                                             {"mesh", "map1", "map", 12, make_bytes(1024, 1)}}));
    bytes c = read_file(data / "plugins/c.tag");
    r = Run({"update-formats"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("v <= info->version"), std::string::npos) << r.err;
    EXPECT_EQ(read_file(data / "plugins/c.tag"), c);
}
