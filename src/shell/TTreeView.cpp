#include "shell/TTreeView.h"

#include <QApplication>
#include <QDrag>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHeaderView>
#include <QMimeData>
#include <QTreeWidget>
#include <algorithm>
#include <array>
#include <cstring>

#include "framework/ProgramAssert.h"
#include "framework/qt/XGAppCore.h"
#include "framework/qt/XGDragData.h"
#include "framework/qt/XGGuard.h"
#include "framework/qt/XGMessages.h"
#include "framework/qt/XGPictures.h"

namespace {

// The sort key of each byte: letters fold to lower case, 0xFF comes first of all.
constexpr std::array<int16_t, 256> kSortKeys = [] {
    std::array<int16_t, 256> keys{};
    for (int c = 0; c < 256; ++c) keys[size_t(c)] = int16_t(c);
    for (int c = 'A'; c <= 'Z'; ++c) keys[size_t(c)] = int16_t(c + 32);
    for (int c = 0xC0; c <= 0xDE; ++c)
        if (c != 0xD7) keys[size_t(c)] = int16_t(c + 32);
    keys[0xFF] = -1;
    return keys;
}();


} // namespace

class TTreeWidget : public QTreeWidget {
public:
    explicit TTreeWidget(TTreeView* view) : fView(view)
    {
        setHeaderHidden(true);
        setSelectionMode(QAbstractItemView::ExtendedSelection);
        setDragEnabled(true);
        setAcceptDrops(true);
        setDragDropMode(QAbstractItemView::DragDrop);
        setDefaultDropAction(Qt::CopyAction);
        setUniformRowHeights(true);
        setExpandsOnDoubleClick(true);
    }
    TTreeView* fView;

protected:
    void startDrag(Qt::DropActions) override
    {
        if (!fView) return;
        XGDragData data = fView->MakeDragData();
        if (data.Items().empty()) return;
        auto* drag = new QDrag(this);
        drag->setMimeData(data.ToMime());
        drag->exec(Qt::CopyAction);
    }
    void dragEnterEvent(QDragEnterEvent* e) override { Consider(e); }
    void dragMoveEvent(QDragMoveEvent* e) override { Consider(e); }
    void dropEvent(QDropEvent* e) override
    {
        if (!fView) return;
        XGDragData data = XGDragData::FromMime(e->mimeData());
        QPoint where = e->position().toPoint();
        bool taken = false;
        XGGuard([&] { taken = fView->AcceptDrop(data, where); });
        if (taken) {
            e->setDropAction(Qt::CopyAction);
            e->accept();
        } else {
            e->ignore();
        }
    }

private:
    void Consider(QDragMoveEvent* e)
    {
        bool ok = false;
        if (fView) {
            XGDragData data = XGDragData::FromMime(e->mimeData());
            XGGuard([&] { ok = fView->CanAcceptDrop(data); });
        }
        if (ok) {
            e->setDropAction(Qt::CopyAction);
            e->accept();
        } else {
            e->ignore();
        }
    }
};

TTreeView::TTreeView(XGView* parent, const XGViewRecord& record) : XGView(parent, record)
{
    fWidget = new TTreeWidget(this);
    QObject::connect(fWidget, &QTreeWidget::itemSelectionChanged, Bridge(), [this] {
        if (!fSyncing) SyncSelectionFromWidget();
    });
    QObject::connect(fWidget, &QTreeWidget::itemExpanded, Bridge(), [this](QTreeWidgetItem* row) {
        if (TTreeItem* item = ItemOf(row)) item->expanded = true;
    });
    QObject::connect(fWidget, &QTreeWidget::itemCollapsed, Bridge(), [this](QTreeWidgetItem* row) {
        if (TTreeItem* item = ItemOf(row)) item->expanded = false;
    });
    QObject::connect(fWidget, &QTreeWidget::itemDoubleClicked, Bridge(), [this](QTreeWidgetItem* row, int) {
        if (TTreeItem* item = ItemOf(row)) DoubleClick(item, XGAppCore::ModifierFlags(int(QApplication::keyboardModifiers())));
    });
    SetWidget(fWidget);
}

TTreeView::~TTreeView()
{
    fWidget->fView = nullptr;
    fSyncing = true;
    fWidget->clear();
}

TTreeItem* TTreeView::ItemOf(QTreeWidgetItem* row) const
{
    if (!row) return nullptr;
    return reinterpret_cast<TTreeItem*>(row->data(0, Qt::UserRole).value<quintptr>());
}

void TTreeView::Clear()
{
    fSyncing = true;
    fWidget->clear();
    fSyncing = false;
    fPending.clear();
    fItems.clear();
    fFirst = fLast = nullptr;
    fSelection.clear();
    RelinkSelection();
}

TTreeItem* TTreeView::AddItem(TTreeItem* parent, const std::string& text, int32_t icon)
{
    auto owned = std::make_unique<TTreeItem>();
    TTreeItem* item = owned.get();
    item->owner = this;
    item->parent = parent;
    item->text = text;
    item->icon = icon;
    if (parent) {
        if (parent->lastChild) parent->lastChild->next = item;
        else parent->child = item;
        parent->lastChild = item;
    } else {
        if (fLast) fLast->next = item;
        else fFirst = item;
        fLast = item;
    }
    fItems.push_back(std::move(owned));

    auto* row = new QTreeWidgetItem;
    row->setText(0, QString::fromLatin1(text.c_str()));
    if (icon) row->setIcon(0, IconFor(icon));
    row->setData(0, Qt::UserRole, QVariant::fromValue(quintptr(item)));
    item->row = row;
    // new top-level rows join the widget together (sorting or redrawing), which is
    // much cheaper than one by one
    if (parent) {
        fSyncing = true;
        parent->row->addChild(row);
        fSyncing = false;
    } else {
        fPending.push_back(item);
    }
    return item;
}

const QIcon& TTreeView::IconFor(int32_t icon)
{
    auto it = fIcons.find(icon);
    if (it == fIcons.end()) it = fIcons.emplace(icon, QIcon(XGGetIcon(icon))).first;
    return it->second;
}

void TTreeView::AttachPending()
{
    if (fPending.empty()) return;
    QList<QTreeWidgetItem*> rows;
    for (TTreeItem* item : fPending) rows.push_back(item->row);
    std::vector<TTreeItem*> attached = std::move(fPending);
    fPending.clear();
    fSyncing = true;
    fWidget->addTopLevelItems(rows);
    for (TTreeItem* item : attached) ApplyRowState(item);
    fSyncing = false;
}

void TTreeView::SetItemData(TTreeItem* item, const void* data, size_t length)
{
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    item->data.assign(bytes, bytes + length);
}

void TTreeView::SetItemDimmed(TTreeItem* item, bool dimmed)
{
    item->dimmed = dimmed;
    if (dimmed) item->row->setForeground(0, fWidget->palette().brush(QPalette::Disabled, QPalette::Text));
    else item->row->setData(0, Qt::ForegroundRole, QVariant());
}

size_t TTreeView::GetItemData(const TTreeItem* item, void* buffer, size_t capacity) const
{
    size_t n = std::min(capacity, item->data.size());
    if (n) std::memcpy(buffer, item->data.data(), n);
    return n;
}

void TTreeView::Expand(TTreeItem* item, bool expand)
{
    item->expanded = expand;
    if (!item->row->treeWidget()) return; // applied when the row joins the widget
    fSyncing = true;
    item->row->setExpanded(expand);
    fSyncing = false;
}

void TTreeView::Select(TTreeItem* item, bool add)
{
    if (!add) ClearSelection();
    if (!item->selected) {
        item->selected = true;
        fSelection.push_back(item);
        RelinkSelection();
    }
    if (!item->row->treeWidget()) return; // applied when the row joins the widget
    fSyncing = true;
    item->row->setSelected(true);
    fWidget->setCurrentItem(item->row, 0, QItemSelectionModel::NoUpdate);
    fWidget->scrollToItem(item->row);
    fSyncing = false;
    Notify(kXGListSelectMessage);
}

void TTreeView::ClearSelection()
{
    for (TTreeItem* item : fSelection) item->selected = false;
    fSelection.clear();
    RelinkSelection();
    fSyncing = true;
    fWidget->clearSelection();
    fSyncing = false;
}

void TTreeView::RelinkSelection()
{
    fFirstSelected = fSelection.empty() ? nullptr : fSelection.front();
    for (size_t i = 0; i < fSelection.size(); ++i)
        fSelection[i]->nextSelected = i + 1 < fSelection.size() ? fSelection[i + 1] : nullptr;
    fSelectionCount = int(fSelection.size());
}

void TTreeView::SyncSelectionFromWidget()
{
    // keep the order of what stays selected, then add the newly selected rows
    std::vector<TTreeItem*> kept;
    for (TTreeItem* item : fSelection) {
        if (item->row->isSelected()) kept.push_back(item);
        else item->selected = false;
    }
    for (QTreeWidgetItem* row : fWidget->selectedItems()) {
        TTreeItem* item = ItemOf(row);
        if (item && !item->selected) {
            item->selected = true;
            kept.push_back(item);
        }
    }
    fSelection = std::move(kept);
    RelinkSelection();
    Notify(kXGListSelectMessage);
}

int TTreeView::CompareText(const std::string& a, const std::string& b)
{
    // the terminating zero takes part, as in the stored texts
    auto p = reinterpret_cast<const unsigned char*>(a.c_str());
    auto q = reinterpret_cast<const unsigned char*>(b.c_str());
    for (;; ++p, ++q) {
        int ka = kSortKeys[*p];
        int kb = kSortKeys[*q];
        if (ka != kb) return ka < kb ? -1 : 1;
        if (*p == 0) return 0;
    }
}

std::string TTreeView::FoldCase(std::string text)
{
    for (char& c : text) {
        int key = kSortKeys[static_cast<unsigned char>(c)];
        if (key >= 0) c = char(key);
    }
    return text;
}

int TTreeView::CompareItems(const TTreeItem* ta, const TTreeItem* tb)
{
    PROGRAM_ASSERT(ta->owner && ta->owner == tb->owner, "TTreeView");
    PROGRAM_ASSERT(ta->parent == tb->parent, "TTreeView");
    return CompareText(ta->text, tb->text);
}

void TTreeView::SortChildren(TTreeItem* parent)
{
    std::vector<TTreeItem*> items;
    for (TTreeItem* i = parent ? parent->child : fFirst; i; i = i->next) items.push_back(i);
    if (items.size() < 2) {
        if (!parent) AttachPending();
        return;
    }
    std::stable_sort(items.begin(), items.end(),
                     [](const TTreeItem* a, const TTreeItem* b) { return CompareItems(a, b) < 0; });
    for (size_t i = 0; i < items.size(); ++i) items[i]->next = i + 1 < items.size() ? items[i + 1] : nullptr;
    if (parent) {
        parent->child = items.front();
        parent->lastChild = items.back();
    } else {
        fFirst = items.front();
        fLast = items.back();
    }

    fSyncing = true;
    QList<QTreeWidgetItem*> rows;
    for (TTreeItem* item : items) rows.push_back(item->row);
    if (parent) {
        parent->row->takeChildren();
        parent->row->addChildren(rows);
    } else {
        for (int i = fWidget->topLevelItemCount() - 1; i >= 0; --i) fWidget->takeTopLevelItem(i);
        fPending.clear();
        fWidget->addTopLevelItems(rows);
    }
    if (!parent || parent->row->treeWidget())
        for (TTreeItem* item : items) ApplyRowState(item);
    fSyncing = false;
}

void TTreeView::ApplyRowState(TTreeItem* item)
{
    // a row taken out and put back forgets how it was shown; new rows show nothing yet
    if (item->expanded) item->row->setExpanded(true);
    if (item->selected) item->row->setSelected(true);
    for (TTreeItem* c = item->child; c; c = c->next) ApplyRowState(c);
}

void TTreeView::Redraw()
{
    AttachPending();
    fWidget->viewport()->update();
}

void TTreeView::SetDragType(int32_t type, DragEncoder encoder)
{
    fDragType = type;
    fDragEncoder = std::move(encoder);
}

XGDragData TTreeView::MakeDragData() const
{
    XGDragData data;
    if (fDragType == 0) return data;
    std::vector<uint8_t> bytes;
    for (TTreeItem* item = fFirstSelected; item; item = item->nextSelected) {
        if (fDragEncoder) fDragEncoder(*item, bytes);
        else bytes.insert(bytes.end(), item->data.begin(), item->data.end());
    }
    if (!bytes.empty()) data.Add(fDragType, bytes.data(), bytes.size());
    return data;
}

void TTreeView::DoubleClick(TTreeItem* item, int32_t modifiers)
{
    XGGuard([&] { Send(kTreeDoubleClick, reinterpret_cast<XGParam>(item), modifiers, true); });
}

bool TTreeView::CanAcceptDrop(const XGDragData& data)
{
    return Send(kTreeCanDrop, reinterpret_cast<XGParam>(&data), 0, true) > 0;
}

bool TTreeView::AcceptDrop(const XGDragData& data, const QPoint& where)
{
    TTreeItem* target = ItemOf(fWidget->itemAt(where));
    return Send(kTreeDrop, reinterpret_cast<XGParam>(&data), reinterpret_cast<XGParam>(target), true) !=
           kXGNotHandled;
}
