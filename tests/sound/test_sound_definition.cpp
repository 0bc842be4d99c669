#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "sound/sound_definition.h"
#include "sound/sound_import.h"
#include "sound/sound_tag_hooks.h"
#include "sound_tag_bytes.h"
#include "sound_test_support.h"
#include "support/dependency_recorder.h"
#include "tags/tag_types.h"

namespace {

struct SoundTags : ::testing::Test {
    sound_store tags;
    tag_entry* Add(const bytes& data) { return tags.add("soun", data); }
};

test_sound ThreeKinds()
{
    test_sound s;
    s.flags = 0x80000003;
    s.fields[0] = 2;
    s.fields[1] = 0xC000;
    s.fields[7] = 4;
    s.subtitles = code("subt");
    s.kept32[2] = 0x12;
    s.kept52[0] = 0xAB;
    s.kept52[7] = 0xCD;
    test_permutation mono = packet_permutation("mono one", 1, 3, 1);
    mono.first_word = 0x7FFF;
    mono.kept[0] = 9;
    mono.header_kept[1] = 0x44;
    mono.skip = 0x8000;
    test_permutation stereo = packet_permutation("a stereo permutation name", 2, 4, 2);
    test_permutation raw;
    raw.name = "raw";
    raw.flags = 0;
    raw.count = 7;
    raw.data = make_bytes(14, 3);
    s.permutations = {mono, stereo, raw};
    return s;
}

} // namespace

TEST_F(SoundTags, ANewSoundIsTheDefaultDefinitionAlone)
{
    tag_entry* e = Add({});
    tag_type_set_defaults_hook(code("soun"))(e);
    EXPECT_EQ(tag_data(e), sound_tag_bytes(test_sound{})); // 64 bytes, sound_offset 64, sound_size 0
    TSoundDefinition sound;
    ASSERT_TRUE(read_sound_definition(sound, e));
    EXPECT_EQ(sound.PermutationCount(), 0);
}

TEST_F(SoundTags, ReadAndWriteKeepEveryByte)
{
    bytes original = sound_tag_bytes(ThreeKinds());
    ASSERT_EQ(original.size(), 64u + 3 * 64 + 102 + 136 + 14);
    tag_entry* e = Add(original);
    TSoundDefinition sound;
    ASSERT_TRUE(read_sound_definition(sound, e));

    EXPECT_EQ(sound.PermutationCount(), 3);
    EXPECT_EQ(sound.fDefinition.loudness, _sound_loud);
    EXPECT_EQ(sound.fDefinition.play_fraction, 0xC000);
    EXPECT_EQ(sound.fDefinition.subtitle_stringlist, code("subt"));
    EXPECT_EQ(sound_permutation_name(sound.fPermutations[1]), "a stereo permutation name");
    EXPECT_EQ(sound.fPermutations[0].skip_fraction, 0x8000);
    EXPECT_EQ(sound.fHeaders[1].number_of_channels, 2);
    EXPECT_EQ(sound.fHeaders[1].sample_count, 4u);
    EXPECT_EQ(sound.fSamples[0], bytes(original.begin() + 256, original.begin() + 358));
    EXPECT_EQ(sound.fSamples[2], bytes(original.end() - 14, original.end()));
    EXPECT_TRUE(sound.fSamples[3].empty());

    sound_permutation_information stereo = sound_permutation_info(sound, 1);
    EXPECT_EQ(stereo.format + ", " + stereo.channels + ", " + stereo.size, "16 bits, 22050 hz, stereo, 0.1 k");
    EXPECT_EQ(sound_permutation_info(sound, 0).channels, "mono");

    // a slot past the count and the in-memory array fields are not stored
    sound.fSamples[3] = make_bytes(8, 1);
    sound.fHeaders[3].sample_count = 9;
    sound.fDefinition.permutations_slot = 0x1234;
    ASSERT_TRUE(write_sound_definition(sound, e));
    EXPECT_EQ(tag_data(e), original);
    EXPECT_TRUE(e->dirty);
    // the sound is left as reading the tag back gives it
    TSoundDefinition read;
    ASSERT_TRUE(read_sound_definition(read, e));
    EXPECT_EQ(std::memcmp(&read.fDefinition, &sound.fDefinition, sizeof read.fDefinition), 0);
    EXPECT_EQ(std::memcmp(read.fHeaders, sound.fHeaders, sizeof read.fHeaders), 0);
    for (int k = 0; k < MAXIMUM_PERMUTATIONS_PER_SOUND; ++k) EXPECT_EQ(read.fSamples[k], sound.fSamples[k]) << k;

    sound.fHeaders[0].sample_rate = 44100u << 16 | 0x8000;
    sound.fSamples[0].resize(2560);
    EXPECT_EQ(sound_permutation_info(sound, 0).format, "16 bits, 44100 hz");
    EXPECT_EQ(sound_permutation_info(sound, 0).size, "2.5 k");
}

TEST_F(SoundTags, DamagedDefinitionsAreNotLoaded)
{
    bytes good = sound_tag_bytes(ThreeKinds());
    struct damage {
        const char* what;
        std::function<void(bytes&)> apply;
    };
    const damage cases[] = {
        {"six permutations", [](bytes& b) { put_be32(b, 36, 6); }},
        {"negative count", [](bytes& b) { put_be32(b, 36, 0xFFFFFFFF); }},
        {"count without records", [](bytes& b) { put_be32(b, 36, 4); }},
        {"permutations offset", [](bytes& b) { put_be32(b, 40, 68); }},
        {"permutations size", [](bytes& b) { put_be32(b, 44, 64); }},
        {"sound offset", [](bytes& b) { put_be32(b, 20, 192); }},
        {"sound size", [](bytes& b) { put_be32(b, 24, be32(b, 24) + 1); }},
        {"one byte more", [](bytes& b) { b.push_back(0); }},
        {"one byte less", [](bytes& b) { b.pop_back(); }},
        {"block past the data", [](bytes& b) { put_be32(b, 160 + 16, 5); }},
        {"packet count that overflows", [](bytes& b) { put_be32(b, 160 + 16, 0x80000000); }},
        {"sample size shift past 32 bits", [](bytes& b) { put_be16(b, 160 + 64 + 6, 40); }},
        {"shorter than a definition", [](bytes& b) { b.resize(63); }},
        {"no data", [](bytes& b) { b.clear(); }},
    };
    for (const damage& d : cases) {
        bytes b = good;
        d.apply(b);
        tag_entry* e = Add(b);
        TSoundDefinition sound;
        sound.fDefinition.number_of_permutations = 42;
        EXPECT_FALSE(read_sound_definition(sound, e)) << d.what;
        EXPECT_EQ(sound.fDefinition.number_of_permutations, 42) << d.what;
    }
    // A shift past 32 bits over no samples describes an empty block.
    test_sound empty = ThreeKinds();
    empty.permutations[2].shift = 40;
    empty.permutations[2].count = 0;
    empty.permutations[2].data.clear();
    TSoundDefinition sound;
    EXPECT_TRUE(read_sound_definition(sound, Add(sound_tag_bytes(empty))));
}

TEST_F(SoundTags, WritingInconsistentOffsetsIsAProgrammingError)
{
    tag_entry* e = Add(sound_tag_bytes(ThreeKinds()));
    TSoundDefinition sound;
    ASSERT_TRUE(read_sound_definition(sound, e));
    TSoundDefinition bad = sound;
    bad.fDefinition.sound_offset += 32;
    EXPECT_THROW(write_sound_definition(bad, e), AssertionThrown);
    bad = sound;
    bad.fDefinition.number_of_permutations = 6;
    EXPECT_THROW(write_sound_definition(bad, e), AssertionThrown);
    bad = sound;
    bad.fSamples[1].pop_back();
    EXPECT_THROW(write_sound_definition(bad, e), AssertionThrown);
    EXPECT_EQ(tag_data(e), sound_tag_bytes(ThreeKinds()));
}

TEST_F(SoundTags, PermutationsAreAddedUpToFiveAndRemovedInOrder)
{
    test_sound s = ThreeKinds();
    s.permutations.push_back(packet_permutation("p3", 1, 1, 3));
    tag_entry* e = Add(sound_tag_bytes(s));
    TSoundDefinition sound;
    ASSERT_TRUE(read_sound_definition(sound, e));
    ASSERT_TRUE(sound_can_add_permutation(sound));
    sound.fHeaders[4] = sound.fHeaders[3];
    sound.fSamples[4] = sound.fSamples[3];
    sound_append_permutation(sound);
    EXPECT_EQ(sound.fDefinition.permutations_size, 160u);
    EXPECT_EQ(sound.fDefinition.sound_offset, 224u);
    EXPECT_FALSE(sound_can_add_permutation(sound));
    EXPECT_THROW(sound_append_permutation(sound), AssertionThrown);

    // removing the first keeps the order of the others
    ASSERT_TRUE(read_sound_definition(sound, Add(sound_tag_bytes(ThreeKinds()))));
    bytes stereo = sound.fSamples[1], raw = sound.fSamples[2];
    sound_remove_permutation(sound, 0);
    EXPECT_EQ(sound.PermutationCount(), 2);
    EXPECT_EQ(sound_permutation_name(sound.fPermutations[0]), "a stereo permutation name");
    EXPECT_EQ(sound.fSamples[0], stereo);
    EXPECT_EQ(sound.fSamples[1], raw);
    EXPECT_TRUE(sound.fSamples[2].empty());
    EXPECT_EQ(sound.fHeaders[2].sample_count, 0u);
    EXPECT_THROW(sound_remove_permutation(sound, 2), AssertionThrown);
    ASSERT_TRUE(write_sound_definition(sound, e));
    test_sound expected = ThreeKinds();
    expected.permutations.erase(expected.permutations.begin());
    EXPECT_EQ(tag_data(e), sound_tag_bytes(expected));
    EXPECT_EQ(sound.fDefinition.sound_size, 64u + 136 + 14);
}

TEST_F(SoundTags, ASoundReferencesItsSubtitles)
{
    DependencyRecorder recorder;
    EXPECT_EQ(recorder.Collect(Add(sound_tag_bytes(ThreeKinds()))), std::vector<std::string>{"stli:subt"});
    EXPECT_TRUE(recorder.Collect(Add(bytes(10, 0))).empty());
}
