// "Choose Tag" (view resource 167): the tags Find Tag found, one row each with its
// name, id, type and file, the first selected. Open (100, or a double-click) gives
// the chosen tag, Cancel (101) none.
#pragma once

#include <string>
#include <vector>

#include "framework/qt/XGForm.h"
#include "tags/tags.h"

class TChooseTagDialog : public XGForm {
    XG_DECLARE_DISPATCH()

public:
    static constexpr int32_t kResource = 167;
    static constexpr int32_t kCaption = 1;
    static constexpr int32_t kList = 2;
    static constexpr int32_t kOpen = 100;
    static constexpr int32_t kCancel = 101;

    TChooseTagDialog(std::vector<tag_entry*> tags, std::string caption)
        : fTags(std::move(tags)), fCaption(std::move(caption))
    {
    }

    // The tag chosen, or null when cancelled.
    static tag_entry* Run(const std::vector<tag_entry*>& tags, const std::string& caption);
    // A row: "name (id/type) in path".
    static std::string RowText(const tag_entry* e);

    void WindowBuilt() override;

private:
    int32_t DoSelect(XGCode code, XGParam id, XGParam view);

    std::vector<tag_entry*> fTags;
    std::string fCaption;
};
