// The window of one tag file: its tags in a tree grouped by type, and the file's
// commands (save, save as, revert, the tag clipboard, create tag, tag info, the
// imports, drops of files and dragged tags, each of which Undo takes back and Redo
// makes again) and close check.
#pragma once

#include <string>
#include <vector>

#include "shell/TTagTreeForm.h"
#include "tags/tag_file_history.h"

class XGDragData;

class TTagFileForm : public TTagTreeForm {
    XG_DECLARE_DISPATCH()

public:
    // A form without a file is a framework error ("tf").
    explicit TTagFileForm(tag_file* tf);
    ~TTagFileForm() override;

    // Builds the window (view resource 128) on the file; not shown yet.
    static TTagFileForm* Create(tag_file* f);
    static TTagFileForm* FromFile(const tag_file* f);

    tag_file* GetFile() const { return fFile; }
    void WindowBuilt() override;
    void Refresh(bool redraw) override;
    void UpdateTitle();
    // "(unsaved tag file)", or the path with " (readonly)", " (modified)" and " (changed on disk)".
    static std::string TitleFor(const tag_file* f);

    // "Save Window?" when the file needs saving.
    bool CanClose() override;

    // The tags a clipboard command applies to: every tag of each selected type row,
    // then each selected tag row whose type row is not selected.
    std::vector<tag_entry*> GetCommandTags() const;

    bool Save();
    bool SaveAs();
    void Revert();
    void Copy();
    void Cut();
    void Clear();
    void Paste();
    void CreateTag();
    void ImportCin();
    void ImportCameraMotion();
    void ImportColormap();
    void CollapseTerrain();
    void DropFiles(const std::vector<std::string>& paths);
    void DropRows(const std::vector<tag_row_record>& rows);
    void Undo();
    void Redo();
    const TTagFileHistory& GetHistory() const { return fHistory; }

protected:
    int32_t DoStatus(XGCode code, XGParam id, XGParam status);
    int32_t DoMenu(XGCode code, XGParam id, XGParam);
    int32_t DoDoubleClick(XGCode code, XGParam item, XGParam modifiers);
    int32_t DoKey(XGCode code, XGParam key, XGParam modifiers);
    int32_t DoCanDrop(XGCode code, XGParam data, XGParam);
    int32_t DoDrop(XGCode code, XGParam data, XGParam item);

private:
    // Lets go of the file without closing it.
    void DetachFile();
    void ReportUncopied(const std::vector<std::string>& names, const char* what);
    // Runs a command as one step of the history; removing names the tags it may delete.
    template <class F>
    void AsStep(F command, const std::vector<tag_entry*>& removing = {});
    // After an undo or redo: the editors of tags that went are closed, the rest follows.
    void Restored();

    tag_file* fFile;
    TTagFileHistory fHistory;
};
