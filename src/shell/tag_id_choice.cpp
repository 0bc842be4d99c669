#include "shell/tag_id_choice.h"

tag_code tag_id_for_choice(const TTagStore& store, int32_t choice, const char* name, tag_code type,
                           tag_file* file, const std::string& typed)
{
    switch (choice) {
    case TAG_ID_FROM_NAME: return store.make_tag_id(name, 0, nullptr);
    case TAG_ID_UNIQUE_IN_TYPE: return store.make_tag_id(name, type, nullptr);
    case TAG_ID_UNIQUE_IN_FILE: return store.make_tag_id(name, type, file);
    default: return text_to_tag_code(typed);
    }
}
