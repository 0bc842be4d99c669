// Dropped tag rows: bytes from the drag-and-drop clipboard are looked up in a store
// without following any pointer they carry. The first byte chooses whether the rows
// claim this process and whether some of them name real entries.
#include <cstdint>
#include <cstring>
#include <unistd.h>
#include <vector>

#include "shell/tag_row_record.h"
#include "tags/tags.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static TTagStore* store = [] {
        auto* s = new TTagStore;
        tag_file* f = s->new_tag_file();
        for (const char* name : {"alpha", "beta", "gamma"}) s->create_tag(f, 0x72617764, 0, 1, name, 0, 1, "x");
        s->create_tag(s->new_tag_file(), 0x736F756E, 0, 1, "sound", 0, 2, "xy");
        return s;
    }();
    std::vector<tag_entry*> entries;
    for (tag_entry* e = store->next_entry(nullptr); e; e = store->next_entry(e)) entries.push_back(e);
    if (size == 0) return 0;
    uint8_t mode = data[0];
    std::vector<uint8_t> bytes(data + 1, data + size);
    uint64_t self = uint64_t(::getpid());
    for (size_t at = 0; at + TAG_ROW_DRAG_SIZE <= bytes.size(); at += TAG_ROW_DRAG_SIZE) {
        if (mode & 1) std::memcpy(&bytes[at], &self, 8);
        if ((mode & 2) && !entries.empty()) {
            tag_entry* e = entries[bytes[at + 8] % entries.size()];
            std::vector<uint8_t> real;
            tag_row_append_drag_bytes({e->file, e->group->type, e->group, e->id, e}, real);
            // keep some of the fuzzer's fields so that near misses are tried
            for (size_t k = 8; k < TAG_ROW_DRAG_SIZE; ++k)
                if (!(mode & 4) || (bytes[at + k] & 1)) bytes[at + k] = real[k];
        }
    }
    for (const tag_row_record& row : tag_rows_from_drag_bytes(bytes.data(), bytes.size())) {
        if (tag_entry* e = tag_row_live_entry(*store, row)) {
            volatile uint32_t sink = e->size;
            (void)sink;
        }
        (void)tag_row_file_is_open(*store, row.file);
    }
    return 0;
}
