#include <gtest/gtest.h>

#include "build/sample_data.h"
#include "sound/sound_import.h"
#include "sound/sound_playback.h"
#include "sound_test_support.h"
#include "support/dependency_recorder.h"
#include "support/tag_file_bytes.h"
#include "tags/tags.h"

TEST(SampleSounds, TheSampleDataHoldsPlayableSounds)
{
    TempFolder folder;
    make_sample_data(folder.path());
    TTagStore store;
    store.load_data_folder(folder.path());

    struct expected_sound {
        const char* id;
        int permutations;
        uint16_t channels;
    };
    for (const expected_sound& x : {expected_sound{"chim", 3, 1}, expected_sound{"wind", 2, 2}}) {
        tag_entry* e = store.find_tag(code("soun"), code(x.id));
        ASSERT_NE(e, nullptr) << x.id;
        TSoundDefinition sound;
        ASSERT_TRUE(read_sound_definition(sound, e)) << x.id;
        ASSERT_EQ(sound.PermutationCount(), x.permutations) << x.id;
        for (int k = 0; k < x.permutations; ++k) {
            EXPECT_EQ(sound.fHeaders[k].number_of_channels, x.channels) << x.id << " " << k;
            sound_pcm pcm;
            ASSERT_TRUE(decode_permutation_for_playback(sound, k, pcm)) << x.id << " " << k;
            EXPECT_GT(pcm.samples.size(), 2000u);
            int peak = 0;
            for (int16_t s : pcm.samples) peak = std::max(peak, std::abs(int(s)));
            EXPECT_GT(peak, 3000) << x.id << " " << k;
        }
    }

    // The WAV files stay beside the tags and import to the stored packets.
    tag_entry* chime = store.find_tag(code("soun"), code("chim"));
    TSoundDefinition stored;
    ASSERT_TRUE(read_sound_definition(stored, chime));
    TSoundDefinition again;
    again.fDefinition = default_sound_definition();
    ASSERT_EQ(import_wav_permutation(again, folder / "sounds/chime_low.wav", -1), 0);
    EXPECT_EQ(again.fSamples[0], stored.fSamples[1]);
    EXPECT_EQ(sound_permutation_name(stored.fPermutations[1]), "chime_low");

    DependencyRecorder recorder;
    EXPECT_EQ(recorder.Collect(store.find_tag(code("soli"), code("snds"))),
              (std::vector<std::string>{"soun:chim", "soun:wind"}));
    tag_entry* ambient = store.find_tag(code("amso"), code("bree"));
    ASSERT_NE(ambient, nullptr);
    bytes a = tag_data(ambient);
    EXPECT_EQ(be32(a, 12), code("wind"));
    EXPECT_EQ(be32(a, 16), code("chim"));
    EXPECT_EQ(be32(a, 20), 0xFFFFFFFFu);
    std::string roots = read_text(folder / "root_list.txt");
    EXPECT_NE(roots.find("soli:snds\n"), std::string::npos);
    EXPECT_NE(roots.find("amso:bree\n"), std::string::npos);
}
