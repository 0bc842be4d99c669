// Media type: its texture stack, the projectile groups of its effects and its local projectile group.
#include <cstddef>

#include "shell/TStructEditForm.h"
#include "shell/forms/editor_forms.h"
#include "tags/gameplay/medi.h"

namespace {

using T = media_type_definition;

enum : int32_t {
    kTextureStack = 20701,
    kProjectileGroup = 20703,
    kLocalProjectileGroup = 20721,
};

const TBindingTable& Table()
{
    static const TBindingTable table = struct_bindings<T>({
        bind_tag(kTextureStack, offsetof(T, texture_stack_tag), "txst"_4cc),
        tag_series(kProjectileGroup, offsetof(T, projectile_group_tags), NUMBER_OF_MEDIA_PROJECTILE_GROUP_TAGS,
                   "prgr"_4cc),
        bind_tag(kLocalProjectileGroup, offsetof(T, local_projectile_group_tag), "lpgr"_4cc),
    });
    return table;
}

class TmediEditForm : public TStructEditForm<T> {
public:
    static constexpr int32_t kResource = 1010;
    explicit TmediEditForm(tag_entry* e) : TStructEditForm(e, Table()) {}
};

} // namespace

void* open_medi_editor(tag_entry* e)
{
    return TTagEditForm::Open<TmediEditForm>(e, TmediEditForm::kResource);
}
