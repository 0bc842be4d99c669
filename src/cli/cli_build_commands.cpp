// new, build-foundation, update-formats.
#include <cstdio>
#include <cstdlib>

#include "build/foundation_build.h"
#include "build/tag_format_update.h"
#include "cli/cli_command.h"
#include "map/mesh_map.h"
#include "tags/tag_types.h"

namespace {

struct new_options {
    std::vector<std::string> positional;
    std::string id;
    int width = 192;
    int height = 192;
    bool sized = false;
};

new_options ParseNewOptions(const std::vector<std::string>& args)
{
    new_options o;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--id" || a == "--size") {
            if (i + 1 >= args.size()) throw CliUsageError{a + " needs a value"};
            const std::string& value = args[++i];
            if (a == "--id") {
                o.id = value;
                continue;
            }
            char* end = nullptr;
            long w = std::strtol(value.c_str(), &end, 10);
            long h = *end == 'x' ? std::strtol(end + 1, &end, 10) : -1;
            if (*end || w <= 0 || h <= 0 || w > 100000 || h > 100000)
                throw CliUsageError{"--size must be WIDTHxHEIGHT in cells: " + value};
            o.width = int(w);
            o.height = int(h);
            o.sized = true;
        } else {
            o.positional.push_back(a);
        }
    }
    return o;
}

} // namespace

int cli_new(CliContext& context)
{
    new_options o = ParseNewOptions(context.args);
    if (o.positional.size() < 3) throw CliUsageError{"too few arguments"};
    if (o.positional.size() > 3) throw CliUsageError{"too many arguments"};
    const std::string& path = o.positional[0];
    tag_code type = cli_parse_code(o.positional[1], "TYPE");
    const std::string& name = o.positional[2];
    if (!tag_type_info_for(type)) throw CliUsageError{o.positional[1] + " is not a tag type"};
    tag_set_defaults_hook defaults = tag_type_set_defaults_hook(type);
    if (!defaults)
        throw CliFailure{"Tags of type " + tag_code_to_text(type) + " (" + tag_type_name(type) +
                         ") cannot be made with defaults."};
    bool map = type == "mesh"_4cc;
    if (o.sized && !map) throw CliUsageError{"--size is for maps (mesh) only"};
    if (map && !mesh_size_is_valid(o.width, o.height)) throw CliUsageError{mesh_size_message(o.width, o.height)};
    if (name.empty()) throw CliUsageError{"NAME must not be empty"};

    tag_file* f = cli_open_writable_tag_file(context, path);
    tag_code id = o.id.empty() ? context.store.make_tag_id(name.c_str(), type, nullptr) : cli_parse_code(o.id, "ID");
    if (tag_find_in_file(f, type, id))
        throw CliFailure{path + " already holds a tag " + tag_code_to_text(type) + "/" + tag_code_to_text(id)};

    tag_entry* e = context.store.create_tag(f, type, id, int16_t(tag_type_version(type)), name.c_str(), 0, 0, nullptr);
    if (!e) throw CliFailure{"out of memory"};
    if (map) set_mesh_defaults(e, o.width, o.height);
    else defaults(e);
    context.store.save_tag_file(f);
    std::printf("%s\n", cli_list_line(e).c_str());
    return kExitDone;
}

int cli_build_foundation(CliContext& context)
{
    cli_require_args(context, 1, 1);
    foundation_build_result r = build_foundation(context.store, context.args[0], context.data_folder);
    for (const std::string& item : r.skipped_items)
        std::fprintf(stderr, "root list item '%s' skipped: items are TYPE:ID\n", item.c_str());
    for (const foundation_output& output : r.outputs)
        std::printf("%s/%s: %s\n", r.folder.c_str(), output.name.c_str(), foundation_output_summary(output).c_str());
    std::printf("%s/%s: %d %s\n", r.folder.c_str(), DEPENDENCY_LOG_NAME, r.log_lines,
                r.log_lines == 1 ? "line" : "lines");
    if (!r.finished) throw CliFailure{r.failure};
    return kExitDone;
}

int cli_update_formats(CliContext& context)
{
    cli_require_args(context, 0, 0);
    tag_format_update_report report = update_all_tag_formats(context.store);
    for (tag_file* f : report.saved_files) std::printf("saved %s\n", f->path.c_str());
    std::printf("%d %s converted, %d given the current version\n", report.converted,
                report.converted == 1 ? "tag" : "tags", report.versioned);
    for (const std::string& message : report.unreadable_tags) std::fprintf(stderr, "%s\n", message.c_str());
    for (const std::string& message : report.failed_saves) std::fprintf(stderr, "%s\n", message.c_str());
    return report.unreadable_tags.empty() && report.failed_saves.empty() ? kExitDone : kExitFailed;
}
