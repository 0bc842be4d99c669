#include "framework/qt/XGScrollView.h"

#include <QScrollArea>
#include <QScrollBar>

#include "framework/qt/XGMessages.h"

XGScrollView::XGScrollView(XGView* parent, const XGViewRecord& record) : XGView(parent, record)
{
    fArea = new QScrollArea;
    fArea->setFrameShape(QFrame::NoFrame);
    fPage = new QWidget;
    int32_t w, h;
    if (XGParseSize(record.Get("content"), w, h)) fPage->setMinimumSize(w, h);
    fPage->resize(record.frame.width, record.frame.height);
    fArea->setWidget(fPage);
    fArea->setWidgetResizable(true);
    for (QScrollBar* bar : {fArea->horizontalScrollBar(), fArea->verticalScrollBar()})
        QObject::connect(bar, &QScrollBar::valueChanged, Bridge(), [this] { Notify(kXGScrollMessage); });
    SetWidget(fArea);
}
