// Skeletal animation tags (skan): the stored layout of both versions, the in-memory
// animation set, loading, writing, the version 1 upgrade and the frame events.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "tags/byte_swapping.h"
#include "tags/tag_code.h"

struct tag_entry;
class TTagStore;

constexpr int SKAN_HEADER_SIZE = 24;
constexpr int SKAN_BONE_BASE_SIZE = 96;
constexpr int SKAN_ANIMATION_SIZE = 84;
constexpr int SKAN_ANIMATION_V1_SIZE = 92;
constexpr int SKAN_FRAME_SIZE = 12;
constexpr int SKAN_BONE_POSE_SIZE = 14;
constexpr int SKAN_STATE_SIZE = 72;
constexpr int SKAN_STATE_ENTRY_SIZE = 4;
constexpr uint16_t SKAN_MOTION_IS_ANGLE = 0x0008;
constexpr uint16_t SKAN_NO_EVENT = 0xFFFF;
constexpr uint16_t SKAN_ACTION_KEYFRAME = 0x0800;

struct skan_header {
    int32_t bone_count;
    int32_t animation_count;
    int32_t state_count;
    uint32_t pointer_slots[3]; // as read
};

struct skan_bone_base {
    char name[64];
    int32_t values[8];
};

struct skan_animation_record {
    char name[64];
    uint16_t frame_count;
    uint16_t animation_flags;
    uint16_t frame_rate; // 8.8
    int16_t position_shift;
    int32_t values[3];
};
static_assert(sizeof(skan_animation_record) == SKAN_ANIMATION_SIZE);

struct skan_frame_record {
    int32_t frame_motion;
    uint16_t frame_event;
    uint8_t unconverted[2];
    int32_t event_tag;
};
static_assert(sizeof(skan_frame_record) == SKAN_FRAME_SIZE);

struct skan_bone_pose {
    int16_t position[3]; // units of 2^-position_shift
    int16_t rotation[4]; // x, y, z, w in 1/32767
};
static_assert(sizeof(skan_bone_pose) == SKAN_BONE_POSE_SIZE);

struct skan_state_record {
    char name[64];
    int16_t state_animation_count;
    int16_t value;
    int32_t total_weight;
};
static_assert(sizeof(skan_state_record) == SKAN_STATE_SIZE);

extern const bs_code skan_header_codes[];
extern const bs_code skan_bone_base_codes[];
extern const bs_code skan_animation_codes[];
extern const bs_code skan_frame_codes[];
extern const bs_code skan_bone_frame_pos_codes[];
extern const bs_code skan_state_codes[];
extern const bs_code skan_animation_v1_codes[];

struct TSkeletalAnimationFrame {
    skan_frame_record record{};
    std::vector<skan_bone_pose> poses; // one per bone base
};

struct TSkeletalAnimation {
    skan_animation_record record{}; // frame_count follows frames on writing
    std::vector<TSkeletalAnimationFrame> frames;
};

struct TSkeletalAnimationChoice {
    const TSkeletalAnimation* animation; // written as its index in the set, 0 when absent
    int16_t weight;
};

struct TSkeletalAnimationState {
    skan_state_record record{}; // state_animation_count follows the list on writing
    std::vector<TSkeletalAnimationChoice> choices;
};

struct TSkeletalAnimationSet {
    skan_header header{}; // counts follow the vectors on writing
    std::vector<skan_bone_base> bones;
    std::vector<std::unique_ptr<TSkeletalAnimation>> animations;
    std::vector<TSkeletalAnimationState> states;
};

// Bytes a frame takes: 12 + 14 per bone, rounded up to 4.
uint32_t skan_frame_size(int bone_count);
// The stored size of the set.
uint64_t skan_data_size(const TSkeletalAnimationSet& set);

// Version 2 data to the set; raises File Read Error when a count or size disagrees
// with the data.
// source names the data in messages.
TSkeletalAnimationSet skan_load(const uint8_t* data, size_t size, const std::string& source);
// The set as version 2 data. Raises an internal error (nothing produced) when a
// frame's poses disagree with the bone count.
std::vector<uint8_t> skan_write(const TSkeletalAnimationSet& set);

// Version 1 data as version 2 data (raises File Read Error for bad data).
std::vector<uint8_t> skan_upgrade_v1(const uint8_t* data, size_t size, const std::string& source);

// The tag's set, upgrading a version 1 tag first; raises for other versions and bad data.
TSkeletalAnimationSet load_skeletal_animation_tag(tag_entry* e);
void write_skeletal_animation_tag(const TSkeletalAnimationSet& set, tag_entry* e);
// The updater: version 1 becomes 2 in place; 2 returns at once.
bool update_skeletal_animation_tag(tag_entry* e);

std::vector<uint8_t> skan_default_data();

// Frame events.
struct skan_frame_event {
    int32_t event_type;
    int32_t event_bone;
    bool action_keyframe;
    int32_t event_tag;
};
skan_frame_event skan_unpack_event(const skan_frame_record& frame);
void skan_pack_event(const skan_frame_event& event, skan_frame_record& frame);
// The tag type an event type refers to, 0 for none.
tag_code skan_event_tag_type(int32_t event_type);
// "%d. " and the event of the frame, as the editor lists it.
std::string skan_event_line(const TSkeletalAnimationSet& set, const TSkeletalAnimation& animation, int frame,
                            const TTagStore& store);

// A bone base as the editor's bone lists show it: its name, "(unnamed bone)" when empty.
std::string skan_bone_list_name(const skan_bone_base& bone);
// The bone the lists choose first: the one named "tag_origin_standard", else 0.
int skan_default_list_bone(const TSkeletalAnimationSet& set);

// Fixed-point helpers: value * scale rounded half away from zero, clamped to the range.
int64_t skan_round_fixed(double value, double scale, int64_t low, int64_t high);

// The shift s that brings magnitude * 2^s into 16383..32767 (bounded for 0).
int skan_position_shift(double magnitude);
