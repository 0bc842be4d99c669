#include "tags/gameplay/prgr.h"

int projectile_group_parts_in_use(const projectile_group_definition& g)
{
    if (g.part_count < 0) return 0;
    return g.part_count < MAXIMUM_PARTS_PER_PROJECTILE_GROUP ? g.part_count : MAXIMUM_PARTS_PER_PROJECTILE_GROUP;
}

void tag_struct_defaults(projectile_group_definition& d)
{
    apply_tag_defaults(d, {{8, -1}, {12, -1}, {16, -1}});
    for (projectile_group_part& part : d.parts) part.projectile_tag = NONE_TAG;
}

void collect_dependencies(const projectile_group_definition& d)
{
    add_dependency("meef"_4cc, d.mesh_effect_tag);
    add_dependency("soun"_4cc, d.sound_tag);
    add_dependency("lpgr"_4cc, d.local_projectile_group_tag);
    int parts = projectile_group_parts_in_use(d);
    for (int i = 0; i < parts; ++i) add_dependency("proj"_4cc, d.parts[i].projectile_tag);
}
