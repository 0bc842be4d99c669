// Particle system: its sprite, ambient sound and splash group.
#include <cstddef>

#include "shell/TStructEditForm.h"
#include "shell/forms/editor_forms.h"
#include "tags/gameplay/part.h"

namespace {

using T = particle_system_definition;

enum : int32_t {
    kSprite = 21201,
    kAmbientSound = 21203,
    kSplashGroup = 21205,
};

const TBindingTable& Table()
{
    static const TBindingTable table = struct_bindings<T>({
        bind_tag(kSprite, offsetof(T, sprite_tag), "spri"_4cc),
        bind_tag(kAmbientSound, offsetof(T, ambient_sound_tag), "amso"_4cc),
        bind_tag(kSplashGroup, offsetof(T, local_projectile_group_tag), "lpgr"_4cc),
    });
    return table;
}

class TpartEditForm : public TStructEditForm<T> {
public:
    static constexpr int32_t kResource = 1018;
    explicit TpartEditForm(tag_entry* e) : TStructEditForm(e, Table()) {}
};

} // namespace

void* open_part_editor(tag_entry* e)
{
    return TTagEditForm::Open<TpartEditForm>(e, TpartEditForm::kResource);
}
