// Formation: its nineteen line and spacing numbers.
#include <cstddef>

#include "shell/TStructEditForm.h"
#include "shell/forms/editor_forms.h"
#include "tags/gameplay/form.h"

namespace {

using T = formation_definition;

enum : int32_t {
    kFirstValue = 20300,
};

const TBindingTable& Table()
{
    static const TBindingTable table = struct_bindings<T>({
        value_series(kFirstValue, offsetof(T, fields), 19, 2, kInteger16Unit),
    });
    return table;
}

class TformEditForm : public TStructEditForm<T> {
public:
    static constexpr int32_t kResource = 1005;
    explicit TformEditForm(tag_entry* e) : TStructEditForm(e, Table()) {}
};

} // namespace

void* open_form_editor(tag_entry* e)
{
    return TTagEditForm::Open<TformEditForm>(e, TformEditForm::kResource);
}
