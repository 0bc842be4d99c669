// Loads the input as skeletal animation data of both versions, writes it back and
// lists the frame events.
#include <cstdint>

#include "framework/XGError.h"
#include "model/skelanim.h"
#include "tags/tags.h"

namespace {

void Exercise(const uint8_t* data, size_t size)
{
    TSkeletalAnimationSet set = skan_load(data, size, "fuzz");
    std::vector<uint8_t> written = skan_write(set);
    if (written.size() != size) __builtin_trap();
    TTagStore store;
    for (const auto& animation : set.animations)
        for (size_t f = 0; f < animation->frames.size() && f < 64; ++f) skan_event_line(set, *animation, int(f), store);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    try {
        Exercise(data, size);
    } catch (const XGError&) {
    }
    try {
        std::vector<uint8_t> upgraded = skan_upgrade_v1(data, size, "fuzz");
        Exercise(upgraded.data(), upgraded.size());
    } catch (const XGError&) {
    }
    return 0;
}
