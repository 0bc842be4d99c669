// Saving: an update in place when only data of unchanged size changed, otherwise a rewrite
// of the whole file through a temporary file. Both hold the file's lock, and neither
// writes over a file that another program changed since the store read it.
#include "framework/ProgramAssert.h"
#include "framework/XGError.h"
#include "framework/XGFile.h"
#include "framework/XGFileLock.h"
#include "framework/XGFileSpecifier.h"
#include "tags/tag_file_format.h"
#include "tags/tags.h"

namespace {

[[noreturn]] void FileWriteError(const std::string& sentence)
{
    throw XGPostError(kXGFileWriteError, {sentence});
}

// A failure whose message is complete (it names the file and says why).
[[noreturn]] void WriteFailed(const std::string& message)
{
    throw XGError(kXGError, XGPostError(kXGFileWriteError).GetTitle(), message, kXGFileWriteError);
}

void RefuseProtectedKind(const tag_file* f)
{
    if (f->kind == TAG_FILE_KIND_PATCH || f->kind == TAG_FILE_KIND_BASE)
        FileWriteError(tag_file_name(f) + " - Cannot modify base tags or patches.");
}

} // namespace

void TTagStore::rewrite_tag_file(tag_file* f)
{
    RefuseProtectedKind(f);
    if (XGFile::Exists(f->path)) {
        XGFile check(f->path);
        if (!check.TryOpen(XGFile::kReadWrite)) {
            f->read_only = true;
            FileWriteError(tag_file_name(f) + " - The file is read-only.");
        }
    }
    f->read_only = false;
    std::string why;
    if (!write_tag_file(f, f->path, TAG_FILE_TYPE_AUTO, true, &why)) WriteFailed(why);
}

void TTagStore::save_tag_file(tag_file* f)
{
    RefuseProtectedKind(f);
    PROGRAM_ASSERT(!f->path.empty(), "tags");
    PROGRAM_ASSERT(!f->needrewrite || f->needupdate, "tags");
    XGFileLock lock(f->path);
    if (tag_file_changed_on_disk(f)) WriteFailed(tag_file_changed_message(f));
    if (f->needrewrite) {
        rewrite_tag_file(f);
        return;
    }
    // In place, through the very file that was read.
    XGFile opened(f->path);
    XGFile* file = &f->source;
    if (!f->source.IsWritable()) {
        if (!opened.TryOpen(XGFile::kReadWrite) || opened.GetStamp() != f->stamp) {
            rewrite_tag_file(f);
            return;
        }
        file = &opened;
    }
    try {
        for (tag_group* g = f->groups; g; g = g->next) {
            for (tag_entry* e = g->entries; e; e = e->next) {
                if (!e->dirty) continue;
                PROGRAM_ASSERT(e->data, "tags");
                file->WriteAt(e->offset, e->data.get(), e->size);
                e->dirty = false;
            }
        }
    } catch (const XGError&) {
        // our own partial write is no other program's change: a second save may go on
        f->stamp = file->GetStamp();
        throw;
    }
    // what was written is the file as read from now on
    f->stamp = file->GetStamp();
    opened.Close();
    f->needupdate = false;
    f->read_only = false;
}

void TTagStore::save_tag_file_as(tag_file* f, const std::string& path)
{
    if (!f->path.empty() && XGNormalPath(f->path) == XGNormalPath(path)) {
        save_tag_file(f);
        return;
    }
    std::string why;
    if (find_open_file(path) || (XGFile::Exists(path) && open_tag_file(path, false, &why)))
        FileWriteError(XGFileSpecifier(path).GetName() + " - A tag file already exists there; it is now open.");
    RefuseProtectedKind(f);
    // a file that appears there meanwhile is not replaced either
    bool exclusive = !XGFile::Exists(path);
    if (!write_tag_file(f, path, TAG_FILE_TYPE_AUTO, true, &why, nullptr, exclusive)) WriteFailed(why);
}
