// dump, load, diff, check: tags as text, and the linter of data folders.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>
#include <map>
#include <sstream>

#include "build/tag_check.h"
#include "cli/cli_command.h"
#include "framework/XGFile.h"
#include "textform/tag_diff.h"
#include "textform/tag_json.h"
#include "textform/text_codec.h"

namespace {

std::string ReadText(const std::string& path)
{
    if (path == "-") return std::string(std::istreambuf_iterator<char>(std::cin), {});
    std::ifstream in(path, std::ios::binary);
    if (!in) throw CliFailure{path + ": " + std::strerror(errno)};
    std::ostringstream text;
    text << in.rdbuf();
    if (in.bad()) throw CliFailure{path + ": " + std::strerror(errno)};
    return text.str();
}

std::string Describe(tag_code type, tag_code id, const std::string& name)
{
    return tag_code_to_text(type) + " " + tag_code_to_text(id) + " (" + tag_name_for_line(name) + ")";
}

// A tag file or a data folder on its own.
void OpenSide(TTagStore& store, const std::string& path)
{
    if (!XGFile::IsDirectory(path)) {
        std::string why;
        if (!store.open_tag_file(path, false, &why)) throw CliFailure{path + ": " + why};
        return;
    }
    bool data_folder = false;
    for (const char* sub : {"/tags", "/local", "/plugins"}) data_folder |= XGFile::IsDirectory(path + sub);
    // a folder without the data folder's subfolders is taken as a folder of tag files
    if (data_folder) store.load_data_folder(path);
    else store.load_folder(path, true);
}

} // namespace

int cli_dump(CliContext& context)
{
    cli_require_args(context, 2, 3);
    tag_code type = cli_parse_code(context.args[0], "TYPE");
    tag_code id = cli_parse_code(context.args[1], "ID");
    tag_entry* e = context.store.find_tag(type, id);
    if (!e) throw CliFailure{"no tag " + tag_code_to_text(type) + "/" + tag_code_to_text(id)};
    std::string text = tag_json_text(tag_to_json(e));
    if (context.args.size() == 3) cli_write_file(context.args[2], text.data(), text.size());
    else std::fwrite(text.data(), 1, text.size(), stdout);
    return kExitDone;
}

int cli_load(CliContext& context)
{
    cli_require_args(context, 2, SIZE_MAX);
    const std::string& path = context.args[0];
    tag_file* f = cli_open_writable_tag_file(context, path);

    // every text is read and checked before the file changes
    struct loaded {
        tag_entry* base;
        tag_json_tag tag;
    };
    std::vector<loaded> tags;
    std::map<std::pair<tag_code, tag_code>, std::string> given;
    for (size_t i = 1; i < context.args.size(); ++i) {
        const std::string& source = context.args[i];
        try {
            TTagJsonDocument document(ReadText(source));
            auto [other, fresh] = given.emplace(std::make_pair(document.type(), document.id()), source);
            if (!fresh)
                throw tag_json_error("id", tag_code_to_text(document.type()) + " " + tag_code_to_text(document.id()) +
                                               " is also given by " + other->second);
            tag_entry* base = tag_find_in_file(f, document.type(), document.id());
            tags.push_back({base, document.Build(base)});
        } catch (const tag_json_error& e) {
            throw CliFailure{source + ": " + e.what() + "; nothing was written to " + path};
        }
    }

    for (loaded& l : tags) {
        tag_json_tag& t = l.tag;
        std::string what = Describe(t.type, t.id, t.name);
        tag_entry* e = l.base;
        if (!e) {
            tag_data_ptr data(new uint8_t[t.data.empty() ? 1 : t.data.size()]);
            std::memcpy(data.get(), t.data.data(), t.data.size());
            e = context.store.create_tag_owned(f, t.type, t.id ? t.id : NONE_TAG, t.version, t.name.c_str(),
                                               uint32_t(t.data.size()), std::move(data));
            if (!e) throw CliFailure{"out of memory"};
            if (!t.id) tag_set_id(e, 0); // an id of 0 would have been made from the name
            std::printf("made %s\n", what.c_str());
            continue;
        }
        uint32_t size = 0;
        const uint8_t* data = tag_get_data(e, &size);
        bool same = data && size == t.data.size() && std::memcmp(data, t.data.data(), size) == 0 &&
                    e->version == t.version && t.name == e->name;
        if (same) {
            std::printf("unchanged %s\n", what.c_str());
            continue;
        }
        if (!tag_set_data(e, t.data.data(), uint32_t(t.data.size()))) throw CliFailure{"out of memory"};
        tag_set_version(e, t.version);
        tag_set_name(e, t.name.c_str());
        std::printf("replaced %s\n", what.c_str());
    }
    if (tag_file_needs_saving(f)) context.store.save_tag_file(f);
    return kExitDone;
}

int cli_diff(CliContext& context)
{
    bool exit_code = false;
    std::vector<std::string> paths;
    for (const std::string& arg : context.args) {
        if (arg == "--exit-code") exit_code = true;
        else paths.push_back(arg);
    }
    if (paths.size() != 2) throw CliUsageError{paths.size() < 2 ? "too few arguments" : "too many arguments"};
    for (const std::string& p : paths)
        if (!XGFile::Exists(p)) throw CliFailure{p + ": " + std::strerror(ENOENT)};
    bool folders = XGFile::IsDirectory(paths[0]);
    if (folders != XGFile::IsDirectory(paths[1])) throw CliUsageError{"A and B must be two tag files or two folders"};

    TTagStore a, b;
    OpenSide(a, paths[0]);
    OpenSide(b, paths[1]);
    std::vector<std::string> lines =
        diff_tag_stores(a, b, folders ? tag_diff_scope::lookup_result : tag_diff_scope::every_tag);
    for (const std::string& line : lines) std::printf("%s\n", line.c_str());
    return exit_code && !lines.empty() ? kExitFailed : kExitDone;
}

int cli_check(CliContext& context)
{
    for (const std::string& path : context.args) cli_open_tag_file(context, path, false);
    std::vector<tag_problem> problems = check_tags(context.store);
    for (const tag_problem& p : problems) std::printf("%s\n", tag_problem_text(p).c_str());
    std::printf("%s\n", tag_problem_count_text(problems).c_str());
    return problems.empty() ? kExitDone : kExitFailed;
}
