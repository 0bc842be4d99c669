#include "texture/texture_import.h"

#include <algorithm>
#include <bit>
#include <vector>

#include "framework/XGFileSpecifier.h"
#include "tags/tags.h"
#include "texture/texture_errors.h"
#include "texture/texture_pixels.h"

namespace {

// One channel decoded at its bounds.
struct Plane {
    psd_rect bounds;
    std::vector<uint8_t> pixels;

    bool present() const { return !pixels.empty(); }
    // The value at image coordinates, 0 outside the bounds.
    uint8_t at(int64_t x, int64_t y) const
    {
        if (!bounds.contains(x, y)) return 0;
        return pixels[size_t(y - bounds.top) * bounds.width() + size_t(x - bounds.left)];
    }
    // The value at the nearest point inside the bounds.
    uint8_t clamped(int64_t x, int64_t y) const
    {
        x = std::clamp<int64_t>(x, bounds.left, int64_t(bounds.right) - 1);
        y = std::clamp<int64_t>(y, bounds.top, int64_t(bounds.bottom) - 1);
        return pixels[size_t(y - bounds.top) * bounds.width() + size_t(x - bounds.left)];
    }
};

Plane Decode(const TLayeredImage& image, const psd_layer& layer, int16_t id)
{
    Plane plane;
    const psd_channel* c = layer.channel(id);
    if (!c || c->bounds.empty()) return plane;
    plane.bounds = c->bounds;
    plane.pixels = image.channel_pixels(*c);
    return plane;
}

bool AllBytes255(const Plane& p)
{
    return std::all_of(p.pixels.begin(), p.pixels.end(), [](uint8_t v) { return v == 255; });
}

std::unique_ptr<stacked_texture> MakeTexture(uint32_t width, uint32_t height, uint8_t channels, uint8_t use,
                                             uint8_t layer)
{
    auto t = std::make_unique<stacked_texture>();
    t->channels = channels;
    t->use = use;
    t->layer = layer;
    t->width = uint16_t(width);
    t->height = uint16_t(height);
    t->compressed_data.resize(size_t(width) * height * channels);
    return t;
}

} // namespace

terrain_tile_grid terrain_grid(uint32_t width, uint32_t height)
{
    terrain_tile_grid grid;
    grid.columns = (width + 123) / TERRAIN_TILE_STEP;
    grid.rows = (height + 123) / TERRAIN_TILE_STEP;
    if (grid.columns * TERRAIN_TILE_STEP < width) grid.first_x = int32_t(width - grid.columns * TERRAIN_TILE_STEP) / 2 - 1;
    if (grid.rows * TERRAIN_TILE_STEP < height) grid.first_y = int32_t(height - grid.rows * TERRAIN_TILE_STEP) / 2 - 1;
    return grid;
}

std::unique_ptr<texture_set> import_terrain_image(const TLayeredImage& image, int quality)
{
    const auto& layers = image.layers();
    if (layers.empty() || layers[0].bounds.empty())
        texture_read_error(image.name() + " has no colour layer to make a colour map from.");
    const psd_layer& first = layers[0];
    Plane colour[3];
    for (int16_t k = 0; k < 3; ++k) colour[k] = Decode(image, first, k);
    if (!colour[0].present() && !colour[1].present() && !colour[2].present())
        texture_read_error(image.name() + ": the first layer has no colour channels.");

    const terrain_tile_grid grid = terrain_grid(image.width(), image.height());
    const uint32_t tiles = grid.columns * grid.rows;
    auto set = create_texture_set(tiles);
    const uint32_t n = TERRAIN_TILE_SIZE;
    for (uint32_t row = 0; row < grid.rows; ++row)
        for (uint32_t column = 0; column < grid.columns; ++column) {
            const int64_t x0 = grid.first_x + int64_t(column) * TERRAIN_TILE_STEP;
            const int64_t y0 = grid.first_y + int64_t(row) * TERRAIN_TILE_STEP;
            auto t = MakeTexture(n, n, 3, TEXTURE_USE_BASE, 0);
            uint8_t* out = t->compressed_data.data();
            for (uint32_t y = 0; y < n; ++y)
                for (uint32_t x = 0; x < n; ++x, out += 3)
                    for (int k = 0; k < 3; ++k)
                        out[k] = colour[k].present() ? colour[k].clamped(x0 + x, y0 + y) : 0;
            recompress_texture(*t, quality);
            insert_texture(set.get(), row * grid.columns + column, 0, std::move(t));
        }

    uint32_t detail = 0;
    for (size_t i = 1; i < layers.size(); ++i) {
        const psd_channel* channel = layers[i].channel(PSD_CHANNEL_LAYER_MASK);
        if (!channel) continue;
        if (detail > 255) texture_read_error(image.name() + " has more than 256 layers with layer masks.");
        Plane mask = Decode(image, layers[i], PSD_CHANNEL_LAYER_MASK);
        for (uint32_t row = 0; row < grid.rows && mask.present(); ++row)
            for (uint32_t column = 0; column < grid.columns; ++column) {
                const int64_t x0 = grid.first_x + int64_t(column) * TERRAIN_TILE_STEP;
                const int64_t y0 = grid.first_y + int64_t(row) * TERRAIN_TILE_STEP;
                auto t = MakeTexture(n, n, 1, TEXTURE_USE_DETAIL_MASK, uint8_t(detail));
                uint8_t* out = t->compressed_data.data();
                uint8_t any = 0;
                for (uint32_t y = 0; y < n; ++y)
                    for (uint32_t x = 0; x < n; ++x) any |= *out++ = mask.at(x0 + x, y0 + y);
                if (!(any & 0xF8)) continue;
                recompress_texture(*t, quality);
                insert_texture(set.get(), row * grid.columns + column, -1, std::move(t));
            }
        ++detail;
    }
    return set;
}

std::unique_ptr<texture_set> import_terrain_file(const std::string& path)
{
    return import_terrain_image(TLayeredImage::Read(path));
}

std::string terrain_tag_name(const std::string& image_path)
{
    std::string name = XGFileSpecifier(image_path).GetBaseName();
    if (name.size() > MAXIMUM_TAG_NAME_LENGTH) name.resize(MAXIMUM_TAG_NAME_LENGTH);
    return name;
}

int import_layers_into_stack(texture_set& set, uint32_t stack, int position, const TLayeredImage& image)
{
    const uint32_t w = image.width(), h = image.height();
    if (!std::has_single_bit(w) || !std::has_single_bit(h))
        texture_read_error(image.name() + " is " + std::to_string(w) + " x " + std::to_string(h) +
                           "; both sides must be powers of two to import it into a stack.");
    if (uint64_t(w) * h > MAXIMUM_TEXTURE_PIXELS) texture_read_error(image.name() + " is too large for a texture.");

    std::vector<std::unique_ptr<stacked_texture>> made;
    uint8_t modifiers = 0;
    auto add_modifier = [&](const Plane& source) {
        auto t = MakeTexture(w, h, 1, TEXTURE_USE_SKIN_MODIFIER, modifiers++);
        uint8_t* out = t->compressed_data.data();
        for (uint32_t y = 0; y < h; ++y)
            for (uint32_t x = 0; x < w; ++x) *out++ = source.at(x, y);
        made.push_back(std::move(t));
    };
    for (const psd_layer& layer : image.layers()) {
        Plane colour[3], transparency, mask;
        bool has_colour = false;
        for (int16_t k = 0; k < 3; ++k) {
            colour[k] = Decode(image, layer, k);
            if (AllBytes255(colour[k])) colour[k] = Plane{};
            has_colour |= colour[k].present();
        }
        transparency = Decode(image, layer, PSD_CHANNEL_TRANSPARENCY);
        if (AllBytes255(transparency)) transparency = Plane{};
        mask = Decode(image, layer, PSD_CHANNEL_LAYER_MASK);
        if (AllBytes255(mask)) mask = Plane{};

        if (!has_colour) {
            if (mask.present()) add_modifier(mask);
            else if (transparency.present()) add_modifier(transparency);
            continue;
        }
        // A colour channel that counts as absent is all 255 (or missing: 0).
        for (int16_t k = 0; k < 3; ++k)
            if (!colour[k].present() && layer.channel(k) && !layer.bounds.empty()) colour[k] = Decode(image, layer, k);
        const Plane* alpha = transparency.present() ? &transparency : mask.present() ? &mask : nullptr;
        const uint8_t channels = alpha ? 4 : 3;
        auto t = MakeTexture(w, h, channels, TEXTURE_USE_BASE, 0);
        uint8_t* out = t->compressed_data.data();
        for (uint32_t y = 0; y < h; ++y)
            for (uint32_t x = 0; x < w; ++x, out += channels) {
                for (int k = 0; k < 3; ++k) out[k] = colour[k].present() ? colour[k].clamped(x, y) : 0;
                if (alpha) out[3] = alpha->at(x, y);
            }
        made.push_back(std::move(t));
        if (transparency.present() && mask.present()) add_modifier(mask);
    }

    int at = position;
    for (auto& t : made) {
        int taken = insert_texture(&set, stack, at, std::move(t));
        at = taken + 1;
    }
    return int(made.size());
}

int import_image_into_stack(texture_set& set, uint32_t stack, int position, const std::string& path)
{
    std::string extension = XGFileSpecifier(path).GetExtension();
    std::transform(extension.begin(), extension.end(), extension.begin(), [](unsigned char c) { return std::tolower(c); });
    if (extension != "psd") texture_read_error(path + " is not a Photoshop file (its extension is not psd).");
    return import_layers_into_stack(set, stack, position, TLayeredImage::Read(path));
}
