#include "shell/TTagTreeForm.h"

#include <algorithm>
#include <cstring>
#include <cstdio>

#include "framework/qt/XGMessages.h"
#include "framework/qt/XGView.h"
#include "framework/qt/XGWindow.h"
#include "shell/TTagEditorBase.h"
#include "shell/TTagFileForm.h"
#include "shell/TTagInfoDialog.h"
#include "shell/TTagPickList.h"
#include "shell/TTolvaneApp.h"
#include "shell/TTreeView.h"
#include "tags/tag_types.h"

XG_BEGIN_DISPATCH(TTagTreeForm, XGForm)
    XG_ON(kXGSetValueMessage, &TTagTreeForm::DoValue)
    XG_ON(kXGListSelectMessage, &TTagTreeForm::DoSelect)
XG_END_DISPATCH()

void TTagTreeForm::WindowBuilt()
{
    fTree = dynamic_cast<TTreeView*>(FindView(kTagTreeControl));
    // the keys go to the rows, not to the filter box, until the person clicks it
    if (fTree) fTree->Focus();
    if (fTree)
        fTree->SetDragType(TAG_ROW_DRAG_TYPE, [](const TTreeItem& item, std::vector<uint8_t>& out) {
            tag_row_record row = RowOf(&item);
            if (row.entry) tag_row_append_drag_bytes(row, out);
        });
}

TTolvaneApp* TTagTreeForm::App() const
{
    return TTolvaneApp::Get();
}

TTagStore& TTagTreeForm::Store() const
{
    return App()->GetStore();
}

std::string TTagTreeForm::TagRowText(const tag_entry* e)
{
    char text[96];
    std::snprintf(text, sizeof text, "%s (%s) [%.fk]", e->name, tag_code_to_text(e->id).c_str(), e->size * 0.001);
    return text;
}

std::string TTagTreeForm::TypeRowText(tag_code type)
{
    return tag_type_plural_name(type);
}

int32_t TTagTreeForm::TagRowIcon(const tag_entry* e)
{
    if (!tag_type_editor_hook(e->group->type, false)) return 131;
    return e->dirty ? 132 : 130;
}

tag_row_record TTagTreeForm::RowOf(const TTreeItem* item)
{
    tag_row_record row;
    if (item && item->data.size() == sizeof row) std::memcpy(&row, item->data.data(), sizeof row);
    return row;
}

TTreeItem* TTagTreeForm::AddTypeRow(tag_file* f, tag_code type, tag_group* g)
{
    TTreeItem* item = fTree->AddItem(nullptr, TypeRowText(type), 0);
    tag_row_record row{f, type, g, 0, nullptr};
    fTree->SetItemData(item, &row, sizeof row);
    return item;
}

TTreeItem* TTagTreeForm::AddTagRow(TTreeItem* typeRow, tag_entry* e, const std::string& text)
{
    TTreeItem* item = fTree->AddItem(typeRow, text.empty() ? TagRowText(e) : text, TagRowIcon(e));
    tag_row_record row = tag_row_of(e);
    fTree->SetItemData(item, &row, sizeof row);
    return item;
}

std::vector<tag_code> TTagTreeForm::ExpandedTypes()
{
    if (fShowsFiltered) return fUnfilteredExpanded;
    std::vector<tag_code> types;
    for (TTreeItem* item = fTree->GetFirstItem(); item; item = item->next) {
        if (!item->expanded) continue;
        if (types.size() == MAXIMUM_REMEMBERED_EXPANDED_ROWS) break;
        types.push_back(RowOf(item).type);
    }
    fUnfilteredExpanded = types;
    return types;
}

bool TTagTreeForm::GroupPasses(const tag_group* g) const
{
    if (fFilter.IsEmpty() || fFilter.MatchesType(g->type)) return true;
    for (const tag_entry* e = g->entries; e; e = e->next)
        if (fFilter.Matches(e)) return true;
    return false;
}

void TTagTreeForm::RefreshDone()
{
    fShowsFiltered = !fFilter.IsEmpty();
    if (fShowsFiltered)
        for (TTreeItem* item = fTree->GetFirstItem(); item; item = item->next) fTree->Expand(item, true);
}

void TTagTreeForm::SetFilter(const std::string& text)
{
    TTagFilter filter(text);
    if (filter.GetText() == fFilter.GetText()) return;
    std::vector<tag_entry*> selected = GetSelectedTags();
    // what the person expanded is kept for when the filter is cleared
    if (fTree && !fShowsFiltered) ExpandedTypes();
    fFilter = std::move(filter);
    Refresh(true);
    for (tag_entry* e : selected) SelectTag(e, false, false);
    if (GetControlText(kTagFilterControl) != text) SetControlText(kTagFilterControl, text);
}

std::string TTagTreeForm::StatusText(const tag_entry* e)
{
    return "Type: " + tag_code_to_text(e->group->type) + "   ID: " + tag_code_to_text(e->id) +
           "   Size: " + std::to_string(e->size) + (e->size == 1 ? " byte" : " bytes") +
           "   Version: " + std::to_string(e->version) + "   File: " + TTagPickList::ShownPath(e->file);
}

void TTagTreeForm::ShowSelectionStatus()
{
    TTolvaneApp* app = App();
    if (!app) return;
    std::vector<tag_entry*> tags = GetSelectedTags();
    std::string text = tags.empty() ? std::string() : StatusText(tags.front());
    if (tags.size() > 1) text += "   (" + std::to_string(tags.size()) + " tags selected)";
    app->SetStatusText(text);
}

int32_t TTagTreeForm::DoValue(XGCode, XGParam id, XGParam)
{
    if (int32_t(id) != kTagFilterControl) return kXGNotHandled;
    SetFilter(GetControlText(kTagFilterControl));
    return 0;
}

int32_t TTagTreeForm::DoSelect(XGCode, XGParam id, XGParam)
{
    if (int32_t(id) != kTagTreeControl) return kXGNotHandled;
    ShowSelectionStatus();
    return 0;
}

void TTagTreeForm::SelectTag(tag_entry* e, bool expand, bool clear)
{
    if (!fTree) return;
    for (TTreeItem* typeRow = fTree->GetFirstItem(); typeRow; typeRow = typeRow->next) {
        if (RowOf(typeRow).type != e->group->type) continue;
        for (TTreeItem* item = typeRow->child; item; item = item->next) {
            if (RowOf(item).entry != e) continue;
            if (expand) fTree->Expand(typeRow, true);
            fTree->Select(item, !clear);
            return;
        }
    }
}

std::vector<tag_row_record> TTagTreeForm::GetSelectedRows() const
{
    std::vector<tag_row_record> rows;
    if (!fTree) return rows;
    for (TTreeItem* item = fTree->GetFirstSelected(); item; item = item->nextSelected) rows.push_back(RowOf(item));
    return rows;
}

std::vector<tag_entry*> TTagTreeForm::GetSelectedTags() const
{
    std::vector<tag_entry*> tags;
    for (const tag_row_record& row : GetSelectedRows())
        if (tag_entry* e = tag_row_live_entry(Store(), row)) tags.push_back(e);
    return tags;
}

void TTagTreeForm::OpenSelectedTags()
{
    for (tag_entry* e : GetSelectedTags()) {
        // an earlier editor may have changed the store
        if (tag_row_live_entry(Store(), tag_row_of(e))) App()->OpenTagEditor(e, false);
    }
}

void TTagTreeForm::TagInfoForSelection(tag_file* file)
{
    std::vector<tag_row_record> rows;
    for (tag_entry* e : GetSelectedTags()) rows.push_back(tag_row_of(e));
    for (tag_row_record& row : rows) {
        tag_entry* e = tag_row_live_entry(Store(), row);
        if (!e) continue;
        if (!TTagInfoDialog::Run(e, file ? file : e->file)) continue;
        // the tag's file window and this one show the new name, id and type
        if (auto* fileWindow = TTagFileForm::FromFile(e->file)) {
            fileWindow->Refresh(true);
            fileWindow->UpdateTitle();
            fileWindow->SelectTag(e, true, true);
        }
        if (this != TTagFileForm::FromFile(e->file)) {
            Refresh(true);
            SelectTag(e, true, true);
        }
        if (TTagEditorBase* editor = TTagEditorBase::FromTag(e)) editor->UpdateTitle();
    }
}

void TTagTreeForm::FindDuplicates()
{
    std::vector<tag_row_record> rows = GetSelectedRows();
    tag_entry* selected = rows.size() == 1 ? tag_row_live_entry(Store(), rows.front()) : nullptr;
    std::vector<tag_entry*> open;
    if (selected) {
        for (tag_entry* x = Store().find_next_duplicate(selected, true); x; x = Store().find_next_duplicate(x, false))
            if (x != selected) open.push_back(x);
    } else {
        tag_entry* first = Store().next_entry(nullptr);
        if (!first) return;
        open.push_back(first);
        for (tag_entry* x = Store().find_next_duplicate(first, false); x; x = Store().find_next_duplicate(x, false))
            open.push_back(x);
    }
    for (tag_entry* e : open) App()->OpenTagEditor(e, false);
}

int32_t TTagTreeForm::DoubleClicked(TTreeItem* item, int32_t modifiers)
{
    if (!item) return 0;
    tag_entry* e = tag_row_live_entry(Store(), RowOf(item));
    if (e) App()->OpenTagEditor(e, (modifiers & kXGControlKey) != 0);
    return 0;
}

bool TTagTreeForm::ReturnPressed(int32_t key, int32_t modifiers)
{
    if ((key != kXGKeyReturn && key != kXGKeyEnter) || !fTree || fTree->GetSelectionCount() == 0) return false;
    std::vector<TTreeItem*> selected;
    for (TTreeItem* item = fTree->GetFirstSelected(); item; item = item->nextSelected) selected.push_back(item);
    std::vector<tag_row_record> rows;
    for (TTreeItem* item : selected) {
        if (RowOf(item).entry)
            rows.push_back(RowOf(item));
        else
            fTree->Expand(item, !item->expanded);
    }
    for (const tag_row_record& row : rows) {
        // an earlier editor may have changed the store
        if (tag_entry* e = tag_row_live_entry(Store(), row)) App()->OpenTagEditor(e, (modifiers & kXGControlKey) != 0);
    }
    return true;
}

int32_t TTagTreeForm::SharedStatus(int16_t id, XGCommandStatus& status) const
{
    int selected = fTree ? fTree->GetSelectionCount() : 0;
    switch (id) {
    case kCommandOpenTag:
    case kCommandTagInfo:
        status.enabled = selected > 0;
        return 0;
    case kCommandFindDuplicates:
        status.enabled = selected <= 1;
        return 0;
    default:
        return kXGNotHandled;
    }
}
