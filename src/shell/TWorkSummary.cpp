#include "shell/TWorkSummary.h"

#include <QDesktopServices>
#include <QUrl>
#include <cstdio>
#include <memory>

#include "framework/XGFile.h"
#include "framework/qt/XGDialog.h"
#include "framework/qt/XGForm.h"
#include "framework/qt/XGMessages.h"
#include "framework/qt/XGModalDialog.h"
#include "framework/qt/XGView.h"

namespace {

constexpr int32_t kSummaryResource = 171;
constexpr int32_t kSummaryText = 2;
constexpr int32_t kOpenLog = 3;

TOpenLogHook& OpenLogHook()
{
    static TOpenLogHook hook;
    return hook;
}

// The summary dialog: Open Log opens the log and leaves the summary up.
class TSummaryForm : public XGForm {
    XG_DECLARE_DISPATCH()

public:
    explicit TSummaryForm(std::string log) : fLog(std::move(log)) {}

private:
    int32_t DoClick(XGCode, XGParam id, XGParam)
    {
        if (int32_t(id) != kOpenLog) return kXGNotHandled;
        if (OpenLogHook()) OpenLogHook()(fLog);
        else QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(fLog)));
        return 0;
    }

    std::string fLog;
};

XG_BEGIN_DISPATCH(TSummaryForm, XGForm)
    XG_ON(kXGClickMessage, &TSummaryForm::DoClick)
    XG_ON(kXGKeyClickMessage, &TSummaryForm::DoClick)
XG_END_DISPATCH()

} // namespace

TOpenLogHook TSetOpenLogHook(TOpenLogHook hook)
{
    TOpenLogHook old = std::move(OpenLogHook());
    OpenLogHook() = std::move(hook);
    return old;
}

TWork::TWork(const std::string& title, bool cancellable)
    : fTitle(title), fProgress(title, cancellable), fStart(std::chrono::steady_clock::now())
{
}

std::string TWork::Elapsed() const
{
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - fStart).count();
    char text[32];
    std::snprintf(text, sizeof text, "%.2f s", seconds);
    return text;
}

void TWork::Finish(const std::string& summary, const std::string& log)
{
    std::string text = summary + "\n\nTook " + Elapsed() + ".";
    fProgress.Close();
    XGModalDialog modal(std::make_unique<TSummaryForm>(log), kSummaryResource);
    XGDialog* dialog = modal.GetDialog();
    dialog->SetTitle(fTitle);
    if (XGView* v = dialog->FindView(kSummaryText)) v->SetText(text);
    if (XGView* open = dialog->FindView(kOpenLog)) open->Show(!log.empty() && XGFile::Exists(log));
    modal.Run();
}
