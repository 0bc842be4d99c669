// import-wav and decode-sound.
#include <cstdio>
#include <cstdlib>

#include "cli/cli_command.h"
#include "sound/sound_import.h"
#include "sound/sound_playback.h"
#include "sound/sound_tag_hooks.h"
#include "sound/wav_file.h"
#include "tags/tag_types.h"

namespace {

std::string Label(tag_code id)
{
    return "soun/" + tag_code_to_text(id);
}

} // namespace

int cli_import_wav(CliContext& context)
{
    cli_require_args(context, 3, SIZE_MAX);
    tag_code id = cli_parse_code(context.args[1], "ID");
    tag_file* f = cli_open_writable_tag_file(context, context.args[0]);
    tag_entry* e = tag_find_in_file(f, "soun"_4cc, id);
    if (!e) {
        std::string name = sound_permutation_name_for_path(context.args[2]);
        e = context.store.create_tag(f, "soun"_4cc, id, int16_t(tag_type_version("soun"_4cc)), name.c_str(), 0, 0, "");
        if (!e) throw CliFailure{"the sound tag " + Label(id) + " cannot be added"};
        sound_set_defaults(e);
    }
    TSoundDefinition sound;
    for (size_t i = 2; i < context.args.size(); ++i) {
        if (!read_sound_definition(sound, e)) throw CliFailure{Label(id) + " (" + e->name + ") cannot be read"};
        int32_t index = sound.PermutationCount();
        if (index >= MAXIMUM_PERMUTATIONS_PER_SOUND)
            throw CliFailure{Label(id) + " already has " + std::to_string(index) + " permutations; " +
                             context.args[i] + " was not imported"};
        std::string why;
        if (replace_sound_permutation(e, context.args[i], 0, index, &why) != _sound_import_done)
            throw CliFailure{why};
    }
    context.store.save_tag_file(f);
    read_sound_definition(sound, e);
    std::printf("%s (%s): %d permutations\n", Label(id).c_str(), e->name, int(sound.PermutationCount()));
    return kExitDone;
}

int cli_decode_sound(CliContext& context)
{
    cli_require_args(context, 3, 4);
    tag_code id = cli_parse_code(context.args[0], "ID");
    if (context.args.size() == 4) cli_open_tag_file(context, context.args[3], false);
    char* end = nullptr;
    long index = std::strtol(context.args[1].c_str(), &end, 10);
    if (context.args[1].empty() || *end) throw CliUsageError{"INDEX must be a number: " + context.args[1]};
    tag_entry* e = context.store.find_tag("soun"_4cc, id);
    if (!e) throw CliFailure{"no tag " + Label(id)};
    TSoundDefinition sound;
    if (!read_sound_definition(sound, e)) throw CliFailure{Label(id) + " (" + e->name + ") cannot be read"};
    if (index < 0 || index >= sound.PermutationCount())
        throw CliFailure{Label(id) + " has no permutation " + context.args[1] + " (it has " +
                         std::to_string(sound.PermutationCount()) + ")"};
    sound_pcm pcm;
    if (!decode_permutation_for_playback(sound, int32_t(index), pcm))
        throw CliFailure{Label(id) + " permutation " + context.args[1] + " cannot be played (" +
                         sound_permutation_info(sound, int32_t(index)).format + ")"};
    std::vector<uint8_t> bytes;
    bytes.reserve(pcm.samples.size() * 2);
    for (int16_t s : pcm.samples) {
        bytes.push_back(uint8_t(s));
        bytes.push_back(uint8_t(uint16_t(s) >> 8));
    }
    std::vector<uint8_t> image = make_wav_image(pcm.channels, pcm.samples_per_second, 16, bytes);
    cli_write_file(context.args[2], image.data(), image.size());
    return kExitDone;
}
