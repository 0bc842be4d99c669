#include "tags/gameplay/proj.h"

void collect_dependencies(const projectile_definition& d)
{
    add_dependency(d.model_kind == PROJECTILE_USES_SKELETAL_MODEL ? "skmd"_4cc : ".256"_4cc, d.collection_tag);
    add_dependency("prgr"_4cc, d.projectile_group_tag);
    add_dependency(d.flags & PROJECTILE_HAS_SPRITE_CONTRAIL ? "spri"_4cc : "proj"_4cc, d.contrail_tag);
    add_dependency("obje"_4cc, d.object_tag);
    add_dependency("ligh"_4cc, d.lightning_tag);
    for (tag_code id : d.sound_tags) add_dependency("soun"_4cc, id);
    add_dependency("proj"_4cc, d.projectile_tag_92);
    add_dependency("arti"_4cc, d.artifact_tag);
    add_dependency("prgr"_4cc, d.projectile_group_tag_96);
    add_dependency("prgr"_4cc, d.projectile_group_tag_124);
    add_dependency("lpgr"_4cc, d.local_projectile_group_tag);
    add_dependency("txst"_4cc, d.texture_stack_tag_100);
    add_dependency("txst"_4cc, d.texture_stack_tag_128);
}
