#include <gtest/gtest.h>

#include "support/cli_runner.h"
#include "framework/XGFile.h"
#include "support/tag_file_bytes.h"

namespace {

class CliTags : public ::testing::Test {
protected:
    TempFolder data;

    void SetUp() override
    {
        data.mkdir("tags");
        data.mkdir("local");
        data.mkdir("plugins");
        write_file(data / "tags/base.tag",
                   build_multi_tag_file({{"soun", "boom", "base boom", 1, make_bytes(40, 1)},
                                         {"soun", "hiss", "hiss", 1, make_bytes(0, 1)},
                                         {"unit", "wolf", "wolf", 2, make_bytes(128, 2)}},
                                        3, 0, "base"));
        write_file(data / "local/boom.tag", build_single_tag_file({"soun", "boom", "local boom", 1, make_bytes(41, 3)}));
        write_file(data / "plugins/mod.tag", build_multi_tag_file({{"mons", "orc_", "orc", 1, make_bytes(20, 4)}}));
    }

    cli_result Run(std::vector<std::string> args)
    {
        args.insert(args.begin(), {"--data", data.path()});
        return run_cli(args, data.path());
    }
};

} // namespace

TEST_F(CliTags, ListShowsEveryTagInStoreOrder)
{
    cli_result r = Run({"list"});
    ASSERT_EQ(r.status, 0) << r.err;
    std::string expected = "mons\torc_\t1\t20\torc\t" + data.path() + "/plugins/mod.tag\n" +
                           "soun\tboom\t1\t41\tlocal boom\t" + data.path() + "/local/boom.tag\n" +
                           "unit\twolf\t2\t128\twolf\t" + data.path() + "/tags/base.tag\n" +
                           "soun\tboom\t1\t40\tbase boom\t" + data.path() + "/tags/base.tag\n" +
                           "soun\thiss\t1\t0\thiss\t" + data.path() + "/tags/base.tag\n";
    EXPECT_EQ(r.out, expected);

    write_file(data / "extra.tag", build_multi_tag_file({{"text", "note", "note", 1, make_bytes(3, 1)}}));
    r = Run({"list", "extra.tag"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "text\tnote\t1\t3\tnote\textra.tag\n");

    // a name that would break the line is escaped, in list and find alike
    write_file(data / "plugins/odd.tag",
               build_multi_tag_file({{"text", "odd_", "tab\there\nnew\\line\r\x01\x7f", 1, make_bytes(3, 1)}}));
    std::string line = "text\todd_\t1\t3\ttab\\there\\nnew\\\\line\\r\\x01\\x7f\t" + data.path() + "/plugins/odd.tag\n";
    EXPECT_EQ(Run({"list", "plugins/odd.tag"}).out, line);
    EXPECT_EQ(Run({"find", "text", "odd_"}).out, line);
}

TEST_F(CliTags, FindPrefersTheLastLoadedFolderAndExitsOneWhenMissing)
{
    cli_result r = Run({"find", "soun", "boom"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "soun\tboom\t1\t41\tlocal boom\t" + data.path() + "/local/boom.tag\n");
    r = Run({"find", "soun", "nope"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("soun/nope"), std::string::npos);
}

TEST_F(CliTags, ExportWritesTheStoredBytes)
{
    cli_result r = Run({"export", "unit", "wolf", "wolf.bin"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(read_file(data / "wolf.bin"), make_bytes(128, 2));
    r = Run({"export", "soun", "hiss", "hiss.bin"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(read_file(data / "hiss.bin").empty());
}

TEST_F(CliTags, DamagedTagDataIsReportedByName)
{
    bytes bad = build_multi_tag_file({{"soun", "bad_", "broken", 1, make_bytes(40, 1)}});
    put_be32(bad, 128 + 44, 0x10000000);
    write_file(data / "plugins/bad.tag", bad);
    cli_result r = Run({"export", "soun", "bad_", "out.bin"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("soun/bad_ (broken)"), std::string::npos) << r.err;
    EXPECT_FALSE(XGFile::Exists(data / "out.bin"));

    write_file(data / "plugins/truncated.tag", bytes(bad.begin(), bad.begin() + 150));
    r = Run({"list"});
    EXPECT_EQ(r.status, 0) << "a file that is not a tag file is skipped";
    r = Run({"list", "plugins/truncated.tag"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("plugins/truncated.tag"), std::string::npos);
}

TEST_F(CliTags, SaveAsFollowsTheDestinationFolder)
{
    cli_result r = Run({"save-as", "plugins/mod.tag", "copy.tag"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(read_file(data / "copy.tag"), build_multi_tag_file({{"mons", "orc_", "orc", 1, make_bytes(20, 4)}}, 1, 0, "mod"));

    r = Run({"save-as", "plugins/mod.tag", "local/orc.tag"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(read_file(data / "local/orc.tag"), build_single_tag_file({"mons", "orc_", "orc", 1, make_bytes(20, 4)}));

    r = Run({"save-as", "tags/base.tag", "copy2.tag"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("Cannot modify base tags or patches."), std::string::npos) << r.err;

    r = Run({"save-as", "tags/base.tag", "local/several.tag"});
    EXPECT_EQ(r.status, 1);
    EXPECT_FALSE(XGFile::Exists(data / "local/several.tag"));
    EXPECT_EQ(data.files("local"), (std::vector<std::string>{"boom.tag", "orc.tag"}));

    r = Run({"save-as", "copy.tag", "plugins/mod.tag"});
    EXPECT_EQ(r.status, 1) << "a tag file exists there";
}

TEST_F(CliTags, ImportRawCreatesOrExtendsAFile)
{
    write_file(data / "logo.jpg", make_bytes(300, 5));
    write_file(data / "table.dat", make_bytes(30, 6));
    cli_result r = Run({"import-raw", "plugins/raw.tag", "logo.jpg", "table.dat"});
    ASSERT_EQ(r.status, 0) << r.err;
    // reading the written file back lists its types in reverse
    r = Run({"list", "plugins/raw.tag"});
    std::string path = data.path() + "/plugins/raw.tag";
    EXPECT_EQ(r.out, "jpeg\tlojp\t1\t300\tlogo.jpg\t" + path + "\n" + "rawd\ttada\t1\t30\ttable.dat\t" + path + "\n");

    bytes before = read_file(data / "plugins/raw.tag");
    r = Run({"import-raw", "plugins/raw.tag", "table.dat", "missing.dat"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(read_file(data / "plugins/raw.tag"), before) << "nothing written when one path fails";

    r = Run({"import-raw", "tags/base.tag", "table.dat"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("Cannot modify base tags or patches."), std::string::npos);

    ASSERT_TRUE(make_unwritable(data / "plugins/raw.tag"));
    r = Run({"import-raw", "plugins/raw.tag", "table.dat"});
    make_writable(data / "plugins/raw.tag");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("raw.tag - The file is read-only."), std::string::npos) << r.err;
    EXPECT_EQ(read_file(data / "plugins/raw.tag"), before);
}

TEST_F(CliTags, CommandLineMistakesExitTwo)
{
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"--data", data.path()}, {"--data", data.path(), "frobnicate"}, {"--data", data.path(), "find", "soun"},
             {"--data", data.path(), "export", "soun", "boom"}, {"--data", data / "missing", "list"}, {"--bogus", "list"}})
        EXPECT_EQ(run_cli(args, data.path()).status, 2) << testing::PrintToString(args);
}
