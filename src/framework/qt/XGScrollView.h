// 'scrv': a scrolling view; its subviews live on a page that follows the view's size
// and scrolls when it is smaller than "content=WxH". Sends scrs when scrolled.
#pragma once

#include "framework/qt/XGView.h"

class QScrollArea;

class XGScrollView : public XGView {
public:
    XGScrollView(XGView* parent, const XGViewRecord& record);
    QWidget* GetContainer() const override { return fPage; }

private:
    QScrollArea* fArea;
    QWidget* fPage;
};
