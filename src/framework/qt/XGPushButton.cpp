#include "framework/qt/XGPushButton.h"

#include <QPushButton>

#include "framework/qt/XGMessages.h"
#include "framework/qt/XGWindow.h"

XGPushButton::XGPushButton(XGView* parent, const XGViewRecord& record) : XGView(parent, record)
{
    fButton = new QPushButton(QString::fromLatin1(record.text.c_str()));
    fButton->setAutoDefault(false);
    bool isDefault = record.Has("default") || (GetWindow() && GetWindow()->GetDefaultButton() == record.id &&
                                                record.id != 0);
    fButton->setDefault(isDefault);
    QObject::connect(fButton, &QPushButton::clicked, Bridge(), [this] { Notify(kXGClickMessage); });
    SetWidget(fButton);
}

std::string XGPushButton::GetText() const
{
    return fButton->text().toLatin1().toStdString();
}

void XGPushButton::SetText(const std::string& text)
{
    fButton->setText(QString::fromLatin1(text.c_str()));
}

void XGPushButton::Click()
{
    if (fButton->isEnabled()) Notify(kXGClickMessage);
}

void XGPushButton::SetDefault(bool isDefault)
{
    fButton->setDefault(isDefault);
}
