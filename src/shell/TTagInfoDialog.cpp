#include "shell/TTagInfoDialog.h"

#include "framework/XGError.h"
#include "framework/qt/XGAlert.h"
#include "framework/qt/XGDialog.h"
#include "framework/qt/XGMessages.h"
#include "framework/qt/XGModalDialog.h"
#include "shell/TTolvaneApp.h"
#include "shell/tag_id_choice.h"

XG_BEGIN_DISPATCH(TTagInfoDialog, TTagIdForm)
    XG_ON(kXGClickMessage, &TTagInfoDialog::DoOK)
    XG_ON(kXGKeyClickMessage, &TTagInfoDialog::DoOK)
XG_END_DISPATCH()

bool TTagInfoDialog::Run(tag_entry* e, tag_file* file)
{
    auto form = std::make_unique<TTagInfoDialog>(TTolvaneApp::Get()->GetStore(), file, e);
    XGModalDialog modal(std::move(form), kResource);
    return modal.Run() == kOK;
}

void TTagInfoDialog::WindowBuilt()
{
    SetControlText(kTagIdNameControl, fTag->name);
    SetControlText(kTypeField, tag_code_to_text(fTag->group->type));
    SetControlText(kTagIdFieldControl, tag_code_to_text(fTag->id));
    SetChoice(TAG_ID_SPECIFIED);
}

tag_code TTagInfoDialog::GetType() const
{
    return text_to_tag_code(GetControlText(kTypeField));
}

int32_t TTagInfoDialog::DoOK(XGCode code, XGParam id, XGParam view)
{
    if (id == kCancel) return kXGNotHandled;
    if (id != kOK) return kXGNotHandled;
    tag_code type = GetType();
    tag_code tagId = GetId();
    if (type == NONE_TAG || tagId == NONE_TAG) {
        XGShowAlert(kXGError, "Tag Info", "The type and the id each need four characters other than \"____\".");
        return 0;
    }
    // only what changed is set: setting marks the file for a rewrite
    std::string name = GetName().substr(0, MAXIMUM_TAG_NAME_LENGTH);
    if (name != fTag->name) tag_set_name(fTag, name.c_str());
    tag_set_id(fTag, tagId);
    tag_set_type(fTag, type);
    static_cast<XGDialog*>(GetWindow())->EndModal(kOK);
    return 0;
}
