// "Create New Tag" (view resource 130): a name, a type among those that have
// defaults, and the id choice. OK (100) only while a type is chosen; Cancel is 101.
#pragma once

#include <string>
#include <vector>

#include "shell/TTagIdForm.h"

class TCreateTagDialog : public TTagIdForm {
    XG_DECLARE_DISPATCH()

public:
    static constexpr int32_t kResource = 130;
    static constexpr int32_t kTypeList = 2;
    static constexpr int32_t kOK = 100;
    static constexpr int32_t kCancel = 101;

    struct Choice {
        std::string name;
        tag_code type = 0;
        tag_code id = 0;
    };

    TCreateTagDialog(TTagStore& store, tag_file* file) : TTagIdForm(store, file) {}

    // Shows the dialog; false when it was cancelled.
    static bool Run(tag_file* file, Choice& choice);

    void WindowBuilt() override;
    tag_code GetType() const override;
    // The types offered, in registry order.
    const std::vector<tag_code>& GetTypes() const { return fTypes; }

protected:
    void Changed() override;

private:
    int32_t DoOK(XGCode code, XGParam id, XGParam view);

    std::vector<tag_code> fTypes;
    Choice fChoice;
};
