#include "shell/TEditDialogForm.h"

#include <vector>

#include "framework/qt/XGAlert.h"
#include "framework/qt/XGDialog.h"
#include "framework/qt/XGMessages.h"
#include "framework/qt/XGModalDialog.h"
#include "framework/qt/XGView.h"
#include "shell/TTagPickList.h"
#include "shell/TTolvaneApp.h"

XG_BEGIN_DISPATCH(TEditDialogForm, XGForm)
    XG_ON(kXGClickMessage, &TEditDialogForm::DoClick)
    XG_ON(kXGKeyClickMessage, &TEditDialogForm::DoClick)
XG_END_DISPATCH()

TEditDialogForm::TEditDialogForm(const TBindingTable& table, void* s, tag_file* file)
    : fTable(table), fStructure(s), fFile(file), fAccess(*this, file ? file->store : nullptr)
{
}

bool TEditDialogForm::Run(int32_t resource, int32_t okButton, const TBindingTable& table, void* s, tag_file* file,
                          std::function<void(TEditDialogForm&)> prepare,
                          std::function<bool(TEditDialogForm&, int32_t)> click)
{
    auto owned = std::make_unique<TEditDialogForm>(table, s, file);
    TEditDialogForm* form = owned.get();
    form->fClick = std::move(click);
    form->fOkButton = okButton;
    XGModalDialog modal(std::move(owned), resource);
    table.Fill(form->fAccess, s);
    if (prepare) prepare(*form);
    if (modal.Run() != okButton) return false;
    table.Read(form->fAccess, s);
    return true;
}

int32_t TEditDialogForm::DoClick(XGCode, XGParam param, XGParam)
{
    auto id = int32_t(param);
    if (id == fOkButton) {
        // read into a scratch copy: nothing changes unless every field reads
        std::vector<uint8_t> scratch(static_cast<const uint8_t*>(fStructure),
                                     static_cast<const uint8_t*>(fStructure) + fTable.Length());
        fAccess.ClearRefused();
        fTable.Read(fAccess, scratch.data());
        if (!fAccess.GetRefused()) return kXGNotHandled;
        std::string message = fAccess.RefusedMessage();
        fAccess.ClearRefused();
        XGShowAlert(kXGError, "Not a Number", message);
        return 0;
    }
    if (fAccess.IsTagRef(id)) {
        tag_code picked = TTagPickList::Run(fAccess.GetTagRefType(id), fAccess.GetTagRef(id), fFile);
        if (picked != 0) fAccess.ChooseTagRef(id, picked);
        return 0;
    }
    if (fClick && fClick(*this, id)) return 0;
    return kXGNotHandled;
}
