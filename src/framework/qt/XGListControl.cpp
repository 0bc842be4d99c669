#include "framework/qt/XGListControl.h"

#include <QIcon>
#include <QImage>
#include <QListWidget>
#include <QStyledItemDelegate>
#include <QPixmap>
#include <algorithm>
#include <cmath>

#include "framework/qt/XGMessages.h"

namespace {

constexpr int kPictureRole = Qt::UserRole + 1;

// Draws a row's picture at the icon size; pictures become pixmaps only when their rows show.
class TPictureDelegate : public QStyledItemDelegate {
public:
    TPictureDelegate(QObject* parent, QSize size) : QStyledItemDelegate(parent), fSize(size) {}

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        QVariant picture = index.data(kPictureRole);
        if (!picture.isValid()) return;
        option->features |= QStyleOptionViewItem::HasDecoration;
        option->icon = QIcon(QPixmap::fromImage(picture.value<QImage>()));
        option->decorationSize = fSize;
    }

private:
    QSize fSize;
};

} // namespace

XGListControl::XGListControl(XGView* parent, const XGViewRecord& record) : XGView(parent, record)
{
    fList = new QListWidget;
    fMultiple = record.Has("multiple");
    fList->setSelectionMode(fMultiple ? QAbstractItemView::ExtendedSelection : QAbstractItemView::SingleSelection);
    int32_t width = 0, height = 0;
    if (XGParseSize(record.Get("icons"), width, height)) {
        fIcons = true;
        fList->setIconSize(QSize(width, height));
        fList->setItemDelegate(new TPictureDelegate(fList, QSize(width, height)));
        fList->setUniformItemSizes(false);
        fList->setWordWrap(true);
    }
    SetItems(record.GetAll("item"));
    QObject::connect(fList, &QListWidget::itemSelectionChanged, Bridge(), [this] {
        if (fQuiet) return;
        fPrevious = fSelection;
        fSelection = GetSelection();
        Notify(kXGListSelectMessage);
    });
    QObject::connect(fList, &QListWidget::itemDoubleClicked, Bridge(),
                     [this](QListWidgetItem*) { Notify(kXGListValueMessage); });
    SetWidget(fList);
}

int32_t XGListControl::GetValue() const
{
    std::vector<int32_t> rows = GetSelection();
    return rows.empty() ? -1 : rows.front();
}

void XGListControl::SetValue(int32_t row)
{
    SetSelection(row >= 0 ? std::vector<int32_t>{row} : std::vector<int32_t>{});
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
    fSelection.clear();
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

void XGListControl::SetItemText(int32_t row, const std::string& text)
{
    if (QListWidgetItem* item = fList->item(row)) item->setText(QString::fromLatin1(text.c_str()));
}

void XGListControl::SetItemIcon(int32_t row, const QImage& image)
{
    if (QListWidgetItem* item = fList->item(row)) item->setData(kPictureRole, image.isNull() ? QVariant() : QVariant(image));
}

bool XGListControl::HasItemIcon(int32_t row) const
{
    QListWidgetItem* item = fList->item(row);
    return item && item->data(kPictureRole).isValid();
}

int32_t XGListControl::GetIconPixels() const
{
    if (!fIcons) return 0;
    const QSize size = fList->iconSize();
    return int32_t(std::ceil(std::max(size.width(), size.height()) * fList->devicePixelRatioF()));
}

void XGListControl::Choose(int32_t row)
{
    ChooseRows(row >= 0 ? std::vector<int32_t>{row} : std::vector<int32_t>{});
}

std::vector<int32_t> XGListControl::GetSelection() const
{
    std::vector<int32_t> rows;
    for (QListWidgetItem* item : fList->selectedItems()) rows.push_back(fList->row(item));
    std::sort(rows.begin(), rows.end());
    return rows;
}

void XGListControl::SetSelection(const std::vector<int32_t>& rows)
{
    fQuiet = true;
    fList->clearSelection();
    bool first = true;
    for (int32_t row : rows) {
        if (row < 0 || row >= fList->count()) continue;
        if (first) {
            fList->setCurrentRow(row, QItemSelectionModel::NoUpdate);
            fList->scrollToItem(fList->item(row));
        }
        fList->item(row)->setSelected(true);
        first = false;
        if (!fMultiple) break;
    }
    fQuiet = false;
    fSelection = GetSelection();
}

void XGListControl::ChooseRows(const std::vector<int32_t>& rows)
{
    std::vector<int32_t> previous = fSelection;
    SetSelection(rows);
    fPrevious = previous;
    Notify(kXGListSelectMessage);
}

void XGListControl::RestorePreviousSelection()
{
    SetSelection(fPrevious);
}
