// The updaters: each loops on the tag's version, one step at a time, up to version 2.
// false when the tag's structure cannot be read; the tag is unchanged then.
#include "build/tag_format_update.h"
#include "framework/XGError.h"
#include "tags/gameplay/proj.h"
#include "tags/gameplay/unit.h"
#include "tags/tag_types.h"

namespace {

bool UpdateProjectile(tag_entry* e)
{
    for (int16_t version; (version = tag_get_version(e)) != 2;) {
        XG_ASSERT(version == 1, "tag_format_update");
        projectile_definition p;
        if (!read_tag_struct(e, p)) return false;
        p.texture_stack_tag_100 = NONE_TAG;
        p.texture_stack_tag_128 = NONE_TAG;
        if (!write_tag_struct(e, p)) return false;
        tag_set_version(e, 2);
    }
    return true;
}

bool UpdateScenery(tag_entry* e)
{
    for (int16_t version; (version = tag_get_version(e)) != 2;) {
        XG_ASSERT(version == 1, "tag_format_update");
        tag_set_version(e, 2);
    }
    return true;
}

// Any version other than 2 is converted.
bool UpdateUnit(tag_entry* e)
{
    while (tag_get_version(e) != 2) {
        unit_definition u;
        if (!read_tag_struct(e, u)) return false;
        u.field_4 = 0;
        for (unit_record& r : u.records) r = default_unit_record();
        if (!write_tag_struct(e, u)) return false;
        tag_set_version(e, 2);
    }
    return true;
}

} // namespace

void install_format_updaters()
{
    set_tag_type_core_hooks("proj"_4cc, nullptr, nullptr, UpdateProjectile);
    set_tag_type_core_hooks("scen"_4cc, nullptr, nullptr, UpdateScenery);
    set_tag_type_core_hooks("unit"_4cc, nullptr, nullptr, UpdateUnit);
}
