// The tag store: every open tag file with its tags grouped by type, lookup by
// type and id, lazy loading of tag data, structured reads and writes, saving.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "framework/XGFile.h"
#include "tags/byte_swapping.h"
#include "tags/tag_code.h"
#include "tags/tag_index.h"

struct tag_type_info;
struct tag_file;
struct tag_group;
class TTagStore;

constexpr int MAXIMUM_TAG_NAME_LENGTH = 31;

enum tag_file_layout : int32_t {
    TAG_FILE_TYPE_AUTO = 0,
    TAG_FILE_TYPE_LOCAL = 1,
    TAG_FILE_TYPE_PLUGIN = 2,
    TAG_FILE_TYPE_FOUNDATION = 3,
};

enum tag_file_kind : int32_t {
    TAG_FILE_KIND_NEW = -1,
    TAG_FILE_KIND_SINGLE = 0,
    TAG_FILE_KIND_ORDINARY = 1,
    TAG_FILE_KIND_PATCH = 2,
    TAG_FILE_KIND_BASE = 3,
};

// Tag data in file byte order.
using tag_data_ptr = std::unique_ptr<uint8_t[]>;

// One tag.
struct tag_entry {
    tag_entry* next = nullptr; // in the group, file order
    tag_entry* prev = nullptr;
    char name[32] = {};
    tag_file* file = nullptr;
    tag_group* group = nullptr;
    tag_data_ptr data;    // null until loaded
    void* form = nullptr; // the editor window open on this tag, not owned
    tag_code id = 0;
    uint32_t offset = 0; // of the data in the file on disk; 0 when never written
    uint32_t size = 0;
    int16_t version = 0;
    bool dirty = false;
    bool pooled = false; // part of its file's entry block, freed with the file

    tag_entry() = default;
    // An entry of a file's block, from its entry header (64 stored bytes at header).
    tag_entry(tag_group* g, const uint8_t* header, uint32_t data_offset, uint32_t data_size);
};
static_assert(sizeof(tag_entry) == 96);

// Frees a file's block of entries read from disk.
struct tag_entry_block_deleter {
    size_t count = 0;
    void operator()(tag_entry* block) const;
};
using tag_entry_block = std::unique_ptr<tag_entry, tag_entry_block_deleter>;

// The tags of one type within one file.
struct tag_group {
    tag_group* next = nullptr; // in the file, newest group first
    tag_group* prev = nullptr;
    tag_code type = 0;
    tag_entry* entries = nullptr; // first entry in file order (oldest)
    tag_entry* last = nullptr;    // newest
    const tag_type_info* type_info = nullptr;
    tag_file* file = nullptr;
    bool pooled = false; // part of its file's entry block, freed with the file
};

// Inline: reading a file makes one per entry header.
inline tag_entry::tag_entry(tag_group* g, const uint8_t* header, uint32_t data_offset, uint32_t data_size)
    : prev(g->last), file(g->file), group(g), id(read_be32(header + 40)), offset(data_offset), size(data_size),
      version(int16_t(read_be16(header + 56))), pooled(true)
{
    // the fields the reader uses, assembled byte by byte
    std::memcpy(name, header + 4, sizeof name);
    name[MAXIMUM_TAG_NAME_LENGTH] = 0;
    if (g->last) g->last->next = this;
    else g->entries = this;
    g->last = this;
}


// One open tag file.
struct tag_file {
    tag_file* next = nullptr; // in the store, most recently opened first
    tag_file* prev = nullptr;
    tag_group* groups = nullptr;
    std::string path; // empty for a new file that was never saved
    bool read_only = false;
    bool needupdate = false;
    bool needrewrite = false;
    int32_t kind = TAG_FILE_KIND_NEW;
    int32_t header_word = 0;
    void* form = nullptr; // the tag file window, not owned
    TTagStore* store = nullptr;
    uint32_t order = 0;       // higher for files put at the front of the store later
    uint32_t entry_order = 0; // the last order given to a tag of this file
    std::vector<tag_entry_block> entry_blocks; // the entries read from disk
    // The file as read: tags not in memory are read from it, also after another program
    // replaced the file at the path. Closed for a file that has none.
    XGFile source;
    // The file on disk as read or last written; exists is false for a file not yet written.
    XGFileStamp stamp;
};

using tag_changed_listener = std::function<void(tag_code type, tag_code id)>;

class TTagStore {
public:
    TTagStore();
    ~TTagStore();
    TTagStore(const TTagStore&) = delete;
    TTagStore& operator=(const TTagStore&) = delete;

    // Files.
    // The open file with that path, or the file read from disk and put at the front.
    // A missing path with create set gives an empty file record (kind 1, to be written).
    // None when the file is not a tag file (why says so when given).
    tag_file* open_tag_file(const std::string& path, bool create, std::string* why = nullptr);
    tag_file* new_tag_file();
    void load_folder(const std::string& folder, bool recursive);
    // Loads the subfolders tags, local and plugins of folder, in that order, where they exist.
    void load_data_folder(const std::string& folder);
    void close_tag_file(tag_file* f);
    tag_file* revert_tag_file(tag_file* f);
    // Reads the file again from its path into the same record, which keeps its place in the
    // list and its window; every entry of it is replaced. before sees the file as read again
    // while the old entries still live (their entries stay where they are after). False, with
    // the reason, when the path holds no tag file now; the file is unchanged then.
    bool reload_tag_file(tag_file* f, std::string* why = nullptr,
                         const std::function<void(tag_file& fresh)>& before = {});
    tag_file* find_open_file(const std::string& path) const;
    // Puts an open file first in lookups, as opening it would.
    void move_file_to_front(tag_file* f);
    void set_tag_file_path(tag_file* f, const std::string& path, std::string normal = {});

    // Iteration, in store order.
    tag_file* next_file(tag_file* f) const { return f ? f->next : fFiles; }
    tag_entry* next_entry(tag_entry* e) const; // over the whole store; the first for none
    size_t file_count() const;

    // Lookup.
    tag_group* find_group(tag_file* f, tag_code type, bool create);
    // The same, a new group being made in place at spare when spare is given.
    tag_group* find_group(tag_file* f, tag_code type, tag_group* spare);
    tag_entry* find_tag(tag_code type, tag_code id) const;
    tag_entry* find_next_duplicate(tag_entry* e, bool from_start) const;

    // Tags. data is copied; see create_tag_owned to hand over a buffer.
    // An id of 0 is derived from the name; a null name gives "Untitled <type name>".
    tag_entry* create_tag(tag_file* f, tag_code type, tag_code id, int16_t version, const char* name,
                          uint32_t offset, uint32_t size, const void* data);
    tag_entry* create_tag_owned(tag_file* f, tag_code type, tag_code id, int16_t version, const char* name,
                                uint32_t size, tag_data_ptr data);
    void delete_tag(tag_entry* e, bool free_data = true);

    // The id derived from name: with a type and no file unique among the open tags of
    // the type; with both unique within the file's group; with a file only unique among
    // the file's tags; with neither not checked.
    tag_code make_tag_id(const char* name, tag_code type, tag_file* f) const;

    // Copies every tag of from that into lacks (same type and id) into into.
    int copy_missing_tags(tag_file* from, tag_file* into);
    // Adds the file's bytes as a jpeg (extension "jpg") or rawd tag; none for an empty
    // file. Raises the framework's file errors when the file cannot be read.
    tag_entry* import_raw_file(tag_file* f, const std::string& path);

    // Saving, under the file's lock (XGFileLock). Raises XGError with the program's message
    // when the file is protected, read-only, cannot be written, or was changed on disk by
    // another program since it was read; nothing on disk changes then.
    void save_tag_file(tag_file* f);
    // Save As: writes the whole file to a new path, which becomes the file's own.
    // The own path does a plain save. A path where a tag file is open or exists is
    // refused (nothing written) and that file is opened in the store.
    void save_tag_file_as(tag_file* f, const std::string& path);

    // Change notification.
    int add_tag_changed_listener(tag_changed_listener listener);
    void remove_tag_changed_listener(int handle);
    void tag_changed(tag_code type, tag_code id);

    // The file list head (most recently opened first).
    tag_file* first_file() const { return fFiles; }

    // Every tag by type and id, kept by every operation that adds, removes, re-identifies
    // or moves tags or files.
    const TTagIndex& index() const { return fIndex; }

private:
    friend void tag_set_id(tag_entry* e, tag_code id);
    friend void tag_set_type(tag_entry* e, tag_code type);

    // Indexes a tag just linked as the newest of its group.
    void index_newest(tag_entry* e);
    void unindex(tag_entry* e);

    // The newest entry of the type's group, named and identified as create_tag says.
    tag_entry* insert_entry(tag_file* f, tag_code type, tag_code id, int16_t version, const char* name,
                            uint32_t offset, uint32_t size);
    void link_file_front(tag_file* f);
    void unlink_file(tag_file* f);
    void delete_file_contents(tag_file* f);
    void rewrite_tag_file(tag_file* f);
    // The file read into f, which has no contents; false when it is no tag file.
    bool read_into(tag_file* f, XGFile& file, std::string* why);

    tag_file* fFiles = nullptr;
    std::unordered_map<std::string, tag_file*> fPathIndex;
    std::vector<uint8_t> fHeaderBuffer; // entry headers being read, reused from file to file
    std::vector<std::pair<int, tag_changed_listener>> fListeners;
    int fNextListener = 1;
    TTagIndex fIndex;
    uint32_t fNextFileOrder = 0;

    // Where make_tag_id's walk along an id's successors stopped: every id before it was
    // taken, which stays true until a tag is removed.
    struct id_walk_key {
        const tag_file* file;
        tag_code type;
        tag_code start;
        bool operator==(const id_walk_key&) const = default;
    };
    struct id_walk_hash {
        size_t operator()(const id_walk_key& k) const
        {
            uint64_t h = ((uint64_t(k.type) << 32) | k.start) ^ (uint64_t(uintptr_t(k.file)) * 0x9E3779B97F4A7C15ull);
            return size_t(h ^ (h >> 29));
        }
    };
    struct id_walk {
        tag_code id;
        long tries;
    };
    mutable std::unordered_map<id_walk_key, id_walk, id_walk_hash> fIdWalks;
    mutable uint64_t fIdWalkRemovals = 0;
};

// Entry operations. Each checks the entry's links.
void tag_check_entry(const tag_entry* e);
const char* tag_get_name(const tag_entry* e);
tag_code tag_get_id(const tag_entry* e);
tag_code tag_get_type(const tag_entry* e);
int16_t tag_get_version(const tag_entry* e); // -1 for no entry
uint32_t tag_get_size(const tag_entry* e);
tag_file* tag_get_file(const tag_entry* e);
tag_group* tag_get_group(const tag_entry* e);
void* tag_get_window(const tag_entry* e);
void tag_set_window(tag_entry* e, void* form);
void tag_file_set_window(tag_file* f, void* form);

// Copies at most 31 characters; returns the length kept.
size_t tag_set_name(tag_entry* e, const char* name);
void tag_set_id(tag_entry* e, tag_code id);
void tag_set_version(tag_entry* e, int16_t version);
void tag_set_type(tag_entry* e, tag_code type);

// The data in file byte order, loading it from disk when needed; null when it cannot
// be had (no file read, short read, offset or size beyond the file, or the file read was
// changed since).
const uint8_t* tag_get_data(tag_entry* e, uint32_t* size = nullptr);
// count bytes of the tag's data from offset as the file read holds them, without keeping
// them; false when they cannot be had as for tag_get_data.
bool tag_read_stored_data(const tag_entry* e, uint32_t offset, void* out, uint32_t count);
// Up to count bytes of the file as it was read, from offset (a window over many tags);
// the number read, 0 when the file was changed since or is not open.
size_t tag_file_read_stored(tag_file* f, uint64_t offset, void* out, size_t count);
// Gives a tag without data in memory its stored bytes, read by the caller.
void tag_adopt_data(tag_entry* e, tag_data_ptr data);
// Replaces the data with a copy. Returns false when memory runs out.
bool tag_set_data(tag_entry* e, const void* data, uint32_t size);
void tag_set_data_owned(tag_entry* e, tag_data_ptr data, uint32_t size);
// Frees the in-memory copy when the file as read holds the same bytes and can still be read.
void tag_release_data(tag_entry* e);
// Frees the in-memory copy of stored bytes unchanged since read without asking the disk: for
// data read moments ago through the file as read. Reading it again fails if the file changed.
void tag_forget_data(tag_entry* e);

bool tag_read_structs(const char* label, tag_entry* e, void* struct_ptr, int32_t struct_length,
                      int32_t struct_count, const bs_code* codes);
bool tag_write_structs(const char* label, tag_entry* e, const void* struct_ptr, int32_t struct_length,
                       int32_t struct_count, const bs_code* codes);
// True when the structures differ from the data (or the data cannot be had).
bool tag_compare_structs(const char* label, tag_entry* e, const void* struct_ptr, int32_t struct_length,
                         int32_t struct_count, const bs_code* codes, bool exact);

// File state.
bool tag_file_is_protected(const tag_file* f);
bool tag_file_needs_saving(const tag_file* f);
// The file at the path is no longer the one read or last written (replaced, changed,
// removed, or made where there was none).
bool tag_file_changed_on_disk(const tag_file* f);
// "PATH was changed by another program since it was opened"
std::string tag_file_changed_message(const tag_file* f);
std::string tag_file_name(const tag_file* f); // the file name of its path, "" for a new file
int tag_count_tags(const tag_group* g, tag_code id = 0); // all, or those with the id
tag_entry* tag_find_in_group(const tag_group* g, tag_code id);
tag_entry* tag_find_in_file(const tag_file* f, tag_code type, tag_code id);
tag_group* tag_file_group(const tag_file* f, tag_code type); // none when the file has no tag of the type

// The id following id (the last character advanced, '9' to 'a', carrying into the
// character to its left when it leaves letters and digits).
tag_code next_tag_id(tag_code id);
// The id derived from a name, without any check.
tag_code tag_id_from_name(const char* name);
