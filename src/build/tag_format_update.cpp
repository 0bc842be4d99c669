#include "build/tag_format_update.h"

#include "framework/XGError.h"
#include "tags/gameplay/tag_struct.h"
#include "tags/tag_types.h"

namespace {

// The type that knows a tag's versions; none for an entry of an unknown type.
const tag_type_info* TypeOf(tag_entry* e)
{
    return e ? tag_type_info_for(tag_get_type(e)) : nullptr;
}

XGPostError Unreadable(const tag_entry* e)
{
    return tag_data_error(e, "is too short for its format and cannot be updated; it was left unchanged");
}

} // namespace

void check_tag_format(tag_entry* e)
{
    const tag_type_info* info = TypeOf(e);
    if (!info) return;
    int32_t v = tag_get_version(e);
    if (v == 0) return;
    XG_ASSERT(v <= info->version, "tag_format_update");
    if (v < info->version) XG_ASSERT(info->updater, "tag_format_update");
}

tag_update_outcome run_tag_format_update(tag_entry* e)
{
    const tag_type_info* info = TypeOf(e);
    if (!info) return TAG_UPDATE_NONE;
    int32_t v = tag_get_version(e);
    if (v == 0) {
        tag_set_version(e, int16_t(info->version));
        return TAG_UPDATE_VERSIONED;
    }
    check_tag_format(e);
    if (v == info->version) return TAG_UPDATE_NONE;
    return info->updater(e) ? TAG_UPDATE_CONVERTED : TAG_UPDATE_UNREADABLE;
}

bool update_tag_format(tag_entry* e)
{
    tag_update_outcome outcome = run_tag_format_update(e);
    if (outcome == TAG_UPDATE_UNREADABLE) throw Unreadable(e);
    return outcome == TAG_UPDATE_CONVERTED;
}

namespace {

// Whether an editor window shows a tag of the file.
bool HasEditors(const tag_file* f)
{
    for (tag_group* g = f->groups; g; g = g->next)
        for (tag_entry* e = g->entries; e; e = e->next)
            if (e->form) return true;
    return false;
}

} // namespace

tag_format_update_report update_all_tag_formats(TTagStore& store, const std::function<void(tag_file*)>& refresh_window,
                                                XGProgress* progress)
{
    for (tag_entry* e = store.next_entry(nullptr); e; e = store.next_entry(e)) check_tag_format(e);

    tag_format_update_report report;
    int64_t count = int64_t(store.file_count());
    for (tag_file* f = store.first_file(); f; f = f->next) {
        // each file is whole, converted and saved, or left as it is
        if (progress && !progress->Report("Updating " + (f->path.empty() ? std::string("a new tag file") : f->path),
                                          report.files, count)) {
            report.cancelled = true;
            break;
        }
        ++report.files;
        int converted = 0, versioned = 0;
        for (tag_group* g = f->groups; g; g = g->next) {
            for (tag_entry* e = g->entries; e; e = e->next) {
                switch (run_tag_format_update(e)) {
                case TAG_UPDATE_NONE:
                    break;
                case TAG_UPDATE_VERSIONED:
                    ++versioned;
                    break;
                case TAG_UPDATE_CONVERTED:
                    ++converted;
                    break;
                case TAG_UPDATE_UNREADABLE:
                    report.unreadable_tags.push_back(Unreadable(e).GetMessage());
                    break;
                }
            }
        }
        if (converted + versioned == 0) continue;
        report.changed_files.push_back(f);
        bool kept = true;
        if (f->form) {
            if (refresh_window) refresh_window(f);
            report.refreshed_files.push_back(f);
        } else if (f->path.empty()) {
            report.failed_saves.push_back("A new tag file has no path; it was not saved.");
            kept = false;
        } else {
            try {
                store.save_tag_file(f);
                report.saved_files.push_back(f);
            } catch (const XGError& error) {
                report.failed_saves.push_back(error.GetMessage());
                kept = false;
                // nothing shows the file: it is left as the disk holds it
                if (!HasEditors(f)) store.reload_tag_file(f);
            }
        }
        // only what was saved, or is shown to be saved, counts as converted
        if (kept) {
            report.converted += converted;
            report.versioned += versioned;
        }
    }
    return report;
}
