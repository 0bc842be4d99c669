#include "sound_tag_bytes.h"

#include <cstring>

bytes sound_tag_bytes(const test_sound& s)
{
    uint32_t n = uint32_t(s.permutations.size());
    uint32_t data_bytes = 0;
    for (const test_permutation& p : s.permutations) data_bytes += uint32_t(p.data.size());
    bytes b(64 + 64 * n + data_bytes, 0);
    put_be32(b, 0, s.flags);
    for (int i = 0; i < 8; ++i) put_be16(b, size_t(4 + 2 * i), s.fields[i]);
    put_be32(b, 20, 64 + 32 * n);
    put_be32(b, 24, 32 * n + data_bytes);
    put_be32(b, 28, s.subtitles);
    std::memcpy(&b[32], s.kept32, 4);
    put_be32(b, 36, n);
    put_be32(b, 40, 64);
    put_be32(b, 44, 32 * n);
    std::memcpy(&b[52], s.kept52, 8);
    uint32_t position = 64 + 64 * n;
    for (uint32_t k = 0; k < n; ++k) {
        const test_permutation& p = s.permutations[k];
        size_t r = 64 + 32 * k;
        put_be16(b, r, p.first_word);
        put_be16(b, r + 2, p.skip);
        b[r + 4] = p.kept[0];
        b[r + 5] = p.kept[1];
        std::memcpy(&b[r + 6], p.name.data(), std::min<size_t>(p.name.size(), 25));
        size_t h = 64 + 32 * n + 32 * k;
        put_be32(b, h, p.flags);
        put_be16(b, h + 4, p.bits);
        put_be16(b, h + 6, p.shift);
        put_be16(b, h + 8, p.channels);
        b[h + 10] = p.header_kept[0];
        b[h + 11] = p.header_kept[1];
        put_be32(b, h + 12, p.rate);
        put_be32(b, h + 16, p.count);
        put_be32(b, h + 28, position);
        if (!p.data.empty()) std::memcpy(&b[position], p.data.data(), p.data.size());
        position += uint32_t(p.data.size());
    }
    return b;
}

test_permutation packet_permutation(const std::string& name, uint16_t channels, uint32_t packets, uint8_t seed)
{
    test_permutation p;
    p.name = name;
    p.channels = channels;
    p.count = packets;
    p.data = make_bytes(size_t(packets) * 34, seed);
    return p;
}
