// Checks the open tags: references (as the types' collect-dependencies hooks report them)
// to tags that are not open, tags whose data cannot be read, and ids given twice to tags
// of one type within one file.
#pragma once

#include <string>
#include <vector>

#include "tags/tag_code.h"

struct tag_entry;
class TTagStore;

enum class tag_problem_kind {
    missing_reference,
    unreadable_tag,
    duplicate_id,
};

struct tag_problem {
    tag_problem_kind kind;
    tag_entry* entry; // the referencing, unreadable or duplicate tag
    tag_code type = 0; // the missing tag
    tag_code id = 0;
    std::string reason; // why the tag is unreadable
};

// Every problem, the files in store order and their tags in file order; each tag's
// missing references in the order its hook reports them.
std::vector<tag_problem> check_tags(TTagStore& store);

// "TYPE ID (NAME) -> TYPE ID missing", "TYPE ID (NAME) unreadable: REASON",
// "TYPE ID (NAME) duplicate id in PATH".
std::string tag_problem_text(const tag_problem& p);
// "N missing references, N unreadable tags, N duplicate ids".
std::string tag_problem_count_text(const std::vector<tag_problem>& problems);
