// The data of the tags a foundation build collects, read through their files as the store
// read them. Neighbouring tags come with one read: for the hooks, each into a buffer of its
// own that the tag adopts; for the outputs, through a few windows of the files.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <memory>
#include <unordered_map>
#include <vector>

#include "tags/tags.h"

class TSourceFiles {
public:
    // Gives the tag its data for a hook; whether it was loaded here.
    bool Load(tag_entry* e);
    // Whether the tag's whole data can be had: its file is checked once until the next Clear.
    bool Available(tag_entry* e);
    // Whether every file checked by Available is still as it was read.
    bool Unchanged() const;
    bool Read(tag_entry* e, uint32_t offset, void* out, uint32_t count);
    // Whether the tag's data is in memory or starts in a window read already.
    bool Holds(const tag_entry* e) const;
    void Clear();

private:
    struct window {
        const tag_file* file = nullptr;
        uint64_t start = 0;
        uint64_t size = 0;
        uint64_t used = 0;
        std::unique_ptr<uint8_t[]> bytes;
    };
    static constexpr uint32_t WINDOW_SIZE = 256 * 1024;
    static constexpr size_t AHEAD_BYTES = 4u << 20; // read ahead for the hooks, at most

    void ReadAhead(const tag_entry* e);
    static uint32_t WindowFor(const tag_entry* e, uint64_t at, uint32_t count);
    const std::vector<tag_entry*>& ByOffset(const tag_file* f);

    std::array<window, 16> fWindows;
    uint64_t fUses = 0;
    std::vector<const tag_file*> fChecked;
    std::unordered_map<const tag_file*, std::vector<tag_entry*>> fByOffset;
    std::unordered_map<const tag_entry*, tag_data_ptr> fAhead;
    std::deque<std::pair<const tag_entry*, uint32_t>> fAheadOrder; // oldest first, with sizes
    size_t fAheadBytes = 0;
};
