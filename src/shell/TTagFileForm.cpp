#include "shell/TTagFileForm.h"

#include <algorithm>
#include <set>

#include "framework/XGError.h"
#include "framework/XGFile.h"
#include "framework/qt/XGAlert.h"
#include "framework/qt/XGDragData.h"
#include "framework/qt/XGFileDialog.h"
#include "framework/qt/XGGuard.h"
#include "framework/qt/XGMessages.h"
#include "framework/qt/XGWindow.h"
#include "shell/TCreateTagDialog.h"
#include "shell/TOverrideInPlugin.h"
#include "shell/TTagEditorBase.h"
#include "shell/TTolvaneApp.h"
#include "shell/TTreeView.h"
#include "shell/TWorkSummary.h"
#include "tags/gameplay/tag_struct.h"
#include "model/canm.h"
#include "shell/TCollapseTerrainDialog.h"
#include "shell/ditlmaker.h"
#include "tags/tag_types.h"
#include "texture/ctd.h"
#include "texture/texture_import.h"
#include "texture/txst_format.h"

XG_BEGIN_DISPATCH(TTagFileForm, TTagTreeForm)
    XG_ON(kXGStatusMessage, &TTagFileForm::DoStatus)
    XG_ON(kXGMenuMessage, &TTagFileForm::DoMenu)
    XG_ON(kTreeDoubleClick, &TTagFileForm::DoDoubleClick)
    XG_ON(kXGKeyMessage, &TTagFileForm::DoKey)
    XG_ON(kTreeCanDrop, &TTagFileForm::DoCanDrop)
    XG_ON(kTreeDrop, &TTagFileForm::DoDrop)
XG_END_DISPATCH()

TTagFileForm::TTagFileForm(tag_file* tf) : fFile(tf)
{
    XG_ASSERT(tf, "TTagFileForm");
}

TTagFileForm::~TTagFileForm()
{
    DetachFile();
}

TTagFileForm* TTagFileForm::Create(tag_file* f)
{
    auto form = std::make_unique<TTagFileForm>(f);
    form->BuildWindow(kTagTreeResource);
    return form.release();
}

TTagFileForm* TTagFileForm::FromFile(const tag_file* f)
{
    return f ? static_cast<TTagFileForm*>(f->form) : nullptr;
}

template <class F>
void TTagFileForm::AsStep(F command, const std::vector<tag_entry*>& removing)
{
    fHistory.Begin(fFile, removing);
    try {
        command();
    } catch (...) {
        // what was done before the error is a step of its own
        fHistory.End();
        throw;
    }
    fHistory.End();
}

void TTagFileForm::DetachFile()
{
    fHistory.Clear();
    if (fFile && fFile->form == this) tag_file_set_window(fFile, nullptr);
    fFile = nullptr;
}

void TTagFileForm::WindowBuilt()
{
    TTagTreeForm::WindowBuilt();
    tag_file_set_window(fFile, this);
    UpdateTitle();
    Refresh(true);
}

std::string TTagFileForm::TitleFor(const tag_file* f)
{
    if (f->path.empty()) return "(unsaved tag file)";
    std::string title = f->path;
    if (tag_file_is_protected(f)) title += " (readonly)";
    if (tag_file_needs_saving(f)) title += " (modified)";
    // kept with the user's changes over another program's: only Save As writes it now
    if (tag_file_changed_on_disk(f)) title += " (changed on disk)";
    return title;
}

void TTagFileForm::UpdateTitle()
{
    if (fFile && GetWindow()) GetWindow()->SetTitle(TitleFor(fFile));
}

void TTagFileForm::Refresh(bool redraw)
{
    if (!fTree || !fFile) return;
    std::vector<tag_code> expanded = ExpandedTypes();
    fTree->Clear();
    bool everyTag = fFilter.IsEmpty();
    for (tag_group* g = fFile->groups; g; g = g->next) {
        if (!GroupPasses(g)) continue;
        TTreeItem* typeRow = AddTypeRow(fFile, g->type, g);
        bool wholeType = everyTag || fFilter.MatchesType(g->type);
        for (tag_entry* e = g->entries; e; e = e->next)
            if (wholeType || fFilter.Matches(e)) AddTagRow(typeRow, e);
        fTree->SortChildren(typeRow);
        if (std::find(expanded.begin(), expanded.end(), g->type) != expanded.end()) fTree->Expand(typeRow, true);
    }
    fTree->SortChildren(nullptr);
    RefreshDone();
    if (redraw) fTree->Redraw();
    // the all-tags window shows the same rows (a save clears their changed icons)
    App()->TagListChanged();
}

std::vector<tag_entry*> TTagFileForm::GetCommandTags() const
{
    std::vector<tag_entry*> tags;
    std::set<tag_code> types;
    std::vector<tag_row_record> rows = GetSelectedRows();
    for (const tag_row_record& row : rows) {
        if (row.entry || row.file != fFile || types.count(row.type)) continue;
        types.insert(row.type);
        for (tag_entry* e = tag_file_group(fFile, row.type) ? tag_file_group(fFile, row.type)->entries : nullptr; e;
             e = e->next)
            tags.push_back(e);
    }
    for (const tag_row_record& row : rows) {
        if (!row.entry || types.count(row.type)) continue;
        tag_entry* e = tag_row_live_entry(Store(), row);
        if (e && e->file == fFile && std::find(tags.begin(), tags.end(), e) == tags.end()) tags.push_back(e);
    }
    return tags;
}

bool TTagFileForm::CanClose()
{
    if (!fFile || !tag_file_needs_saving(fFile)) return true;
    std::string name = fFile->path.empty() ? "the new tag file" : fFile->path;
    switch (XGAskSaveWindow(name)) {
    case kXGSaveWindowSave: {
        bool saved = false;
        XGGuard([&] { saved = Save(); });
        return saved;
    }
    case kXGSaveWindowDontSave: {
        tag_file* f = fFile;
        DetachFile();
        App()->CloseTagEditors(f);
        Store().revert_tag_file(f);
        App()->TagListChanged();
        return true;
    }
    default:
        return false;
    }
}

bool TTagFileForm::Save()
{
    if (!fFile) return false;
    if (fFile->path.empty()) return SaveAs();
    Store().save_tag_file(fFile);
    UpdateTitle();
    Refresh(true);
    return true;
}

bool TTagFileForm::SaveAs()
{
    if (!fFile) return false;
    XGFileRequest request;
    request.save = true;
    request.filter = "All Files|*.*";
    // the file's own name, in its own folder
    request.proposedName = fFile->path.empty() ? "untitled.tag" : fFile->path;
    std::string path = XGChooseFile(request);
    if (path.empty()) return false;
    Store().save_tag_file_as(fFile, path);
    App()->AddRecentFile(fFile->path);
    UpdateTitle();
    Refresh(true);
    return true;
}

void TTagFileForm::Revert()
{
    if (!fFile || fFile->path.empty()) return;
    if (XGShowAlert(kXGCaution, "Revert", "Discard the changes to " + fFile->path + "?") != kXGAlertOK) return;
    tag_file* f = fFile;
    DetachFile();
    App()->CloseTagEditors(f);
    tag_file* reopened = Store().revert_tag_file(f);
    App()->TagListChanged();
    if (!reopened) {
        // the file is gone from the disk: so is its window
        GetWindow()->Close(false);
        return;
    }
    fFile = reopened;
    tag_file_set_window(fFile, this);
    UpdateTitle();
    Refresh(true);
}

void TTagFileForm::ReportUncopied(const std::vector<std::string>& names, const char* what)
{
    if (names.empty()) return;
    std::string list;
    for (const std::string& n : names) list += (list.empty() ? "" : ", ") + n;
    XGShowAlert(kXGWarning, "Tag Data Unavailable",
                std::string("The data of ") + list + " cannot be read; " + what);
}

void TTagFileForm::Copy()
{
    std::vector<tag_entry*> tags = GetCommandTags();
    TTagClipboard& clipboard = App()->GetClipboard();
    clipboard.Clear();
    std::vector<std::string> failed;
    for (tag_entry* e : tags)
        if (!clipboard.Add(e, true)) failed.push_back(e->name);
    ReportUncopied(failed, "it was not copied.");
}

void TTagFileForm::Cut()
{
    std::vector<tag_entry*> tags = GetCommandTags();
    TTagClipboard& clipboard = App()->GetClipboard();
    clipboard.Clear();
    std::vector<std::string> failed;
    fHistory.Begin(fFile, tags);
    for (tag_entry* e : tags) {
        if (TTagEditorBase* editor = TTagEditorBase::FromTag(e))
            if (!editor->GetWindow() || !editor->GetWindow()->Close(true)) continue;
        // the tag stays when its data cannot go to the clipboard
        if (!clipboard.Add(e, true)) {
            failed.push_back(e->name);
            continue;
        }
        Store().delete_tag(e, true);
    }
    fHistory.End();
    UpdateTitle();
    Refresh(true);
    ReportUncopied(failed, "it was left in the file.");
}

void TTagFileForm::Clear()
{
    std::vector<tag_entry*> tags = GetCommandTags();
    if (tags.size() > 1 &&
        XGShowAlert(kXGCaution, "Delete Tags",
                    "Delete the " + std::to_string(tags.size()) + " selected tags from " +
                        (fFile->path.empty() ? std::string("the new tag file") : tag_file_name(fFile)) +
                        "? Edit > Undo brings them back.") != kXGAlertOK)
        return;
    AsStep(
        [&] {
            for (tag_entry* e : tags) {
                if (TTagEditorBase* editor = TTagEditorBase::FromTag(e))
                    if (editor->GetWindow()) editor->GetWindow()->Close(false);
                Store().delete_tag(e, true);
            }
        },
        tags);
    UpdateTitle();
    Refresh(true);
}

void TTagFileForm::Undo()
{
    fHistory.Undo([](tag_entry* e) {
        if (TTagEditorBase* editor = TTagEditorBase::FromTag(e))
            if (editor->GetWindow()) editor->GetWindow()->Close(false);
    });
    Restored();
}

void TTagFileForm::Redo()
{
    fHistory.Redo([](tag_entry* e) {
        if (TTagEditorBase* editor = TTagEditorBase::FromTag(e))
            if (editor->GetWindow()) editor->GetWindow()->Close(false);
    });
    Restored();
}

void TTagFileForm::Restored()
{
    // names and ids may have changed back: the editors show them
    for (tag_group* g = fFile->groups; g; g = g->next)
        for (tag_entry* e = g->entries; e; e = e->next)
            if (TTagEditorBase* editor = TTagEditorBase::FromTag(e)) editor->UpdateTitle();
    UpdateTitle();
    Refresh(true);
}

void TTagFileForm::Paste()
{
    TTagClipboard& clipboard = App()->GetClipboard();
    if (clipboard.GetCount() == 0) return;
    std::vector<tag_entry*> pasted;
    AsStep([&] {
        for (int i = 0; i < clipboard.GetCount(); ++i) {
            const tag_clipboard_record& r = clipboard.Get(i);
            tag_code id = r.id;
            if (tag_find_in_file(fFile, r.type, id)) id = Store().make_tag_id(r.name, r.type, fFile);
            tag_entry* e = Store().create_tag(fFile, r.type, id, r.version, r.name, 0, r.size, r.data);
            if (!e) throw XGPostError(kXGOutOfMemory);
            pasted.push_back(e);
        }
    });
    UpdateTitle();
    Refresh(true);
    fTree->ClearSelection();
    for (tag_entry* e : pasted) SelectTag(e, true, false);
}

void TTagFileForm::CreateTag()
{
    TCreateTagDialog::Choice choice;
    if (!TCreateTagDialog::Run(fFile, choice)) return;
    // a tag that is made and taken back leaves the file as it was
    bool needupdate = fFile->needupdate;
    bool needrewrite = fFile->needrewrite;
    auto takeBack = [&](tag_entry* e) {
        Store().delete_tag(e, true);
        fFile->needupdate = needupdate;
        fFile->needrewrite = needrewrite;
        UpdateTitle();
        Refresh(true);
    };
    fHistory.Begin(fFile);
    tag_entry* e = Store().create_tag(fFile, choice.type, choice.id, int16_t(tag_type_version(choice.type)),
                                      choice.name.c_str(), 0, 0, nullptr);
    if (!e) {
        fHistory.Cancel();
        throw XGPostError(kXGOutOfMemory);
    }
    try {
        if (tag_set_defaults_hook hook = tag_type_set_defaults_hook(choice.type)) hook(e);
    } catch (...) {
        takeBack(e);
        fHistory.Cancel();
        throw;
    }
    if (e->size == 0) {
        // the defaults were cancelled (the New Mesh dialog, say)
        takeBack(e);
        fHistory.Cancel();
        return;
    }
    fHistory.End();
    UpdateTitle();
    Refresh(true);
    SelectTag(e, true, true);
    // a new map opens in its header form
    App()->OpenTagEditor(e, choice.type == "mesh"_4cc);
}

void TTagFileForm::ImportCameraMotion()
{
    std::string path = XGChooseFileToOpen("3D Studio ASE|*.ASE", "ASE");
    if (path.empty()) return;
    TWork work("Import Camera Motion");
    work.Show("Reading " + path);
    tag_entry* e = import_camera_motion(Store(), fFile, path);
    UpdateTitle();
    Refresh(true);
    if (e) SelectTag(e, true, true);
    work.Finish(e ? "Made the camera animation " + tag_label(e) + " (" + std::to_string(e->size) + " bytes) in " +
                        TitleFor(fFile) + " from " + path + "."
                  : "No camera animation was made from " + path + ".");
}

void TTagFileForm::ImportColormap()
{
    std::string path = XGChooseFileToOpen("Photoshop File|*.PSD", "PSD");
    if (path.empty()) return;
    TWork work("Import New Colormap");
    work.Show("Reading the layers of " + path);
    // a file that is not a usable image raises here, before anything is made
    std::unique_ptr<texture_set> set = import_terrain_file(path);
    work.Show("Building the texture stack");
    std::string name = terrain_tag_name(path);
    tag_entry* e = Store().create_tag(fFile, "txst"_4cc, 0, int16_t(tag_type_version("txst"_4cc)), name.c_str(), 0,
                                      0, nullptr);
    if (!e) throw XGPostError(kXGOutOfMemory);
    std::string why;
    if (!write_texture_set(e, *set, &why)) {
        Store().delete_tag(e, true);
        Refresh(true);
        throw XGError(kXGError, "Import New Colormap", "The texture stack cannot be stored: " + why + ".");
    }
    set.reset();
    UpdateTitle();
    Refresh(true);
    SelectTag(e, true, true);
    work.Finish("Made the texture stack " + tag_label(e) + " (" + std::to_string(e->size) + " bytes) in " +
                TitleFor(fFile) + " from " + path + ".");
}

void TTagFileForm::CollapseTerrain()
{
    tag_code terrain = 0, detail = 0;
    if (!TCollapseTerrainDialog::Run(fFile, terrain, detail)) return;
    TWork work("Collapse Terrain Detail");
    work.Show("Collapsing the detail of " + tag_code_to_text(detail) + " into " + tag_code_to_text(terrain));
    tag_entry* e = terrain_collapser().Collapse(fFile, terrain, detail);
    UpdateTitle();
    Refresh(true);
    if (e) SelectTag(e, true, true);
    work.Finish(e ? "Made the texture stack " + tag_label(e) + " (" + std::to_string(e->size) + " bytes) in " +
                        TitleFor(fFile) + "."
                  : "Nothing was made.");
}

void TTagFileForm::ImportCin()
{
    std::string path = XGChooseFileToOpen("Zepf .CIN File|*.CIN", "CIN");
    if (path.empty()) return;
    TWork work("Import .CIN File");
    TDialogImportReport report = make_dialog_tags(path, fFile, work.Progress());
    if (report.failed()) throw XGError(kXGError, "Import .CIN File", report.failure);
    UpdateTitle();
    Refresh(true);
    work.Finish("From " + path + ":\n" + dialog_import_summary(report));
}

void TTagFileForm::DropFiles(const std::vector<std::string>& paths)
{
    for (const std::string& path : paths) {
        XGGuard([&] {
            if (XGFile::IsDirectory(path)) throw XGPostError(kXGFileOpenError, {path + " (a folder)"});
            bool wasOpen = Store().find_open_file(path) != nullptr;
            if (tag_file* dropped = Store().open_tag_file(path, false)) {
                if (dropped != fFile) Store().copy_missing_tags(dropped, fFile);
                // a file opened only to copy from is not left loaded
                if (!wasOpen && dropped != fFile && !dropped->form) {
                    Store().close_tag_file(dropped);
                    App()->TagListChanged();
                }
            } else {
                Store().import_raw_file(fFile, path);
            }
        });
    }
    UpdateTitle();
    Refresh(true);
}

void TTagFileForm::DropRows(const std::vector<tag_row_record>& rows)
{
    bool changed = false;
    for (const tag_row_record& row : rows) {
        tag_entry* e = tag_row_live_entry(Store(), row);
        if (!e || e->file == fFile || tag_find_in_file(fFile, row.type, e->id)) continue;
        uint32_t size = 0;
        const uint8_t* data = tag_get_data(e, &size);
        if (!data) continue;
        if (!Store().create_tag(fFile, row.type, e->id, e->version, e->name, 0, size, data))
            throw XGPostError(kXGOutOfMemory);
        changed = true;
    }
    if (!changed) return;
    UpdateTitle();
    Refresh(true);
}

int32_t TTagFileForm::DoStatus(XGCode, XGParam id, XGParam status)
{
    auto& s = *reinterpret_cast<XGCommandStatus*>(status);
    if (!fFile || !fTree) return kXGNotHandled;
    int selected = fTree->GetSelectionCount();
    switch (id) {
    case kXGCommandCut:
    case kXGCommandCopy:
    case kXGCommandClear: s.enabled = selected > 0; return 0;
    case kXGCommandPaste: s.enabled = App()->GetClipboard().GetCount() > 0; return 0;
    case kXGCommandUndo: s.enabled = fHistory.CanUndo(); return 0;
    case kCommandRedo: s.enabled = fHistory.CanRedo(); return 0;
    case kCommandSave: s.enabled = tag_file_needs_saving(fFile) || fFile->path.empty(); return 0;
    case kCommandSaveAs: s.enabled = true; return 0;
    case kCommandRevert: s.enabled = tag_file_needs_saving(fFile) && !fFile->path.empty(); return 0;
    case kCommandCreateTag:
    case kCommandImportCameraMotion:
    case kCommandImportCin:
    case kCommandImportColormap:
    case kCommandCollapseTerrain: s.enabled = true; return 0;
    case kCommandOverrideInPlugin: s.enabled = tag_file_is_protected(fFile) && !GetCommandTags().empty(); return 0;
    default: return SharedStatus(int16_t(id), s);
    }
}

int32_t TTagFileForm::DoMenu(XGCode, XGParam id, XGParam)
{
    if (!fFile || !fTree) return kXGNotHandled;
    switch (id) {
    case kXGCommandUndo: Undo(); return 0;
    case kCommandRedo: Redo(); return 0;
    case kXGCommandCut: Cut(); return 0;
    case kXGCommandCopy: Copy(); return 0;
    case kXGCommandPaste: Paste(); return 0;
    case kXGCommandClear: Clear(); return 0;
    case kCommandSave: Save(); return 0;
    case kCommandSaveAs: SaveAs(); return 0;
    case kCommandRevert: Revert(); return 0;
    case kCommandCreateTag: CreateTag(); return 0;
    case kCommandImportCameraMotion: AsStep([this] { ImportCameraMotion(); }); return 0;
    case kCommandImportCin: AsStep([this] { ImportCin(); }); return 0;
    case kCommandImportColormap: AsStep([this] { ImportColormap(); }); return 0;
    case kCommandCollapseTerrain: AsStep([this] { CollapseTerrain(); }); return 0;
    case kCommandOpenTag: OpenSelectedTags(); return 0;
    case kCommandTagInfo: AsStep([this] { TagInfoForSelection(fFile); }); return 0;
    case kCommandFindDuplicates: FindDuplicates(); return 0;
    case kCommandOverrideInPlugin:
        if (tag_file_is_protected(fFile)) OverrideInPlugin(GetCommandTags());
        return 0;
    default: return kXGNotHandled;
    }
}

int32_t TTagFileForm::DoDoubleClick(XGCode, XGParam item, XGParam modifiers)
{
    if (!fFile) return 0;
    return DoubleClicked(reinterpret_cast<TTreeItem*>(item), int32_t(modifiers));
}

int32_t TTagFileForm::DoKey(XGCode, XGParam key, XGParam modifiers)
{
    if (ReturnPressed(int32_t(key), int32_t(modifiers))) return 0;
    if (key != kXGKeyBackspace && key != kXGKeyDelete) return kXGNotHandled;
    if (!fFile || !fTree || fTree->GetSelectionCount() == 0) return kXGNotHandled;
    // the filter box edits its own text
    if (XGView* focus = GetWindow()->GetFocusView(); focus && focus->GetID() == kTagFilterControl) return kXGNotHandled;
    Clear();
    return 0;
}

int32_t TTagFileForm::DoCanDrop(XGCode, XGParam data, XGParam)
{
    const auto& d = *reinterpret_cast<const XGDragData*>(data);
    return fFile && (d.Has(kXGDragFiles) || d.Has(TAG_ROW_DRAG_TYPE)) ? 1 : 0;
}

int32_t TTagFileForm::DoDrop(XGCode, XGParam data, XGParam)
{
    const auto& d = *reinterpret_cast<const XGDragData*>(data);
    if (!fFile) return 0;
    AsStep([&] {
        if (d.Has(kXGDragFiles)) DropFiles(d.Files());
        if (const std::vector<uint8_t>* rows = d.Get(TAG_ROW_DRAG_TYPE))
            DropRows(tag_rows_from_drag_bytes(rows->data(), rows->size()));
    });
    return 0;
}
