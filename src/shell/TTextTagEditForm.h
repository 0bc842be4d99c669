// The form of the tags whose data is text (string lists, templates, texts): one edit
// with the whole text. An untouched edit gives back the stored bytes exactly.
#pragma once

#include <vector>

#include "shell/TTagEditForm.h"
#include "shell/tag_text.h"

class TTextTagEditForm : public TTagEditForm {
public:
    TTextTagEditForm(tag_entry* e, int32_t textControl) : TTagEditForm(e), fTextControl(textControl) {}

    void LoadTag() override;
    bool HasChanges() override;
    void ApplyChanges() override;
    // The bytes the edit stands for.
    std::vector<uint8_t> EditedBytes() const;

private:
    int32_t fTextControl;
    bool fLoaded = false;
    std::string fShown;
    std::vector<uint8_t> fStored;
    tag_text_layout fLayout;
};

class TstliEditForm : public TTextTagEditForm {
public:
    static constexpr int32_t kResource = 1024;
    static constexpr int32_t kText = 21700;
    explicit TstliEditForm(tag_entry* e) : TTextTagEditForm(e, kText) {}
};

class TtempEditForm : public TTextTagEditForm {
public:
    static constexpr int32_t kResource = 1025;
    static constexpr int32_t kText = 21800;
    explicit TtempEditForm(tag_entry* e) : TTextTagEditForm(e, kText) {}
};

class TtextEditForm : public TTextTagEditForm {
public:
    static constexpr int32_t kResource = 1026;
    static constexpr int32_t kText = 21900;
    explicit TtextEditForm(tag_entry* e) : TTextTagEditForm(e, kText) {}
};
