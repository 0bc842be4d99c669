// import-psd and collapse-terrain.
#include <cstdio>

#include "cli/cli_command.h"
#include "framework/XGFile.h"
#include "tags/tag_types.h"
#include "texture/ctd.h"
#include "texture/texture_import.h"
#include "texture/txst_format.h"

int cli_import_psd(CliContext& context)
{
    cli_require_args(context, 2, 2);
    const std::string& image = context.args[1];
    if (!XGFile::Exists(image)) throw CliFailure{"The file " + image + " does not exist."};
    tag_file* f = cli_open_writable_tag_file(context, context.args[0]);
    std::unique_ptr<texture_set> set = import_terrain_file(image);

    const std::string name = terrain_tag_name(image);
    tag_entry* e = context.store.create_tag(f, "txst"_4cc, 0, int16_t(tag_type_version("txst"_4cc)), name.c_str(),
                                            0, 0, nullptr);
    if (!e) throw CliFailure{"There is not enough memory for the texture stack."};
    std::string why;
    if (!write_texture_set(e, *set, &why)) throw CliFailure{"The texture stack cannot be stored: " + why + "."};
    context.store.save_tag_file(f);
    std::printf("%s\n", cli_list_line(e).c_str());
    return kExitDone;
}

int cli_collapse_terrain(CliContext& context)
{
    cli_require_args(context, 3, 3);
    const tag_code terrain = cli_parse_code(context.args[1], "TERRAIN_ID");
    const tag_code detail = cli_parse_code(context.args[2], "DETAIL_ID");
    tag_file* f = cli_open_writable_tag_file(context, context.args[0]);
    tag_entry* e = terrain_collapser().Collapse(f, terrain, detail);
    context.store.save_tag_file(f);
    std::printf("%s\n", cli_list_line(e).c_str());
    return kExitDone;
}
