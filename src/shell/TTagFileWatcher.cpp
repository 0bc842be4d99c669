#include "shell/TTagFileWatcher.h"

#include <QApplication>
#include <memory>
#include <vector>

#include "framework/XGFileSpecifier.h"
#include "framework/qt/XGAlert.h"
#include "framework/qt/XGDialog.h"
#include "framework/qt/XGFactories.h"
#include "framework/qt/XGGuard.h"
#include "framework/qt/XGWindow.h"
#include "shell/TTagEditForm.h"
#include "shell/TTagEditorBase.h"
#include "shell/TTagFileForm.h"
#include "shell/TTolvaneApp.h"

namespace {

constexpr int kSettleMilliseconds = 250;
constexpr int kSyncMilliseconds = 2000;

const char kAskTemplate[] = R"(dlog 0 0 0 430 140 "File Changed on Disk" default=100 cancel=100
  icon 0 14 14 32 32 kind=2
  text 1 60 12 356 80 "" wrap
  pbtn 102 14 104 190 24 "Reload and lose changes"
  pbtn 100 322 104 94 24 "Keep mine" default
)";

// The entry of fresh that stands for e: the same type and id, and as many like it before it.
tag_entry* Counterpart(tag_file& fresh, const tag_entry* e)
{
    int before = 0;
    for (const tag_entry* x = e->group->entries; x != e; x = x->next)
        if (x->id == e->id) ++before;
    tag_group* g = tag_file_group(&fresh, e->group->type);
    for (tag_entry* x = g ? g->entries : nullptr; x; x = x->next)
        if (x->id == e->id && before-- == 0) return x;
    return nullptr;
}

} // namespace

TTagFileWatcher::TTagFileWatcher(TTolvaneApp& app) : fApp(app)
{
    fSettle.setSingleShot(true);
    fSettle.setInterval(kSettleMilliseconds);
    connect(&fSettle, &QTimer::timeout, this, [this] { Settle(); });
    connect(&fWatcher, &QFileSystemWatcher::fileChanged, this, [this] { fSettle.start(); });
    connect(&fWatcher, &QFileSystemWatcher::directoryChanged, this, [this] { fSettle.start(); });
    // files opened, saved elsewhere or closed since
    fSync.setInterval(kSyncMilliseconds);
    connect(&fSync, &QTimer::timeout, this, [this] { Sync(); });
    fSync.start();
    Sync();
}

void TTagFileWatcher::Sync()
{
    std::set<std::string> wanted;
    for (tag_file* f = fApp.GetStore().first_file(); f; f = f->next) {
        if (f->path.empty()) continue;
        std::string path = XGNormalPath(f->path);
        wanted.insert(XGFileSpecifier(path).GetFolder());
        wanted.insert(path);
    }
    // a file replaced by rename drops out of the watcher: it is watched again
    QStringList held = fWatcher.files() + fWatcher.directories();
    std::set<std::string> watched;
    for (const QString& path : held) watched.insert(path.toStdString());
    QStringList add, remove;
    for (const std::string& path : wanted)
        if (!watched.count(path) && XGFile::Exists(path)) add << QString::fromStdString(path);
    for (const std::string& path : watched)
        if (!wanted.count(path)) remove << QString::fromStdString(path);
    if (!remove.isEmpty()) fWatcher.removePaths(remove);
    if (!add.isEmpty()) fWatcher.addPaths(add);
    for (auto it = fKept.begin(); it != fKept.end();)
        it = wanted.count(it->first) ? std::next(it) : fKept.erase(it);
}

void TTagFileWatcher::Settle()
{
    // never under a dialog, which may hold tags of the file
    if (fChecking || QApplication::activeModalWidget()) {
        fSettle.start();
        return;
    }
    CheckFiles();
}

void TTagFileWatcher::CheckFiles()
{
    fChecking = true;
    std::vector<tag_file*> changed;
    for (tag_file* f = fApp.GetStore().first_file(); f; f = f->next)
        if (tag_file_changed_on_disk(f)) changed.push_back(f);
    for (tag_file* f : changed) {
        // a file closed by an earlier one's handling is gone from the list
        bool open = false;
        for (tag_file* g = fApp.GetStore().first_file(); g && !open; g = g->next) open = g == f;
        if (open) XGGuard([&] { Changed(f); });
    }
    fChecking = false;
    Sync();
}

bool TTagFileWatcher::HasUnsavedChanges(tag_file* f) const
{
    if (tag_file_needs_saving(f)) return true;
    for (tag_group* g = f->groups; g; g = g->next)
        for (tag_entry* e = g->entries; e; e = e->next)
            if (auto* editor = dynamic_cast<TTagEditForm*>(TTagEditorBase::FromTag(e)))
                if (editor->HasChanges()) return true;
    return false;
}

void TTagFileWatcher::Changed(tag_file* f)
{
    std::string path = XGNormalPath(f->path);
    XGFileStamp now = XGFile::StampOf(f->path);
    auto kept = fKept.find(path);
    if (kept != fKept.end() && kept->second == now) return; // asked about this already
    if (HasUnsavedChanges(f) && !AskReload(f)) {
        fKept[path] = now;
        if (TTagFileForm* window = TTagFileForm::FromFile(f)) window->UpdateTitle();
        return;
    }
    fKept.erase(path);
    if (!now.exists) {
        Close(f, f->path + " was removed by another program; it was closed.");
        return;
    }
    Reload(f);
}

bool TTagFileWatcher::AskReload(tag_file* f)
{
    XGViewRecord record;
    std::string why;
    XG_ASSERT(XGParseViewText(kAskTemplate, record, &why), "TTagFileWatcher");
    for (XGViewRecord& child : record.children)
        if (child.id == 1)
            child.text = f->path + " was changed by another program. Your changes to it are not saved: reload it "
                                   "and lose them, or keep yours (it can then only be saved with Save As).";
    std::unique_ptr<XGWindow> window(XGBuildWindow(record));
    auto* dialog = dynamic_cast<XGDialog*>(window.get());
    XG_ASSERT(dialog != nullptr, "TTagFileWatcher");
    return dialog->RunModal() == kReload;
}

void TTagFileWatcher::Reload(tag_file* f)
{
    // the editors of tags still there move to their new entries, the others close first
    std::vector<std::pair<TTagEditorBase*, tag_entry*>> moved;
    std::string why;
    bool read = fApp.GetStore().reload_tag_file(f, &why, [&](tag_file& fresh) {
        for (tag_group* g = f->groups; g; g = g->next)
            for (tag_entry* e = g->entries; e; e = e->next) {
                TTagEditorBase* editor = TTagEditorBase::FromTag(e);
                if (!editor) continue;
                if (tag_entry* now = Counterpart(fresh, e)) moved.emplace_back(editor, now);
                else if (editor->GetWindow()) editor->GetWindow()->Close(false);
                else editor->ReleaseTag();
            }
    });
    if (!read) {
        Close(f, f->path + " is no tag file any more (" + why + "); it was closed.");
        return;
    }
    for (auto& [editor, e] : moved) editor->Retarget(e);
    if (TTagFileForm* window = TTagFileForm::FromFile(f)) {
        window->UpdateTitle();
        window->Refresh(true);
    }
    fApp.TagListChanged();
}

void TTagFileWatcher::Close(tag_file* f, const std::string& what)
{
    fApp.CloseTagEditors(f);
    if (TTagFileForm* window = TTagFileForm::FromFile(f)) window->GetWindow()->Close(false);
    fApp.GetStore().close_tag_file(f);
    fApp.TagListChanged();
    XGShowAlert(kXGWarning, "Tag File Closed", what);
}
