#include "tags/gameplay/meli.h"

void tag_struct_defaults(mesh_lighting_definition&)
{
}
