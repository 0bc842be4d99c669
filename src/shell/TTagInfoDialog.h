// "Tag Info" (view resource 136): a tag's name, type (control 8, four characters)
// and id with the id choice. OK is 101, Cancel 100. It opens on "Specify:" with the
// tag's own id, so that OK alone changes nothing.
#pragma once

#include "shell/TTagIdForm.h"

class TTagInfoDialog : public TTagIdForm {
    XG_DECLARE_DISPATCH()

public:
    static constexpr int32_t kResource = 136;
    static constexpr int32_t kTypeField = 8;
    static constexpr int32_t kOK = 101;
    static constexpr int32_t kCancel = 100;

    TTagInfoDialog(TTagStore& store, tag_file* file, tag_entry* e) : TTagIdForm(store, file), fTag(e) {}

    // Shows the dialog for the tag and applies the name, id and type on OK; false
    // when it was cancelled.
    static bool Run(tag_entry* e, tag_file* file);

    void WindowBuilt() override;
    tag_code GetType() const override;

private:
    int32_t DoOK(XGCode code, XGParam id, XGParam view);

    tag_entry* fTag;
};
