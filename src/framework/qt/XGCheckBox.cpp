#include "framework/qt/XGCheckBox.h"

#include <QCheckBox>

#include "framework/qt/XGMessages.h"

XGCheckBox::XGCheckBox(XGView* parent, const XGViewRecord& record) : XGView(parent, record)
{
    fBox = new QCheckBox(QString::fromLatin1(record.text.c_str()));
    fBox->setChecked(record.GetInt("value", 0) != 0);
    QObject::connect(fBox, &QCheckBox::clicked, Bridge(), [this](bool checked) {
        // undo Qt's own toggle: the click decides
        fBox->setChecked(!checked);
        Click();
    });
    SetWidget(fBox);
}

int32_t XGCheckBox::GetValue() const
{
    return fBox->isChecked() ? 1 : 0;
}

void XGCheckBox::SetValue(int32_t value)
{
    fBox->setChecked(value != 0);
}

std::string XGCheckBox::GetText() const
{
    return fBox->text().toLatin1().toStdString();
}

void XGCheckBox::SetText(const std::string& text)
{
    fBox->setText(QString::fromLatin1(text.c_str()));
}

void XGCheckBox::Click()
{
    if (!fBox->isEnabled()) return;
    if (Notify(kXGClickMessage) == kXGNotHandled) SetValue(!GetValue());
}
