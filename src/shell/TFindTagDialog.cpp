#include "shell/TFindTagDialog.h"

#include <algorithm>

#include "framework/qt/XGDialog.h"
#include "framework/qt/XGEditText.h"
#include "framework/qt/XGModalDialog.h"
#include "shell/TTreeView.h"

namespace {

constexpr size_t kFieldCharacters = 16;

std::string Trimmed(std::string text, size_t limit)
{
    text = text.substr(0, limit);
    size_t start = text.find_first_not_of(" \t");
    size_t end = text.find_last_not_of(" \t");
    return start == std::string::npos ? std::string() : text.substr(start, end - start + 1);
}

std::string CodeText(tag_code code)
{
    return tag_id_is_none(code) ? std::string() : tag_code_to_text(code);
}

} // namespace

bool TFindTagDialog::Ask(Request& request)
{
    XGModalDialog modal(std::make_unique<TFindTagDialog>(request), kResource);
    XGDialog* dialog = modal.GetDialog();
    if (modal.Run() != kOK) return false;
    auto text = [&](int32_t id, size_t limit) {
        XGView* v = dialog->FindView(id);
        return Trimmed(v ? v->GetText() : std::string(), limit);
    };
    request.type = text_to_tag_code(text(kTypeField, kFieldCharacters));
    request.id = text_to_tag_code(text(kIdField, kFieldCharacters));
    request.name = text(kNameField, MAXIMUM_TAG_NAME_LENGTH);
    return true;
}

void TFindTagDialog::WindowBuilt()
{
    SetControlText(kTypeField, CodeText(fRequest.type));
    SetControlText(kIdField, CodeText(fRequest.id));
    SetControlText(kNameField, fRequest.name);
    // typing replaces what was asked last: by name when that was how
    int32_t first = fRequest.name.empty() ? kTypeField : kNameField;
    if (auto* field = dynamic_cast<XGEditText*>(FindView(first))) {
        field->SelectAll();
        field->Focus();
    }
}

std::vector<tag_entry*> TFindTagDialog::Matches(TTagStore& store, const Request& request)
{
    std::string part = TTreeView::FoldCase(request.name);
    std::vector<tag_entry*> found;
    for (tag_entry* e = store.next_entry(nullptr); e; e = store.next_entry(e)) {
        if (!tag_id_is_none(request.type) && e->group->type != request.type) continue;
        if (!tag_id_is_none(request.id) && e->id != request.id) continue;
        if (TTreeView::FoldCase(e->name).find(part) != std::string::npos) found.push_back(e);
    }
    std::stable_sort(found.begin(), found.end(), [](const tag_entry* a, const tag_entry* b) {
        return TTreeView::CompareText(a->name, b->name) < 0;
    });
    return found;
}
