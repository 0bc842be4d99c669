#include "shell/TTagEditHeader.h"

#include <QFrame>

#include "framework/qt/XGFactories.h"

TTagEditHeader::TTagEditHeader(XGView* parent, const XGViewRecord& record) : XGView(parent, record)
{
    auto* strip = new QFrame;
    strip->setFrameShape(QFrame::StyledPanel);
    SetWidget(strip);
    // the controls were laid out for the resource's size, then follow the strip's
    XGViewRecord layout = XGLoadViewResource(kResource);
    SetFrame({record.frame.left, record.frame.top, layout.frame.width, layout.frame.height});
    for (const XGViewRecord& child : layout.children) XGBuildView(child, this);
    SetFrame(record.frame);
    for (XGView* v : GetSubviews()) v->ParentResized(record.frame.width, record.frame.height);
}
