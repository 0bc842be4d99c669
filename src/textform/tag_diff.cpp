#include "textform/tag_diff.h"

#include <algorithm>
#include <unordered_map>

#include "tags/gameplay/tag_struct.h"
#include "tags/tags.h"
#include "textform/tag_json.h"
#include "textform/text_codec.h"

namespace {

struct diff_key {
    tag_code type;
    tag_code id;
    uint32_t turn; // of the type and id in store order
    bool operator==(const diff_key&) const = default;
};

struct diff_key_hash {
    size_t operator()(const diff_key& k) const
    {
        uint64_t h = (uint64_t(k.type) << 32 | k.id) * 0x9E3779B97F4A7C15ull + k.turn;
        return size_t(h ^ (h >> 31));
    }
};

struct side {
    std::vector<std::pair<diff_key, tag_entry*>> tags; // store order
    std::unordered_map<diff_key, tag_entry*, diff_key_hash> by_key;
};

side Tags(TTagStore& store, tag_diff_scope scope)
{
    side s;
    std::unordered_map<uint64_t, uint32_t> turns;
    for (tag_entry* e = store.next_entry(nullptr); e; e = store.next_entry(e)) {
        tag_code type = tag_get_type(e);
        if (scope == tag_diff_scope::lookup_result && store.find_tag(type, e->id) != e) continue;
        diff_key key{type, e->id, turns[uint64_t(type) << 32 | e->id]++};
        s.tags.emplace_back(key, e);
        s.by_key.emplace(key, e);
    }
    return s;
}

std::string Head(char sign, const tag_entry* e)
{
    return std::string(1, sign) + " " + tag_code_to_text(tag_get_type(e)) + " " + tag_code_to_text(e->id) + " " +
           tag_name_for_line(e->name);
}

// One line per leaf that differs; values whose shapes differ are shown whole.
void Compare(const tag_json& a, const tag_json& b, const std::string& path, const std::string& head,
             std::vector<std::string>& lines)
{
    if (a == b) return;
    if (a.is_object() && b.is_object() && a.size() == b.size() &&
        std::equal(a.items().begin(), a.items().end(), b.items().begin(),
                   [](const auto& x, const auto& y) { return x.key() == y.key(); })) {
        for (auto x = a.begin(), y = b.begin(); x != a.end(); ++x, ++y)
            Compare(*x, *y, path.empty() ? x.key() : path + "." + x.key(), head, lines);
        return;
    }
    if (a.is_array() && b.is_array() && a.size() == b.size()) {
        for (size_t i = 0; i < a.size(); ++i) Compare(a[i], b[i], path + "[" + std::to_string(i) + "]", head, lines);
        return;
    }
    lines.push_back(head + ": " + path + " " + a.dump() + " -> " + b.dump());
}

void Differences(tag_entry* a, tag_entry* b, std::vector<std::string>& lines)
{
    std::string head = Head('~', b);
    tag_json ja = tag_to_json(a), jb = tag_to_json(b);
    Compare(ja["version"], jb["version"], "version", head, lines);
    Compare(ja["name"], jb["name"], "name", head, lines);
    if (ja.contains("fields") && jb.contains("fields")) {
        Compare(ja["fields"], jb["fields"], "", head, lines);
        Compare(ja.value("extra", ""), jb.value("extra", ""), "extra", head, lines);
        return;
    }
    uint32_t size_a = 0, size_b = 0;
    const uint8_t* da = tag_get_data(a, &size_a);
    const uint8_t* db = tag_get_data(b, &size_b);
    if (!da) throw tag_data_error(a, "cannot be read");
    if (!db) throw tag_data_error(b, "cannot be read");
    uint32_t common = std::min(size_a, size_b);
    uint64_t differ = std::max(size_a, size_b) - common;
    for (uint32_t i = 0; i < common; ++i) differ += da[i] != db[i];
    if (differ) lines.push_back(head + ": data (" + std::to_string(differ) + " bytes differ)");
}

// Lets go of data read only for the comparison.
void CompareTags(tag_entry* a, tag_entry* b, std::vector<std::string>& lines)
{
    bool held_a = a->data != nullptr, held_b = b->data != nullptr;
    Differences(a, b, lines);
    if (!held_a) tag_release_data(a);
    if (!held_b) tag_release_data(b);
}

} // namespace

std::vector<std::string> diff_tag_stores(TTagStore& a, TTagStore& b, tag_diff_scope scope)
{
    side sa = Tags(a, scope), sb = Tags(b, scope);
    std::vector<std::string> lines;
    for (const auto& [key, e] : sa.tags) {
        auto other = sb.by_key.find(key);
        if (other == sb.by_key.end()) lines.push_back(Head('-', e));
        else CompareTags(e, other->second, lines);
    }
    for (const auto& [key, e] : sb.tags)
        if (!sa.by_key.count(key)) lines.push_back(Head('+', e));
    return lines;
}
