#include "tags/gameplay/core.h"

void collect_dependencies(const collection_reference_definition& d)
{
    add_dependency(".256"_4cc, d.collection_tag);
}
