#include "framework/qt/XGAppMultiWindow.h"

#include <QCloseEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QMimeData>
#include <QMainWindow>
#include <QMdiArea>
#include <QStatusBar>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QScreen>
#include <QScrollArea>
#include <QSettings>
#include <QStyle>

#include "framework/qt/XGDragData.h"
#include "framework/qt/XGGuard.h"
#include "framework/qt/XGMenuBar.h"
#include "framework/qt/XGWindow.h"

namespace {

constexpr int kFrameWidth = 1400;
constexpr int kFrameHeight = 900;
constexpr int kCascadeStep = 24;
const char* const kFrameGeometryKey = "frame/geometry";

// Holds a document window's content: it wants the content's whole size, and scrolls
// when it gets less.
class XGDocumentScroller : public QScrollArea {
public:
    explicit XGDocumentScroller(QWidget* content)
    {
        setFrameShape(QFrame::NoFrame);
        setWidgetResizable(true);
        setWidget(content);
    }
    QSize sizeHint() const override
    {
        QWidget* content = widget();
        return content ? content->size().expandedTo(content->minimumSize()) : QScrollArea::sizeHint();
    }
};

// The frame's close box quits the application (each window's close check runs).
class XGFrameWindow : public QMainWindow {
public:
    explicit XGFrameWindow(XGAppCore* app) : fApp(app) {}

protected:
    void closeEvent(QCloseEvent* event) override
    {
        event->ignore();
        XGGuard([this] { fApp->Send(kXGQuitApplication); });
    }

private:
    XGAppCore* fApp;
};

// Takes files dropped on the frame's empty area.
class XGFrameDropTarget : public QObject {
public:
    explicit XGFrameDropTarget(XGAppMultiWindow* app) : fApp(app) {}

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            auto* e = static_cast<QDragMoveEvent*>(event);
            if (!e->mimeData()->hasUrls()) return false;
            e->acceptProposedAction();
            return true;
        }
        case QEvent::Drop: {
            auto* e = static_cast<QDropEvent*>(event);
            XGDragData data = XGDragData::FromMime(e->mimeData());
            if (data.Files().empty()) return false;
            e->acceptProposedAction();
            XGGuard([&] { fApp->FilesDropped(data.Files()); });
            return true;
        }
        default:
            return false;
        }
    }

private:
    XGAppMultiWindow* fApp;
};

} // namespace

XG_BEGIN_DISPATCH(XGAppMultiWindow, XGAppCore)
    XG_ON(kXGStatusMessage, &XGAppMultiWindow::DoStatus)
    XG_ON(kXGMenuMessage, &XGAppMultiWindow::DoMenu)
    XG_ON(kXGQuitApplication, &XGAppMultiWindow::DoQuit)
XG_END_DISPATCH()

XGAppMultiWindow::XGAppMultiWindow() : fContext(std::make_unique<QObject>()) {}

XGAppMultiWindow::~XGAppMultiWindow()
{
    // the windows go before the frame that holds them
    while (!GetWindows().empty()) delete GetWindows().back();
    fMenuBar.reset();
    fContext.reset();
    fDropTarget.reset();
    fFrame.reset();
}

void XGAppMultiWindow::Initialize()
{
    BuildFrame();
}

void XGAppMultiWindow::BuildFrame(int32_t menuResource)
{
    fFrame = std::make_unique<XGFrameWindow>(this);
    fFrame->setWindowTitle(QString::fromLatin1(GetName().c_str()));
    fArea = new QMdiArea;
    fArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    fArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    fFrame->setCentralWidget(fArea);
    fFrame->statusBar()->setSizeGripEnabled(true);
    fDropTarget = std::make_unique<XGFrameDropTarget>(this);
    fArea->viewport()->setAcceptDrops(true);
    fArea->viewport()->installEventFilter(fDropTarget.get());
    fMenuBar = std::make_unique<XGMenuBar>(fFrame->menuBar(), XGLoadMenuResource(menuResource), this);
    SetAccelerators(fMenuBar->GetResource().Accelerators());
    QObject::connect(fArea, &QMdiArea::subWindowActivated, fContext.get(), [this](QMdiSubWindow* sub) {
        if (XGWindow* w = WindowOf(sub)) WindowToFront(w);
    });
    QScreen* screen = QGuiApplication::primaryScreen();
    fFrame->setGeometry(FirstFrameGeometry(screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768)));
}

QRect XGAppMultiWindow::FirstFrameGeometry(const QRect& available)
{
    QRect frame(QPoint(0, 0), QSize(kFrameWidth, kFrameHeight).boundedTo(available.size()));
    frame.moveCenter(available.center());
    return frame;
}

void XGAppMultiWindow::SetStatusText(const std::string& text)
{
    if (fFrame) fFrame->statusBar()->showMessage(QString::fromLatin1(text.c_str()));
}

std::string XGAppMultiWindow::GetStatusText() const
{
    return fFrame ? fFrame->statusBar()->currentMessage().toLatin1().toStdString() : std::string();
}

void XGAppMultiWindow::ShowMainWindow()
{
    if (!fFrame) return;
    QByteArray saved = QSettings().value(kFrameGeometryKey).toByteArray();
    if (!saved.isEmpty()) fFrame->restoreGeometry(saved);
    fFrame->show();
}

void XGAppMultiWindow::SaveFrameState() const
{
    if (fFrame && fFrame->isVisible()) QSettings().setValue(kFrameGeometryKey, fFrame->saveGeometry());
}

int32_t XGAppMultiWindow::DoQuit(XGCode code, XGParam p1, XGParam p2)
{
    XGAppCore::DoQuit(code, p1, p2);
    if (IsQuitting()) SaveFrameState();
    return 0;
}

XGWindow* XGAppMultiWindow::WindowOf(const QMdiSubWindow* sub) const
{
    if (!sub) return nullptr;
    for (XGWindow* w : GetWindows())
        if (w->GetFrameWidget() == sub) return w;
    return nullptr;
}

QWidget* XGAppMultiWindow::PlaceDocumentWindow(XGWindow* w)
{
    if (!fArea) return nullptr;
    QMdiSubWindow* sub = fArea->addSubWindow(new XGDocumentScroller(w->GetWidget()));
    sub->setAttribute(Qt::WA_DeleteOnClose, false);
    sub->resize(sub->sizeHint());
    return sub;
}

void XGAppMultiWindow::PositionDocumentWindow(XGWindow* w)
{
    QWidget* sub = w->GetFrameWidget();
    if (!fArea || !fArea->isVisible() || sub == w->GetWidget()) return;
    QSize area = fArea->viewport()->size();
    QSize wanted = sub->sizeHint();
    QSize size = wanted.boundedTo(area);
    // room for the scroll bar a cut side brings, so that the other side is not cut too
    int bar = sub->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    if (size.height() < wanted.height()) size.rwidth() += bar;
    if (size.width() < wanted.width()) size.rheight() += bar;
    size = size.boundedTo(area);
    // a step down and right of the front window, back to the edge where it would not fit
    QPoint at(0, 0);
    for (auto it = GetWindows().rbegin(); it != GetWindows().rend(); ++it) {
        QWidget* other = (*it)->GetFrameWidget();
        if (*it == w || other->parentWidget() != fArea->viewport() || other->isHidden()) continue;
        at = other->pos() + QPoint(kCascadeStep, kCascadeStep);
        break;
    }
    if (at.x() < 0 || at.x() + size.width() > area.width()) at.setX(0);
    if (at.y() < 0 || at.y() + size.height() > area.height()) at.setY(0);
    sub->setGeometry(QRect(at, size));
}

void XGAppMultiWindow::ActivateDocumentWindow(XGWindow* w)
{
    if (fArea) fArea->setActiveSubWindow(static_cast<QMdiSubWindow*>(w->GetFrameWidget()));
}

int32_t XGAppMultiWindow::DoStatus(XGCode, XGParam id, XGParam status)
{
    auto* s = reinterpret_cast<XGCommandStatus*>(status);
    switch (id) {
    case kXGCommandTile:
    case kXGCommandCascade:
    case kXGCommandArrangeIcons:
        s->enabled = fArea && !fArea->subWindowList().isEmpty();
        return 0;
    default:
        return kXGNotHandled;
    }
}

int32_t XGAppMultiWindow::DoMenu(XGCode, XGParam id, XGParam)
{
    if (!fArea) return kXGNotHandled;
    switch (id) {
    case kXGCommandTile: fArea->tileSubWindows(); return 0;
    case kXGCommandCascade: fArea->cascadeSubWindows(); return 0;
    case kXGCommandArrangeIcons: {
        // the minimized windows along the bottom
        int x = 0;
        for (QMdiSubWindow* sub : fArea->subWindowList()) {
            if (!sub->isMinimized()) continue;
            sub->move(x, fArea->viewport()->height() - sub->height());
            x += sub->width();
        }
        return 0;
    }
    default:
        return kXGNotHandled;
    }
}
