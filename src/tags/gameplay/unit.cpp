#include "tags/gameplay/unit.h"

unit_record default_unit_record()
{
    unit_record r{};
    r.texture_stack_tag = NONE_TAG;
    r.field_4 = NONE_TAG;
    r.field_8[0] = -1;
    r.field_8[6] = -1;
    return r;
}

void tag_struct_defaults(unit_definition& d)
{
    d.monster_tag = NONE_TAG;
    for (unit_record& r : d.records) r = default_unit_record();
    apply_tag_defaults(d, {}, {{120, 4, 0xFF}});
}

void collect_dependencies(const unit_definition& d)
{
    add_dependency("mons"_4cc, d.monster_tag);
    for (const unit_record& r : d.records) add_dependency("txst"_4cc, r.texture_stack_tag);
}
