// Object: gravity, terminal velocity and elastic coefficient, vitality and scale ranges,
// its flags, its minimum damage and its damage resistances.
#include <cstddef>

#include "shell/TStructEditForm.h"
#include "shell/forms/editor_forms.h"
#include "tags/gameplay/obje.h"

namespace {

using T = object_definition;

enum : int32_t {
    kGravity = 21000,
    kTerminalVelocity = 21001,
    kElasticCoefficient = 21002,
    kVitality = 21003,
    kVitalityUpper = 21004,
    kScale = 21005,
    kScaleUpper = 21006,
    kMinimumDamage = 21007,
    kDrawSelection = 21010,
    kDrawVitality = 21011,
    kMaintainConstantHeight = 21012,
    kIgnoreCollisions = 21013,
    kFirstModifier = 21020,
};

const TBindingTable& Table()
{
    static const TBindingTable table = struct_bindings<T>({
        bind_value(kGravity, offsetof(T, field_2), kWorldUnitsSignedUnit),
        bind_value(kTerminalVelocity, offsetof(T, field_4), kWorldUnitsSignedUnit),
        bind_value(kElasticCoefficient, offsetof(T, field_6), kFixed8SignedUnit),
        bind_range(kVitality, kVitalityUpper, offsetof(T, maximum_vitality), offsetof(T, maximum_vitality_delta),
                   kFixed8SignedUnit),
        bind_range(kScale, kScaleUpper, offsetof(T, scale_lower_bound), offsetof(T, scale_delta), kFixed8SignedUnit),
        bind_value(kMinimumDamage, offsetof(T, minimum_damage), kFixed8SignedUnit),
        bind_flag(kDrawSelection, offsetof(T, flags), 0x1),
        bind_flag(kDrawVitality, offsetof(T, flags), 0x2),
        bind_flag(kMaintainConstantHeight, offsetof(T, flags), 0x4),
        bind_flag(kIgnoreCollisions, offsetof(T, flags), 0x8),
        value_series(kFirstModifier, offsetof(T, effect_modifiers), NUMBER_OF_EFFECT_MODIFIERS, 2, kFixed8SignedUnit),
    });
    return table;
}

class TobjeEditForm : public TStructEditForm<T> {
public:
    static constexpr int32_t kResource = 1016;
    explicit TobjeEditForm(tag_entry* e) : TStructEditForm(e, Table()) {}
};

} // namespace

void* open_obje_editor(tag_entry* e)
{
    return TTagEditForm::Open<TobjeEditForm>(e, TobjeEditForm::kResource);
}
