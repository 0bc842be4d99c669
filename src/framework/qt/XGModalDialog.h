// A form's dialog for one modal run: built from a view resource, run, and deleted
// with its form when this goes.
#pragma once

#include <cstdint>
#include <memory>

class XGDialog;
class XGForm;

class XGModalDialog {
public:
    // Takes the form; the resource's top view must be a 'dlog'.
    XGModalDialog(std::unique_ptr<XGForm> form, int32_t resource);
    ~XGModalDialog();
    XGModalDialog(const XGModalDialog&) = delete;
    XGModalDialog& operator=(const XGModalDialog&) = delete;

    int32_t Run();
    XGDialog* GetDialog() const { return fDialog; }

private:
    XGDialog* fDialog = nullptr;
};
