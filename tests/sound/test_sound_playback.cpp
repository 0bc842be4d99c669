#include <gtest/gtest.h>

#include "sound/adpcm.h"
#include "sound/sound_player.h"
#include "sound/sound_waveform.h"
#include "sound_tag_bytes.h"
#include "sound_test_support.h"
#include "support/fake_sound_output.h"

namespace {

TSoundDefinition Read(const test_sound& s)
{
    sound_store tags;
    TSoundDefinition sound;
    EXPECT_TRUE(read_sound_definition(sound, tags.add("soun", sound_tag_bytes(s))));
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

TEST(SoundPlayback, PacketsDecodeIntoSixteenBitFrames)
{
    // Stereo packets come in left, right pairs; a stray last packet leaves its frames
    // silent. The header's sample width does not matter: the decoder gives 16 bits.
    test_sound s;
    s.permutations = {packet_permutation("mono", 1, 3, 5), packet_permutation("stereo", 2, 5, 6)};
    s.permutations[1].bits = 8;
    TSoundDefinition sound = Read(s);
    sound_pcm pcm;
    ASSERT_TRUE(decode_permutation_for_playback(sound, 0, pcm));
    EXPECT_EQ(pcm.channels, 1);
    EXPECT_EQ(pcm.samples_per_second, 22050u);
    ASSERT_EQ(pcm.samples.size() * 2, 384u); // a 384-byte buffer for 3 packets
    for (size_t j = 0; j < 3; ++j) {
        std::vector<int16_t> expected = PacketSamples(sound.fSamples[0], j);
        EXPECT_TRUE(std::equal(expected.begin(), expected.end(), pcm.samples.begin() + long(64 * j))) << j;
    }
    ASSERT_TRUE(decode_permutation_for_playback(sound, 1, pcm));
    EXPECT_EQ(pcm.bits_per_sample, 16);
    ASSERT_EQ(pcm.samples.size(), 5u * 64);
    for (size_t pair = 0; pair < 2; ++pair) {
        std::vector<int16_t> l = PacketSamples(sound.fSamples[1], 2 * pair);
        std::vector<int16_t> r = PacketSamples(sound.fSamples[1], 2 * pair + 1);
        for (size_t i = 0; i < 64; ++i) {
            ASSERT_EQ(pcm.samples[(pair * 64 + i) * 2], l[i]) << pair << " " << i;
            ASSERT_EQ(pcm.samples[(pair * 64 + i) * 2 + 1], r[i]) << pair << " " << i;
        }
    }
    EXPECT_TRUE(std::all_of(pcm.samples.begin() + 256, pcm.samples.end(), [](int16_t v) { return v == 0; }));
}

TEST(SoundPlayback, OnlyTwentyTwoKilohertzIsPlayedAndUncompressedDataAsStored)
{
    test_sound s;
    s.permutations = {packet_permutation("fast", 1, 2, 7), packet_permutation("three channels", 3, 3, 8)};
    s.permutations[0].rate = 44100u << 16;
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
    s.permutations.push_back(sixteen);
    s.permutations.push_back(eight);
    TSoundDefinition sound = Read(s);

    sound_pcm pcm;
    pcm.channels = 9;
    std::string why;
    EXPECT_FALSE(decode_permutation_for_playback(sound, 0, pcm, &why));
    EXPECT_NE(why.find("44100 Hz"), std::string::npos) << why;
    EXPECT_FALSE(decode_permutation_for_playback(sound, 1, pcm, &why));
    EXPECT_NE(why.find("3 channels"), std::string::npos) << why;
    EXPECT_EQ(pcm.channels, 9);
    // the picture of a sound decodes it at any rate
    ASSERT_TRUE(decode_permutation_samples(sound, 0, pcm));
    EXPECT_EQ(pcm.samples_per_second, 44100u);
    sound.fHeaders[0].sample_rate = (22050u << 16) | 1;
    EXPECT_FALSE(decode_permutation_for_playback(sound, 0, pcm));

    ASSERT_TRUE(decode_permutation_for_playback(sound, 2, pcm));
    EXPECT_EQ(pcm.samples, (std::vector<int16_t>{1, -1, -32768, 32767}));
    ASSERT_TRUE(decode_permutation_for_playback(sound, 3, pcm));
    EXPECT_EQ(pcm.samples, (std::vector<int16_t>{0, -32768, 32512}));
}

TEST(SoundPlayer, OneOutputAndOnePlayingBufferAtATime)
{
    test_sound s;
    s.permutations = {packet_permutation("one", 1, 3, 1), packet_permutation("two", 2, 4, 2),
                      packet_permutation("fast", 1, 2, 3)};
    s.permutations[2].rate = 44100u << 16;
    TSoundDefinition sound = Read(s);
    FakeSoundOutput out;
    TSoundPlayer player(out.Factory());
    int first = 0, second = 0;
    std::string why;

    EXPECT_EQ(player.Play(sound, 0, &first, &why), sound_play_result::playing);
    EXPECT_TRUE(player.IsPlaying(&first));
    EXPECT_EQ(player.FrameCount(), 192u);
    out.position = 1000; // the output may run past the end
    EXPECT_EQ(player.PlayedFrames(), 192u);
    // a new Play stops the old buffer before handing over the new one
    EXPECT_EQ(player.Play(sound, 1, &second, &why), sound_play_result::playing);
    EXPECT_EQ(out.events, (std::vector<std::string>{"play 192", "stop", "play 256"}));
    EXPECT_EQ(out.buffers[1].channels, 2);
    EXPECT_FALSE(player.IsPlaying(&first));
    // what cannot be played leaves what plays alone
    EXPECT_EQ(player.Play(sound, 2, &first, &why), sound_play_result::not_playable);
    EXPECT_TRUE(player.IsPlaying(&second));
    // an editor that closes releases only its own buffer
    player.Release(&first);
    EXPECT_TRUE(player.IsPlaying(&second));
    player.Release(&second);
    EXPECT_FALSE(player.IsPlaying(&second));
    EXPECT_EQ(player.FrameCount(), 0u);
    EXPECT_EQ(out.events.back(), "stop");
    EXPECT_EQ(out.made, 1);
}

TEST(SoundPlayer, WithoutAnOutputPlaySaysWhy)
{
    test_sound s;
    s.permutations = {packet_permutation("one", 1, 1, 1)};
    TSoundDefinition sound = Read(s);
    int tries = 0;
    TSoundPlayer player([&tries](std::string* why) -> std::unique_ptr<TSoundSink> {
        ++tries;
        *why = "there is no audio output device";
        return nullptr;
    });
    std::string why;
    EXPECT_EQ(player.Play(sound, 0, nullptr, &why), sound_play_result::no_output);
    EXPECT_EQ(why, "there is no audio output device");
    EXPECT_EQ(player.Play(sound, 0, nullptr, &why), sound_play_result::no_output);
    EXPECT_EQ(tries, 2); // a device plugged in later is found
    EXPECT_FALSE(player.IsPlaying(nullptr));
}

TEST(SoundWaveform, ColumnsHoldTheLowestAndHighestSampleOfTheirFrames)
{
    sound_pcm pcm;
    pcm.channels = 2;
    pcm.samples = {1, -1, 5, 0, -3, 2, 7, 9, 0, 4}; // five frames
    auto outline = sound_waveform(pcm, 2);
    ASSERT_EQ(outline.size(), 2u);
    EXPECT_EQ(outline[0][0].low, 1); // frames 0 and 1
    EXPECT_EQ(outline[0][0].high, 5);
    EXPECT_EQ(outline[0][1].low, -3); // frames 2 to 4
    EXPECT_EQ(outline[0][1].high, 7);
    EXPECT_EQ(outline[1][1].high, 9);
    // more columns than frames: every column still shows a frame
    outline = sound_waveform(pcm, 8);
    EXPECT_EQ(outline[0][7].low, 0);
    EXPECT_EQ(outline[1][7].high, 4);
    pcm.samples.clear();
    EXPECT_EQ(sound_waveform(pcm, 3)[0][2].high, 0);
}
