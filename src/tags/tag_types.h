// The registry of the 50 tag types: code, current version, names, whether the
// content is language-dependent, and the hooks through which the rest of the
// editor reaches a type's own code.
#pragma once

#include <cstdint>

#include "tags/tag_code.h"

struct tag_entry;

// Opens an editor window on the tag; returns the window (owned by the framework).
using tag_editor_hook = void* (*)(tag_entry* e);
// Gives a freshly created empty tag its default data.
using tag_set_defaults_hook = void (*)(tag_entry* e);
// Reports every tag the tag references through add_dependency.
using tag_collect_dependencies_hook = void (*)(tag_entry* e);
// Brings the tag's data from an older version to the current one; false when it cannot.
using tag_updater_hook = bool (*)(tag_entry* e);

struct tag_type_info {
    tag_code type;
    int32_t version;
    const char* name;
    const char* plural_name;
    int32_t localized;
    const char* hooks; // the hooks the type has: E editor, A alternate, S defaults, C dependencies, U updater
    tag_editor_hook new_editor;
    tag_editor_hook new_alternate_editor;
    tag_set_defaults_hook set_defaults;
    tag_collect_dependencies_hook collect_dependencies;
    tag_updater_hook updater;
};

constexpr int NUMBER_OF_TAG_TYPES = 50;

// The record, or null for a code that is not in the table.
const tag_type_info* tag_type_info_for(tag_code type);
int32_t tag_type_version(tag_code type);           // 1 for an unknown code
const char* tag_type_name(tag_code type);          // "UNKNOWN TYPE" for an unknown code
const char* tag_type_plural_name(tag_code type);
bool tag_type_is_localized(tag_code type);
tag_editor_hook tag_type_editor_hook(tag_code type, bool alternate);
tag_set_defaults_hook tag_type_set_defaults_hook(tag_code type);
tag_collect_dependencies_hook tag_type_collect_dependencies_hook(tag_code type);
tag_updater_hook tag_type_updater_hook(tag_code type);
// The code of the n-th record, 0 past the end.
tag_code tag_type_by_index(int n);
// Whether the table gives the type the hook (one of the letters E A S C U).
bool tag_type_declares_hook(tag_code type, char hook);

// Installing hooks. A hook the table does not give the type is a programming error.
// The subsystems' own hooks are installed before, so a hook set here stays.
void set_tag_type_editor_hooks(tag_code type, tag_editor_hook editor, tag_editor_hook alternate);
void set_tag_type_core_hooks(tag_code type, tag_set_defaults_hook defaults,
                             tag_collect_dependencies_hook dependencies, tag_updater_hook updater);
