#include "shell/TCreateTagDialog.h"

#include "framework/XGError.h"
#include "framework/qt/XGAlert.h"
#include "framework/qt/XGDialog.h"
#include "framework/qt/XGListControl.h"
#include "framework/qt/XGMessages.h"
#include "framework/qt/XGModalDialog.h"
#include "shell/TTolvaneApp.h"
#include "shell/tag_id_choice.h"
#include "tags/tag_types.h"

XG_BEGIN_DISPATCH(TCreateTagDialog, TTagIdForm)
    XG_ON(kXGClickMessage, &TCreateTagDialog::DoOK)
    XG_ON(kXGKeyClickMessage, &TCreateTagDialog::DoOK)
XG_END_DISPATCH()

bool TCreateTagDialog::Run(tag_file* file, Choice& choice)
{
    auto form = std::make_unique<TCreateTagDialog>(TTolvaneApp::Get()->GetStore(), file);
    TCreateTagDialog* dialog = form.get();
    XGModalDialog modal(std::move(form), kResource);
    if (modal.Run() != kOK) return false;
    choice = dialog->fChoice;
    return true;
}

void TCreateTagDialog::WindowBuilt()
{
    std::vector<std::string> rows;
    for (int n = 0; tag_code type = tag_type_by_index(n); ++n) {
        if (!tag_type_set_defaults_hook(type)) continue;
        fTypes.push_back(type);
        rows.push_back(std::string(tag_type_name(type)) + " (" + tag_code_to_text(type) + ")");
    }
    if (auto* list = dynamic_cast<XGListControl*>(FindView(kTypeList))) list->SetItems(rows);
    SetChoice(TAG_ID_UNIQUE_IN_TYPE);
    Changed();
    Recompute();
}

tag_code TCreateTagDialog::GetType() const
{
    int32_t row = GetControlValue(kTypeList);
    return row >= 0 && size_t(row) < fTypes.size() ? fTypes[size_t(row)] : 0;
}

void TCreateTagDialog::Changed()
{
    EnableControl(kOK, GetType() != 0);
}

int32_t TCreateTagDialog::DoOK(XGCode code, XGParam id, XGParam view)
{
    if (id == kCancel) return kXGNotHandled;
    if (id != kOK) return kXGNotHandled;
    if (GetType() == 0) return 0;
    tag_code tagId = GetId();
    if (tagId == NONE_TAG) {
        XGShowAlert(kXGError, "Create New Tag", "The id needs four characters other than \"____\".");
        return 0;
    }
    fChoice.name = GetName().substr(0, 128);
    fChoice.type = GetType();
    fChoice.id = tagId;
    static_cast<XGDialog*>(GetWindow())->EndModal(kOK);
    return 0;
}
