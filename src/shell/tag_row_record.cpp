#include "shell/tag_row_record.h"

#include <cstring>
#include <unistd.h>

namespace {

void Put(std::vector<uint8_t>& out, uint64_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i) out.push_back(uint8_t(value >> (8 * i)));
}

uint64_t Get(const uint8_t*& p, int bytes)
{
    uint64_t value = 0;
    for (int i = 0; i < bytes; ++i) value |= uint64_t(p[i]) << (8 * i);
    p += bytes;
    return value;
}

} // namespace

bool tag_row_file_is_open(const TTagStore& store, const tag_file* file)
{
    for (tag_file* f = store.first_file(); f; f = f->next)
        if (f == file) return true;
    return false;
}

tag_entry* tag_row_live_entry(const TTagStore& store, const tag_row_record& row)
{
    if (!row.entry) return nullptr;
    for (tag_file* f = store.first_file(); f; f = f->next) {
        if (f != row.file) continue;
        for (tag_group* g = f->groups; g; g = g->next) {
            if (g != row.group || g->type != row.type) continue;
            for (tag_entry* e = g->entries; e; e = e->next)
                if (e == row.entry) return e->id == row.id ? e : nullptr;
        }
        return nullptr;
    }
    return nullptr;
}

void tag_row_append_drag_bytes(const tag_row_record& row, std::vector<uint8_t>& out)
{
    Put(out, uint64_t(::getpid()), 8);
    Put(out, uint64_t(reinterpret_cast<uintptr_t>(row.file)), 8);
    Put(out, row.type, 4);
    Put(out, uint64_t(reinterpret_cast<uintptr_t>(row.group)), 8);
    Put(out, row.id, 4);
    Put(out, uint64_t(reinterpret_cast<uintptr_t>(row.entry)), 8);
    Put(out, 0, 4);
}

std::vector<tag_row_record> tag_rows_from_drag_bytes(const uint8_t* data, size_t size)
{
    std::vector<tag_row_record> rows;
    if (!data || size == 0 || size % TAG_ROW_DRAG_SIZE != 0) return rows;
    uint64_t self = uint64_t(::getpid());
    for (const uint8_t* p = data; p < data + size;) {
        const uint8_t* start = p;
        uint64_t pid = Get(p, 8);
        tag_row_record row;
        row.file = reinterpret_cast<tag_file*>(uintptr_t(Get(p, 8)));
        row.type = tag_code(Get(p, 4));
        row.group = reinterpret_cast<tag_group*>(uintptr_t(Get(p, 8)));
        row.id = tag_code(Get(p, 4));
        row.entry = reinterpret_cast<tag_entry*>(uintptr_t(Get(p, 8)));
        p = start + TAG_ROW_DRAG_SIZE;
        if (pid == self) rows.push_back(row);
    }
    return rows;
}
