// Compressing a 60-second 22050 Hz stereo WAV file to IMA ADPCM packets and decoding them
// back to PCM, each in turns with ffmpeg's codec (adpcm_ima_qt, the same packets) doing the
// same work in this process through libavcodec: the file read, the codec run, the result
// written.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/channel_layout.h>
#include <libavutil/log.h>
}

#include "bench_support.h"
#include "framework/XGFile.h"
#include "sound/sound_import.h"
#include "sound/sound_playback.h"
#include "sound/wav_file.h"

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

TSoundDefinition Imported()
{
    TSoundDefinition sound;
    sound.fDefinition = default_sound_definition();
    if (import_wav_permutation(sound, LongWav(), -1) != 0) std::abort();
    sound_append_permutation(sound);
    return sound;
}

// An open libavcodec encoder or decoder of QuickTime IMA ADPCM, with a frame and a packet.
struct ima_codec {
    AVCodecContext* context = nullptr;
    AVFrame* frame = av_frame_alloc();
    AVPacket* packet = av_packet_alloc();

    ima_codec(bool encoder, int channels, int rate)
    {
        av_log_set_level(AV_LOG_ERROR); // the decoder warns of every packet of many blocks
        const AVCodec* codec = encoder ? avcodec_find_encoder(AV_CODEC_ID_ADPCM_IMA_QT)
                                       : avcodec_find_decoder(AV_CODEC_ID_ADPCM_IMA_QT);
        if (!codec || !(context = avcodec_alloc_context3(codec))) std::abort();
        context->sample_fmt = AV_SAMPLE_FMT_S16P;
        context->sample_rate = rate;
        av_channel_layout_default(&context->ch_layout, channels);
        if (avcodec_open2(context, codec, nullptr) < 0) std::abort();
    }
    ~ima_codec()
    {
        av_packet_free(&packet);
        av_frame_free(&frame);
        avcodec_free_context(&context);
    }
};

// ffmpeg's encoder on the WAV file's samples; the packets are then written out.
void FfmpegEncode(const std::string& wav, const std::string& out)
{
    wav_sound sound;
    if (!read_wav_file(wav, sound, nullptr)) std::abort();
    const int channels = sound.number_of_channels;
    ima_codec codec(true, channels, int(sound.samples_per_second));
    const int frame_size = codec.context->frame_size;
    codec.frame->nb_samples = frame_size;
    codec.frame->format = AV_SAMPLE_FMT_S16P;
    av_channel_layout_copy(&codec.frame->ch_layout, &codec.context->ch_layout);
    if (av_frame_get_buffer(codec.frame, 0) < 0) std::abort();

    std::vector<uint8_t> packets;
    auto drain = [&] {
        while (avcodec_receive_packet(codec.context, codec.packet) == 0) {
            packets.insert(packets.end(), codec.packet->data, codec.packet->data + codec.packet->size);
            av_packet_unref(codec.packet);
        }
    };
    std::vector<int16_t> pcm(sound.data.size() / 2);
    std::memcpy(pcm.data(), sound.data.data(), pcm.size() * 2);
    const size_t frames = pcm.size() / size_t(channels);
    for (size_t at = 0; at < frames; at += size_t(frame_size)) {
        if (av_frame_make_writable(codec.frame) < 0) std::abort();
        const size_t n = std::min(size_t(frame_size), frames - at);
        for (int c = 0; c < channels; ++c) {
            auto* plane = reinterpret_cast<int16_t*>(codec.frame->data[c]);
            for (size_t i = 0; i < n; ++i) plane[i] = pcm[(at + i) * size_t(channels) + size_t(c)];
            std::fill(plane + n, plane + frame_size, int16_t(0));
        }
        if (avcodec_send_frame(codec.context, codec.frame) < 0) std::abort();
        drain();
    }
    avcodec_send_frame(codec.context, nullptr);
    drain();
    WriteBytes(out, packets.data(), packets.size());
}

// ffmpeg's decoder on the packets; the interleaved PCM is then written out. Returns the
// number of frames decoded.
size_t FfmpegDecode(const std::vector<uint8_t>& packets, int channels, int rate, const std::string& out)
{
    ima_codec codec(false, channels, rate);
    std::vector<int16_t> pcm;
    const size_t chunk = size_t(34 * channels) * 256;
    for (size_t at = 0; at < packets.size(); at += chunk) {
        const size_t n = std::min(chunk, packets.size() - at);
        if (av_new_packet(codec.packet, int(n)) < 0) std::abort();
        std::memcpy(codec.packet->data, packets.data() + at, n);
        if (avcodec_send_packet(codec.context, codec.packet) < 0) std::abort();
        av_packet_unref(codec.packet);
        while (avcodec_receive_frame(codec.context, codec.frame) == 0) {
            const size_t start = pcm.size();
            pcm.resize(start + size_t(codec.frame->nb_samples) * size_t(channels));
            for (int c = 0; c < channels; ++c) {
                const auto* plane = reinterpret_cast<const int16_t*>(codec.frame->data[c]);
                for (int i = 0; i < codec.frame->nb_samples; ++i) pcm[start + size_t(i * channels + c)] = plane[i];
            }
            av_frame_unref(codec.frame);
        }
    }
    WriteBytes(out, pcm.data(), pcm.size() * 2);
    return pcm.size() / size_t(channels);
}

// The import reads the WAV file and compresses it, the packets then written out; in turns
// with ffmpeg's encoder.
void BM_Encode60sStereo_RatioToLibavcodec(benchmark::State& state)
{
    const std::string ours = Folder().path() + "/ours.packets", theirs = Folder().path() + "/ffmpeg.packets";
    BenchTurns turns;
    for (auto _ : state) {
        bench_timing reference = time_of([&] { FfmpegEncode(LongWav(), theirs); });
        bench_timing encode = time_of([&] {
            TSoundDefinition sound = Imported();
            WriteBytes(ours, sound.fSamples[0].data(), sound.fSamples[0].size());
        });
        turns.add(encode, reference);
    }
    turns.report(state);
}
BENCHMARK(BM_Encode60sStereo_RatioToLibavcodec)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(15);

// Playback decoding of the imported permutation, the PCM then written out; in turns with
// ffmpeg's decoder on the same packets.
void BM_Decode60sStereo_RatioToLibavcodec(benchmark::State& state)
{
    TSoundDefinition sound = Imported();
    const std::string ours = Folder().path() + "/ours.raw", theirs = Folder().path() + "/ffmpeg.raw";
    BenchTurns turns;
    size_t frames = 0;
    for (auto _ : state) {
        bench_timing reference = time_of([&] { frames = FfmpegDecode(sound.fSamples[0], 2, 22050, theirs); });
        bench_timing decode = time_of([&] {
            sound_pcm pcm;
            if (!decode_permutation_for_playback(sound, 0, pcm)) state.SkipWithError("not decoded");
            WriteBytes(ours, pcm.samples.data(), pcm.samples.size() * 2);
        });
        turns.add(decode, reference);
    }
    // both read the same packets: a different length means they are not the codec's
    if (frames < kFrames || frames >= kFrames + 64) state.SkipWithError("libavcodec read other packets");
    turns.report(state);
}
BENCHMARK(BM_Decode60sStereo_RatioToLibavcodec)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(15);

} // namespace

BENCHMARK_MAIN();
