#include <gtest/gtest.h>

#include "shell/cin_bytes.h"
#include "support/cli_runner.h"

namespace {

class ImportCinCommand : public ::testing::Test {
protected:
    TempFolder data;

    void SetUp() override
    {
        for (const char* sub : {"tags", "local", "plugins"}) data.mkdir(sub);
    }

    cli_result Run(std::vector<std::string> args)
    {
        args.insert(args.begin(), {"--data", data.path()});
        return run_cli(args, data.path());
    }
};

bytes Dialogs(const std::string& label)
{
    return cin_file({view_resource("Main Menu", 0, 0, 640, 480,
                                   {control("pbtn", 1, 0, 0, 10, 10, filler(8) + pstring(label), 0)}),
                     view_resource("Broken", 0, 0, 1, 1, {control("xxxx", 1, 0, 0, 0, 0, {})}),
                     view_resource("Chat", 0, 0, 1, 1, {control("list", 444, 0, 0, 0, 0, filler(14), 0)})});
}

} // namespace

TEST_F(ImportCinCommand, MakesThenReplacesAndReportsEachDialog)
{
    write_file(data / "ui.CIN", Dialogs("Play"));
    cli_result r = Run({"import-cin", "plugins/ui.tag", "ui.CIN"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("made bina/mame \"Main Menu\""), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("skipped \"Broken\": control 1 has the unknown class `xxxx`"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("2 made, 0 replaced, 1 skipped\n"), std::string::npos) << r.out;

    write_file(data / "ui.CIN", Dialogs("Start"));
    r = Run({"import-cin", "plugins/ui.tag", "ui.CIN"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("0 made, 2 replaced, 1 skipped\n"), std::string::npos) << r.out;
    r = Run({"list", "plugins/ui.tag"});
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 2) << r.out;
    r = Run({"export", "bina", "mame", "mame.bin"});
    ASSERT_EQ(r.status, 0) << r.err;
    bytes menu = read_file(data / "mame.bin");
    EXPECT_EQ(std::string(menu.end() - 6, menu.end()), std::string("Start", 6));
}

TEST_F(ImportCinCommand, SavesAReplacedTagInItsOwnFileAndOverridesBaseTags)
{
    write_file(data / "local/menu.tag", build_single_tag_file({"bina", "mame", "menu", 1, make_bytes(12, 1)}));
    write_file(data / "tags/base.tag", build_multi_tag_file({{"bina", "chat", "chat", 1, make_bytes(12, 2)}}, 3));
    bytes base = read_file(data / "tags/base.tag");
    write_file(data / "ui.CIN", Dialogs("Play"));
    cli_result r = Run({"import-cin", "plugins/ui.tag", "ui.CIN"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("replaced bina/mame \"Main Menu\" in " + data.path() + "/local/menu.tag"),
              std::string::npos) << r.out;
    EXPECT_NE(r.out.find("made bina/chat \"Chat\" in plugins/ui.tag"), std::string::npos) << r.out;
    EXPECT_EQ(read_file(data / "tags/base.tag"), base);
    EXPECT_EQ(read_file(data / "local/menu.tag").size(), 64 + 12 + 24 + 5u);
}

TEST_F(ImportCinCommand, ABadFileOrCommandLineWritesNothing)
{
    bytes bad = Dialogs("Play");
    bad.resize(bad.size() - 1);
    write_file(data / "bad.CIN", bad);
    cli_result r = Run({"import-cin", "plugins/ui.tag", "bad.CIN"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("bad.CIN is damaged"), std::string::npos) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_TRUE(data.files("plugins").empty());
    EXPECT_EQ(Run({"import-cin", "plugins/ui.tag"}).status, 2);
}

TEST_F(ImportCinCommand, SampleDataHoldsTheDialogsOfItsInterfaceFile)
{
    std::string sample = data / "sample";
    ASSERT_EQ(run_cli({"make-sample-data", sample}).status, 0);
    std::vector<bytes> base;
    for (const char* id : {"mame", "gaop", "pllo"}) {
        EXPECT_NE(read_text(sample + "/root_list.txt").find(std::string("bina:") + id), std::string::npos);
        ASSERT_EQ(run_cli({"--data", sample, "export", "bina", id, "base.bin"}, sample).status, 0);
        base.push_back(read_file(sample + "/base.bin"));
    }
    // the base file is protected, so a second import makes the plugin's own copies
    cli_result r =
        run_cli({"--data", sample, "import-cin", "plugins/more.tag", "interface/sample_dialogs.CIN"}, sample);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("3 made, 0 replaced, 0 skipped"), std::string::npos) << r.out;
    int i = 0;
    for (const char* id : {"mame", "gaop", "pllo"}) {
        r = run_cli({"--data", sample, "find", "bina", id}, sample);
        EXPECT_NE(r.out.find("plugins/more.tag"), std::string::npos) << r.out;
        ASSERT_EQ(run_cli({"--data", sample, "export", "bina", id, "plugin.bin"}, sample).status, 0);
        EXPECT_EQ(read_file(sample + "/plugin.bin"), base[i++]) << id;
    }
}
