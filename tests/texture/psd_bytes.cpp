#include "psd_bytes.h"

#include <zlib.h>

namespace {

void P16(bytes& b, uint32_t v)
{
    b.push_back(uint8_t(v >> 8));
    b.push_back(uint8_t(v));
}

void P32(bytes& b, uint32_t v)
{
    P16(b, v >> 16);
    P16(b, v);
}

} // namespace

bytes psd_raw(const bytes& pixels)
{
    bytes b{0, 0};
    b.insert(b.end(), pixels.begin(), pixels.end());
    return b;
}

bytes psd_packbits(const std::vector<bytes>& rows)
{
    bytes b{0, 1};
    for (const bytes& r : rows) P16(b, uint32_t(r.size()));
    for (const bytes& r : rows) b.insert(b.end(), r.begin(), r.end());
    return b;
}

bytes psd_zip(const bytes& pixels, uint32_t width, bool predict)
{
    bytes source = pixels;
    if (predict)
        for (size_t row = 0; row < source.size(); row += width)
            for (size_t x = width - 1; x >= 1; --x) source[row + x] = uint8_t(pixels[row + x] - pixels[row + x - 1]);
    uLongf size = compressBound(uLong(source.size()));
    bytes packed(size);
    compress(packed.data(), &size, source.data(), uLong(source.size()));
    packed.resize(size);
    bytes b{0, uint8_t(predict ? 3 : 2)};
    b.insert(b.end(), packed.begin(), packed.end());
    return b;
}

bytes psd_document(uint32_t width, uint32_t height, const std::vector<psd_bytes_layer>& layers, uint16_t depth,
                   uint16_t mode)
{
    bytes b{'8', 'B', 'P', 'S', 0, 1, 0, 0, 0, 0, 0, 0};
    P16(b, 3);
    P32(b, height);
    P32(b, width);
    P16(b, depth);
    P16(b, mode);
    P32(b, 0);
    P32(b, 0);

    bytes info;
    P16(info, uint32_t(layers.size()));
    for (const psd_bytes_layer& l : layers) {
        for (int32_t v : {l.top, l.left, l.bottom, l.right}) P32(info, uint32_t(v));
        P16(info, uint32_t(l.channels.size()));
        for (const psd_bytes_channel& c : l.channels) {
            P16(info, uint16_t(c.id));
            P32(info, uint32_t(c.stored.size()));
        }
        for (char ch : std::string("8BIMnorm")) info.push_back(uint8_t(ch));
        info.insert(info.end(), {255, 0, 0, 0});
        bytes extra;
        if (l.mask) {
            P32(extra, 20);
            for (int32_t v : {l.mask_top, l.mask_left, l.mask_bottom, l.mask_right}) P32(extra, uint32_t(v));
            extra.insert(extra.end(), {0, 0, 0, 0});
        } else {
            P32(extra, 0);
        }
        P32(extra, 0);
        extra.push_back(uint8_t(l.name.size()));
        extra.insert(extra.end(), l.name.begin(), l.name.end());
        for (size_t n = 1 + l.name.size(); n % 4; ++n) extra.push_back(0);
        P32(info, uint32_t(extra.size()));
        info.insert(info.end(), extra.begin(), extra.end());
    }
    for (const psd_bytes_layer& l : layers)
        for (const psd_bytes_channel& c : l.channels) info.insert(info.end(), c.stored.begin(), c.stored.end());
    if (info.size() % 2) info.push_back(0);

    bytes section;
    P32(section, uint32_t(info.size()));
    section.insert(section.end(), info.begin(), info.end());
    P32(b, uint32_t(section.size()));
    b.insert(b.end(), section.begin(), section.end());
    P16(b, 0);
    b.insert(b.end(), size_t(width) * height * 3, 200);
    return b;
}
