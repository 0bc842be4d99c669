#include <gtest/gtest.h>

#include "framework/XGFile.h"
#include "model/skelanim.h"
#include "model/skeleton_export_writer.h"
#include "model/skmd_format.h"
#include "support/cli_runner.h"
#include "support/tag_file_bytes.h"
#include "tags/tags.h"

namespace {

class ModelCli : public ::testing::Test {
protected:
    TempFolder dir;

    void SetUp() override { write_text(dir / "figure.skl", make_cylinder_export(cylinder_export_shape()).text); }
};

} // namespace

TEST_F(ModelCli, ImportSklMakesASkeletalModelTag)
{
    cli_result r = run_cli({"import-skl", "models.tag", "figure.skl"}, dir.path());
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.substr(0, 10), "skmd\tfigu\t");
    r = run_cli({"import-skl", "models.tag", "figure.skl", "Second Figure"}, dir.path());
    ASSERT_EQ(r.status, 0) << r.err;

    TTagStore store;
    tag_file* f = store.open_tag_file(dir / "models.tag", false);
    ASSERT_NE(f, nullptr);
    tag_group* g = tag_file_group(f, code("skmd"));
    ASSERT_EQ(tag_count_tags(g), 2);
    tag_entry* second = g->last;
    EXPECT_STREQ(tag_get_name(second), "Second Figure");
    TSkeletalModelTag tag = load_skeletal_model_tag(second);
    ASSERT_EQ(tag.models.size(), 1u);
    EXPECT_STREQ(tag.models[0]->header.name, "figure.skl");
}

TEST_F(ModelCli, BadExportsWriteNothing)
{
    write_text(dir / "bad.skl", "SKELETON\nVERSION 2\nNUMMATERIALS 0\nNUMBONES 1\nBONE 0 -1 a\nNUMVERTS 1\nVERT 5\n");
    cli_result r = run_cli({"import-skl", "models.tag", "bad.skl"}, dir.path());
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("bad.skl - line 7: the vertex index 5 is outside 0..0"), std::string::npos) << r.err;
    EXPECT_FALSE(XGFile::Exists(dir / "models.tag"));

    ASSERT_EQ(run_cli({"import-skl", "models.tag", "figure.skl"}, dir.path()).status, 0);
    bytes before = read_file(dir / "models.tag");
    EXPECT_EQ(run_cli({"import-skl", "models.tag", "bad.skl"}, dir.path()).status, 1);
    EXPECT_EQ(run_cli({"import-skl", "models.tag", "missing.skl"}, dir.path()).status, 1);
    EXPECT_EQ(read_file(dir / "models.tag"), before);

    EXPECT_EQ(run_cli({"import-skl", "models.tag"}, dir.path()).status, 2);
    EXPECT_EQ(run_cli({"import-skl", "models.tag", "figure.skl", std::string(40, 'n')}, dir.path()).status, 2);
}

TEST_F(ModelCli, ImportAse)
{
    write_text(dir / "cam.ase", "*CONTROL_POS_TRACK {\n*CONTROL_POS_SAMPLE 0 1 2 3\n}\n"
                                "*CONTROL_ROT_TRACK {\n*CONTROL_ROT_SAMPLE 0 0 0 1 0.5\n}\n");
    cli_result r = run_cli({"import-ase", "cams.tag", "cam.ase"}, dir.path());
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("canm\t"), std::string::npos);
    EXPECT_NE(r.out.find("\t56\tcam\t"), std::string::npos) << r.out;

    write_text(dir / "half.ase", "*CONTROL_POS_TRACK {\n*CONTROL_POS_SAMPLE 0 1 2 3\n}\n");
    r = run_cli({"import-ase", "other.tag", "half.ase"}, dir.path());
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("no \"*CONTROL_ROT_TRACK\""), std::string::npos) << r.err;
    EXPECT_FALSE(XGFile::Exists(dir / "other.tag"));
}

TEST_F(ModelCli, SampleDataHasAModelItsAnimationAndACamera)
{
    ASSERT_EQ(run_cli({"make-sample-data", "data"}, dir.path()).status, 0);
    EXPECT_TRUE(XGFile::Exists(dir / "data/sources/sample_figure.skl"));
    TTagStore store;
    store.load_data_folder(dir / "data");
    tag_entry* skmd = store.find_tag(code("skmd"), code("figr"));
    tag_entry* skan = store.find_tag(code("skan"), code("figa"));
    ASSERT_NE(skmd, nullptr);
    ASSERT_NE(skan, nullptr);
    EXPECT_EQ(load_skeletal_model_tag(skmd).models.size(), 1u);
    TSkeletalAnimationSet set = load_skeletal_animation_tag(skan);
    ASSERT_EQ(set.animations.size(), 1u);
    EXPECT_EQ(set.animations[0]->frames.size(), 3u);
    tag_group* cameras = tag_file_group(skmd->file, code("canm"));
    ASSERT_NE(cameras, nullptr);
    EXPECT_EQ(tag_count_tags(cameras), 1);
    EXPECT_NE(read_text(dir / "data/root_list.txt").find("skmd:figr"), std::string::npos);
}
