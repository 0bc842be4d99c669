// Observer constants: the camera's velocities and limits, forty-two numbers.
#include <cstddef>

#include "shell/TStructEditForm.h"
#include "shell/forms/editor_forms.h"
#include "tags/gameplay/obpc.h"

namespace {

using T = observer_constants_definition;

enum : int32_t {
    kFirstValue = 21100,
};

const TBindingTable& Table()
{
    static const TBindingTable table = struct_bindings<T>({
        value_series(kFirstValue, offsetof(T, fields), 42, 4, kInteger32Unit),
    });
    return table;
}

class TobpcEditForm : public TStructEditForm<T> {
public:
    static constexpr int32_t kResource = 1017;
    explicit TobpcEditForm(tag_entry* e) : TStructEditForm(e, Table()) {}
};

} // namespace

void* open_obpc_editor(tag_entry* e)
{
    return TTagEditForm::Open<TobpcEditForm>(e, TobpcEditForm::kResource);
}
