// Reads the input as the data of a sprite definition and of a ground sprites tag, and
// writes both back.
#include <cstdint>

#include "framework/XGError.h"
#include "tags/tags.h"
#include "texture/grsp.h"
#include "texture/spri.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    TTagStore store;
    tag_file* file = store.new_tag_file();
    tag_entry* sprite = store.create_tag(file, "spri"_4cc, "fuzz"_4cc, 1, "fuzz", 0, uint32_t(size), data);
    tag_entry* ground = store.create_tag(file, "grsp"_4cc, "fuzz"_4cc, 1, "fuzz", 0, uint32_t(size), data);
    try {
        auto def = create_sprite_definition(MAX_SPRITE_FRAMES, MAX_SPRITE_SEQUENCES, 64);
        if (read_sprite_definition(*def, sprite, true)) {
            auto copy = create_sprite_definition(MAX_SPRITE_FRAMES, MAX_SPRITE_SEQUENCES, 64);
            write_sprite_definition(*def, sprite);
            read_sprite_definition(*copy, sprite, false);
            if (compare_sprite_definitions(*def, *copy)) __builtin_trap();
        }
    } catch (const XGError&) {
    }
    try {
        TGroundSprites sets;
        if (sets.Open(ground)) sets.Commit(ground);
    } catch (const XGError&) {
    }
    return 0;
}
