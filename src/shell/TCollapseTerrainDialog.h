// "Collapse Terrain Detail" (view resource 155): a Detail Stack (1000) and a Terrain
// Stack (1001), each picked from the texture stacks with the tag pick list; Create....
// (1002) is enabled once both are chosen; Cancel is 1003.
#pragma once

#include "framework/qt/XGForm.h"
#include "tags/tags.h"

class TCollapseTerrainDialog : public XGForm {
    XG_DECLARE_DISPATCH()

public:
    static constexpr int32_t kResource = 155;
    static constexpr int32_t kDetailButton = 1000;
    static constexpr int32_t kTerrainButton = 1001;
    static constexpr int32_t kCreate = 1002;
    static constexpr int32_t kCancel = 1003;

    explicit TCollapseTerrainDialog(tag_file* file) : fFile(file) {}

    // Shows the dialog; false when it was closed without Create.
    static bool Run(tag_file* file, tag_code& terrain, tag_code& detail);

    void WindowBuilt() override;

private:
    void Show();
    int32_t DoClick(XGCode code, XGParam id, XGParam view);

    tag_file* fFile;
    tag_code fDetail = NONE_TAG;
    tag_code fTerrain = NONE_TAG;
};
