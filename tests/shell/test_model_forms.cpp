// The skeletal model and animation forms: loading shows no change, each control
// changes its bytes, imports and deletions, the viewer they drive, and animations
// played against a clock the test turns.
#include <gtest/gtest.h>

#include <cstring>

#include "framework/qt/XGAlert.h"
#include "framework/qt/XGListControl.h"
#include "framework/qt/XGPopupMenu.h"
#include "framework/qt/XGSlider.h"
#include "framework/qt/XGWindow.h"
#include "model/TskmdViewer.h"
#include "model/figure_export_writer.h"
#include "model/skan_playback.h"
#include "model/skeleton_animation_import.h"
#include "model/skeleton_export_writer.h"
#include "model/skeleton_model_import.h"
#include "shell/TTolvaneApp.h"
#include "shell/editor_form_support.h"

namespace {

// Controls of the skeletal model form (view resource 137).
enum : int32_t {
    kViewer = 13700,
    kShowBoxes = 13704,
    kLevel = 13706,
    kViewerNote = 13708,
    kAnimationRef = 13710,
    kTextureRef = 13712,
    kModels = 13720,
    kModelName = 13721,
    kModelScale = 13722,
    kAddModel = 13723,
    kReplaceModel = 13724,
    kDeleteModel = 13725,
    kBones = 13730,
    kBoneAxis = 13731,
    kBoneNear = 13732,
    kBoneFar = 13733,
    kBoneRadius = 13734,
    kBoneLimb = 13735,
    kPlayTag = 13740,
    kPlayAnimation = 13742,
    kPlayNote = 13743,
    kPlay = 13744,
    kFrameSlider = 13745,
    kEvents = 13747,
};

// Controls of the skeletal animation form (view resource 139).
enum : int32_t {
    kAnimations = 13900,
    kAnimationName = 13901,
    kFrameRate = 13902,
    kImport = 13904,
    kDeleteAnimation = 13905,
    kFrames = 13910,
    kEventType = 13911,
    kEventTag = 13912,
    kEventBone = 13914,
    kActionKeyframe = 13915,
    kChoices = 13921,
    kWeight = 13922,
    kTotalWeight = 13923,
    kModelRef = 13930,
    kModelNote = 13932,
    kAnimationViewer = 13933,
    kAnimationSlider = 13935,
};

constexpr size_t kThigh = 2; // "L Thigh" of the figure

class ModelFormTest : public EditorFormTest {
protected:
    void SetUp() override
    {
        EditorFormTest::SetUp();
        TSkeletonFile file;
        file.Parse(make_figure_export(6).text, "figure.skl");
        fModel = build_skeletal_model(file, "figure.skl");
        fModel->header.scale = 0.5f;
        fModel->collision_boxes.resize(1);
        fModel->header.collision_box_count = 1;
        TSkeletalModelTag tag;
        tag.models.push_back(std::make_unique<TSkeletalModel>(*fModel));
        tag.header.word0 = int32_t(code("walk"));
        tag.header.word4 = int32_t(NONE_TAG);
        fModelBytes = skmd_store(tag);
        fSkmd = MakeTag("skmd", fModelBytes, "figure");

        TSkeletalAnimationSet set;
        set.bones = skan_bone_bases_for(*fModel);
        TSkeletalAnimation& walk = import_skeleton_animation(set, file, "walk");
        skan_pack_event({7, 3, false, -1}, walk.frames[4].record);
        TSkeletalAnimationState state{};
        std::strcpy(state.record.name, "moving");
        state.choices = {{&walk, 2}};
        state.record.total_weight = 2;
        set.states.push_back(state);
        fAnimationBytes = skan_write(set);
        fSkan = fApp->GetStore().create_tag(fFile, code("skan"), code("walk"), 2, "walk", 0,
                                            uint32_t(fAnimationBytes.size()), fAnimationBytes.data());

        // an animation of a skeleton with a bone fewer
        TSkeletalAnimationSet loose;
        import_skeleton_animation(loose, file, "loose");
        loose.bones.pop_back();
        for (TSkeletalAnimationFrame& frame : loose.animations[0]->frames) frame.poses.pop_back();
        bytes loose_bytes = skan_write(loose);
        fApp->GetStore().create_tag(fFile, code("skan"), code("lose"), 2, "loose", 0, uint32_t(loose_bytes.size()),
                                    loose_bytes.data());
    }

    TSkeletalModelTag Stored() { return load_skeletal_model_tag(fSkmd); }
    static TskmdViewer* Viewer(TTagEditForm* form, int32_t control = kViewer)
    {
        return dynamic_cast<TskmdViewer*>(form->FindView(control));
    }
    static void Choose(TTagEditForm* form, int32_t control, int32_t row)
    {
        if (auto* list = dynamic_cast<XGListControl*>(form->FindView(control))) list->Choose(row);
        else if (auto* popup = dynamic_cast<XGPopupMenu*>(form->FindView(control))) popup->Choose(row);
        else ADD_FAILURE() << "no list or pop-up " << control;
    }

    std::unique_ptr<TSkeletalModel> fModel;
    bytes fModelBytes, fAnimationBytes;
    tag_entry* fSkmd = nullptr;
    tag_entry* fSkan = nullptr;
};

} // namespace

TEST_F(ModelFormTest, ModelControlsEachChangeTheirBytesAndApplyStoresThem)
{
    TTagEditForm* form = Open(fSkmd);
    ASSERT_NE(form, nullptr);
    EXPECT_FALSE(form->HasChanges());
    EXPECT_EQ(form->GetNote(), "");
    EXPECT_EQ(form->GetText(kModelName), "figure.skl");
    EXPECT_EQ(form->GetText(kAnimationRef), "walk");

    struct edit {
        const char* what;
        std::function<void()> change;
        std::function<bool(const TSkeletalModelTag&)> stored;
    };
    const std::vector<edit> edits = {
        {"name", [&] { Type(form, kModelName, "walker"); },
         [](const TSkeletalModelTag& t) { return std::string(t.models[0]->header.name) == "walker"; }},
        {"scale", [&] { Type(form, kModelScale, "0.25"); },
         [](const TSkeletalModelTag& t) { return t.models[0]->header.scale == 0.25f; }},
        {"axis", [&] { Choose(form, kBoneAxis, 0); },
         [](const TSkeletalModelTag& t) { return (t.models[0]->bones[kThigh].flags & SKMD_BONE_AXIS_MASK) == 0; }},
        {"near", [&] { Type(form, kBoneNear, "-3"); },
         [](const TSkeletalModelTag& t) { return t.models[0]->bones[kThigh].near == -3.0f; }},
        {"far", [&] { Type(form, kBoneFar, "4.5"); },
         [](const TSkeletalModelTag& t) { return t.models[0]->bones[kThigh].far == 4.5f; }},
        {"radius", [&] { Type(form, kBoneRadius, "7"); },
         [](const TSkeletalModelTag& t) { return t.models[0]->bones[kThigh].radius == 7.0f; }},
        {"limb", [&] { form->FindView(kBoneLimb)->Click(); },
         [](const TSkeletalModelTag& t) { return !(t.models[0]->bones[kThigh].flags & SKMD_BONE_LIMB); }},
        {"animation", [&] {
             ModalScript script;
             answer_pick_list(script, "");
             form->FindView(kAnimationRef)->Click();
         },
         [](const TSkeletalModelTag& t) { return t.header.word0 == -1; }},
        {"texture", [&] {
             ModalScript script;
             answer_pick_list(script, "target (tgt_)");
             form->FindView(kTextureRef)->Click();
         },
         [](const TSkeletalModelTag& t) { return tag_code(t.header.word4) == code("tgt_"); }},
    };
    for (const edit& e : edits) {
        SCOPED_TRACE(e.what);
        tag_set_data(fSkmd, fModelBytes.data(), uint32_t(fModelBytes.size()));
        form->LoadTag();
        Choose(form, kBones, int32_t(kThigh));
        ASSERT_FALSE(form->HasChanges());
        e.change();
        EXPECT_TRUE(form->HasChanges());
        form->ApplyChanges();
        EXPECT_FALSE(form->HasChanges());
        EXPECT_TRUE(e.stored(Stored()));
        // nothing else of the model moved: its level blocks are as they were
        EXPECT_EQ(Stored().models[0]->levels.back().quads.size(), fModel->levels.back().quads.size());
    }
    form->GetWindow()->Close(false);
}

TEST_F(ModelFormTest, ModelsAreAddedReplacedAndDeleted)
{
    TempFolder folder;
    std::string cylinder = folder / "cylinder.skl";
    write_text(cylinder, make_cylinder_export(cylinder_export_shape()).text);
    std::string broken = folder / "broken.skl";
    write_text(broken, "SKELETON\nVERSION 2\nNUMBONES 1\n");

    TTagEditForm* form = Open(fSkmd);
    ASSERT_NE(form, nullptr);
    {
        ModalScript script;
        script.File(cylinder);
        form->FindView(kAddModel)->Click();
    }
    auto* models = dynamic_cast<XGListControl*>(form->FindView(kModels));
    ASSERT_EQ(models->GetItemCount(), 2);
    EXPECT_EQ(models->GetItemText(1), "2. cylinder.skl");
    EXPECT_EQ(models->GetValue(), 1);
    EXPECT_TRUE(form->HasChanges());

    // replacing the first keeps its scale and its collision boxes
    Choose(form, kModels, 0);
    {
        ModalScript script;
        script.File(cylinder);
        form->FindView(kReplaceModel)->Click();
    }
    // a file that is no skeleton export changes nothing and says why
    {
        ModalScript script;
        script.File(broken);
        script.Click(kXGAlertOK);
        form->FindView(kAddModel)->Click();
        ASSERT_EQ(script.Shown().size(), 1u);
        EXPECT_TRUE(script.Shown()[0].Mentions("broken.skl"));
    }
    EXPECT_EQ(models->GetItemCount(), 2);
    form->ApplyChanges();
    TSkeletalModelTag stored = Stored();
    ASSERT_EQ(stored.models.size(), 2u);
    EXPECT_STREQ(stored.models[0]->header.name, "cylinder.skl");
    EXPECT_EQ(stored.models[0]->header.scale, 0.5f);
    EXPECT_EQ(stored.models[0]->header.collision_box_count, 1);

    Choose(form, kModels, 0);
    form->FindView(kDeleteModel)->Click();
    EXPECT_EQ(models->GetItemCount(), 1);
    form->FindView(kDeleteModel)->Click();
    EXPECT_EQ(models->GetItemCount(), 0);
    EXPECT_FALSE(form->FindView(kDeleteModel)->IsEnabled());
    EXPECT_EQ(form->GetText(kViewerNote), "The tag holds no model; Add Model imports one.");
    form->ApplyChanges();
    EXPECT_TRUE(Stored().models.empty());
    form->GetWindow()->Close(false);
}

TEST_F(ModelFormTest, TheViewerFollowsTheLevelAndPlaysAFittingAnimation)
{
    TTagEditForm* form = Open(fSkmd);
    ASSERT_NE(form, nullptr);
    TskmdViewer* viewer = Viewer(form);
    ASSERT_NE(viewer, nullptr);
    int last = fModel->header.lod_count - 1;
    EXPECT_EQ(viewer->GetScene().Level(), last);
    Choose(form, kLevel, 0);
    EXPECT_EQ(viewer->GetScene().Level(), 0);
    int faces = skmd_level_face_count(*fModel, 0);
    EXPECT_EQ(int(viewer->GetScene().fMesh.triangle_count()), faces);
    EXPECT_NE(form->FindView(kLevel)->GetText().find(", " + std::to_string(faces) + " faces"), std::string::npos);
    form->FindView(kShowBoxes)->Click();
    EXPECT_TRUE(viewer->GetOptions().boxes);
    Choose(form, kBones, int32_t(kThigh));
    EXPECT_TRUE(viewer->GetScene().fHasCylinder);
    EXPECT_FALSE(form->HasChanges()) << "looking changes nothing";

    // the header's animation plays on a clock the test turns
    EXPECT_EQ(form->FindView(kPlayAnimation)->GetText(), "walk");
    double now = 0;
    viewer->SetClock([&] { return now; });
    form->FindView(kPlay)->Click();
    EXPECT_TRUE(viewer->IsPlaying());
    EXPECT_EQ(form->FindView(kPlay)->GetText(), "Pause");
    now = 4.0 / 30.0 + 0.001;
    viewer->Tick();
    EXPECT_EQ(viewer->CurrentFrame(), 4);
    EXPECT_EQ(form->GetControlValue(kFrameSlider), 4);
    EXPECT_EQ(form->FindView(kEvents)->GetText(), "4. normal footprint  at L Calf");
    std::vector<skmd_transform> placed = skan_frame_transforms(*fModel, *load_skeletal_animation_tag(fSkan).animations[0], 4);
    EXPECT_NEAR(viewer->GetScene().fBonePoints[kThigh * 3 + 2], placed[kThigh].translation[2] * 0.5f, 1e-4f);
    now += 1.0 / 30.0;
    viewer->Tick();
    EXPECT_EQ(form->GetControlValue(kFrameSlider), 5);
    EXPECT_EQ(form->GetControlValue(kEvents), -1);
    form->FindView(kPlay)->Click();
    EXPECT_FALSE(viewer->IsPlaying());
    dynamic_cast<XGSlider*>(form->FindView(kFrameSlider))->Slide(2);
    EXPECT_EQ(viewer->CurrentFrame(), 2);

    // an animation of other bones is refused with the reason; the walk stays
    {
        ModalScript script;
        answer_pick_list(script, "loose (lose)");
        form->FindView(kPlayTag)->Click();
    }
    EXPECT_NE(form->GetText(kPlayNote).find("8 bones and the model 9"), std::string::npos) << form->GetText(kPlayNote);
    EXPECT_NE(form->GetText(kPlayNote).find("cannot play on this model"), std::string::npos);
    EXPECT_EQ(form->GetText(kPlayTag), "walk");
    EXPECT_EQ(form->FindView(kPlayAnimation)->GetText(), "walk");
    form->GetWindow()->Close(false);
}

TEST_F(ModelFormTest, DamagedTagsOpenWithTheReasonAndShowNothing)
{
    for (const char* type : {"skmd", "skan"}) {
        SCOPED_TRACE(type);
        tag_entry* damaged = MakeTag(type, make_bytes(300, 7), "damaged");
        TTagEditForm* form = Open(damaged);
        ASSERT_NE(form, nullptr);
        EXPECT_NE(form->GetNote().find("not a readable"), std::string::npos) << form->GetNote();
        EXPECT_FALSE(form->HasChanges());
        TskmdViewer* viewer = Viewer(form, std::string(type) == "skmd" ? int32_t(kViewer) : int32_t(kAnimationViewer));
        ASSERT_NE(viewer, nullptr);
        EXPECT_TRUE(viewer->GetScene().IsEmpty());
        form->ApplyChanges();
        EXPECT_EQ(Data(damaged), make_bytes(300, 7));
        form->GetWindow()->Close(false);
    }
}

TEST_F(ModelFormTest, AnimationControlsEachChangeTheirBytes)
{
    TTagEditForm* form = Open(fSkan);
    ASSERT_NE(form, nullptr);
    EXPECT_FALSE(form->HasChanges());
    EXPECT_EQ(form->GetText(kAnimationName), "walk");
    // the model that names the animation shows it
    EXPECT_EQ(form->GetText(kModelRef), "figure");
    EXPECT_EQ(form->GetText(kModelNote), "");

    auto reload = [&] {
        tag_set_data(fSkan, fAnimationBytes.data(), uint32_t(fAnimationBytes.size()));
        form->LoadTag();
        ASSERT_FALSE(form->HasChanges());
    };
    auto stored = [&] { return load_skeletal_animation_tag(fSkan); };
    auto apply = [&] {
        EXPECT_TRUE(form->HasChanges());
        form->ApplyChanges();
        EXPECT_FALSE(form->HasChanges());
    };

    // a frame's event: only that frame's record changes
    Choose(form, kFrames, 2);
    EXPECT_EQ(form->FindView(kEventBone)->GetText(), "tag_origin_standard") << "the default bone";
    Choose(form, kEventType, 6); // emit as
    EXPECT_TRUE(form->IsViewShown(kEventTag));
    ModalScript script;
    answer_pick_list(script, "target (tgt_)");
    form->FindView(kEventTag)->Click();
    Choose(form, kEventBone, 1);
    form->FindView(kActionKeyframe)->Click();
    EXPECT_EQ(dynamic_cast<XGListControl*>(form->FindView(kFrames))->GetItemText(2),
              "2. emit as ACTION KEYFRAME target at Head");
    apply();
    TSkeletalAnimationSet after = stored();
    TSkeletalAnimationSet before = skan_load(fAnimationBytes.data(), fAnimationBytes.size(), "walk");
    for (size_t f = 0; f < before.animations[0]->frames.size(); ++f) {
        const skan_frame_record& a = after.animations[0]->frames[f].record;
        const skan_frame_record& b = before.animations[0]->frames[f].record;
        if (f == 2) {
            EXPECT_EQ(a.frame_event, (6 << 12) | 0x800 | 1);
            EXPECT_EQ(tag_code(a.event_tag), code("tgt_"));
        } else {
            EXPECT_EQ(std::memcmp(&a, &b, sizeof a), 0) << "frame " << f;
        }
    }

    reload();
    Type(form, kAnimationName, "stroll");
    apply();
    EXPECT_STREQ(stored().animations[0]->record.name, "stroll");
    reload();
    Type(form, kFrameRate, "15");
    apply();
    EXPECT_EQ(stored().animations[0]->record.frame_rate, 15 * 256);

    // a weight and the state's total
    reload();
    Choose(form, kChoices, 0);
    Type(form, kWeight, "5");
    EXPECT_EQ(form->GetText(kTotalWeight), "Total Weight: 5");
    apply();
    EXPECT_EQ(stored().states[0].choices[0].weight, 5);
    EXPECT_EQ(stored().states[0].record.total_weight, 5);
    form->GetWindow()->Close(false);
}

TEST_F(ModelFormTest, AnimationsAreImportedAndDeletedAndTheModelShownIsRemembered)
{
    TempFolder folder;
    std::string export_path = folder / "jog.skl";
    write_text(export_path, make_figure_export(3).text);

    TTagEditForm* form = Open(fSkan);
    ASSERT_NE(form, nullptr);
    auto* animations = dynamic_cast<XGListControl*>(form->FindView(kAnimations));
    // the state plays the walk: it cannot go
    {
        ModalScript script;
        script.Click(kXGAlertOK);
        form->FindView(kDeleteAnimation)->Click();
        ASSERT_EQ(script.Shown().size(), 1u);
        EXPECT_TRUE(script.Shown()[0].Mentions("played by the state \"moving\""));
    }
    EXPECT_EQ(animations->GetItemCount(), 1);
    {
        ModalScript script;
        script.File(export_path);
        form->FindView(kImport)->Click();
    }
    ASSERT_EQ(animations->GetItemCount(), 2);
    EXPECT_EQ(animations->GetItemText(1), "jog");
    EXPECT_EQ(dynamic_cast<XGListControl*>(form->FindView(kFrames))->GetItemCount(), 3);
    form->ApplyChanges();
    EXPECT_EQ(load_skeletal_animation_tag(fSkan).animations.size(), 2u);
    form->FindView(kDeleteAnimation)->Click();
    EXPECT_EQ(animations->GetItemCount(), 1);
    form->ApplyChanges();
    EXPECT_EQ(load_skeletal_animation_tag(fSkan).animations.size(), 1u);

    // another model: one the animation cannot play on says so and shows it at rest
    {
        ModalScript script;
        answer_pick_list(script, "target (tgt_)");
        form->FindView(kModelRef)->Click();
    }
    EXPECT_NE(form->GetText(kModelNote), "");
    TskmdViewer* viewer = Viewer(form, kAnimationViewer);
    ASSERT_NE(viewer, nullptr);
    EXPECT_TRUE(viewer->GetScene().IsEmpty());
    form->GetWindow()->Close(false);
    // the choice is remembered when the form opens again
    form = Open(fSkan);
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->GetText(kModelRef), "target");
    form->GetWindow()->Close(false);
}
