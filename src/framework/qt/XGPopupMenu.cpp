#include "framework/qt/XGPopupMenu.h"

#include <QComboBox>

#include "framework/qt/XGMessages.h"

namespace {

class XGComboBox : public QComboBox {
public:
    std::function<void()> beforePopup;

protected:
    void showPopup() override
    {
        if (beforePopup) beforePopup();
        QComboBox::showPopup();
    }
};

} // namespace

XGPopupMenu::XGPopupMenu(XGView* parent, const XGViewRecord& record) : XGView(parent, record)
{
    auto* combo = new XGComboBox;
    fCombo = combo;
    SetItems(record.GetAll("item"));
    fCombo->setCurrentIndex(record.GetInt("value", fCombo->count() ? 0 : -1));
    combo->beforePopup = [this] { Notify(kXGPopupMenuMessage); };
    QObject::connect(fCombo, &QComboBox::activated, Bridge(), [this](int) { Notify(kXGPopupValueMessage); });
    SetWidget(fCombo);
}

int32_t XGPopupMenu::GetValue() const
{
    return fCombo->currentIndex();
}

void XGPopupMenu::SetValue(int32_t value)
{
    fCombo->setCurrentIndex(value >= 0 && value < fCombo->count() ? value : -1);
}

std::string XGPopupMenu::GetText() const
{
    return fCombo->currentText().toLatin1().toStdString();
}

void XGPopupMenu::SetItems(const std::vector<std::string>& items)
{
    fCombo->clear();
    for (const std::string& item : items) fCombo->addItem(QString::fromLatin1(item.c_str()));
}

int32_t XGPopupMenu::GetItemCount() const
{
    return fCombo->count();
}

void XGPopupMenu::Choose(int32_t index)
{
    SetValue(index);
    Notify(kXGPopupValueMessage);
}
