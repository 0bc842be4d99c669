// Wind: the time between adjustments, the largest adjustment per tick and the velocity components.
#include <cstddef>

#include "shell/TStructEditForm.h"
#include "shell/forms/editor_forms.h"
#include "tags/gameplay/wind.h"

namespace {

using T = wind_definition;

enum : int32_t {
    kTimeBetweenAdjustments = 22100,
    kMaximumAdjustment = 22101,
    kFirstComponent = 22102,
};

const TBindingTable& Table()
{
    static const TBindingTable table = struct_bindings<T>({
        bind_value(kTimeBetweenAdjustments, offsetof(T, fields) + 0, kTicksAsSeconds32Unit),
        bind_value(kMaximumAdjustment, offsetof(T, fields) + 4, kWorldUnits32Unit),
        value_series(kFirstComponent, offsetof(T, fields) + 8, 8, 4, kWorldUnits32Unit),
    });
    return table;
}

class TwindEditForm : public TStructEditForm<T> {
public:
    static constexpr int32_t kResource = 1028;
    explicit TwindEditForm(tag_entry* e) : TStructEditForm(e, Table()) {}
};

} // namespace

void* open_wind_editor(tag_entry* e)
{
    return TTagEditForm::Open<TwindEditForm>(e, TwindEditForm::kResource);
}
