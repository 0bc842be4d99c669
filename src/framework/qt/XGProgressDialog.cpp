#include "framework/qt/XGProgressDialog.h"

#include <QApplication>
#include <QMainWindow>
#include <QProgressDialog>
#include <algorithm>

#include "framework/qt/XGAppCore.h"
#include "framework/qt/XGAppMultiWindow.h"

namespace {

XGProgressHook& Hook()
{
    static XGProgressHook hook;
    return hook;
}

} // namespace

XGProgressHook XGSetProgressHook(XGProgressHook hook)
{
    XGProgressHook old = std::move(Hook());
    Hook() = std::move(hook);
    return old;
}

XGProgressDialog::XGProgressDialog(const std::string& title, bool cancellable)
    : fTitle(title), fCancellable(cancellable)
{
    QWidget* parent = nullptr;
    if (auto* app = dynamic_cast<XGAppMultiWindow*>(XGAppCore::Get())) parent = app->GetFrame();
    fDialog = std::make_unique<QProgressDialog>(parent);
    fDialog->setWindowTitle(QString::fromLatin1(title.c_str()));
    fDialog->setWindowModality(Qt::ApplicationModal);
    fDialog->setAutoClose(false);
    fDialog->setAutoReset(false);
    // short work shows nothing
    fDialog->setMinimumDuration(400);
    if (!cancellable) fDialog->setCancelButton(nullptr);
    fDialog->setRange(0, 0);
    fDialog->setValue(0);
}

XGProgressDialog::~XGProgressDialog()
{
    Close();
}

bool XGProgressDialog::Report(const std::string& what, int64_t done, int64_t total)
{
    ++fReports;
    fText = what;
    fDone = done;
    fTotal = total;
    fDialog->setLabelText(QString::fromLatin1(what.c_str()));
    // the bar counts in steps a 32-bit range holds
    int64_t scale = std::max<int64_t>(1, total / 1000000 + 1);
    fDialog->setRange(0, int(total / scale));
    fDialog->setValue(int(std::min(done, total) / scale));
    if (fDialog->isVisible()) QCoreApplication::processEvents();
    if (Hook()) Hook()(*this);
    if (fCancellable && fDialog->wasCanceled()) fCancelled = true;
    return !fCancelled;
}

void XGProgressDialog::Close()
{
    // reset stops the timer that would show work shorter than the minimum duration later
    fDialog->reset();
    fDialog->hide();
}

void XGProgressDialog::Cancel()
{
    if (fCancellable) fCancelled = true;
}
