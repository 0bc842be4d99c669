// Bringing tags written in older formats to the current version of their type.
#pragma once

#include "framework/XGProgress.h"

#include <functional>
#include <string>
#include <vector>

#include "tags/tags.h"

enum tag_update_outcome {
    TAG_UPDATE_NONE,       // already current, or a type the registry does not know
    TAG_UPDATE_VERSIONED,  // version 0: given the current version, the data untouched
    TAG_UPDATE_CONVERTED,  // the updater converted the data
    TAG_UPDATE_UNREADABLE, // the updater could not read its structure; the tag is unchanged
};

// The update of one tag, telling what happened. A tag newer than its type, or older
// without an updater, raises the internal error ("v <= info->version", "info->updater").
tag_update_outcome run_tag_format_update(tag_entry* e);

// True when the tag's data was converted. A version 0 tag only gets the current version
// (false). An updater that cannot read the tag raises the program's read error naming it.
bool update_tag_format(tag_entry* e);

// Raises the internal error that updating the tag would raise, changing nothing.
void check_tag_format(tag_entry* e);

struct tag_format_update_report {
    std::vector<tag_file*> changed_files;   // some tag was converted or given a version
    std::vector<tag_file*> saved_files;
    std::vector<tag_file*> refreshed_files; // shown in a window: left modified
    std::vector<std::string> failed_saves;  // the save's error message
    std::vector<std::string> unreadable_tags;
    bool cancelled = false;
    int files = 0; // looked at
    int converted = 0; // in the files saved or refreshed; a failed save's tags do not count
    int versioned = 0;
};

// Update Tag Formats over every open file (store order, groups and tags in file order).
// Every tag is checked first, so an internal error ends the command before anything
// changes. A file in which a tag changed is saved at once, or, when it has a window, handed
// to refresh_window and left modified. A failed save is reported, the file is read again
// from the disk when no window shows it, and the next file goes on. progress hears of each
// file; when it asks to stop, the files after the current one are left as they are
// (cancelled is set).
tag_format_update_report update_all_tag_formats(TTagStore& store,
                                                const std::function<void(tag_file*)>& refresh_window = {},
                                                XGProgress* progress = nullptr);

// Installs the updaters of proj, scen and unit.
void install_format_updaters();
