// What the tag file window and the all-tags window share: the tag tree (control 1)
// with its rows, the filter box above it (control 2), the selection shown in the
// frame's status bar, and the commands both offer (Open Tag, Tag Info, Find
// Duplicates, double-click).
#pragma once

#include <string>
#include <vector>

#include "framework/qt/XGForm.h"
#include "shell/tag_filter.h"
#include "shell/tag_row_record.h"

class TTolvaneApp;
class TTreeView;
struct TTreeItem;

enum : int16_t {
    kCommandRedo = 17,
    kCommandSave = 13,
    kCommandSaveAs = 14,
    kCommandRevert = 15,
    kCommandCreateTag = 401,
    kCommandOpenTag = 402,
    kCommandTagInfo = 403,
    kCommandFindDuplicates = 9806,
    kCommandOverrideInPlugin = 9808,
    kCommandImportCameraMotion = 1005,
    kCommandImportCin = 1006,
    kCommandImportColormap = 2016,
    kCommandCollapseTerrain = 2018,
};

constexpr int32_t kTagTreeResource = 128;
constexpr int32_t kTagTreeControl = 1;
constexpr int32_t kTagFilterControl = 2;
constexpr int MAXIMUM_REMEMBERED_EXPANDED_ROWS = 128;

class TTagTreeForm : public XGForm {
    XG_DECLARE_DISPATCH()

public:
    TTreeView* GetTree() const { return fTree; }
    void WindowBuilt() override;

    // Rebuilds the tree from the store; redraws when asked.
    virtual void Refresh(bool redraw) = 0;
    // Narrows the rows to the tags that pass the filter (an empty text shows them all);
    // the filter box calls it as one types.
    void SetFilter(const std::string& text);
    const TTagFilter& GetFilter() const { return fFilter; }
    // The status bar's line for a tag: its type, id, size, version and file.
    static std::string StatusText(const tag_entry* e);
    // Shows the first selected tag in the frame's status bar.
    void ShowSelectionStatus();

    // Selects the tag's row (after clearing the selection when asked), expanding its type row when asked.
    void SelectTag(tag_entry* e, bool expand, bool clear);

    // The records of the selected rows, in selection order.
    std::vector<tag_row_record> GetSelectedRows() const;
    // The selected tag rows' tags that are still in the store.
    std::vector<tag_entry*> GetSelectedTags() const;

    // Row texts: "%s (%s) [%.fk]" for a tag, the type's plural name for a type.
    static std::string TagRowText(const tag_entry* e);
    static std::string TypeRowText(tag_code type);
    // 130 a tag with an editor, 132 such a tag with unsaved changes, 131 a tag without one.
    static int32_t TagRowIcon(const tag_entry* e);

protected:
    TTolvaneApp* App() const;
    TTagStore& Store() const;
    TTreeItem* AddTypeRow(tag_file* f, tag_code type, tag_group* g);
    TTreeItem* AddTagRow(TTreeItem* typeRow, tag_entry* e, const std::string& text = {});
    // The type rows to expand when the tree is built again: those the person expanded
    // in the unfiltered tree (a filtered tree shows every type row expanded).
    std::vector<tag_code> ExpandedTypes();
    // Whether the group has a tag that passes the filter.
    bool GroupPasses(const tag_group* g) const;
    // Called at the end of a refresh.
    void RefreshDone();
    static tag_row_record RowOf(const TTreeItem* item);

    void OpenSelectedTags();
    // The Tag Info dialog for every selected tag; file is what "Unique for type within
    // file" means (null: each tag's own file).
    void TagInfoForSelection(tag_file* file);
    void FindDuplicates();
    int32_t DoubleClicked(TTreeItem* item, int32_t modifiers);
    // Return or Enter opens the selected tags' editors as double-click does (with Control
    // the alternate ones) and opens or closes the selected type rows; false for other keys.
    bool ReturnPressed(int32_t key, int32_t modifiers);
    // Command status shared by both windows; -1 for the others.
    int32_t SharedStatus(int16_t id, struct XGCommandStatus& status) const;

    TTreeView* fTree = nullptr;
    TTagFilter fFilter;

private:
    int32_t DoValue(XGCode code, XGParam id, XGParam view);
    int32_t DoSelect(XGCode code, XGParam id, XGParam view);

    bool fShowsFiltered = false;
    std::vector<tag_code> fUnfilteredExpanded;
};
