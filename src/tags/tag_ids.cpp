// Tag ids derived from names, and their successors.
#include <cctype>
#include <cstring>
#include <string>

#include "tags/tags.h"

namespace {

bool IsSeparator(char c)
{
    return std::strchr(" \t\n()[]{}?!:;-_.", c) != nullptr && c != 0;
}

bool IsAlnum(unsigned char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

tag_code FromChars(const unsigned char c[4])
{
    return (tag_code(c[0]) << 24) | (tag_code(c[1]) << 16) | (tag_code(c[2]) << 8) | tag_code(c[3]);
}

bool Taken(const TTagStore& store, tag_code id, tag_code type, tag_file* f)
{
    if (f && type) return tag_find_in_file(f, type, id) != nullptr;
    if (f) {
        for (tag_group* g = f->groups; g; g = g->next)
            if (tag_find_in_group(g, id)) return true;
        return false;
    }
    if (type) return store.find_tag(type, id) != nullptr;
    return false;
}

} // namespace

tag_code tag_id_from_name(const char* name)
{
    std::string text(name ? name : "");
    if (text.size() > 32) text.resize(32);
    for (char& c : text) c = (char)std::tolower((unsigned char)c);

    unsigned char id[4] = {'_', '_', '_', '_'};
    size_t p = 0;
    size_t i = 0;
    while (i < text.size() && p <= 3) {
        while (i < text.size() && IsSeparator(text[i])) ++i;
        size_t start = i;
        while (i < text.size() && !IsSeparator(text[i])) ++i;
        size_t length = i - start;
        if (length == 0) break;
        size_t n = std::min(length, 4 - p);
        for (size_t k = 0; k < n; ++k) id[p + k] = (unsigned char)text[start + k];
        p = std::min(std::max(p + 1, size_t(2)), p + length);
    }
    return FromChars(id);
}

tag_code next_tag_id(tag_code id)
{
    unsigned char c[4] = {(unsigned char)(id >> 24), (unsigned char)(id >> 16), (unsigned char)(id >> 8),
                          (unsigned char)id};
    for (int i = 3; i >= 0; --i) {
        unsigned char next = c[i] == '9' ? 'a' : (unsigned char)(c[i] + 1);
        if (IsAlnum(next)) {
            c[i] = next;
            return FromChars(c);
        }
        c[i] = '0';
    }
    return FromChars(c); // wrapped past the first character: "0000"
}

tag_code TTagStore::make_tag_id(const char* name, tag_code type, tag_file* f) const
{
    constexpr long kEveryId = 36L * 36 * 36 * 36 + 1;
    tag_code id = tag_id_from_name(name);
    if (!type && !f) return id;
    // Names alike give the same start: go on from where the last walk from it stopped.
    if (fIdWalkRemovals != fIndex.removals()) {
        fIdWalks.clear();
        fIdWalkRemovals = fIndex.removals();
    }
    id_walk& walk = fIdWalks.try_emplace(id_walk_key{f, type, id}, id_walk{id, 0}).first->second;
    id = walk.id;
    long tries = walk.tries;
    for (; tries < kEveryId && Taken(*this, id, type, f); ++tries) id = next_tag_id(id);
    walk = {id, tries};
    return id;
}
