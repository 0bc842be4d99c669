// A modal dialog of a tag editor form that edits part of the form's copy through a
// binding table (an attack, a projectile group part, the flag words...). Reference
// button pairs pick from the tag pick list; OK reads the controls back.
#pragma once

#include <functional>
#include <memory>

#include "framework/qt/XGForm.h"
#include "shell/TControlAccess.h"
#include "shell/TFieldBinding.h"
#include "tags/tags.h"

class TEditDialogForm : public XGForm {
    XG_DECLARE_DISPATCH()

public:
    TEditDialogForm(const TBindingTable& table, void* s, tag_file* file);

    // Runs the dialog of the resource on s; OK (the button okButton) writes the controls
    // into s and gives true; a number field whose text is not a number keeps the dialog
    // open with an alert naming it. prepare runs once the dialog is built and filled; click
    // gets the clicks of controls the dialog does not know (true: handled).
    static bool Run(int32_t resource, int32_t okButton, const TBindingTable& table, void* s, tag_file* file,
                    std::function<void(TEditDialogForm&)> prepare = {},
                    std::function<bool(TEditDialogForm&, int32_t)> click = {});

    TControlAccess& Access() { return fAccess; }
    void* Structure() const { return fStructure; }

private:
    int32_t DoClick(XGCode code, XGParam id, XGParam view);

    const TBindingTable& fTable;
    void* fStructure;
    tag_file* fFile;
    TControlAccess fAccess;
    std::function<bool(TEditDialogForm&, int32_t)> fClick;
    int32_t fOkButton = 0;
};
