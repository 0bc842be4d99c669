// The media editors: opening the texture stack editor on the sample terrain stack (every
// preview made) beside decoding the same JPEG streams with libjpeg alone, and starting
// playback of a 60-second stereo permutation (decoding it and handing the buffer over
// as the audio output takes it).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QBuffer>
#include <QByteArray>
#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include <jpeglib.h>

#include "bench_support.h"
#include "build/sample_data.h"
#include "framework/qt/XGWindow.h"
#include "shell/TTagEditorBase.h"
#include "shell/TTolvaneApp.h"
#include "shell/forms/TtxstEditForm.h"
#include "sound/sound_import.h"
#include "sound/sound_player.h"
#include "sound/wav_file.h"
#include "texture/psd_writer.h"
#include "texture/texture_import.h"
#include "texture/txst_format.h"

namespace {

// A terrain of side pixels: a colour layer and two masked detail layers.
std::unique_ptr<texture_set> LargeTerrain(int32_t side)
{
    auto plane = [side](auto value) {
        std::vector<uint8_t> p(size_t(side) * size_t(side));
        for (int32_t y = 0; y < side; ++y)
            for (int32_t x = 0; x < side; ++x) p[size_t(y) * size_t(side) + size_t(x)] = uint8_t(value(x, y));
        return p;
    };
    std::vector<psd_layer_source> layers(3);
    for (size_t k = 0; k < layers.size(); ++k) {
        psd_layer_source& l = layers[k];
        l.bounds = {0, 0, side, side};
        l.red = plane([k](int x, int y) { return 60 + k * 40 + ((x ^ y) & 31); });
        l.green = plane([](int x, int y) { return 100 + (x * 3 + y) % 60; });
        l.blue = plane([](int, int y) { return 40 + y % 80; });
        if (k == 0) continue;
        l.has_mask = true;
        l.mask_bounds = l.bounds;
        l.mask = plane([k, side](int x, int y) { return k == 1 ? x * 255 / side : (x + y) % 256; });
    }
    return import_terrain_image(TLayeredImage::Parse(write_layered_image(uint32_t(side), uint32_t(side), layers, true), "large"));
}

struct Editor {
    BenchFolder folder;
    std::unique_ptr<TTolvaneApp> app;
    tag_entry* terrains[2] = {};

    Editor()
    {
        make_sample_data(folder.path());
        app = std::make_unique<TTolvaneApp>(folder.path());
        app->Initialize();
        terrains[0] = app->GetStore().find_tag("txst"_4cc, "terr"_4cc);
        // 8 x 8 tiles
        terrains[1] = app->GetStore().create_tag(app->GetStore().new_tag_file(), "txst"_4cc, "larg"_4cc, 1, "large", 0,
                                                 0, nullptr);
        if (!terrains[0] || !terrains[1] || !write_texture_set(terrains[1], *LargeTerrain(1008))) std::abort();
    }
};

// Made on first use and let go before the application object goes.
std::unique_ptr<Editor>& EditorSlot()
{
    static std::unique_ptr<Editor> editor;
    return editor;
}

Editor& TheEditor()
{
    if (!EditorSlot()) EditorSlot() = std::make_unique<Editor>();
    return *EditorSlot();
}

void Pump()
{
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// The editor's window built, the tag read and every preview made.
void BM_TextureFormOpen(benchmark::State& state)
{
    Editor& e = TheEditor();
    tag_entry* terrain = e.terrains[state.range(0)];
    for (auto _ : state) {
        e.app->OpenTagEditor(terrain, false);
        state.PauseTiming();
        TTagEditorBase::FromTag(terrain)->GetWindow()->Close(false);
        Pump();
        state.ResumeTiming();
    }
}

// The form already open: the tag read again, every preview made and shown.
void BM_TextureFormLoad(benchmark::State& state)
{
    Editor& e = TheEditor();
    tag_entry* terrain = e.terrains[state.range(0)];
    e.app->OpenTagEditor(terrain, false);
    auto* form = dynamic_cast<TtxstEditForm*>(TTagEditorBase::FromTag(terrain));
    for (auto _ : state) form->LoadTag();
    state.counters["rows"] = double(form->GetRows().size());
    form->GetWindow()->Close(false);
    Pump();
}

struct JpegErrors {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
};

// One stream with libjpeg as the previews decode it: fast integer transform, no fancy upsampling.
size_t LibjpegDecode(const uint8_t* data, size_t size, std::vector<uint8_t>& pixels)
{
    jpeg_decompress_struct info;
    JpegErrors errors;
    info.err = jpeg_std_error(&errors.manager);
    errors.manager.error_exit = [](j_common_ptr c) { std::longjmp(reinterpret_cast<JpegErrors*>(c->err)->jump, 1); };
    if (setjmp(errors.jump)) {
        jpeg_destroy_decompress(&info);
        std::abort();
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, data, static_cast<unsigned long>(size));
    jpeg_read_header(&info, TRUE);
    info.dct_method = JDCT_IFAST;
    info.do_fancy_upsampling = FALSE;
    jpeg_start_decompress(&info);
    const size_t stride = size_t(info.output_width) * size_t(info.output_components);
    pixels.resize(stride * info.output_height);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = pixels.data() + stride * info.output_scanline;
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return pixels.size();
}

void BM_ReferenceLibjpegDecode(benchmark::State& state)
{
    Editor& e = TheEditor();
    stored_texture_set stored = read_stored_texture_set(e.terrains[state.range(0)]);
    std::vector<uint8_t> pixels;
    size_t streams = 0;
    for (auto _ : state) {
        streams = 0;
        for (const stored_texture& t : stored.textures) {
            if (t.header.format != TEXTURE_FORMAT_JPEG) continue;
            if (t.header.channels == 4) {
                const uint32_t colour = (uint32_t(t.data[0]) << 16) | (uint32_t(t.data[1]) << 8) | t.data[2];
                LibjpegDecode(t.data + 3, colour, pixels);
                LibjpegDecode(t.data + 3 + colour, t.header.data_size - 3 - colour, pixels);
                streams += 2;
            } else {
                LibjpegDecode(t.data, t.header.data_size, pixels);
                ++streams;
            }
        }
        benchmark::DoNotOptimize(pixels.data());
    }
    state.counters["streams"] = double(streams);
}

// The audio output's part: the samples moved in and a buffer opened over them.
class HandOverSink : public TSoundSink {
public:
    bool Play(sound_pcm&& pcm, std::string*) override
    {
        fPcm = std::move(pcm);
        fBytes = QByteArray::fromRawData(reinterpret_cast<const char*>(fPcm.samples.data()),
                                         qsizetype(fPcm.samples.size() * sizeof(int16_t)));
        fBuffer = std::make_unique<QBuffer>(&fBytes);
        fBuffer->open(QIODevice::ReadOnly);
        return true;
    }
    void Stop() override
    {
        fBuffer.reset();
        fPcm = sound_pcm();
    }
    bool IsPlaying() const override { return fBuffer != nullptr; }
    uint64_t PlayedFrames() const override { return 0; }

private:
    sound_pcm fPcm;
    QByteArray fBytes;
    std::unique_ptr<QBuffer> fBuffer;
};

void BM_StartPlayback60SecondsStereo(benchmark::State& state)
{
    BenchFolder folder;
    std::vector<uint8_t> samples;
    const size_t frames = 60 * 22050;
    for (size_t i = 0; i < frames; ++i)
        for (double f : {220.0, 331.0}) {
            auto s = int16_t(std::lround(12000 * std::sin(2 * M_PI * f * double(i) / 22050)));
            samples.push_back(uint8_t(s));
            samples.push_back(uint8_t(uint16_t(s) >> 8));
        }
    const std::string path = folder.path() + "/long.wav";
    std::vector<uint8_t> image = make_wav_image(2, 22050, 16, samples);
    FILE* out = std::fopen(path.c_str(), "wb");
    if (!out || std::fwrite(image.data(), 1, image.size(), out) != image.size()) std::abort();
    std::fclose(out);
    TSoundDefinition sound;
    sound.fDefinition = default_sound_definition();
    if (import_wav_permutation(sound, path, -1) != 0) std::abort();
    sound_append_permutation(sound);

    TSoundPlayer player([](std::string*) { return std::make_unique<HandOverSink>(); });
    int owner = 0;
    for (auto _ : state) {
        if (player.Play(sound, 0, &owner, nullptr) != sound_play_result::playing) std::abort();
        state.PauseTiming();
        player.Stop();
        state.ResumeTiming();
    }
    state.counters["frames"] = double(frames);
}

// 0: the sample terrain stack (3 x 3 tiles), 1: a terrain of 8 x 8 tiles. The editor makes
// previews on a second thread: its CPU time is the whole process's.
BENCHMARK(BM_TextureFormOpen)->Arg(0)->Arg(1)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TextureFormLoad)->Arg(0)->Arg(1)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReferenceLibjpegDecode)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StartPlayback60SecondsStereo)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    int qtArgc = 1;
    QApplication qt(qtArgc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    EditorSlot().reset();
    return 0;
}
