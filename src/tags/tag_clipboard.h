// The tag clipboard of the tag file windows' copy and paste.
#pragma once

#include <cstdint>
#include <vector>

#include "tags/tags.h"

struct tag_clipboard_record {
    char name[128] = {};
    const uint8_t* data = nullptr;
    uint32_t size = 0;
    int16_t version = 0;
    tag_code type = 0;
    tag_code id = 0;
    tag_data_ptr owned; // set when the clipboard holds its own copy
};

class TTagClipboard {
public:
    static constexpr int kGrowth = 5;

    // Adds the tag with a copy of its data, or with the store's own buffer when copy is
    // false. False when its data cannot be had or memory runs out.
    bool Add(tag_entry* e, bool copy = true);
    void Clear();
    int GetCount() const { return (int)fRecords.size(); }
    int GetCapacity() const { return (int)fRecords.capacity(); }
    const tag_clipboard_record& Get(int index) const { return fRecords.at(size_t(index)); }

private:
    std::vector<tag_clipboard_record> fRecords;
};
