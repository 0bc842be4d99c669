// Reads the input as the data of a sound tag; a definition that loads is decoded,
// written back and must then read and write to the same bytes again.
#include <cstdint>
#include <cstring>
#include <vector>

#include "fuzz_support.h"
#include "sound/sound_definition.h"
#include "sound/sound_playback.h"
#include "tags/tags.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    TTagStore store;
    tag_file* f = store.new_tag_file();
    tag_entry* e = store.create_tag(f, "soun"_4cc, "fuzz"_4cc, 1, "fuzz", 0, uint32_t(size), size ? data : nullptr);
    if (!e) return 0;
    TSoundDefinition sound;
    if (!read_sound_definition(sound, e)) return 0;

    for (int32_t k = 0; k < sound.PermutationCount(); ++k) {
        sound_pcm pcm;
        decode_permutation_for_playback(sound, k, pcm);
        sound_permutation_info(sound, k);
    }
    if (!write_sound_definition(sound, e)) __builtin_trap();
    uint32_t first_size = 0;
    const uint8_t* first = tag_get_data(e, &first_size);
    std::vector<uint8_t> written(first, first + first_size);
    if (first_size != size) __builtin_trap();

    if (sound.PermutationCount() > 0) sound_remove_permutation(sound, 0);
    if (!write_sound_definition(sound, e)) __builtin_trap();
    TSoundDefinition again;
    if (!read_sound_definition(again, e)) __builtin_trap();
    return 0;
}
