#include "shell/TTextTagEditForm.h"

#include <cstring>

#include "tags/gameplay/tag_struct.h"

void TTextTagEditForm::LoadTag()
{
    uint32_t size = 0;
    const uint8_t* data = tag_get_data(GetTag(), &size);
    if (!data) {
        ShowNote("The tag's data cannot be read; the text shows nothing.");
        UpdateCommandButtons();
        return;
    }
    fStored.assign(data, data + size);
    SetText(fTextControl, tag_text_for_editing(data, size, fLayout));
    fShown = GetText(fTextControl);
    fLoaded = true;
    ShowNote("");
    UpdateCommandButtons();
}

std::vector<uint8_t> TTextTagEditForm::EditedBytes() const
{
    std::string text = GetText(fTextControl);
    if (fLoaded && text == fShown) return fStored;
    return tag_text_bytes(text, fLayout);
}

bool TTextTagEditForm::HasChanges()
{
    uint32_t size = 0;
    const uint8_t* data = tag_get_data(GetTag(), &size);
    if (!data) return true;
    std::vector<uint8_t> bytes = EditedBytes();
    return bytes.size() != size || (size && std::memcmp(bytes.data(), data, size) != 0);
}

void TTextTagEditForm::ApplyChanges()
{
    std::vector<uint8_t> bytes = EditedBytes();
    static const uint8_t kNothing = 0;
    if (!tag_set_data(GetTag(), bytes.empty() ? &kNothing : bytes.data(), uint32_t(bytes.size())))
        throw TTagEditForm::WriteError(GetTag());
    fStored = bytes;
    fShown = GetText(fTextControl);
    fLoaded = true;
    ShowNote("");
    UpdateCommandButtons();
}
