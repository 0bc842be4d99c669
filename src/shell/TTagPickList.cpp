#include "shell/TTagPickList.h"

#include <algorithm>
#include <cstdio>

#include "framework/XGDirectory.h"
#include "framework/XGFileSpecifier.h"
#include "framework/qt/XGDialog.h"
#include "framework/qt/XGListControl.h"
#include "framework/qt/XGMessages.h"
#include "framework/qt/XGModalDialog.h"
#include "framework/qt/XGRadioButton.h"
#include "shell/TTolvaneApp.h"
#include "shell/TTreeView.h"
#include "tags/tag_types.h"

XG_BEGIN_DISPATCH(TTagPickList, XGForm)
    XG_ON(kXGClickMessage, &TTagPickList::DoClick)
    XG_ON(kXGKeyClickMessage, &TTagPickList::DoClick)
    XG_ON(kXGListSelectMessage, &TTagPickList::DoSelect)
    XG_ON(kXGListValueMessage, &TTagPickList::DoSelect)
XG_END_DISPATCH()

TTagPickList::TTagPickList(TTagStore& store, tag_code type, tag_code current, tag_file* file)
    : fStore(store), fType(type), fCurrent(current), fFile(file)
{
}

tag_code TTagPickList::Run(tag_code type, tag_code current, tag_file* file)
{
    auto form = std::make_unique<TTagPickList>(TTolvaneApp::Get()->GetStore(), type, current, file);
    TTagPickList* pick = form.get();
    XGModalDialog modal(std::move(form), kResource);
    switch (modal.Run()) {
    case kSelect: return pick->fChosen;
    case kNone: return NONE_TAG;
    default: return 0;
    }
}

std::string TTagPickList::ShownPath(const tag_file* f)
{
    if (f->path.empty()) return "(unsaved tag file)";
    std::string path = XGNormalPath(f->path);
    std::string base = XGNormalPath(XGDirectory::GetDefault().GetPath());
    if (!base.empty() && base.back() != '/') base += '/';
    return path.compare(0, base.size(), base) == 0 ? path.substr(base.size()) : path;
}

std::string TTagPickList::ReferenceLabel(const TTagStore* store, tag_code type, tag_code id)
{
    if (tag_id_is_none(id)) return "(tag unassigned)";
    if (tag_entry* e = store ? store->find_tag(type, id) : nullptr) return e->name;
    return "(missing tag '" + tag_code_to_text(id) + "')";
}

void TTagPickList::WindowBuilt()
{
    char title[96];
    std::snprintf(title, sizeof title, "Pick %s (%s)", tag_type_name(fType), tag_code_to_text(fType).c_str());
    GetWindow()->SetTitle(title);
    // the file scope only makes sense for a file with tags of the type that holds the
    // current tag, or when no file holds it
    bool fileHasType = fFile && tag_file_group(fFile, fType);
    bool holdsCurrent = fFile && tag_find_in_file(fFile, fType, fCurrent);
    bool anyHolds = fStore.find_tag(fType, fCurrent) != nullptr;
    TTolvaneApp* app = TTolvaneApp::Get();
    fFileOnly = app && app->GetPickFileOnly() && fileHasType && (holdsCurrent || !anyHolds);
    if (auto* radio = dynamic_cast<XGRadioButton*>(FindView(fFileOnly ? kCurrentFileOnly : kAllFiles)))
        radio->TurnOn();
    EnableControl(kCurrentFileOnly, fileHasType);
    Fill();
}

void TTagPickList::Fill()
{
    fTags.clear();
    for (tag_file* f = fStore.first_file(); f; f = f->next) {
        if (fFileOnly && f != fFile) continue;
        if (tag_group* g = tag_file_group(f, fType))
            for (tag_entry* e = g->entries; e; e = e->next) fTags.push_back(e);
    }
    std::stable_sort(fTags.begin(), fTags.end(), [](const tag_entry* a, const tag_entry* b) {
        return TTreeView::CompareText(a->name, b->name) < 0;
    });
    std::vector<std::string> rows;
    int32_t selected = -1;
    for (size_t i = 0; i < fTags.size(); ++i) {
        rows.push_back(std::string(fTags[i]->name) + " (" + tag_code_to_text(fTags[i]->id) + ")");
        if (selected < 0 && fTags[i]->id == fCurrent) selected = int32_t(i);
    }
    if (auto* list = dynamic_cast<XGListControl*>(FindView(kList))) {
        list->SetItems(rows);
        list->SetValue(selected);
    }
    ShowSelection();
}

void TTagPickList::ShowSelection()
{
    int32_t row = GetControlValue(kList);
    tag_entry* e = row >= 0 && size_t(row) < fTags.size() ? fTags[size_t(row)] : nullptr;
    SetControlText(kIdText, e ? tag_code_to_text(e->id) : "");
    SetControlText(kSizeText, e ? std::to_string(e->size) : "");
    SetControlText(kFileText, e ? ShownPath(e->file) : "");
    EnableControl(kSelect, e != nullptr);
}

int32_t TTagPickList::DoSelect(XGCode code, XGParam, XGParam)
{
    ShowSelection();
    // a double-click picks the row
    if (code == kXGListValueMessage && GetControlValue(kList) >= 0) return DoClick(kXGClickMessage, kSelect, 0);
    return 0;
}

int32_t TTagPickList::DoClick(XGCode, XGParam id, XGParam)
{
    auto* dialog = static_cast<XGDialog*>(GetWindow());
    switch (id) {
    case kCurrentFileOnly:
    case kAllFiles: {
        bool fileOnly = id == kCurrentFileOnly;
        if (auto* radio = dynamic_cast<XGRadioButton*>(FindView(int32_t(id)))) radio->TurnOn();
        if (TTolvaneApp* app = TTolvaneApp::Get()) app->SetPickFileOnly(fileOnly);
        if (fileOnly != fFileOnly) {
            fFileOnly = fileOnly;
            Fill();
        }
        return 0;
    }
    case kSelect: {
        int32_t row = GetControlValue(kList);
        if (row < 0 || size_t(row) >= fTags.size()) return 0;
        // the tag may have gone while the list was open
        tag_entry* e = fTags[size_t(row)];
        fChosen = fStore.find_tag(fType, e->id) ? e->id : NONE_TAG;
        dialog->EndModal(kSelect);
        return 0;
    }
    default:
        return kXGNotHandled;
    }
}
