// The skmd and skan hooks of the type registry.
#include <cstring>

#include "build/tagdepend.h"
#include "framework/XGError.h"
#include "model/skelanim.h"
#include "model/skmd_format.h"
#include "tags/tag_types.h"
#include "tags/tags.h"

namespace {

void SetDefaults(tag_entry* e, const std::vector<uint8_t>& data)
{
    if (!tag_set_data(e, data.data(), uint32_t(data.size()))) throw XGPostError(kXGOutOfMemory);
}

void skmd_set_defaults(tag_entry* e)
{
    SetDefaults(e, skmd_default_data());
}

// The animation and texture references sit in the tag header's first two words.
void skmd_collect_dependencies(tag_entry* e)
{
    skmd_tag_header header;
    if (!tag_read_structs("skmd", e, &header, SKMD_TAG_HEADER_SIZE, 1, skmd_header_codes)) {
        report_unreadable_tag(e);
        return;
    }
    add_dependency("skan"_4cc, tag_code(header.word0));
    add_dependency("txst"_4cc, tag_code(header.word4));
}

void skan_set_defaults(tag_entry* e)
{
    SetDefaults(e, skan_default_data());
}

// The projectiles that frame events emit.
void skan_collect_dependencies(tag_entry* e)
{
    uint32_t size = 0;
    const uint8_t* data = tag_get_data(e, &size);
    if (!data) {
        report_unreadable_tag(e);
        return;
    }
    TSkeletalAnimationSet set;
    try {
        if (tag_get_version(e) == 1) {
            std::vector<uint8_t> upgraded = skan_upgrade_v1(data, size, tag_get_name(e));
            set = skan_load(upgraded.data(), upgraded.size(), tag_get_name(e));
        } else {
            set = skan_load(data, size, tag_get_name(e));
        }
    } catch (const XGError&) {
        report_unreadable_tag(e); // unreadable data references nothing
        return;
    }
    for (const auto& animation : set.animations)
        for (const TSkeletalAnimationFrame& frame : animation->frames) {
            skan_frame_event event = skan_unpack_event(frame.record);
            if (skan_event_tag_type(event.event_type) == "proj"_4cc)
                add_dependency("proj"_4cc, tag_code(event.event_tag));
        }
}

} // namespace

void install_model_tag_hooks()
{
    set_tag_type_core_hooks("skmd"_4cc, skmd_set_defaults, skmd_collect_dependencies, nullptr);
    set_tag_type_core_hooks("skan"_4cc, skan_set_defaults, skan_collect_dependencies, update_skeletal_animation_tag);
}
