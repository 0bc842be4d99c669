#include "texture/texture_import.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <initializer_list>
#include <vector>

#include "framework/XGFileSpecifier.h"
#include "tags/tags.h"
#include "texture/large_buffer.h"
#include "texture/texture_errors.h"
#include "texture/texture_pixels.h"

namespace {

// One channel decoded at its bounds, into storage that is kept for the next channel.
class Plane {
public:
    bool present() const { return fPixels != nullptr; }
    const psd_rect& bounds() const { return fBounds; }
    const uint8_t* row(int64_t y) const { return fPixels + size_t(y - fBounds.top) * fBounds.width(); }
    void clear() { fPixels = nullptr; }

    // The channel of the layer, or none when it lacks it; a channel whose data another
    // plane holds already is taken from there (a greyscale layer's colours are one channel).
    void decode(const TLayeredImage& image, const psd_layer& layer, int16_t id,
                std::initializer_list<const Plane*> decoded = {})
    {
        fPixels = nullptr;
        const psd_channel* c = layer.channel(id);
        if (!c || c->bounds.empty()) return;
        fBounds = c->bounds;
        for (const Plane* other : decoded)
            if (other->present() && other->fData == c->data && other->fCompression == c->compression) {
                fPixels = other->fPixels;
                fData = c->data;
                fCompression = c->compression;
                return;
            }
        fStorage.reserve(size_t(fBounds.width()) * fBounds.height()); // written whole by the decoder
        image.decode_channel(*c, fStorage.data());
        fPixels = fStorage.data();
        fData = c->data;
        fCompression = c->compression;
    }

    // The value at image coordinates, 0 outside the bounds.
    uint8_t at(int64_t x, int64_t y) const
    {
        if (!fBounds.contains(x, y)) return 0;
        return row(y)[x - fBounds.left];
    }
    // The value at the nearest point inside the bounds.
    uint8_t clamped(int64_t x, int64_t y) const
    {
        x = std::clamp<int64_t>(x, fBounds.left, int64_t(fBounds.right) - 1);
        y = std::clamp<int64_t>(y, fBounds.top, int64_t(fBounds.bottom) - 1);
        return row(y)[x - fBounds.left];
    }
    bool all_255() const
    {
        const size_t area = size_t(fBounds.width()) * fBounds.height();
        return present() && std::all_of(fPixels, fPixels + area, [](uint8_t v) { return v == 255; });
    }

private:
    psd_rect fBounds;
    const uint8_t* fPixels = nullptr;
    uint64_t fData = 0; // where the channel's data lies in the file
    uint16_t fCompression = 0;
    TLargeBuffer fStorage;
};

std::unique_ptr<stacked_texture> MakeTexture(uint32_t width, uint32_t height, uint8_t channels, uint8_t use,
                                             uint8_t layer)
{
    auto t = std::make_unique<stacked_texture>();
    t->channels = channels;
    t->use = use;
    t->layer = layer;
    t->width = uint16_t(width);
    t->height = uint16_t(height);
    return t;
}

constexpr uint32_t kTile = TERRAIN_TILE_SIZE;

// A colour tile at (x0, y0), coordinates clamped to the planes' bounds (all three share them).
void ColourTile(const Plane (&colour)[3], int64_t x0, int64_t y0, uint8_t* out)
{
    const psd_rect& b = (colour[0].present() ? colour[0] : colour[1].present() ? colour[1] : colour[2]).bounds();
    const bool whole = colour[0].present() && colour[1].present() && colour[2].present();
    const bool inside = x0 >= b.left && x0 + int64_t(kTile) <= b.right;
    uint32_t columns[kTile];
    for (uint32_t x = 0; x < kTile; ++x)
        columns[x] = uint32_t(std::clamp<int64_t>(x0 + x, b.left, int64_t(b.right) - 1) - b.left);
    for (uint32_t y = 0; y < kTile; ++y, out += 3 * kTile) {
        const int64_t source = std::clamp<int64_t>(y0 + y, b.top, int64_t(b.bottom) - 1);
        if (whole && inside) {
            const size_t from = size_t(x0 - b.left);
            const uint8_t* r = colour[0].row(source) + from;
            const uint8_t* g = colour[1].row(source) + from;
            const uint8_t* bl = colour[2].row(source) + from;
            for (uint32_t x = 0; x < kTile; ++x) {
                out[3 * x] = r[x];
                out[3 * x + 1] = g[x];
                out[3 * x + 2] = bl[x];
            }
            continue;
        }
        for (int k = 0; k < 3; ++k) {
            if (!colour[k].present()) {
                for (uint32_t x = 0; x < kTile; ++x) out[3 * x + k] = 0;
                continue;
            }
            const uint8_t* row = colour[k].row(source);
            for (uint32_t x = 0; x < kTile; ++x) out[3 * x + k] = row[columns[x]];
        }
    }
}

// The OR of count bytes.
uint8_t OrOf(const uint8_t* bytes, size_t count)
{
    uint64_t any = 0;
    size_t i = 0;
    for (; i + 8 <= count; i += 8) {
        uint64_t word;
        std::memcpy(&word, bytes + i, 8);
        any |= word;
    }
    for (; i < count; ++i) any |= bytes[i];
    any |= any >> 32;
    any |= any >> 16;
    any |= any >> 8;
    return uint8_t(any);
}

// A mask tile at (x0, y0), 0 outside the mask's bounds; the OR of its bytes.
uint8_t MaskTile(const Plane& mask, int64_t x0, int64_t y0, uint8_t* out)
{
    const psd_rect& b = mask.bounds();
    const int64_t from = std::clamp<int64_t>(b.left, x0, x0 + kTile);
    const int64_t to = std::clamp<int64_t>(b.right, from, x0 + kTile);
    const size_t before = size_t(from - x0), inside = size_t(to - from), after = kTile - before - inside;
    uint8_t any = 0;
    for (uint32_t y = 0; y < kTile; ++y, out += kTile) {
        const int64_t source = y0 + y;
        if (inside == 0 || source < b.top || source >= b.bottom) {
            std::memset(out, 0, kTile);
            continue;
        }
        const uint8_t* row = mask.row(source) + (from - b.left);
        std::memset(out, 0, before);
        std::memcpy(out + before, row, inside);
        std::memset(out + before + inside, 0, after);
        any |= OrOf(row, inside);
    }
    return any;
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
    colour[0].decode(image, first, 0);
    colour[1].decode(image, first, 1, {&colour[0]});
    colour[2].decode(image, first, 2, {&colour[0], &colour[1]});
    if (!colour[0].present() && !colour[1].present() && !colour[2].present())
        texture_read_error(image.name() + ": the first layer has no colour channels.");

    const terrain_tile_grid grid = terrain_grid(image.width(), image.height());
    const uint32_t tiles = grid.columns * grid.rows;
    auto set = create_texture_set(tiles);
    std::unique_ptr<uint8_t[]> pixels(new uint8_t[kTile * kTile * 3]);
    for (uint32_t row = 0; row < grid.rows; ++row)
        for (uint32_t column = 0; column < grid.columns; ++column) {
            const int64_t x0 = grid.first_x + int64_t(column) * TERRAIN_TILE_STEP;
            const int64_t y0 = grid.first_y + int64_t(row) * TERRAIN_TILE_STEP;
            ColourTile(colour, x0, y0, pixels.get());
            auto t = MakeTexture(kTile, kTile, 3, TEXTURE_USE_BASE, 0);
            set_texture_pixels(*t, pixels.get(), quality);
            insert_texture(set.get(), row * grid.columns + column, 0, std::move(t));
        }
    Plane mask = std::move(colour[0]); // its memory, already touched, takes the masks
    for (Plane& plane : colour) plane = Plane{};

    uint32_t detail = 0;
    for (size_t i = 1; i < layers.size(); ++i) {
        if (!layers[i].channel(PSD_CHANNEL_LAYER_MASK)) continue;
        if (detail > 255) texture_read_error(image.name() + " has more than 256 layers with layer masks.");
        mask.decode(image, layers[i], PSD_CHANNEL_LAYER_MASK);
        for (uint32_t row = 0; row < grid.rows && mask.present(); ++row)
            for (uint32_t column = 0; column < grid.columns; ++column) {
                const int64_t x0 = grid.first_x + int64_t(column) * TERRAIN_TILE_STEP;
                const int64_t y0 = grid.first_y + int64_t(row) * TERRAIN_TILE_STEP;
                if (!(MaskTile(mask, x0, y0, pixels.get()) & 0xF8)) continue;
                auto t = MakeTexture(kTile, kTile, 1, TEXTURE_USE_DETAIL_MASK, uint8_t(detail));
                set_texture_pixels(*t, pixels.get(), quality);
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
        t->compressed_data.resize(size_t(w) * h);
        uint8_t* out = t->compressed_data.data();
        for (uint32_t y = 0; y < h; ++y)
            for (uint32_t x = 0; x < w; ++x) *out++ = source.at(x, y);
        made.push_back(std::move(t));
    };
    Plane colour[3], transparency, mask;
    for (const psd_layer& layer : image.layers()) {
        // A colour channel that is all 255 does not count as colour data, but is used when
        // another one does.
        bool has_colour = false;
        colour[0].decode(image, layer, 0);
        colour[1].decode(image, layer, 1, {&colour[0]});
        colour[2].decode(image, layer, 2, {&colour[0], &colour[1]});
        for (const Plane& c : colour) has_colour |= c.present() && !c.all_255();
        transparency.decode(image, layer, PSD_CHANNEL_TRANSPARENCY);
        if (transparency.all_255()) transparency.clear();
        mask.decode(image, layer, PSD_CHANNEL_LAYER_MASK);
        if (mask.all_255()) mask.clear();

        if (!has_colour) {
            if (mask.present()) add_modifier(mask);
            else if (transparency.present()) add_modifier(transparency);
            continue;
        }
        const Plane* alpha = transparency.present() ? &transparency : mask.present() ? &mask : nullptr;
        const uint8_t channels = alpha ? 4 : 3;
        auto t = MakeTexture(w, h, channels, TEXTURE_USE_BASE, 0);
        t->compressed_data.resize(size_t(w) * h * channels);
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
