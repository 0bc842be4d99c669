#include "tags/gameplay/conn.h"

void tag_struct_defaults(connector_definition& d)
{
    apply_tag_defaults(d, {{4, -1}});
}

void collect_dependencies(const connector_definition& d)
{
    add_dependency("core"_4cc, d.collection_reference_tag);
}
