#include "tags/gameplay/part.h"

void tag_struct_defaults(particle_system_definition& d)
{
    apply_tag_defaults(d, {{4, -1}, {72, -1}, {74, -1}});
}

void collect_dependencies(const particle_system_definition& d)
{
    add_dependency("spri"_4cc, d.sprite_tag);
    add_dependency("amso"_4cc, d.ambient_sound_tag);
    add_dependency("lpgr"_4cc, d.local_projectile_group_tag);
}
