#include "tags/tag_clipboard.h"

#include <cstring>

bool TTagClipboard::Add(tag_entry* e, bool copy)
{
    uint32_t size = 0;
    const uint8_t* data = tag_get_data(e, &size);
    if (!data) return false;
    tag_clipboard_record r;
    std::strncpy(r.name, e->name, sizeof r.name - 1);
    r.size = size;
    r.version = e->version;
    r.type = e->group->type;
    r.id = e->id;
    if (copy) {
        r.owned.reset(new (std::nothrow) uint8_t[size ? size : 1]);
        if (!r.owned) return false;
        if (size) std::memcpy(r.owned.get(), data, size);
        r.data = r.owned.get();
    } else {
        r.data = data;
    }
    if (fRecords.size() == fRecords.capacity()) fRecords.reserve(fRecords.size() + kGrowth);
    fRecords.push_back(std::move(r));
    return true;
}

void TTagClipboard::Clear()
{
    fRecords.clear();
    fRecords.shrink_to_fit();
}
