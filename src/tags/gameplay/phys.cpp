#include "tags/gameplay/phys.h"

void tag_struct_defaults(local_physics_definition&)
{
}
