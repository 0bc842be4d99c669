#include "shell/forms/TsounEditForm.h"

#include <cctype>
#include <cstring>

#include "framework/XGError.h"
#include "framework/qt/XGFileDialog.h"
#include "framework/qt/XGListControl.h"
#include "framework/qt/XGPeriodic.h"
#include "framework/qt/XGView.h"
#include "shell/TBitmapView.h"
#include "shell/TTolvaneApp.h"
#include "shell/forms/editor_forms.h"
#include "sound/sound_import.h"
#include "sound/sound_player.h"
#include "sound/sound_waveform_picture.h"

namespace {

const char* const kLoudnessItems[] = {"Quiet", "Normal", "Loud", "Narration"};

const TBindingTable& Table()
{
    using F = TsounEditForm;
    static const TBindingTable table(sound_definition_bs, int32_t(sizeof(sound_definition)),
                                     {
                                         bind_popup(F::kLoudness, 4, kLoudnessItems),
                                         bind_value(F::kPlayFraction, 6, kFraction16Unit),
                                         bind_value(F::kFrequency, 8, kFixed8SignedUnit),
                                         bind_range(F::kPitch, F::kPitchUpper, 10, 12, kFixed8SignedUnit),
                                         bind_range(F::kVolume, F::kVolumeUpper, 14, 16, kFixed8SignedUnit),
                                         bind_value(F::kSubtitleIndex, 18, kInteger16Unit),
                                         bind_tag(F::kSubtitles, 28, "stli"_4cc),
                                         bind_value(F::kFlags, 0, kUnsigned32Unit),
                                     });
    return table;
}

// The sample header without the position of its data, which is rebuilt on writing.
sampled_sound_header Comparable(sampled_sound_header h)
{
    h.samples = 0;
    return h;
}

bool SameSound(const TSoundDefinition& a, const TSoundDefinition& b)
{
    if (std::memcmp(&a.fDefinition, &b.fDefinition, sizeof a.fDefinition) != 0) return false;
    for (int k = 0; k < a.PermutationCount(); ++k) {
        sampled_sound_header x = Comparable(a.fHeaders[k]), y = Comparable(b.fHeaders[k]);
        if (std::memcmp(&a.fPermutations[k], &b.fPermutations[k], sizeof a.fPermutations[k]) != 0 ||
            std::memcmp(&x, &y, sizeof x) != 0 || a.fSamples[k] != b.fSamples[k])
            return false;
    }
    return true;
}

std::string Sentence(std::string text)
{
    if (!text.empty() && std::islower(static_cast<unsigned char>(text[0])))
        text[0] = char(std::toupper(static_cast<unsigned char>(text[0])));
    return text;
}

TSoundPlayer* Player()
{
    TTolvaneApp* app = TTolvaneApp::Get();
    return app ? &app->GetSoundPlayer() : nullptr;
}

class TPlaybackWatch : public XGPeriodic {
public:
    explicit TPlaybackWatch(TsounEditForm& form) : fForm(form) {}

protected:
    void DoPeriodic() override { fForm.ShowPlayback(); }

private:
    TsounEditForm& fForm;
};

} // namespace

TsounEditForm::TsounEditForm(tag_entry* e) : TTagEditForm(e), fWatch(std::make_unique<TPlaybackWatch>(*this)) {}

TsounEditForm::~TsounEditForm()
{
    fWatch.reset();
    // the buffer this editor started goes with it
    if (TSoundPlayer* player = Player()) player->Release(this);
}

const TBindingTable* TsounEditForm::GetBindings() const
{
    return &Table();
}

void TsounEditForm::LoadTag()
{
    TSoundDefinition sound;
    if (read_sound_definition(sound, GetTag())) {
        fSound = std::move(sound);
        fLoaded = true;
        ShowNote("");
        FillControls();
    } else {
        fLoaded = false;
        ShowNote("The tag's data is not a sound that can be read (its sizes or offsets do not agree); "
                 "nothing in it can be edited.");
        UpdateControls();
    }
    UpdateCommandButtons();
}

bool TsounEditForm::HasChanges()
{
    if (!fLoaded) return false;
    ReadControls();
    TSoundDefinition stored;
    return !read_sound_definition(stored, GetTag()) || !SameSound(fSound, stored);
}

void TsounEditForm::ApplyChanges()
{
    if (!fLoaded) return;
    ReadControls();
    TSoundDefinition written = fSound;
    if (!write_sound_definition(written, GetTag())) throw WriteError(GetTag());
    fSound = std::move(written);
    UpdateCommandButtons();
}

void TsounEditForm::FillControls()
{
    Table().Fill(fAccess, &fSound.fDefinition);
    FillList(fSound.PermutationCount() > 0 ? 0 : -1);
}

void TsounEditForm::ReadControls()
{
    Table().Read(fAccess, &fSound.fDefinition);
    if (fShown < 0 || fShown >= fSound.PermutationCount()) return;
    sound_permutation_data& p = fSound.fPermutations[fShown];
    std::string name = GetText(kName).substr(0, MAXIMUM_PERMUTATION_NAME_LENGTH);
    if (name != sound_permutation_name(p)) {
        std::memset(p.permutation_name, 0, sizeof p.permutation_name);
        std::memcpy(p.permutation_name, name.data(), name.size());
    }
    p.skip_fraction = GetFraction16(kSkip);
}

int TsounEditForm::Selected() const
{
    int row = GetControlValue(kPermutations);
    return row >= 0 && row < fSound.PermutationCount() ? row : -1;
}

std::string TsounEditForm::RowText(int k) const
{
    sound_permutation_information info = sound_permutation_info(fSound, k);
    return std::to_string(k + 1) + ". " + sound_permutation_name(fSound.fPermutations[k]) + "   (" + info.format +
           ", " + info.channels + ", " + info.size + ")";
}

void TsounEditForm::ShowRow(int k)
{
    auto* list = dynamic_cast<XGListControl*>(FindView(kPermutations));
    if (list && k >= 0 && k < fSound.PermutationCount()) list->SetItemText(k, RowText(k));
}

void TsounEditForm::FillList(int selected)
{
    auto* list = dynamic_cast<XGListControl*>(FindView(kPermutations));
    if (!list) return;
    std::vector<std::string> rows;
    for (int k = 0; k < fSound.PermutationCount(); ++k) rows.push_back(RowText(k));
    list->SetItems(rows);
    list->SetValue(selected < int(rows.size()) ? selected : -1);
    ShowPermutation();
}

void TsounEditForm::ShowPermutation()
{
    fShown = Selected();
    fOutline.clear();
    std::string information;
    if (fShown >= 0) {
        SetText(kName, sound_permutation_name(fSound.fPermutations[fShown]));
        SetFraction16(kSkip, fSound.fPermutations[fShown].skip_fraction);
        sound_pcm pcm;
        std::string why;
        sound_permutation_information info = sound_permutation_info(fSound, fShown);
        information = info.format + ", " + info.channels + ", " + info.size;
        if (decode_permutation_samples(fSound, fShown, pcm, &why)) {
            auto* picture = dynamic_cast<TBitmapView*>(FindView(kWaveform));
            int width = picture ? picture->GetWidth() : 0;
            fOutline = sound_waveform(pcm, uint32_t(std::max(width, 64)));
            if (pcm.samples_per_second > 0 && pcm.channels > 0) {
                char seconds[32];
                std::snprintf(seconds, sizeof seconds, "%.2f", double(pcm.samples.size()) / pcm.channels /
                                                                     pcm.samples_per_second);
                information += ", " + std::string(seconds) + " seconds";
            }
        } else {
            information += " (the samples cannot be shown: " + why + ")";
        }
    } else {
        SetText(kName, "");
        SetText(kSkip, "");
    }
    SetText(kInformation, information);
    ShowPlayback();
    UpdateControls();
}

void TsounEditForm::ShowPlayback()
{
    TSoundPlayer* player = Player();
    bool playing = player && fShown >= 0 && player->IsPlaying(this);
    double position = -1;
    if (playing && player->FrameCount() > 0) position = double(player->PlayedFrames()) / double(player->FrameCount());
    if (auto* picture = dynamic_cast<TBitmapView*>(FindView(kWaveform))) {
        picture->SetImage(fOutline.empty() ? QImage()
                                           : sound_waveform_picture(fOutline, picture->GetWidth(),
                                                                    picture->GetHeight(), position));
    }
    EnableView(kStop, playing);
    if (playing) {
        fWatch->Start();
    } else {
        fWatch->Stop();
    }
}

void TsounEditForm::UpdateControls()
{
    bool selected = fLoaded && Selected() >= 0;
    EnableView(kAdd, fLoaded && sound_can_add_permutation(fSound));
    EnableView(kReplace, selected);
    EnableView(kRemove, selected);
    EnableView(kName, selected);
    EnableView(kSkip, selected);
    EnableView(kPlay, selected);
}

void TsounEditForm::ShowPlayMessage(const std::string& text)
{
    SetText(kPlayMessage, text);
}

bool TsounEditForm::HandleControl(XGCode message, int32_t control)
{
    if (!fLoaded) return false;
    if (control == kPermutations && message == "lsel"_4cc) {
        ReadControls();
        ShowPermutation();
        return true;
    }
    if (control == kPermutations && message == "lval"_4cc) {
        Play();
        return true;
    }
    if (message == "sval"_4cc && (control == kName || control == kSkip)) {
        ReadControls();
        if (control == kName) ShowRow(fShown);
        return true;
    }
    if (message != "cclk"_4cc) return false;
    switch (control) {
    case kAdd: Import(false); return true;
    case kReplace: Import(true); return true;
    case kRemove: Remove(); return true;
    case kPlay: Play(); return true;
    case kStop: Stop(); return true;
    default: return false;
    }
}

void TsounEditForm::Import(bool replace)
{
    ReadControls();
    const int row = Selected();
    if (replace ? row < 0 : !sound_can_add_permutation(fSound)) return;
    std::string path = XGChooseFileToOpen("Wave Audio File|*.wav", "wav");
    if (path.empty()) return;
    const int index = replace ? row : fSound.PermutationCount();
    const sound_permutation_data kept = fSound.fPermutations[index];
    std::string why;
    int result = import_wav_permutation(fSound, path, index, &why);
    if (result != _sound_import_done) {
        std::string hint = result == _sound_import_unreadable
                               ? "."
                               : "; only 16-bit WAV files sampled at 22050 Hz can be imported.";
        throw XGError(kXGError, replace ? "Replace Permutation" : "Add Permutation", Sentence(why) + hint);
    }
    if (replace) {
        fSound.fPermutations[index].skip_fraction = kept.skip_fraction;
        fSound.fPermutations[index].unknown_0 = kept.unknown_0;
    } else {
        sound_append_permutation(fSound);
    }
    if (TSoundPlayer* player = Player()) player->Release(this);
    FillList(index);
}

void TsounEditForm::Remove()
{
    const int row = Selected();
    if (row < 0) return;
    ReadControls();
    if (TSoundPlayer* player = Player()) player->Release(this);
    sound_remove_permutation(fSound, row);
    FillList(std::min(row, fSound.PermutationCount() - 1));
}

void TsounEditForm::Play()
{
    const int row = Selected();
    if (row < 0) return;
    TSoundPlayer* player = Player();
    std::string why = "the program has no sound output";
    sound_play_result result = player ? player->Play(fSound, row, this, &why) : sound_play_result::no_output;
    switch (result) {
    case sound_play_result::playing: ShowPlayMessage(""); break;
    case sound_play_result::not_playable: ShowPlayMessage("This permutation cannot be played: " + why + "."); break;
    case sound_play_result::no_output: ShowPlayMessage("The sound cannot be played: " + why + "."); break;
    }
    ShowPlayback();
}

void TsounEditForm::Stop()
{
    if (TSoundPlayer* player = Player()) player->Release(this);
    ShowPlayback();
}

void* open_soun_editor(tag_entry* e)
{
    return TTagEditForm::Open<TsounEditForm>(e, TsounEditForm::kResource);
}
