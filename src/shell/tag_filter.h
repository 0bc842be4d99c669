// The filter of the tag trees: a tag passes when its name, its id or its type (the code
// or the type's plural name) contains the text, ignoring case. An empty text passes all.
#pragma once

#include <array>
#include <string>
#include <unordered_map>

#include "tags/tags.h"

class TTagFilter {
public:
    explicit TTagFilter(std::string text = {});

    bool IsEmpty() const { return fText.empty(); }
    const std::string& GetText() const { return fText; }
    bool Matches(const tag_entry* e) const;
    // Whether every tag of the type passes (the type's code or name holds the text).
    bool MatchesType(tag_code type) const;

private:
    bool Contains(const char* text, size_t length) const;

    std::string fText;
    std::string fFolded; // lower case
    mutable std::unordered_map<tag_code, bool> fTypes;
};
