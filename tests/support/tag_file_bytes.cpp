#include "support/tag_file_bytes.h"

#include <cstring>

uint32_t be32(const bytes& b, size_t o)
{
    return (uint32_t(b.at(o)) << 24) | (uint32_t(b.at(o + 1)) << 16) | (uint32_t(b.at(o + 2)) << 8) | b.at(o + 3);
}

uint16_t be16(const bytes& b, size_t o)
{
    return uint16_t((b.at(o) << 8) | b.at(o + 1));
}

void put_be32(bytes& b, size_t o, uint32_t v)
{
    b.at(o) = uint8_t(v >> 24);
    b.at(o + 1) = uint8_t(v >> 16);
    b.at(o + 2) = uint8_t(v >> 8);
    b.at(o + 3) = uint8_t(v);
}

void put_be16(bytes& b, size_t o, uint16_t v)
{
    b.at(o) = uint8_t(v >> 8);
    b.at(o + 1) = uint8_t(v);
}

uint32_t code(const std::string& four)
{
    uint32_t c = 0;
    for (int i = 0; i < 4; ++i) c = (c << 8) | uint8_t(i < (int)four.size() ? four[i] : 0);
    return c;
}

uint32_t reference_checksum(const uint8_t* data, size_t size, uint32_t crc)
{
    for (size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int k = 0; k < 8; ++k) crc = (crc & 1) ? (crc >> 1) ^ 0xEDB88320u : crc >> 1;
    }
    return crc;
}

namespace {

bytes EntryHeader(const test_tag& t, uint32_t offset, uint8_t mark)
{
    bytes h(64, 0);
    h[3] = mark;
    std::memcpy(h.data() + 4, t.name.data(), std::min<size_t>(t.name.size(), 31));
    put_be32(h, 36, code(t.type));
    put_be32(h, 40, code(t.id));
    put_be32(h, 44, offset);
    put_be32(h, 48, uint32_t(t.data.size()));
    put_be16(h, 56, uint16_t(t.version));
    h[59] = 255;
    put_be32(h, 60, code("vrn2"));
    return h;
}

} // namespace

bytes build_multi_tag_file(const std::vector<test_tag>& tags, int16_t kind, int16_t header_word,
                           const std::string& name, const std::vector<bytes>& entry_points)
{
    bytes out(128, 0);
    for (const bytes& p : entry_points) out.insert(out.end(), p.begin(), p.end());
    uint32_t offset = uint32_t(out.size() + 64 * tags.size());
    for (const test_tag& t : tags) {
        bytes h = EntryHeader(t, offset, 3);
        out.insert(out.end(), h.begin(), h.end());
        offset += uint32_t(t.data.size());
    }
    uint32_t crc = 0xFFFFFFFF;
    for (const test_tag& t : tags) {
        out.insert(out.end(), t.data.begin(), t.data.end());
        crc = reference_checksum(t.data.data(), t.data.size(), crc);
    }
    put_be16(out, 0, uint16_t(kind));
    put_be16(out, 2, uint16_t(header_word));
    std::memcpy(out.data() + 4, name.data(), std::min<size_t>(name.size(), 31));
    put_be16(out, 100, uint16_t(entry_points.size()));
    put_be16(out, 102, uint16_t(tags.size()));
    put_be32(out, 104, crc);
    put_be32(out, 112, uint32_t(out.size()));
    put_be32(out, 124, code("dng2"));
    put_be32(out, 116, reference_checksum(out.data(), 128));
    return out;
}

bytes build_single_tag_file(const test_tag& tag)
{
    bytes out = EntryHeader(tag, 64, 0);
    out.insert(out.end(), tag.data.begin(), tag.data.end());
    return out;
}
