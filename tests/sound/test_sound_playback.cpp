#include <gtest/gtest.h>

#include "sound/adpcm.h"
#include "sound/sound_import.h"
#include "sound/sound_playback.h"
#include "sound_tag_bytes.h"
#include "sound_test_support.h"
#include "tags/tags.h"

namespace {

TSoundDefinition Read(const test_sound& s)
{
    TTagStore store;
    bytes data = sound_tag_bytes(s);
    tag_entry* e = store.create_tag(store.new_tag_file(), code("soun"), 0, 1, "s", 0, uint32_t(data.size()), data.data());
    TSoundDefinition sound;
    EXPECT_TRUE(read_sound_definition(sound, e));
    return sound;
}

std::vector<int16_t> PacketSamples(const bytes& block, size_t packet)
{
    std::vector<int16_t> out(64);
    const uint8_t* p = &block[packet * 34];
    ima_decode_packet(uint16_t((p[0] << 8) | p[1]), p + 2, out.data(), 64);
    return out;
}

} // namespace

TEST(SoundPlayback, MonoPacketsDecodeOneAfterAnother)
{
    test_sound s;
    s.permutations = {packet_permutation("three", 1, 3, 5)};
    TSoundDefinition sound = Read(s);
    sound_pcm pcm;
    ASSERT_TRUE(decode_permutation_for_playback(sound, 0, pcm));
    EXPECT_EQ(pcm.channels, 1);
    EXPECT_EQ(pcm.samples_per_second, 22050u);
    EXPECT_EQ(pcm.bits_per_sample, 16);
    ASSERT_EQ(pcm.samples.size() * 2, 384u);
    for (size_t j = 0; j < 3; ++j) {
        std::vector<int16_t> expected = PacketSamples(sound.fSamples[0], j);
        EXPECT_TRUE(std::equal(expected.begin(), expected.end(), pcm.samples.begin() + long(64 * j))) << j;
    }
}

TEST(SoundPlayback, StereoIsInterleavedFrameByFrame)
{
    TempFolder folder;
    std::vector<int16_t> left = sine_wave(300, 330, 12000), right = sine_wave(300, 2000, 4000);
    std::string path = folder / "st.wav";
    write_file(path, pcm_wav(2, 22050, 16, le_samples(interleave(left, right))));
    TSoundDefinition sound;
    sound.fDefinition = default_sound_definition();
    ASSERT_EQ(import_wav_permutation(sound, path, -1), 0);
    sound_append_permutation(sound);

    sound_pcm pcm;
    ASSERT_TRUE(decode_permutation_for_playback(sound, 0, pcm));
    EXPECT_EQ(pcm.channels, 2);
    ASSERT_EQ(pcm.samples.size(), 10u * 64);
    for (size_t pair = 0; pair < 5; ++pair) {
        std::vector<int16_t> l = PacketSamples(sound.fSamples[0], 2 * pair);
        std::vector<int16_t> r = PacketSamples(sound.fSamples[0], 2 * pair + 1);
        for (size_t i = 0; i < 64; ++i) {
            ASSERT_EQ(pcm.samples[(pair * 64 + i) * 2], l[i]) << pair << " " << i;
            ASSERT_EQ(pcm.samples[(pair * 64 + i) * 2 + 1], r[i]) << pair << " " << i;
        }
    }
    std::vector<int16_t> decoded(pcm.samples.begin(), pcm.samples.begin() + 600);
    EXPECT_GT(snr_db(interleave(left, right), decoded), 20.0);
}

TEST(SoundPlayback, AnOddStereoPacketIsLeftSilent)
{
    test_sound s;
    s.permutations = {packet_permutation("odd", 2, 3, 6)};
    sound_pcm pcm;
    ASSERT_TRUE(decode_permutation_for_playback(Read(s), 0, pcm));
    ASSERT_EQ(pcm.samples.size(), 192u);
    EXPECT_TRUE(std::all_of(pcm.samples.begin() + 128, pcm.samples.end(), [](int16_t v) { return v == 0; }));
}

TEST(SoundPlayback, OnlyTwentyTwoKilohertzIsPlayed)
{
    test_sound s;
    s.permutations = {packet_permutation("fast", 1, 2, 7), packet_permutation("three channels", 3, 3, 8)};
    s.permutations[0].rate = 44100u << 16;
    TSoundDefinition sound = Read(s);
    sound_pcm pcm;
    pcm.channels = 9;
    EXPECT_FALSE(decode_permutation_for_playback(sound, 0, pcm));
    EXPECT_FALSE(decode_permutation_for_playback(sound, 1, pcm));
    EXPECT_EQ(pcm.channels, 9);
    sound.fHeaders[0].sample_rate = (22050u << 16) | 1;
    EXPECT_FALSE(decode_permutation_for_playback(sound, 0, pcm));
    EXPECT_THROW(decode_permutation_for_playback(sound, 2, pcm), AssertionThrown);
    EXPECT_THROW(decode_permutation_for_playback(sound, -1, pcm), AssertionThrown);
}

TEST(SoundPlayback, UncompressedSamplesPlayAsStored)
{
    test_sound s;
    test_permutation sixteen;
    sixteen.flags = 0;
    sixteen.channels = 2;
    sixteen.count = 5; // two whole frames and a stray sample
    sixteen.data = {0x01, 0x00, 0xFF, 0xFF, 0x00, 0x80, 0xFF, 0x7F, 0x34, 0x12};
    test_permutation eight;
    eight.flags = 0;
    eight.bits = 8;
    eight.shift = 0;
    eight.count = 3;
    eight.data = {0x80, 0x00, 0xFF};
    s.permutations = {sixteen, eight};
    TSoundDefinition sound = Read(s);
    sound_pcm pcm;
    ASSERT_TRUE(decode_permutation_for_playback(sound, 0, pcm));
    EXPECT_EQ(pcm.samples, (std::vector<int16_t>{1, -1, -32768, 32767}));
    ASSERT_TRUE(decode_permutation_for_playback(sound, 1, pcm));
    EXPECT_EQ(pcm.samples, (std::vector<int16_t>{0, -32768, 32512}));
}
