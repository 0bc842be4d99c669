#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "sound/adpcm.h"
#include "sound/sound_import.h"
#include "tags/tag_units.h"
#include "sound_tag_bytes.h"
#include "sound_test_support.h"
#include "tags/tag_types.h"
#include "tags/tags.h"

namespace {

struct SoundImport : ::testing::Test {
    TempFolder folder;
    sound_store tags;
    tag_file* file = tags.file;

    std::string Wav(const std::string& name, const bytes& image)
    {
        std::string path = folder / name;
        write_file(path, image);
        return path;
    }
    std::string Mono(const std::string& name, size_t frames, double frequency = 440)
    {
        return Wav(name, pcm_wav(1, 22050, 16, le_samples(sine_wave(frames, frequency, 10000))));
    }
    tag_entry* NewSound()
    {
        tag_entry* e = tags.add("soun", {});
        tag_type_set_defaults_hook(code("soun"))(e);
        return e;
    }
};

uint16_t Head(const bytes& block, size_t packet)
{
    return uint16_t((block[packet * 34] << 8) | block[packet * 34 + 1]);
}

} // namespace

TEST_F(SoundImport, AWavFillsOnePermutation)
{
    TSoundDefinition sound;
    sound.fDefinition = default_sound_definition();
    ASSERT_EQ(import_wav_permutation(sound, Mono("hundred.wav", 100), -1), 0);
    EXPECT_EQ(sound.PermutationCount(), 0); // the caller appends
    sound_append_permutation(sound);
    const sampled_sound_header& h = sound.fHeaders[0];
    EXPECT_EQ(h.flags, _sound_compressed);
    EXPECT_EQ(h.sample_count, 2u);
    EXPECT_EQ(h.number_of_channels, 1);
    EXPECT_EQ(h.sample_size_in_bits, 16);
    EXPECT_EQ(h.sample_size_shift, 1);
    EXPECT_EQ(h.sample_rate, 22050u << 16);
    EXPECT_EQ(sound.fSamples[0].size(), 68u);
    EXPECT_EQ(sound.fDefinition.sound_size, 100u);
    EXPECT_EQ(sound_permutation_name(sound.fPermutations[0]), "hundred");
    tag_entry* e = NewSound();
    ASSERT_TRUE(write_sound_definition(sound, e));
    EXPECT_EQ(e->size, 64u + 64 + 68);

    // Stereo: 4 packets, left and right alternating; silence on the right gives zero packets.
    std::vector<int16_t> left = sine_wave(100, 440, 10000), right(100, 0);
    ASSERT_EQ(import_wav_permutation(sound, Wav("st.wav", pcm_wav(2, 22050, 16, le_samples(interleave(left, right)))), 1),
              0);
    const bytes& block = sound.fSamples[1];
    ASSERT_EQ(block.size(), 136u);
    EXPECT_EQ(sound.fHeaders[1].sample_count, 4u);
    EXPECT_EQ(sound.fHeaders[1].number_of_channels, 2);
    EXPECT_EQ(Head(block, 0), 0);
    EXPECT_EQ(Head(block, 1), 0);
    EXPECT_EQ(bytes(block.begin() + 34, block.begin() + 68), bytes(34, 0));
    EXPECT_EQ(bytes(block.begin() + 102, block.end()), bytes(34, 0));
    EXPECT_NE(bytes(block.begin(), block.begin() + 34), bytes(34, 0));
    EXPECT_NE(Head(block, 2), 0);
}

TEST_F(SoundImport, RefusedFilesChangeNothing)
{
    TSoundDefinition sound;
    sound.fDefinition = default_sound_definition();
    ASSERT_EQ(import_wav_permutation(sound, Mono("first.wav", 640), -1), 0);
    sound_append_permutation(sound);
    const TSoundDefinition before = sound;

    bytes samples = le_samples(sine_wave(300, 440, 10000));
    struct refusal {
        const char* what;
        std::string path;
        int result;
        const char* reason;
    };
    const refusal cases[] = {
        {"missing", folder / "missing.wav", 1, "cannot be opened"},
        {"a folder", folder.path(), 1, "cannot be opened"},
        {"truncated", Wav("cut.wav", [&] { bytes b = pcm_wav(1, 22050, 16, samples); b.resize(200); return b; }()), 1,
         "truncated"},
        {"no data", Wav("nodata.wav", riff_wave({{"fmt ", fmt_chunk(1, 1, 22050, 16)}})), 1, "no \"data\""},
        {"8 bit", Wav("eight.wav", pcm_wav(1, 22050, 8, bytes(300, 0x80))), 2, "16-bit"},
        {"44 khz", Wav("fast.wav", pcm_wav(1, 44100, 16, samples)), 3, "22050"},
        {"floating point", Wav("float.wav", riff_wave({{"fmt ", fmt_chunk(3, 1, 22050, 16)}, {"data", samples}})), 1,
         "not PCM"},
        {"six channels", Wav("six.wav", pcm_wav(6, 22050, 16, samples)), 1, "6 channels"},
        {"no channels", Wav("none.wav", pcm_wav(0, 22050, 16, samples)), 1, "0 channels"},
    };
    for (const refusal& r : cases) {
        std::string why;
        EXPECT_EQ(import_wav_permutation(sound, r.path, -1, &why), r.result) << r.what;
        EXPECT_NE(why.find(r.reason), std::string::npos) << r.what << ": " << why;
        EXPECT_EQ(std::memcmp(&sound.fDefinition, &before.fDefinition, sizeof(sound_definition)), 0) << r.what;
        EXPECT_TRUE(sound.fSamples[1].empty()) << r.what;
        EXPECT_EQ(sound.fSamples[0], before.fSamples[0]) << r.what;
    }
    // Bits are judged before the rate.
    EXPECT_EQ(import_wav_permutation(sound, Wav("both.wav", pcm_wav(1, 44100, 8, bytes(10))), -1), 2);
}

TEST_F(SoundImport, PermutationNamesComeFromTheFileName)
{
    EXPECT_EQ(sound_permutation_name_for_path("/a/b/boom.wav"), "boom");
    EXPECT_EQ(sound_permutation_name_for_path("/a/b.c/boom"), "boom");
    EXPECT_EQ(sound_permutation_name_for_path("boom.wave"), "boom.wave");
    EXPECT_EQ(sound_permutation_name_for_path("x.y.au"), "x.y");
    EXPECT_EQ(sound_permutation_name_for_path("/s/a_name_of_thirty_characters_.wav"), "a_name_of_thirty_characte");

    TSoundDefinition sound;
    sound.fDefinition = default_sound_definition();
    std::string long_name(40, 'n');
    ASSERT_EQ(import_wav_permutation(sound, Mono(long_name + ".wav", 64), -1), 0);
    EXPECT_EQ(sound_permutation_name(sound.fPermutations[0]), std::string(25, 'n'));
    EXPECT_EQ(sound.fPermutations[0].permutation_name[25], 0);
}

TEST_F(SoundImport, ReplacingAndAppendingPermutationsOfATag)
{
    tag_entry* e = NewSound();
    std::string a = Mono("a.wav", 100), b = Mono("b.wav", 300, 880);
    EXPECT_EQ(replace_sound_permutation(e, a, 0, 0), 0);    // index = count appends
    EXPECT_EQ(replace_sound_permutation(e, b, 50, 1), 0);
    TSoundDefinition sound;
    ASSERT_TRUE(read_sound_definition(sound, e));
    ASSERT_EQ(sound.PermutationCount(), 2);
    EXPECT_EQ(sound.fPermutations[1].skip_fraction, 32768);
    EXPECT_EQ(sound.fHeaders[1].sample_count, 5u);
    EXPECT_EQ(sound.fDefinition.sound_size, 64u + 68 + 170);

    // Replacing permutation 0 keeps the count and the other permutation.
    bytes second = sound.fSamples[1];
    EXPECT_EQ(replace_sound_permutation(e, b, 12.5, 0), 0);
    ASSERT_TRUE(read_sound_definition(sound, e));
    EXPECT_EQ(sound.PermutationCount(), 2);
    EXPECT_EQ(sound.fSamples[0], second);
    EXPECT_EQ(sound_permutation_name(sound.fPermutations[0]), "b");
    EXPECT_EQ(sound.fPermutations[0].skip_fraction, encode_fraction16(0.125));
    EXPECT_EQ(e->size, 64u + 128 + 170 + 170);

    bytes stored = tag_data(e);
    e->dirty = false;
    std::string why;
    EXPECT_EQ(replace_sound_permutation(e, a, 0, 3, &why), 1); // past the count
    EXPECT_NE(why.find("past"), std::string::npos);
    EXPECT_EQ(replace_sound_permutation(e, a, 0, 5), 0);       // beyond the limit: nothing happens
    EXPECT_EQ(replace_sound_permutation(e, Wav("44.wav", pcm_wav(1, 44100, 16, bytes(8))), 0, 2), 3);
    EXPECT_EQ(tag_data(e), stored);
    EXPECT_FALSE(e->dirty);

    tag_entry* broken = tags.add("soun", make_bytes(10, 1), "broken");
    EXPECT_EQ(replace_sound_permutation(broken, a, 0, 0, &why), 1);
    EXPECT_NE(why.find("broken"), std::string::npos);

    // The bytes the import does not know stay, but for those it writes as 0.
    test_sound old;
    old.kept52[3] = 0x5A;
    old.permutations = {packet_permutation("old", 1, 2, 1)};
    old.permutations[0].kept[0] = 0x12;
    old.permutations[0].first_word = 0x4444;
    old.permutations[0].header_kept[0] = 0x77;
    bytes original = sound_tag_bytes(old);
    e = tags.add("soun", original, "old");
    ASSERT_EQ(replace_sound_permutation(e, Mono("new.wav", 128), 0, 0), 0);
    bytes d = tag_data(e);
    EXPECT_EQ(d[55], 0x5A);
    EXPECT_EQ(d[68], 0x12);
    EXPECT_EQ(be16(d, 64), 0);
    EXPECT_EQ(d[96 + 10], 0);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&d[70])), "new");
}

TEST_F(SoundImport, NewSoundsFromCreationRecords)
{
    sound_creation_record r{};
    std::strcpy(r.name, "explosion large");
    r.tag = code("boom");
    r.loudness = 3;
    r.subtitle_stringlist = code("subs");
    r.subtitle_index = 4;
    r.play_fraction = 50;
    r.frequency_modifier = 1.25f;
    r.pitch_min = 0.9f;
    r.pitch_max = 1.1f;
    r.volume_min = 0.5f;
    r.volume_max = 0.5f;
    r.flags = 0x80000001;
    ASSERT_TRUE(create_sound_tag(file, r));

    tag_entry* e = tag_find_in_file(file, code("soun"), code("boom"));
    ASSERT_NE(e, nullptr);
    EXPECT_STREQ(e->name, "explosion large");
    EXPECT_EQ(e->version, 1);
    // loudness counts from 1 in the record; half of the requests; 1.25; 0.9 to 1.1 (282 - 230 + 1);
    // an empty volume range; the subtitle index counts from 1
    test_sound expected;
    expected.flags = 0x80000001;
    const uint16_t fields[8] = {2, 32768, 320, 230, 53, 128, 0, 3};
    std::copy(fields, fields + 8, expected.fields);
    expected.subtitles = code("subs");
    EXPECT_EQ(tag_data(e), sound_tag_bytes(expected));

    // A name filling the whole field keeps its first 31 characters.
    std::memset(r.name, 'q', sizeof r.name);
    r.tag = code("long");
    ASSERT_TRUE(create_sound_tag(file, r));
    EXPECT_EQ(std::string(tag_find_in_file(file, code("soun"), code("long"))->name), std::string(31, 'q'));
}

TEST_F(SoundImport, PacketsAreThoseAnOutsideEncoderMakes)
{
    if (!have_ffmpeg()) GTEST_SKIP() << "ffmpeg is not installed";
    struct source {
        const char* name;
        uint16_t channels;
        std::vector<int16_t> samples;
    };
    std::vector<int16_t> chirp;
    for (int i = 0; i < 9000; ++i) chirp.push_back(int16_t(20000 * std::sin(i * i * 1e-5)));
    const source sources[] = {
        {"hundred", 1, sine_wave(100, 440, 10000)},
        {"chirp", 1, chirp},
        {"stereo", 2, interleave(sine_wave(4500, 300, 15000), sine_wave(4500, 1234, 30000))},
    };
    for (const source& s : sources) {
        std::string wav = Wav(std::string(s.name) + ".wav", pcm_wav(s.channels, 22050, 16, le_samples(s.samples)));
        std::string aiff = folder / (std::string(s.name) + ".aiff");
        ASSERT_TRUE(ffmpeg_encode_ima4(wav, aiff)) << s.name;
        TSoundDefinition sound;
        sound.fDefinition = default_sound_definition();
        ASSERT_EQ(import_wav_permutation(sound, wav, -1), 0);
        EXPECT_EQ(sound.fSamples[0], aiff_sound_data(read_file(aiff))) << s.name;
    }
}
