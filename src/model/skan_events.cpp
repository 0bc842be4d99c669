// Frame events: the packed event word of a frame, and the line the editor shows for it.
#include <cstring>

#include "model/skelanim.h"
#include "tags/tags.h"

namespace {

struct event_kind {
    const char* text;
    tag_code tag_type;
    bool bone_part;
};

const event_kind kEventKinds[] = {
    {"", 0, false},
    {"sound ", "soun"_4cc, false},
    {"attach model ", "skmd"_4cc, true},
    {"attach light ", "loli"_4cc, true},
    {"attach particles ", "lpgr"_4cc, true},
    {"delete attachment ", 0, true},
    {"emit as ", "proj"_4cc, true},
    {"normal footprint ", 0, true},
    {"giant footprint ", 0, true},
};
constexpr int kEventKindCount = int(sizeof kEventKinds / sizeof kEventKinds[0]);

std::string FixedName(const char* name, size_t size)
{
    return std::string(name, strnlen(name, size));
}

} // namespace

skan_frame_event skan_unpack_event(const skan_frame_record& frame)
{
    if (frame.frame_event == SKAN_NO_EVENT) return {0, 0, false, -1};
    return {frame.frame_event >> 12, frame.frame_event & 0x7FF, (frame.frame_event & SKAN_ACTION_KEYFRAME) != 0,
            frame.event_tag};
}

void skan_pack_event(const skan_frame_event& event, skan_frame_record& frame)
{
    // no event at all keeps the stored "none" word
    if (event.event_type == 0 && !event.action_keyframe && event.event_bone == 0 && event.event_tag == -1) {
        frame.frame_event = SKAN_NO_EVENT;
    } else {
        frame.frame_event = uint16_t((event.event_type << 12) | (event.event_bone & 0x7FF) |
                                     (event.action_keyframe ? SKAN_ACTION_KEYFRAME : 0));
    }
    frame.event_tag = event.event_tag;
}

tag_code skan_event_tag_type(int32_t event_type)
{
    return event_type >= 0 && event_type < kEventKindCount ? kEventKinds[event_type].tag_type : 0;
}

std::string skan_event_line(const TSkeletalAnimationSet& set, const TSkeletalAnimation& animation, int frame,
                            const TTagStore& store)
{
    if (frame < 0 || size_t(frame) >= animation.frames.size()) return "bad frame " + std::to_string(frame);
    skan_frame_event event = skan_unpack_event(animation.frames[size_t(frame)].record);
    std::string line = std::to_string(frame) + ". ";
    bool known = event.event_type >= 0 && event.event_type < kEventKindCount;
    const event_kind* kind = known ? &kEventKinds[event.event_type] : nullptr;
    line += kind ? kind->text : "invalid " + std::to_string(event.event_type) + " ";
    if (event.action_keyframe) line += "ACTION KEYFRAME ";
    if (kind && kind->tag_type) {
        if (event.event_tag == -1) {
            line += "(unassigned tag)";
        } else if (tag_entry* e = store.find_tag(kind->tag_type, tag_code(event.event_tag))) {
            line += tag_get_name(e);
        } else {
            line += "(missing " + tag_code_to_text(kind->tag_type) + "/" + tag_code_to_text(tag_code(event.event_tag)) +
                    ")";
        }
    }
    if (!kind || kind->bone_part || event.action_keyframe) {
        if (event.event_bone >= 0 && size_t(event.event_bone) < set.bones.size())
            line += " at " + FixedName(set.bones[size_t(event.event_bone)].name, sizeof set.bones[0].name);
        else
            line += " at invalid " + std::to_string(event.event_bone);
    }
    return line;
}

std::string skan_bone_list_name(const skan_bone_base& bone)
{
    std::string name = FixedName(bone.name, sizeof bone.name);
    return name.empty() ? "(unnamed bone)" : name;
}

int skan_default_list_bone(const TSkeletalAnimationSet& set)
{
    for (size_t b = 0; b < set.bones.size(); ++b)
        if (FixedName(set.bones[b].name, sizeof set.bones[b].name) == "tag_origin_standard") return int(b);
    return 0;
}
