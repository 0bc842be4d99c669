// Ground sprites editor: for each of the four sets its sprite definition, its mask (Get
// Mask... takes a JPEG file whole, Clear Mask drops it, the mask shown as a picture)
// and its density.
#pragma once

#include "shell/TTagEditForm.h"
#include "texture/grsp.h"

class TgrspEditForm : public TTagEditForm {
public:
    static constexpr int32_t kResource = 1032;
    // Set n's controls are kSet + 10 n plus these.
    enum : int32_t {
        kSet = 22600,
        kSprite = 0, // and the Open button at 1
        kMaskName = 2,
        kGetMask = 3,
        kClearMask = 4,
        kMaskPicture = 5,
        kDensity = 6,
    };
    static constexpr int32_t Control(int set, int32_t which) { return kSet + 10 * set + which; }

    explicit TgrspEditForm(tag_entry* e);

    void LoadTag() override;
    bool HasChanges() override;
    void ApplyChanges() override;

    const TGroundSprites& GetGroundSprites() const { return fGround; }

protected:
    bool HandleControl(XGCode message, int32_t control) override;

private:
    void FillControls();
    void ReadControls();
    void ShowMask(int set);
    void GetMask(int set);

    TGroundSprites fGround;
    bool fLoaded = false;
};
