#include <cstdio>

#include "cli/cli_command.h"
#include "framework/XGError.h"
#include "framework/XGReplaceFile.h"

void cli_require_args(const CliContext& context, size_t minimum, size_t maximum)
{
    if (context.args.size() < minimum) throw CliUsageError{"too few arguments"};
    if (context.args.size() > maximum) throw CliUsageError{"too many arguments"};
}

tag_file* cli_open_tag_file(CliContext& context, const std::string& path, bool create)
{
    std::string why;
    tag_file* f = context.store.open_tag_file(path, create, &why);
    if (!f) throw CliFailure{path + ": " + why};
    return f;
}

tag_file* cli_open_writable_tag_file(CliContext& context, const std::string& path)
{
    tag_file* f = cli_open_tag_file(context, path, true);
    if (tag_file_is_protected(f)) {
        if (f->read_only) throw CliFailure{tag_file_name(f) + " - The file is read-only."};
        throw CliFailure{tag_file_name(f) + " - Cannot modify base tags or patches."};
    }
    return f;
}

tag_code cli_parse_code(const std::string& text, const char* what)
{
    if (text.empty() || text.size() > 4) throw CliUsageError{std::string(what) + " must be one to four characters: " + text};
    tag_code code = text_to_tag_code(text);
    if (code == NONE_TAG) throw CliUsageError{std::string(what) + " is not a code: " + text};
    return code;
}

std::string cli_list_line(const tag_entry* e)
{
    char numbers[64];
    std::snprintf(numbers, sizeof numbers, "\t%d\t%u\t", (int)e->version, (unsigned)e->size);
    return tag_code_to_text(e->group->type) + "\t" + tag_code_to_text(e->id) + numbers + e->name + "\t" +
           e->file->path;
}

void cli_write_file(const std::string& path, const void* data, size_t size)
{
    XGReplaceFile(path, data, size);
}
