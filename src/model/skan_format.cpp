#include <cmath>
#include <cstring>

#include "framework/XGError.h"
#include "model/skan_reader.h"
#include "model/skelanim.h"
#include "tags/tag_types.h"
#include "tags/tags.h"

const bs_code skan_header_codes[] = {_begin_bs_array, 1, _4byte, _4byte, _4byte, 4, 4, 4, _end_bs_array};
const bs_code skan_bone_base_codes[] = {_begin_bs_array, 1, 64, _4byte, _4byte, _4byte, _4byte,
                                        _4byte, _4byte, _4byte, _4byte, _end_bs_array};
const bs_code skan_animation_codes[] = {_begin_bs_array, 1, 64, _2byte, _2byte, _2byte, _2byte,
                                        _4byte, _4byte, _4byte, _end_bs_array};
const bs_code skan_frame_codes[] = {_begin_bs_array, 1, _4byte, _2byte, 2, _4byte, _end_bs_array};
const bs_code skan_bone_frame_pos_codes[] = {_begin_bs_array, 1, _2byte, _2byte, _2byte, _2byte,
                                             _2byte, _2byte, _2byte, _end_bs_array};
const bs_code skan_state_codes[] = {_begin_bs_array, 1, 64, _2byte, _2byte, _4byte, _end_bs_array};
const bs_code skan_animation_v1_codes[] = {_begin_bs_array, 1, 64, _2byte, _2byte, _2byte, _2byte,
                                           _4byte, _4byte, _4byte, _4byte, _4byte, _end_bs_array};

namespace {

const bs_code kStateEntryCodes[] = {_begin_bs_array, 1, _2byte, _2byte, _end_bs_array};

struct state_entry {
    int16_t animation;
    int16_t weight;
};

} // namespace

uint32_t skan_frame_size(int bone_count)
{
    return (uint32_t(SKAN_FRAME_SIZE) + uint32_t(SKAN_BONE_POSE_SIZE) * uint32_t(bone_count) + 3u) & ~3u;
}

uint64_t skan_data_size(const TSkeletalAnimationSet& set)
{
    uint64_t size = SKAN_HEADER_SIZE + uint64_t(SKAN_BONE_BASE_SIZE) * set.bones.size() +
                    4ull * set.animations.size() + 4ull * set.states.size();
    uint32_t frame = skan_frame_size(int(set.bones.size()));
    for (const auto& a : set.animations) size += SKAN_ANIMATION_SIZE + uint64_t(frame) * a->frames.size();
    for (const auto& s : set.states) size += SKAN_STATE_SIZE + uint64_t(SKAN_STATE_ENTRY_SIZE) * s.choices.size();
    return size;
}

void skan_read_head(TSkanReader& in, TSkeletalAnimationSet& set)
{
    in.Read("the header", &set.header, SKAN_HEADER_SIZE, 1, skan_header_codes);
    const skan_header& h = set.header;
    if (h.bone_count < 0 || h.animation_count < 0 || h.state_count < 0)
        in.Fail("the animation header has a negative count");
    in.Need("the bone bases", uint64_t(SKAN_BONE_BASE_SIZE) * uint64_t(h.bone_count));
    set.bones.resize(size_t(h.bone_count));
    in.Read("the bone bases", set.bones.data(), SKAN_BONE_BASE_SIZE, h.bone_count, skan_bone_base_codes);
    in.Skip("the animation table", 4ull * uint64_t(h.animation_count));
    in.Skip("the state table", 4ull * uint64_t(h.state_count));
}

void skan_read_states(TSkanReader& in, TSkeletalAnimationSet& set)
{
    const skan_header& h = set.header;
    for (int32_t s = 0; s < h.state_count; ++s) {
        TSkeletalAnimationState state;
        in.Read("a state", &state.record, SKAN_STATE_SIZE, 1, skan_state_codes);
        if (state.record.state_animation_count < 0) in.Fail("a state has a negative animation count");
        std::vector<state_entry> entries(size_t(state.record.state_animation_count));
        in.Read("a state's list", entries.data(), SKAN_STATE_ENTRY_SIZE, state.record.state_animation_count,
                kStateEntryCodes);
        for (const state_entry& e : entries) {
            const TSkeletalAnimation* animation =
                e.animation >= 0 && e.animation < h.animation_count ? set.animations[size_t(e.animation)].get() : nullptr;
            state.choices.push_back({animation, e.weight});
        }
        set.states.push_back(std::move(state));
    }
    if (in.Position() != in.Size())
        in.Fail("the animation data holds " + std::to_string(in.Size()) + " bytes but its counts make " +
                std::to_string(in.Position()));
}

TSkeletalAnimationSet skan_load(const uint8_t* data, size_t size, const std::string& source)
{
    TSkeletalAnimationSet set;
    TSkanReader in(data, size, source);
    skan_read_head(in, set);
    const skan_header& h = set.header;

    uint32_t pad = skan_frame_size(h.bone_count) - SKAN_FRAME_SIZE - uint32_t(SKAN_BONE_POSE_SIZE) * uint32_t(h.bone_count);
    for (int32_t a = 0; a < h.animation_count; ++a) {
        auto animation = std::make_unique<TSkeletalAnimation>();
        in.Read("an animation", &animation->record, SKAN_ANIMATION_SIZE, 1, skan_animation_codes);
        in.Need("an animation's frames", uint64_t(skan_frame_size(h.bone_count)) * animation->record.frame_count);
        animation->frames.resize(animation->record.frame_count);
        for (TSkeletalAnimationFrame& frame : animation->frames) {
            in.Read("a frame", &frame.record, SKAN_FRAME_SIZE, 1, skan_frame_codes);
            frame.poses.resize(size_t(h.bone_count));
            in.Read("a frame", frame.poses.data(), SKAN_BONE_POSE_SIZE, h.bone_count, skan_bone_frame_pos_codes);
            in.Skip("a frame", pad);
        }
        set.animations.push_back(std::move(animation));
    }
    skan_read_states(in, set);
    return set;
}

namespace {

class TSkanWriter {
public:
    explicit TSkanWriter(size_t size) : fOut(size, 0) {}
    void Write(const void* structs, int32_t length, int32_t count, const bs_code* codes)
    {
        if (count > 0) byte_swap_copy("skan", fOut.data() + fPos, structs, length, count, codes);
        fPos += size_t(length) * size_t(count);
    }
    void Skip(size_t bytes) { fPos += bytes; }
    size_t Position() const { return fPos; }
    std::vector<uint8_t> Take() { return std::move(fOut); }

private:
    std::vector<uint8_t> fOut;
    size_t fPos = 0;
};

} // namespace

std::vector<uint8_t> skan_write(const TSkeletalAnimationSet& set)
{
    size_t bones = set.bones.size();
    for (const auto& a : set.animations) {
        if (a->frames.size() > 0xFFFF) throw XGPostError(kXGAssertionFailure, {"frame_count<=0xFFFF", "skan", __LINE__});
        for (const TSkeletalAnimationFrame& f : a->frames)
            if (f.poses.size() != bones)
                throw XGPostError(kXGAssertionFailure, {"ptr == (byte *)anim + anim_size", "skan", __LINE__});
    }
    for (const TSkeletalAnimationState& s : set.states)
        if (s.choices.size() > 0x7FFF)
            throw XGPostError(kXGAssertionFailure, {"state_animation_count<=0x7FFF", "skan", __LINE__});
    uint64_t total = skan_data_size(set);
    if (total > 0xFFFFFFF0ull) throw XGPostError(kXGOutOfMemory);

    TSkanWriter out{size_t(total)};
    skan_header h = set.header;
    h.bone_count = int32_t(bones);
    h.animation_count = int32_t(set.animations.size());
    h.state_count = int32_t(set.states.size());
    out.Write(&h, SKAN_HEADER_SIZE, 1, skan_header_codes);
    out.Write(set.bones.data(), SKAN_BONE_BASE_SIZE, int32_t(bones), skan_bone_base_codes);
    out.Skip(4 * set.animations.size() + 4 * set.states.size());
    size_t pad = skan_frame_size(int(bones)) - SKAN_FRAME_SIZE - SKAN_BONE_POSE_SIZE * bones;
    for (const auto& a : set.animations) {
        skan_animation_record record = a->record;
        record.frame_count = uint16_t(a->frames.size());
        out.Write(&record, SKAN_ANIMATION_SIZE, 1, skan_animation_codes);
        for (const TSkeletalAnimationFrame& f : a->frames) {
            out.Write(&f.record, SKAN_FRAME_SIZE, 1, skan_frame_codes);
            out.Write(f.poses.data(), SKAN_BONE_POSE_SIZE, int32_t(bones), skan_bone_frame_pos_codes);
            out.Skip(pad);
        }
    }
    for (const TSkeletalAnimationState& s : set.states) {
        skan_state_record record = s.record;
        record.state_animation_count = int16_t(s.choices.size());
        out.Write(&record, SKAN_STATE_SIZE, 1, skan_state_codes);
        for (const TSkeletalAnimationChoice& c : s.choices) {
            state_entry e{0, c.weight};
            for (size_t i = 0; i < set.animations.size(); ++i)
                if (set.animations[i].get() == c.animation) {
                    e.animation = int16_t(i);
                    break;
                }
            out.Write(&e, SKAN_STATE_ENTRY_SIZE, 1, kStateEntryCodes);
        }
    }
    if (out.Position() != total)
        throw XGPostError(kXGAssertionFailure, {"ptr == (byte *)tagdata + total_size", "skan", __LINE__});
    return out.Take();
}

TSkeletalAnimationSet load_skeletal_animation_tag(tag_entry* e)
{
    if (tag_get_version(e) == 1) update_skeletal_animation_tag(e);
    if (tag_get_version(e) != 2)
        throw XGPostError(kXGAssertionFailure, {"version == 2", "skan", __LINE__});
    uint32_t size = 0;
    const uint8_t* data = tag_get_data(e, &size);
    if (!data && size) model_read_error(std::string(tag_get_name(e)) + " - the tag's data cannot be read.");
    return skan_load(data, size, tag_get_name(e));
}

void write_skeletal_animation_tag(const TSkeletalAnimationSet& set, tag_entry* e)
{
    std::vector<uint8_t> bytes = skan_write(set);
    if (!tag_set_data(e, bytes.data(), uint32_t(bytes.size()))) throw XGPostError(kXGOutOfMemory);
}

std::vector<uint8_t> skan_default_data()
{
    return std::vector<uint8_t>(SKAN_HEADER_SIZE, 0);
}

int64_t skan_round_fixed(double value, double scale, int64_t low, int64_t high)
{
    double v = value * scale;
    if (std::isnan(v)) return 0;
    double r = v < 0 ? -std::floor(-v + 0.5) : std::floor(v + 0.5);
    if (r < double(low)) return low;
    if (r > double(high)) return high;
    return int64_t(r);
}
