// The model renderer: what it asks of GL for each part of the viewer's picture, and
// pictures drawn by Mesa read back.
#include <gtest/gtest.h>

#include <cmath>

#include "framework/XGError.h"
#include "model/figure_export_writer.h"
#include "model/skan_playback.h"
#include "model/skeleton_animation_import.h"
#include "model/skeleton_model_import.h"
#include "render/model_picture.h"
#include "render/model_renderer.h"
#include "support/gl_recorder.h"
#include "support/test_support.h"
#include "tags/tag_types.h"

namespace {

std::unique_ptr<TSkeletalModel> Figure(bool wave)
{
    TSkeletonFile file;
    file.Parse(make_figure_export(4, wave).text, "figure.skl");
    return build_skeletal_model(file, "figure.skl");
}

class ModelPictures : public ::testing::Test {
protected:
    TTagStore store;
    tag_file* file = store.new_tag_file();

    tag_entry* Add(const char* type, const char* id, const std::vector<uint8_t>& data)
    {
        tag_code t = text_to_tag_code(type);
        return store.create_tag(file, t, text_to_tag_code(id), int16_t(tag_type_version(t)), id, 0,
                                uint32_t(data.size()), data.data());
    }

    tag_entry* AddFigure(const char* id, bool wave)
    {
        TSkeletalModelTag tag;
        tag.models.push_back(Figure(wave));
        return Add("skmd", id, skmd_store(tag));
    }

    // The opaque pixels of a picture.
    static std::vector<bool> Covered(const texture_image& picture)
    {
        std::vector<bool> covered(size_t(picture.width) * picture.height);
        for (size_t i = 0; i < covered.size(); ++i) covered[i] = picture.pixels[i * 4 + 3] > 128;
        return covered;
    }

    // How much of the two masks overlap, the second mirrored left to right when asked.
    static double Overlap(const std::vector<bool>& a, const std::vector<bool>& b, int width, bool mirror)
    {
        int both = 0, either = 0;
        int height = int(a.size()) / width;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                bool p = a[size_t(y * width + x)], q = b[size_t(y * width + (mirror ? width - 1 - x : x))];
                both += p && q;
                either += p || q;
            }
        return either ? double(both) / either : 1.0;
    }
};

} // namespace

TEST(ModelRenderer, EachToggleDrawsItsPartAndTheMeshLeavesTheStateAsItFoundIt)
{
    std::unique_ptr<TSkeletalModel> model = Figure(false);
    model->collision_boxes.resize(2);
    model->header.collision_box_count = 2;
    TskmdScene scene;
    scene.Build(*model, model->header.lod_count - 1, nullptr, 2);
    ASSERT_FALSE(scene.IsEmpty()) << scene.Problem();
    skmd_orbit_camera camera;
    camera.Frame(scene.fBounds, 1.0f);

    gl_recorder rec;
    gl_functions gl = rec.functions();
    model_renderer renderer(gl);
    texture_image skin;
    skin.width = skin.height = 4;
    skin.channels = 3;
    skin.pixels.assign(skin.size(), 90);
    renderer.set_skin(&skin);
    ASSERT_EQ(rec.live_textures.size(), 1u);

    auto elements = [&] {
        std::vector<double> counts;
        for (const gl_recorder::call* c : rec.named("DrawElements")) counts.push_back(c->args[1]);
        return counts;
    };
    model_view_options options;
    rec.clear();
    renderer.draw_scene(scene, camera, 200, 100, options);
    double triangles = double(scene.fMesh.triangles.size());
    EXPECT_EQ(elements(), std::vector<double>{triangles});
    EXPECT_EQ(rec.count("BindTexture"), 1u);
    EXPECT_EQ(rec.count("Begin"), 0u) << "no cylinder, no bones";
    EXPECT_EQ(rec.count("PushAttrib"), rec.count("PopAttrib"));
    EXPECT_EQ(rec.count("EnableClientState"), rec.count("DisableClientState"));

    options.mesh = false;
    options.wireframe = options.boxes = options.bones = options.cylinder = true;
    rec.clear();
    renderer.draw_scene(scene, camera, 200, 100, options);
    EXPECT_EQ(elements(), (std::vector<double>{triangles, 72}));
    EXPECT_EQ(rec.count("BindTexture"), 0u);
    bool lines = false;
    for (const gl_recorder::call* c : rec.named("PolygonMode")) lines |= c->args[1] == GL_LINE;
    EXPECT_TRUE(lines);
    std::vector<double> primitives;
    for (const gl_recorder::call* c : rec.named("Begin")) primitives.push_back(c->args[0]);
    EXPECT_EQ(primitives, (std::vector<double>{GL_TRIANGLE_STRIP, GL_TRIANGLE_FAN, GL_TRIANGLE_FAN, GL_LINES, GL_POINTS}));
    EXPECT_EQ(rec.count("Vertex3f"), 42u + 22 + 22 + scene.fBoneLines.size() / 3 + scene.fBonePoints.size() / 3);

    // an empty scene is cleared and nothing more
    scene.Clear("gone");
    rec.clear();
    renderer.draw_scene(scene, camera, 200, 100, options);
    EXPECT_EQ(rec.count("Clear"), 1u);
    EXPECT_EQ(rec.count("DrawElements") + rec.count("Begin"), 0u);

    renderer.release();
    EXPECT_TRUE(rec.live_textures.empty());
}

TEST_F(ModelPictures, TheModelCoversTheCentreOnAClearBackgroundAndTurningItMirrorsIt)
{
    tag_entry* plain = AddFigure("fig_", false);
    model_picture_options o;
    o.width = 160;
    o.height = 120;
    texture_image picture = render_model_picture(store, plain, o);
    ASSERT_EQ(picture.width, 160u);
    ASSERT_EQ(picture.channels, 4u);
    std::vector<bool> covered = Covered(picture);
    // the framed bounds' centre is the picture's centre
    EXPECT_TRUE(covered[size_t(60 * 160 + 80)]);
    for (int x : {0, 159})
        for (int y : {0, 119}) EXPECT_EQ(picture.pixels[size_t(y * 160 + x) * 4 + 3], 0) << x << ", " << y;
    int count = 0;
    for (bool c : covered) count += c;
    EXPECT_GT(count, 160 * 120 / 20);
    EXPECT_LT(count, 160 * 120 / 2);
    // lit: the mesh is not one flat colour
    uint8_t darkest = 255, brightest = 0;
    for (size_t i = 0; i < covered.size(); ++i)
        if (covered[i]) {
            darkest = std::min(darkest, picture.pixels[i * 4 + 1]);
            brightest = std::max(brightest, picture.pixels[i * 4 + 1]);
        }
    EXPECT_GT(brightest - darkest, 40);

    // one arm raised sideways: from behind, the picture is the front's mirror image
    tag_entry* waving = AddFigure("wave", true);
    o.pitch = 0;
    std::vector<bool> front = Covered(render_model_picture(store, waving, o));
    o.yaw = 180;
    std::vector<bool> back = Covered(render_model_picture(store, waving, o));
    EXPECT_LT(Overlap(front, front, 160, true), 0.8) << "the figure is not symmetric";
    EXPECT_GT(Overlap(front, back, 160, true), 0.9);
}

TEST_F(ModelPictures, AnimationFramesAndWhatCannotBeDrawn)
{
    tag_entry* skmd = AddFigure("fig_", false);
    TSkeletonFile file;
    file.Parse(make_figure_export(4, false).text, "figure.skl");
    std::unique_ptr<TSkeletalModel> model = Figure(false);
    TSkeletalAnimationSet set;
    set.bones = skan_bone_bases_for(*model);
    import_skeleton_animation(set, file, "walk");
    Add("skan", "walk", skan_write(set));
    TSkeletalAnimationSet loose;
    import_skeleton_animation(loose, file, "walk");
    loose.bones.pop_back();
    for (auto& frame : loose.animations[0]->frames) frame.poses.pop_back();
    Add("skan", "lose", skan_write(loose));

    model_picture_options o;
    o.width = o.height = 96;
    std::vector<bool> rest = Covered(render_model_picture(store, skmd, o));
    o.animation = text_to_tag_code("walk");
    o.frame = 1;
    std::vector<bool> stride = Covered(render_model_picture(store, skmd, o));
    EXPECT_LT(Overlap(rest, stride, 96, false), 0.95) << "the legs moved";

    auto fails = [&](model_picture_options bad) {
        try {
            render_model_picture(store, skmd, bad);
        } catch (const XGError& e) {
            return e.GetMessage();
        }
        return std::string("no error");
    };
    o.frame = 4;
    EXPECT_NE(fails(o).find("no frame 4 (frames: 0 to 3)"), std::string::npos) << fails(o);
    o.frame = 0;
    o.animation = text_to_tag_code("lose");
    EXPECT_NE(fails(o).find("cannot play on this model"), std::string::npos) << fails(o);
    o.animation = text_to_tag_code("none");
    EXPECT_NE(fails(o).find("no skeletal animation none"), std::string::npos) << fails(o);
    o = {};
    o.model = 1;
    EXPECT_NE(fails(o).find("no model 1 (models: 0 to 0)"), std::string::npos) << fails(o);
    o = {};
    o.level = 40;
    EXPECT_NE(fails(o).find("no level 40"), std::string::npos) << fails(o);
    tag_entry* damaged = Add("skmd", "bad_", std::vector<uint8_t>(300, 0xEE));
    EXPECT_THROW(render_model_picture(store, damaged, {}), XGError);
}
