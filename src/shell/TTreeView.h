// 'Tree': a tree of rows (the tag trees of the tag file windows). Each item has a
// text, an icon number and a data block (a byte copy of a caller record). Children
// sort by text ignoring case; the selection keeps the order in which rows were
// selected. A double-click sends TDCK (p1 the item, p2 the modifier flags) up the
// chain; drops ask TCDP (p1 the XGDragData; a result above 0 accepts) and perform
// TDDP (p1 the XGDragData, p2 the item under the drop or null). Dragging rows carries
// the data blocks of the selected rows under the drag type. A change of the selection
// sends lsel.
#pragma once

#include <QIcon>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "framework/qt/XGView.h"

class QTreeWidgetItem;
class TTreeView;
class XGDragData;

struct TTreeItem {
    TTreeItem* next = nullptr;  // next sibling
    TTreeItem* child = nullptr; // first child
    TTreeItem* parent = nullptr;
    TTreeItem* nextSelected = nullptr;
    TTreeView* owner = nullptr;
    bool expanded = false;
    bool selected = false;
    bool dimmed = false;
    std::string text;
    int32_t icon = 0;
    std::vector<uint8_t> data;
    QTreeWidgetItem* row = nullptr; // what draws it
    TTreeItem* lastChild = nullptr;
};

constexpr XGCode kTreeDoubleClick = "TDCK"_4cc;
constexpr XGCode kTreeCanDrop = "TCDP"_4cc;
constexpr XGCode kTreeDrop = "TDDP"_4cc;

class TTreeView : public XGView {
public:
    TTreeView(XGView* parent, const XGViewRecord& record);
    ~TTreeView() override;

    void Clear();
    // A new last child of parent (the top level for null); icon 0 draws none.
    TTreeItem* AddItem(TTreeItem* parent, const std::string& text, int32_t icon);
    void SetItemData(TTreeItem* item, const void* data, size_t length);
    // A dimmed row is drawn in the colour of disabled text.
    void SetItemDimmed(TTreeItem* item, bool dimmed);
    // Copies at most capacity bytes of the block; returns how many were copied.
    size_t GetItemData(const TTreeItem* item, void* buffer, size_t capacity) const;

    TTreeItem* GetFirstItem() const { return fFirst; }
    int GetItemCount() const { return int(fItems.size()); }

    void Expand(TTreeItem* item, bool expand);
    // Selects the item, after clearing the selection unless add is set.
    void Select(TTreeItem* item, bool add);
    void ClearSelection();
    TTreeItem* GetFirstSelected() const { return fFirstSelected; }
    int GetSelectionCount() const { return fSelectionCount; }

    // Sorts the children of parent (the top level for null) by text.
    void SortChildren(TTreeItem* parent);
    void Redraw();

    // What a dragged item carries under the drag type (its data block unless an
    // encoder says otherwise; nothing when it appends nothing).
    using DragEncoder = std::function<void(const TTreeItem& item, std::vector<uint8_t>& out)>;
    void SetDragType(int32_t type, DragEncoder encoder = {});
    // The drag data of the selection, in selection order.
    XGDragData MakeDragData() const;

    // As the user's double-click on the item (TDCK).
    void DoubleClick(TTreeItem* item, int32_t modifiers);

    bool CanAcceptDrop(const XGDragData& data) override;
    bool AcceptDrop(const XGDragData& data, const QPoint& where) override;

    // Text order: byte by byte through a case-folding table, 0xFF below every byte.
    static int CompareText(const std::string& a, const std::string& b);
    // The text with its letters folded as the comparison folds them.
    static std::string FoldCase(std::string text);
    // Items of one tree and one parent, by text; anything else is an assertion failure.
    static int CompareItems(const TTreeItem* ta, const TTreeItem* tb);

private:
    friend class TTreeWidget;
    void SyncSelectionFromWidget();
    void RelinkSelection();
    void ApplyRowState(TTreeItem* item);
    TTreeItem* ItemOf(QTreeWidgetItem* row) const;
    void AttachPending();
    const QIcon& IconFor(int32_t icon);

    class TTreeWidget* fWidget;
    std::vector<std::unique_ptr<TTreeItem>> fItems;
    TTreeItem* fFirst = nullptr;
    TTreeItem* fLast = nullptr;
    TTreeItem* fFirstSelected = nullptr;
    int fSelectionCount = 0;
    std::vector<TTreeItem*> fSelection;
    std::vector<TTreeItem*> fPending; // top-level rows not yet in the widget
    std::map<int32_t, QIcon> fIcons;
    int32_t fDragType = 0;
    DragEncoder fDragEncoder;
    bool fSyncing = false;
};
