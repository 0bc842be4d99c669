#include "framework/qt/XGView.h"

#include <QEvent>
#include <QResizeEvent>
#include <QWidget>
#include <algorithm>
#include <unordered_map>

#include "framework/qt/XGGuard.h"
#include "framework/qt/XGWindow.h"

namespace {

std::unordered_map<const QWidget*, XGView*>& WidgetViews()
{
    static std::unordered_map<const QWidget*, XGView*> map;
    return map;
}

// Holds a view's connections and follows its container's size for the subviews.
class XGViewBridge : public QObject {
public:
    XGViewBridge() = default;
    std::function<void(int, int)> onResize;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Resize && onResize) {
            auto* resize = static_cast<QResizeEvent*>(event);
            onResize(resize->size().width(), resize->size().height());
        }
        return false;
    }
};

} // namespace

XGView::XGView(XGView* parent, const XGViewRecord& record)
    : fID(record.id),
      fClassCode(record.classCode),
      fFrame(record.frame),
      fLaidOut(record.frame),
      fAnchor(record.Get("anchor", "lt")),
      fStartDisabled(record.Has("disabled")),
      fStartHidden(record.Has("hidden")),
      fViewOnly(record.Has("view")),
      fEdits(record.Has("edits")),
      fParent(parent),
      fBridge(std::make_unique<XGViewBridge>())
{
    if (parent) {
        fWindow = parent->fWindow;
        parent->fSubviews.push_back(this);
        SetNextTarget(parent);
        fLayoutWidth = parent->fFrame.width;
        fLayoutHeight = parent->fFrame.height;
    }
}

XGView::~XGView()
{
    // subviews first, newest last
    while (!fSubviews.empty()) delete fSubviews.back();
    if (fParent) {
        auto& siblings = fParent->fSubviews;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
    }
    fBridge.reset(); // ends every connection made for this view
    if (fWidget) {
        WidgetViews().erase(fWidget);
        // a widget may be in the middle of its own event; let Qt delete it
        if (fParent) {
            fWidget->hide();
            fWidget->deleteLater();
        }
    }
}

XGView* XGView::FindView(int32_t id)
{
    if (fID == id) return this;
    for (XGView* v : fSubviews)
        if (XGView* found = v->FindView(id)) return found;
    return nullptr;
}

XGView* XGView::FromWidget(const QWidget* widget)
{
    auto& map = WidgetViews();
    for (const QWidget* w = widget; w; w = w->parentWidget()) {
        auto it = map.find(w);
        if (it != map.end()) return it->second;
    }
    return nullptr;
}

void XGView::SetWidget(QWidget* widget)
{
    fWidget = widget;
    WidgetViews()[widget] = this;
    if (fParent && fParent->GetContainer()) widget->setParent(fParent->GetContainer());
    widget->setGeometry(fFrame.left, fFrame.top, fFrame.width, fFrame.height);
    if (fStartDisabled || fLocked) widget->setEnabled(false);
    widget->setVisible(!fStartHidden);
    auto* bridge = static_cast<XGViewBridge*>(fBridge.get());
    bridge->onResize = [this](int width, int height) {
        for (XGView* v : std::vector<XGView*>(fSubviews)) v->ParentResized(width, height);
    };
    QWidget* container = GetContainer() ? GetContainer() : widget;
    container->installEventFilter(bridge);
}

void XGView::SetFrame(const XGRect& frame)
{
    fFrame = frame;
    if (fWidget && fParent) fWidget->setGeometry(frame.left, frame.top, frame.width, frame.height);
}

void XGView::ParentResized(int width, int height)
{
    auto has = [this](char c) { return fAnchor.find(c) != std::string::npos; };
    XGRect f = fFrame;
    bool left = has('l') || !has('r');
    bool top = has('t') || !has('b');
    if (has('r')) {
        int right = fLayoutWidth - (fLaidOut.left + fLaidOut.width);
        if (left) f.width = std::max(0, width - right - f.left);
        else f.left = width - right - f.width;
    }
    if (has('b')) {
        int bottom = fLayoutHeight - (fLaidOut.top + fLaidOut.height);
        if (top) f.height = std::max(0, height - bottom - f.top);
        else f.top = height - bottom - f.height;
    }
    if (!(f == fFrame)) SetFrame(f);
}

void XGView::Enable(bool enable)
{
    fStartDisabled = !enable;
    if (fWidget) fWidget->setEnabled(enable && !fLocked);
}

bool XGView::IsEnabled() const
{
    return fWidget ? fWidget->isEnabled() : !fStartDisabled && !fLocked;
}

void XGView::Lock(bool locked)
{
    fLocked = locked;
    if (fWidget) fWidget->setEnabled(!fStartDisabled && !fLocked);
}

void XGView::Show(bool show)
{
    if (fWidget) fWidget->setVisible(show);
    else fStartHidden = !show;
}

bool XGView::IsShown() const
{
    return fWidget ? !fWidget->isHidden() : !fStartHidden;
}

void XGView::Focus()
{
    if (fWidget) fWidget->setFocus(Qt::OtherFocusReason);
}

int32_t XGView::Notify(XGCode message)
{
    int32_t result = kXGNotHandled;
    XGGuard([&] { result = Send(message, fID, reinterpret_cast<XGParam>(this), true); });
    return result;
}
