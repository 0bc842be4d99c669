// Compressing a 60-second 22050 Hz stereo WAV file to IMA ADPCM packets and decoding
// them back to PCM, each beside ffmpeg doing the same work into and out of an AIFF-C
// file (codec adpcm_ima_qt, the same packets). ffmpeg runs as its own process, so its
// figures include its start-up; BM_Ffmpeg_Startup shows that part alone.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <vector>

#include "bench_support.h"
#include "framework/XGFile.h"
#include "sound/sound_import.h"
#include "sound/sound_playback.h"
#include "sound/wav_file.h"

extern char** environ;

namespace {

constexpr size_t kFrames = 60 * 22050;

const BenchFolder& Folder()
{
    static BenchFolder folder;
    return folder;
}

void WriteBytes(const std::string& path, const void* data, size_t size)
{
    XGFile out(path);
    out.Create();
    out.Write(data, size);
    out.Close();
}

std::string MakeWav(const std::string& name, size_t frames)
{
    std::string path = Folder().path() + "/" + name;
    std::vector<uint8_t> samples;
    samples.reserve(frames * 4);
    for (size_t i = 0; i < frames; ++i) {
        double t = double(i) / 22050;
        for (double f : {220.0 + 40 * std::sin(t), 331.0}) {
            auto s = int16_t(std::lround(12000 * std::sin(2 * M_PI * f * t) + 3000 * std::sin(2 * M_PI * 3.1 * f * t)));
            samples.push_back(uint8_t(s));
            samples.push_back(uint8_t(uint16_t(s) >> 8));
        }
    }
    std::vector<uint8_t> image = make_wav_image(2, 22050, 16, samples);
    WriteBytes(path, image.data(), image.size());
    return path;
}

const std::string& LongWav()
{
    static std::string path = MakeWav("long.wav", kFrames);
    return path;
}

bool RunFfmpeg(std::vector<std::string> args)
{
    args.insert(args.begin(), {"ffmpeg", "-nostdin", "-v", "error", "-y"});
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid;
    if (posix_spawnp(&pid, "ffmpeg", nullptr, nullptr, argv.data(), environ) != 0) return false;
    int status = 0;
    return waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

TSoundDefinition Imported()
{
    TSoundDefinition sound;
    sound.fDefinition = default_sound_definition();
    if (import_wav_permutation(sound, LongWav(), -1) != 0) std::abort();
    sound_append_permutation(sound);
    return sound;
}

// Reference: ffmpeg reads the WAV file, encodes it and writes an AIFF-C file.
void BM_Encode60sStereo_Ffmpeg(benchmark::State& state)
{
    std::string out = Folder().path() + "/ffmpeg.aiff";
    for (auto _ : state)
        if (!RunFfmpeg({"-i", LongWav(), "-c:a", "adpcm_ima_qt", "-f", "aiff", out})) state.SkipWithError("ffmpeg failed");
}
BENCHMARK(BM_Encode60sStereo_Ffmpeg)->Unit(benchmark::kMillisecond)->UseRealTime();

// The import reads the WAV file and compresses it; the packets are then written out.
void BM_Encode60sStereo_Ours(benchmark::State& state)
{
    std::string out = Folder().path() + "/ours.packets";
    for (auto _ : state) {
        TSoundDefinition sound = Imported();
        WriteBytes(out, sound.fSamples[0].data(), sound.fSamples[0].size());
    }
}
BENCHMARK(BM_Encode60sStereo_Ours)->Unit(benchmark::kMillisecond)->UseRealTime();

// Reference: ffmpeg decodes the AIFF-C file to raw 16-bit PCM.
void BM_Decode60sStereo_Ffmpeg(benchmark::State& state)
{
    std::string in = Folder().path() + "/ffmpeg-in.aiff", out = Folder().path() + "/ffmpeg.raw";
    if (!RunFfmpeg({"-i", LongWav(), "-c:a", "adpcm_ima_qt", "-f", "aiff", in})) state.SkipWithError("ffmpeg failed");
    for (auto _ : state)
        if (!RunFfmpeg({"-i", in, "-f", "s16le", "-acodec", "pcm_s16le", out})) state.SkipWithError("ffmpeg failed");
}
BENCHMARK(BM_Decode60sStereo_Ffmpeg)->Unit(benchmark::kMillisecond)->UseRealTime();

// Playback decoding of the imported permutation; the PCM is then written out.
void BM_Decode60sStereo_Ours(benchmark::State& state)
{
    TSoundDefinition sound = Imported();
    std::string out = Folder().path() + "/ours.raw";
    for (auto _ : state) {
        sound_pcm pcm;
        if (!decode_permutation_for_playback(sound, 0, pcm)) state.SkipWithError("not decoded");
        WriteBytes(out, pcm.samples.data(), pcm.samples.size() * 2);
    }
}
BENCHMARK(BM_Decode60sStereo_Ours)->Unit(benchmark::kMillisecond)->UseRealTime();

// ffmpeg's fixed cost: the same command on a file of one packet.
void BM_Ffmpeg_Startup(benchmark::State& state)
{
    static std::string tiny = MakeWav("tiny.wav", 64);
    std::string out = Folder().path() + "/tiny.aiff";
    for (auto _ : state)
        if (!RunFfmpeg({"-i", tiny, "-c:a", "adpcm_ima_qt", "-f", "aiff", out})) state.SkipWithError("ffmpeg failed");
}
BENCHMARK(BM_Ffmpeg_Startup)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
