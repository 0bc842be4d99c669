#include <gtest/gtest.h>

#include <filesystem>

#include "sound/sound_import.h"
#include "sound/sound_playback.h"
#include "sound/wav_file.h"
#include "sound_test_support.h"
#include "support/cli_runner.h"
#include "support/tag_file_bytes.h"
#include "tags/tags.h"

namespace {

struct SoundCli : ::testing::Test {
    TempFolder folder;
    std::string data = folder.mkdir("data");

    std::string Wav(const std::string& name, uint16_t channels, uint32_t rate, size_t frames)
    {
        std::string path = folder / name;
        std::vector<int16_t> s = sine_wave(frames * channels, 500, 8000);
        write_file(path, pcm_wav(channels, rate, 16, le_samples(s)));
        return path;
    }
    cli_result Run(std::vector<std::string> args)
    {
        args.insert(args.begin(), {"--data", data});
        return run_cli(args, folder.path());
    }
};

} // namespace

TEST_F(SoundCli, ImportWavAppendsPermutationsAndWritesOnlyWhenAllSucceed)
{
    std::string tag = folder / "sounds.tag";
    std::string good = Wav("bang.wav", 1, 22050, 300);
    cli_result r = Run({"import-wav", tag, "boom", good, Wav("fast.wav", 1, 44100, 100)});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("22050"), std::string::npos) << r.err;
    EXPECT_FALSE(std::filesystem::exists(tag));

    r = Run({"import-wav", tag, "boom", good, Wav("wide.wav", 2, 22050, 200)});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("2 permutations"), std::string::npos);
    TTagStore store;
    tag_entry* e = tag_find_in_file(store.open_tag_file(tag, false), code("soun"), code("boom"));
    ASSERT_NE(e, nullptr);
    EXPECT_STREQ(e->name, "bang");
    TSoundDefinition sound;
    ASSERT_TRUE(read_sound_definition(sound, e));
    EXPECT_EQ(sound.PermutationCount(), 2);
    EXPECT_EQ(sound_permutation_name(sound.fPermutations[1]), "wide");

    // a sixth permutation is refused and the file stays as it was
    bytes before = read_file(tag);
    r = Run({"import-wav", tag, "boom", good, good, good, good});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("5 permutations"), std::string::npos) << r.err;
    EXPECT_EQ(read_file(tag), before);
    EXPECT_EQ(Run({"import-wav", tag, "toolong", good}).status, 2);
}

TEST_F(SoundCli, DecodeSoundWritesWhatPlaybackPlays)
{
    std::string tag = folder / "sounds.tag";
    ASSERT_EQ(Run({"import-wav", tag, "wide", Wav("wide.wav", 2, 22050, 150)}).status, 0);
    std::string out = folder / "decoded.wav";
    cli_result r = Run({"decode-sound", "wide", "0", out, tag});
    ASSERT_EQ(r.status, 0) << r.err;

    TTagStore store;
    TSoundDefinition sound;
    ASSERT_TRUE(read_sound_definition(sound, tag_find_in_file(store.open_tag_file(tag, false), code("soun"), code("wide"))));
    sound_pcm pcm;
    ASSERT_TRUE(decode_permutation_for_playback(sound, 0, pcm));
    wav_sound wav;
    ASSERT_TRUE(read_wav_file(out, wav, nullptr));
    EXPECT_EQ(wav.number_of_channels, 2);
    EXPECT_EQ(wav.samples_per_second, 22050u);
    EXPECT_EQ(from_le_samples(wav.data), pcm.samples);

    EXPECT_EQ(Run({"decode-sound", "wide", "1", out, tag}).status, 1);
    EXPECT_EQ(Run({"decode-sound", "none", "0", out, tag}).status, 1);
    EXPECT_EQ(Run({"decode-sound", "wide", "one", out, tag}).status, 2);
}
