#include "tags/gameplay/loli.h"

void tag_struct_defaults(local_light_definition& d)
{
    apply_tag_defaults(d, {{4, -1}, {20, -1}, {2, 10}, {6, 10}, {8, 2560}, {12, -32640}, {14, 16448},
                           {22, -16192}, {24, 16448}, {28, 2048}, {30, 10000}, {32, 10}, {34, 2}, {36, 2048},
                           {40, 2048}, {44, 2048}});
}
