#include "shell/TChooseTagDialog.h"

#include "framework/qt/XGDialog.h"
#include "framework/qt/XGListControl.h"
#include "framework/qt/XGMessages.h"
#include "framework/qt/XGModalDialog.h"
#include "shell/TTagPickList.h"

XG_BEGIN_DISPATCH(TChooseTagDialog, XGForm)
    XG_ON(kXGListSelectMessage, &TChooseTagDialog::DoSelect)
    XG_ON(kXGListValueMessage, &TChooseTagDialog::DoSelect)
XG_END_DISPATCH()

tag_entry* TChooseTagDialog::Run(const std::vector<tag_entry*>& tags, const std::string& caption)
{
    auto form = std::make_unique<TChooseTagDialog>(tags, caption);
    TChooseTagDialog* choose = form.get();
    XGModalDialog modal(std::move(form), kResource);
    if (modal.Run() != kOpen) return nullptr;
    int32_t row = choose->GetControlValue(kList);
    return row >= 0 && size_t(row) < tags.size() ? tags[size_t(row)] : nullptr;
}

std::string TChooseTagDialog::RowText(const tag_entry* e)
{
    return std::string(e->name) + " (" + tag_code_to_text(e->id) + "/" + tag_code_to_text(e->group->type) + ") in " +
           TTagPickList::ShownPath(e->file);
}

void TChooseTagDialog::WindowBuilt()
{
    SetControlText(kCaption, fCaption);
    std::vector<std::string> rows;
    for (const tag_entry* e : fTags) rows.push_back(RowText(e));
    if (auto* list = dynamic_cast<XGListControl*>(FindView(kList))) {
        list->SetItems(rows);
        list->SetValue(rows.empty() ? -1 : 0);
        list->Focus();
    }
    EnableControl(kOpen, !rows.empty());
}

int32_t TChooseTagDialog::DoSelect(XGCode code, XGParam, XGParam)
{
    bool chosen = GetControlValue(kList) >= 0;
    EnableControl(kOpen, chosen);
    // a double-click opens the row
    if (code == kXGListValueMessage && chosen) static_cast<XGDialog*>(GetWindow())->EndModal(kOpen);
    return 0;
}
