// Creating, deleting, renaming, re-identifying and re-typing tags.
#include <cstdio>
#include <cstring>

#include "framework/ProgramAssert.h"
#include "framework/XGError.h"
#include "framework/XGFile.h"
#include "framework/XGFileSpecifier.h"
#include "tags/tag_types.h"
#include "tags/tags.h"

namespace {

void LinkEntryNewest(tag_group* g, tag_entry* e)
{
    e->group = g;
    e->file = g->file;
    e->next = nullptr;
    e->prev = g->last;
    if (g->last) g->last->next = e;
    else g->entries = e;
    g->last = e;
}

void UnlinkEntry(tag_entry* e)
{
    tag_group* g = e->group;
    if (e->prev) e->prev->next = e->next;
    else g->entries = e->next;
    if (e->next) e->next->prev = e->prev;
    else g->last = e->prev;
    e->next = e->prev = nullptr;
}

void DeleteGroupIfEmpty(tag_group* g)
{
    if (g->entries) return;
    tag_file* f = g->file;
    if (g->prev) g->prev->next = g->next;
    else f->groups = g->next;
    if (g->next) g->next->prev = g->prev;
    if (!g->pooled) delete g;
}

void MarkRewrite(tag_file* f)
{
    f->needupdate = true;
    f->needrewrite = true;
}

void Announce(tag_entry* e, tag_code id)
{
    e->file->store->tag_changed(e->group->type, id);
}

} // namespace

void tag_entry_block_deleter::operator()(tag_entry* block) const
{
    for (size_t i = 0; i < count; ++i) block[i].~tag_entry();
    ::operator delete(block);
}

void tag_check_entry(const tag_entry* e)
{
    PROGRAM_ASSERT(e && e->file && e->group && e->file == e->group->file, "tags");
    PROGRAM_ASSERT(!e->dirty || e->file->needupdate, "tags");
}

tag_entry* TTagStore::insert_entry(tag_file* f, tag_code type, tag_code id, int16_t version, const char* name,
                                   uint32_t offset, uint32_t size)
{
    char untitled[64];
    if (!name) {
        std::snprintf(untitled, sizeof untitled, "Untitled %s", tag_type_name(type));
        name = untitled;
    }
    if (id == 0) id = make_tag_id(name, type, nullptr);
    tag_entry* e = new (std::nothrow) tag_entry;
    if (!e) return nullptr;
    size_t length = strnlen(name, MAXIMUM_TAG_NAME_LENGTH);
    std::memcpy(e->name, name, length);
    e->name[length] = 0;
    e->id = id;
    e->version = version;
    e->offset = offset;
    e->size = size;
    LinkEntryNewest(find_group(f, type, true), e);
    index_newest(e);
    return e;
}

tag_entry* TTagStore::create_tag(tag_file* f, tag_code type, tag_code id, int16_t version, const char* name,
                                 uint32_t offset, uint32_t size, const void* data)
{
    tag_data_ptr copy;
    if (data) {
        copy.reset(new (std::nothrow) uint8_t[size ? size : 1]);
        if (!copy) return nullptr;
        if (size) std::memcpy(copy.get(), data, size);
    }
    tag_entry* e = insert_entry(f, type, id, version, name, offset, size);
    if (!e) return nullptr;
    if (data || offset == 0) {
        e->data = std::move(copy);
        e->dirty = true;
        MarkRewrite(f);
    }
    Announce(e, e->id);
    return e;
}

tag_entry* TTagStore::create_tag_owned(tag_file* f, tag_code type, tag_code id, int16_t version,
                                       const char* name, uint32_t size, tag_data_ptr data)
{
    PROGRAM_ASSERT(data || !"becomeowner", "tags");
    tag_entry* e = insert_entry(f, type, id, version, name, 0, size);
    if (!e) return nullptr;
    e->data = std::move(data);
    e->dirty = true;
    MarkRewrite(f);
    Announce(e, e->id);
    return e;
}

void TTagStore::delete_tag(tag_entry* e, bool free_data)
{
    tag_check_entry(e);
    tag_code type = e->group->type;
    tag_code id = e->id;
    tag_file* f = e->file;
    tag_group* g = e->group;
    unindex(e);
    UnlinkEntry(e);
    DeleteGroupIfEmpty(g);
    MarkRewrite(f);
    if (!free_data) (void)e->data.release();
    if (e->pooled) {
        e->data.reset();
        e->file = nullptr;
        e->group = nullptr;
    } else {
        delete e;
    }
    tag_changed(type, id);
}

const char* tag_get_name(const tag_entry* e)
{
    tag_check_entry(e);
    return e->name;
}

tag_code tag_get_id(const tag_entry* e)
{
    tag_check_entry(e);
    return e->id;
}

tag_code tag_get_type(const tag_entry* e)
{
    tag_check_entry(e);
    return e->group->type;
}

int16_t tag_get_version(const tag_entry* e)
{
    if (!e) return -1;
    tag_check_entry(e);
    return e->version;
}

uint32_t tag_get_size(const tag_entry* e)
{
    tag_check_entry(e);
    return e->size;
}

tag_file* tag_get_file(const tag_entry* e)
{
    tag_check_entry(e);
    return e->file;
}

tag_group* tag_get_group(const tag_entry* e)
{
    tag_check_entry(e);
    return e->group;
}

void* tag_get_window(const tag_entry* e)
{
    tag_check_entry(e);
    return e->form;
}

void tag_set_window(tag_entry* e, void* form)
{
    tag_check_entry(e);
    PROGRAM_ASSERT(e->form == 0 || form == 0 || e->form == form, "tags");
    e->form = form;
}

void tag_file_set_window(tag_file* tf, void* form)
{
    PROGRAM_ASSERT(tf->form == 0 || form == 0 || tf->form == form, "tags");
    tf->form = form;
}

size_t tag_set_name(tag_entry* e, const char* name)
{
    tag_check_entry(e);
    char kept[32] = {};
    std::strncpy(kept, name ? name : "", MAXIMUM_TAG_NAME_LENGTH);
    std::memcpy(e->name, kept, sizeof kept);
    MarkRewrite(e->file);
    Announce(e, e->id);
    return std::strlen(e->name);
}

void tag_set_id(tag_entry* e, tag_code id)
{
    tag_check_entry(e);
    if (e->id == id) return;
    tag_code old = e->id;
    TTagIndex& index = e->file->store->fIndex;
    index.insert(e->group->type, id, e, index.remove(e->group->type, old, e)); // keeps its place
    e->id = id;
    MarkRewrite(e->file);
    Announce(e, old);
    Announce(e, id);
}

void tag_set_version(tag_entry* e, int16_t version)
{
    tag_check_entry(e);
    if (e->version == version) return;
    e->version = version;
    MarkRewrite(e->file);
    Announce(e, e->id);
}

void tag_set_type(tag_entry* e, tag_code type)
{
    tag_check_entry(e);
    tag_group* old = e->group;
    if (old->type == type) return;
    tag_file* f = e->file;
    f->store->unindex(e);
    UnlinkEntry(e);
    LinkEntryNewest(f->store->find_group(f, type, true), e);
    f->store->index_newest(e);
    DeleteGroupIfEmpty(old);
    MarkRewrite(f);
    Announce(e, e->id);
}

int TTagStore::copy_missing_tags(tag_file* from, tag_file* into)
{
    int copied = 0;
    for (tag_group* g = from->groups; g; g = g->next) {
        for (tag_entry* e = g->entries; e; e = e->next) {
            if (tag_find_in_file(into, g->type, e->id)) continue;
            uint32_t size = 0;
            const uint8_t* data = tag_get_data(e, &size);
            if (!data || size == 0) continue;
            if (create_tag(into, g->type, e->id, e->version, e->name, 0, size, data)) ++copied;
        }
    }
    return copied;
}

tag_entry* TTagStore::import_raw_file(tag_file* f, const std::string& path)
{
    XGFile file(path);
    file.Open(XGFile::kRead);
    uint64_t length = file.GetLength();
    if (length == 0) return nullptr;
    if (length > 0xFFFFFFF0ull) throw XGPostError(kXGFileReadError, {path});
    tag_data_ptr data(new (std::nothrow) uint8_t[length]);
    if (!data) throw XGPostError(kXGOutOfMemory);
    file.ReadAt(0, data.get(), size_t(length));

    XGFileSpecifier where(path);
    tag_code type = where.GetExtension() == "jpg" ? "jpeg"_4cc : "rawd"_4cc;
    std::string name = where.GetName().substr(0, MAXIMUM_TAG_NAME_LENGTH);
    tag_code id = make_tag_id(name.c_str(), type, nullptr);
    return create_tag_owned(f, type, id, int16_t(tag_type_version(type)), name.c_str(), uint32_t(length),
                            std::move(data));
}
