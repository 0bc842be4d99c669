// The application: the root of the dispatch chain. It loads the tag files of the
// data folder's tags, local and plugins subfolders, owns the tag store and the tag
// clipboard, answers the application's commands and opens every tag editor.
#pragma once

#include <memory>
#include <string>

#include "framework/qt/XGAppMultiWindow.h"
#include "script/script.h"
#include "tags/tag_clipboard.h"
#include "tags/tags.h"

class TAllTagForm;
class TCheckReferencesForm;
class TSoundPlayer;
class TTagFileForm;
class TTagFileWatcher;
class TWork;

// Application commands of the menu bar.
enum : int16_t {
    kCommandExecuteScript = 16,
    kCommandNew = 101,
    kCommandOpen = 102,
    kCommandPrintSetup = 103,
    kCommandBuildFoundation = 105,
    kCommandOpenAllTags = 106,
    kCommandUpdateFormats = 107,
    kCommandFindTag = 9805,
    kCommandCheckReferences = 9809,
    kCommandFirstRecentFile = 120, // File > Open Recent: 120 to 129
};

constexpr int MAXIMUM_RECENT_FILES = 10;

class TTolvaneApp : public XGAppMultiWindow {
    XG_DECLARE_DISPATCH()

public:
    // Loads the tags, local and plugins subfolders of dataFolder.
    explicit TTolvaneApp(std::string dataFolder);
    ~TTolvaneApp() override;
    static TTolvaneApp* Get();
    // The frame, with File > Open Recent.
    void Initialize() override;

    TTagStore& GetStore() { return fStore; }
    const std::string& GetDataFolder() const { return fDataFolder; }
    TTagClipboard& GetClipboard() { return fClipboard; }

    // Opens the tag's editor (the alternate one when asked), after bringing the tag
    // to the current version of its type; a tag without an editor is selected in its
    // file's window.
    void OpenTagEditor(tag_entry* e, bool alternate);
    // The file's window, made when it has none; brought to the front when asked.
    TTagFileForm* ShowTagFileWindow(tag_file* f, bool front);
    // Opens the tag file at path (the open one when it is open) and shows its window;
    // a file that is not a tag file raises "File Open Error" with the reason.
    tag_file* OpenTagFile(const std::string& path);
    // The foundation build of a root list into the data folder's foundation_build; a
    // batch run prints what it wrote. Raises an error when the build did not finish.
    // With work, its progress follows the build and its summary ends it.
    void BuildFoundation(const std::string& rootList, TWork* work = nullptr);
    // Execute Script: parses the script file and runs it; then every open tag file that
    // needs saving (and has a path) is saved and the windows show what changed. The
    // summary says what was saved.
    void ExecuteScript(const std::string& path);
    // Update Tag Formats over every open file: files with a window are refreshed and
    // left modified, the others saved; failed saves and unreadable tags are reported.
    void UpdateTagFormats();
    // Tag files dropped on the frame open like File > Open; other files are said to be
    // no tag files.
    void FilesDropped(const std::vector<std::string>& paths) override;
    // The all-tags window, made when there is none, brought to the front.
    TAllTagForm* ShowAllTagWindow();
    TAllTagForm* GetAllTagWindow() const { return fAllTags; }
    void AllTagWindowGone() { fAllTags = nullptr; }
    // Check References: the window, made when there is none (else checked again), brought to the front.
    TCheckReferencesForm* ShowCheckReferencesWindow();
    void CheckReferencesWindowGone(TCheckReferencesForm* form)
    {
        if (fCheckReferences == form) fCheckReferences = nullptr;
    }
    // Closes the editors of the file's tags without their close checks.
    void CloseTagEditors(tag_file* f);
    // The set of tags changed (a file opened, closed or read again): the all-tags
    // window refreshes once the current command is done.
    void TagListChanged();
    // The tag files opened or saved last, newest first (at most 10, kept between runs).
    std::vector<std::string> GetRecentFiles() const;
    void AddRecentFile(const std::string& path);
    // The tag pick list's scope, remembered for the whole program.
    bool GetPickFileOnly() const { return fPickFileOnly; }
    void SetPickFileOnly(bool fileOnly) { fPickFileOnly = fileOnly; }
    // What the Find Tag dialog was asked last.
    tag_code GetFindType() const { return fFindType; }
    tag_code GetFindId() const { return fFindId; }
    const std::string& GetFindName() const { return fFindName; }
    // The program's sound output (the default audio device), made on first use.
    TSoundPlayer& GetSoundPlayer();

protected:
    int32_t DoStatus(XGCode code, XGParam id, XGParam status);
    int32_t DoMenu(XGCode code, XGParam id, XGParam);
    int32_t DoOpenDocument(XGCode code, XGParam path, XGParam);
    int32_t DoOpenApplication(XGCode code, XGParam, XGParam);

private:
    void NewTagFile();
    void BuildFoundationCommand();
    std::vector<std::string> SaveChangedFiles();
    void OpenTagFileCommand();
    void PrintSetup();
    void FindTag();
    void OpenRecentFile(int index);
    void SetRecentFiles(const std::vector<std::string>& paths);

    std::string fDataFolder;
    TTagStore fStore;
    TTagClipboard fClipboard;
    TScript fScript;
    TAllTagForm* fAllTags = nullptr;
    TCheckReferencesForm* fCheckReferences = nullptr;
    tag_code fFindType = 0;
    tag_code fFindId = 0;
    std::string fFindName;
    bool fPickFileOnly = false;
    int fListener = 0;
    bool fRefreshPending = false;
    std::unique_ptr<QObject> fContext;
    std::unique_ptr<TSoundPlayer> fSoundPlayer;
    std::unique_ptr<TTagFileWatcher> fWatcher; // last: it looks into the store and the windows
};
