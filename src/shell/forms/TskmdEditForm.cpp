// Skeletal model: the viewer with its toggles and level of detail, the header's
// animation and texture stack, the models (up to 16) with name and scale, imported from
// skeleton exports or deleted, the bones' collision cylinders, and an animation of any
// skan tag with the model's bones played on the model with its frame events.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "framework/qt/XGFileDialog.h"
#include "framework/qt/XGListControl.h"
#include "framework/qt/XGMessages.h"
#include "framework/qt/XGPopupMenu.h"
#include "model/TskmdViewer.h"
#include "model/skan_playback.h"
#include "model/skeleton_model_import.h"
#include "model/skmd_scene.h"
#include "model/skmd_texture.h"
#include "shell/TTagEditForm.h"
#include "shell/forms/editor_forms.h"
#include "shell/forms/viewer_play_controls.h"

namespace {

enum : int32_t {
    kViewer = 13700,
    kShowMesh = 13701,
    kShowWireframe = 13702,
    kShowBones = 13703,
    kShowBoxes = 13704,
    kShowCylinder = 13705,
    kLevel = 13706,
    kFrameModel = 13707,
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
    kFrameText = 13746,
    kEvents = 13747,
};

constexpr int kDecimals = 4;
constexpr int kScaleDecimals = 6; // scales are often small powers of two
const char* const kSkeletonFilter = "Kelo Skeleton Export|*.skl|All Files|*.*";

std::string FixedName(const char* name, size_t size)
{
    return std::string(name, strnlen(name, size));
}

class TskmdEditForm : public TTagEditForm {
    XG_DECLARE_DISPATCH()

public:
    static constexpr int32_t kResource = 137;

    explicit TskmdEditForm(tag_entry* e)
        : TTagEditForm(e), fPlayer(*this, kViewer, kPlay, kFrameSlider, kFrameText)
    {
        fPlayer.SetFrameListener([this](int frame) { ShowFrameEvent(frame); });
    }

    void LoadTag() override
    {
        Detach();
        fCopy = {};
        fReadable = false;
        fLoadedTag.clear();
        uint32_t size = 0;
        const uint8_t* data = tag_get_data(GetTag(), &size);
        std::string problem;
        if (!data && size) {
            problem = "The tag's data cannot be read; nothing is shown.";
        } else {
            try {
                fCopy = load_skeletal_model_tag(GetTag());
                fReadable = true;
                fLoadedTag.assign(data, data + size);
                fLoadedWritten = skmd_store(fCopy);
            } catch (const XGError& e) {
                problem = "The tag is not a readable skeletal model, so nothing is shown: " + e.GetMessage();
                fCopy = {};
            }
        }
        ShowNote(problem);
        for (int32_t control : {int32_t(kAddModel), int32_t(kAnimationRef), int32_t(kTextureRef), kAnimationRef + 1, kTextureRef + 1})
            EnableView(control, fReadable);
        SetTagRef(kAnimationRef, "skan"_4cc, tag_code(fCopy.header.word0));
        SetTagRef(kTextureRef, "txst"_4cc, tag_code(fCopy.header.word4));
        LoadSkin();
        ShowOptions();
        fModel = -1;
        FillModels(fCopy.models.empty() ? -1 : 0);
        PlayTag(fReadable ? tag_code(fCopy.header.word0) : 0, false);
        UpdateCommandButtons();
    }

    bool HasChanges() override
    {
        if (!fReadable) return false;
        ReadControls();
        std::vector<uint8_t> bytes = skmd_store(fCopy);
        // what the form loaded and did not change stands for the tag's bytes as they were
        if (bytes == fLoadedWritten) bytes = fLoadedTag;
        uint32_t size = 0;
        const uint8_t* data = tag_get_data(GetTag(), &size);
        return !data || bytes.size() != size || (size && std::memcmp(bytes.data(), data, size) != 0);
    }

    void ApplyChanges() override
    {
        if (!fReadable) return;
        ReadControls();
        std::vector<uint8_t> bytes = skmd_store(fCopy);
        if (!tag_set_data(GetTag(), bytes.data(), uint32_t(bytes.size()))) throw TTagEditForm::WriteError(GetTag());
        fLoadedTag = bytes;
        fLoadedWritten = bytes;
        ShowNote("");
        UpdateCommandButtons();
    }

    void TagChanged(tag_code type, tag_code id) override
    {
        if (type == "txst"_4cc && id == tag_code(fCopy.header.word4)) LoadSkin();
        if (type == "skan"_4cc && id == fPlayTag) PlayTag(id, false);
    }

protected:
    bool HandleControl(XGCode message, int32_t control) override
    {
        if (fPlayer.Handle(message, control)) return true;
        switch (control) {
        case kShowMesh:
        case kShowWireframe:
        case kShowBones:
        case kShowBoxes:
        case kShowCylinder: ShowOptions(); return true;
        case kLevel:
            if (TskmdViewer* viewer = Viewer()) viewer->SetLevel(GetControlValue(kLevel));
            ShowViewerNote();
            return true;
        case kFrameModel:
            if (TskmdViewer* viewer = Viewer()) viewer->FrameModel();
            return true;
        case kTextureRef:
            ReadControls();
            LoadSkin();
            return true;
        case kModels:
            if (message == kXGListSelectMessage) {
                ReadControls();
                FillModel(GetControlValue(kModels));
            }
            return true;
        case kBones:
            if (message == kXGListSelectMessage) {
                ReadControls();
                FillBone(GetControlValue(kBones));
            }
            return true;
        case kModelName:
        case kModelScale:
        case kBoneAxis:
        case kBoneNear:
        case kBoneFar:
        case kBoneRadius:
        case kBoneLimb:
            ReadControls();
            if (control == kModelName) FillModelRow();
            if (TskmdViewer* viewer = Viewer()) viewer->ModelChanged();
            ShowViewerNote();
            return true;
        case kAddModel:
        case kReplaceModel: ImportModel(control == kReplaceModel); return true;
        case kDeleteModel: DeleteModel(); return true;
        case kPlayTag: PlayTag(GetTagRef(kPlayTag), true); return true;
        case kPlayAnimation: PlayAnimation(GetControlValue(kPlayAnimation)); return true;
        case kEvents:
            if (message == kXGListValueMessage) GoToEvent(GetControlValue(kEvents));
            return true;
        default: return false;
        }
    }

private:
    int32_t DoScroll(XGCode code, XGParam id, XGParam view)
    {
        auto* v = reinterpret_cast<XGView*>(view);
        if (v && v->GetWindow() != GetWindow()) return kXGNotHandled;
        return HandleControl(code, int32_t(id)) ? 0 : kXGNotHandled;
    }

    TskmdViewer* Viewer() const { return dynamic_cast<TskmdViewer*>(FindView(kViewer)); }
    // The viewer lets go of the model and animation before they change.
    void Detach()
    {
        fPlayer.SetAnimation(nullptr);
        fPlaying = nullptr;
        if (TskmdViewer* viewer = Viewer()) viewer->SetModel(nullptr);
    }
    TSkeletalModel* Model() { return fModel >= 0 && fModel < int(fCopy.models.size()) ? fCopy.models[size_t(fModel)].get() : nullptr; }
    skmd_bone* Bone()
    {
        TSkeletalModel* m = Model();
        return m && fBone >= 0 && fBone < int(m->bones.size()) ? &m->bones[size_t(fBone)] : nullptr;
    }

    // Controls → copy, for what they show.
    void ReadControls()
    {
        if (!fReadable) return;
        fCopy.header.word0 = int32_t(GetTagRef(kAnimationRef));
        fCopy.header.word4 = int32_t(GetTagRef(kTextureRef));
        if (TSkeletalModel* m = Model()) {
            std::string name = GetText(kModelName).substr(0, sizeof m->header.name - 1);
            if (name != FixedName(m->header.name, sizeof m->header.name)) {
                std::memset(m->header.name, 0, sizeof m->header.name);
                std::memcpy(m->header.name, name.data(), name.size());
            }
            double scale = GetNumber(kModelScale);
            if (std::isfinite(scale)) m->header.scale = float(scale);
        }
        if (skmd_bone* b = Bone()) {
            int axis = std::clamp(GetControlValue(kBoneAxis), 0, SKMD_AXIS_NONE);
            b->flags = (b->flags & ~SKMD_BONE_AXIS_MASK) | (uint32_t(axis) << SKMD_BONE_AXIS_SHIFT);
            b->flags = GetBoolean(kBoneLimb) ? b->flags | SKMD_BONE_LIMB : b->flags & ~SKMD_BONE_LIMB;
            for (auto [control, field] : {std::pair{kBoneNear, &b->near}, {kBoneFar, &b->far}, {kBoneRadius, &b->radius}}) {
                double value = GetNumber(control);
                if (std::isfinite(value)) *field = float(value);
            }
        }
    }

    std::string ModelRow(size_t k) const
    {
        const TSkeletalModel& m = *fCopy.models[k];
        std::string name = FixedName(m.header.name, sizeof m.header.name);
        return std::to_string(k + 1) + ". " + (name.empty() ? "(unnamed model)" : name);
    }

    void FillModels(int selected)
    {
        auto* list = dynamic_cast<XGListControl*>(FindView(kModels));
        if (list) {
            std::vector<std::string> rows;
            for (size_t k = 0; k < fCopy.models.size(); ++k) rows.push_back(ModelRow(k));
            list->SetItems(rows);
        }
        fModel = -1;
        FillModel(selected);
    }

    void FillModelRow()
    {
        auto* list = dynamic_cast<XGListControl*>(FindView(kModels));
        if (!list || fModel < 0) return;
        std::vector<std::string> rows;
        for (size_t k = 0; k < fCopy.models.size(); ++k) rows.push_back(ModelRow(k));
        list->SetItems(rows);
        list->SetValue(fModel);
    }

    void FillModel(int k)
    {
        fModel = k >= 0 && k < int(fCopy.models.size()) ? k : -1;
        SetControlValue(kModels, fModel);
        TSkeletalModel* m = Model();
        SetText(kModelName, m ? FixedName(m->header.name, sizeof m->header.name) : "");
        if (m) SetNumber(kModelScale, m->header.scale, kScaleDecimals);
        else SetText(kModelScale, "");
        EnableView(kModelName, m);
        EnableView(kModelScale, m);
        EnableView(kAddModel, fReadable && fCopy.models.size() < size_t(MAXIMUM_MODELS_PER_SKELETAL_MODEL));
        EnableView(kReplaceModel, m);
        EnableView(kDeleteModel, m);

        auto* bones = dynamic_cast<XGListControl*>(FindView(kBones));
        if (bones) {
            std::vector<std::string> rows;
            if (m)
                for (const skmd_bone& b : m->bones) {
                    std::string name = FixedName(b.name, sizeof b.name);
                    rows.push_back(name.empty() ? "(unnamed bone)" : name);
                }
            bones->SetItems(rows);
        }
        auto* levels = dynamic_cast<XGPopupMenu*>(FindView(kLevel));
        int level_count = m ? int(m->levels.size()) : 0;
        if (levels) {
            std::vector<std::string> items;
            for (int l = 0; l < level_count; ++l) {
                const skmd_lod_entry& entry = m->header.lods[l];
                std::string vertices = entry.first_vertex == entry.last_vertex
                                           ? std::to_string(entry.last_vertex)
                                           : std::to_string(entry.first_vertex) + " to " + std::to_string(entry.last_vertex);
                items.push_back("Level " + std::to_string(l + 1) + ": " + vertices + " vertices, " +
                                std::to_string(skmd_level_face_count(*m, l)) + " faces");
            }
            levels->SetItems(items);
            levels->SetValue(level_count - 1);
        }
        EnableView(kLevel, level_count > 0);
        if (TskmdViewer* viewer = Viewer()) viewer->SetModel(m, level_count - 1);
        fBone = -1;
        FillBone(-1);
        // the animation may not fit the model shown now
        PlayTag(fPlayTag, false);
        ShowViewerNote();
    }

    void FillBone(int b)
    {
        TSkeletalModel* m = Model();
        fBone = m && b >= 0 && b < int(m->bones.size()) ? b : -1;
        SetControlValue(kBones, fBone);
        skmd_bone* bone = Bone();
        for (int32_t control : {kBoneAxis, kBoneNear, kBoneFar, kBoneRadius, kBoneLimb}) EnableView(control, bone);
        if (bone) {
            SetInteger(kBoneAxis, int32_t((bone->flags & SKMD_BONE_AXIS_MASK) >> SKMD_BONE_AXIS_SHIFT));
            SetNumber(kBoneNear, bone->near, kDecimals);
            SetNumber(kBoneFar, bone->far, kDecimals);
            SetNumber(kBoneRadius, bone->radius, kDecimals);
            SetBoolean(kBoneLimb, (bone->flags & SKMD_BONE_LIMB) != 0);
        } else {
            for (int32_t control : {kBoneNear, kBoneFar, kBoneRadius}) SetText(control, "");
            SetInteger(kBoneAxis, SKMD_AXIS_NONE);
            SetBoolean(kBoneLimb, false);
        }
        if (TskmdViewer* viewer = Viewer()) viewer->SetSelectedBone(fBone);
    }

    void ShowOptions()
    {
        TskmdViewer* viewer = Viewer();
        if (!viewer) return;
        model_view_options options = viewer->GetOptions();
        options.mesh = GetBoolean(kShowMesh);
        options.wireframe = GetBoolean(kShowWireframe);
        options.bones = GetBoolean(kShowBones);
        options.boxes = GetBoolean(kShowBoxes);
        options.cylinder = GetBoolean(kShowCylinder);
        viewer->SetOptions(options);
    }

    void ShowViewerNote()
    {
        TskmdViewer* viewer = Viewer();
        std::string problem = viewer ? viewer->GetProblem() : std::string();
        if (problem.empty() && fReadable && fCopy.models.empty()) problem = "The tag holds no model; Add Model imports one.";
        SetControlText(kViewerNote, problem);
    }

    void LoadSkin()
    {
        TskmdViewer* viewer = Viewer();
        if (!viewer) return;
        texture_image skin;
        if (fReadable && skmd_model_texture(Store(), fCopy.header, skin)) viewer->SetSkin(&skin);
        else viewer->SetSkin(nullptr);
    }

    void ImportModel(bool replace)
    {
        if (!fReadable) return;
        if (replace ? !Model() : fCopy.models.size() >= size_t(MAXIMUM_MODELS_PER_SKELETAL_MODEL)) return;
        std::string path = XGChooseFileToOpen(kSkeletonFilter, "skl");
        if (path.empty()) return;
        ReadControls();
        std::unique_ptr<TSkeletalModel> model = import_skeletal_model(path);
        Detach();
        if (replace) {
            // the new mesh keeps the model's scale and collision shapes
            const TSkeletalModel& old = *Model();
            model->header.scale = old.header.scale;
            model->collision_boxes = old.collision_boxes;
            model->collision_triangles = old.collision_triangles;
            model->header.collision_box_count = old.header.collision_box_count;
            model->header.collision_triangle_count = old.header.collision_triangle_count;
            fCopy.models[size_t(fModel)] = std::move(model);
            FillModels(fModel);
        } else {
            fCopy.models.push_back(std::move(model));
            FillModels(int(fCopy.models.size()) - 1);
        }
    }

    void DeleteModel()
    {
        if (!Model()) return;
        ReadControls();
        Detach();
        int k = fModel;
        fCopy.models.erase(fCopy.models.begin() + k);
        // each entry's carried values go with its model
        skmd_model_entry* entries = fCopy.header.models;
        std::copy(entries + k + 1, entries + MAXIMUM_MODELS_PER_SKELETAL_MODEL, entries + k);
        entries[MAXIMUM_MODELS_PER_SKELETAL_MODEL - 1] = {};
        FillModels(std::min(k, int(fCopy.models.size()) - 1));
    }

    // The animation tag played on the model. A tag that cannot be read or does not fit
    // the model is refused with the reason; when chosen, the choice goes back.
    void PlayTag(tag_code id, bool chosen)
    {
        std::string note;
        std::unique_ptr<TSkeletalAnimationSet> set;
        tag_entry* e = id && id != NONE_TAG ? Store().find_tag("skan"_4cc, id) : nullptr;
        if (e) {
            try {
                set = std::make_unique<TSkeletalAnimationSet>(load_skeletal_animation_tag(e));
                if (!Model()) {
                    set.reset();
                } else if (std::string problem = skan_fit_problem(*set, *Model()); !problem.empty()) {
                    note = std::string(tag_get_name(e)) + ": " + problem;
                    set.reset();
                }
            } catch (const XGError& error) {
                note = std::string(tag_get_name(e)) + " cannot be read: " + error.GetMessage();
                set.reset();
            }
        } else if (id && id != NONE_TAG) {
            note = "There is no animation " + tag_code_to_text(id) + ".";
        }
        if (!set && chosen && e) {
            // keep what was playing
            SetTagRef(kPlayTag, "skan"_4cc, fPlayTag);
            SetControlText(kPlayNote, note);
            return;
        }
        fPlayer.SetAnimation(nullptr);
        fPlaying = nullptr;
        fPlaySet = std::move(set);
        fPlayTag = fPlaySet ? id : 0;
        SetTagRef(kPlayTag, "skan"_4cc, fPlayTag);
        SetControlText(kPlayNote, note);
        auto* popup = dynamic_cast<XGPopupMenu*>(FindView(kPlayAnimation));
        if (popup) {
            std::vector<std::string> items;
            if (fPlaySet)
                for (const auto& a : fPlaySet->animations) items.push_back(FixedName(a->record.name, sizeof a->record.name));
            popup->SetItems(items);
        }
        EnableView(kPlayAnimation, fPlaySet && !fPlaySet->animations.empty());
        PlayAnimation(fPlaySet && !fPlaySet->animations.empty() ? 0 : -1);
    }

    void PlayAnimation(int index)
    {
        const TSkeletalAnimation* animation = nullptr;
        if (fPlaySet && index >= 0 && index < int(fPlaySet->animations.size()))
            animation = fPlaySet->animations[size_t(index)].get();
        fPlaying = animation;
        SetControlValue(kPlayAnimation, animation ? index : -1);
        fPlayer.SetAnimation(animation);
        FillEvents();
        ShowViewerNote();
    }

    void FillEvents()
    {
        fEventFrames.clear();
        std::vector<std::string> rows;
        if (fPlaying)
            for (size_t f = 0; f < fPlaying->frames.size(); ++f)
                if (fPlaying->frames[f].record.frame_event != SKAN_NO_EVENT) {
                    fEventFrames.push_back(int(f));
                    rows.push_back(skan_event_line(*fPlaySet, *fPlaying, int(f), Store()));
                }
        if (auto* list = dynamic_cast<XGListControl*>(FindView(kEvents))) list->SetItems(rows);
        ShowFrameEvent(0);
    }

    // The event row of the frame is selected (none when the frame has no event).
    void ShowFrameEvent(int frame)
    {
        auto at = std::find(fEventFrames.begin(), fEventFrames.end(), frame);
        SetControlValue(kEvents, at == fEventFrames.end() ? -1 : int32_t(at - fEventFrames.begin()));
    }

    void GoToEvent(int row)
    {
        TskmdViewer* viewer = Viewer();
        if (!viewer || row < 0 || row >= int(fEventFrames.size())) return;
        viewer->Pause();
        SetControlValue(kFrameSlider, fEventFrames[size_t(row)]);
        fPlayer.Handle(kXGScrollMessage, kFrameSlider);
    }

    TViewerPlayControls fPlayer;
    TSkeletalModelTag fCopy;
    bool fReadable = false;
    std::vector<uint8_t> fLoadedTag;     // the tag's bytes when loaded or applied
    std::vector<uint8_t> fLoadedWritten; // what the writer made of them
    int fModel = -1;
    int fBone = -1;
    tag_code fPlayTag = 0;
    std::unique_ptr<TSkeletalAnimationSet> fPlaySet;
    const TSkeletalAnimation* fPlaying = nullptr;
    std::vector<int> fEventFrames; // the frame of each event row
};

XG_BEGIN_DISPATCH(TskmdEditForm, TTagEditForm)
    XG_ON(kXGScrollMessage, &TskmdEditForm::DoScroll)
XG_END_DISPATCH()

} // namespace

void* open_skmd_editor(tag_entry* e)
{
    return TTagEditForm::Open<TskmdEditForm>(e, TskmdEditForm::kResource);
}
