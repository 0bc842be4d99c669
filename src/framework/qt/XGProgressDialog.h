// A progress dialog for long work (QProgressDialog): application-modal, showing what is
// being done and how far; Cancel is offered only when the work may stop. A hook (for
// tests and scripted runs) sees every report and may press Cancel.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "framework/XGProgress.h"

class QProgressDialog;
class XGProgressDialog;

using XGProgressHook = std::function<void(XGProgressDialog& dialog)>;
XGProgressHook XGSetProgressHook(XGProgressHook hook);

class XGProgressDialog : public XGProgress {
public:
    XGProgressDialog(const std::string& title, bool cancellable);
    ~XGProgressDialog() override;

    bool Report(const std::string& what, int64_t done, int64_t total) override;
    // Takes the dialog down (the work is done).
    void Close();
    // As the person's click on Cancel (ignored when the work may not stop).
    void Cancel();
    bool WasCancelled() const { return fCancelled; }
    bool IsCancellable() const { return fCancellable; }
    const std::string& GetTitle() const { return fTitle; }
    const std::string& GetText() const { return fText; }
    int64_t GetDone() const { return fDone; }
    int64_t GetTotal() const { return fTotal; }
    int GetReportCount() const { return fReports; }

private:
    std::unique_ptr<QProgressDialog> fDialog;
    std::string fTitle;
    std::string fText;
    int64_t fDone = 0;
    int64_t fTotal = 0;
    int fReports = 0;
    bool fCancellable;
    bool fCancelled = false;
};
