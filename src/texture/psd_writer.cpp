#include "texture/psd_writer.h"

#include <algorithm>
#include <cstring>

namespace {

void Put16(std::vector<uint8_t>& out, uint32_t v)
{
    out.push_back(uint8_t(v >> 8));
    out.push_back(uint8_t(v));
}

void Put32(std::vector<uint8_t>& out, uint32_t v)
{
    Put16(out, v >> 16);
    Put16(out, v);
}

void Patch32(std::vector<uint8_t>& out, size_t at, uint32_t v)
{
    out[at] = uint8_t(v >> 24);
    out[at + 1] = uint8_t(v >> 16);
    out[at + 2] = uint8_t(v >> 8);
    out[at + 3] = uint8_t(v);
}

void PutRect(std::vector<uint8_t>& out, const psd_rect& r)
{
    Put32(out, uint32_t(r.top));
    Put32(out, uint32_t(r.left));
    Put32(out, uint32_t(r.bottom));
    Put32(out, uint32_t(r.right));
}

// A channel's data with its compression field.
std::vector<uint8_t> Channel(const std::vector<uint8_t>& pixels, uint32_t width, uint32_t height, bool rle)
{
    std::vector<uint8_t> out;
    Put16(out, rle ? 1 : 0);
    if (!rle) {
        out.insert(out.end(), pixels.begin(), pixels.end());
        return out;
    }
    std::vector<std::vector<uint8_t>> rows(height);
    for (uint32_t r = 0; r < height; ++r) packbits_row(pixels.data() + size_t(r) * width, width, rows[r]);
    for (const auto& row : rows) Put16(out, uint32_t(row.size()));
    for (const auto& row : rows) out.insert(out.end(), row.begin(), row.end());
    return out;
}

} // namespace

void packbits_row(const uint8_t* row, size_t width, std::vector<uint8_t>& out)
{
    size_t i = 0;
    while (i < width) {
        size_t run = 1;
        while (i + run < width && run < 128 && row[i + run] == row[i]) ++run;
        if (run >= 2) {
            out.push_back(uint8_t(1 - int(run)));
            out.push_back(row[i]);
            i += run;
            continue;
        }
        size_t start = i, count = 0;
        while (i < width && count < 128 && !(i + 1 < width && row[i + 1] == row[i])) {
            ++i;
            ++count;
        }
        out.push_back(uint8_t(count - 1));
        out.insert(out.end(), row + start, row + start + count);
    }
}

std::vector<uint8_t> write_layered_image(uint32_t width, uint32_t height, const std::vector<psd_layer_source>& layers,
                                         bool rle)
{
    std::vector<uint8_t> out = {'8', 'B', 'P', 'S'};
    Put16(out, 1);
    out.insert(out.end(), 6, 0);
    Put16(out, 3);
    Put32(out, height);
    Put32(out, width);
    Put16(out, 8);
    Put16(out, 3);
    Put32(out, 0); // colour mode data
    Put32(out, 0); // image resources

    const size_t section = out.size();
    Put32(out, 0);
    const size_t info = out.size();
    Put32(out, 0);
    Put16(out, uint32_t(layers.size()));

    std::vector<std::vector<uint8_t>> data;
    for (const psd_layer_source& layer : layers) {
        std::vector<std::pair<int16_t, const std::vector<uint8_t>*>> channels;
        if (!layer.transparency.empty()) channels.push_back({-1, &layer.transparency});
        if (!layer.red.empty()) {
            channels.push_back({0, &layer.red});
            channels.push_back({1, &layer.green});
            channels.push_back({2, &layer.blue});
        }
        if (layer.has_mask) channels.push_back({-2, &layer.mask});

        PutRect(out, layer.bounds);
        Put16(out, uint32_t(channels.size()));
        for (const auto& [id, pixels] : channels) {
            const psd_rect& r = id == -2 ? layer.mask_bounds : layer.bounds;
            data.push_back(Channel(*pixels, r.width(), r.height(), rle));
            Put16(out, uint16_t(id));
            Put32(out, uint32_t(data.back().size()));
        }
        const char blend[] = "8BIMnorm";
        out.insert(out.end(), blend, blend + 8);
        out.push_back(255); // opacity
        out.push_back(0);   // clipping
        out.push_back(0);   // flags
        out.push_back(0);
        const size_t extra = out.size();
        Put32(out, 0);
        if (layer.has_mask) {
            Put32(out, 20);
            PutRect(out, layer.mask_bounds);
            out.push_back(0); // default colour
            out.push_back(0); // flags
            out.push_back(0);
            out.push_back(0);
        } else {
            Put32(out, 0);
        }
        Put32(out, 0); // blending ranges
        const size_t name_length = std::min<size_t>(layer.name.size(), 255);
        out.push_back(uint8_t(name_length));
        out.insert(out.end(), layer.name.begin(), layer.name.begin() + name_length);
        for (size_t padded = name_length + 1; padded % 4; ++padded) out.push_back(0);
        Patch32(out, extra, uint32_t(out.size() - extra - 4));
    }
    for (const auto& d : data) out.insert(out.end(), d.begin(), d.end());
    if ((out.size() - info - 4) % 2) out.push_back(0);
    Patch32(out, info, uint32_t(out.size() - info - 4));
    Put32(out, 0); // global layer mask information
    Patch32(out, section, uint32_t(out.size() - section - 4));

    // The composite: the first layer's colour, clamped to its bounds.
    std::vector<uint8_t> plane(size_t(width) * height, 255);
    std::vector<std::vector<uint8_t>> composite;
    for (int k = 0; k < 3; ++k) {
        if (!layers.empty() && !layers[0].red.empty() && !layers[0].bounds.empty()) {
            const psd_layer_source& first = layers[0];
            const std::vector<uint8_t>& source = k == 0 ? first.red : k == 1 ? first.green : first.blue;
            for (uint32_t y = 0; y < height; ++y)
                for (uint32_t x = 0; x < width; ++x) {
                    int64_t sx = std::clamp<int64_t>(x, first.bounds.left, first.bounds.right - 1) - first.bounds.left;
                    int64_t sy = std::clamp<int64_t>(y, first.bounds.top, first.bounds.bottom - 1) - first.bounds.top;
                    plane[size_t(y) * width + x] = source[size_t(sy) * first.bounds.width() + size_t(sx)];
                }
        }
        composite.push_back(plane);
    }
    Put16(out, rle ? 1 : 0);
    if (!rle) {
        for (const auto& p : composite) out.insert(out.end(), p.begin(), p.end());
        return out;
    }
    std::vector<std::vector<uint8_t>> rows;
    for (const auto& p : composite)
        for (uint32_t r = 0; r < height; ++r) {
            rows.emplace_back();
            packbits_row(p.data() + size_t(r) * width, width, rows.back());
        }
    for (const auto& row : rows) Put16(out, uint32_t(row.size()));
    for (const auto& row : rows) out.insert(out.end(), row.begin(), row.end());
    return out;
}
