// "Override in Plugin...": a tag of a protected file copied, with its type and id, into a
// plugin file the person chooses (or a new one under the data folder's plugins), which
// then comes first in lookups; the copy's editor opens.
#pragma once

#include "tags/tags.h"

#include <vector>

// The copies (or the tags the chosen file already held), none when the person cancelled.
// One file is asked for all the tags. Raises an error that says why when the chosen file
// cannot take them; nothing is copied then.
std::vector<tag_entry*> OverrideInPlugin(const std::vector<tag_entry*>& tags);
