#include "shell/tag_filter.h"

#include <algorithm>
#include <cstring>

#include "tags/tag_types.h"

namespace {

constexpr unsigned char Fold(unsigned char c)
{
    return c >= 'A' && c <= 'Z' ? c + 32 : c;
}

} // namespace

TTagFilter::TTagFilter(std::string text) : fText(std::move(text))
{
    size_t start = fText.find_first_not_of(" \t");
    size_t end = fText.find_last_not_of(" \t");
    fText = start == std::string::npos ? std::string() : fText.substr(start, end - start + 1);
    fFolded = fText;
    for (char& c : fFolded) c = char(Fold(uint8_t(c)));
}

bool TTagFilter::Contains(const char* text, size_t length) const
{
    size_t n = fFolded.size();
    if (n > length) return false;
    const auto first = uint8_t(fFolded[0]);
    for (size_t i = 0; i + n <= length; ++i) {
        if (Fold(uint8_t(text[i])) != first) continue;
        size_t k = 1;
        while (k < n && Fold(uint8_t(text[i + k])) == uint8_t(fFolded[k])) ++k;
        if (k == n) return true;
    }
    return false;
}

bool TTagFilter::MatchesType(tag_code type) const
{
    if (fText.empty()) return true;
    auto it = fTypes.find(type);
    if (it != fTypes.end()) return it->second;
    std::string code = tag_code_to_text(type);
    const char* plural = tag_type_plural_name(type);
    bool matches = Contains(code.data(), code.size()) || Contains(plural, std::strlen(plural));
    fTypes.emplace(type, matches);
    return matches;
}

bool TTagFilter::Matches(const tag_entry* e) const
{
    if (fText.empty()) return true;
    char id[4] = {char(e->id >> 24), char(e->id >> 16), char(e->id >> 8), char(e->id)};
    return Contains(e->name, std::strlen(e->name)) || Contains(id, 4) || MatchesType(e->group->type);
}
