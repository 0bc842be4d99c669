#include "tags/gameplay/obpc.h"

void tag_struct_defaults(observer_constants_definition&)
{
}
