// Local projectile group: its graphic (a skeletal model, a sprite or a collection
// reference, as the flags say), its physics, the group it leads to and its light.
#include <cstddef>

#include "shell/TStructEditForm.h"
#include "shell/forms/editor_forms.h"
#include "tags/gameplay/lpgr.h"

namespace {

using T = local_projectile_group_definition;

enum : int32_t {
    kGraphic = 20601,
    kUsesSkeletalModel = 20603,
    kUsesSprite = 20604,
    kLocalPhysics = 20605,
    kNextGroup = 20607,
    kLocalLight = 20609,
};

tag_code GraphicType(const void* s)
{
    return local_projectile_group_graphic_type(static_cast<const T*>(s)->flags);
}

const TBindingTable& Table()
{
    static const TBindingTable table = struct_bindings<T>({
        bind_flag(kUsesSkeletalModel, offsetof(T, flags), LOCAL_PROJECTILE_GROUP_USES_SKELETAL_MODEL),
        bind_flag(kUsesSprite, offsetof(T, flags), LOCAL_PROJECTILE_GROUP_USES_SPRITE),
        bind_tag(kGraphic, offsetof(T, graphic_tag), GraphicType),
        bind_tag(kLocalPhysics, offsetof(T, local_physics_tag), "phys"_4cc),
        bind_tag(kNextGroup, offsetof(T, local_projectile_group_tag), "lpgr"_4cc),
        bind_tag(kLocalLight, offsetof(T, local_light_tag), "loli"_4cc),
    });
    return table;
}

class TlpgrEditForm : public TStructEditForm<T> {
public:
    static constexpr int32_t kResource = 1009;
    explicit TlpgrEditForm(tag_entry* e) : TStructEditForm(e, Table()) {}

protected:
    void UpdateControls() override
    {
        // the skeletal model wins over the sprite
        EnableView(kUsesSprite, !(fCopy.flags & LOCAL_PROJECTILE_GROUP_USES_SKELETAL_MODEL));
    }
};

} // namespace

void* open_lpgr_editor(tag_entry* e)
{
    return TTagEditForm::Open<TlpgrEditForm>(e, TlpgrEditForm::kResource);
}
