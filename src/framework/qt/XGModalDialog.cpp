#include "framework/qt/XGModalDialog.h"

#include "framework/XGError.h"
#include "framework/qt/XGDialog.h"
#include "framework/qt/XGForm.h"

XGModalDialog::XGModalDialog(std::unique_ptr<XGForm> form, int32_t resource)
{
    XGWindow* window = form->BuildWindow(resource);
    XGForm* attached = form.release();
    fDialog = dynamic_cast<XGDialog*>(window);
    if (!fDialog) {
        delete window;
        (void)attached; // deleted with its window
    }
    XG_ASSERT(fDialog != NULL, "XGModalDialog");
}

XGModalDialog::~XGModalDialog()
{
    delete fDialog;
}

int32_t XGModalDialog::Run()
{
    return fDialog->RunModal();
}
