// quenchold-cli: the editor's batch work without windows.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "cli/cli_command.h"
#include "framework/ProgramAssert.h"
#include "framework/XGDirectory.h"
#include "framework/XGError.h"
#include "framework/XGFile.h"

namespace {

void PrintAndExit(const ProgramAssertion& a)
{
    std::fputs(a.message.c_str(), stderr);
    std::fflush(stdout);
    std::_Exit(kExitFailed);
}

void Usage(FILE* out)
{
    std::fprintf(out, "usage: quenchold-cli [--data DIR] COMMAND [ARGS...]\n\ncommands:\n");
    for (const CliCommand& c : cli_commands()) std::fprintf(out, "  %s\n", c.usage);
}

} // namespace

int main(int argc, char** argv)
{
    SetProgramAssertHandler(PrintAndExit);

    std::string data = ".";
    int i = 1;
    while (i < argc && std::strncmp(argv[i], "--", 2) == 0) {
        std::string option = argv[i];
        if (option == "--data" && i + 1 < argc) {
            data = argv[i + 1];
            i += 2;
        } else if (option == "--help") {
            Usage(stdout);
            return kExitDone;
        } else {
            std::fprintf(stderr, "quenchold-cli: unknown option %s\n", option.c_str());
            Usage(stderr);
            return kExitUsage;
        }
    }
    if (i >= argc) {
        Usage(stderr);
        return kExitUsage;
    }
    std::string name = argv[i++];
    const CliCommand* command = nullptr;
    for (const CliCommand& c : cli_commands())
        if (name == c.name) command = &c;
    if (!command) {
        std::fprintf(stderr, "quenchold-cli: unknown command %s\n", name.c_str());
        Usage(stderr);
        return kExitUsage;
    }
    if (!XGFile::IsDirectory(data)) {
        std::fprintf(stderr, "quenchold-cli: the data folder %s does not exist\n", data.c_str());
        return kExitUsage;
    }

    XGFile::RaiseOpenFileLimit();
    TTagStore store;
    CliContext context{store, data, {}};
    for (; i < argc; ++i) context.args.push_back(argv[i]);
    try {
        XGDirectory::SetDefault(data);
        store.load_data_folder(data);
        int status = command->run(context);
        std::fflush(stdout);
        return status;
    } catch (const CliUsageError& e) {
        std::fprintf(stderr, "quenchold-cli %s: %s\nusage: quenchold-cli [--data DIR] %s\n", name.c_str(),
                     e.message.c_str(), command->usage);
        return kExitUsage;
    } catch (const CliFailure& e) {
        std::fprintf(stderr, "%s\n", e.message.c_str());
        return kExitFailed;
    } catch (const XGError& e) {
        std::fprintf(stderr, "%s: %s\n", e.GetTitle().c_str(), e.GetMessage().c_str());
        return kExitFailed;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "quenchold-cli: %s\n", e.what());
        return kExitFailed;
    }
}
