#include "framework/qt/XGWindow.h"

#include <QCloseEvent>
#include <QWidget>

#include "framework/qt/XGAppCore.h"
#include "framework/qt/XGForm.h"
#include "framework/qt/XGGuard.h"
#include "framework/qt/XGMessages.h"
#include "framework/qt/XGView.h"

namespace {

// The root of a window's views: the window's content widget.
class XGRootView : public XGView {
public:
    XGRootView(XGWindow* window, const XGViewRecord& record, QWidget* content) : XGView(nullptr, record)
    {
        SetWindow(window);
        SetNextTarget(window);
        SetWidget(content);
    }
};

// A window's content: its size hint is the size the resource gives, so that the frame
// around it (an MDI subwindow) opens at that size.
class XGContentWidget : public QWidget {
public:
    explicit XGContentWidget(QSize hint) : fHint(hint) {}
    QSize sizeHint() const override { return fHint; }

private:
    QSize fHint;
};

// Turns the platform's close box into the window's close check.
class XGCloseWatcher : public QObject {
public:
    explicit XGCloseWatcher(std::function<void()> onClose) : fOnClose(std::move(onClose)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Close) {
            event->ignore();
            fOnClose();
            return true;
        }
        return false;
    }

private:
    std::function<void()> fOnClose;
};

} // namespace

XG_BEGIN_DISPATCH(XGWindow, XGDispatch)
    XG_ON(kXGStatusMessage, &XGWindow::DoStatus)
    XG_ON(kXGMenuMessage, &XGWindow::DoMenu)
XG_END_DISPATCH()

XGWindow::XGWindow(const XGViewRecord& record) : fClassCode(record.classCode)
{
    fContent = new XGContentWidget(QSize(record.frame.width, record.frame.height));
    fContent->setAttribute(Qt::WA_DeleteOnClose, false);
    fContent->resize(record.frame.width, record.frame.height);
    fContent->setWindowTitle(QString::fromLatin1(record.text.c_str()));
    int32_t w, h;
    if (XGParseSize(record.Get("min"), w, h)) fContent->setMinimumSize(w, h);
    if (XGParseSize(record.Get("max"), w, h)) fContent->setMaximumSize(w, h);
    fDefaultButton = record.GetInt("default", 0);
    fCancelButton = record.GetInt("cancel", 0);

    XGViewRecord rootRecord;
    rootRecord.classCode = record.classCode;
    rootRecord.id = record.id;
    rootRecord.frame = {0, 0, record.frame.width, record.frame.height};
    fRoot = new XGRootView(this, rootRecord, fContent);

    if (XGAppCore* app = XGAppCore::Get()) {
        SetNextTarget(app);
        app->AddWindow(this);
    }
}

XGWindow::~XGWindow()
{
    fClosing = true;
    if (XGAppCore* app = XGAppCore::Get()) app->RemoveWindow(this);
    delete fForm;
    fForm = nullptr;
    delete fRoot;
    fRoot = nullptr;
    fWatcher.reset();
    QWidget* frame = GetFrameWidget();
    frame->hide();
    frame->deleteLater();
    if (frame != fContent) fContent->deleteLater();
}

XGView* XGWindow::FindView(int32_t id) const
{
    for (XGView* v : fRoot->GetSubviews())
        if (XGView* found = v->FindView(id)) return found;
    return nullptr;
}

XGView* XGWindow::GetFocusView() const
{
    QWidget* focus = fContent->focusWidget();
    XGView* view = focus ? XGView::FromWidget(focus) : nullptr;
    return view && view->GetWindow() == this ? view : fRoot;
}

void XGWindow::SetTitle(const std::string& title)
{
    QString text = QString::fromLatin1(title.c_str());
    fContent->setWindowTitle(text);
    if (GetFrameWidget() != fContent) GetFrameWidget()->setWindowTitle(text);
}

std::string XGWindow::GetTitle() const
{
    return fContent->windowTitle().toLatin1().toStdString();
}

void XGWindow::Show(bool front)
{
    QWidget* frame = GetFrameWidget();
    frame->show();
    if (front) BringToFront();
}

void XGWindow::BringToFront()
{
    QWidget* frame = GetFrameWidget();
    frame->raise();
    frame->activateWindow();
    if (XGAppCore* app = XGAppCore::Get()) app->WindowToFront(this);
}

bool XGWindow::IsShown() const
{
    return !GetFrameWidget()->isHidden();
}

void XGWindow::Resize(int width, int height)
{
    fContent->resize(width, height);
    if (GetFrameWidget() != fContent) GetFrameWidget()->adjustSize();
}

void XGWindow::GetSize(int& width, int& height) const
{
    width = fContent->width();
    height = fContent->height();
}

void XGWindow::SetMinimumSize(int width, int height)
{
    fContent->setMinimumSize(width, height);
}

void XGWindow::SetMaximumSize(int width, int height)
{
    fContent->setMaximumSize(width, height);
}

void XGWindow::SetDefaultButton(int32_t id)
{
    fDefaultButton = id;
}

bool XGWindow::Close(bool ask)
{
    if (fClosing) return false;
    if (ask && fForm && !fForm->CanClose()) return false;
    delete this;
    return true;
}

void XGWindow::CloseRequested()
{
    XGGuard([this] { Close(true); });
}

void XGWindow::SetFrameWidget(QWidget* frame)
{
    fFrameWidget = frame;
    if (!fWatcher) fWatcher = std::make_unique<XGCloseWatcher>([this] { CloseRequested(); });
    GetFrameWidget()->installEventFilter(fWatcher.get());
}

int32_t XGWindow::DoStatus(XGCode, XGParam id, XGParam status)
{
    if (id != kXGCommandClose) return kXGNotHandled;
    reinterpret_cast<XGCommandStatus*>(status)->enabled = true;
    return 0;
}

int32_t XGWindow::DoMenu(XGCode, XGParam id, XGParam)
{
    if (id != kXGCommandClose) return kXGNotHandled;
    Close(true);
    return 0;
}

XGDocumentWindow::XGDocumentWindow(const XGViewRecord& record) : XGWindow(record)
{
    XGAppCore* app = XGAppCore::Get();
    SetFrameWidget(app ? app->PlaceDocumentWindow(this) : nullptr);
}

void XGDocumentWindow::Show(bool front)
{
    XGAppCore* app = XGAppCore::Get();
    XGWindow* previous = app ? app->GetFrontWindow() : nullptr;
    if (!fPositioned && app) app->PositionDocumentWindow(this);
    fPositioned = true;
    GetFrameWidget()->show();
    if (front) BringToFront();
    else if (previous && previous != this) previous->BringToFront();
    else if (app) app->WindowToBack(this);
}

void XGDocumentWindow::BringToFront()
{
    XGAppCore* app = XGAppCore::Get();
    if (app && fFrameWidget) app->ActivateDocumentWindow(this);
    XGWindow::BringToFront();
}
