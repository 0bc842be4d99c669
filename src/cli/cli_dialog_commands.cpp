// import-cin.
#include <algorithm>
#include <cstdio>
#include <vector>

#include "cli/cli_command.h"
#include "shell/ditlmaker.h"

int cli_import_cin(CliContext& context)
{
    cli_require_args(context, 2, 2);
    tag_file* f = cli_open_tag_file_to_write(context, context.args[0]);
    TDialogImportReport report = make_dialog_tags(context.args[1], f);
    if (report.failed()) throw CliFailure{report.failure};

    // The given file first, then every other file that had a dialog replaced.
    std::vector<tag_file*> changed{f};
    for (const TDialogImportItem& item : report.items)
        if (item.entry && std::find(changed.begin(), changed.end(), item.entry->file) == changed.end())
            changed.push_back(item.entry->file);
    for (tag_file* file : changed)
        if (file->groups && tag_file_needs_saving(file)) context.store.save_tag_file(file);
    std::fputs(dialog_import_summary(report).c_str(), stdout);
    return kExitDone;
}
