#include "tags/gameplay/arti.h"

void tag_struct_defaults(artifact_definition& d)
{
    apply_tag_defaults(d, {{4, -1}, {16, -1}, {28, -1}, {32, -1}, {36, -1}, {40, -1}},
                       {{88, 4, 0xFF}, {124, 2, 0xFF}});
}

void collect_dependencies(const artifact_definition& d)
{
    add_dependency(".256"_4cc, d.collection_tag);
    for (tag_code id : d.projectile_tags) add_dependency("proj"_4cc, id);
    add_dependency("stli"_4cc, d.special_ability_string_list_tag);
}
