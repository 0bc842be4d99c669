#include "tags/tag_index.h"

#include <algorithm>

#include "framework/ProgramAssert.h"

size_t TTagIndex::Home(uint64_t key) const
{
    // the finalizer of splitmix64: types and ids share most of their bits
    key ^= key >> 30;
    key *= 0xBF58476D1CE4E5B9ull;
    key ^= key >> 27;
    key *= 0x94D049BB133111EBull;
    key ^= key >> 31;
    return size_t(key) & (fSlots.size() - 1);
}

void TTagIndex::Grow()
{
    std::vector<slot> old = std::move(fSlots);
    fSlots.assign(old.empty() ? 64 : old.size() * 2, slot{0, nullptr, 0});
    const size_t mask = fSlots.size() - 1;
    for (const slot& s : old) {
        if (!s.entry) continue;
        size_t i = Home(s.key);
        while (fSlots[i].entry) i = (i + 1) & mask;
        fSlots[i] = s;
    }
}

void TTagIndex::insert(tag_code type, tag_code id, tag_entry* e, uint64_t precedence)
{
    if ((fCount + 1) * 2 > fSlots.size()) Grow();
    const uint64_t key = Key(type, id);
    const size_t mask = fSlots.size() - 1;
    size_t i = Home(key);
    while (fSlots[i].entry) i = (i + 1) & mask;
    fSlots[i] = {key, e, precedence};
    ++fCount;
}

uint64_t TTagIndex::remove(tag_code type, tag_code id, const tag_entry* e)
{
    const uint64_t key = Key(type, id);
    PROGRAM_ASSERT(!fSlots.empty(), "tags");
    const size_t mask = fSlots.size() - 1;
    size_t i = Home(key);
    while (fSlots[i].entry && !(fSlots[i].entry == e && fSlots[i].key == key)) i = (i + 1) & mask;
    PROGRAM_ASSERT(fSlots[i].entry == e, "tags");
    const uint64_t precedence = fSlots[i].precedence;
    // Close the gap: later slots of the run move back unless they would pass their home.
    for (size_t j = (i + 1) & mask; fSlots[j].entry; j = (j + 1) & mask) {
        const size_t home = Home(fSlots[j].key);
        const bool between = i <= j ? (home > i && home <= j) : (home > i || home <= j);
        if (between) continue;
        fSlots[i] = fSlots[j];
        i = j;
    }
    fSlots[i] = slot{0, nullptr, 0};
    --fCount;
    ++fRemovals;
    return precedence;
}

tag_entry* TTagIndex::first(tag_code type, tag_code id) const
{
    return first(type, id, [](const tag_entry*) { return true; });
}

void TTagIndex::all(tag_code type, tag_code id, std::vector<match>& out) const
{
    out.clear();
    ++fLookups;
    if (fSlots.empty()) return;
    const uint64_t key = Key(type, id);
    const size_t mask = fSlots.size() - 1;
    for (size_t i = Home(key); fSlots[i].entry; i = (i + 1) & mask)
        if (fSlots[i].key == key) out.push_back({fSlots[i].entry, fSlots[i].precedence});
    std::sort(out.begin(), out.end(), [](const match& a, const match& b) { return a.precedence > b.precedence; });
}
