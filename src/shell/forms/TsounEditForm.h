// Sound editor: the sound definition's fields, its permutations (added from WAV files,
// replaced, removed, named, with their skip fractions), a picture of the selected one,
// and playback through the program's sound output.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "shell/TFieldBinding.h"
#include "shell/TTagEditForm.h"
#include "sound/sound_definition.h"
#include "sound/sound_waveform.h"

class XGPeriodic;

class TsounEditForm : public TTagEditForm {
public:
    static constexpr int32_t kResource = 1023;
    enum : int32_t {
        kLoudness = 22500,
        kPlayFraction = 22501,
        kPitch = 22502,
        kPitchUpper = 22503,
        kFrequency = 22504,
        kVolume = 22505,
        kVolumeUpper = 22506,
        kFlags = 22507,
        kSubtitles = 22508,
        kSubtitleIndex = 22510,
        kPermutations = 22520,
        kAdd = 22521,
        kReplace = 22522,
        kRemove = 22523,
        kName = 22524,
        kSkip = 22525,
        kInformation = 22526,
        kWaveform = 22527,
        kPlay = 22528,
        kStop = 22529,
        kPlayMessage = 22530,
    };

    explicit TsounEditForm(tag_entry* e);
    ~TsounEditForm() override;

    void LoadTag() override;
    bool HasChanges() override;
    void ApplyChanges() override;
    const TBindingTable* GetBindings() const override;

    const TSoundDefinition& GetSound() const { return fSound; }
    // Follows playback: the play position and the Play and Stop buttons.
    void ShowPlayback();

protected:
    bool HandleControl(XGCode message, int32_t control) override;

private:
    void FillControls();
    void ReadControls();
    std::string RowText(int k) const;
    void ShowRow(int k);
    void FillList(int selected);
    void ShowPermutation();
    void UpdateControls();
    int Selected() const;
    void Import(bool replace);
    void Remove();
    void Play();
    void Stop();
    void ShowPlayMessage(const std::string& text);

    TSoundDefinition fSound;
    bool fLoaded = false;
    int fShown = -1; // the permutation whose name and skip fraction the edits show
    std::vector<std::vector<sound_waveform_column>> fOutline;
    std::unique_ptr<XGPeriodic> fWatch;
};
