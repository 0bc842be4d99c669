// Scenery: its object, projectile and projectile groups, and its graphics: a collection
// reference, or two skeletal models when "Uses Skeletal Models" is set.
#include <cstddef>

#include "shell/TStructEditForm.h"
#include "shell/forms/editor_forms.h"
#include "tags/gameplay/scen.h"

namespace {

using T = scenery_definition;

enum : int32_t {
    kCollection = 21501,
    kObject = 21503,
    kProjectile = 21505,
    kProjectileGroup = 21507, // and 21509
    kUsesSkeletalModels = 21511,
    kModel = 21513,           // and 21515
};

const TBindingTable& Table()
{
    static const TBindingTable table = struct_bindings<T>({
        bind_tag(kCollection, offsetof(T, collection_reference_tag), "core"_4cc),
        bind_tag(kObject, offsetof(T, object_tag), "obje"_4cc),
        bind_tag(kProjectile, offsetof(T, projectile_tag), "proj"_4cc),
        tag_series(kProjectileGroup, offsetof(T, projectile_group_tags), 2, "prgr"_4cc),
        bind_flag(kUsesSkeletalModels, offsetof(T, flags), SCENERY_USES_SKELETAL_MODELS),
        tag_series(kModel, offsetof(T, skeletal_model_tags), 2, "skmd"_4cc),
    });
    return table;
}

class TscenEditForm : public TStructEditForm<T> {
public:
    static constexpr int32_t kResource = 1021;
    explicit TscenEditForm(tag_entry* e) : TStructEditForm(e, Table()) {}

protected:
    void UpdateControls() override
    {
        bool models = (fCopy.flags & SCENERY_USES_SKELETAL_MODELS) != 0;
        for (int32_t id = kCollection; id <= kCollection + 1; ++id) EnableView(id, !models);
        for (int32_t id = kModel; id <= kModel + 3; ++id) EnableView(id, models);
    }
};

} // namespace

void* open_scen_editor(tag_entry* e)
{
    return TTagEditForm::Open<TscenEditForm>(e, TscenEditForm::kResource);
}
