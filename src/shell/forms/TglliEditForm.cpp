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
    static const TBindingTable table = [] {
        std::vector<TFieldBinding> rows = {

        };
        for (int c = 0; c < 4; ++c) {
            bind_series(rows, kFirstChannel + 4 * c, offsetof(T, fields) + 8 * c, 3, 2, kUnsigned16Unit);
            rows.push_back(bind_color(kSwatch + c, int32_t(offsetof(T, fields)) + 8 * c));
        }
        bind_series(rows, kFirstDirection, offsetof(T, fixed_fields), 6, 4, kFixed16SignedUnit);
        return TBindingTable(tag_struct_info<T>::codes, sizeof(T), rows);
    }();
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
