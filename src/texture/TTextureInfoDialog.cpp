#include "texture/TTextureInfoDialog.h"

#include <cstdlib>
#include <memory>

#include "framework/XGError.h"
#include "framework/qt/XGAlert.h"
#include "framework/qt/XGDialog.h"
#include "framework/qt/XGMessages.h"
#include "framework/qt/XGModalDialog.h"
#include "framework/qt/XGPopupMenu.h"
#include "texture/texture_text.h"

XG_BEGIN_DISPATCH(TTextureInfoDialog, XGForm)
    XG_ON(kXGClickMessage, &TTextureInfoDialog::DoClick)
    XG_ON(kXGKeyClickMessage, &TTextureInfoDialog::DoClick)
    XG_ON(kXGPopupValueMessage, &TTextureInfoDialog::DoChoose)
XG_END_DISPATCH()

namespace {

int16_t stacked_texture::*const kPlacement[6] = {&stacked_texture::origin_x, &stacked_texture::origin_y,
                                                 &stacked_texture::u_x,      &stacked_texture::u_y,
                                                 &stacked_texture::v_x,      &stacked_texture::v_y};

// x parts scale with the width, y parts with the height
uint32_t Side(const stacked_texture& t, int k)
{
    return k % 2 == 0 ? t.width : t.height;
}

} // namespace

bool TTextureInfoDialog::Run(stacked_texture& texture, const std::string& description, bool read_only)
{
    auto owned = std::make_unique<TTextureInfoDialog>(texture, read_only);
    TTextureInfoDialog* form = owned.get();
    XGModalDialog modal(std::move(owned), kResource);
    form->SetControlText(kDescription, description);
    return modal.Run() == kOK && form->fChanged;
}

void TTextureInfoDialog::WindowBuilt()
{
    std::vector<std::string> items;
    for (const texture_info_choice& c : texture_info_choices(fTexture.channels)) items.push_back(c.name);
    if (auto* use = dynamic_cast<XGPopupMenu*>(FindView(kUse))) {
        use->SetItems(items);
        use->SetValue(int32_t(texture_info_selected_choice(fTexture)));
    }
    SetControlText(kLayer, std::to_string(fTexture.layer));
    for (int k = 0; k < 6; ++k) {
        fShown[k] = texture_placement_text(fTexture.*kPlacement[k], Side(fTexture, k));
        SetControlText(kOriginX + k, fShown[k]);
    }
    EnableControl(kUse, !fReadOnly);
    EnableControl(kLayer, !fReadOnly);
    DoChoose(kXGPopupValueMessage, kUse, 0);
}

bool TTextureInfoDialog::DetailChosen() const
{
    const auto& choices = texture_info_choices(fTexture.channels);
    int32_t chosen = GetControlValue(kUse);
    return chosen >= 0 && size_t(chosen) < choices.size() && choices[size_t(chosen)].use == TEXTURE_USE_DETAIL_TEXTURE;
}

int32_t TTextureInfoDialog::DoChoose(XGCode, XGParam id, XGParam)
{
    if (id != kUse) return kXGNotHandled;
    for (int k = 0; k < 6; ++k) EnableControl(kOriginX + k, !fReadOnly && DetailChosen());
    return 0;
}

int32_t TTextureInfoDialog::DoClick(XGCode, XGParam id, XGParam)
{
    if (id != kOK) return kXGNotHandled;
    if (fReadOnly || Store()) static_cast<XGDialog*>(GetWindow())->EndModal(kOK);
    return 0;
}

bool TTextureInfoDialog::Store()
{
    const std::string layer_text = GetControlText(kLayer);
    char* end = nullptr;
    const long layer = std::strtol(layer_text.c_str(), &end, 10);
    if (layer_text.empty() || *end != 0 || layer < 0 || layer > 255) {
        XGShowAlert(kXGError, "Texture Info", "The layer must be a whole number from 0 to 255.");
        return false;
    }
    int16_t placement[6];
    for (int k = 0; k < 6; ++k) {
        placement[k] = fTexture.*kPlacement[k];
        const std::string text = GetControlText(kOriginX + k);
        if (!DetailChosen() || text == fShown[k]) continue;
        if (!texture_placement_value(text, Side(fTexture, k), &placement[k])) {
            XGShowAlert(kXGError, "Texture Info",
                        "\"" + text + "\" is not a placement this texture can hold: a number from about " +
                            texture_placement_text(INT16_MIN, Side(fTexture, k)) + " to " +
                            texture_placement_text(INT16_MAX, Side(fTexture, k)) + ".");
            return false;
        }
    }
    const auto& choices = texture_info_choices(fTexture.channels);
    const int32_t chosen = GetControlValue(kUse);
    const uint8_t use = chosen >= 0 && size_t(chosen) < choices.size() ? choices[size_t(chosen)].use : fTexture.use;
    // a use the window cannot name stays as it is until another is chosen
    const bool use_changed = chosen != int32_t(texture_info_selected_choice(fTexture));
    const uint8_t new_use = use_changed ? use : fTexture.use;
    fChanged = new_use != fTexture.use || uint8_t(layer) != fTexture.layer;
    fTexture.use = new_use;
    fTexture.layer = uint8_t(layer);
    for (int k = 0; k < 6; ++k) {
        fChanged = fChanged || placement[k] != fTexture.*kPlacement[k];
        fTexture.*kPlacement[k] = placement[k];
    }
    return true;
}
