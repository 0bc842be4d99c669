// Long work as the person sees it: a progress dialog while it runs and a summary at the
// end that says what was made, changed or saved, how long it took, and opens the log
// when one was written.
#pragma once

#include <chrono>
#include <functional>
#include <string>

#include "framework/qt/XGProgressDialog.h"

class TWork {
public:
    // cancellable: the work may stop between its steps without leaving anything half-written.
    TWork(const std::string& title, bool cancellable = false);

    XGProgress* Progress() { return &fProgress; }
    // Says what is being done when the work cannot tell how far it is.
    void Show(const std::string& what) { fProgress.Report(what, 0, 0); }
    bool WasCancelled() const { return fProgress.WasCancelled(); }
    // "1.25 s"
    std::string Elapsed() const;
    // Closes the progress and shows the summary, with "Open Log" for a log file.
    void Finish(const std::string& summary, const std::string& log = {});

private:
    std::string fTitle;
    XGProgressDialog fProgress;
    std::chrono::steady_clock::time_point fStart;
};

// What "Open Log" does with the log's path (the desktop's viewer unless a test says otherwise).
using TOpenLogHook = std::function<void(const std::string& path)>;
TOpenLogHook TSetOpenLogHook(TOpenLogHook hook);
