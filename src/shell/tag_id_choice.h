// The four ways the Create Tag and Tag Info dialogs give a tag its id (their radio
// buttons 3 to 6).
#pragma once

#include <string>

#include "tags/tags.h"

enum tag_id_choice : int32_t {
    TAG_ID_FROM_NAME = 3,      // "Based on name only"
    TAG_ID_UNIQUE_IN_TYPE = 4, // "Globally unique within type"
    TAG_ID_UNIQUE_IN_FILE = 5, // "Unique for type within file"
    TAG_ID_SPECIFIED = 6,      // "Specify:"
};

// The id a choice gives: derived from the name (unchecked, unique among the open tags
// of the type, or unique within the file's tags of the type), or the characters typed.
tag_code tag_id_for_choice(const TTagStore& store, int32_t choice, const char* name, tag_code type,
                           tag_file* file, const std::string& typed);
