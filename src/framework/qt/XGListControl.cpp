#include "framework/qt/XGListControl.h"

#include <QListWidget>

#include "framework/qt/XGMessages.h"

XGListControl::XGListControl(XGView* parent, const XGViewRecord& record) : XGView(parent, record)
{
    fList = new QListWidget;
    fList->setSelectionMode(QAbstractItemView::SingleSelection);
    SetItems(record.GetAll("item"));
    QObject::connect(fList, &QListWidget::itemSelectionChanged, Bridge(), [this] {
        if (!fQuiet) Notify(kXGListSelectMessage);
    });
    QObject::connect(fList, &QListWidget::itemDoubleClicked, Bridge(),
                     [this](QListWidgetItem*) { Notify(kXGListValueMessage); });
    SetWidget(fList);
}

int32_t XGListControl::GetValue() const
{
    QList<QListWidgetItem*> selected = fList->selectedItems();
    return selected.isEmpty() ? -1 : fList->row(selected.first());
}

void XGListControl::SetValue(int32_t row)
{
    fQuiet = true;
    fList->clearSelection();
    if (row >= 0 && row < fList->count()) {
        fList->setCurrentRow(row);
        fList->item(row)->setSelected(true);
    }
    fQuiet = false;
}

std::string XGListControl::GetText() const
{
    int32_t row = GetValue();
    return row < 0 ? std::string() : GetItemText(row);
}

void XGListControl::SetItems(const std::vector<std::string>& items)
{
    fQuiet = true;
    fList->clear();
    for (const std::string& item : items) fList->addItem(QString::fromLatin1(item.c_str()));
    fQuiet = false;
}

int32_t XGListControl::GetItemCount() const
{
    return fList->count();
}

std::string XGListControl::GetItemText(int32_t row) const
{
    QListWidgetItem* item = fList->item(row);
    return item ? item->text().toLatin1().toStdString() : std::string();
}

void XGListControl::Choose(int32_t row)
{
    SetValue(row);
    Notify(kXGListSelectMessage);
}
