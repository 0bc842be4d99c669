// A form: the program's object behind one window. It attaches to exactly one window,
// which owns it from then on; the window's views pass their messages to the form,
// the form to the window.
#pragma once

#include <string>

#include "framework/XGDispatch.h"

class XGView;
class XGWindow;

class XGForm : public XGDispatch {
public:
    XGForm() = default;
    ~XGForm() override;

    XGWindow* GetWindow() const { return fWindow; }

    // Builds the window of a view resource through the window factory and attaches
    // to it; then WindowBuilt. The window owns the form from then on; when this
    // raises an error there is no window and the form is the caller's.
    XGWindow* BuildWindow(int32_t resource);
    // Framework assertions: the form has no window yet, w exists and has no form.
    void AttachWindow(XGWindow* w);

    // After the window is built and attached.
    virtual void WindowBuilt() {}
    // The close check: false keeps the window open.
    virtual bool CanClose() { return true; }

    // The window's view with the id, or null.
    XGView* FindView(int32_t id) const;
    // Control state by id; a missing control gives "" or 0 and ignores a setting.
    std::string GetControlText(int32_t id) const;
    void SetControlText(int32_t id, const std::string& text);
    int32_t GetControlValue(int32_t id) const;
    void SetControlValue(int32_t id, int32_t value);
    void EnableControl(int32_t id, bool enable);

private:
    friend class XGWindow;
    XGWindow* fWindow = nullptr;
};
