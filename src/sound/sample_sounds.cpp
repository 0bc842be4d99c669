// Sounds of the sample data: WAV files synthesised here and imported into a mono and
// a stereo sound, a sound list holding both and an ambient sound playing them.
#include <cmath>
#include <filesystem>
#include <cstring>
#include <string>
#include <vector>

#include "build/sample_data.h"
#include "framework/ProgramAssert.h"
#include "framework/XGError.h"
#include "framework/XGFile.h"
#include "sound/sound_import.h"
#include "sound/sound_list.h"
#include "sound/wav_file.h"
#include "tags/tag_types.h"

namespace {

constexpr double kRate = SOUND_IMPORT_SAMPLE_RATE;

// A tone with a soft attack and an exponential decay.
int16_t Tone(size_t i, double frequency, double decay, double amplitude)
{
    double t = double(i) / kRate;
    double envelope = std::min(1.0, t * 200.0) * std::exp(-t * decay);
    return int16_t(std::lround(amplitude * envelope * std::sin(2 * M_PI * frequency * t)));
}

std::vector<uint8_t> Le(const std::vector<int16_t>& samples)
{
    std::vector<uint8_t> b;
    b.reserve(samples.size() * 2);
    for (int16_t s : samples) {
        b.push_back(uint8_t(s));
        b.push_back(uint8_t(uint16_t(s) >> 8));
    }
    return b;
}

std::vector<int16_t> Mono(size_t frames, double frequency, double decay)
{
    std::vector<int16_t> s(frames);
    for (size_t i = 0; i < frames; ++i) s[i] = Tone(i, frequency, decay, 12000);
    return s;
}

// Filtered noise from a fixed generator, so every run makes the same file.
std::vector<int16_t> Click(size_t frames)
{
    std::vector<int16_t> s(frames);
    uint32_t x = 0x12345678;
    double smooth = 0;
    for (size_t i = 0; i < frames; ++i) {
        x = x * 1664525u + 1013904223u;
        double noise = double(int32_t(x) >> 16) / 32768.0;
        smooth = 0.6 * smooth + 0.4 * noise;
        s[i] = int16_t(std::lround(20000 * smooth * std::exp(-double(i) / kRate * 40)));
    }
    return s;
}

std::vector<int16_t> Stereo(size_t frames, double left, double right)
{
    std::vector<int16_t> s(frames * 2);
    for (size_t i = 0; i < frames; ++i) {
        double sweep = 0.5 + 0.5 * std::sin(2 * M_PI * 2.0 * double(i) / kRate);
        s[2 * i] = int16_t(std::lround(Tone(i, left, 1.0, 9000) * sweep));
        s[2 * i + 1] = int16_t(std::lround(Tone(i, right, 1.0, 9000) * (1 - sweep)));
    }
    return s;
}

std::string WriteWav(const std::string& folder, const char* name, uint16_t channels,
                     const std::vector<int16_t>& samples)
{
    std::string path = folder + "/" + name;
    std::vector<uint8_t> image = make_wav_image(channels, uint32_t(kRate), 16, Le(samples));
    XGFile out(path);
    out.Create();
    out.Write(image.data(), image.size());
    out.Close();
    return path;
}

sound_creation_record Record(const char* name, const char* id, int loudness, float pitch_min, float pitch_max)
{
    sound_creation_record r{};
    std::strncpy(r.name, name, sizeof r.name - 1);
    r.tag = text_to_tag_code(id);
    r.loudness = loudness;
    r.subtitle_stringlist = NONE_TAG;
    r.subtitle_index = 1;
    r.play_fraction = 100;
    r.frequency_modifier = 1;
    r.pitch_min = pitch_min;
    r.pitch_max = pitch_max;
    r.volume_min = 0.8f;
    r.volume_max = 1;
    return r;
}

tag_entry* MakeSound(tag_file* file, const sound_creation_record& record,
                     const std::vector<std::pair<std::string, double>>& permutations)
{
    std::string why;
    if (!create_sound_tag(file, record, &why)) throw XGPostError(kXGFileWriteError, {why});
    tag_entry* e = tag_find_in_file(file, "soun"_4cc, record.tag);
    PROGRAM_ASSERT(e, "sample_sounds");
    int32_t index = 0;
    for (const auto& [path, skip] : permutations) {
        int result = replace_sound_permutation(e, path, skip, index++, &why);
        if (result != _sound_import_done) throw XGPostError(kXGFileWriteError, {why});
    }
    return e;
}

} // namespace

void add_sample_sounds(TSampleData& data)
{
    std::string folder = data.folder() + "/sounds";
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (ec) throw XGPostError(kXGFileCreateError, {folder});

    size_t frames = size_t(kRate * 0.4);
    std::string chime = WriteWav(folder, "chime.wav", 1, Mono(frames, 660, 6));
    std::string low = WriteWav(folder, "chime_low.wav", 1, Mono(frames, 440, 5));
    std::string click = WriteWav(folder, "click.wav", 1, Click(size_t(kRate * 0.1)));
    std::string wind = WriteWav(folder, "wind_stereo.wav", 2, Stereo(size_t(kRate * 0.45), 220, 330));
    std::string gust = WriteWav(folder, "gust_stereo.wav", 2, Stereo(size_t(kRate * 0.3), 180, 270));

    tag_entry* mono = MakeSound(data.base(), Record("chime", "chim", 2, 0.9f, 1.1f),
                                {{chime, 0}, {low, 25}, {click, 50}});
    tag_entry* stereo = MakeSound(data.base(), Record("wind", "wind", 1, 1.0f, 1.0f), {{wind, 0}, {gust, 10}});

    sound_list list = default_sound_list();
    list.count = 2;
    list.sounds[0].sound = mono->id;
    list.sounds[1].sound = stereo->id;
    tag_entry* soli = data.add(data.base(), "soli"_4cc, "snds", "sample sounds", std::vector<uint8_t>(SOUND_LIST_SIZE));
    if (!write_sound_list(list, soli)) throw XGPostError(kXGOutOfMemory);

    // An ambient sound: flags, four 16-bit values, then six sound ids (-1 for none).
    std::vector<uint8_t> ambient(64, 0);
    for (size_t at = 12; at <= 32; at += 4) write_be32(&ambient[at], NONE_TAG);
    write_be32(&ambient[12], stereo->id);
    write_be32(&ambient[16], mono->id);
    tag_entry* amso = data.add(data.plugin(), "amso"_4cc, "bree", "breeze", ambient);

    data.add_root("soli"_4cc, soli->id);
    data.add_root("amso"_4cc, amso->id);
}
