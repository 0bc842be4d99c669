// "Find Tag" (view resource 166): a tag's type (1) and id (2), or a part of its name
// (3), which the type and the id narrow when they are given. OK is 1001, Cancel 1002.
// The dialog opens with what was asked last, the text of its first field selected.
#pragma once

#include <string>
#include <vector>

#include "framework/qt/XGForm.h"
#include "tags/tags.h"

class TFindTagDialog : public XGForm {
public:
    static constexpr int32_t kResource = 166;
    static constexpr int32_t kTypeField = 1;
    static constexpr int32_t kIdField = 2;
    static constexpr int32_t kNameField = 3;
    static constexpr int32_t kOK = 1001;
    static constexpr int32_t kCancel = 1002;

    // What is looked for: a none code (0 or -1) is not given.
    struct Request {
        tag_code type = 0;
        tag_code id = 0;
        std::string name;
    };

    explicit TFindTagDialog(Request request) : fRequest(std::move(request)) {}

    // Shows the dialog preset with request; on OK the request is what was typed
    // (each field trimmed, the codes as four characters); false for Cancel.
    static bool Ask(Request& request);
    // The open tags whose names hold the name part, ignoring case, of the type and
    // the id when given; sorted by name, then in store order.
    static std::vector<tag_entry*> Matches(TTagStore& store, const Request& request);

    void WindowBuilt() override;

private:
    Request fRequest;
};
