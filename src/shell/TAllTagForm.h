// "All Tag Files": the tags of every open file in one tree, one type row per type.
// It offers opening tags, Tag Info and Find Duplicates; the file commands are taken
// and disabled, and it accepts no drops.
#pragma once

#include "shell/TTagTreeForm.h"

class TAllTagForm : public TTagTreeForm {
    XG_DECLARE_DISPATCH()

public:
    TAllTagForm() = default;
    ~TAllTagForm() override;

    // Builds the window (view resource 128); not shown yet.
    static TAllTagForm* Create();

    void WindowBuilt() override;
    void Refresh(bool redraw) override;
    // A refresh that keeps the rows of tags that are still there selected.
    void RefreshKeepingSelection();

protected:
    int32_t DoStatus(XGCode code, XGParam id, XGParam status);
    int32_t DoMenu(XGCode code, XGParam id, XGParam);
    int32_t DoDoubleClick(XGCode code, XGParam item, XGParam modifiers);
    int32_t DoKey(XGCode code, XGParam key, XGParam modifiers);
    int32_t DoCanDrop(XGCode code, XGParam data, XGParam);
    int32_t DoDrop(XGCode code, XGParam data, XGParam item);
};
