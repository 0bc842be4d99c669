// The store's tags by type and id. Each tag is kept with its precedence (its file's place
// in the store, then its place in the group), so that a lookup gives the first tag of the
// store's order without walking the files.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "tags/tag_code.h"

struct tag_entry;

class TTagIndex {
public:
    // A higher precedence comes first: files opened later, then newer tags of a group.
    static uint64_t precedence(uint32_t file_order, uint32_t entry_order)
    {
        return (uint64_t(file_order) << 32) | entry_order;
    }

    void insert(tag_code type, tag_code id, tag_entry* e, uint64_t precedence);
    // Forgets the tag under the type and id it was inserted with; returns its precedence.
    uint64_t remove(tag_code type, tag_code id, const tag_entry* e);

    // The tag of the type and id with the highest precedence, none when there is none;
    // with a filter only among tags that pass it.
    tag_entry* first(tag_code type, tag_code id) const;
    template <typename Filter>
    tag_entry* first(tag_code type, tag_code id, Filter pass) const;

    struct match {
        tag_entry* entry;
        uint64_t precedence;
    };
    // Every tag of the type and id, highest precedence first, into out.
    void all(tag_code type, tag_code id, std::vector<match>& out) const;

    size_t size() const { return fCount; }
    // Lookups answered so far.
    uint64_t lookups() const { return fLookups; }
    // Counts removals, so that what was known to be taken stays known until one happens.
    uint64_t removals() const { return fRemovals; }

private:
    struct slot {
        uint64_t key;
        tag_entry* entry; // none for a free slot
        uint64_t precedence;
    };

    static uint64_t Key(tag_code type, tag_code id) { return (uint64_t(type) << 32) | id; }
    size_t Home(uint64_t key) const;
    void Grow();

    std::vector<slot> fSlots; // open addressing, linear probing, at most half full
    size_t fCount = 0;
    uint64_t fRemovals = 0;
    mutable uint64_t fLookups = 0;
};

template <typename Filter>
tag_entry* TTagIndex::first(tag_code type, tag_code id, Filter pass) const
{
    ++fLookups;
    if (fSlots.empty()) return nullptr;
    const uint64_t key = Key(type, id);
    const size_t mask = fSlots.size() - 1;
    tag_entry* best = nullptr;
    uint64_t best_precedence = 0;
    for (size_t i = Home(key); fSlots[i].entry; i = (i + 1) & mask) {
        const slot& s = fSlots[i];
        if (s.key == key && (!best || s.precedence > best_precedence) && pass(s.entry)) {
            best = s.entry;
            best_precedence = s.precedence;
        }
    }
    return best;
}
