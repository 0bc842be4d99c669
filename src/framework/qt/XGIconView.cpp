#include "framework/qt/XGIconView.h"

#include <QApplication>
#include <QLabel>
#include <QStyle>

XGIconView::XGIconView(XGView* parent, const XGViewRecord& record) : XGView(parent, record)
{
    fKind = record.GetInt("kind", 1);
    QStyle::StandardPixmap which = fKind == 2   ? QStyle::SP_MessageBoxQuestion
                                   : fKind == 3 ? QStyle::SP_MessageBoxWarning
                                   : fKind == 4 ? QStyle::SP_MessageBoxInformation
                                                : QStyle::SP_MessageBoxCritical;
    auto* label = new QLabel;
    int side = std::min(record.frame.width, record.frame.height);
    label->setPixmap(QApplication::style()->standardIcon(which).pixmap(side, side));
    label->setAlignment(Qt::AlignCenter);
    SetWidget(label);
}
