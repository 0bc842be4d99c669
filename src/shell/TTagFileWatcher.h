// Watches the open tag files on disk (each file and its folder). A file that another program
// changed is read again when it has no unsaved changes: its window shows the new contents,
// the editors of tags still in it show their new data and those of tags gone close. With
// unsaved changes the user chooses between reloading (the changes are lost) and keeping them;
// the file can then only be saved with Save As, as the store refuses to write over the other
// program's file. A file removed from the disk, or no tag file any more, is closed.
#pragma once

#include <QFileSystemWatcher>
#include <QObject>
#include <QTimer>
#include <map>
#include <set>
#include <string>

#include "framework/XGFile.h"
#include "tags/tags.h"

class TTolvaneApp;

class TTagFileWatcher : public QObject {
public:
    // The answers of the question about a changed file with unsaved changes.
    static constexpr int32_t kKeepMine = 100;
    static constexpr int32_t kReload = 102;

    explicit TTagFileWatcher(TTolvaneApp& app);

    // Watches every open file with a path (and its folder), and nothing else.
    void Sync();
    // Looks at every open file and acts on those changed on disk.
    void CheckFiles();

private:
    void Settle();
    void Changed(tag_file* f);
    bool HasUnsavedChanges(tag_file* f) const;
    bool AskReload(tag_file* f);
    void Reload(tag_file* f);
    void Close(tag_file* f, const std::string& what);

    TTolvaneApp& fApp;
    QFileSystemWatcher fWatcher;
    QTimer fSettle; // events come in bursts: one look once they stop
    QTimer fSync;
    std::set<std::string> fWatched;
    std::map<std::string, XGFileStamp> fKept; // files whose user kept their changes, as they were on disk then
    bool fChecking = false;
};
