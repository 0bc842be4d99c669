// Open files, groups, lookups and iteration.
#include <algorithm>
#include <memory>

#include "framework/ProgramAssert.h"
#include "framework/XGDirectory.h"
#include "framework/XGError.h"
#include "framework/XGFile.h"
#include "framework/XGFileSpecifier.h"
#include "framework/XGSaveFile.h"
#include "tags/tag_file_format.h"
#include "tags/tag_types.h"
#include "tags/tags.h"

namespace {

// Groups made in a file's entry block when it is read; further types get their own.
constexpr size_t kPooledGroups = 16;

} // namespace

TTagStore::TTagStore() = default;

TTagStore::~TTagStore()
{
    while (fFiles) {
        tag_file* f = fFiles;
        f->form = nullptr;
        close_tag_file(f);
    }
}

void TTagStore::link_file_front(tag_file* f)
{
    f->prev = nullptr;
    f->next = fFiles;
    if (fFiles) fFiles->prev = f;
    fFiles = f;
    f->store = this;
    f->order = ++fNextFileOrder;
}

void TTagStore::unlink_file(tag_file* f)
{
    if (f->prev) f->prev->next = f->next;
    else fFiles = f->next;
    if (f->next) f->next->prev = f->prev;
    f->next = f->prev = nullptr;
}

void TTagStore::move_file_to_front(tag_file* f)
{
    PROGRAM_ASSERT(f->store == this, "tags");
    if (fFiles == f) return;
    unlink_file(f);
    link_file_front(f);
    // its tags come first in lookups, in the order they had among themselves
    for (tag_group* g = f->groups; g; g = g->next)
        for (tag_entry* e = g->entries; e; e = e->next) {
            uint64_t was = fIndex.remove(g->type, e->id, e);
            fIndex.insert(g->type, e->id, e, TTagIndex::precedence(f->order, uint32_t(was)));
        }
}

tag_file* TTagStore::find_open_file(const std::string& path) const
{
    auto it = fPathIndex.find(XGNormalPath(path));
    return it == fPathIndex.end() ? nullptr : it->second;
}

void TTagStore::set_tag_file_path(tag_file* f, const std::string& path, std::string normal)
{
    if (!f->path.empty()) {
        auto it = fPathIndex.find(XGNormalPath(f->path));
        if (it != fPathIndex.end() && it->second == f) fPathIndex.erase(it);
    }
    f->path = path;
    if (!path.empty()) fPathIndex.emplace(normal.empty() ? XGNormalPath(path) : std::move(normal), f);
}

tag_file* TTagStore::open_tag_file(const std::string& path, bool create, std::string* why)
{
    std::string normal = XGNormalPath(path);
    auto known = fPathIndex.find(normal);
    if (known != fPathIndex.end()) return known->second;

    XGFile file(path);
    bool read_only = false;
    if (!file.TryOpen(XGFile::kReadWrite)) {
        if (file.TryOpen(XGFile::kRead)) {
            read_only = true;
        } else {
            if (!create || XGFile::IsDirectory(path)) {
                if (why) *why = XGFile::Exists(path) ? "the file cannot be opened" : "the file does not exist";
                return nullptr;
            }
            auto* f = new tag_file;
            f->kind = TAG_FILE_KIND_ORDINARY;
            f->needupdate = true;
            f->needrewrite = true;
            link_file_front(f);
            set_tag_file_path(f, path, std::move(normal));
            return f;
        }
    }

    // at the front first: the index ranks the file's tags by its place
    auto* f = new tag_file;
    link_file_front(f);
    if (!read_into(f, file, why)) {
        close_tag_file(f);
        return nullptr;
    }
    f->read_only = read_only;
    set_tag_file_path(f, path, std::move(normal));
    return f;
}

bool TTagStore::read_into(tag_file* f, XGFile& file, std::string* why)
{
    tag_file_listing listing;
    bool ok;
    try {
        // before reading: a change made while the headers are read shows as a changed file
        f->stamp = file.GetStamp();
        ok = read_tag_file_listing(file, listing, fHeaderBuffer, why);
    } catch (const XGError& error) {
        if (why) *why = error.GetMessage();
        ok = false;
    }
    if (!ok) return false;

    f->kind = listing.kind;
    f->header_word = listing.header_word;
    if (listing.tag_count > 0) {
        // The entries, and room after them for the groups of the first few types.
        size_t count = size_t(listing.tag_count);
        const size_t group_room = std::min<size_t>(count, kPooledGroups);
        auto* block = static_cast<tag_entry*>(
            ::operator new(count * sizeof(tag_entry) + group_room * sizeof(tag_group), std::nothrow));
        if (!block) {
            if (why) *why = "out of memory";
            return false;
        }
        tag_entry_block owner(block, tag_entry_block_deleter{0});
        auto* groups = reinterpret_cast<tag_group*>(block + count);
        size_t groups_made = 0;
        tag_group* g = nullptr;
        const uint8_t* header = listing.entry_header(0);
        for (size_t i = 0; i < count; ++i, header += TAG_ENTRY_HEADER_SIZE) {
            tag_code type = read_be32(header + 36);
            if (!g || g->type != type) {
                g = find_group(f, type, false);
                if (!g && groups_made < group_room) {
                    g = find_group(f, type, new (groups + groups_made++) tag_group);
                    g->pooled = true;
                } else if (!g) {
                    g = find_group(f, type, true);
                }
            }
            tag_entry* e = new (block + i) tag_entry(g, header, listing.data_offset(header), listing.data_size(header));
            owner.get_deleter().count = i + 1;
            fIndex.insert(type, e->id, e, TTagIndex::precedence(f->order, ++f->entry_order));
        }
        f->entry_blocks.push_back(std::move(owner));
    }
    f->source = std::move(file);
    return true;
}

bool TTagStore::reload_tag_file(tag_file* f, std::string* why, const std::function<void(tag_file& fresh)>& before)
{
    PROGRAM_ASSERT(!f->path.empty(), "tags");
    XGFile file(f->path);
    bool read_only = false;
    if (!file.TryOpen(XGFile::kReadWrite)) {
        if (!file.TryOpen(XGFile::kRead)) {
            if (why) *why = XGFile::Exists(f->path) ? "the file cannot be opened" : "the file does not exist";
            return false;
        }
        read_only = true;
    }
    tag_file fresh;
    fresh.store = this;
    fresh.order = f->order; // the tags keep the file's place in lookups
    if (!read_into(&fresh, file, why)) {
        delete_file_contents(&fresh);
        return false;
    }
    try {
        if (before) before(fresh);
    } catch (...) {
        delete_file_contents(&fresh);
        throw;
    }
    delete_file_contents(f);
    f->groups = fresh.groups;
    fresh.groups = nullptr;
    for (tag_group* g = f->groups; g; g = g->next) {
        g->file = f;
        for (tag_entry* e = g->entries; e; e = e->next) e->file = f;
    }
    f->entry_blocks = std::move(fresh.entry_blocks);
    f->entry_order = fresh.entry_order;
    f->source = std::move(fresh.source);
    f->stamp = fresh.stamp;
    f->kind = fresh.kind;
    f->header_word = fresh.header_word;
    f->read_only = read_only;
    f->needupdate = false;
    f->needrewrite = false;
    return true;
}

tag_file* TTagStore::new_tag_file()
{
    auto* f = new tag_file;
    f->kind = TAG_FILE_KIND_NEW;
    link_file_front(f);
    return f;
}

void TTagStore::load_folder(const std::string& folder, bool recursive)
{
    XGDirectory dir(folder);
    std::string path = folder + "/";
    size_t base = path.size();
    for (const XGDirectoryEntry& entry : dir.GetEntries()) {
        // what a save is still writing, or a killed save left behind
        if (XGSaveFile::IsTemporaryName(entry.name)) continue;
        path.resize(base);
        path += entry.name;
        if (entry.isFolder) {
            if (recursive) load_folder(path, true);
        } else {
            open_tag_file(path, false);
        }
    }
}

void TTagStore::load_data_folder(const std::string& folder)
{
    for (const char* sub : {"tags", "local", "plugins"}) {
        std::string path = folder + "/" + sub;
        if (XGFile::IsDirectory(path)) load_folder(path, true);
    }
}

void TTagStore::delete_file_contents(tag_file* f)
{
    tag_group* g = f->groups;
    while (g) {
        tag_entry* e = g->entries;
        while (e) {
            tag_entry* next = e->next;
            fIndex.remove(g->type, e->id, e);
            if (!e->pooled) delete e;
            e = next;
        }
        tag_group* next = g->next;
        if (!g->pooled) delete g;
        g = next;
    }
    f->groups = nullptr;
    f->entry_blocks.clear();
}

void TTagStore::close_tag_file(tag_file* f)
{
    PROGRAM_ASSERT(f->form == 0, "tags");
    delete_file_contents(f);
    set_tag_file_path(f, "");
    unlink_file(f);
    delete f;
}

tag_file* TTagStore::revert_tag_file(tag_file* f)
{
    std::string path = f->path;
    close_tag_file(f);
    if (path.empty()) return nullptr;
    return open_tag_file(path, false);
}

size_t TTagStore::file_count() const
{
    size_t n = 0;
    for (tag_file* f = fFiles; f; f = f->next) ++n;
    return n;
}

tag_entry* TTagStore::next_entry(tag_entry* e) const
{
    if (e) {
        tag_check_entry(e);
        if (e->next) return e->next;
        for (tag_group* g = e->group->next; g; g = g->next)
            if (g->entries) return g->entries;
        for (tag_file* f = e->file->next; f; f = f->next)
            for (tag_group* g = f->groups; g; g = g->next)
                if (g->entries) return g->entries;
        return nullptr;
    }
    for (tag_file* f = fFiles; f; f = f->next)
        for (tag_group* g = f->groups; g; g = g->next)
            if (g->entries) return g->entries;
    return nullptr;
}

tag_group* tag_file_group(const tag_file* f, tag_code type)
{
    for (tag_group* g = f->groups; g; g = g->next)
        if (g->type == type) return g;
    return nullptr;
}

tag_group* TTagStore::find_group(tag_file* f, tag_code type, bool create)
{
    if (tag_group* g = tag_file_group(f, type)) return g;
    if (!create) return nullptr;
    return find_group(f, type, new tag_group);
}

tag_group* TTagStore::find_group(tag_file* f, tag_code type, tag_group* spare)
{
    if (tag_group* g = tag_file_group(f, type)) return g;
    if (!spare) return nullptr;
    tag_group* g = spare;
    g->type = type;
    g->type_info = tag_type_info_for(type);
    g->file = f;
    g->next = f->groups;
    if (f->groups) f->groups->prev = g;
    f->groups = g;
    return g;
}

void TTagStore::index_newest(tag_entry* e)
{
    tag_file* f = e->file;
    fIndex.insert(e->group->type, e->id, e, TTagIndex::precedence(f->order, ++f->entry_order));
}

void TTagStore::unindex(tag_entry* e)
{
    fIndex.remove(e->group->type, e->id, e);
}

tag_entry* tag_find_in_group(const tag_group* g, tag_code id)
{
    if (!g) return nullptr;
    return g->file->store->index().first(g->type, id, [g](const tag_entry* e) { return e->group == g; });
}

tag_entry* tag_find_in_file(const tag_file* f, tag_code type, tag_code id)
{
    return f->store->index().first(type, id, [f](const tag_entry* e) { return e->file == f; });
}

tag_entry* TTagStore::find_tag(tag_code type, tag_code id) const
{
    return fIndex.first(type, id);
}

tag_entry* TTagStore::find_next_duplicate(tag_entry* e, bool from_start) const
{
    tag_check_entry(e);
    // Files in store order, each file's tags of the type oldest first.
    std::vector<TTagIndex::match> all;
    fIndex.all(e->group->type, e->id, all);
    auto file_order = [](const TTagIndex::match& m) { return uint32_t(m.precedence >> 32); };
    std::stable_sort(all.begin(), all.end(), [&](const TTagIndex::match& a, const TTagIndex::match& b) {
        if (file_order(a) != file_order(b)) return file_order(a) > file_order(b);
        return a.precedence < b.precedence;
    });
    auto at = std::find_if(all.begin(), all.end(), [e](const TTagIndex::match& m) { return m.entry == e; });
    if (from_start) {
        for (const TTagIndex::match& m : all)
            if (m.entry != e) return m.entry;
        return nullptr;
    }
    return at != all.end() && at + 1 != all.end() ? (at + 1)->entry : nullptr;
}

int tag_count_tags(const tag_group* g, tag_code id)
{
    int n = 0;
    if (!g) return 0;
    for (tag_entry* e = g->entries; e; e = e->next)
        if (id == 0 || e->id == id) ++n;
    return n;
}

int TTagStore::add_tag_changed_listener(tag_changed_listener listener)
{
    int handle = fNextListener++;
    fListeners.emplace_back(handle, std::move(listener));
    return handle;
}

void TTagStore::remove_tag_changed_listener(int handle)
{
    fListeners.erase(std::remove_if(fListeners.begin(), fListeners.end(),
                                    [handle](const auto& l) { return l.first == handle; }),
                     fListeners.end());
}

void TTagStore::tag_changed(tag_code type, tag_code id)
{
    // a listener may remove itself
    auto listeners = fListeners;
    for (auto& l : listeners) l.second(type, id);
}

bool tag_file_is_protected(const tag_file* f)
{
    return f->read_only || f->kind == TAG_FILE_KIND_PATCH || f->kind == TAG_FILE_KIND_BASE;
}

bool tag_file_needs_saving(const tag_file* f)
{
    PROGRAM_ASSERT(!f->needrewrite || f->needupdate, "tags");
    return f->needrewrite || f->needupdate;
}

bool tag_file_changed_on_disk(const tag_file* f)
{
    return !f->path.empty() && XGFile::StampOf(f->path) != f->stamp;
}

std::string tag_file_changed_message(const tag_file* f)
{
    return f->path + " was changed by another program since it was opened";
}

std::string tag_file_name(const tag_file* f)
{
    return f->path.empty() ? std::string() : XGFileSpecifier(f->path).GetName();
}
