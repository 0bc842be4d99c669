#include "tags/gameplay/meef.h"

void tag_struct_defaults(mesh_effect_definition& d)
{
    apply_tag_defaults(d, {{16, -1}});
}

void collect_dependencies(const mesh_effect_definition& d)
{
    add_dependency("core"_4cc, d.collection_reference_tag);
}
