// run-script.
#include <cstdio>

#include "cli/cli_command.h"
#include "framework/XGError.h"
#include "script/script.h"

int cli_run_script(CliContext& context)
{
    cli_require_args(context, 1, SIZE_MAX);
    for (size_t i = 1; i < context.args.size(); ++i) cli_open_tag_file(context, context.args[i], false);
    TScript script;
    if (!script.load_script(context.args[0])) throw CliFailure{script.error_text()};
    script.run_script(context.store);

    // Every changed file, in store order; the files the script made were written by it.
    std::string failures;
    for (tag_file* f = context.store.first_file(); f; f = f->next) {
        if (!tag_file_needs_saving(f) || f->path.empty()) continue;
        try {
            context.store.save_tag_file(f);
            std::printf("saved %s\n", f->path.c_str());
        } catch (const XGError& e) {
            failures += (failures.empty() ? "" : "\n") + e.GetMessage();
        }
    }
    std::printf("log: %s\n", SCRIPT_LOG_NAME);
    if (!failures.empty()) throw CliFailure{failures};
    return kExitDone;
}
