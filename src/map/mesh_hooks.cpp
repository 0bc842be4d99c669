#include "map/mesh_map.h"
#include "tags/tag_types.h"

namespace {

// A map made by New Tag without the dialog's sizes.
void SetDefaultMesh(tag_entry* e)
{
    set_mesh_defaults(e, 192, 192);
}

} // namespace

void install_map_tag_hooks()
{
    set_tag_type_core_hooks("mesh"_4cc, SetDefaultMesh, collect_mesh_dependencies, nullptr);
}
