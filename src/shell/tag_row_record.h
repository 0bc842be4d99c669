// The record behind every row of the tag trees: {file, type, group, id, entry}. A
// type row has id 0 and no entry. Rows are copied into tree items and onto the
// drag-and-drop clipboard, so a row is only trusted after it is found in the store.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "tags/tags.h"

struct tag_row_record {
    tag_file* file = nullptr;
    tag_code type = 0;
    tag_group* group = nullptr;
    tag_code id = 0;
    tag_entry* entry = nullptr;
};

// The row of a tag.
inline tag_row_record tag_row_of(tag_entry* e)
{
    return {e->file, e->group->type, e->group, e->id, e};
}

constexpr int32_t TAG_ROW_DRAG_TYPE = 0x54424450; // 'TBDP'

// The entry of a tag row that is still in the store (same file, group, type, entry
// and id), or null. Nothing the row points to is read before it is found.
tag_entry* tag_row_live_entry(const TTagStore& store, const tag_row_record& row);
// Whether the file is one of the store's open files.
bool tag_row_file_is_open(const TTagStore& store, const tag_file* file);

// A row as dragged: the process it comes from and the record, a fixed number of bytes.
constexpr size_t TAG_ROW_DRAG_SIZE = 44;
void tag_row_append_drag_bytes(const tag_row_record& row, std::vector<uint8_t>& out);
// The rows of dragged bytes that come from this process; bytes of another process
// or a size that is not a whole number of rows give nothing.
std::vector<tag_row_record> tag_rows_from_drag_bytes(const uint8_t* data, size_t size);
