// Mesh effect: how the ground moves (amplitude, velocity, cutoff radius, dissipation,
// epicenter offset), how the camera shakes, and its collection.
#include <cstddef>

#include "shell/TStructEditForm.h"
#include "shell/forms/editor_forms.h"
#include "tags/gameplay/meef.h"

namespace {

using T = mesh_effect_definition;

enum : int32_t {
    kAmplitude = 20800,
    kVelocity = 20801,
    kCutoffRadius = 20802,
    kDissipation = 20803,
    kEpicenterOffset = 20804,
    kCameraShaking = 20805,
    kCollection = 20811,
};

const char* const kCameraShakingItems[] = {"None", "Earthquake", "Explosion"};

const TBindingTable& Table()
{
    static const TBindingTable table = struct_bindings<T>({
        bind_value(kAmplitude, offsetof(T, field_4) + 0, kWorldUnitsSignedUnit),
        bind_value(kVelocity, offsetof(T, field_4) + 2, kWorldUnitsSignedUnit),
        bind_value(kCutoffRadius, offsetof(T, field_4) + 4, kWorldUnitsSignedUnit),
        bind_value(kDissipation, offsetof(T, field_4) + 6, kFraction16Unit),
        bind_value(kEpicenterOffset, offsetof(T, field_4) + 8, kWorldUnitsSignedUnit),
        bind_popup(kCameraShaking, offsetof(T, field_4) + 10, kCameraShakingItems),
        bind_tag(kCollection, offsetof(T, collection_reference_tag), "core"_4cc),
    });
    return table;
}

class TmeefEditForm : public TStructEditForm<T> {
public:
    static constexpr int32_t kResource = 1011;
    explicit TmeefEditForm(tag_entry* e) : TStructEditForm(e, Table()) {}
};

} // namespace

void* open_meef_editor(tag_entry* e)
{
    return TTagEditForm::Open<TmeefEditForm>(e, TmeefEditForm::kResource);
}
