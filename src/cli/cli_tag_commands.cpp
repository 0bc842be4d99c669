// list, find, export, save-as, import-raw.
#include <cstdio>
#include <set>

#include "cli/cli_command.h"
#include "framework/XGFile.h"
#include "tags/tags.h"

namespace {

// The tag named by the first two arguments, TYPE and ID.
tag_entry* FindTag(CliContext& context)
{
    tag_code type = cli_parse_code(context.args[0], "TYPE");
    tag_code id = cli_parse_code(context.args[1], "ID");
    tag_entry* e = context.store.find_tag(type, id);
    if (!e) throw CliFailure{"no tag " + tag_code_to_text(type) + "/" + tag_code_to_text(id)};
    return e;
}

} // namespace

int cli_list(CliContext& context)
{
    std::set<tag_file*> only;
    for (const std::string& path : context.args) only.insert(cli_open_tag_file(context, path, false));
    for (tag_file* f = context.store.first_file(); f; f = f->next) {
        if (!only.empty() && !only.count(f)) continue;
        for (tag_group* g = f->groups; g; g = g->next)
            for (tag_entry* e = g->entries; e; e = e->next) std::printf("%s\n", cli_list_line(e).c_str());
    }
    return kExitDone;
}

int cli_find(CliContext& context)
{
    cli_require_args(context, 2, 2);
    std::printf("%s\n", cli_list_line(FindTag(context)).c_str());
    return kExitDone;
}

int cli_export(CliContext& context)
{
    cli_require_args(context, 3, 3);
    tag_entry* e = FindTag(context);
    uint32_t size = 0;
    const uint8_t* data = tag_get_data(e, &size);
    if (!data)
        throw CliFailure{tag_code_to_text(e->group->type) + "/" + tag_code_to_text(e->id) + " (" + e->name +
                         "): the data cannot be read from " + e->file->path};
    cli_write_file(context.args[2], data, size);
    return kExitDone;
}

int cli_save_as(CliContext& context)
{
    cli_require_args(context, 2, 2);
    tag_file* f = cli_open_tag_file(context, context.args[0], false);
    context.store.save_tag_file_as(f, context.args[1]);
    return kExitDone;
}

int cli_import_raw(CliContext& context)
{
    cli_require_args(context, 2, SIZE_MAX);
    tag_file* f = cli_open_writable_tag_file(context, context.args[0]);
    for (size_t i = 1; i < context.args.size(); ++i) {
        const std::string& path = context.args[i];
        if (!XGFile::Exists(path)) throw CliFailure{"The file " + path + " does not exist."};
        tag_entry* e = context.store.import_raw_file(f, path);
        if (!e) std::fprintf(stderr, "%s is empty; nothing imported\n", path.c_str());
    }
    context.store.save_tag_file(f);
    return kExitDone;
}
