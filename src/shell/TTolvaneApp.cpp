#include "shell/TTolvaneApp.h"

#include <QApplication>
#include <QIcon>
#include <QSettings>
#include <QStringList>
#include <QTimer>
#include <algorithm>
#include <cstdio>

#include "framework/XGDirectory.h"
#include "framework/XGError.h"
#include "framework/XGFileSpecifier.h"
#include "framework/XGFile.h"
#include "framework/XGFileLock.h"
#include "framework/qt/XGDialog.h"
#include "framework/qt/XGFactories.h"
#include "framework/qt/XGAlert.h"
#include "framework/qt/XGFileDialog.h"
#include "framework/qt/XGGuard.h"
#include "framework/qt/XGMenuBar.h"
#include "framework/qt/XGModalDialog.h"
#include "framework/qt/XGPictures.h"
#include "framework/qt/XGView.h"
#include "framework/qt/XGWindow.h"
#include "build/foundation_build.h"
#include "build/tag_format_update.h"
#include "map/TMeshForm.h"
#include "map/mesh_map.h"
#include "model/TskmdViewer.h"
#include "shell/TAllTagForm.h"
#include "shell/TCheckReferencesForm.h"
#include "shell/TChooseTagDialog.h"
#include "shell/TFindTagDialog.h"
#include "shell/TNewMeshDialog.h"
#include "shell/TBitmapView.h"
#include "shell/TTagEditBackground.h"
#include "shell/TTagEditHeader.h"
#include "shell/TTagEditForm.h"
#include "shell/TTagEditorBase.h"
#include "shell/TTagFileForm.h"
#include "shell/TTagFileWatcher.h"
#include "shell/TTreeView.h"
#include "shell/TWorkSummary.h"
#include "shell/forms/editor_forms.h"
#include "sound/TAudioOutputSink.h"
#include "sound/sound_player.h"
#include "tags/tag_types.h"

#ifdef QUENCHOLD_PRINT_SUPPORT
#include <QPageSetupDialog>
#include <QPrinter>
#endif

namespace {

constexpr int32_t kProgramIcon = 129;
constexpr int32_t kFormatUpdatedResource = 165;
constexpr int kSaveLockWait = 5000; // milliseconds

constexpr const char* kRecentFilesKey = "recentFiles";

QSettings Settings()
{
    return QSettings("Quenchold", "Quenchold");
}

// The New Mesh dialog asks the size of a new map.
void EditorMeshDefaults(tag_entry* e)
{
    int32_t width = 0, height = 0;
    if (TNewMeshDialog::Run(width, height)) set_mesh_defaults(e, width, height);
}

} // namespace

XG_BEGIN_DISPATCH(TTolvaneApp, XGAppMultiWindow)
    XG_ON(kXGStatusMessage, &TTolvaneApp::DoStatus)
    XG_ON(kXGMenuMessage, &TTolvaneApp::DoMenu)
    XG_ON(kXGOpenDocument, &TTolvaneApp::DoOpenDocument)
    XG_ON(kXGOpenApplication, &TTolvaneApp::DoOpenApplication)
XG_END_DISPATCH()

TTolvaneApp::TTolvaneApp(std::string dataFolder)
    : fDataFolder(std::move(dataFolder)), fContext(std::make_unique<QObject>())
{
    SetName("Quenchold");
    QApplication::setWindowIcon(QIcon(XGGetPicture(kProgramIcon)));
    // the framework's classes were registered by the application core; these are the program's own
    XGRegisterView("Tree"_4cc, XGMakeView<TTreeView>);
    XGRegisterView("bmap"_4cc, XGMakeView<TBitmapView>);
    XGRegisterView("TGED"_4cc, XGMakeView<TTagEditHeader>);
    XGRegisterView("TGBK"_4cc, XGMakeView<TTagEditBackground>);
    TskmdViewer::Register();

    set_tag_type_core_hooks("mesh"_4cc, EditorMeshDefaults, nullptr, nullptr);
    install_tag_editor_forms();
    install_map_editors();
    fScript.set_alert_handler([](const std::string& message, const std::string& explanation,
                                 const std::string& caption) { XGShowAlert(kXGError, message, explanation, caption); });

    XGDirectory::SetDefault(fDataFolder);
    // every open tag file keeps its file open; a save waits a while for another program's
    XGFile::RaiseOpenFileLimit();
    XGFileLock::SetWait(kSaveLockWait);
    fStore.load_data_folder(fDataFolder);
    fListener = fStore.add_tag_changed_listener([this](tag_code type, tag_code id) {
        TagListChanged();
        TTagEditForm::BroadcastTagChanged(type, id);
    });
    fWatcher = std::make_unique<TTagFileWatcher>(*this);
}

TTolvaneApp::~TTolvaneApp()
{
    fWatcher.reset();
    // the windows point into the store
    while (!GetWindows().empty()) delete GetWindows().back();
    fStore.remove_tag_changed_listener(fListener);
}

void TTolvaneApp::Initialize()
{
    XGAppMultiWindow::Initialize();
    if (XGMenuBar* bar = GetMenuBar())
        bar->AddListedSubmenu(kCommandOpen, "Open &Recent", [this] {
            std::vector<std::pair<std::string, int16_t>> items;
            std::vector<std::string> recent = GetRecentFiles();
            for (size_t i = 0; i < recent.size(); ++i)
                items.emplace_back(std::to_string(i + 1 == 10 ? 0 : i + 1) + "  " + recent[i],
                                   int16_t(kCommandFirstRecentFile + int(i)));
            return items;
        });
}

std::vector<std::string> TTolvaneApp::GetRecentFiles() const
{
    std::vector<std::string> paths;
    for (const QString& path : Settings().value(kRecentFilesKey).toStringList())
        if (int(paths.size()) < MAXIMUM_RECENT_FILES) paths.push_back(path.toStdString());
    return paths;
}

void TTolvaneApp::SetRecentFiles(const std::vector<std::string>& paths)
{
    QStringList list;
    for (const std::string& path : paths)
        if (list.size() < MAXIMUM_RECENT_FILES) list << QString::fromStdString(path);
    Settings().setValue(kRecentFilesKey, list);
}

void TTolvaneApp::AddRecentFile(const std::string& path)
{
    if (path.empty()) return;
    std::string normal = XGNormalPath(path);
    std::vector<std::string> paths = GetRecentFiles();
    paths.erase(std::remove(paths.begin(), paths.end(), normal), paths.end());
    paths.insert(paths.begin(), normal);
    SetRecentFiles(paths);
}

void TTolvaneApp::OpenRecentFile(int index)
{
    std::vector<std::string> paths = GetRecentFiles();
    if (index < 0 || index >= int(paths.size())) return;
    std::string path = paths[size_t(index)];
    try {
        OpenTagFile(path);
    } catch (...) {
        // a file that cannot be opened any more leaves the list
        paths.erase(paths.begin() + index);
        SetRecentFiles(paths);
        throw;
    }
}

TSoundPlayer& TTolvaneApp::GetSoundPlayer()
{
    if (!fSoundPlayer) fSoundPlayer = std::make_unique<TSoundPlayer>(make_audio_output_sink);
    return *fSoundPlayer;
}

TTolvaneApp* TTolvaneApp::Get()
{
    return dynamic_cast<TTolvaneApp*>(XGAppCore::Get());
}

void TTolvaneApp::TagListChanged()
{
    if (!fAllTags || fRefreshPending) return;
    fRefreshPending = true;
    QTimer::singleShot(0, fContext.get(), [this] {
        fRefreshPending = false;
        if (fAllTags) XGGuard([this] { fAllTags->RefreshKeepingSelection(); });
    });
}

TTagFileForm* TTolvaneApp::ShowTagFileWindow(tag_file* f, bool front)
{
    if (TTagFileForm* form = TTagFileForm::FromFile(f)) {
        if (front) form->GetWindow()->BringToFront();
        return form;
    }
    TTagFileForm* form = TTagFileForm::Create(f);
    form->GetWindow()->Show(front);
    return form;
}

tag_file* TTolvaneApp::OpenTagFile(const std::string& path)
{
    std::string why;
    tag_file* f = fStore.open_tag_file(path, false, &why);
    if (!f) throw XGPostError(kXGFileOpenError, {path + " (" + why + ")"});
    AddRecentFile(f->path);
    TagListChanged();
    ShowTagFileWindow(f, true);
    return f;
}

void TTolvaneApp::FilesDropped(const std::vector<std::string>& paths)
{
    for (const std::string& path : paths) XGGuard([&] { OpenTagFile(path); });
}

TAllTagForm* TTolvaneApp::ShowAllTagWindow()
{
    if (!fAllTags) {
        fAllTags = TAllTagForm::Create();
        fAllTags->GetWindow()->Show(true);
    } else {
        fAllTags->GetWindow()->BringToFront();
    }
    return fAllTags;
}

TCheckReferencesForm* TTolvaneApp::ShowCheckReferencesWindow()
{
    if (!fCheckReferences) {
        fCheckReferences = TCheckReferencesForm::Create();
        fCheckReferences->GetWindow()->Show(true);
    } else {
        fCheckReferences->Check();
        fCheckReferences->GetWindow()->BringToFront();
    }
    return fCheckReferences;
}

void TTolvaneApp::CloseTagEditors(tag_file* f)
{
    for (tag_group* g = f->groups; g; g = g->next)
        for (tag_entry* e = g->entries; e; e = e->next)
            if (TTagEditorBase* editor = TTagEditorBase::FromTag(e))
                if (editor->GetWindow()) editor->GetWindow()->Close(false);
}

void TTolvaneApp::OpenTagEditor(tag_entry* e, bool alternate)
{
    tag_check_entry(e);
    TTagFileForm* fileWindow = ShowTagFileWindow(e->file, false);
    bool updated = update_tag_format(e);
    bool opened = false;
    if (TTagEditorBase* editor = TTagEditorBase::FromTag(e)) {
        editor->GetWindow()->BringToFront();
        opened = true;
    } else if (tag_editor_hook hook = tag_type_editor_hook(e->group->type, alternate)) {
        auto* window = static_cast<XGWindow*>(hook(e));
        if (TTagEditorBase* editor = TTagEditorBase::FromTag(e)) {
            editor->UpdateTitle();
            editor->LoadTag();
            editor->GetWindow()->Show(true);
            opened = true;
        } else if (window) {
            window->Show(true);
            opened = true;
        }
    }
    if (updated) {
        fileWindow->UpdateTitle();
        fileWindow->Refresh(true);
        XGModalDialog(std::make_unique<XGForm>(), kFormatUpdatedResource).Run();
    }
    if (!opened) {
        fileWindow->GetWindow()->BringToFront();
        fileWindow->SelectTag(e, true, true);
    }
}

void TTolvaneApp::NewTagFile()
{
    ShowTagFileWindow(fStore.new_tag_file(), true);
}

void TTolvaneApp::OpenTagFileCommand()
{
    std::string path = XGChooseFileToOpen("Varn 3 Tag File|*.tag|All Files|*.*", "tag");
    if (!path.empty()) OpenTagFile(path);
}

void TTolvaneApp::BuildFoundation(const std::string& rootList, TWork* work)
{
    foundation_build_result r = build_foundation(fStore, rootList, fDataFolder, work ? work->Progress() : nullptr);
    std::string skipped;
    for (const std::string& item : r.skipped_items) skipped += (skipped.empty() ? "'" : ", '") + item + "'";
    if (IsHeadless()) {
        for (const foundation_output& output : r.outputs)
            std::printf("%s/%s: %s\n", r.folder.c_str(), output.name.c_str(), foundation_output_summary(output).c_str());
        std::printf("%s/%s: %d %s\n", r.folder.c_str(), DEPENDENCY_LOG_NAME, r.log_lines,
                    r.log_lines == 1 ? "line" : "lines");
        std::fflush(stdout);
    }
    if (!skipped.empty())
        ReportError(XGError(kXGWarning, "Root List Items Skipped",
                            "These items of " + rootList + " are not TYPE:ID and were skipped: " + skipped + "."));
    if (!r.finished) throw XGError(kXGError, "Build Foundation Tags", r.failure);
    if (!work) return;
    std::string summary = "Built the foundation tags of " + rootList + " (" + std::to_string(r.collected) +
                          (r.collected == 1 ? " tag" : " tags") + ") into " + r.folder + ":\n";
    for (const foundation_output& output : r.outputs)
        summary += "  " + output.name + ": " + foundation_output_summary(output) + "\n";
    summary += "  " + std::string(DEPENDENCY_LOG_NAME) + ": " + std::to_string(r.log_lines) +
               (r.log_lines == 1 ? " line" : " lines");
    work->Finish(summary, r.folder + "/" + DEPENDENCY_LOG_NAME);
}

void TTolvaneApp::ExecuteScript(const std::string& path)
{
    // a parse error was shown by the script itself
    if (!fScript.load_script(path)) return;
    TWork work("Execute Script");
    work.Show("Running " + XGFileSpecifier(path).GetName());
    bool ran = fScript.run_script(fStore);
    fScript.free_script();
    std::vector<std::string> saved;
    if (ran) {
        work.Show("Saving the changed tag files");
        saved = SaveChangedFiles();
    }
    for (XGWindow* w : GetWindows())
        if (auto* form = dynamic_cast<TTagFileForm*>(w->GetForm())) {
            form->UpdateTitle();
            form->Refresh(true);
        }
    TagListChanged();
    std::string summary = "Ran the script " + path + ".\n";
    if (saved.empty()) summary += "No tag file needed saving.";
    else summary += "Saved:\n";
    for (const std::string& file : saved) summary += "  " + file + "\n";
    summary += "\nWhat the script did is in its log, " + fScript.log_path() + ".";
    work.Finish(summary, fScript.log_path());
}

std::vector<std::string> TTolvaneApp::SaveChangedFiles()
{
    std::vector<std::string> saved;
    for (tag_file* f = fStore.first_file(); f; f = f->next)
        if (tag_file_needs_saving(f) && !f->path.empty())
            if (XGGuard([&] { fStore.save_tag_file(f); })) saved.push_back(f->path);
    return saved;
}

void TTolvaneApp::BuildFoundationCommand()
{
    std::string path = XGChooseFileToOpen("All Files|*.*", "txt");
    if (path.empty()) return;
    TWork work("Build Foundation Tags");
    BuildFoundation(path, &work);
}

void TTolvaneApp::UpdateTagFormats()
{
    // stopping between files leaves each file whole
    TWork work("Update Tag Formats", true);
    tag_format_update_report report = update_all_tag_formats(
        fStore,
        [](tag_file* f) {
            if (TTagFileForm* window = TTagFileForm::FromFile(f)) {
                window->UpdateTitle();
                window->Refresh(true);
            }
        },
        work.Progress());
    for (const std::string& message : report.failed_saves) ReportError(XGPostError(kXGFileWriteError, {message}));
    std::string unreadable;
    for (const std::string& message : report.unreadable_tags) unreadable += message + "\n";
    if (!unreadable.empty()) ReportError(XGError(kXGWarning, "Tags Not Updated", unreadable));
    auto names = [](const std::vector<tag_file*>& files) {
        std::string list;
        for (const tag_file* f : files) list += "  " + f->path + "\n";
        return list;
    };
    std::string summary = report.cancelled ? "Stopped after " + std::to_string(report.files) + " of " +
                                                 std::to_string(fStore.file_count()) +
                                                 " tag files; the others were left as they were.\n"
                                           : "Looked at " + std::to_string(report.files) + " tag files.\n";
    if (report.converted + report.versioned == 0) {
        summary += "Every tag was in the current format; nothing was changed.";
    } else {
        summary += std::to_string(report.converted) + " tags converted, " + std::to_string(report.versioned) +
                   " given the current version.\n";
        if (!report.saved_files.empty()) summary += "Saved:\n" + names(report.saved_files);
        if (!report.refreshed_files.empty())
            summary += "Changed in their windows, not saved yet:\n" + names(report.refreshed_files);
        if (!report.failed_saves.empty())
            summary += std::to_string(report.failed_saves.size()) + " could not be saved (see the messages).";
    }
    work.Finish(summary);
}

void TTolvaneApp::PrintSetup()
{
#ifdef QUENCHOLD_PRINT_SUPPORT
    QPrinter printer;
    QPageSetupDialog dialog(&printer);
    dialog.exec();
#endif
}

void TTolvaneApp::FindTag()
{
    TFindTagDialog::Request request{fFindType, fFindId, fFindName};
    if (!TFindTagDialog::Ask(request)) return;
    fFindType = request.type;
    fFindId = request.id;
    fFindName = request.name;
    tag_entry* e = nullptr;
    if (request.name.empty()) {
        if (tag_id_is_none(request.type) || tag_id_is_none(request.id)) {
            XGShowAlert(kXGWarning, "Find Tag", "Type both a tag's type and its ID, or a part of its name.");
            return;
        }
        e = fStore.find_tag(request.type, request.id);
        if (!e) {
            XGShowAlert(kXGWarning, "Tag Not Found",
                        "No open tag file holds the tag " + tag_code_to_text(request.type) + "/" +
                            tag_code_to_text(request.id) + ".");
            return;
        }
    } else {
        std::vector<tag_entry*> matches = TFindTagDialog::Matches(fStore, request);
        std::string what = "\"" + request.name + "\"";
        if (!tag_id_is_none(request.type)) what += " of type " + tag_code_to_text(request.type);
        if (!tag_id_is_none(request.id)) what += " with the ID " + tag_code_to_text(request.id);
        if (matches.empty()) {
            XGShowAlert(kXGWarning, "Tag Not Found", "No open tag has a name containing " + what + ".");
            return;
        }
        e = matches.size() == 1 ? matches.front()
                                : TChooseTagDialog::Run(matches, std::to_string(matches.size()) +
                                                                     " tags have names containing " + what + ":");
        if (!e) return;
    }
    OpenTagEditor(e, false);
}

int32_t TTolvaneApp::DoStatus(XGCode, XGParam id, XGParam status)
{
    auto& s = *reinterpret_cast<XGCommandStatus*>(status);
    switch (id) {
    case kCommandExecuteScript:
    case kCommandNew:
    case kCommandOpen:
    case kCommandPrintSetup:
    case kCommandBuildFoundation:
    case kCommandOpenAllTags:
    case kCommandUpdateFormats:
    case kCommandFindTag:
    case kCommandCheckReferences:
        s.enabled = true;
        return 0;
    default:
        if (id >= kCommandFirstRecentFile && id < kCommandFirstRecentFile + MAXIMUM_RECENT_FILES) {
            s.enabled = int(id) - kCommandFirstRecentFile < int(GetRecentFiles().size());
            return 0;
        }
        return kXGNotHandled;
    }
}

int32_t TTolvaneApp::DoMenu(XGCode, XGParam id, XGParam)
{
    switch (id) {
    case kCommandNew: NewTagFile(); return 0;
    case kCommandOpen: OpenTagFileCommand(); return 0;
    case kCommandPrintSetup: PrintSetup(); return 0;
    case kCommandExecuteScript: {
        std::string path = XGChooseFileToOpen("Quenchold Script File|*.QSF", "QSF");
        if (!path.empty()) ExecuteScript(path);
        return 0;
    }
    case kCommandBuildFoundation: BuildFoundationCommand(); return 0;
    case kCommandUpdateFormats: UpdateTagFormats(); return 0;
    case kCommandOpenAllTags: ShowAllTagWindow(); return 0;
    case kCommandFindTag: FindTag(); return 0;
    case kCommandCheckReferences: ShowCheckReferencesWindow(); return 0;
    default:
        if (id >= kCommandFirstRecentFile && id < kCommandFirstRecentFile + MAXIMUM_RECENT_FILES) {
            OpenRecentFile(int(id) - kCommandFirstRecentFile);
            return 0;
        }
        return kXGNotHandled;
    }
}

int32_t TTolvaneApp::DoOpenDocument(XGCode, XGParam path, XGParam)
{
    // the document is a root list: build, then quit
    XGGuard([&] { BuildFoundation(*reinterpret_cast<const std::string*>(path)); });
    Send(kXGQuitApplication);
    return 0;
}

int32_t TTolvaneApp::DoOpenApplication(XGCode, XGParam, XGParam)
{
    return 0;
}
