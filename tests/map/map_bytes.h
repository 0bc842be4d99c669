// Map tags assembled by hand, section by section, in the order a stored map lays them out.
#pragma once

#include <cstring>

#include "support/tag_file_bytes.h"

struct map_bytes {
    int width_blocks = 1;
    int height_blocks = 1;
    bytes cells;                  // width x height x 12, built by the test
    std::vector<bytes> palette;   // 32 bytes each
    std::vector<bytes> markers;   // 64 bytes each
    bytes block_a, block_b, block_c, actions;
    uint32_t action_count = 0;
    std::vector<std::pair<size_t, uint32_t>> header32; // extra header fields
    std::vector<std::pair<size_t, uint16_t>> header16;

    bytes Build() const
    {
        size_t cells_size = cells.size();
        size_t palette_size = palette.size() * 32;
        size_t markers_size = markers.size() * 64;
        size_t total = cells_size + palette_size + markers_size + block_a.size() + block_b.size() + block_c.size() +
                       actions.size();
        bytes b(1024 + total, 0);
        put_be16(b, 8, uint16_t(width_blocks));
        put_be16(b, 10, uint16_t(height_blocks));
        size_t at = 0;
        auto section = [&](size_t offset_field, size_t size_field, const bytes& data) {
            put_be32(b, offset_field, uint32_t(at));
            put_be32(b, size_field, uint32_t(data.size()));
            if (!data.empty()) std::memcpy(b.data() + 1024 + at, data.data(), data.size());
            at += data.size();
        };
        section(12, 16, cells);
        bytes joined;
        for (const bytes& p : palette) joined.insert(joined.end(), p.begin(), p.end());
        section(40, 44, joined);
        joined.clear();
        for (const bytes& m : markers) joined.insert(joined.end(), m.begin(), m.end());
        section(56, 60, joined);
        section(192, 196, block_a);
        section(204, 208, block_b);
        section(288, 292, block_c);
        section(132, 136, actions);
        put_be32(b, 24, 1024);
        put_be32(b, 28, uint32_t(total));
        put_be32(b, 36, uint32_t(palette.size()));
        put_be32(b, 52, uint32_t(markers.size()));
        put_be32(b, 128, action_count);
        for (auto [offset, value] : header32) put_be32(b, offset, value);
        for (auto [offset, value] : header16) put_be16(b, offset, value);
        return b;
    }
};

// A stored cell.
inline bytes cell_bytes(int16_t physical, int16_t second, uint16_t flags, uint8_t a, uint8_t b, int16_t media,
                        int16_t stored_render)
{
    bytes c(12, 0);
    put_be16(c, 0, uint16_t(physical));
    put_be16(c, 2, uint16_t(second));
    put_be16(c, 4, flags);
    c[6] = a;
    c[7] = b;
    put_be16(c, 8, uint16_t(media));
    put_be16(c, 10, uint16_t(stored_render));
    return c;
}

// A stored palette entry; the marker count at 28 is a raw field in the machine's order.
inline bytes palette_bytes(int16_t type, uint32_t tag, int16_t team, uint16_t markers)
{
    bytes p(32, 0);
    put_be16(p, 0, uint16_t(type));
    put_be16(p, 2, 6);
    put_be32(p, 4, tag);
    put_be16(p, 8, uint16_t(team));
    put_be32(p, 12, 0x3FFF);
    p[20] = 0xAB; // preserved
    std::memcpy(p.data() + 28, &markers, 2);
    p[30] = p[31] = 0xFF;
    return p;
}

inline bytes marker_bytes(int16_t type, int16_t per_type_index, int16_t identifier)
{
    bytes m(64, 0);
    put_be32(m, 0, 0x11);
    put_be16(m, 4, uint16_t(type));
    put_be16(m, 6, uint16_t(per_type_index));
    put_be16(m, 8, uint16_t(identifier));
    put_be16(m, 10, 2);
    put_be32(m, 12, uint32_t(-5 * 512));
    put_be32(m, 16, 700 * 512);
    put_be32(m, 20, 3 * 512);
    put_be16(m, 30, 256);
    put_be16(m, 32, 16384);
    m[40] = 0x5A; // preserved
    put_be16(m, 52, 100);
    m[61] = 0x77; // preserved
    return m;
}
