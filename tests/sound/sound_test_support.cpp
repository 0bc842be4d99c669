#include "sound_test_support.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "support/tag_file_bytes.h"

namespace {

void PutLe32(bytes& b, uint32_t v)
{
    for (int i = 0; i < 4; ++i) b.push_back(uint8_t(v >> (8 * i)));
}

void PutLe16(bytes& b, uint16_t v)
{
    b.push_back(uint8_t(v));
    b.push_back(uint8_t(v >> 8));
}

void PutId(bytes& b, const char* id)
{
    b.insert(b.end(), id, id + 4);
}

} // namespace

std::vector<int16_t> sine_wave(size_t count, double frequency, double amplitude, double rate)
{
    std::vector<int16_t> s(count);
    for (size_t i = 0; i < count; ++i)
        s[i] = int16_t(std::lround(amplitude * std::sin(2 * M_PI * frequency * double(i) / rate)));
    return s;
}

bytes le_samples(const std::vector<int16_t>& samples)
{
    bytes b;
    for (int16_t s : samples) PutLe16(b, uint16_t(s));
    return b;
}

std::vector<int16_t> from_le_samples(const bytes& data)
{
    std::vector<int16_t> s(data.size() / 2);
    for (size_t i = 0; i < s.size(); ++i) s[i] = int16_t(data[2 * i] | (data[2 * i + 1] << 8));
    return s;
}

std::vector<int16_t> interleave(const std::vector<int16_t>& left, const std::vector<int16_t>& right)
{
    std::vector<int16_t> s;
    for (size_t i = 0; i < left.size(); ++i) {
        s.push_back(left[i]);
        s.push_back(right[i]);
    }
    return s;
}

bytes riff_wave(const std::vector<wav_chunk>& chunks)
{
    bytes body;
    PutId(body, "WAVE");
    for (const wav_chunk& c : chunks) {
        PutId(body, c.id.c_str());
        PutLe32(body, uint32_t(c.contents.size()));
        body.insert(body.end(), c.contents.begin(), c.contents.end());
        if (c.contents.size() & 1) body.push_back(0);
    }
    bytes file;
    PutId(file, "RIFF");
    PutLe32(file, uint32_t(body.size()));
    file.insert(file.end(), body.begin(), body.end());
    return file;
}

bytes fmt_chunk(uint16_t format_tag, uint16_t channels, uint32_t rate, uint16_t bits)
{
    bytes f;
    uint16_t align = uint16_t(channels * ((bits + 7) / 8));
    PutLe16(f, format_tag);
    PutLe16(f, channels);
    PutLe32(f, rate);
    PutLe32(f, rate * align);
    PutLe16(f, align);
    PutLe16(f, bits);
    return f;
}

bytes pcm_wav(uint16_t channels, uint32_t rate, uint16_t bits, const bytes& data)
{
    return riff_wave({{"fmt ", fmt_chunk(1, channels, rate, bits)}, {"data", data}});
}

bytes aiff_sound_data(const bytes& file)
{
    size_t at = 12;
    while (at + 8 <= file.size()) {
        uint32_t size = (uint32_t(file[at + 4]) << 24) | (uint32_t(file[at + 5]) << 16) |
                        (uint32_t(file[at + 6]) << 8) | file[at + 7];
        if (std::memcmp(&file[at], "SSND", 4) == 0) {
            size_t first = at + 16, last = std::min(file.size(), at + 8 + size_t(size));
            return first <= last ? bytes(file.begin() + long(first), file.begin() + long(last)) : bytes();
        }
        at += 8 + size + (size & 1);
    }
    return {};
}

bool have_ffmpeg()
{
    return std::system("ffmpeg -version >/dev/null 2>&1") == 0;
}

bool ffmpeg_encode_ima4(const std::string& wav, const std::string& aiff)
{
    std::string command = "ffmpeg -v error -y -i '" + wav + "' -c:a adpcm_ima_qt -f aiff '" + aiff + "'";
    return std::system(command.c_str()) == 0;
}

double snr_db(const std::vector<int16_t>& original, const std::vector<int16_t>& decoded)
{
    double signal = 0, noise = 0;
    for (size_t i = 0; i < original.size(); ++i) {
        double d = double(decoded.at(i)) - double(original[i]);
        signal += double(original[i]) * double(original[i]);
        noise += d * d;
    }
    return noise == 0 ? 1000 : 10 * std::log10(signal / noise);
}

tag_entry* sound_store::add(const char* type, const bytes& data, const char* name)
{
    return store.create_tag(file, code(type), 0, 1, name, 0, uint32_t(data.size()), data.data());
}

bytes tag_data(tag_entry* e)
{
    uint32_t size = 0;
    const uint8_t* d = tag_get_data(e, &size);
    return d ? bytes(d, d + size) : bytes();
}
