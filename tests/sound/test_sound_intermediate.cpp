#include <gtest/gtest.h>

#include <cstring>

#include "sound/adpcm.h"
#include "sound/sound_intermediate.h"
#include "sound_test_support.h"

TEST(IntermediateSound, CompressingAndDecompressingKeepsChannelsApart)
{
    std::vector<int16_t> left = sine_wave(200, 300, 12000), right = sine_wave(200, 2500, 6000);
    TIntermediateSound sound;
    sound.Initialize(_no_compression, 200, 16, 22050, 2);
    sound.SetSamples(le_samples(interleave(left, right)));
    sound.Convert(_ima_adpcm_compression);
    EXPECT_EQ(sound.CompressionType(), _ima_adpcm_compression);
    EXPECT_EQ(sound.FrameCount(), 4u);
    EXPECT_EQ(sound.DataSize(), 8u * 34);
    EXPECT_EQ(sound.GetSamples().size(), 8u * 34);
    sound.Convert(_ima_adpcm_compression);
    EXPECT_EQ(sound.FrameCount(), 4u);

    bytes packets = sound.GetSamples();
    sound.Convert(_no_compression);
    EXPECT_EQ(sound.FrameCount(), 256u);
    std::vector<int16_t> back = from_le_samples(sound.GetSamples());
    ASSERT_EQ(back.size(), 512u);
    // Packet j holds 64 samples of channel j % 2, for frames 64 * (j / 2) on.
    for (size_t j = 0; j < 8; ++j) {
        int16_t decoded[64];
        uint16_t head;
        std::memcpy(&head, &packets[j * 34], 2);
        ima_decode_packet(head, &packets[j * 34 + 2], decoded, 64);
        for (size_t i = 0; i < 64; ++i) ASSERT_EQ(back[(64 * (j / 2) + i) * 2 + j % 2], decoded[i]) << j << " " << i;
    }
    back.resize(400);
    EXPECT_GT(snr_db(interleave(left, right), back), 15.0);
}
