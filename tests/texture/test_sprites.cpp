#include <gtest/gtest.h>

#include "framework/XGError.h"
#include "support/dependency_recorder.h"
#include "support/tag_file_bytes.h"
#include "tags/tag_types.h"
#include "texture/spri.h"
#include "texture/texture_pixels.h"
#include "texture/txst_format.h"
#include "texture_test_support.h"

namespace {

// A sprite tag assembled by hand: frames and sequences (steps given per sequence).
bytes SpriteBytes(int32_t frames, const std::vector<int32_t>& steps, uint8_t seed = 1)
{
    bytes b(28);
    put_be32(b, 0, uint32_t(frames));
    put_be32(b, 4, uint32_t(steps.size()));
    put_be32(b, 8, 0x11111111);
    put_be32(b, 12, 0x22222222);
    for (int i = 16; i < 28; ++i) b[i] = uint8_t(0xA0 + i); // pointer slots, kept as read
    for (int32_t f = 0; f < frames; ++f) {
        bytes frame = make_bytes(128, uint8_t(seed + f));
        put_be32(frame, 96, code("sprf"));
        put_be32(frame, 100, 0);
        put_be32(frame, 104, uint32_t(f % 2));
        for (int i = 108; i < 112; ++i) frame[i] = 0; // cleared on reading, so written as zero
        b.insert(b.end(), frame.begin(), frame.end());
    }
    for (size_t s = 0; s < steps.size(); ++s) {
        bytes record = make_bytes(40, uint8_t(seed + 50 + s));
        put_be32(record, 0, uint32_t(steps[s]));
        b.insert(b.end(), record.begin(), record.end());
    }
    for (size_t s = 0; s < steps.size(); ++s) {
        bytes arrays = make_bytes(36 * size_t(steps[s]), uint8_t(seed + 90 + s));
        const size_t sounds = 28 * size_t(steps[s]); // after frames, ticks, colours and rotations
        for (int32_t j = 0; j < steps[s]; ++j) put_be32(arrays, sounds + 4 * j, code("snd0") + uint32_t(j));
        b.insert(b.end(), arrays.begin(), arrays.end());
    }
    return b;
}

} // namespace

TEST(Sprites, ReadThenWriteGivesBackEveryByte)
{
    for (const std::vector<int32_t>& steps : {std::vector<int32_t>{}, {3, 0, 5}}) {
        texture_store s;
        const bytes stored = SpriteBytes(steps.empty() ? 0 : 4, steps);
        EXPECT_EQ(stored.size(), 28 + 128 * (steps.empty() ? 0 : 4) + 40 * steps.size() + 36 * 8 * !steps.empty());
        tag_entry* e = s.add("spri", "sprt", stored);
        auto def = create_sprite_definition(MAX_SPRITE_FRAMES, MAX_SPRITE_SEQUENCES, 16);
        ASSERT_TRUE(read_sprite_definition(*def, e, false));
        EXPECT_EQ(def->num_frames(), steps.empty() ? 0 : 4);
        if (!steps.empty()) {
            EXPECT_EQ(def->frames[1].texture_index, 1);
            EXPECT_EQ(def->sequences[2].record.num_steps, 5);
            EXPECT_EQ(def->sequences[2].sound_tags[4], code("snd0") + 4);
        }
        tag_entry* copy = s.add("spri", "copy", bytes(28, 0));
        write_sprite_definition(*def, copy);
        EXPECT_EQ(tag_bytes(copy), stored);
    }
}

TEST(Sprites, NewTagIsAZeroHeader)
{
    texture_store s;
    tag_entry* e = s.add("spri", "new ", bytes{});
    tag_type_set_defaults_hook(code("spri"))(e);
    EXPECT_EQ(tag_bytes(e), bytes(28, 0));
    auto def = create_sprite_definition(2, 2, 2);
    ASSERT_TRUE(read_sprite_definition(*def, e, true));
    EXPECT_EQ(def->num_frames(), 0);
    tag_entry* out = s.add("spri", "out ", bytes{});
    write_sprite_definition(*def, out);
    EXPECT_EQ(tag_bytes(out), bytes(28, 0));
}

TEST(Sprites, LimitsAndCapacitiesAreChecked)
{
    texture_store s;
    auto def = create_sprite_definition(MAX_SPRITE_FRAMES, MAX_SPRITE_SEQUENCES, 4);
    std::string message = error_message([&] { read_sprite_definition(*def, s.add("spri", "f257", SpriteBytes(257, {})), false); });
    EXPECT_NE(message.find("Assertion (def->num_frames <= MAX_SPRITE_FRAMES) failed in \"spri\""), std::string::npos)
        << message;
    message = error_message([&] { read_sprite_definition(*def, s.add("spri", "s9  ", SpriteBytes(0, std::vector<int32_t>(9, 0))), false); });
    EXPECT_NE(message.find("def->num_sequences <= MAX_SPRITE_SEQUENCES"), std::string::npos) << message;
    message = error_message([&] { read_sprite_definition(*def, s.add("spri", "step", SpriteBytes(1, {5})), false); });
    EXPECT_NE(message.find("\"spri\""), std::string::npos) << message;

    // Counts beyond the data and negative counts are refused too.
    bytes cut = SpriteBytes(2, {3});
    cut.resize(cut.size() - 1);
    EXPECT_THROW(read_sprite_definition(*def, s.add("spri", "cut ", cut), false), XGError);
    bytes negative = SpriteBytes(0, {});
    put_be32(negative, 0, 0xFFFFFFFF);
    EXPECT_THROW(read_sprite_definition(*def, s.add("spri", "neg ", negative), false), XGError);
    EXPECT_EQ(def->num_frames(), MAX_SPRITE_FRAMES); // a refused read leaves the definition alone
}

TEST(Sprites, ComparisonIgnoresTheFrameImageFields)
{
    texture_store s;
    tag_entry* e = s.add("spri", "sprt", SpriteBytes(3, {2, 4}));
    auto a = create_sprite_definition(8, 8, 8);
    auto b = create_sprite_definition(8, 8, 8);
    ASSERT_TRUE(read_sprite_definition(*a, e, false));
    ASSERT_TRUE(read_sprite_definition(*b, e, false));
    EXPECT_FALSE(compare_sprite_definitions(*a, *b));
    b->frames[2].image_info[3] = 9;
    b->frames[2].unused[0] ^= 1;
    EXPECT_FALSE(compare_sprite_definitions(*a, *b));
    b->frames[2].placement[23] ^= 1;
    EXPECT_TRUE(compare_sprite_definitions(*a, *b));
    ASSERT_TRUE(read_sprite_definition(*b, e, false));
    b->header.values[0] ^= 1; // both values after the counts are compared
    EXPECT_TRUE(compare_sprite_definitions(*a, *b));
    ASSERT_TRUE(read_sprite_definition(*b, e, false));
    b->header.values[1] ^= 1;
    EXPECT_TRUE(compare_sprite_definitions(*a, *b));
    ASSERT_TRUE(read_sprite_definition(*b, e, false));
    b->sequences[1].scales[3] ^= 1;
    EXPECT_TRUE(compare_sprite_definitions(*a, *b));
    ASSERT_TRUE(read_sprite_definition(*b, e, false));
    b->sequences[1].colors[0].values[2] ^= 1;
    EXPECT_TRUE(compare_sprite_definitions(*a, *b));
}

TEST(Sprites, FrameImagesComeFromTheirTextureStack)
{
    texture_store s;
    auto frames = create_texture_set(1);
    insert_texture(frames.get(), 0, -1, patterned_texture(4, 4, 4, 1));
    auto jpeg = std::make_unique<stacked_texture>();
    jpeg->width = jpeg->height = 16;
    jpeg->channels = 3;
    jpeg->format = TEXTURE_FORMAT_JPEG;
    jpeg->compressed_data = encode_texture_jpeg(smooth_image(16, 16, 3, 2), 90);
    insert_texture(frames.get(), 0, -1, std::move(jpeg));
    ASSERT_TRUE(write_texture_set(s.add("txst", "sprf", bytes(4, 0)), *frames));

    bytes stored = SpriteBytes(3, {});
    put_be32(stored, 28 + 2 * 128 + 104, 7); // frame 2 names a texture that is not there
    tag_entry* e = s.add("spri", "sprt", stored);
    auto def = create_sprite_definition(8, 1, 1);
    ASSERT_TRUE(read_sprite_definition(*def, e, true));
    const texture_image* first = sprite_frame_pixels(*def, 0);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->channels, 4u);
    EXPECT_EQ(first->pixels, frames->stacks[0].textures[0]->compressed_data);
    const texture_image* second = sprite_frame_pixels(*def, 1);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->width, 16u);
    EXPECT_EQ(sprite_frame_pixels(*def, 2), nullptr);
    EXPECT_NE(error_message([&] { sprite_frame_pixels(*def, 3); }).find("frame_num < def->num_frames"), std::string::npos);

    // Writing keeps the stored bytes of the frames, not the loaded images.
    tag_entry* out = s.add("spri", "out ", bytes{});
    write_sprite_definition(*def, out);
    EXPECT_EQ(tag_bytes(out), stored);
}

TEST(Sprites, FrameStackIndicesPassOverStacksWithoutTextures)
{
    texture_store s;
    hand_texture colour;
    colour.data = make_bytes(2 * 2 * 3, 40);
    hand_texture mask;
    mask.channels = 1;
    mask.data = make_bytes(2 * 2, 90);
    // Stored stacks 0 and 2 hold nothing: frames count only the stacks a set keeps.
    s.add("txst", "sprf", build_txst({hand_stack{}, hand_stack{0, 1, {colour, mask}}, hand_stack{}}));

    bytes stored = SpriteBytes(3, {});
    put_be32(stored, 28 + 2 * 128 + 100, 1); // frame 2: a second kept stack, which is not there
    auto def = create_sprite_definition(3, 0, 0);
    ASSERT_TRUE(read_sprite_definition(*def, s.add("spri", "sprt", stored), true));
    const texture_image* first = sprite_frame_pixels(*def, 0);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->channels, 3u);
    EXPECT_EQ(first->pixels, colour.data);
    const texture_image* second = sprite_frame_pixels(*def, 1);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->channels, 1u);
    EXPECT_EQ(second->pixels, mask.data);
    EXPECT_EQ(sprite_frame_pixels(*def, 2), nullptr);
}

TEST(Sprites, DependenciesAreFrameStacksAndStepSounds)
{
    texture_store s;
    tag_entry* e = s.add("spri", "sprt", SpriteBytes(2, {2, 1}));
    DependencyRecorder recorder;
    EXPECT_EQ(recorder.Collect(e), (std::vector<std::string>{"txst:sprf", "txst:sprf", "soun:snd0", "soun:snd1",
                                                              "soun:snd0"}));
}

TEST(Sprites, SequencesShowEachStepForItsTicksAndStartOver)
{
    auto def = create_sprite_definition(1, 1, 5);
    sprite_sequence& s = def->sequences[0];
    EXPECT_EQ(sprite_sequence_step_at(s, 0), -1);
    s.record.num_steps = 4;
    s.ticks = {2, 0, 3, -5, 0}; // steps of 0 or fewer ticks are passed over
    const int32_t expected[] = {0, 0, 2, 2, 2, 0, 0, 2};
    for (int64_t tick = 0; tick < 8; ++tick) EXPECT_EQ(sprite_sequence_step_at(s, tick), expected[tick]) << tick;
    EXPECT_EQ(sprite_sequence_step_at(s, 5 * 1000 + 3), 2);
    s.ticks = {0, 0, 0, 0, 0};
    EXPECT_EQ(sprite_sequence_step_at(s, 7), 0);
}
