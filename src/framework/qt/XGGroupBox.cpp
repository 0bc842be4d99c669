#include "framework/qt/XGGroupBox.h"

#include <QGroupBox>
#include <QResizeEvent>
#include <algorithm>

#include "framework/qt/XGWindow.h"

namespace {

// The subviews sit on a plain widget that fills the box, so that folding hides them at once.
class XGGroupWidget : public QGroupBox {
public:
    explicit XGGroupWidget(const QString& title) : QGroupBox(title), fInside(new QWidget(this)) {}
    QWidget* fInside;

protected:
    void resizeEvent(QResizeEvent* event) override
    {
        QGroupBox::resizeEvent(event);
        fInside->setGeometry(0, 0, event->size().width(), event->size().height());
    }
};

} // namespace

XGGroupBox::XGGroupBox(XGView* parent, const XGViewRecord& record) : XGView(parent, record)
{
    auto* box = new XGGroupWidget(QString::fromLatin1(record.text.c_str()));
    fBox = box;
    fInside = box->fInside;
    fInside->setGeometry(0, 0, record.frame.width, record.frame.height);
    fCollapsible = record.Has("collapsible");
    if (fCollapsible) {
        fBox->setCheckable(true);
        fBox->setChecked(true);
        QObject::connect(fBox, &QGroupBox::toggled, Bridge(), [this](bool on) { SetCollapsed(!on); });
    }
    SetWidget(fBox);
    if (fCollapsible && record.Has("collapsed")) SetCollapsed(true);
}

std::string XGGroupBox::GetText() const
{
    return fBox->title().toLatin1().toStdString();
}

void XGGroupBox::SetText(const std::string& text)
{
    fBox->setTitle(QString::fromLatin1(text.c_str()));
}

void XGGroupBox::SetCollapsed(bool collapsed)
{
    if (!fCollapsible || collapsed == fCollapsed) return;
    fCollapsed = collapsed;
    if (fBox->isChecked() == collapsed) fBox->setChecked(!collapsed);
    XGRect f = GetFrame();
    if (collapsed) fOpenHeight = f.height;
    int delta = collapsed ? kCollapsedHeight - f.height : fOpenHeight - f.height;
    fInside->setVisible(!collapsed);
    // a checkable box disables what it holds while unchecked; folded, nothing shows anyway
    fInside->setEnabled(true);
    f.height += delta;
    SetFrame(f);
    XGWindow* w = GetWindow();
    if (!w || delta == 0) return;
    QWidget* content = w->GetWidget();
    int width = 0, height = 0;
    w->GetSize(width, height);
    w->SetMinimumSize(content->minimumWidth(), std::max(0, content->minimumHeight() + delta));
    QWidget* frame = w->GetFrameWidget();
    content->resize(width, std::max(content->minimumHeight(), height + delta));
    if (frame != content) frame->resize(frame->width(), std::max(frame->minimumSizeHint().height(), frame->height() + delta));
}
