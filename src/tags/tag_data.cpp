// Tag data: lazy loading, replacing, and structured access through descriptions.
#include <algorithm>
#include <cstring>
#include <vector>

#include "framework/ProgramAssert.h"
#include "framework/XGError.h"
#include "framework/XGFile.h"
#include "tags/tags.h"

namespace {

// Whether the tag's stored bytes from offset can be read from the file as it was read.
bool StoredRangeReadable(const tag_entry* e, uint32_t offset, uint32_t count)
{
    const tag_file* f = e->file;
    if (!f->source.IsOpen() || (e->offset == 0 && e->size > 0)) return false;
    if (uint64_t(offset) + count > e->size || uint64_t(e->offset) + e->size > f->stamp.size) return false;
    // changed in place by another program: its bytes are no longer the ones listed
    return f->source.GetStamp() == f->stamp;
}

} // namespace

bool tag_read_stored_data(const tag_entry* e, uint32_t offset, void* out, uint32_t count)
{
    tag_check_entry(e);
    if (!StoredRangeReadable(e, offset, count)) return false;
    try {
        return count == 0 || e->file->source.ReadSome(uint64_t(e->offset) + offset, out, count) == count;
    } catch (const XGError&) {
        return false;
    }
}

size_t tag_file_read_stored(tag_file* f, uint64_t offset, void* out, size_t count)
{
    if (!f->source.IsOpen() || offset >= f->stamp.size || f->source.GetStamp() != f->stamp) return 0;
    try {
        return f->source.ReadSome(offset, out, size_t(std::min<uint64_t>(count, f->stamp.size - offset)));
    } catch (const XGError&) {
        return 0;
    }
}

void tag_adopt_data(tag_entry* e, tag_data_ptr data)
{
    tag_check_entry(e);
    PROGRAM_ASSERT(data && !e->data && !e->dirty, "tags");
    e->data = std::move(data);
}

const uint8_t* tag_get_data(tag_entry* e, uint32_t* size)
{
    tag_check_entry(e);
    if (size) *size = e->size;
    if (e->data) return e->data.get();
    // checked before the buffer is made: a hostile size must not allocate
    if (!StoredRangeReadable(e, 0, e->size)) return nullptr;
    tag_data_ptr data(new (std::nothrow) uint8_t[e->size ? e->size : 1]);
    if (!data || !tag_read_stored_data(e, 0, data.get(), e->size)) return nullptr;
    e->data = std::move(data);
    return e->data.get();
}

void tag_set_data_owned(tag_entry* e, tag_data_ptr data, uint32_t size)
{
    tag_check_entry(e);
    PROGRAM_ASSERT(data && data.get() != e->data.get(), "tags");
    e->data = std::move(data);
    if (size != e->size) e->file->needrewrite = true;
    e->size = size;
    e->dirty = true;
    e->file->needupdate = true;
    e->file->store->tag_changed(e->group->type, e->id);
}

bool tag_set_data(tag_entry* e, const void* data, uint32_t size)
{
    tag_check_entry(e);
    PROGRAM_ASSERT(data && data != e->data.get(), "tags");
    tag_data_ptr copy(new (std::nothrow) uint8_t[size ? size : 1]);
    if (!copy) return false;
    if (size) std::memcpy(copy.get(), data, size);
    tag_set_data_owned(e, std::move(copy), size);
    return true;
}

void tag_release_data(tag_entry* e)
{
    tag_check_entry(e);
    // the disk must still hold the same bytes where they are read from
    if (!e->dirty && !e->file->path.empty() && e->offset != 0 && StoredRangeReadable(e, 0, e->size)) e->data.reset();
}

void tag_forget_data(tag_entry* e)
{
    tag_check_entry(e);
    if (!e->dirty && !e->file->path.empty() && e->offset != 0 && e->file->source.IsOpen()) e->data.reset();
}

bool tag_read_structs(const char* label, tag_entry* e, void* struct_ptr, int32_t struct_length,
                      int32_t struct_count, const bs_code* codes)
{
    uint32_t size = 0;
    const uint8_t* data = tag_get_data(e, &size);
    if (!data || struct_length < 0 || struct_count < 0) return false;
    uint64_t needed = uint64_t(struct_length) * uint64_t(struct_count);
    if (size < needed) return false;
    byte_swap_copy(label, struct_ptr, data, struct_length, struct_count, codes);
    return true;
}

bool tag_write_structs(const char* label, tag_entry* e, const void* struct_ptr, int32_t struct_length,
                       int32_t struct_count, const bs_code* codes)
{
    uint32_t size = 0;
    const uint8_t* data = tag_get_data(e, &size);
    if (!data && size > 0) return false;
    uint64_t needed = uint64_t(struct_length) * uint64_t(struct_count);
    if (needed > 0xFFFFFFFFull) return false;
    uint32_t total = size > needed ? size : uint32_t(needed);
    tag_data_ptr buffer(new (std::nothrow) uint8_t[total ? total : 1]);
    if (!buffer) return false;
    if (size > needed) std::memcpy(buffer.get(), data, size);
    byte_swap_copy(label, buffer.get(), struct_ptr, struct_length, struct_count, codes);
    tag_set_data_owned(e, std::move(buffer), total);
    return true;
}

bool tag_compare_structs(const char* label, tag_entry* e, const void* struct_ptr, int32_t struct_length,
                         int32_t struct_count, const bs_code* codes, bool exact)
{
    uint32_t size = 0;
    const uint8_t* data = tag_get_data(e, &size);
    if (!data) return true;
    uint64_t needed = uint64_t(struct_length) * uint64_t(struct_count);
    if (exact ? size != needed : size < needed) return true;
    std::vector<uint8_t> scratch(needed);
    byte_swap_copy(label, scratch.data(), struct_ptr, struct_length, struct_count, codes);
    return std::memcmp(scratch.data(), data, needed) != 0;
}
