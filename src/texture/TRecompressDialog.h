// "Recompress Texture": JPEG at a quality from 1 to 100 or uncompressed, the size the
// choice gives the texture as "%d bytes (%d%%)" of its raw size, and whether the
// choice holds for every selected texture.
#pragma once

#include <string>

#include "framework/qt/XGForm.h"
#include "texture/texture_set.h"

struct recompress_choice {
    int quality = 85; // outside 1..100: uncompressed
    bool for_all = false;
};

class TRecompressDialog : public XGForm {
    XG_DECLARE_DISPATCH()

public:
    static constexpr int32_t kResource = 144;
    enum : int32_t {
        kDescription = 1,
        kJpeg = 2,
        kQuality = 3,
        kQualitySlider = 4,
        kUncompressed = 5,
        kSize = 6,
        kForAll = 7,
        kOK = 100,
        kCancel = 101,
    };

    TRecompressDialog(const stacked_texture& texture, recompress_choice choice) : fTexture(texture), fChoice(choice) {}

    // Shows the window for the texture starting from choice; false when cancelled.
    static bool Run(const stacked_texture& texture, const std::string& description, recompress_choice& choice);
    // "%d bytes (%d%%)": a size and its share of the texture's raw size.
    static std::string SizeText(uint64_t size, uint64_t raw);

    void WindowBuilt() override;

private:
    int32_t DoClick(XGCode code, XGParam id, XGParam view);
    int32_t DoChange(XGCode code, XGParam id, XGParam view);
    void ShowSize();
    // The quality the controls give; false with an alert when the text is no quality.
    bool ReadQuality(int* quality, bool quiet) const;

    const stacked_texture& fTexture;
    recompress_choice fChoice;
};
