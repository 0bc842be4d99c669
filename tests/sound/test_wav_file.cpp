#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "sound/wav_file.h"
#include "sound_test_support.h"

namespace {

struct WavFiles : ::testing::Test {
    TempFolder folder;

    // Runs sox on a raw 16-bit source; returns the WAV's path.
    std::string Sox(const std::string& name, const bytes& raw, const std::string& options, int channels = 1,
                    int rate = 22050)
    {
        std::string in = folder / (name + ".raw"), out = folder / (name + ".wav");
        write_file(in, raw);
        std::string command = "sox -t raw -r " + std::to_string(rate) + " -e signed -b 16 -c " +
                              std::to_string(channels) + " '" + in + "' " + options + " '" + out + "' 2>/dev/null";
        EXPECT_EQ(std::system(command.c_str()), 0) << command;
        return out;
    }
    bool Read(const bytes& image, wav_sound& out, std::string* why = nullptr)
    {
        return read_wav_memory(image.data(), image.size(), out, why);
    }
};

bytes Extensible(uint16_t channels, uint16_t bits, const uint8_t sub_format_first)
{
    bytes f = fmt_chunk(WAVE_FORMAT_EXTENSIBLE, channels, 22050, bits);
    const uint8_t tail[24] = {22, 0, uint8_t(bits), 0, 3, 0, 0, 0, sub_format_first, 0, 0, 0,
                              0, 0, 0x10, 0, 0x80, 0, 0, 0xAA, 0, 0x38, 0x9B, 0x71};
    f.insert(f.end(), tail, tail + 24);
    return f;
}

} // namespace

TEST_F(WavFiles, FilesMadeBySoxReadAsTheyWereWritten)
{
    bytes stereo = le_samples(interleave(sine_wave(500, 300, 7000), sine_wave(500, 700, 3000)));
    wav_sound w;
    ASSERT_TRUE(read_wav_file(Sox("stereo", stereo, "-b 16", 2, 44100), w, nullptr));
    EXPECT_TRUE(w.pcm);
    EXPECT_EQ(w.format_tag, WAVE_FORMAT_PCM);
    EXPECT_EQ(w.number_of_channels, 2);
    EXPECT_EQ(w.samples_per_second, 44100u);
    EXPECT_EQ(w.bits_per_sample, 16);
    EXPECT_EQ(w.data, stereo);

    // sox writes 24 bits and more than two channels with the extensible record
    bytes raw = le_samples(sine_wave(1200, 440, 9000));
    ASSERT_TRUE(read_wav_file(Sox("six", raw, "-b 16", 6), w, nullptr));
    EXPECT_EQ(w.format_tag, WAVE_FORMAT_EXTENSIBLE);
    EXPECT_EQ(w.number_of_channels, 6);
    EXPECT_TRUE(w.pcm);
    EXPECT_EQ(w.data, raw);
    // a float file has a "fact" chunk before its data
    ASSERT_TRUE(read_wav_file(Sox("float", raw, "-e floating-point -b 32"), w, nullptr));
    EXPECT_EQ(w.format_tag, 3);
    EXPECT_FALSE(w.pcm);
}

TEST_F(WavFiles, ChunksAreFoundWhereverTheyLie)
{
    bytes samples = make_bytes(101, 1);
    wav_sound w;
    // Data first, an odd-sized chunk padded to even before the format, a list after it.
    bytes image = riff_wave({{"data", samples},
                             {"junk", bytes(3, 0xAA)},
                             {"fmt ", fmt_chunk(1, 2, 22050, 16)},
                             {"LIST", bytes(10, 0x20)}});
    ASSERT_TRUE(Read(image, w));
    EXPECT_EQ(w.data, samples);
    EXPECT_EQ(w.number_of_channels, 2);

    // An odd chunk whose pad byte would be read as the next chunk's id if skipped wrongly.
    image = riff_wave({{"fmt ", fmt_chunk(1, 1, 22050, 16)}, {"odd ", bytes(1, 'd')}, {"data", samples}});
    ASSERT_TRUE(Read(image, w));
    EXPECT_EQ(w.data, samples);

    // The first chunk of each kind counts.
    image = riff_wave({{"fmt ", fmt_chunk(1, 1, 22050, 16)}, {"data", bytes(4, 1)}, {"data", bytes(8, 2)}});
    ASSERT_TRUE(Read(image, w));
    EXPECT_EQ(w.data, bytes(4, 1));

    // A format record with an extension size, and bytes after the form.
    image = riff_wave({{"fmt ", [] { bytes f = fmt_chunk(1, 1, 22050, 16); f.push_back(0); f.push_back(0); return f; }()},
                       {"data", samples}});
    image.insert(image.end(), {'t', 'r', 'a', 'i', 'l'});
    ASSERT_TRUE(Read(image, w));
    EXPECT_EQ(w.format.size(), 18u);
    EXPECT_EQ(w.data, samples);

    // An extensible format record is PCM only with the PCM sub-format, read whole.
    ASSERT_TRUE(Read(riff_wave({{"fmt ", Extensible(2, 16, 1)}, {"data", bytes(8)}}), w));
    EXPECT_TRUE(w.pcm);
    ASSERT_TRUE(Read(riff_wave({{"fmt ", Extensible(2, 16, 3)}, {"data", bytes(8)}}), w));
    EXPECT_FALSE(w.pcm);
    bytes cut = Extensible(2, 16, 1);
    cut.resize(24);
    ASSERT_TRUE(Read(riff_wave({{"fmt ", cut}, {"data", bytes(8)}}), w));
    EXPECT_FALSE(w.pcm);
}

TEST_F(WavFiles, DamagedFilesAreRefusedWithAReason)
{
    bytes good = pcm_wav(1, 22050, 16, make_bytes(200, 3));
    struct damage {
        const char* what;
        bytes image;
        const char* reason;
    };
    bytes truncated(good.begin(), good.end() - 10);
    bytes oversized = good;
    oversized[40] = 0xFF; // data chunk size far past the form
    bytes inner = riff_wave({{"fmt ", fmt_chunk(1, 1, 22050, 16)}, {"data", bytes(8)}});
    inner[4] -= 2; // the form ends inside the data chunk
    bytes avi = good;
    std::memcpy(&avi[8], "AVI ", 4);
    const damage cases[] = {
        {"empty", {}, "too short"},
        {"header only", bytes(good.begin(), good.begin() + 11), "too short"},
        {"truncated", truncated, "truncated"},
        {"chunk past the file", oversized, "truncated"},
        {"chunk past the form", inner, "truncated"},
        {"not a wave form", avi, "not a WAV file"},
        {"no format", riff_wave({{"data", bytes(8)}}), "no \"fmt \" chunk"},
        {"no data", riff_wave({{"fmt ", fmt_chunk(1, 1, 22050, 16)}}), "no \"data\" chunk"},
        {"short format", riff_wave({{"fmt ", bytes(14, 1)}, {"data", bytes(8)}}), "too short"},
    };
    for (const damage& d : cases) {
        wav_sound w;
        w.number_of_channels = 77;
        std::string why;
        EXPECT_FALSE(Read(d.image, w, &why)) << d.what;
        EXPECT_NE(why.find(d.reason), std::string::npos) << d.what << ": " << why;
        EXPECT_EQ(w.number_of_channels, 77) << d.what;
    }
}
