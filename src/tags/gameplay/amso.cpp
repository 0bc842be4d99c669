#include "tags/gameplay/amso.h"

void tag_struct_defaults(ambient_sound_definition& d)
{
    apply_tag_defaults(d, {{12, -1}, {16, -1}, {20, -1}, {24, -1}, {28, -1}, {32, -1}});
}

void collect_dependencies(const ambient_sound_definition& d)
{
    add_dependency("soun"_4cc, d.sound_tags[0]);
    add_dependency("soun"_4cc, d.sound_tags[1]);
}
