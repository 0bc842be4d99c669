#include <cstdio>

#include "cli/cli_command.h"
#include "framework/XGError.h"
#include "framework/XGFile.h"
#include "framework/XGFileLock.h"
#include "framework/XGReplaceFile.h"
#include "textform/text_codec.h"

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

tag_file* cli_open_tag_file_to_write(CliContext& context, const std::string& path)
{
    // Held until the command ends, so that other runs on this file wait for this one.
    XGFileLock::Keep(path);
    tag_file* f = context.store.find_open_file(path);
    if (f && tag_file_changed_on_disk(f)) {
        // loaded from the data folder before the lock: read what the last writer left
        std::string why;
        if (!context.store.reload_tag_file(f, &why)) {
            if (XGFile::Exists(path)) throw CliFailure{path + ": " + why};
            context.store.close_tag_file(f);
        }
    }
    return cli_open_tag_file(context, path, true);
}

tag_file* cli_open_writable_tag_file(CliContext& context, const std::string& path)
{
    tag_file* f = cli_open_tag_file_to_write(context, path);
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

std::string cli_escape(const std::string& text) { return escape_for_line(text, false); }

std::string cli_list_line(const tag_entry* e)
{
    char numbers[64];
    std::snprintf(numbers, sizeof numbers, "\t%d\t%u\t", (int)e->version, (unsigned)e->size);
    return tag_code_to_text(e->group->type) + "\t" + tag_code_to_text(e->id) + numbers + cli_escape(e->name) + "\t" +
           cli_escape(e->file->path);
}

void cli_write_file(const std::string& path, const void* data, size_t size)
{
    XGReplaceFile(path, data, size);
}
