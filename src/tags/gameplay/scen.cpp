#include "tags/gameplay/scen.h"

void tag_struct_defaults(scenery_definition& d)
{
    apply_tag_defaults(d, {{4, -1}, {8, -1}, {12, -1}, {24, -1}, {28, -1}, {32, -1}, {36, -1}, {56, -1},
                           {60, -1}, {64, -1}});
}

void collect_dependencies(const scenery_definition& d)
{
    add_dependency("obje"_4cc, d.object_tag);
    add_dependency("proj"_4cc, d.projectile_tag);
    add_dependency("prgr"_4cc, d.projectile_group_tags[0]);
    add_dependency("prgr"_4cc, d.projectile_group_tags[1]);
    if (d.flags & SCENERY_USES_SKELETAL_MODELS) {
        add_dependency("skmd"_4cc, d.skeletal_model_tags[0]);
        add_dependency("skmd"_4cc, d.skeletal_model_tags[1]);
    } else {
        add_dependency("core"_4cc, d.collection_reference_tag);
    }
}
