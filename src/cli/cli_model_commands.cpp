// import-skl, import-ase and render-model.
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "cli/cli_command.h"
#include "framework/XGError.h"
#include "model/canm.h"
#include "model/skeleton_model_import.h"
#include "render/model_picture.h"
#include "render/png_writer.h"
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

int cli_render_model(CliContext& context)
{
    model_picture_options o;
    std::vector<std::string> positional;
    bool animated = false, framed = false;
    const std::vector<std::string>& args = context.args;
    auto number = [](const std::string& option, const std::string& value, long low, long high) {
        char* end = nullptr;
        long n = std::strtol(value.c_str(), &end, 10);
        if (value.empty() || *end || n < low || n > high)
            throw CliUsageError{option + " must be a whole number from " + std::to_string(low) + " to " +
                                std::to_string(high) + ": " + value};
        return int(n);
    };
    auto degrees = [](const std::string& option, const std::string& value) {
        char* end = nullptr;
        double d = std::strtod(value.c_str(), &end);
        if (value.empty() || *end || !std::isfinite(d) || std::fabs(d) > 3600)
            throw CliUsageError{option + " must be an angle in degrees: " + value};
        return float(d);
    };
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a.rfind("--", 0) != 0) {
            positional.push_back(a);
            continue;
        }
        if (i + 1 >= args.size()) throw CliUsageError{a + " needs a value"};
        const std::string& value = args[++i];
        if (a == "--size") {
            char* end = nullptr;
            long w = std::strtol(value.c_str(), &end, 10);
            long h = *end == 'x' ? std::strtol(end + 1, &end, 10) : -1;
            if (*end || w <= 0 || h <= 0 || w > 16384 || h > 16384)
                throw CliUsageError{"--size must be WIDTHxHEIGHT in pixels: " + value};
            o.width = int(w);
            o.height = int(h);
        } else if (a == "--model") {
            o.model = number(a, value, 0, MAXIMUM_MODELS_PER_SKELETAL_MODEL - 1);
        } else if (a == "--lod") {
            o.level = number(a, value, 0, MAXIMUM_LEVELS_OF_DETAIL - 1);
        } else if (a == "--animation") {
            o.animation = cli_parse_code(value, "--animation");
            animated = true;
        } else if (a == "--frame") {
            o.frame = number(a, value, 0, 65535);
            framed = true;
        } else if (a == "--yaw") {
            o.yaw = degrees(a, value);
        } else if (a == "--pitch") {
            o.pitch = degrees(a, value);
        } else {
            throw CliUsageError{"unknown option " + a};
        }
    }
    if (positional.size() != 3) throw CliUsageError{positional.size() < 3 ? "too few arguments" : "too many arguments"};
    if (framed && !animated) throw CliUsageError{"--frame needs --animation"};
    tag_file* f = cli_open_tag_file(context, positional[0], false);
    tag_code id = cli_parse_code(positional[1], "SKMD_ID");
    tag_entry* e = tag_find_in_file(f, "skmd"_4cc, id);
    if (!e) e = context.store.find_tag("skmd"_4cc, id);
    if (!e) throw CliFailure{"There is no skeletal model " + tag_code_to_text(id) + "."};
    texture_image picture = render_model_picture(context.store, e, o);
    write_png_file(positional[2], picture);
    std::printf("%s\t%dx%d\n", positional[2].c_str(), o.width, o.height);
    return kExitDone;
}
