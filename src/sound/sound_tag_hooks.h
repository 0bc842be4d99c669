// The registry hooks of the sound types.
#pragma once

struct tag_entry;

void install_sound_tag_hooks();

void sound_set_defaults(tag_entry* e);
void sound_collect_dependencies(tag_entry* e);
void sound_list_set_defaults(tag_entry* e);
void sound_list_collect_dependencies(tag_entry* e);
