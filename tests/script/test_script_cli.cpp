#include <filesystem>

#include "script_test_support.h"
#include "sound/sound_definition.h"
#include "support/cli_runner.h"

namespace {

// The sample data folder, made once for the suite, copied for each test.
class ScriptCli : public ::testing::Test {
protected:
    static std::string& Sample()
    {
        static TempFolder made;
        static std::string path = [] {
            cli_result r = run_cli({"make-sample-data", made / "data"});
            EXPECT_EQ(r.status, 0) << r.err;
            return made / "data";
        }();
        return path;
    }

    void SetUp() override
    {
        std::filesystem::copy(Sample(), data, std::filesystem::copy_options::recursive);
    }

    // Runs in the data folder, as the sample scripts expect.
    cli_result Run(std::vector<std::string> args)
    {
        args.insert(args.begin(), "run-script");
        return run_cli(args, data);
    }

    TempFolder folder;
    std::string data = folder / "data";
};

int Permutations(const std::string& file, const char* id)
{
    TTagStore store;
    tag_file* f = store.open_tag_file(file, false);
    tag_entry* e = f ? tag_find_in_file(f, code("soun"), code(id)) : nullptr;
    TSoundDefinition sound;
    return e && read_sound_definition(sound, e) ? sound.PermutationCount() : -1;
}

} // namespace

TEST_F(ScriptCli, AParseErrorChangesNothing)
{
    write_text(data + "/bad.QSF", "replace_monster_stats\n\nmons warr large\n");
    bytes plugin = read_file(data + "/plugins/sample.tag");
    cli_result r = Run({"bad.QSF"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "Line 3: (left_handed_fraction) parameter was expected, none found\n");
    EXPECT_FALSE(std::filesystem::exists(data + "/script_log.txt"));
    EXPECT_EQ(read_file(data + "/plugins/sample.tag"), plugin);
    EXPECT_EQ(Run({}).status, 2);
}

TEST_F(ScriptCli, SampleStatisticsExportReadsBack)
{
    cli_result r = Run({"scripts/export_stats.QSF"});
    ASSERT_EQ(r.status, 0) << r.err;
    std::string stats = read_text(data + "/unit_stats.txt");
    EXPECT_EQ(stats.rfind("replace_monster_stats // (don't change this)\n", 0), 0u);
    EXPECT_NE(stats.find("// warrior\nmons\twarr\t"), std::string::npos);
    EXPECT_NE(stats.find("\nattk\tdwrf\t1\t"), std::string::npos);
    EXPECT_NE(stats.find("\nobje\twood\t40.0\t40.0\t1.0\t1.246\t"), std::string::npos);

    bytes plugin = read_file(data + "/plugins/sample.tag");
    size_t at = stats.find("mons\twarr\tunwieldy\t");
    ASSERT_NE(at, std::string::npos);
    stats.replace(at, 18, "mons\twarr\tlarge\t");
    write_text(data + "/unit_stats.txt", stats);
    r = Run({"unit_stats.txt"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("saved ./plugins/sample.tag"), std::string::npos) << r.out;
    std::string log = read_text(data + "/script_log.txt");
    EXPECT_NE(log.find("Running script unit_stats.txt...\n(replace_monster_stats) updating data for tag mons/warr\n"),
              std::string::npos);
    // The objects live in the base file, which is never changed.
    EXPECT_NE(log.find("(replace_monster_stats) skipping readonly file sample_base.tag\n"), std::string::npos);
    bytes changed = read_file(data + "/plugins/sample.tag");
    EXPECT_NE(changed, plugin);

    TTagStore store;
    store.load_data_folder(data);
    tag_entry* warrior = store.find_tag(code("mons"), code("warr"));
    ASSERT_NE(warrior, nullptr);
    uint32_t size = 0;
    const uint8_t* d = tag_get_data(warrior, &size);
    ASSERT_TRUE(d && size == 1024);
    EXPECT_EQ(read_be16(d + 138), 2); // large
}

TEST_F(ScriptCli, SampleSoundScriptsMakeAndFillSounds)
{
    cli_result r = Run({"scripts/create_sounds.QSF"});
    ASSERT_EQ(r.status, 0) << r.err;
    std::string made = data + "/plugins/created_sounds.tag";
    EXPECT_EQ(Permutations(made, "bell"), 0);
    EXPECT_EQ(Permutations(made, "clic"), 0);

    r = Run({"scripts/replace_sounds.QSF"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("created_sounds.tag"), std::string::npos) << r.out;
    EXPECT_EQ(Permutations(made, "bell"), 2);
    EXPECT_EQ(Permutations(made, "clic"), 1);

    // Made again, the file is open from the data folder and is left alone.
    bytes filled = read_file(made);
    r = Run({"scripts/create_sounds.QSF"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(read_file(made), filled);
    EXPECT_NE(read_text(data + "/script_log.txt").find("is an open tag file and was not replaced"), std::string::npos);
}

TEST_F(ScriptCli, ReplaceModelsImportsTheSampleFigure)
{
    write_text(data + "/models.QSF", "replace_models\ntag figr sources/sample_figure.skl sources/sample_figure.skl\n");
    bytes before = read_file(data + "/plugins/sample.tag");
    cli_result r = Run({"models.QSF", "plugins/sample.tag"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(read_text(data + "/script_log.txt"), "Running script models.QSF...\nFinished with script models.QSF\n\n");
    EXPECT_NE(read_file(data + "/plugins/sample.tag"), before);
}
