#include "tags/gameplay/obje.h"

void tag_struct_defaults(object_definition&)
{
}
