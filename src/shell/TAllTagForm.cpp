#include "shell/TAllTagForm.h"

#include <algorithm>
#include <map>
#include <memory>

#include "framework/qt/XGMessages.h"
#include "framework/qt/XGWindow.h"
#include "shell/TTolvaneApp.h"
#include "shell/TTreeView.h"

XG_BEGIN_DISPATCH(TAllTagForm, XGForm)
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
    std::map<tag_code, TTreeItem*> typeRows;
    for (tag_file* f = Store().first_file(); f; f = f->next) {
        for (tag_group* g = f->groups; g; g = g->next) {
            TTreeItem*& typeRow = typeRows[g->type];
            if (!typeRow) {
                typeRow = AddTypeRow(nullptr, g->type, nullptr);
                if (std::find(expanded.begin(), expanded.end(), g->type) != expanded.end())
                    fTree->Expand(typeRow, true);
            }
            for (tag_entry* e = g->entries; e; e = e->next) AddTagRow(typeRow, e);
        }
    }
    // one stable sort of each type row gives the order that sorting after every
    // file would, far sooner
    for (auto& [type, typeRow] : typeRows) fTree->SortChildren(typeRow);
    fTree->SortChildren(nullptr);
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
