#include <gtest/gtest.h>

#include "support/cli_runner.h"
#include "support/tag_file_bytes.h"
#include "framework/XGFile.h"
#include "texture/texture_import.h"
#include "texture/txst_format.h"
#include "texture_test_support.h"

TEST(TextureCli, ImportPsdMakesATerrainStackAndSavesTheFile)
{
    TempFolder data;
    cli_result r = run_cli({"import-psd", "terrain.tag", fixture("terrain_zip.psd")}, data.path());
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.rfind("txst\t", 0), 0u) << r.out;
    TTagStore store;
    tag_file* f = store.open_tag_file(data / "terrain.tag", false);
    ASSERT_NE(f, nullptr);
    tag_group* g = tag_file_group(f, code("txst"));
    ASSERT_NE(g, nullptr);
    auto set = read_texture_set(g->entries);
    ASSERT_EQ(set->stack_count(), 1u);
    EXPECT_EQ(set->stacks[0].textures.size(), 3u);
    EXPECT_EQ(std::string(g->entries->name), "terrain_zip");
    EXPECT_EQ(g->entries->id, tag_id_from_name("terrain_zip"));
    EXPECT_EQ(terrain_tag_name("/art/a_colormap_named_at_great_length.PSD"), "a_colormap_named_at_great_lengt");

    // A file that cannot be imported writes nothing.
    write_file(data / "flat.psd", bytes(40, 1));
    r = run_cli({"import-psd", "other.tag", "flat.psd"}, data.path());
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("not a Photoshop file"), std::string::npos) << r.err;
    EXPECT_FALSE(XGFile::Exists(data / "other.tag"));
    EXPECT_EQ(run_cli({"import-psd", "other.tag", "missing.psd"}, data.path()).status, 1);
    EXPECT_EQ(run_cli({"import-psd", "other.tag"}, data.path()).status, 2);
}

TEST(TextureCli, CollapseTerrainOfTheSampleData)
{
    TempFolder data;
    ASSERT_EQ(run_cli({"make-sample-data", data.path()}).status, 0);
    EXPECT_TRUE(XGFile::Exists(data / "images/sample_terrain.psd"));
    cli_result list = run_cli({"--data", data.path(), "list"});
    for (const char* line : {"txst\tterr", "txst\tdetl", "txst\tcoll", "txst\tsprf", "spri\tsprt", "grsp\tgspr"})
        EXPECT_NE(list.out.find(line), std::string::npos) << line;

    cli_result r = run_cli({"--data", data.path(), "collapse-terrain", "collapsed.tag", "terr", "detl"}, data.path());
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("Collapsed Terrain Stack"), std::string::npos) << r.out;
    TTagStore store;
    tag_file* f = store.open_tag_file(data / "collapsed.tag", false);
    ASSERT_NE(f, nullptr);
    auto set = read_texture_set(tag_file_group(f, code("txst"))->entries);
    EXPECT_EQ(set->stack_count(), 9u); // the sample terrain is 256 x 256: 3 x 3 tiles

    r = run_cli({"--data", data.path(), "collapse-terrain", "none.tag", "terr", "gone"}, data.path());
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("txst/gone"), std::string::npos) << r.err;
    EXPECT_FALSE(XGFile::Exists(data / "none.tag"));
    EXPECT_EQ(run_cli({"--data", data.path(), "collapse-terrain", "none.tag", "terr"}, data.path()).status, 2);
}
