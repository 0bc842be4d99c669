// Global light: four colours with their swatches and two light directions.
#include <cstddef>

#include "shell/TStructEditForm.h"
#include "shell/forms/editor_forms.h"
#include "tags/gameplay/glli.h"

namespace {

using T = global_light_definition;

enum : int32_t {
    kFirstChannel = 22300,
    kSwatch = 22320,
    kFirstDirection = 22330,
};

const TBindingTable& Table()
{
    static const TBindingTable table = struct_bindings<T>({
        value_series(kFirstChannel + 0, offsetof(T, fields) + 0, 3, 2, kUnsigned16Unit),
        value_series(kFirstChannel + 4, offsetof(T, fields) + 8, 3, 2, kUnsigned16Unit),
        value_series(kFirstChannel + 8, offsetof(T, fields) + 16, 3, 2, kUnsigned16Unit),
        value_series(kFirstChannel + 12, offsetof(T, fields) + 24, 3, 2, kUnsigned16Unit),
        bind_color(kSwatch + 0, offsetof(T, fields) + 0),
        bind_color(kSwatch + 1, offsetof(T, fields) + 8),
        bind_color(kSwatch + 2, offsetof(T, fields) + 16),
        bind_color(kSwatch + 3, offsetof(T, fields) + 24),
        value_series(kFirstDirection, offsetof(T, fixed_fields), 6, 4, kFixed16SignedUnit),
    });
    return table;
}

class TglliEditForm : public TStructEditForm<T> {
public:
    static constexpr int32_t kResource = 1031;
    explicit TglliEditForm(tag_entry* e) : TStructEditForm(e, Table()) {}
};

} // namespace

void* open_glli_editor(tag_entry* e)
{
    return TTagEditForm::Open<TglliEditForm>(e, TglliEditForm::kResource);
}
