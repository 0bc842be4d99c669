// The dialog tag maker: turns every view resource of an interface-builder file
// into a dialog tag of a tag file.
#pragma once

#include "framework/XGProgress.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "shell/dialog_tag.h"
#include "tags/tags.h"

enum TDialogImportOutcome { kDialogMade, kDialogReplaced, kDialogSkipped };

struct TDialogImportItem {
    TDialogImportOutcome outcome = kDialogSkipped;
    std::string name;           // the view resource's name
    tag_code id = 0;            // of the tag made or replaced
    tag_entry* entry = nullptr; // the tag made or replaced
    std::string reason;         // why it was skipped
};

struct TDialogImportReport {
    std::string failure; // the file was not converted and nothing changed when set
    std::vector<TDialogImportItem> items; // one per view resource, in file order

    bool failed() const { return !failure.empty(); }
    int count(TDialogImportOutcome outcome) const;
};

// Makes one dialog tag per view resource of the file at path. The id comes from the
// resource's name; the first bina tag with that id in a file that may be changed
// gets the new data and name, else the tag is created in f. A file that fails its
// checks changes nothing and gives the failure text.
// progress hears of each dialog.
TDialogImportReport make_dialog_tags(const std::string& path, tag_file* f, XGProgress* progress = nullptr);
// The same for the file's bytes; label names the file in messages.
TDialogImportReport make_dialog_tags(const uint8_t* data, size_t size, const std::string& label, tag_file* f,
                                     XGProgress* progress = nullptr);

// One line per dialog, then the counts; or the failure text.
std::string dialog_import_summary(const TDialogImportReport& report);
