#include <gtest/gtest.h>

#include <cmath>

#include "framework/XGFile.h"
#include "model/skan_playback.h"
#include "model/skelanim.h"
#include "model/skeleton_export_writer.h"
#include "model/skmd_format.h"
#include "render/png_writer.h"
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

TEST_F(ModelCli, SampleDataHasAWalkingFigureWithItsSkinAndACamera)
{
    ASSERT_EQ(run_cli({"make-sample-data", "data"}, dir.path()).status, 0);
    EXPECT_TRUE(XGFile::Exists(dir / "data/sources/sample_figure.skl"));
    TTagStore store;
    store.load_data_folder(dir / "data");
    tag_entry* skmd = store.find_tag(code("skmd"), code("figr"));
    ASSERT_NE(skmd, nullptr);
    TSkeletalModelTag tag = load_skeletal_model_tag(skmd);
    ASSERT_EQ(tag.models.size(), 1u);
    const TSkeletalModel& model = *tag.models[0];
    EXPECT_EQ(model.header.collision_box_count, 3);
    int limbs = 0;
    for (const skmd_bone& bone : model.bones) limbs += (bone.flags & SKMD_BONE_LIMB) && bone.radius > 0;
    EXPECT_GE(limbs, 8);
    ASSERT_NE(store.find_tag(code("txst"), tag_code(tag.header.word4)), nullptr) << "its skin";

    tag_entry* skan = store.find_tag(code("skan"), tag_code(tag.header.word0));
    ASSERT_NE(skan, nullptr);
    TSkeletalAnimationSet set = load_skeletal_animation_tag(skan);
    EXPECT_EQ(skan_fit_problem(set, model), "");
    ASSERT_EQ(set.animations.size(), 1u);
    const TSkeletalAnimation& walk = *set.animations[0];
    EXPECT_GE(walk.frames.size(), 16u);
    // it walks: it moves on every frame, the legs swing and each foot comes down once
    int footprints = 0;
    for (const TSkeletalAnimationFrame& frame : walk.frames) {
        EXPECT_GT(frame.record.frame_motion, 0);
        footprints += skan_unpack_event(frame.record).event_type == 7;
    }
    EXPECT_EQ(footprints, 2);
    std::vector<skmd_transform> first = skan_frame_transforms(model, walk, 0);
    std::vector<skmd_transform> quarter = skan_frame_transforms(model, walk, int(walk.frames.size() / 4));
    size_t thigh = 2;
    ASSERT_STREQ(model.bones[thigh].name, "L Thigh");
    EXPECT_GT(std::fabs(quarter[thigh].rotation[0][2] - first[thigh].rotation[0][2]), 0.3f);

    tag_group* cameras = tag_file_group(skmd->file, code("canm"));
    ASSERT_NE(cameras, nullptr);
    EXPECT_EQ(tag_count_tags(cameras), 1);
    EXPECT_NE(read_text(dir / "data/root_list.txt").find("skmd:figr"), std::string::npos);
}

TEST_F(ModelCli, RenderModelWritesThePictureOrSaysWhyNot)
{
    ASSERT_EQ(run_cli({"make-sample-data", "data"}, dir.path()).status, 0);
    auto render = [&](std::vector<std::string> args) {
        args.insert(args.begin(), {"--data", "data", "render-model", "data/plugins/sample.tag", "figr"});
        return run_cli(args, dir.path());
    };
    cli_result r = render({"figure.png", "--size", "64x48", "--animation", "figa", "--frame", "6", "--yaw", "90"});
    ASSERT_EQ(r.status, 0) << r.err;
    texture_image picture;
    std::string why;
    ASSERT_TRUE(read_png_file(dir / "figure.png", picture, &why)) << why;
    EXPECT_EQ(picture.width, 64u);
    EXPECT_EQ(picture.height, 48u);
    EXPECT_EQ(picture.channels, 4u);

    r = render({"late.png", "--animation", "figa", "--frame", "24"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("no frame 24 (frames: 0 to 23)"), std::string::npos) << r.err;
    r = render({"late.png", "--lod", "11", "--model", "1"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("no model 1"), std::string::npos) << r.err;
    EXPECT_FALSE(XGFile::Exists(dir / "late.png"));
    EXPECT_EQ(render({"late.png", "--frame", "2"}).status, 2) << "a frame needs an animation";
    EXPECT_EQ(render({"late.png", "--size", "0x10"}).status, 2);
}
