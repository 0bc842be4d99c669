// "Check References" (view resource 172): the open tags' references to tags that are
// not open, their unreadable tags and their ids given twice within one file, with a
// count above them. A double-click opens the editor of the row's tag; Check Again
// looks once more.
#pragma once

#include <vector>

#include "framework/qt/XGForm.h"
#include "shell/tag_row_record.h"

class TCheckReferencesForm : public XGForm {
    XG_DECLARE_DISPATCH()

public:
    static constexpr int32_t kResource = 172;
    static constexpr int32_t kCountText = 1;
    static constexpr int32_t kList = 2;
    static constexpr int32_t kCheckAgain = 3;

    ~TCheckReferencesForm() override;
    // Builds the window; not shown yet.
    static TCheckReferencesForm* Create();

    void WindowBuilt() override;
    // Checks the store's tags again and lists what it found.
    void Check();
    // Opens the editor of the row's tag; a tag that is no longer open is said to be gone.
    void OpenRow(int32_t row);

private:
    int32_t DoClick(XGCode code, XGParam id, XGParam);
    int32_t DoListValue(XGCode code, XGParam id, XGParam);

    std::vector<tag_row_record> fRows;
};
