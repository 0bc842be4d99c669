// Saving: an update in place when only data of unchanged size changed,
// otherwise a rewrite of the whole file through a temporary file.
#include "framework/ProgramAssert.h"
#include "framework/XGError.h"
#include "framework/XGFile.h"
#include "framework/XGFileSpecifier.h"
#include "tags/tag_file_format.h"
#include "tags/tags.h"

namespace {

[[noreturn]] void FileWriteError(const std::string& sentence)
{
    throw XGPostError(kXGFileWriteError, {sentence});
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
    if (!write_tag_file(f, f->path, TAG_FILE_TYPE_AUTO, true, &why)) FileWriteError(why);
}

void TTagStore::save_tag_file(tag_file* f)
{
    RefuseProtectedKind(f);
    PROGRAM_ASSERT(!f->path.empty(), "tags");
    PROGRAM_ASSERT(!f->needrewrite || f->needupdate, "tags");
    if (f->needrewrite) {
        rewrite_tag_file(f);
        return;
    }
    XGFile file(f->path);
    if (!file.TryOpen(XGFile::kReadWrite)) {
        rewrite_tag_file(f);
        return;
    }
    for (tag_group* g = f->groups; g; g = g->next) {
        for (tag_entry* e = g->entries; e; e = e->next) {
            if (!e->dirty) continue;
            PROGRAM_ASSERT(e->data, "tags");
            file.WriteAt(e->offset, e->data.get(), e->size);
            e->dirty = false;
        }
    }
    file.Close();
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
    if (!write_tag_file(f, path, TAG_FILE_TYPE_AUTO, true, &why)) FileWriteError(why);
}
