// Reads the input as a WAV file and, when it is one, imports it into a sound tag,
// stores the tag, reads it back and decodes every permutation for playback.
#include <cstdint>

#include "fuzz_support.h"
#include "sound/sound_import.h"
#include "sound/sound_playback.h"
#include "sound/wav_file.h"
#include "tags/tags.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    wav_sound wav;
    std::string why;
    if (!read_wav_memory(data, size, wav, &why)) return 0;

    std::string path = fuzz_write_input("input.wav", data, size);
    TTagStore store;
    tag_file* f = store.new_tag_file();
    uint8_t empty[64] = {};
    tag_entry* e = store.create_tag(f, "soun"_4cc, "fuzz"_4cc, 1, "fuzz", 0, sizeof empty, empty);
    TSoundDefinition sound;
    sound.fDefinition = default_sound_definition();
    if (!write_sound_definition(sound, e)) __builtin_trap();
    for (int32_t index = 0; index < 2; ++index)
        if (replace_sound_permutation(e, path, 10, index, &why) != 0) return 0;
    if (!read_sound_definition(sound, e)) __builtin_trap();
    for (int32_t k = 0; k < sound.PermutationCount(); ++k) {
        sound_pcm pcm;
        decode_permutation_for_playback(sound, k, pcm);
    }
    return 0;
}
