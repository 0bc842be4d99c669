// 'dlog': a dialog window. RunModal shows it application-modal and runs a loop of
// its own until EndModal. A push button click that the form does not handle ends
// the dialog with the button's id; Return clicks the default button and Escape
// the cancel button. A modal hook (for tests and scripted runs) may drive the dialog
// instead of the user.
#pragma once

#include <functional>

#include "framework/qt/XGWindow.h"

class XGDialog;

// Called once a modal dialog shows, before its loop; may set controls and end it.
// A dialog the hook leaves open ends with 0.
using XGModalHook = std::function<void(XGDialog& dialog)>;
XGModalHook XGSetModalHook(XGModalHook hook);

class XGDialog : public XGWindow {
    XG_DECLARE_DISPATCH()

public:
    explicit XGDialog(const XGViewRecord& record);

    // Shows the dialog modally and returns the id it ended with.
    int32_t RunModal();
    void EndModal(int32_t result);
    bool IsDone() const { return fDone; }

    // Clicks the control with the id as the user would; false when it is missing or disabled.
    bool ClickControl(int32_t id);
    // The text of every view, in build order (for reading an alert).
    std::vector<std::string> GetTexts() const;

protected:
    void CloseRequested() override;

private:
    int32_t DoClick(XGCode code, XGParam id, XGParam view);
    int32_t DoKey(XGCode code, XGParam key, XGParam modifiers);

    bool fModal = false;
    bool fDone = false;
    int32_t fResult = 0;
};
