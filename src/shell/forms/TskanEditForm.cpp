// Skeletal animation: the animations with their names and frame rates, imported from
// skeleton exports or deleted; each frame's event line and an editor for the event;
// the states with their weighted animations and total weights; and a viewer playing
// the chosen animation on a model the user picks (remembered per animation tag).
#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>

#include "framework/XGError.h"
#include "framework/qt/XGFileDialog.h"
#include "framework/qt/XGListControl.h"
#include "framework/qt/XGMessages.h"
#include "framework/qt/XGPopupMenu.h"
#include "model/TskmdViewer.h"
#include "model/skan_playback.h"
#include "model/skeleton_animation_import.h"
#include "model/skmd_texture.h"
#include "shell/TTagEditForm.h"
#include "shell/forms/editor_forms.h"
#include "shell/forms/viewer_play_controls.h"

namespace {

enum : int32_t {
    kAnimations = 13900,
    kName = 13901,
    kFrameRate = 13902,
    kFrameCount = 13903,
    kImport = 13904,
    kDelete = 13905,
    kFrames = 13910,
    kEventType = 13911,
    kEventTag = 13912,
    kEventBone = 13914,
    kActionKeyframe = 13915,
    kStates = 13920,
    kChoices = 13921,
    kWeight = 13922,
    kTotalWeight = 13923,
    kModelRef = 13930,
    kModelNote = 13932,
    kViewer = 13933,
    kPlay = 13934,
    kFrameSlider = 13935,
    kFrameText = 13936,
    kModelIndex = 13937,
};

constexpr int kEventTypes = 9; // "(none)" to "giant footprint"
const char* const kSkeletonFilter = "Kelo Skeleton Export|*.skl|All Files|*.*";

std::string FixedName(const char* name, size_t size)
{
    return std::string(name, strnlen(name, size));
}

// The model each animation tag was last shown on, for the session.
std::map<tag_code, std::pair<tag_code, int>>& ShownModels()
{
    static std::map<tag_code, std::pair<tag_code, int>> shown;
    return shown;
}

class TskanEditForm : public TTagEditForm {
    XG_DECLARE_DISPATCH()

public:
    static constexpr int32_t kResource = 139;

    explicit TskanEditForm(tag_entry* e) : TTagEditForm(e), fPlayer(*this, kViewer, kPlay, kFrameSlider, kFrameText)
    {
        fPlayer.SetFrameListener([this](int frame) { FillFrame(frame, false); });
    }

    void LoadTag() override
    {
        // the viewer lets go of the animation before it goes
        fPlayer.SetAnimation(nullptr);
        fCopy = {};
        fReadable = false;
        std::string problem;
        try {
            fCopy = load_skeletal_animation_tag(GetTag());
            uint32_t size = 0;
            const uint8_t* data = tag_get_data(GetTag(), &size);
            fLoadedTag.assign(data, data + size);
            fLoadedWritten = skan_write(fCopy);
            fReadable = true;
        } catch (const XGError& e) {
            problem = "The tag is not a readable skeletal animation, so nothing is shown: " + e.GetMessage();
            fCopy = {};
        }
        ShowNote(problem);
        EnableView(kImport, fReadable);
        FillAnimations(fCopy.animations.empty() ? -1 : 0);
        FillStates(fCopy.states.empty() ? -1 : 0);
        ChooseModel(fModelTag ? std::pair{fModelTag, fModelIndex} : DefaultModel(), false);
        UpdateCommandButtons();
    }

    bool HasChanges() override
    {
        if (!fReadable) return false;
        std::vector<uint8_t> bytes = skan_write(fCopy);
        // what the form loaded and did not change stands for the tag's bytes as they were
        if (bytes == fLoadedWritten) bytes = fLoadedTag;
        uint32_t size = 0;
        const uint8_t* data = tag_get_data(GetTag(), &size);
        return !data || bytes.size() != size || (size && std::memcmp(bytes.data(), data, size) != 0);
    }

    void ApplyChanges() override
    {
        if (!fReadable) return;
        std::vector<uint8_t> bytes = skan_write(fCopy);
        if (!tag_set_data(GetTag(), bytes.data(), uint32_t(bytes.size()))) throw TTagEditForm::WriteError(GetTag());
        fLoadedTag = fLoadedWritten = bytes;
        ShowNote("");
        UpdateCommandButtons();
    }

    void TagChanged(tag_code type, tag_code id) override
    {
        if (type == "skmd"_4cc && id == fModelTag) ShowModel();
        if (type == "txst"_4cc && id == fSkinTag) ShowModel();
    }

protected:
    bool HandleControl(XGCode message, int32_t control) override
    {
        if (fPlayer.Handle(message, control)) {
            FillFrame(Viewer() ? Viewer()->CurrentFrame() : -1, false);
            return true;
        }
        switch (control) {
        case kAnimations:
            if (message == kXGListSelectMessage) FillAnimation(GetControlValue(kAnimations));
            return true;
        case kName: RenameAnimation(); return true;
        case kFrameRate: SetFrameRate(); return true;
        case kImport: ImportAnimation(); return true;
        case kDelete: DeleteAnimation(); return true;
        case kFrames:
            if (message == kXGListSelectMessage) {
                if (TskmdViewer* viewer = Viewer()) viewer->Pause();
                FillFrame(GetControlValue(kFrames), true);
            }
            return true;
        case kEventType:
        case kEventTag:
        case kEventBone:
        case kActionKeyframe: EditEvent(control); return true;
        case kStates:
            if (message == kXGListSelectMessage) FillState(GetControlValue(kStates));
            return true;
        case kChoices:
            if (message == kXGListSelectMessage) FillChoice(GetControlValue(kChoices));
            return true;
        case kWeight: SetWeight(); return true;
        case kModelRef: ChooseModel({GetTagRef(kModelRef), 0}, true); return true;
        case kModelIndex: ChooseModel({fModelTag, GetControlValue(kModelIndex)}, true); return true;
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
    TSkeletalAnimation* Animation()
    {
        return fAnimation >= 0 && fAnimation < int(fCopy.animations.size()) ? fCopy.animations[size_t(fAnimation)].get()
                                                                            : nullptr;
    }
    TSkeletalAnimationFrame* Frame()
    {
        TSkeletalAnimation* a = Animation();
        return a && fFrame >= 0 && fFrame < int(a->frames.size()) ? &a->frames[size_t(fFrame)] : nullptr;
    }
    TSkeletalAnimationState* State()
    {
        return fState >= 0 && fState < int(fCopy.states.size()) ? &fCopy.states[size_t(fState)] : nullptr;
    }
    static std::vector<std::string> Rows(size_t count, const std::function<std::string(size_t)>& row)
    {
        std::vector<std::string> rows;
        for (size_t i = 0; i < count; ++i) rows.push_back(row(i));
        return rows;
    }
    void SetRows(int32_t control, const std::vector<std::string>& rows, int selected)
    {
        if (auto* list = dynamic_cast<XGListControl*>(FindView(control))) {
            list->SetItems(rows);
            list->SetValue(selected);
        }
    }

    // Animations.

    std::string AnimationName(const TSkeletalAnimation* a) const
    {
        if (!a) return "(no animation)";
        std::string name = FixedName(a->record.name, sizeof a->record.name);
        return name.empty() ? "(unnamed animation)" : name;
    }

    void FillAnimations(int selected)
    {
        SetRows(kAnimations, Rows(fCopy.animations.size(), [&](size_t i) { return AnimationName(fCopy.animations[i].get()); }),
                -1);
        FillAnimation(selected);
    }

    void FillAnimation(int index)
    {
        fAnimation = index >= 0 && index < int(fCopy.animations.size()) ? index : -1;
        SetControlValue(kAnimations, fAnimation);
        TSkeletalAnimation* a = Animation();
        SetText(kName, a ? FixedName(a->record.name, sizeof a->record.name) : "");
        if (a) SetNumber(kFrameRate, a->record.frame_rate / 256.0, 3);
        else SetText(kFrameRate, "");
        SetText(kFrameCount, a ? std::to_string(a->frames.size()) + " frames" : "");
        for (int32_t control : {kName, kFrameRate, kDelete}) EnableView(control, a);
        ShowAnimation();
        FillFrames(a && !a->frames.empty() ? 0 : -1);
    }

    void RenameAnimation()
    {
        TSkeletalAnimation* a = Animation();
        if (!a) return;
        std::string name = GetText(kName).substr(0, sizeof a->record.name - 1);
        if (name == FixedName(a->record.name, sizeof a->record.name)) return;
        std::memset(a->record.name, 0, sizeof a->record.name);
        std::memcpy(a->record.name, name.data(), name.size());
        if (auto* list = dynamic_cast<XGListControl*>(FindView(kAnimations))) {
            std::vector<std::string> rows;
            for (int i = 0; i < list->GetItemCount(); ++i) rows.push_back(list->GetItemText(i));
            rows[size_t(fAnimation)] = AnimationName(a);
            SetRows(kAnimations, rows, fAnimation);
        }
        FillStates(fState);
    }

    void SetFrameRate()
    {
        TSkeletalAnimation* a = Animation();
        if (!a) return;
        double rate = GetNumber(kFrameRate);
        if (!std::isfinite(rate) || rate < 0) return;
        a->record.frame_rate = uint16_t(skan_round_fixed(rate, 256.0, 0, 0xFFFF));
        fPlayer.SetAnimation(Playable());
    }

    void ImportAnimation()
    {
        if (!fReadable) return;
        std::string path = XGChooseFileToOpen(kSkeletonFilter, "skl");
        if (path.empty()) return;
        TSkeletonFile file;
        file.ParseFile(path);
        std::string name = path_file_name(path);
        size_t dot = name.rfind('.');
        if (dot != std::string::npos && dot > 0) name.resize(dot);
        import_skeleton_animation(fCopy, file, name);
        FillAnimations(int(fCopy.animations.size()) - 1);
        FillStates(fState);
    }

    void DeleteAnimation()
    {
        TSkeletalAnimation* a = Animation();
        if (!a) return;
        for (const TSkeletalAnimationState& s : fCopy.states)
            for (const TSkeletalAnimationChoice& c : s.choices)
                if (c.animation == a)
                    throw XGError(kXGError, "Delete Animation",
                                  AnimationName(a) + " is played by the state \"" +
                                      FixedName(s.record.name, sizeof s.record.name) +
                                      "\"; take it out of the state before deleting it.");
        fPlayer.SetAnimation(nullptr);
        int index = fAnimation;
        fAnimation = -1;
        fCopy.animations.erase(fCopy.animations.begin() + index);
        FillAnimations(std::min(index, int(fCopy.animations.size()) - 1));
    }

    // Frames and their events.

    void FillFrames(int selected)
    {
        TSkeletalAnimation* a = Animation();
        std::vector<std::string> rows;
        if (a)
            for (size_t f = 0; f < a->frames.size(); ++f) rows.push_back(skan_event_line(fCopy, *a, int(f), Store()));
        SetRows(kFrames, rows, -1);
        FillFrame(selected, true);
    }

    void FillFrameRow()
    {
        TSkeletalAnimation* a = Animation();
        auto* list = dynamic_cast<XGListControl*>(FindView(kFrames));
        if (!a || !list || fFrame < 0 || fFrame >= list->GetItemCount()) return;
        std::vector<std::string> rows;
        for (int i = 0; i < list->GetItemCount(); ++i) rows.push_back(list->GetItemText(i));
        rows[size_t(fFrame)] = skan_event_line(fCopy, *a, fFrame, Store());
        SetRows(kFrames, rows, fFrame);
    }

    // Shows the frame's event; moves the viewer there when asked.
    void FillFrame(int frame, bool move_viewer)
    {
        TSkeletalAnimation* a = Animation();
        fFrame = a && frame >= 0 && frame < int(a->frames.size()) ? frame : -1;
        SetControlValue(kFrames, fFrame);
        TSkeletalAnimationFrame* f = Frame();
        for (int32_t control : {kEventType, kEventBone, kActionKeyframe}) EnableView(control, f);

        skan_frame_event event = f ? skan_unpack_event(f->record) : skan_frame_event{0, 0, false, -1};
        bool none = !f || f->record.frame_event == SKAN_NO_EVENT;
        std::vector<std::string> types = {"(none)",           "sound",   "attach model",     "attach light",
                                          "attach particles", "delete attachment", "emit as", "normal footprint",
                                          "giant footprint"};
        if (event.event_type >= kEventTypes) types.push_back("invalid " + std::to_string(event.event_type));
        if (auto* popup = dynamic_cast<XGPopupMenu*>(FindView(kEventType))) {
            popup->SetItems(types);
            popup->SetValue(event.event_type < kEventTypes ? event.event_type : kEventTypes);
        }
        SetBoolean(kActionKeyframe, event.action_keyframe);

        tag_code tag_type = skan_event_tag_type(event.event_type);
        ShowView(kEventTag, tag_type != 0);
        ShowView(kEventTag + 1, tag_type != 0);
        if (tag_type) SetTagRef(kEventTag, tag_type, tag_code(event.event_tag));

        std::vector<std::string> bones;
        for (const skan_bone_base& b : fCopy.bones) bones.push_back(skan_bone_list_name(b));
        int bone = none ? skan_default_list_bone(fCopy) : event.event_bone;
        if (bone >= int(bones.size())) {
            bones.push_back("invalid " + std::to_string(bone));
            bone = int(bones.size()) - 1;
        }
        if (auto* popup = dynamic_cast<XGPopupMenu*>(FindView(kEventBone))) {
            popup->SetItems(bones);
            popup->SetValue(bones.empty() ? -1 : bone);
        }
        if (move_viewer && f && Viewer()) {
            SetControlValue(kFrameSlider, fFrame);
            fPlayer.Handle(kXGScrollMessage, kFrameSlider);
        }
    }

    // A control of the event editor changed: the frame's event word and tag follow it.
    void EditEvent(int32_t control)
    {
        TSkeletalAnimationFrame* f = Frame();
        if (!f) return;
        skan_frame_event event = skan_unpack_event(f->record);
        if (f->record.frame_event == SKAN_NO_EVENT) event.event_bone = skan_default_list_bone(fCopy);
        switch (control) {
        case kEventType: {
            int chosen = GetControlValue(kEventType);
            if (chosen < 0 || chosen >= kEventTypes) return; // an invalid type stays as stored
            if (skan_event_tag_type(chosen) != skan_event_tag_type(event.event_type)) event.event_tag = -1;
            event.event_type = chosen;
            break;
        }
        case kEventTag: event.event_tag = int32_t(GetTagRef(kEventTag)); break;
        case kEventBone: {
            int chosen = GetControlValue(kEventBone);
            if (chosen < 0 || chosen >= int(fCopy.bones.size())) return;
            event.event_bone = chosen;
            break;
        }
        case kActionKeyframe: event.action_keyframe = GetBoolean(kActionKeyframe); break;
        default: return;
        }
        skan_pack_event(event, f->record);
        FillFrameRow();
        FillFrame(fFrame, false);
    }

    // States.

    std::string StateRow(const TSkeletalAnimationState& s) const
    {
        std::string name = FixedName(s.record.name, sizeof s.record.name);
        return (name.empty() ? "(unnamed state)" : name) + " (total weight " + std::to_string(s.record.total_weight) + ")";
    }

    void FillStates(int selected)
    {
        SetRows(kStates, Rows(fCopy.states.size(), [&](size_t i) { return StateRow(fCopy.states[i]); }), -1);
        FillState(selected);
    }

    void FillState(int index)
    {
        fState = index >= 0 && index < int(fCopy.states.size()) ? index : -1;
        SetControlValue(kStates, fState);
        TSkeletalAnimationState* s = State();
        std::vector<std::string> rows;
        if (s)
            for (const TSkeletalAnimationChoice& c : s->choices)
                rows.push_back(AnimationName(c.animation) + ": weight " + std::to_string(c.weight));
        SetRows(kChoices, rows, -1);
        SetControlText(kTotalWeight, s ? "Total Weight: " + std::to_string(s->record.total_weight) : "");
        FillChoice(s && !s->choices.empty() ? 0 : -1);
    }

    void FillChoice(int index)
    {
        TSkeletalAnimationState* s = State();
        fChoice = s && index >= 0 && index < int(s->choices.size()) ? index : -1;
        SetControlValue(kChoices, fChoice);
        EnableView(kWeight, fChoice >= 0);
        if (fChoice >= 0) SetInteger(kWeight, s->choices[size_t(fChoice)].weight);
        else SetText(kWeight, "");
    }

    // The weight of the chosen animation; the state's total weight is the sum.
    void SetWeight()
    {
        TSkeletalAnimationState* s = State();
        if (!s || fChoice < 0) return;
        int16_t weight = int16_t(GetInteger(kWeight));
        if (weight == s->choices[size_t(fChoice)].weight) return;
        s->choices[size_t(fChoice)].weight = weight;
        int32_t total = 0;
        for (const TSkeletalAnimationChoice& c : s->choices) total += c.weight;
        s->record.total_weight = total;
        int state = fState, choice = fChoice;
        FillStates(state);
        FillChoice(choice);
    }

    // The model shown.

    // The model this animation was last shown on, else the first model naming it.
    std::pair<tag_code, int> DefaultModel()
    {
        auto remembered = ShownModels().find(GetTag()->id);
        if (remembered != ShownModels().end()) return remembered->second;
        for (tag_entry* e = Store().next_entry(nullptr); e; e = Store().next_entry(e)) {
            if (tag_get_type(e) != "skmd"_4cc || Store().find_tag("skmd"_4cc, e->id) != e) continue;
            skmd_tag_header header;
            if (tag_read_structs("skmd", e, &header, SKMD_TAG_HEADER_SIZE, 1, skmd_header_codes) &&
                tag_code(header.word0) == GetTag()->id)
                return {e->id, 0};
        }
        return {0, 0};
    }

    void ChooseModel(std::pair<tag_code, int> choice, bool chosen)
    {
        fModelTag = choice.first == NONE_TAG ? 0 : choice.first;
        fModelIndex = std::max(choice.second, 0);
        if (chosen) ShownModels()[GetTag()->id] = {fModelTag, fModelIndex};
        ShowModel();
    }

    // The chosen animation when it can play on the model shown.
    const TSkeletalAnimation* Playable()
    {
        return fModel && fFits ? Animation() : nullptr;
    }

    void ShowModel()
    {
        TskmdViewer* viewer = Viewer();
        std::string note;
        fPlayer.SetAnimation(nullptr);
        if (viewer) viewer->SetModel(nullptr);
        fModel.reset();
        fFits = false;
        tag_entry* e = fModelTag ? Store().find_tag("skmd"_4cc, fModelTag) : nullptr;
        TSkeletalModelTag tag;
        if (fModelTag && !e) note = "There is no skeletal model " + tag_code_to_text(fModelTag) + ".";
        if (e) {
            try {
                tag = load_skeletal_model_tag(e);
            } catch (const XGError& error) {
                note = std::string(tag_get_name(e)) + " cannot be read: " + error.GetMessage();
            }
        }
        if (fModelIndex >= int(tag.models.size())) fModelIndex = 0;
        size_t models = tag.models.size();
        if (models) fModel = std::move(tag.models[size_t(fModelIndex)]);
        else if (e && note.empty()) note = std::string(tag_get_name(e)) + " holds no model.";
        SetTagRef(kModelRef, "skmd"_4cc, fModelTag);
        if (auto* popup = dynamic_cast<XGPopupMenu*>(FindView(kModelIndex))) {
            popup->SetItems(Rows(models, [](size_t i) { return std::to_string(i + 1); }));
            popup->SetValue(fModel ? fModelIndex : -1);
        }
        EnableView(kModelIndex, models > 1);
        fSkinTag = tag_code(tag.header.word4);
        if (viewer) {
            viewer->SetModel(fModel.get());
            texture_image skin;
            if (fModel && skmd_model_texture(Store(), tag.header, skin)) viewer->SetSkin(&skin);
            else viewer->SetSkin(nullptr);
        }
        fModelProblem = note;
        ShowAnimation();
    }

    // Plays the chosen animation when it fits the model, else says why not.
    void ShowAnimation()
    {
        std::string note = fModelProblem;
        fFits = false;
        if (fModel) {
            note = skan_fit_problem(fCopy, *fModel);
            fFits = note.empty();
        }
        fPlayer.SetAnimation(Playable());
        if (note.empty())
            if (TskmdViewer* viewer = Viewer()) note = viewer->GetProblem();
        SetControlText(kModelNote, note);
    }

    TViewerPlayControls fPlayer;
    TSkeletalAnimationSet fCopy;
    bool fReadable = false;
    std::vector<uint8_t> fLoadedTag;     // the tag's bytes when loaded or applied
    std::vector<uint8_t> fLoadedWritten; // what the writer made of them
    int fAnimation = -1;
    int fFrame = -1;
    int fState = -1;
    int fChoice = -1;
    tag_code fModelTag = 0;
    int fModelIndex = 0;
    tag_code fSkinTag = 0;
    std::unique_ptr<TSkeletalModel> fModel;
    std::string fModelProblem;
    bool fFits = false;
};

XG_BEGIN_DISPATCH(TskanEditForm, TTagEditForm)
    XG_ON(kXGScrollMessage, &TskanEditForm::DoScroll)
XG_END_DISPATCH()

} // namespace

void* open_skan_editor(tag_entry* e)
{
    return TTagEditForm::Open<TskanEditForm>(e, TskanEditForm::kResource);
}
