// Sprite definition editor: frames (a texture stack reference, the stack and texture
// within it, the placement values) with the frame's picture, sequences and their steps
// (frame, ticks, colour, rotation, sound, scale), each added and deleted within the
// format's limits, the header's two values, and Play Sequence, which shows the steps'
// frames for their ticks at 30 ticks a second.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "shell/TTagEditForm.h"
#include "texture/spri.h"

class XGPeriodic;

class TspriEditForm : public TTagEditForm {
public:
    static constexpr int32_t kResource = 149;
    enum : int32_t {
        kFrames = 14900,
        kAddFrame = 14901,
        kDeleteFrame = 14902,
        kTextureStack = 14903,
        kStackIndex = 14905,
        kTextureIndex = 14906,
        kPicture = 14907,
        kPlacement = 14910, // 24 values
        kSequences = 14940,
        kAddSequence = 14941,
        kDeleteSequence = 14942,
        kSequenceValues = 14943, // 3 values
        kSteps = 14950,
        kAddStep = 14951,
        kDeleteStep = 14952,
        kStepFrame = 14953,
        kStepTicks = 14954,
        kStepColour = 14955, // 4 values
        kStepRotation = 14959,
        kStepSound = 14960,
        kStepScale = 14962,
        kPlay = 14963,
        kPlayState = 14964,
        kHeaderValues = 14970, // 2 values
    };

    explicit TspriEditForm(tag_entry* e);
    ~TspriEditForm() override;

    void LoadTag() override;
    bool HasChanges() override;
    void ApplyChanges() override;
    // A texture stack that frames show changed: their pictures follow.
    void TagChanged(tag_code type, tag_code id) override;

    const sprite_definition* GetDefinition() const { return fDef.get(); }
    // Milliseconds of a clock that only goes forward; tests give their own.
    void SetClock(std::function<int64_t()> clock) { fClock = std::move(clock); }
    bool IsPlaying() const { return fPlaying; }
    // The step Play Sequence shows now (-1 when it does not play), and shows it.
    int32_t PlayTurn();

protected:
    bool HandleControl(XGCode message, int32_t control) override;

private:
    void FillControls();
    void ReadControls();
    std::string FrameRow(int i) const;
    std::string StepRow(int i) const;
    void FillFrames(int selected);
    void FillSequences(int selected);
    void FillSteps(int selected);
    void ShowFrame();
    void ShowSequence();
    void ShowStep();
    void ShowPicture(int32_t frame);
    void UpdateControls();
    int Selected(int32_t list, int count) const;
    void AddFrame();
    void DeleteFrame();
    void AddSequence();
    void DeleteSequence();
    void AddStep();
    void DeleteStep();
    void StartPlaying();
    void StopPlaying();

    std::unique_ptr<sprite_definition> fDef;
    int fFrame = -1; // what the edits show
    int fSequence = -1;
    int fStep = -1;
    bool fPlaying = false;
    int64_t fStarted = 0;
    std::function<int64_t()> fClock;
    std::unique_ptr<XGPeriodic> fTurns;
};
