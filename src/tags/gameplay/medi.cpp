#include "tags/gameplay/medi.h"

void tag_struct_defaults(media_type_definition& d)
{
    apply_tag_defaults(d, {{4, -1},    {24, -1},    {28, -1},    {32, -1},  {36, -1},  {40, -1},  {44, -1},
                           {48, -1},   {52, -1},    {56, -1},    {60, -1},  {64, -1},  {68, -1},  {72, -1},
                           {76, -1},   {80, -1},    {84, -1},    {100, -1}, {122, 25}, {124, 256}, {126, 513},
                           {128, 13107}, {130, -13108}, {132, 256}, {134, 128}, {136, 256}, {138, 102},
                           {140, 102}, {142, 25},   {146, 51},   {148, 282}, {150, 76}, {152, 76}, {156, 25},
                           {158, 25},  {160, 51},   {162, 102},  {164, 102}, {170, 51}, {172, 76}, {174, 76},
                           {176, 76},  {178, 25},   {180, 25}});
}

void collect_dependencies(const media_type_definition& d)
{
    add_dependency("txst"_4cc, d.texture_stack_tag);
    add_dependency("lpgr"_4cc, d.local_projectile_group_tag);
    for (tag_code id : d.projectile_group_tags) add_dependency("prgr"_4cc, id);
}
