// quenchold-cli: commands and what they share.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "tags/tags.h"

constexpr int kExitDone = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

struct CliContext {
    TTagStore& store;
    std::string data_folder;
    std::vector<std::string> args; // after the command name
};

// Thrown by a command for a wrong command line (exit 2).
struct CliUsageError {
    std::string message;
};

// Thrown by a command for a failed operation (exit 1).
struct CliFailure {
    std::string message;
};

struct CliCommand {
    const char* name;
    const char* usage;
    int (*run)(CliContext& context);
};

const std::vector<CliCommand>& cli_commands();

// Shared helpers.
void cli_require_args(const CliContext& context, size_t minimum, size_t maximum);
tag_file* cli_open_tag_file(CliContext& context, const std::string& path, bool create);
// The file at path, made when missing, for a command that will write it: locked until the
// command ends, and read again when another program changed it since it was loaded.
tag_file* cli_open_tag_file_to_write(CliContext& context, const std::string& path);
// The same; a read-only, base or patch file is refused.
tag_file* cli_open_writable_tag_file(CliContext& context, const std::string& path);
tag_code cli_parse_code(const std::string& text, const char* what);
// Backslash, tab, newline, carriage return and other control characters as \\, \t, \n,
// \r and \xNN, so that a line stays one line.
std::string cli_escape(const std::string& text);
// TYPE, ID, VERSION, SIZE, NAME and PATH, tab-separated; name and path escaped.
std::string cli_list_line(const tag_entry* e);
// Writes bytes to path through a temporary file beside it; failures name path.
void cli_write_file(const std::string& path, const void* data, size_t size);
