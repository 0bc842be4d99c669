#include "tags/tag_file_format.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>
#include <isa-l/crc.h>

#include "framework/ProgramAssert.h"
#include "framework/XGError.h"
#include "framework/XGFile.h"
#include "framework/XGFileLock.h"
#include "framework/XGFileSpecifier.h"
#include "framework/XGSaveFile.h"
#include "tags/staged_writer.h"

const bs_code tag_header_bs_codes[] = {_begin_bs_array, 1, _2byte, _2byte, 32, 64, _2byte, _2byte, _4byte,
                                       _4byte, _4byte, _4byte, 4, _4byte, _end_bs_array};
const bs_code entry_points_bs_codes[] = {_begin_bs_array, 1, _4byte, _4byte, 4, _4byte, 32, 64, _end_bs_array};
const bs_code entry_header_bs_codes[] = {_begin_bs_array, 1, _2byte, 1, 1, 32, _4byte, _4byte, _4byte,
                                         _4byte, _4byte, _2byte, 1, 1, _4byte, _end_bs_array};

namespace {

constexpr int32_t MESH_HEADER_SIZE = 1024;
constexpr uint32_t COPY_BUFFER_SIZE = 1 << 20;
constexpr int32_t MESH_TEAM_COUNT_OFFSET = 84;
constexpr int32_t MESH_DESCRIPTION_OFFSET = 140;

void SetWhy(std::string* why, const std::string& text)
{
    if (why) *why = text;
}

std::string EntryLabel(const tag_entry* e)
{
    return tag_code_to_text(e->group->type) + "/" + tag_code_to_text(e->id) + " (" + e->name + ")";
}

void CopyName(char* out, size_t size, const std::string& name)
{
    std::memset(out, 0, size);
    std::memcpy(out, name.data(), std::min(name.size(), size - 1));
}

// Tags of the file in file order: groups newest first, entries oldest first.
std::vector<tag_entry*> FileOrder(tag_file* f)
{
    std::vector<tag_entry*> tags;
    for (tag_group* g = f->groups; g; g = g->next)
        for (tag_entry* e = g->entries; e; e = e->next) tags.push_back(e);
    return tags;
}

// The tags' own file as it was read: the source of the data that is not in memory when no
// other is given.
class TOwnFileData : public TTagDataSource {
public:
    bool ReadTagData(tag_entry* e, uint32_t offset, void* out, uint32_t count) override
    {
        fUsed = true;
        return tag_read_stored_data(e, offset, out, count);
    }
    bool Used() const { return fUsed; }

private:
    bool fUsed = false;
};

// The message of a failed write from the program's own sentence about it.
std::string WriteFailure(const std::string& sentence)
{
    return XGPostError(kXGFileWriteError, {sentence}).GetMessage();
}

// Why a tag's data could not be copied: the file it comes from was changed, or the bytes are not there.
std::string UnreadableData(const tag_entry* e, const std::string& display)
{
    const tag_file* f = e->file;
    if (f->source.IsOpen() && f->source.GetStamp() != f->stamp) return tag_file_changed_message(f);
    return WriteFailure(display + " - The data of " + EntryLabel(e) + " cannot be read.");
}

// Reads the first count bytes of a tag's data, from memory or from the source.
bool ReadPrefix(tag_entry* e, TTagDataSource& source, uint8_t* out, uint32_t count)
{
    if (e->size < count) return false;
    if (e->data) {
        std::memcpy(out, e->data.get(), count);
        return true;
    }
    return source.ReadTagData(e, 0, out, count);
}

// The start of the map's title list, at most 63 bytes: from the store, else from a source
// given for tags without a file of their own.
size_t ReadTitle(tag_entry* strings, TTagDataSource* given, char* out)
{
    uint32_t size = 0;
    const uint8_t* text = tag_get_data(strings, &size);
    size_t n = size < 63 ? size : 63;
    if (text) {
        std::memcpy(out, text, n);
        return n;
    }
    return given && n && given->ReadTagData(strings, 0, out, uint32_t(n)) ? n : 0;
}

bool MakeEntryPoint(tag_entry* e, TTagDataSource& source, TTagDataSource* given, tag_entry_point& point)
{
    uint8_t header[MESH_HEADER_SIZE];
    if (!ReadPrefix(e, source, header, MESH_HEADER_SIZE)) return false;
    std::memset(&point, 0, sizeof point);
    point.map_id = e->id;
    point.team_count = read_be32(header + MESH_TEAM_COUNT_OFFSET);
    CopyName(point.map_tag_name, sizeof point.map_tag_name, e->name);

    tag_code description_id = read_be32(header + MESH_DESCRIPTION_OFFSET);
    tag_entry* strings = e->file->store->find_tag(STRING_LIST_TAG, description_id);
    size_t n = strings ? ReadTitle(strings, given, point.map_title) : 0;
    if (n > 0) {
        for (size_t i = 0; i < n; ++i) {
            char c = point.map_title[i];
            if (c == 13 || c == 10 || c == 9 || c == 0) {
                std::memset(point.map_title + i, 0, sizeof point.map_title - i);
                break;
            }
        }
    } else {
        std::strcpy(point.map_title, "map name string not found");
    }
    return true;
}

} // namespace

uint32_t tag_checksum(uint32_t crc, const void* data, size_t size)
{
    // ISA-L's gzip CRC is the same register, inverted on the way in and out
    return ~crc32_gzip_refl(~crc, (const unsigned char*)data, size);
}

bool read_tag_file_listing(XGFile& file, tag_file_listing& listing, std::vector<uint8_t>& buffer,
                           std::string* why)
{
    listing = tag_file_listing();
    listing.head = &buffer;
    uint8_t first[TAG_FILE_HEADER_SIZE];
    size_t got = file.ReadSome(0, first, sizeof first);
    if (got < size_t(TAG_ENTRY_HEADER_SIZE)) {
        SetWhy(why, "not a tag file");
        return false;
    }

    if (got == size_t(TAG_FILE_HEADER_SIZE) && read_be32(first + 124) == TAG_FILE_SIGNATURE) {
        // the fields the reader uses, assembled byte by byte
        int16_t kind = int16_t(read_be16(first + 0));
        int16_t header_word = int16_t(read_be16(first + 2));
        int16_t entry_point_count = int16_t(read_be16(first + 100));
        int16_t tag_count = int16_t(read_be16(first + 102));
        if (entry_point_count < 0 || tag_count < 0) {
            SetWhy(why, "the file header has negative counts");
            return false;
        }
        uint64_t table = TAG_FILE_HEADER_SIZE + uint64_t(TAG_ENTRY_POINT_SIZE) * entry_point_count;
        size_t bytes = size_t(TAG_ENTRY_HEADER_SIZE) * size_t(tag_count);
        if (buffer.size() < bytes) buffer.resize(bytes);
        // a short read: the entry headers run past the end of the file
        if (file.ReadSome(table, buffer.data(), bytes) != bytes) {
            SetWhy(why, "the entry headers run past the end of the file");
            return false;
        }
        listing.table = 0;
        listing.kind = kind;
        listing.header_word = header_word;
        listing.tag_count = tag_count;
        listing.length = table + bytes; // at least
    } else if (read_be32(first + 60) == TAG_ENTRY_SIGNATURE) {
        uint64_t length = file.GetLength();
        if (length - TAG_ENTRY_HEADER_SIZE > 0xFFFFFFFFull) {
            SetWhy(why, "the tag is too large");
            return false;
        }
        if (buffer.size() < size_t(TAG_ENTRY_HEADER_SIZE)) buffer.resize(TAG_ENTRY_HEADER_SIZE);
        std::memcpy(buffer.data(), first, TAG_ENTRY_HEADER_SIZE);
        listing.length = length;
        listing.kind = TAG_FILE_KIND_SINGLE;
        listing.single = true;
        listing.tag_count = 1;
        listing.table = 0;
    } else {
        SetWhy(why, "not a tag file");
        return false;
    }
    return true;
}

tag_file_layout tag_file_auto_layout(const std::string& destination)
{
    std::string folder = XGFileSpecifier(XGNormalPath(destination)).GetFolder();
    std::string text = ":";
    int folders = 0;
    while (!folder.empty() && folder != "/" && folders < 30 && text.size() <= 768) {
        size_t slash = folder.find_last_of('/');
        std::string name = slash == std::string::npos ? folder : folder.substr(slash + 1);
        text += name + ":";
        ++folders;
        if (slash == std::string::npos || slash == 0) break;
        folder = folder.substr(0, slash);
    }
    if (text.find(":local:") != std::string::npos) return TAG_FILE_TYPE_LOCAL;
    if (text.find(":tags:") != std::string::npos) return TAG_FILE_TYPE_FOUNDATION;
    return TAG_FILE_TYPE_PLUGIN;
}

// What a write holds from Begin to Finish.
struct TTagFileWriter::state {
    tag_file* f;
    std::string destination;
    std::string display;
    tag_file_layout layout;
    TTagDataSource* given;
    bool exclusive;
    bool single = false;
    bool same = false;
    TOwnFileData own;
    TTagDataSource* reader = nullptr;
    XGFileLock lock;
    bool locked = false;
    std::vector<tag_entry*> tags;
    std::vector<uint32_t> offsets;
    size_t next = 0;
    tag_file_header fh{};
    std::unique_ptr<XGSaveFile> temp;
    std::unique_ptr<TStagedWriter> staged;
    std::string why;
    bool failed = false;

    bool Lock()
    {
        if (locked) return true;
        locked = true;
        try {
            lock = XGFileLock(destination);
        } catch (const XGError& error) {
            return Fail(error.GetMessage());
        }
        return true;
    }

    bool Fail(const std::string& text)
    {
        why = text;
        failed = true;
        staged.reset(); // its thread is done with the file
        temp.reset();   // the temporary file goes
        return false;
    }
};

TTagFileWriter::TTagFileWriter(tag_file* f, const std::string& destination, tag_file_layout layout,
                               TTagDataSource* data, bool exclusive)
    : fState(new state{f, destination, XGFileSpecifier(destination).GetName(), layout, data, exclusive})
{
}

TTagFileWriter::~TTagFileWriter() = default;

const std::string& TTagFileWriter::Why() const
{
    return fState->why;
}

tag_entry* TTagFileWriter::Next() const
{
    const state& s = *fState;
    return !s.failed && s.temp && s.next < s.tags.size() ? s.tags[s.next] : nullptr;
}

bool TTagFileWriter::Begin(bool lock_late, TWriterThread* thread)
{
    state& s = *fState;
    tag_file* f = s.f;
    const std::string& display = s.display;
    if (f->kind == TAG_FILE_KIND_PATCH || f->kind == TAG_FILE_KIND_BASE)
        return s.Fail(WriteFailure(tag_file_name(f) + " - Cannot modify base tags or patches."));
    s.tags = FileOrder(f);

    if (s.layout == TAG_FILE_TYPE_AUTO) {
        s.layout = tag_file_auto_layout(s.destination);
        if (s.layout == TAG_FILE_TYPE_LOCAL && s.tags.size() != 1) {
            char text[160];
            std::snprintf(text, sizeof text,
                          " - A tag file in a local folder holds exactly one tag; this one holds %zu.",
                          s.tags.size());
            return s.Fail(WriteFailure(display + text));
        }
    }
    PROGRAM_ASSERT(s.layout != TAG_FILE_TYPE_AUTO, "tags");
    s.single = s.layout == TAG_FILE_TYPE_LOCAL;
    if (s.single && s.tags.size() != 1)
        return s.Fail(WriteFailure(display + " - A single-tag file must hold exactly one tag."));

    // The source of every tag whose data is not in memory is the file as it was read.
    s.same = !f->path.empty() && XGNormalPath(f->path) == XGNormalPath(s.destination);
    if (s.same && XGFile::Exists(f->path)) {
        XGFile check(f->path);
        if (!check.TryOpen(XGFile::kReadWrite)) {
            f->read_only = true;
            return s.Fail(WriteFailure(tag_file_name(f) + " - The file is read-only."));
        }
        f->read_only = false;
    }
    s.reader = s.given ? s.given : &s.own;

    // Other programs of ours wait until this write is done.
    if (!lock_late && !s.Lock()) return false;

    // Entry points and the header.
    std::vector<tag_entry_point> points;
    if (!s.single) {
        for (tag_group* g = f->groups; g; g = g->next) {
            if (g->type != MESH_TAG) continue;
            for (tag_entry* e = g->entries; e; e = e->next) {
                tag_entry_point point;
                if (!MakeEntryPoint(e, *s.reader, s.given, point))
                    return s.Fail(WriteFailure(display + " - The map header of " + EntryLabel(e) + " cannot be read."));
                points.push_back(point);
            }
        }
    }
    uint64_t total = 0;
    for (tag_entry* e : s.tags) total += e->size;
    uint64_t header_bytes = s.single ? 0 : TAG_FILE_HEADER_SIZE + uint64_t(TAG_ENTRY_POINT_SIZE) * points.size();
    uint64_t file_size = header_bytes + uint64_t(TAG_ENTRY_HEADER_SIZE) * s.tags.size() + total;
    if (s.tags.size() > 32767 || points.size() > 32767 || file_size > 0xFFFFFFFFull)
        return s.Fail(WriteFailure(display + " - The file would be too large for the tag file format."));

    tag_file_header& fh = s.fh;
    std::memset(&fh, 0, sizeof fh);
    if (!s.single) {
        bool foundation = s.layout == TAG_FILE_TYPE_FOUNDATION;
        fh.file_kind = foundation ? TAG_FILE_KIND_BASE : TAG_FILE_KIND_ORDINARY;
        fh.header_word = foundation ? 0 : int16_t(f->header_word);
        XGFileSpecifier named(f->path.empty() ? s.destination : f->path);
        CopyName(fh.name, sizeof fh.name, named.GetBaseName());
        fh.entry_point_count = int16_t(points.size());
        fh.tag_count = int16_t(s.tags.size());
        fh.file_size = uint32_t(file_size);
        fh.signature = TAG_FILE_SIGNATURE;
    }

    // Everything before the data, in file order.
    std::vector<uint8_t> head(size_t(header_bytes + uint64_t(TAG_ENTRY_HEADER_SIZE) * s.tags.size()));
    size_t pos = 0;
    if (!s.single) {
        pos = TAG_FILE_HEADER_SIZE; // the header goes in last, with its checksums
        if (!points.empty()) {
            std::memcpy(head.data() + pos, points.data(), points.size() * TAG_ENTRY_POINT_SIZE);
            byte_swap_data("entry points", head.data() + pos, TAG_ENTRY_POINT_SIZE, int32_t(points.size()),
                           entry_points_bs_codes);
            pos += points.size() * TAG_ENTRY_POINT_SIZE;
        }
    }
    s.offsets.reserve(s.tags.size());
    uint32_t offset = uint32_t(head.size());
    for (tag_entry* e : s.tags) {
        tag_entry_header eh;
        std::memset(&eh, 0, sizeof eh);
        eh.file_mark = s.single ? 0 : 3;
        CopyName(eh.name, sizeof eh.name, e->name);
        eh.type = e->group->type;
        eh.id = e->id;
        eh.offset = offset;
        eh.size = e->size;
        eh.version = e->version;
        eh.reserved4 = 255;
        eh.signature = TAG_ENTRY_SIGNATURE;
        byte_swap_copy("entry header", head.data() + pos, &eh, TAG_ENTRY_HEADER_SIZE, 1, entry_header_bs_codes);
        pos += TAG_ENTRY_HEADER_SIZE;
        s.offsets.push_back(offset);
        offset += e->size;
    }

    // It all goes into a temporary file beside the destination, the data through one buffer
    // of at most a megabyte, in few large writes.
    try {
        s.temp = std::make_unique<XGSaveFile>(s.destination);
        s.temp->GetFile().Write(head.data(), head.size());
    } catch (const XGError& error) {
        return s.Fail(error.GetMessage());
    }
    s.staged = std::make_unique<TStagedWriter>(s.temp->GetFile(), TAG_CHECKSUM_START,
                                               uint32_t(std::min<uint64_t>(total, COPY_BUFFER_SIZE)),
                                               total > COPY_BUFFER_SIZE ? thread : nullptr);
    return true;
}

bool TTagFileWriter::WriteNext()
{
    state& s = *fState;
    tag_entry* e = Next();
    PROGRAM_ASSERT(e, "tags");
    ++s.next;
    if (e->size == 0) return true;
    TStagedWriter& staged = *s.staged;
    if (!staged.Ready()) return s.Fail(WriteFailure(s.display + " - Out of memory reading " + EntryLabel(e) + "."));
    try {
        if (e->data) {
            staged.Append(e->data.get(), e->size);
            return true;
        }
        for (uint32_t done = 0; done < e->size;) {
            uint32_t room = 0;
            uint8_t* space = staged.Space(room);
            uint32_t n = std::min(e->size - done, room);
            if (!s.reader->ReadTagData(e, done, space, n))
                return s.Fail(s.given ? WriteFailure(s.display + " - The data of " + EntryLabel(e) + " cannot be read.")
                                      : UnreadableData(e, s.display));
            staged.Commit(n);
            done += n;
        }
    } catch (const XGError& error) {
        return s.Fail(error.GetMessage());
    }
    return true;
}

bool TTagFileWriter::Finish(bool adopt)
{
    state& s = *fState;
    tag_file* f = s.f;
    if (s.failed) return false;
    PROGRAM_ASSERT(s.temp && s.next == s.tags.size(), "tags");
    XGFile written;
    try {
        s.staged->Flush();
        if (!s.single) {
            s.fh.data_checksum = s.staged->Checksum();
            uint8_t raw[TAG_FILE_HEADER_SIZE];
            byte_swap_copy("tag header", raw, &s.fh, TAG_FILE_HEADER_SIZE, 1, tag_header_bs_codes);
            write_be32(raw + 116, 0);
            write_be32(raw + 116, tag_checksum(TAG_CHECKSUM_START, raw, TAG_FILE_HEADER_SIZE));
            s.temp->GetFile().WriteAt(0, raw, TAG_FILE_HEADER_SIZE);
        }
        written = s.temp->Finish();
        if (!s.Lock()) return false;

        // Nothing from a file that another program changed meanwhile, and never over its changes.
        if ((s.own.Used() && f->source.GetStamp() != f->stamp) || (s.same && tag_file_changed_on_disk(f)))
            return s.Fail(tag_file_changed_message(f));
        XGSaveFile::RemoveStale(s.destination, s.temp->GetPath());
        bool handed = s.lock.PrepareHandOver(written);
        if (int error = s.temp->Replace(s.exclusive))
            return s.Fail(s.exclusive && error == EEXIST
                              ? WriteFailure(s.display + " - Another file was made there meanwhile.")
                              : XGPostWinOSError(kXGFileWriteError, error, {s.destination}).GetMessage());
        if (handed) s.lock.HandOver(written);
    } catch (const XGError& error) {
        return s.Fail(error.GetMessage());
    }
    if (adopt) {
        for (size_t i = 0; i < s.tags.size(); ++i) {
            s.tags[i]->offset = s.offsets[i];
            s.tags[i]->dirty = false;
            s.tags[i]->data.reset();
        }
        f->needupdate = false;
        f->needrewrite = false;
        f->kind = s.single ? TAG_FILE_KIND_SINGLE
                           : (s.layout == TAG_FILE_TYPE_FOUNDATION ? TAG_FILE_KIND_BASE : TAG_FILE_KIND_ORDINARY);
        if (!s.single) f->header_word = s.fh.header_word;
        f->source = std::move(written);
        f->stamp = f->source.GetStamp();
        f->store->set_tag_file_path(f, s.destination);
    }
    s.temp.reset();
    s.lock = XGFileLock();
    return true;
}

bool write_tag_file(tag_file* f, const std::string& destination, tag_file_layout layout, bool adopt,
                    std::string* why, TTagDataSource* data, bool exclusive)
{
    TTagFileWriter writer(f, destination, layout, data, exclusive);
    bool ok = writer.Begin();
    while (ok && writer.Next()) ok = writer.WriteNext();
    ok = ok && writer.Finish(adopt);
    if (!ok) SetWhy(why, writer.Why());
    return ok;
}
