// The tag pick list (view resource 134), "Pick %s (%s)": the tags of one type, from
// the current file only (radio 6) or from every open file (radio 7), sorted by name.
// The side shows the selected tag's id (3), size (4) and file (5). Select (100)
// gives its id, None (102) gives -1, Cancel (101) gives 0. The scope is remembered
// for the whole program.
#pragma once

#include <string>
#include <vector>

#include "framework/qt/XGForm.h"
#include "tags/tags.h"

class TTagPickList : public XGForm {
    XG_DECLARE_DISPATCH()

public:
    static constexpr int32_t kResource = 134;
    static constexpr int32_t kList = 2;
    static constexpr int32_t kIdText = 3;
    static constexpr int32_t kSizeText = 4;
    static constexpr int32_t kFileText = 5;
    static constexpr int32_t kCurrentFileOnly = 6;
    static constexpr int32_t kAllFiles = 7;
    static constexpr int32_t kSelect = 100;
    static constexpr int32_t kCancel = 101;
    static constexpr int32_t kNone = 102;

    TTagPickList(TTagStore& store, tag_code type, tag_code current, tag_file* file);

    // The id chosen, -1 for None (or a tag no longer there), 0 for Cancel.
    static tag_code Run(tag_code type, tag_code current, tag_file* file);

    void WindowBuilt() override;
    // The path shown for a file: relative to the data folder with "/" between folders.
    static std::string ShownPath(const tag_file* f);
    // What a tag reference button shows: "(tag unassigned)" for 0 and -1, the tag's
    // name when it is open, else "(missing tag '%s')" with the id (always, without a store).
    static std::string ReferenceLabel(const TTagStore* store, tag_code type, tag_code id);

private:
    void Fill();
    void ShowSelection();
    int32_t DoClick(XGCode code, XGParam id, XGParam view);
    int32_t DoSelect(XGCode code, XGParam id, XGParam view);

    TTagStore& fStore;
    tag_code fType;
    tag_code fCurrent;
    tag_file* fFile;
    bool fFileOnly = false;
    std::vector<tag_entry*> fTags;
    tag_code fChosen = 0;
};
