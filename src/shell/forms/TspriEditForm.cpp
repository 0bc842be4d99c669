#include "shell/forms/TspriEditForm.h"

#include <chrono>

#include "framework/XGError.h"
#include "framework/qt/XGListControl.h"
#include "framework/qt/XGPeriodic.h"
#include "shell/TBitmapView.h"
#include "shell/TTagPickList.h"
#include "shell/forms/editor_forms.h"
#include "texture/texture_qimage.h"

namespace {

constexpr int kTicksPerSecond = 30;

std::unique_ptr<sprite_definition> EmptyDefinition()
{
    return create_sprite_definition(MAX_SPRITE_FRAMES, MAX_SPRITE_SEQUENCES, MAX_SPRITE_STEPS);
}

int64_t SteadyMilliseconds()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

class TPlayTurns : public XGPeriodic {
public:
    explicit TPlayTurns(TspriEditForm& form) : fForm(form) {}

protected:
    void DoPeriodic() override { fForm.PlayTurn(); }

private:
    TspriEditForm& fForm;
};

// The step's arrays, moved one place from index on (down) or made room at index (up).
void ShiftSteps(sprite_sequence& s, int index, bool remove)
{
    auto shift = [&](auto& values) {
        if (remove) {
            std::move(values.begin() + index + 1, values.begin() + s.record.num_steps, values.begin() + index);
            values[size_t(s.record.num_steps - 1)] = {};
        } else {
            std::move_backward(values.begin() + index, values.begin() + s.record.num_steps,
                               values.begin() + s.record.num_steps + 1);
        }
    };
    shift(s.frames);
    shift(s.ticks);
    shift(s.colors);
    shift(s.rots);
    shift(s.sound_tags);
    shift(s.scales);
}

} // namespace

TspriEditForm::TspriEditForm(tag_entry* e)
    : TTagEditForm(e), fClock(SteadyMilliseconds), fTurns(std::make_unique<TPlayTurns>(*this))
{
}

TspriEditForm::~TspriEditForm() = default;

void TspriEditForm::LoadTag()
{
    StopPlaying();
    auto def = EmptyDefinition();
    std::string note;
    try {
        if (!read_sprite_definition(*def, GetTag(), true)) note = "The tag's data cannot be read.";
    } catch (const XGError& e) {
        note = e.GetMessage();
    }
    if (!note.empty()) {
        fDef.reset();
        ShowNote(note + " Nothing in it can be edited.");
        FillControls();
        UpdateCommandButtons();
        return;
    }
    fDef = std::move(def);
    ShowNote("");
    FillControls();
    UpdateCommandButtons();
}

bool TspriEditForm::HasChanges()
{
    if (!fDef) return false;
    ReadControls();
    auto stored = EmptyDefinition();
    try {
        if (!read_sprite_definition(*stored, GetTag(), false)) return true;
    } catch (const XGError&) {
        return true;
    }
    return compare_sprite_definitions(*fDef, *stored);
}

void TspriEditForm::ApplyChanges()
{
    if (!fDef) return;
    ReadControls();
    write_sprite_definition(*fDef, GetTag());
    UpdateCommandButtons();
}

void TspriEditForm::TagChanged(tag_code type, tag_code id)
{
    if (type != "txst"_4cc || !fDef) return;
    for (int32_t i = 0; i < fDef->num_frames(); ++i)
        if (fDef->frames[size_t(i)].texture_stack == id) load_sprite_frame_image(*fDef, i);
    if (!fPlaying) ShowPicture(fFrame);
}

int TspriEditForm::Selected(int32_t list, int count) const
{
    int row = GetControlValue(list);
    return row >= 0 && row < count ? row : -1;
}

void TspriEditForm::FillControls()
{
    if (fDef) {
        SetInteger(kHeaderValues, fDef->header.values[0]);
        SetInteger(kHeaderValues + 1, fDef->header.values[1]);
    }
    FillFrames(fDef && fDef->num_frames() > 0 ? 0 : -1);
    FillSequences(fDef && fDef->num_sequences() > 0 ? 0 : -1);
}

void TspriEditForm::ReadControls()
{
    if (!fDef) return;
    fDef->header.values[0] = GetInteger(kHeaderValues);
    fDef->header.values[1] = GetInteger(kHeaderValues + 1);
    if (fFrame >= 0 && fFrame < fDef->num_frames()) {
        sprite_frame& f = fDef->frames[size_t(fFrame)];
        f.texture_stack = GetTagRef(kTextureStack);
        f.stack_index = GetInteger(kStackIndex);
        f.texture_index = GetInteger(kTextureIndex);
        for (int i = 0; i < 24; ++i) f.placement[i] = GetFixed16Signed(kPlacement + i);
    }
    if (fSequence < 0 || fSequence >= fDef->num_sequences()) return;
    sprite_sequence& s = fDef->sequences[size_t(fSequence)];
    for (int i = 0; i < 3; ++i) s.record.values[i] = GetInteger(kSequenceValues + i);
    if (fStep < 0 || fStep >= s.record.num_steps) return;
    const size_t k = size_t(fStep);
    s.frames[k] = GetInteger(kStepFrame);
    s.ticks[k] = GetInteger(kStepTicks);
    for (int i = 0; i < 4; ++i) s.colors[k].values[i] = GetInteger(kStepColour + i);
    s.rots[k] = GetInteger(kStepRotation);
    s.sound_tags[k] = GetTagRef(kStepSound);
    s.scales[k] = GetFixed16Signed(kStepScale);
}

std::string TspriEditForm::FrameRow(int i) const
{
    const sprite_frame& f = fDef->frames[size_t(i)];
    return "Frame " + std::to_string(i) + ": " + TTagPickList::ReferenceLabel(&Store(), "txst"_4cc, f.texture_stack) +
           ", stack " + std::to_string(f.stack_index) + ", texture " + std::to_string(f.texture_index);
}

std::string TspriEditForm::StepRow(int i) const
{
    const sprite_sequence& s = fDef->sequences[size_t(fSequence)];
    return std::to_string(i + 1) + ". frame " + std::to_string(s.frames[size_t(i)]) + ", " +
           std::to_string(s.ticks[size_t(i)]) + " ticks";
}

void TspriEditForm::FillFrames(int selected)
{
    auto* list = dynamic_cast<XGListControl*>(FindView(kFrames));
    std::vector<std::string> rows;
    for (int i = 0; fDef && i < fDef->num_frames(); ++i) rows.push_back(FrameRow(i));
    if (list) {
        list->SetItems(rows);
        list->SetValue(selected < int(rows.size()) ? selected : -1);
    }
    ShowFrame();
}

void TspriEditForm::ShowFrame()
{
    fFrame = fDef ? Selected(kFrames, fDef->num_frames()) : -1;
    const sprite_frame* f = fFrame >= 0 ? &fDef->frames[size_t(fFrame)] : nullptr;
    SetTagRef(kTextureStack, "txst"_4cc, f ? f->texture_stack : NONE_TAG);
    if (f) {
        SetInteger(kStackIndex, f->stack_index);
        SetInteger(kTextureIndex, f->texture_index);
    } else {
        SetText(kStackIndex, "");
        SetText(kTextureIndex, "");
    }
    for (int i = 0; i < 24; ++i) {
        if (f) {
            SetFixed16Signed(kPlacement + i, f->placement[i]);
        } else {
            SetText(kPlacement + i, "");
        }
    }
    if (!fPlaying) ShowPicture(fFrame);
    UpdateControls();
}

void TspriEditForm::ShowPicture(int32_t frame)
{
    auto* picture = dynamic_cast<TBitmapView*>(FindView(kPicture));
    if (!picture) return;
    const texture_image* pixels = fDef && frame >= 0 && frame < fDef->num_frames() ? sprite_frame_pixels(*fDef, frame)
                                                                                   : nullptr;
    picture->SetImage(pixels ? texture_qimage_on_checkerboard(*pixels, 4) : QImage());
}

void TspriEditForm::FillSequences(int selected)
{
    auto* list = dynamic_cast<XGListControl*>(FindView(kSequences));
    std::vector<std::string> rows;
    for (int i = 0; fDef && i < fDef->num_sequences(); ++i) {
        const int32_t steps = fDef->sequences[size_t(i)].record.num_steps;
        rows.push_back("Sequence " + std::to_string(i + 1) + "   (" + std::to_string(steps) +
                       (steps == 1 ? " step)" : " steps)"));
    }
    if (list) {
        list->SetItems(rows);
        list->SetValue(selected < int(rows.size()) ? selected : -1);
    }
    ShowSequence();
}

void TspriEditForm::ShowSequence()
{
    StopPlaying();
    fSequence = fDef ? Selected(kSequences, fDef->num_sequences()) : -1;
    const sprite_sequence* s = fSequence >= 0 ? &fDef->sequences[size_t(fSequence)] : nullptr;
    for (int i = 0; i < 3; ++i) {
        if (s) {
            SetInteger(kSequenceValues + i, s->record.values[i]);
        } else {
            SetText(kSequenceValues + i, "");
        }
    }
    FillSteps(s && s->record.num_steps > 0 ? 0 : -1);
}

void TspriEditForm::FillSteps(int selected)
{
    auto* list = dynamic_cast<XGListControl*>(FindView(kSteps));
    std::vector<std::string> rows;
    if (fSequence >= 0)
        for (int i = 0; i < fDef->sequences[size_t(fSequence)].record.num_steps; ++i) rows.push_back(StepRow(i));
    if (list) {
        list->SetItems(rows);
        list->SetValue(selected < int(rows.size()) ? selected : -1);
    }
    ShowStep();
}

void TspriEditForm::ShowStep()
{
    const sprite_sequence* s = fSequence >= 0 ? &fDef->sequences[size_t(fSequence)] : nullptr;
    fStep = s ? Selected(kSteps, s->record.num_steps) : -1;
    const size_t k = size_t(fStep);
    const bool shown = fStep >= 0;
    auto integer = [&](int32_t control, int32_t value) {
        if (shown) {
            SetInteger(control, value);
        } else {
            SetText(control, "");
        }
    };
    integer(kStepFrame, shown ? s->frames[k] : 0);
    integer(kStepTicks, shown ? s->ticks[k] : 0);
    for (int i = 0; i < 4; ++i) integer(kStepColour + i, shown ? s->colors[k].values[i] : 0);
    integer(kStepRotation, shown ? s->rots[k] : 0);
    SetTagRef(kStepSound, "soun"_4cc, shown ? s->sound_tags[k] : NONE_TAG);
    if (shown) {
        SetFixed16Signed(kStepScale, s->scales[k]);
    } else {
        SetText(kStepScale, "");
    }
    UpdateControls();
}

void TspriEditForm::UpdateControls()
{
    const bool loaded = fDef != nullptr;
    const sprite_sequence* s = fSequence >= 0 ? &fDef->sequences[size_t(fSequence)] : nullptr;
    EnableView(kAddFrame, loaded && fDef->num_frames() < MAX_SPRITE_FRAMES);
    EnableView(kDeleteFrame, fFrame >= 0);
    for (int32_t c : {int32_t(kTextureStack), int32_t(kTextureStack + 1), int32_t(kStackIndex), int32_t(kTextureIndex)})
        EnableView(c, fFrame >= 0);
    for (int i = 0; i < 24; ++i) EnableView(kPlacement + i, fFrame >= 0);
    EnableView(kAddSequence, loaded && fDef->num_sequences() < MAX_SPRITE_SEQUENCES);
    EnableView(kDeleteSequence, s != nullptr);
    for (int i = 0; i < 3; ++i) EnableView(kSequenceValues + i, s != nullptr);
    EnableView(kAddStep, s && s->record.num_steps < fDef->step_capacity);
    EnableView(kDeleteStep, fStep >= 0);
    for (int32_t c = kStepFrame; c <= kStepScale; ++c) EnableView(c, fStep >= 0);
    EnableView(kPlay, s && s->record.num_steps > 0);
    EnableView(kHeaderValues, loaded);
    EnableView(kHeaderValues + 1, loaded);
}

bool TspriEditForm::HandleControl(XGCode message, int32_t control)
{
    if (!fDef) return false;
    if (message == "lsel"_4cc && (control == kFrames || control == kSequences || control == kSteps)) {
        ReadControls();
        if (control == kFrames) ShowFrame();
        if (control == kSequences) ShowSequence();
        if (control == kSteps) ShowStep();
        return true;
    }
    if (message == "sval"_4cc) {
        ReadControls();
        if ((control == kStackIndex || control == kTextureIndex) && fFrame >= 0) {
            load_sprite_frame_image(*fDef, fFrame);
            if (!fPlaying) ShowPicture(fFrame);
            if (auto* list = dynamic_cast<XGListControl*>(FindView(kFrames))) list->SetItemText(fFrame, FrameRow(fFrame));
        } else if ((control == kStepFrame || control == kStepTicks) && fStep >= 0) {
            if (auto* list = dynamic_cast<XGListControl*>(FindView(kSteps))) list->SetItemText(fStep, StepRow(fStep));
        }
        return true;
    }
    if (message != "cclk"_4cc) return false;
    switch (control) {
    case kTextureStack:
        // the pick list has stored the reference
        ReadControls();
        load_sprite_frame_image(*fDef, fFrame);
        FillFrames(fFrame);
        return true;
    case kStepSound: ReadControls(); return true;
    case kAddFrame: AddFrame(); return true;
    case kDeleteFrame: DeleteFrame(); return true;
    case kAddSequence: AddSequence(); return true;
    case kDeleteSequence: DeleteSequence(); return true;
    case kAddStep: AddStep(); return true;
    case kDeleteStep: DeleteStep(); return true;
    case kPlay:
        if (fPlaying) {
            StopPlaying();
        } else {
            StartPlaying();
        }
        return true;
    default: return false;
    }
}

void TspriEditForm::AddFrame()
{
    ReadControls();
    const int32_t n = fDef->num_frames();
    if (n >= MAX_SPRITE_FRAMES) return;
    sprite_frame frame{};
    frame.texture_stack = NONE_TAG;
    if (fFrame >= 0) frame = fDef->frames[size_t(fFrame)];
    fDef->frames[size_t(n)] = frame;
    fDef->header.num_frames = n + 1;
    load_sprite_frame_image(*fDef, n);
    FillFrames(n);
}

void TspriEditForm::DeleteFrame()
{
    ReadControls();
    const int32_t n = fDef->num_frames();
    if (fFrame < 0 || fFrame >= n) return;
    const int32_t gone = fFrame;
    std::move(fDef->frames.begin() + gone + 1, fDef->frames.begin() + n, fDef->frames.begin() + gone);
    std::move(fDef->images.begin() + gone + 1, fDef->images.begin() + n, fDef->images.begin() + gone);
    fDef->frames[size_t(n - 1)] = {};
    fDef->images[size_t(n - 1)].data.reset();
    fDef->header.num_frames = n - 1;
    // steps keep showing the frames they showed
    for (int32_t i = 0; i < fDef->num_sequences(); ++i) {
        sprite_sequence& s = fDef->sequences[size_t(i)];
        for (int32_t k = 0; k < s.record.num_steps; ++k)
            if (s.frames[size_t(k)] > gone) --s.frames[size_t(k)];
    }
    FillFrames(std::min(gone, n - 2));
    FillSteps(fStep);
}

void TspriEditForm::AddSequence()
{
    ReadControls();
    const int32_t n = fDef->num_sequences();
    if (n >= MAX_SPRITE_SEQUENCES) return;
    fDef->sequences[size_t(n)].record = {};
    fDef->header.num_sequences = n + 1;
    FillSequences(n);
}

void TspriEditForm::DeleteSequence()
{
    ReadControls();
    const int32_t n = fDef->num_sequences();
    if (fSequence < 0 || fSequence >= n) return;
    const int32_t gone = fSequence;
    std::move(fDef->sequences.begin() + gone + 1, fDef->sequences.begin() + n, fDef->sequences.begin() + gone);
    sprite_sequence& last = fDef->sequences[size_t(n - 1)];
    last = sprite_sequence{};
    last.frames.assign(size_t(fDef->step_capacity), 0);
    last.ticks.assign(size_t(fDef->step_capacity), 0);
    last.colors.assign(size_t(fDef->step_capacity), sprite_color{});
    last.rots.assign(size_t(fDef->step_capacity), 0);
    last.sound_tags.assign(size_t(fDef->step_capacity), 0);
    last.scales.assign(size_t(fDef->step_capacity), 0);
    fDef->header.num_sequences = n - 1;
    FillSequences(std::min(gone, n - 2));
}

void TspriEditForm::AddStep()
{
    ReadControls();
    if (fSequence < 0) return;
    sprite_sequence& s = fDef->sequences[size_t(fSequence)];
    if (s.record.num_steps >= fDef->step_capacity) return;
    // after the selected step, as a copy of it; a first step shows the selected frame
    const int at = fStep >= 0 ? fStep + 1 : s.record.num_steps;
    ShiftSteps(s, at, false);
    const size_t k = size_t(at);
    if (fStep >= 0) {
        const size_t from = size_t(fStep);
        s.frames[k] = s.frames[from];
        s.ticks[k] = s.ticks[from];
        s.colors[k] = s.colors[from];
        s.rots[k] = s.rots[from];
        s.sound_tags[k] = s.sound_tags[from];
        s.scales[k] = s.scales[from];
    } else {
        s.frames[k] = std::max(fFrame, 0);
        s.ticks[k] = 3;
        s.colors[k] = {{65535, 65535, 65535, 65535}};
        s.rots[k] = 0;
        s.sound_tags[k] = NONE_TAG;
        s.scales[k] = 65536;
    }
    ++s.record.num_steps;
    FillSequences(fSequence);
    FillSteps(at);
}

void TspriEditForm::DeleteStep()
{
    ReadControls();
    if (fSequence < 0 || fStep < 0) return;
    sprite_sequence& s = fDef->sequences[size_t(fSequence)];
    const int gone = fStep;
    ShiftSteps(s, gone, true);
    --s.record.num_steps;
    FillSequences(fSequence);
    FillSteps(std::min(gone, s.record.num_steps - 1));
}

void TspriEditForm::StartPlaying()
{
    if (fSequence < 0 || fDef->sequences[size_t(fSequence)].record.num_steps <= 0) return;
    ReadControls();
    fPlaying = true;
    fStarted = fClock();
    SetText(kPlay, "Stop");
    fTurns->Start();
    PlayTurn();
}

void TspriEditForm::StopPlaying()
{
    if (!fPlaying) return;
    fPlaying = false;
    fTurns->Stop();
    SetText(kPlay, "Play Sequence");
    SetText(kPlayState, "");
    ShowPicture(fFrame);
}

int32_t TspriEditForm::PlayTurn()
{
    if (!fPlaying || !fDef || fSequence < 0) return -1;
    const sprite_sequence& s = fDef->sequences[size_t(fSequence)];
    const int64_t tick = (fClock() - fStarted) * kTicksPerSecond / 1000;
    const int32_t step = sprite_sequence_step_at(s, tick);
    if (step < 0) {
        StopPlaying();
        return -1;
    }
    const int32_t frame = s.frames[size_t(step)];
    ShowPicture(frame);
    std::string state = "Step " + std::to_string(step + 1) + " of " + std::to_string(s.record.num_steps) + ": frame " +
                        std::to_string(frame);
    if (frame < 0 || frame >= fDef->num_frames()) state += " (there is no such frame)";
    SetText(kPlayState, state);
    return step;
}

void* open_spri_editor(tag_entry* e)
{
    return TTagEditForm::Open<TspriEditForm>(e, TspriEditForm::kResource);
}
