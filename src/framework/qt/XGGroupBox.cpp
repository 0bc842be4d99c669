#include "framework/qt/XGGroupBox.h"

#include <QGroupBox>

XGGroupBox::XGGroupBox(XGView* parent, const XGViewRecord& record) : XGView(parent, record)
{
    fBox = new QGroupBox(QString::fromLatin1(record.text.c_str()));
    SetWidget(fBox);
}

std::string XGGroupBox::GetText() const
{
    return fBox->title().toLatin1().toStdString();
}

void XGGroupBox::SetText(const std::string& text)
{
    fBox->setTitle(QString::fromLatin1(text.c_str()));
}
