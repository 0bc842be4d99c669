// import-skl and import-ase.
#include <cstdio>

#include "cli/cli_command.h"
#include "framework/XGError.h"
#include "model/canm.h"
#include "model/skeleton_model_import.h"
#include "tags/tag_types.h"

namespace {

std::string StemOf(const std::string& path)
{
    std::string name = path_file_name(path);
    size_t dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0) name.resize(dot);
    return name;
}

} // namespace

int cli_import_skl(CliContext& context)
{
    cli_require_args(context, 2, 3);
    const std::string& file_path = context.args[0];
    const std::string& source = context.args[1];
    std::string name = context.args.size() > 2 ? context.args[2] : StemOf(source);
    if (name.empty()) throw CliUsageError{"the tag name is empty"};
    if (name.size() > size_t(MAXIMUM_TAG_NAME_LENGTH))
        throw CliUsageError{"the tag name is longer than 31 characters: " + name};

    TSkeletalModelTag tag;
    tag.models.push_back(import_skeletal_model(source));
    std::vector<uint8_t> data = skmd_store(tag);

    tag_file* f = cli_open_tag_file_to_write(context, file_path);
    tag_entry* e = context.store.create_tag(f, "skmd"_4cc, 0, int16_t(tag_type_version("skmd"_4cc)), name.c_str(), 0,
                                            uint32_t(data.size()), data.data());
    if (!e) throw XGPostError(kXGOutOfMemory);
    context.store.save_tag_file(f);
    std::printf("%s\n", cli_list_line(e).c_str());
    return kExitDone;
}

int cli_import_ase(CliContext& context)
{
    cli_require_args(context, 2, 2);
    tag_file* f = cli_open_tag_file_to_write(context, context.args[0]);
    tag_entry* e = import_camera_motion(context.store, f, context.args[1]);
    context.store.save_tag_file(f);
    std::printf("%s\n", cli_list_line(e).c_str());
    return kExitDone;
}
