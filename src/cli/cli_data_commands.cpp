// make-sample-data.
#include <cstdio>

#include "build/sample_data.h"
#include "cli/cli_command.h"

int cli_make_sample_data(CliContext& context)
{
    cli_require_args(context, 1, 1);
    make_sample_data(context.args[0]);
    std::printf("sample data written to %s\n", context.args[0].c_str());
    return kExitDone;
}
