#include "shell/ditlmaker.h"

#include <cstdio>
#include <algorithm>
#include <new>
#include <set>

#include "framework/ProgramAssert.h"
#include "framework/XGError.h"
#include "framework/XGFile.h"
#include "framework/XGFileSpecifier.h"
#include "shell/cin_file.h"

namespace {

// The tag a dialog with this id replaces: the first one, in lookup order, whose file may be changed.
tag_entry* FindReplaceable(const TTagStore& store, tag_code id)
{
    for (tag_file* f = store.first_file(); f; f = f->next) {
        if (tag_file_is_protected(f)) continue;
        if (tag_entry* e = tag_find_in_file(f, DIALOG_TAG, id)) return e;
    }
    return nullptr;
}

std::string ProtectedFileFailure(const tag_file* f)
{
    if (f->read_only) return tag_file_name(f) + " - The file is read-only.";
    return tag_file_name(f) + " - Cannot modify base tags or patches.";
}

tag_data_ptr CopyOf(const std::vector<uint8_t>& bytes)
{
    tag_data_ptr data(new (std::nothrow) uint8_t[bytes.empty() ? 1 : bytes.size()]);
    if (data && !bytes.empty()) std::copy(bytes.begin(), bytes.end(), data.get());
    return data;
}

std::string FileShown(const tag_file* f)
{
    return f->path.empty() ? std::string("(unsaved tag file)") : f->path;
}

} // namespace

int TDialogImportReport::count(TDialogImportOutcome outcome) const
{
    int n = 0;
    for (const TDialogImportItem& item : items) n += item.outcome == outcome;
    return n;
}

TDialogImportReport make_dialog_tags(const std::string& path, tag_file* f, XGProgress* progress)
{
    std::vector<uint8_t> bytes;
    try {
        XGFile file(path);
        file.Open(XGFile::kRead);
        uint64_t length = file.GetLength();
        if (length > UINT32_MAX) return {path + " is too large to be an interface-builder file.", {}};
        bytes.resize(size_t(length));
        if (length) file.ReadAt(0, bytes.data(), bytes.size());
    } catch (const XGError& e) {
        return {e.GetMessage(), {}};
    } catch (const std::bad_alloc&) {
        return {path + " is too large to be read into memory.", {}};
    }
    return make_dialog_tags(bytes.data(), bytes.size(), XGFileSpecifier(path).GetName(), f, progress);
}

TDialogImportReport make_dialog_tags(const uint8_t* data, size_t size, const std::string& label, tag_file* f,
                                     XGProgress* progress)
{
    PROGRAM_ASSERT(f && f->store, "ditlmaker");
    TDialogImportReport report;
    if (tag_file_is_protected(f)) {
        report.failure = ProtectedFileFailure(f);
        return report;
    }
    TCinFile file = read_cin_file(data, size, label);
    if (!file.failure.empty()) {
        report.failure = file.failure;
        return report;
    }

    TTagStore& store = *f->store;
    std::set<tag_code> taken; // ids given to this file's dialogs
    for (const TCinDialog& d : file.dialogs) {
        if (progress)
            progress->Report("Making the dialog \"" + d.name + "\"", int64_t(report.items.size()),
                             int64_t(file.dialogs.size()));
        TDialogImportItem item;
        item.name = d.name;
        if (!d.abandoned.empty()) {
            item.reason = d.abandoned;
            report.items.push_back(std::move(item));
            continue;
        }
        // Two dialogs of one file whose names give the same id keep apart.
        tag_code id = store.make_tag_id(d.name.c_str(), 0, nullptr);
        while (taken.count(id)) id = next_tag_id(id);
        item.id = id;

        std::vector<uint8_t> bytes = dialog_tag_bytes(d.dialog);
        tag_data_ptr copy = CopyOf(bytes);
        if (!copy) {
            item.reason = "there is not enough memory for its tag";
            report.items.push_back(std::move(item));
            continue;
        }
        if (tag_entry* e = FindReplaceable(store, id)) {
            tag_set_data_owned(e, std::move(copy), uint32_t(bytes.size()));
            tag_set_name(e, d.name.c_str());
            tag_set_version(e, DIALOG_TAG_VERSION);
            item.outcome = kDialogReplaced;
            item.entry = e;
        } else if (tag_entry* made = store.create_tag_owned(f, DIALOG_TAG, id, DIALOG_TAG_VERSION, d.name.c_str(),
                                                             uint32_t(bytes.size()), std::move(copy))) {
            item.outcome = kDialogMade;
            item.entry = made;
        } else {
            item.reason = "there is not enough memory for its tag";
            report.items.push_back(std::move(item));
            continue;
        }
        taken.insert(id);
        report.items.push_back(std::move(item));
    }
    return report;
}

std::string dialog_import_summary(const TDialogImportReport& report)
{
    if (report.failed()) return report.failure + "\n";
    std::string text;
    for (const TDialogImportItem& item : report.items) {
        if (item.outcome == kDialogSkipped) {
            text += "skipped \"" + item.name + "\": " + item.reason + "\n";
            continue;
        }
        text += std::string(item.outcome == kDialogMade ? "made" : "replaced") + " bina/" +
                tag_code_to_text(item.id) + " \"" + item.name + "\" in " + FileShown(item.entry->file) + "\n";
    }
    char counts[128];
    std::snprintf(counts, sizeof counts, "%d made, %d replaced, %d skipped\n", report.count(kDialogMade),
                  report.count(kDialogReplaced), report.count(kDialogSkipped));
    return text + counts;
}
