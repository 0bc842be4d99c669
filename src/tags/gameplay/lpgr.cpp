#include "tags/gameplay/lpgr.h"

tag_code local_projectile_group_graphic_type(uint32_t flags)
{
    if (flags & LOCAL_PROJECTILE_GROUP_USES_SKELETAL_MODEL) return "skmd"_4cc;
    if (flags & LOCAL_PROJECTILE_GROUP_USES_SPRITE) return "spri"_4cc;
    return "core"_4cc;
}

void tag_struct_defaults(local_projectile_group_definition& d)
{
    apply_tag_defaults(d, {{4, -1}, {8, -1}, {80, -1}, {84, -1}}, {{108, 8, 0xFF}, {116, 4, 0xFF}});
}

void collect_dependencies(const local_projectile_group_definition& d)
{
    add_dependency(local_projectile_group_graphic_type(d.flags), d.graphic_tag);
    add_dependency("phys"_4cc, d.local_physics_tag);
    add_dependency("lpgr"_4cc, d.local_projectile_group_tag);
    add_dependency("loli"_4cc, d.local_light_tag);
}
