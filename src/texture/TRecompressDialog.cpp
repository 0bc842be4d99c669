#include "texture/TRecompressDialog.h"

#include <cstdlib>
#include <memory>

#include "framework/XGError.h"
#include "framework/qt/XGAlert.h"
#include "framework/qt/XGDialog.h"
#include "framework/qt/XGMessages.h"
#include "framework/qt/XGModalDialog.h"
#include "framework/qt/XGRadioButton.h"
#include "texture/texture_pixels.h"

XG_BEGIN_DISPATCH(TRecompressDialog, XGForm)
    XG_ON(kXGClickMessage, &TRecompressDialog::DoClick)
    XG_ON(kXGKeyClickMessage, &TRecompressDialog::DoClick)
    XG_ON(kXGSetValueMessage, &TRecompressDialog::DoChange)
    XG_ON(kXGScrollMessage, &TRecompressDialog::DoChange)
XG_END_DISPATCH()

bool TRecompressDialog::Run(const stacked_texture& texture, const std::string& description, recompress_choice& choice)
{
    auto owned = std::make_unique<TRecompressDialog>(texture, choice);
    TRecompressDialog* form = owned.get();
    XGModalDialog modal(std::move(owned), kResource);
    form->SetControlText(kDescription, description);
    if (modal.Run() != kOK) return false;
    choice = form->fChoice;
    return true;
}

std::string TRecompressDialog::SizeText(uint64_t size, uint64_t raw)
{
    const uint64_t percent = raw ? (100 * size + raw / 2) / raw : 0;
    return std::to_string(size) + " bytes (" + std::to_string(percent) + "%)";
}

void TRecompressDialog::WindowBuilt()
{
    const bool jpeg = fChoice.quality >= 1 && fChoice.quality <= 100 && texture_channels_compress(fTexture.channels);
    const int quality = fChoice.quality >= 1 && fChoice.quality <= 100 ? fChoice.quality : 85;
    SetControlValue(jpeg ? kJpeg : kUncompressed, 1);
    SetControlValue(jpeg ? kUncompressed : kJpeg, 0);
    SetControlText(kQuality, std::to_string(quality));
    SetControlValue(kQualitySlider, quality);
    SetControlValue(kForAll, fChoice.for_all);
    // 2-channel textures stay raw
    EnableControl(kJpeg, texture_channels_compress(fTexture.channels));
    ShowSize();
}

bool TRecompressDialog::ReadQuality(int* quality, bool quiet) const
{
    if (GetControlValue(kUncompressed)) {
        *quality = -1;
        return true;
    }
    const std::string text = GetControlText(kQuality);
    char* end = nullptr;
    const long q = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != 0 || q < 1 || q > 100) {
        if (!quiet) XGShowAlert(kXGError, "Recompress Texture", "The JPEG quality must be a whole number from 1 to 100.");
        return false;
    }
    *quality = int(q);
    return true;
}

void TRecompressDialog::ShowSize()
{
    int quality = 0;
    if (!ReadQuality(&quality, true)) {
        SetControlText(kSize, "");
        return;
    }
    try {
        SetControlText(kSize, SizeText(recompressed_size(fTexture, quality), fTexture.raw_size()));
    } catch (const XGError& e) {
        SetControlText(kSize, e.GetMessage());
    }
}

int32_t TRecompressDialog::DoChange(XGCode code, XGParam id, XGParam)
{
    if (code == kXGScrollMessage && id == kQualitySlider) {
        SetControlText(kQuality, std::to_string(GetControlValue(kQualitySlider)));
    } else if (code == kXGSetValueMessage && id == kQuality) {
        int quality = 0;
        if (ReadQuality(&quality, true) && quality > 0) SetControlValue(kQualitySlider, quality);
    } else {
        return kXGNotHandled;
    }
    ShowSize();
    return 0;
}

int32_t TRecompressDialog::DoClick(XGCode, XGParam id, XGParam view)
{
    switch (id) {
    case kJpeg:
    case kUncompressed:
        if (auto* radio = dynamic_cast<XGRadioButton*>(reinterpret_cast<XGView*>(view))) radio->TurnOn();
        ShowSize();
        return 0;
    case kOK: {
        int quality = 0;
        if (!ReadQuality(&quality, false)) return 0;
        fChoice.quality = quality;
        fChoice.for_all = GetControlValue(kForAll) != 0;
        static_cast<XGDialog*>(GetWindow())->EndModal(kOK);
        return 0;
    }
    default: return kXGNotHandled;
    }
}
