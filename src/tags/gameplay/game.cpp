#include "tags/gameplay/game.h"

void tag_struct_defaults(game_parameter_definition& d)
{
    apply_tag_defaults(d, {{0, -1}, {4, -1}, {8, -1}});
}

void collect_dependencies(const game_parameter_definition& d)
{
    for (tag_code id : d.mesh_tags) add_dependency("mesh"_4cc, id);
}
