#include "sound/wav_file.h"

#include <cstring>
#include <new>

#include "framework/XGError.h"
#include "framework/XGFile.h"

namespace {

constexpr uint64_t kChunkHead = 8;

// The PCM sub-format of an extensible format record.
constexpr uint8_t kPcmSubFormat[16] = {0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x10, 0x00,
                                       0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

uint32_t Le32(const uint8_t* p)
{
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}

uint16_t Le16(const uint8_t* p)
{
    return uint16_t(p[0] | (p[1] << 8));
}

void PutLe32(std::vector<uint8_t>& b, uint32_t v)
{
    for (int i = 0; i < 4; ++i) b.push_back(uint8_t(v >> (8 * i)));
}

void PutLe16(std::vector<uint8_t>& b, uint16_t v)
{
    b.push_back(uint8_t(v));
    b.push_back(uint8_t(v >> 8));
}

bool Fail(std::string* why, std::string text)
{
    if (why) *why = std::move(text);
    return false;
}

struct chunk_place {
    uint64_t offset = 0; // of the chunk's contents
    uint32_t size = 0;
    bool found = false;
};

bool ReadChunk(const wav_reader& read, const chunk_place& place, std::vector<uint8_t>& out, std::string* why,
               const char* name)
{
    try {
        out.resize(place.size);
    } catch (const std::bad_alloc&) {
        return Fail(why, std::string("not enough memory for the \"") + name + "\" chunk");
    }
    if (place.size && !read(place.offset, out.data(), place.size))
        return Fail(why, std::string("the \"") + name + "\" chunk cannot be read");
    return true;
}

} // namespace

bool read_wav(const wav_reader& read, uint64_t length, wav_sound& out, std::string* why)
{
    uint8_t head[12];
    if (length < sizeof head || !read(0, head, sizeof head)) return Fail(why, "the file is too short for a WAV file");
    if (std::memcmp(head, "RIFF", 4) != 0 || std::memcmp(head + 8, "WAVE", 4) != 0)
        return Fail(why, "not a WAV file (no RIFF form of type WAVE)");
    uint64_t end = kChunkHead + Le32(head + 4);
    if (end > length) return Fail(why, "the file is truncated (its RIFF form runs past the end)");

    chunk_place fmt, data;
    uint64_t position = sizeof head;
    while (position + kChunkHead <= end && !(fmt.found && data.found)) {
        uint8_t chunk[kChunkHead];
        if (!read(position, chunk, sizeof chunk)) return Fail(why, "the file cannot be read");
        uint32_t size = Le32(chunk + 4);
        uint64_t contents = position + kChunkHead;
        if (contents + size > end) {
            std::string id(reinterpret_cast<const char*>(chunk), 4);
            return Fail(why, "the file is truncated (chunk \"" + id + "\" runs past the end)");
        }
        chunk_place* wanted = std::memcmp(chunk, "fmt ", 4) == 0 ? &fmt
                              : std::memcmp(chunk, "data", 4) == 0 ? &data
                                                                    : nullptr;
        if (wanted && !wanted->found) *wanted = {contents, size, true};
        position = contents + size + (size & 1);
    }
    if (!fmt.found) return Fail(why, "the WAV file has no \"fmt \" chunk");
    if (!data.found) return Fail(why, "the WAV file has no \"data\" chunk");
    if (fmt.size < 16) return Fail(why, "the WAV file's \"fmt \" chunk is too short");

    wav_sound sound;
    if (!ReadChunk(read, fmt, sound.format, why, "fmt ")) return false;
    const uint8_t* f = sound.format.data();
    sound.format_tag = Le16(f);
    sound.number_of_channels = Le16(f + 2);
    sound.samples_per_second = Le32(f + 4);
    sound.bits_per_sample = Le16(f + 14);
    sound.pcm = sound.format_tag == WAVE_FORMAT_PCM ||
                (sound.format_tag == WAVE_FORMAT_EXTENSIBLE && fmt.size >= 40 &&
                 std::memcmp(f + 24, kPcmSubFormat, sizeof kPcmSubFormat) == 0);
    if (!ReadChunk(read, data, sound.data, why, "data")) return false;
    out = std::move(sound);
    return true;
}

bool read_wav_memory(const uint8_t* bytes, size_t size, wav_sound& out, std::string* why)
{
    wav_reader read = [bytes, size](uint64_t offset, void* buffer, size_t count) {
        if (offset > size || count > size - offset) return false;
        if (count) std::memcpy(buffer, bytes + offset, count);
        return true;
    };
    return read_wav(read, size, out, why);
}

bool read_wav_file(const std::string& path, wav_sound& out, std::string* why)
{
    XGFile file(path);
    if (XGFile::IsDirectory(path) || !file.TryOpen(XGFile::kRead))
        return Fail(why, "the WAV file \"" + path + "\" cannot be opened");
    try {
        wav_reader read = [&file](uint64_t offset, void* buffer, size_t count) {
            return file.ReadSome(offset, buffer, count) == count;
        };
        bool ok = read_wav(read, file.GetLength(), out, why);
        if (!ok && why) *why = "\"" + path + "\": " + *why;
        return ok;
    } catch (const XGError& e) {
        return Fail(why, "the WAV file \"" + path + "\" cannot be read: " + e.GetMessage());
    }
}

std::vector<uint8_t> make_wav_image(uint16_t channels, uint32_t samples_per_second, uint16_t bits,
                                    const std::vector<uint8_t>& sample_bytes)
{
    uint32_t data_size = uint32_t(sample_bytes.size());
    uint16_t block_align = uint16_t(channels * ((bits + 7) / 8));
    std::vector<uint8_t> b;
    b.reserve(44 + data_size + 1);
    b.insert(b.end(), {'R', 'I', 'F', 'F'});
    PutLe32(b, 36 + data_size + (data_size & 1));
    b.insert(b.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    PutLe32(b, 16);
    PutLe16(b, WAVE_FORMAT_PCM);
    PutLe16(b, channels);
    PutLe32(b, samples_per_second);
    PutLe32(b, samples_per_second * block_align);
    PutLe16(b, block_align);
    PutLe16(b, bits);
    b.insert(b.end(), {'d', 'a', 't', 'a'});
    PutLe32(b, data_size);
    b.insert(b.end(), sample_bytes.begin(), sample_bytes.end());
    if (data_size & 1) b.push_back(0);
    return b;
}
