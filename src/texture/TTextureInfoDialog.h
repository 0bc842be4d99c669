// "Texture Info": a texture's use (the choices its channel count allows), its layer and,
// for a detail texture, its placement. A text left as shown keeps its stored value.
#pragma once

#include <string>

#include "framework/qt/XGForm.h"
#include "texture/texture_set.h"

class TTextureInfoDialog : public XGForm {
    XG_DECLARE_DISPATCH()

public:
    static constexpr int32_t kResource = 143;
    enum : int32_t {
        kDescription = 1,
        kUse = 2,
        kLayer = 3,
        kNoDownsample = 4,
        kOriginX = 5, // then origin y, u x, u y, v x, v y
        kOK = 100,
        kCancel = 101,
    };

    TTextureInfoDialog(stacked_texture& texture, bool read_only) : fTexture(texture), fReadOnly(read_only) {}

    // Shows the window for the texture; OK stores what it shows (read-only: only shows it).
    // True when the texture changed.
    static bool Run(stacked_texture& texture, const std::string& description, bool read_only = false);

    void WindowBuilt() override;

private:
    int32_t DoClick(XGCode code, XGParam id, XGParam view);
    int32_t DoChoose(XGCode code, XGParam id, XGParam view);
    bool DetailChosen() const;
    // Reads the controls into the texture; false (nothing changed) with an alert on bad input.
    bool Store();

    stacked_texture& fTexture;
    const bool fReadOnly;
    std::string fShown[6];
    bool fChanged = false;
};
