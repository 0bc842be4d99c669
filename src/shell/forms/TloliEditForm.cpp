// Local light: its position jitter and colour flicker numbers.
#include <cstddef>

#include "shell/TStructEditForm.h"
#include "shell/forms/editor_forms.h"
#include "tags/gameplay/loli.h"

namespace {

using T = local_light_definition;

enum : int32_t {
    kField0 = 22200,
    kField8 = 22204,
    kField12 = 22205,
};

const TBindingTable& Table()
{
    static const TBindingTable table = struct_bindings<T>({
        value_series(kField0, offsetof(T, field_0), 4, 2, kInteger16Unit),
        bind_value(kField8, offsetof(T, field_8), kInteger32Unit),
        value_series(kField12, offsetof(T, field_12), 18, 2, kInteger16Unit),
    });
    return table;
}

class TloliEditForm : public TStructEditForm<T> {
public:
    static constexpr int32_t kResource = 1030;
    explicit TloliEditForm(tag_entry* e) : TStructEditForm(e, Table()) {}
};

} // namespace

void* open_loli_editor(tag_entry* e)
{
    return TTagEditForm::Open<TloliEditForm>(e, TloliEditForm::kResource);
}
