#include "tags/gameplay/wind.h"

void tag_struct_defaults(wind_definition&)
{
}
