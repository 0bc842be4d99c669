#include "framework/qt/XGRadioButton.h"

#include <QRadioButton>

#include "framework/qt/XGMessages.h"

XGRadioButton::XGRadioButton(XGView* parent, const XGViewRecord& record) : XGView(parent, record)
{
    fButton = new QRadioButton(QString::fromLatin1(record.text.c_str()));
    fButton->setAutoExclusive(false);
    fButton->setChecked(record.GetInt("value", 0) != 0);
    QObject::connect(fButton, &QRadioButton::clicked, Bridge(), [this](bool checked) {
        fButton->setChecked(!checked);
        Click();
    });
    SetWidget(fButton);
}

int32_t XGRadioButton::GetValue() const
{
    return fButton->isChecked() ? 1 : 0;
}

void XGRadioButton::SetValue(int32_t value)
{
    fButton->setChecked(value != 0);
}

std::string XGRadioButton::GetText() const
{
    return fButton->text().toLatin1().toStdString();
}

void XGRadioButton::Click()
{
    if (!fButton->isEnabled()) return;
    if (Notify(kXGClickMessage) == kXGNotHandled) TurnOn();
}

void XGRadioButton::TurnOn()
{
    if (XGView* parent = GetParent())
        for (XGView* sibling : parent->GetSubviews())
            if (sibling != this && sibling->GetClassCode() == GetClassCode()) sibling->SetValue(0);
    SetValue(1);
}
