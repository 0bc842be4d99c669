#include "shell/forms/TgrspEditForm.h"

#include <cstring>

#include "framework/XGError.h"
#include "framework/XGFile.h"
#include "framework/qt/XGFileDialog.h"
#include "shell/TBitmapView.h"
#include "shell/forms/editor_forms.h"
#include "texture/jpeg_codec.h"
#include "texture/texture_qimage.h"

namespace {

// The mask as a picture: a JPEG in colour, or in grey when libjpeg gives it only so.
bool DecodeMask(const std::vector<uint8_t>& bytes, texture_image& image, std::string* why)
{
    jpeg_decode_options options;
    options.channels = 3;
    if (jpeg_decode(bytes.data(), bytes.size(), options, image, why)) return true;
    options.channels = 1;
    return jpeg_decode(bytes.data(), bytes.size(), options, image, nullptr);
}

std::string Name(const ground_sprite_set& s)
{
    return std::string(s.mask_name, strnlen(s.mask_name, sizeof s.mask_name));
}

bool SameSets(const TGroundSprites& a, const TGroundSprites& b)
{
    for (int n = 0; n < NUMBER_OF_GROUND_SPRITE_SETS; ++n) {
        const ground_sprite_set& x = a.set(n);
        const ground_sprite_set& y = b.set(n);
        if (x.sprite_definition != y.sprite_definition || x.density != y.density || a.mask(n) != b.mask(n) ||
            (!a.mask(n).empty() && Name(x) != Name(y)))
            return false;
    }
    return true;
}

} // namespace

TgrspEditForm::TgrspEditForm(tag_entry* e) : TTagEditForm(e) {}

void TgrspEditForm::LoadTag()
{
    TGroundSprites ground;
    std::string note;
    try {
        if (!ground.Open(GetTag())) note = "The tag's data cannot be read.";
    } catch (const XGError& e) {
        note = e.GetMessage();
    }
    fLoaded = note.empty();
    if (fLoaded) fGround = ground;
    ShowNote(fLoaded ? std::string() : note + " Nothing in it can be edited.");
    for (int n = 0; n < NUMBER_OF_GROUND_SPRITE_SETS; ++n)
        for (int32_t c : {int32_t(kSprite), int32_t(kSprite + 1), int32_t(kGetMask), int32_t(kClearMask), int32_t(kDensity)}) EnableView(Control(n, c), fLoaded);
    if (fLoaded) FillControls();
    UpdateCommandButtons();
}

bool TgrspEditForm::HasChanges()
{
    if (!fLoaded) return false;
    ReadControls();
    TGroundSprites stored;
    try {
        if (!stored.Open(GetTag())) return true;
    } catch (const XGError&) {
        return true;
    }
    return !SameSets(fGround, stored);
}

void TgrspEditForm::ApplyChanges()
{
    if (!fLoaded) return;
    ReadControls();
    fGround.Commit(GetTag());
    UpdateCommandButtons();
}

void TgrspEditForm::FillControls()
{
    for (int n = 0; n < NUMBER_OF_GROUND_SPRITE_SETS; ++n) {
        SetTagRef(Control(n, kSprite), "spri"_4cc, fGround.set(n).sprite_definition);
        SetInteger(Control(n, kDensity), fGround.set(n).density);
        ShowMask(n);
    }
}

void TgrspEditForm::ReadControls()
{
    for (int n = 0; n < NUMBER_OF_GROUND_SPRITE_SETS; ++n) {
        fGround.set(n).sprite_definition = GetTagRef(Control(n, kSprite));
        fGround.set(n).density = int16_t(fAccess.GetInteger(Control(n, kDensity), INT16_MIN, INT16_MAX));
    }
}

void TgrspEditForm::ShowMask(int n)
{
    SetText(Control(n, kMaskName), fGround.MaskLabel(n));
    EnableView(Control(n, kClearMask), fLoaded && !fGround.mask(n).empty());
    auto* picture = dynamic_cast<TBitmapView*>(FindView(Control(n, kMaskPicture)));
    if (!picture) return;
    texture_image image;
    std::string why;
    if (!fGround.mask(n).empty() && DecodeMask(fGround.mask(n), image, &why)) {
        picture->SetImage(texture_qimage(image));
    } else {
        picture->SetImage(QImage());
        if (!fGround.mask(n).empty()) SetText(Control(n, kMaskName), fGround.MaskLabel(n) + " (not a JPEG image)");
    }
}

void TgrspEditForm::GetMask(int n)
{
    std::string path = XGChooseFileToOpen("JPEG|*.jpg|All Files|*.*", "jpg");
    if (path.empty()) return;
    XGFile file(path);
    file.Open(XGFile::kRead);
    std::vector<uint8_t> bytes(file.GetLength());
    if (!bytes.empty()) file.ReadAt(0, bytes.data(), bytes.size());
    file.Close();
    texture_image image;
    std::string why = "the file is empty";
    if (bytes.empty() || !DecodeMask(bytes, image, &why))
        throw XGError(kXGError, "Get Mask", "\"" + path + "\" is not a JPEG image (" + why + "); the mask is unchanged.");
    ReadControls();
    fGround.GetMask(n, path);
    ShowMask(n);
}

bool TgrspEditForm::HandleControl(XGCode message, int32_t control)
{
    if (!fLoaded || message != "cclk"_4cc) return false;
    const int n = (control - kSet) / 10;
    if (control < kSet || n >= NUMBER_OF_GROUND_SPRITE_SETS) return false;
    switch ((control - kSet) % 10) {
    case kGetMask: GetMask(n); return true;
    case kClearMask:
        ReadControls();
        fGround.ClearMask(n);
        ShowMask(n);
        return true;
    default: return false;
    }
}

void* open_grsp_editor(tag_entry* e)
{
    return TTagEditForm::Open<TgrspEditForm>(e, TgrspEditForm::kResource);
}
