#include "shell/TAllTagForm.h"

#include <algorithm>
#include <map>
#include <memory>
#include <unordered_map>

#include "framework/qt/XGMessages.h"
#include "framework/qt/XGWindow.h"
#include "shell/TTagPickList.h"
#include "shell/TTolvaneApp.h"
#include "shell/TTreeView.h"

XG_BEGIN_DISPATCH(TAllTagForm, TTagTreeForm)
    XG_ON(kXGStatusMessage, &TAllTagForm::DoStatus)
    XG_ON(kXGMenuMessage, &TAllTagForm::DoMenu)
    XG_ON(kTreeDoubleClick, &TAllTagForm::DoDoubleClick)
    XG_ON(kXGKeyMessage, &TAllTagForm::DoKey)
    XG_ON(kTreeCanDrop, &TAllTagForm::DoCanDrop)
    XG_ON(kTreeDrop, &TAllTagForm::DoDrop)
XG_END_DISPATCH()

TAllTagForm::~TAllTagForm()
{
    if (TTolvaneApp* app = TTolvaneApp::Get())
        if (app->GetAllTagWindow() == this) app->AllTagWindowGone();
}

TAllTagForm* TAllTagForm::Create()
{
    auto form = std::make_unique<TAllTagForm>();
    form->BuildWindow(kTagTreeResource);
    return form.release();
}

void TAllTagForm::WindowBuilt()
{
    TTagTreeForm::WindowBuilt();
    GetWindow()->SetTitle("All Tag Files");
    Refresh(true);
}

void TAllTagForm::Refresh(bool redraw)
{
    if (!fTree) return;
    std::vector<tag_code> expanded = ExpandedTypes();
    fTree->Clear();
    // lookups take the first file in store order that holds a type and id
    std::unordered_map<uint64_t, const tag_file*> first;
    auto key = [](tag_code type, tag_code id) { return uint64_t(type) << 32 | id; };
    std::unordered_map<const tag_file*, std::string> paths;
    for (tag_file* f = Store().first_file(); f; f = f->next) {
        paths.emplace(f, TTagPickList::ShownPath(f));
        for (tag_group* g = f->groups; g; g = g->next)
            for (tag_entry* e = g->entries; e; e = e->next) first.try_emplace(key(g->type, e->id), f);
    }
    std::map<tag_code, TTreeItem*> typeRows;
    bool everyTag = fFilter.IsEmpty();
    for (tag_file* f = Store().first_file(); f; f = f->next) {
        const std::string& path = paths[f];
        for (tag_group* g = f->groups; g; g = g->next) {
            if (!GroupPasses(g)) continue;
            TTreeItem*& typeRow = typeRows[g->type];
            if (!typeRow) {
                typeRow = AddTypeRow(nullptr, g->type, nullptr);
                if (std::find(expanded.begin(), expanded.end(), g->type) != expanded.end())
                    fTree->Expand(typeRow, true);
            }
            bool wholeType = everyTag || fFilter.MatchesType(g->type);
            for (tag_entry* e = g->entries; e; e = e->next) {
                if (!wholeType && !fFilter.Matches(e)) continue;
                const tag_file* winner = first[key(g->type, e->id)];
                std::string text = TagRowText(e) + "  " + path;
                if (winner != f) text += "  (overridden by " + paths[winner] + ")";
                TTreeItem* row = AddTagRow(typeRow, e, text);
                if (winner != f) fTree->SetItemDimmed(row, true);
            }
        }
    }
    // one stable sort of each type row gives the order that sorting after every
    // file would, far sooner
    for (auto& [type, typeRow] : typeRows) fTree->SortChildren(typeRow);
    fTree->SortChildren(nullptr);
    RefreshDone();
    if (redraw) fTree->Redraw();
}

void TAllTagForm::RefreshKeepingSelection()
{
    if (!fTree) return;
    std::vector<tag_entry*> selected = GetSelectedTags();
    Refresh(true);
    for (tag_entry* e : selected) SelectTag(e, false, false);
}

namespace {

// The file commands: this window takes them and they stay disabled.
bool IsFileCommand(XGParam id)
{
    static const int16_t commands[] = {kXGCommandCut,  kXGCommandCopy,      kXGCommandPaste,
                                       kXGCommandClear, kCommandSave,       kCommandSaveAs,
                                       kCommandRevert, kCommandCreateTag,  kCommandImportCameraMotion,
                                       kCommandImportCin, kCommandImportColormap, kCommandCollapseTerrain};
    return std::find(std::begin(commands), std::end(commands), id) != std::end(commands);
}

} // namespace

int32_t TAllTagForm::DoStatus(XGCode, XGParam id, XGParam status)
{
    auto& s = *reinterpret_cast<XGCommandStatus*>(status);
    if (IsFileCommand(id)) {
        s.enabled = false;
        return 0;
    }
    return SharedStatus(int16_t(id), s);
}

int32_t TAllTagForm::DoMenu(XGCode, XGParam id, XGParam)
{
    switch (id) {
    case kCommandOpenTag: OpenSelectedTags(); return 0;
    case kCommandTagInfo: TagInfoForSelection(nullptr); return 0;
    case kCommandFindDuplicates: FindDuplicates(); return 0;
    default: return IsFileCommand(id) ? 0 : kXGNotHandled;
    }
}

int32_t TAllTagForm::DoDoubleClick(XGCode, XGParam item, XGParam modifiers)
{
    return DoubleClicked(reinterpret_cast<TTreeItem*>(item), int32_t(modifiers));
}

int32_t TAllTagForm::DoKey(XGCode, XGParam key, XGParam modifiers)
{
    return ReturnPressed(int32_t(key), int32_t(modifiers)) ? 0 : kXGNotHandled;
}

int32_t TAllTagForm::DoCanDrop(XGCode, XGParam, XGParam)
{
    return 0;
}

int32_t TAllTagForm::DoDrop(XGCode, XGParam, XGParam)
{
    return 0;
}
