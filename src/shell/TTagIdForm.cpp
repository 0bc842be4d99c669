#include "shell/TTagIdForm.h"

#include "framework/qt/XGMessages.h"
#include "framework/qt/XGRadioButton.h"
#include "framework/qt/XGView.h"
#include "shell/tag_id_choice.h"

XG_BEGIN_DISPATCH(TTagIdForm, XGForm)
    XG_ON(kXGSetValueMessage, &TTagIdForm::DoChange)
    XG_ON(kXGListSelectMessage, &TTagIdForm::DoChange)
    XG_ON(kXGClickMessage, &TTagIdForm::DoClick)
XG_END_DISPATCH()

int32_t TTagIdForm::GetChoice() const
{
    for (int32_t c = TAG_ID_FROM_NAME; c <= TAG_ID_SPECIFIED; ++c)
        if (GetControlValue(c)) return c;
    return TAG_ID_UNIQUE_IN_TYPE;
}

std::string TTagIdForm::GetName() const
{
    return GetControlText(kTagIdNameControl);
}

tag_code TTagIdForm::GetId() const
{
    std::string name = GetName();
    return tag_id_for_choice(fStore, GetChoice(), name.c_str(), GetType(), fFile,
                             GetControlText(kTagIdFieldControl));
}

void TTagIdForm::SetChoice(int32_t choice)
{
    if (auto* radio = dynamic_cast<XGRadioButton*>(FindView(choice))) radio->TurnOn();
    EnableControl(kTagIdFieldControl, choice == TAG_ID_SPECIFIED);
}

void TTagIdForm::Recompute()
{
    int32_t choice = GetChoice();
    EnableControl(kTagIdFieldControl, choice == TAG_ID_SPECIFIED);
    // what the user types is left as it stands
    if (choice == TAG_ID_SPECIFIED) return;
    std::string text = tag_code_to_text(GetId());
    if (GetControlText(kTagIdFieldControl) != text) SetControlText(kTagIdFieldControl, text);
}

int32_t TTagIdForm::DoChange(XGCode, XGParam id, XGParam)
{
    if (id == kTagIdFieldControl) return 0;
    Changed();
    Recompute();
    return 0;
}

int32_t TTagIdForm::DoClick(XGCode, XGParam id, XGParam)
{
    if (id < TAG_ID_FROM_NAME || id > TAG_ID_SPECIFIED) return kXGNotHandled;
    SetChoice(int32_t(id));
    Recompute();
    return 0;
}
