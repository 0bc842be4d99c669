// Version 1 animation tags: float frame rates, motions and scales, positions in units
// of the animation's scale and rotations in 1/32000; the upgrade writes version 2.
#include <cmath>
#include <cstring>

#include "framework/XGError.h"
#include "model/skan_reader.h"
#include "model/skelanim.h"
#include "tags/tags.h"

namespace {

struct skan_animation_v1 {
    char name[64];
    uint16_t action_keyframe;
    uint16_t frame_count;
    uint16_t action_bone;
    uint16_t animation_flags;
    float frame_rate;
    float scale;
    int32_t values[3];
};
static_assert(sizeof(skan_animation_v1) == SKAN_ANIMATION_V1_SIZE);

struct skan_frame_v1 {
    float frame_motion;
    uint16_t frame_event;
    uint8_t unconverted[2];
    float last;
};

int32_t Truncate(float value)
{
    if (std::isnan(value)) return -1;
    if (value <= -2147483648.0f) return INT32_MIN;
    if (value >= 2147483647.0f) return INT32_MAX;
    return int32_t(value);
}

} // namespace

std::vector<uint8_t> skan_upgrade_v1(const uint8_t* data, size_t size, const std::string& source)
{
    TSkeletalAnimationSet set;
    TSkanReader in(data, size, source);
    skan_read_head(in, set);
    const skan_header& h = set.header;

    uint32_t frame_size = skan_frame_size(h.bone_count);
    uint32_t pad = frame_size - SKAN_FRAME_SIZE - uint32_t(SKAN_BONE_POSE_SIZE) * uint32_t(h.bone_count);
    for (int32_t a = 0; a < h.animation_count; ++a) {
        skan_animation_v1 old;
        in.Read("an animation", &old, SKAN_ANIMATION_V1_SIZE, 1, skan_animation_v1_codes);
        in.Need("an animation's frames", uint64_t(frame_size) * old.frame_count);
        auto animation = std::make_unique<TSkeletalAnimation>();
        skan_animation_record& r = animation->record;
        std::memcpy(r.name, old.name, sizeof r.name);
        r.name[sizeof r.name - 1] = 0;
        r.frame_count = old.frame_count;
        r.animation_flags = old.animation_flags;
        r.frame_rate = uint16_t(skan_round_fixed(old.frame_rate, 256.0, 0, 0xFFFF));
        int shift = skan_position_shift(32000.0 * std::fabs(double(old.scale)));
        r.position_shift = int16_t(shift);
        std::memcpy(r.values, old.values, sizeof r.values);
        double position_scale = double(old.scale) * std::ldexp(1.0, shift);

        animation->frames.resize(old.frame_count);
        for (uint32_t f = 0; f < old.frame_count; ++f) {
            TSkeletalAnimationFrame& frame = animation->frames[f];
            skan_frame_v1 fv;
            in.Read("a frame", &fv, SKAN_FRAME_SIZE, 1, skan_frame_codes);
            frame.record.frame_motion =
                int32_t(old.animation_flags & SKAN_MOTION_IS_ANGLE
                            ? skan_round_fixed(fv.frame_motion, 65536.0 / 360.0, INT32_MIN, INT32_MAX)
                            : skan_round_fixed(fv.frame_motion, 65536.0, INT32_MIN, INT32_MAX));
            frame.record.frame_event = fv.frame_event;
            std::memcpy(frame.record.unconverted, fv.unconverted, 2);
            frame.record.event_tag = Truncate(fv.last);
            if (f == old.action_keyframe)
                frame.record.frame_event =
                    uint16_t((frame.record.frame_event & ~0x7FFu) | SKAN_ACTION_KEYFRAME | (old.action_bone & 0x7FFu));
            frame.poses.resize(size_t(h.bone_count));
            in.Read("a frame", frame.poses.data(), SKAN_BONE_POSE_SIZE, h.bone_count, skan_bone_frame_pos_codes);
            for (skan_bone_pose& pose : frame.poses) {
                for (int16_t& p : pose.position) p = int16_t(skan_round_fixed(p, position_scale, -32767, 32767));
                for (int16_t& q : pose.rotation) q = int16_t(skan_round_fixed(q, 32767.0 * 0.00003125, -32767, 32767));
            }
            in.Skip("a frame", pad);
        }
        set.animations.push_back(std::move(animation));
    }
    skan_read_states(in, set);
    std::vector<uint8_t> out = skan_write(set);
    if (out.size() > size)
        throw XGPostError(kXGAssertionFailure, {"(byte *)ptr - out_buf <= taglength", "skan", __LINE__});
    return out;
}

int skan_position_shift(double magnitude)
{
    int shift = 0;
    while (shift < MAXIMUM_QUANTIZATION_EXPONENT && magnitude * std::ldexp(1.0, shift) < 16383) ++shift;
    while (shift > -MAXIMUM_QUANTIZATION_EXPONENT && magnitude * std::ldexp(1.0, shift) > 32767) --shift;
    return shift;
}

bool update_skeletal_animation_tag(tag_entry* e)
{
    for (;;) {
        int16_t version = tag_get_version(e);
        if (version == 2) return true;
        if (version != 1) throw XGPostError(kXGAssertionFailure, {"version == 1 || version == 2", "skan", __LINE__});
        uint32_t size = 0;
        const uint8_t* data = tag_get_data(e, &size);
        if (!data && size) model_read_error(std::string(tag_get_name(e)) + " - the tag's data cannot be read.");
        std::vector<uint8_t> upgraded = skan_upgrade_v1(data, size, tag_get_name(e));
        if (!tag_set_data(e, upgraded.data(), uint32_t(upgraded.size()))) throw XGPostError(kXGOutOfMemory);
        tag_set_version(e, 2);
    }
}
