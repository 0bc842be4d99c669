#include "framework/qt/XGDialog.h"

#include <QApplication>
#include <QEventLoop>
#include <QScreen>
#include <QWidget>

#include "framework/qt/XGAppCore.h"
#include "framework/qt/XGMessages.h"
#include "framework/qt/XGView.h"

namespace {

XGModalHook& ModalHook()
{
    static XGModalHook hook;
    return hook;
}

void CollectTexts(const XGView* view, std::vector<std::string>& out)
{
    for (const XGView* v : view->GetSubviews()) {
        out.push_back(v->GetText());
        CollectTexts(v, out);
    }
}

} // namespace

XGModalHook XGSetModalHook(XGModalHook hook)
{
    XGModalHook old = std::move(ModalHook());
    ModalHook() = std::move(hook);
    return old;
}

XG_BEGIN_DISPATCH(XGDialog, XGWindow)
    XG_ON(kXGClickMessage, &XGDialog::DoClick)
    XG_ON(kXGKeyClickMessage, &XGDialog::DoClick)
    XG_ON(kXGKeyMessage, &XGDialog::DoKey)
XG_END_DISPATCH()

XGDialog::XGDialog(const XGViewRecord& record) : XGWindow(record)
{
    fContent->setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    fContent->setFixedSize(record.frame.width, record.frame.height);
    SetFrameWidget(nullptr);
}

int32_t XGDialog::RunModal()
{
    fModal = true;
    fDone = false;
    fResult = 0;
    fContent->setWindowModality(Qt::ApplicationModal);
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect area = screen->availableGeometry();
        fContent->move(area.center() - QPoint(fContent->width() / 2, fContent->height() / 2));
    }
    Show(true);
    XGAppCore* app = XGAppCore::Get();
    if (app) app->EnterModal(this);
    if (ModalHook()) {
        XGModalHook hook = ModalHook();
        hook(*this);
        if (!fDone) EndModal(0);
    }
    while (!fDone) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    if (app) app->LeaveModal(this);
    fContent->hide();
    fModal = false;
    return fResult;
}

void XGDialog::EndModal(int32_t result)
{
    fResult = result;
    fDone = true;
}

bool XGDialog::ClickControl(int32_t id)
{
    XGView* v = FindView(id);
    if (!v || !v->IsEnabled()) return false;
    v->Click();
    return true;
}

std::vector<std::string> XGDialog::GetTexts() const
{
    std::vector<std::string> texts;
    CollectTexts(GetRootView(), texts);
    return texts;
}

void XGDialog::CloseRequested()
{
    if (fModal) EndModal(GetCancelButton());
    else XGWindow::CloseRequested();
}

int32_t XGDialog::DoClick(XGCode, XGParam id, XGParam view)
{
    auto* v = reinterpret_cast<XGView*>(view);
    if (!v || v->GetClassCode() != "pbtn"_4cc || !fModal) return kXGNotHandled;
    EndModal(int32_t(id));
    return 0;
}

int32_t XGDialog::DoKey(XGCode, XGParam key, XGParam)
{
    int32_t id = 0;
    if (key == kXGKeyReturn || key == kXGKeyEnter) id = GetDefaultButton();
    else if (key == kXGKeyEscape) id = GetCancelButton();
    if (id == 0) return kXGNotHandled;
    XGView* v = FindView(id);
    if (!v || !v->IsEnabled()) return 0;
    v->Notify(kXGKeyClickMessage);
    return 0;
}
