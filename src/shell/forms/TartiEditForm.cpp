// Artifact: its collection, the projectiles it carries and its special ability text.
#include <cstddef>

#include "shell/TStructEditForm.h"
#include "shell/forms/editor_forms.h"
#include "tags/gameplay/arti.h"

namespace {

using T = artifact_definition;

enum : int32_t {
    kCollection = 20101,
    kProjectile = 20103,
    kSpecialAbility = 20111,
};

const TBindingTable& Table()
{
    static const TBindingTable table = struct_bindings<T>({
        bind_tag(kCollection, offsetof(T, collection_tag), ".256"_4cc),
        tag_series(kProjectile, offsetof(T, projectile_tags), NUMBER_OF_ARTIFACT_PROJECTILE_TAGS, "proj"_4cc),
        bind_tag(kSpecialAbility, offsetof(T, special_ability_string_list_tag), "stli"_4cc),
    });
    return table;
}

class TartiEditForm : public TStructEditForm<T> {
public:
    static constexpr int32_t kResource = 1001;
    explicit TartiEditForm(tag_entry* e) : TStructEditForm(e, Table()) {}
};

} // namespace

void* open_arti_editor(tag_entry* e)
{
    return TTagEditForm::Open<TartiEditForm>(e, TartiEditForm::kResource);
}
