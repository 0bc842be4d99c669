// Sprite definitions: frames that each name one texture of a texture stack tag, and
// sequences of timed steps (frame, ticks, colour, rotation, sound, scale).
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "tags/byte_swapping.h"
#include "texture/texture_image.h"

struct tag_entry;

constexpr int32_t MAX_SPRITE_FRAMES = 256;
constexpr int32_t MAX_SPRITE_SEQUENCES = 8;
// The steps a sequence may have where the editor and the dependency walk read sprites.
constexpr int32_t MAX_SPRITE_STEPS = 256;

struct sprite_header {
    int32_t num_frames;
    int32_t num_sequences;
    int32_t values[2];
    uint8_t unused[4];
    uint8_t frames_slot[4];    // stored pointer slots, kept as read
    uint8_t sequences_slot[4];
};
static_assert(sizeof(sprite_header) == 28);

struct sprite_frame {
    int32_t placement[24]; // twelve pairs of values, read and written unchanged
    uint32_t texture_stack;
    int32_t stack_index;
    int32_t texture_index;
    uint8_t data_slot[4];   // cleared on reading
    uint8_t unused[8];
    uint8_t image_info[8];
};
static_assert(sizeof(sprite_frame) == 128);

struct sprite_sequence_record {
    int32_t num_steps;
    int32_t values[3];
    uint8_t step_slots[24]; // stored pointer slots, kept as read
};
static_assert(sizeof(sprite_sequence_record) == 40);

struct sprite_color {
    int32_t values[4];
};

struct sprite_sequence {
    sprite_sequence_record record;
    std::vector<int32_t> frames;
    std::vector<int32_t> ticks;
    std::vector<sprite_color> colors;
    std::vector<int32_t> rots;
    std::vector<uint32_t> sound_tags;
    std::vector<int32_t> scales;
};

// A frame's decoded picture (not stored).
struct sprite_frame_image {
    std::unique_ptr<texture_image> data;
};

struct sprite_definition {
    sprite_header header{};
    std::vector<sprite_frame> frames;       // the frame capacity
    std::vector<sprite_sequence> sequences; // the sequence capacity
    std::vector<sprite_frame_image> images; // one per frame
    int32_t step_capacity = 0;
    tag_entry* tag = nullptr; // the tag last read, for finding frame textures

    int32_t num_frames() const { return header.num_frames; }
    int32_t num_sequences() const { return header.num_sequences; }
};

extern const bs_code sprite_header_codes[];   // "std"
extern const bs_code sprite_frame_codes[];    // "sfd"
extern const bs_code sprite_sequence_codes[]; // "ssd"
extern const bs_code sprite_step_codes[];     // one 4-byte value

// A definition with the counts at the capacities and every array allocated.
std::unique_ptr<sprite_definition> create_sprite_definition(int32_t frames, int32_t sequences, int32_t steps);

// Reads the tag into the definition; false when the tag's data cannot be had. A tag that
// breaks a limit or does not fit the definition's capacities fails a check (source "spri"),
// data cut short raises a read error. With load_images, every frame's image is loaded.
bool read_sprite_definition(sprite_definition& def, tag_entry* tag, bool load_images);
// Stores the definition as the tag's data.
void write_sprite_definition(const sprite_definition& def, tag_entry* tag);
// True when the definitions differ in what is stored (frame image fields aside).
bool compare_sprite_definitions(const sprite_definition& a, const sprite_definition& b);

// Decodes the frame's texture from its texture stack tag; a missing tag, stack or texture,
// or data that does not decode, leaves the frame without pixels.
void load_sprite_frame_image(sprite_definition& def, int32_t frame);
// The frame's pixels for drawing (null without); the frame must exist.
const texture_image* sprite_frame_pixels(const sprite_definition& def, int32_t frame_num);

// The step a sequence shows tick game ticks after it started, the steps following one
// another for their ticks and the sequence starting over after its last; steps of 0 or
// fewer ticks are passed over, and a sequence whose steps all are shows its first.
// -1 for a sequence without steps.
int32_t sprite_sequence_step_at(const sprite_sequence& s, int64_t tick);

void spri_set_defaults(tag_entry* tag);
void spri_collect_dependencies(tag_entry* tag);
