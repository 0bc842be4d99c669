#include "sound/sound_tag_hooks.h"

#include "build/tagdepend.h"
#include "sound/sound_definition.h"
#include "sound/sound_list.h"
#include "tags/tag_types.h"
#include "tags/tags.h"

void sound_set_defaults(tag_entry* e)
{
    TSoundDefinition sound;
    sound.fDefinition = default_sound_definition();
    write_sound_definition(sound, e);
}

void sound_collect_dependencies(tag_entry* e)
{
    sound_definition d;
    if (!tag_read_structs("soun", e, &d, SOUND_DEFINITION_SIZE, 1, sound_definition_bs)) {
        report_unreadable_tag(e);
        return;
    }
    add_dependency("stli"_4cc, d.subtitle_stringlist);
}

void sound_list_set_defaults(tag_entry* e)
{
    write_sound_list(default_sound_list(), e);
}

void sound_list_collect_dependencies(tag_entry* e)
{
    sound_list list;
    if (!read_sound_list(list, e)) {
        report_unreadable_tag(e);
        return;
    }
    for (int i = 0; i < list.count; ++i) add_dependency("soun"_4cc, list.sounds[i].sound);
}

void install_sound_tag_hooks()
{
    set_tag_type_core_hooks("soun"_4cc, sound_set_defaults, sound_collect_dependencies, nullptr);
    set_tag_type_core_hooks("soli"_4cc, sound_list_set_defaults, sound_list_collect_dependencies, nullptr);
}
