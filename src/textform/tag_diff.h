// What differs between two sets of tags, one line per difference:
//   "+ TYPE ID NAME" only in the second, "- TYPE ID NAME" only in the first,
//   "~ TYPE ID NAME: FIELD OLD -> NEW" for each changed field of a tag with named fields
//   (version and name included), "~ TYPE ID NAME: data (N bytes differ)" for other tags.
#pragma once

#include <string>
#include <vector>

class TTagStore;

enum class tag_diff_scope {
    every_tag,     // every tag, a type and id given twice matched by its turn (two files)
    lookup_result, // only the tag a lookup gives for each type and id (two data folders)
};

// The differences from a to b: the first's tags in store order, then the tags only the
// second has in its store order. Raises the program's read error when the data of a tag
// to be compared cannot be had.
std::vector<std::string> diff_tag_stores(TTagStore& a, TTagStore& b, tag_diff_scope scope);
