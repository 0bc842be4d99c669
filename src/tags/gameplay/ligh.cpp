#include "tags/gameplay/ligh.h"

void tag_struct_defaults(lightning_definition& d)
{
    apply_tag_defaults(d, {{4, -1}});
}

void collect_dependencies(const lightning_definition& d)
{
    add_dependency("txst"_4cc, d.texture_stack_tag);
}
