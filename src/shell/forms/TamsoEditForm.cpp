// Ambient sound: the two sounds it plays, whether it plays them at random, its radii
// and its period.
#include <cstddef>

#include "shell/TStructEditForm.h"
#include "shell/forms/editor_forms.h"
#include "tags/gameplay/amso.h"

namespace {

using T = ambient_sound_definition;

enum : int32_t {
    kSound1 = 20001,
    kSound2 = 20003,
    kRandom = 20010,
    kInnerRadius = 20011,
    kOuterRadius = 20012,
    kPeriod = 20013,
};

const TBindingTable& Table()
{
    static const TBindingTable table = struct_bindings<T>({
        bind_tag(kSound1, offsetof(T, sound_tags) + 0, "soun"_4cc),
        bind_tag(kSound2, offsetof(T, sound_tags) + 4, "soun"_4cc),
        bind_flag(kRandom, offsetof(T, flags), 0x1),
        bind_value(kInnerRadius, offsetof(T, field_4), kWorldUnitsUnit, true),
        bind_value(kOuterRadius, offsetof(T, field_6), kWorldUnitsUnit, true),
        bind_value(kPeriod, offsetof(T, field_8), kTicksAsSecondsUnit),
    });
    return table;
}

class TamsoEditForm : public TStructEditForm<T> {
public:
    static constexpr int32_t kResource = 1000;
    explicit TamsoEditForm(tag_entry* e) : TStructEditForm(e, Table()) {}
};

} // namespace

void* open_amso_editor(tag_entry* e)
{
    return TTagEditForm::Open<TamsoEditForm>(e, TamsoEditForm::kResource);
}
