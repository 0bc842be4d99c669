#include "shell/TTagEditBackground.h"

#include <QFrame>

TTagEditBackground::TTagEditBackground(XGView* parent, const XGViewRecord& record) : XGView(parent, record)
{
    auto* panel = new QFrame;
    panel->setFrameShape(QFrame::StyledPanel);
    panel->setAutoFillBackground(true);
    SetWidget(panel);
}
