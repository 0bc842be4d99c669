#include <gtest/gtest.h>

#include "model/skeleton_animation_import.h"
#include "model/skeleton_export_writer.h"
#include "model/skeleton_model_import.h"
#include "model/skmd_replace.h"
#include "model_test_support.h"
#include "support/dependency_recorder.h"
#include "support/tag_file_bytes.h"
#include "tags/tag_types.h"

namespace {

class ModelTags : public ::testing::Test {
protected:
    TempFolder dir;
    TTagStore store;
    tag_file* file = store.new_tag_file();

    std::string Export(int segments)
    {
        cylinder_export_shape shape;
        shape.segments = segments;
        shape.rings = 2;
        std::string path = dir / ("m" + std::to_string(segments) + ".skl");
        write_text(path, make_cylinder_export(shape).text);
        return path;
    }

    tag_entry* NewTag(const char* type, const char* id)
    {
        tag_entry* e = store.create_tag(file, code(type), code(id), int16_t(tag_type_version(code(type))), id, 0, 0,
                                        nullptr);
        tag_type_set_defaults_hook(code(type))(e);
        return e;
    }
};

} // namespace

TEST_F(ModelTags, DefaultsAreEmptyTags)
{
    tag_entry* skmd = NewTag("skmd", "mdl_");
    EXPECT_EQ(tag_data(skmd), bytes(268, 0));
    EXPECT_TRUE(load_skeletal_model_tag(skmd).models.empty());
    tag_entry* skan = NewTag("skan", "anm_");
    EXPECT_EQ(tag_data(skan), bytes(24, 0));
    EXPECT_TRUE(load_skeletal_animation_tag(skan).animations.empty());
    EXPECT_EQ(tag_type_set_defaults_hook(code("canm")), nullptr);
}

TEST_F(ModelTags, Dependencies)
{
    DependencyRecorder recorder;
    tag_entry* skmd = NewTag("skmd", "mdl_");
    TSkeletalModelTag model = load_skeletal_model_tag(skmd);
    model.header.word0 = int32_t(code("walk"));
    model.header.word4 = int32_t(code("skin"));
    store_skeletal_model_tag(model, skmd);
    EXPECT_EQ(recorder.Collect(skmd), (std::vector<std::string>{"skan:walk", "txst:skin"}));

    // the projectiles of the frame events
    cylinder_export_shape shape;
    shape.frames = 3;
    TSkeletonFile source;
    source.Parse(make_cylinder_export(shape).text, "s.skl");
    tag_entry* skan = NewTag("skan", "anm_");
    TSkeletalAnimationSet set = load_skeletal_animation_tag(skan);
    import_skeleton_animation(set, source, "fire");
    skan_pack_event({6, 1, false, int32_t(code("arro"))}, set.animations[0]->frames[1].record);
    skan_pack_event({1, 0, false, int32_t(code("twng"))}, set.animations[0]->frames[2].record);
    write_skeletal_animation_tag(set, skan);
    EXPECT_EQ(recorder.Collect(skan), (std::vector<std::string>{"proj:arro"}));

    bytes junk = make_bytes(30, 4);
    tag_set_data(skan, junk.data(), uint32_t(junk.size()));
    EXPECT_TRUE(recorder.Collect(skan).empty());
}

TEST_F(ModelTags, ReplacingModels)
{
    tag_entry* e = NewTag("skmd", "mdl_");
    replace_skeletal_model(e, 0, Export(6));
    replace_skeletal_model(e, 1, Export(7));
    TSkeletalModelTag tag = load_skeletal_model_tag(e);
    ASSERT_EQ(tag.models.size(), 2u);
    EXPECT_STREQ(tag.models[0]->header.name, "m6.skl");
    EXPECT_STREQ(tag.models[1]->header.name, "m7.skl");
    uint16_t seven = tag.models[1]->header.vertex_count;

    replace_skeletal_model(e, 0, Export(8));
    tag = load_skeletal_model_tag(e);
    ASSERT_EQ(tag.models.size(), 2u);
    EXPECT_STREQ(tag.models[0]->header.name, "m8.skl");
    EXPECT_EQ(tag.models[1]->header.vertex_count, seven);

    // failures change nothing
    const bytes before = tag_data(e);
    EXPECT_NE(error_of([&] { replace_skeletal_model(e, 3, Export(6)); }).find("it has 2 models; model 3"),
              std::string::npos);
    write_text(dir / "bad.skl", "SKELETON VERSION 2 NUMMATERIALS 0 NUMBONES 300");
    EXPECT_NE(error_of([&] { replace_skeletal_model(e, 0, dir / "bad.skl"); }).find("bad.skl - line 1"),
              std::string::npos);
    EXPECT_NE(error_of([&] { replace_skeletal_model(e, 0, dir / "none.skl"); }), "no error");
    EXPECT_EQ(tag_data(e), before);

    bytes broken = before;
    put_be32(broken, 16, 9);
    tag_set_data(e, broken.data(), uint32_t(broken.size()));
    EXPECT_NE(error_of([&] { replace_skeletal_model(e, 0, Export(6)); }).find("not a valid skeletal model"),
              std::string::npos);
    EXPECT_EQ(tag_data(e), broken);
}
