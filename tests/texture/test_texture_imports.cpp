#include <gtest/gtest.h>

#include <filesystem>

#include "framework/XGError.h"
#include "psd_bytes.h"
#include "texture/texture_import.h"
#include "texture/texture_pixels.h"
#include "texture_test_support.h"

namespace {

// A document of one layer at the given bounds with raw colour channels from a function.
bytes OneLayer(uint32_t width, uint32_t height, int32_t left, int32_t top, int32_t right, int32_t bottom,
               auto colour)
{
    psd_bytes_layer layer{top, left, bottom, right, {}};
    for (int16_t k = 0; k < 3; ++k) {
        bytes plane;
        for (int32_t y = top; y < bottom; ++y)
            for (int32_t x = left; x < right; ++x) plane.push_back(colour(x, y, k));
        layer.channels.push_back({k, psd_raw(plane)});
    }
    return psd_document(width, height, {layer});
}

const uint8_t* Pixel(const stacked_texture& t, uint32_t x, uint32_t y)
{
    return &t.compressed_data[(size_t(y) * t.width + x) * t.channels];
}

bytes Plane(uint32_t w, uint32_t h, uint8_t v)
{
    return bytes(size_t(w) * h, v);
}

} // namespace

TEST(TerrainImport, TileGrid)
{
    struct Case {
        uint32_t side, count;
        int32_t first;
    } cases[] = {{3, 1, -1}, {126, 1, -1}, {127, 1, -1}, {128, 1, 0}, {130, 2, -1}, {4032, 32, -1}, {4033, 32, -1}, {4034, 32, 0}};
    for (const Case& c : cases) {
        terrain_tile_grid grid = terrain_grid(c.side, 7);
        EXPECT_EQ(grid.columns, c.count) << c.side;
        EXPECT_EQ(grid.first_x, c.first) << c.side;
        EXPECT_EQ(grid.rows, 1u);
        EXPECT_EQ(grid.first_y, -1);
    }
}

TEST(TerrainImport, ASmallImageFillsOneTileClampedToTheImage)
{
    auto colour = [](int x, int y, int k) { return uint8_t(k == 0 ? 60 + 60 * x : k == 1 ? 60 + 60 * y : 7); };
    TLayeredImage image = TLayeredImage::Parse(OneLayer(3, 3, 0, 0, 3, 3, colour), "three.psd");
    auto set = import_terrain_image(image, 0);
    ASSERT_EQ(set->stack_count(), 1u);
    ASSERT_EQ(set->stacks[0].textures.size(), 1u);
    const stacked_texture& t = *set->stacks[0].textures[0];
    EXPECT_EQ(t.width, 128);
    EXPECT_EQ(t.channels, 3);
    EXPECT_EQ(t.use, TEXTURE_USE_BASE);
    EXPECT_EQ(t.format, TEXTURE_FORMAT_RAW);
    // The tile starts at x = y = -1.
    const int expected[][4] = {{0, 0, 0, 0}, {1, 1, 0, 0}, {2, 2, 1, 1}, {3, 0, 2, 0}, {0, 3, 0, 2}, {127, 127, 2, 2}};
    for (const auto& e : expected) {
        EXPECT_EQ(Pixel(t, e[0], e[1])[0], colour(e[2], e[3], 0)) << e[0] << "," << e[1];
        EXPECT_EQ(Pixel(t, e[0], e[1])[1], colour(e[2], e[3], 1)) << e[0] << "," << e[1];
    }

    // As the import stores it: JPEG at quality 85, close to the raw tile.
    auto stored = import_terrain_image(image);
    const stacked_texture& j = *stored->stacks[0].textures[0];
    EXPECT_EQ(j.format, TEXTURE_FORMAT_JPEG);
    texture_image decoded = decode_texture_or_fail(j, true);
    const size_t from = 3 * (100 * 128 + 16), to = 3 * (101 * 128); // away from the colour edges
    EXPECT_LE(max_difference(bytes(decoded.pixels.begin() + from, decoded.pixels.begin() + to),
                             bytes(t.compressed_data.begin() + from, t.compressed_data.begin() + to)),
              4);
}

TEST(TerrainImport, NeighbouringTilesShareTwoColumns)
{
    auto colour = [](int x, int y, int k) { return uint8_t(k == 0 ? x : k == 1 ? y : 0); };
    TLayeredImage image = TLayeredImage::Parse(OneLayer(130, 3, 0, 0, 130, 3, colour), "wide.psd");
    auto set = import_terrain_image(image, 0);
    ASSERT_EQ(set->stack_count(), 2u);
    const stacked_texture& left = *set->stacks[0].textures[0];
    const stacked_texture& right = *set->stacks[1].textures[0];
    EXPECT_EQ(Pixel(left, 0, 5)[0], 0);
    EXPECT_EQ(Pixel(left, 2, 5)[0], 1);
    EXPECT_EQ(Pixel(left, 127, 5)[0], 126);
    EXPECT_EQ(Pixel(right, 0, 5)[0], 125); // the second column starts at 125
    EXPECT_EQ(Pixel(right, 1, 5)[0], 126);
    EXPECT_EQ(Pixel(right, 4, 5)[0], 129);
    EXPECT_EQ(Pixel(right, 60, 5)[0], 129);

    // A first layer smaller than the image: coordinates clamp to its edges.
    TLayeredImage inner = TLayeredImage::Parse(OneLayer(8, 8, 2, 3, 6, 5, colour), "inner.psd");
    auto clamped = import_terrain_image(inner, 0);
    const stacked_texture& t = *clamped->stacks[0].textures[0];
    EXPECT_EQ(Pixel(t, 0, 0)[0], 2);
    EXPECT_EQ(Pixel(t, 0, 0)[1], 3);
    EXPECT_EQ(Pixel(t, 50, 50)[0], 5);
    EXPECT_EQ(Pixel(t, 50, 50)[1], 4);
}

TEST(TerrainImport, LaterLayersWithMasksGiveDetailMasks)
{
    TLayeredImage image = TLayeredImage::Read(fixture("terrain_rle.psd"));
    auto set = import_terrain_image(image, 0);
    ASSERT_EQ(set->stack_count(), 1u);
    const auto& list = set->stacks[0].textures;
    ASSERT_EQ(list.size(), 3u); // the colour map, grass and rock; snow has no mask
    EXPECT_EQ(Pixel(*list[0], 41, 41)[2], 30); // image (40, 40): (200, 200, 30)
    const stacked_texture& grass = *list[1];
    EXPECT_EQ(grass.channels, 1);
    EXPECT_EQ(grass.use, TEXTURE_USE_DETAIL_MASK);
    EXPECT_EQ(grass.layer, 0);
    EXPECT_EQ(*Pixel(grass, 16, 26), 255);
    EXPECT_EQ(*Pixel(grass, 36, 26), 55);
    EXPECT_EQ(*Pixel(grass, 3, 3), 0); // outside the mask's bounds
    const stacked_texture& rock = *list[2];
    EXPECT_EQ(rock.layer, 1);
    EXPECT_EQ(*Pixel(rock, 41, 41), 255);
    EXPECT_EQ(*Pixel(rock, 21, 41), 0);

    // The three encodings of the document import to the same bytes.
    auto reference = import_terrain_file(fixture("terrain_rle.psd"));
    for (const char* other : {"terrain_raw.psd", "terrain_zip.psd"}) {
        auto same = import_terrain_file(fixture(other));
        ASSERT_EQ(same->stacks[0].textures.size(), 3u);
        for (size_t i = 0; i < 3; ++i)
            EXPECT_EQ(same->stacks[0].textures[i]->compressed_data, reference->stacks[0].textures[i]->compressed_data)
                << other << " " << i;
    }
}

TEST(TerrainImport, FaintMasksAreLeftOutButStillCountAsLayers)
{
    psd_bytes_layer base{0, 0, 4, 4, {}};
    for (int16_t k = 0; k < 3; ++k) base.channels.push_back({k, psd_raw(Plane(4, 4, 100))});
    psd_bytes_layer faint{0, 0, 4, 4, {{-2, psd_raw(Plane(4, 4, 7))}}};
    faint.mask = true;
    faint.mask_bottom = faint.mask_right = 4;
    psd_bytes_layer unmasked{0, 0, 4, 4, {{0, psd_raw(Plane(4, 4, 1))}}};
    psd_bytes_layer strong = faint;
    bytes mask = Plane(4, 4, 0);
    mask[5] = 8;
    strong.channels[0].stored = psd_raw(mask);
    TLayeredImage image = TLayeredImage::Parse(psd_document(4, 4, {base, faint, unmasked, strong}), "faint.psd");
    auto set = import_terrain_image(image, 0);
    const auto& list = set->stacks[0].textures;
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[1]->layer, 1);
    EXPECT_EQ(*Pixel(*list[1], 2, 2), 8); // image (1, 1)
}

TEST(StackImport, EveryLayerGivesFullSizeTextures)
{
    auto set = create_texture_set(1);
    insert_texture(set.get(), 0, -1, patterned_texture(2, 2, 3, 1));
    stacked_texture* last = patterned_texture(2, 2, 3, 2).release();
    insert_texture(set.get(), 0, -1, std::unique_ptr<stacked_texture>(last));
    ASSERT_EQ(import_image_into_stack(*set, 0, 1, fixture("terrain_rle.psd")), 5);
    const auto& list = set->stacks[0].textures;
    ASSERT_EQ(list.size(), 7u);
    EXPECT_EQ(list[6].get(), last);

    const stacked_texture& bg = *list[1];
    EXPECT_EQ(bg.channels, 3);
    EXPECT_EQ(bg.width, 64);
    EXPECT_EQ(Pixel(bg, 5, 5)[0], 200);

    const stacked_texture& grass = *list[2]; // colour, transparency and mask
    EXPECT_EQ(grass.channels, 4);
    EXPECT_EQ(Pixel(grass, 10, 20)[1], 120);
    EXPECT_EQ(Pixel(grass, 10, 20)[3], 255);
    EXPECT_EQ(Pixel(grass, 40, 20)[3], 0);
    EXPECT_EQ(Pixel(grass, 0, 0)[3], 0);
    const stacked_texture& modifier = *list[3];
    EXPECT_EQ(modifier.channels, 1);
    EXPECT_EQ(modifier.use, TEXTURE_USE_SKIN_MODIFIER);
    EXPECT_EQ(modifier.layer, 0);
    EXPECT_EQ(*Pixel(modifier, 15, 25), 255);
    EXPECT_EQ(*Pixel(modifier, 35, 25), 55);
    EXPECT_EQ(*Pixel(modifier, 0, 0), 0);

    const stacked_texture& rock = *list[4]; // colour and mask: the mask is the alpha
    EXPECT_EQ(rock.channels, 4);
    EXPECT_EQ(Pixel(rock, 40, 40)[3], 255);
    EXPECT_EQ(Pixel(rock, 20, 40)[3], 0);
    EXPECT_EQ(Pixel(rock, 20, 40)[0], 90);

    const stacked_texture& snow = *list[5]; // colour and transparency, 16 x 16 at (44, 4)
    EXPECT_EQ(snow.channels, 4);
    EXPECT_EQ(Pixel(snow, 50, 6)[3], 255);
    EXPECT_EQ(Pixel(snow, 50, 15)[3], 0);
    EXPECT_EQ(Pixel(snow, 0, 0)[3], 0);
    EXPECT_EQ(Pixel(snow, 0, 0)[0], 250); // colour repeats the layer's nearest edge
}

TEST(StackImport, LayersWithoutColourGiveSkinModifiers)
{
    auto layer = [](std::vector<psd_bytes_channel> channels, bool mask) {
        psd_bytes_layer l{0, 0, 2, 2, std::move(channels)};
        l.mask = mask;
        l.mask_top = 1;
        l.mask_bottom = 2;
        l.mask_right = 2;
        return l;
    };
    const bytes white = Plane(2, 2, 255);
    std::vector<psd_bytes_layer> layers = {
        layer({{-2, psd_raw({9, 10})}}, true),                      // mask only
        layer({{-1, psd_raw({1, 2, 3, 4})}}, false),                // transparency only
        layer({{-1, psd_raw(white)}}, false),                       // an opaque, empty layer: skipped
        layer({{0, psd_raw(white)}, {1, psd_raw(white)}, {2, psd_raw(white)}, {-2, psd_raw({5, 6})}}, true),
    };
    TLayeredImage image = TLayeredImage::Parse(psd_document(2, 2, layers), "skins.psd");
    auto set = create_texture_set(1);
    ASSERT_EQ(import_layers_into_stack(*set, 3, 0, image), 3);
    ASSERT_EQ(set->stack_count(), 4u);
    const auto& list = set->stacks[3].textures;
    for (uint8_t i = 0; i < 3; ++i) {
        EXPECT_EQ(list[i]->channels, 1);
        EXPECT_EQ(list[i]->use, TEXTURE_USE_SKIN_MODIFIER);
        EXPECT_EQ(list[i]->layer, i);
    }
    EXPECT_EQ(list[0]->compressed_data, (bytes{0, 0, 9, 10})); // the mask's row 1 only
    EXPECT_EQ(list[1]->compressed_data, (bytes{1, 2, 3, 4}));
    EXPECT_EQ(list[2]->compressed_data, (bytes{0, 0, 5, 6}));
}

TEST(StackImport, ImagesItCannotTakeImportNothing)
{
    TempFolder folder;
    auto set = create_texture_set(1);
    insert_texture(set.get(), 0, -1, patterned_texture(2, 2, 3, 1));
    const std::string odd = folder / "odd.psd";
    write_file(odd, OneLayer(48, 64, 0, 0, 48, 64, [](int, int, int) { return uint8_t(3); }));
    EXPECT_THROW(import_image_into_stack(*set, 0, 0, odd), XGError);
    const std::string png = folder / "terrain.png";
    std::filesystem::copy_file(fixture("terrain_rle.psd"), png);
    EXPECT_THROW(import_image_into_stack(*set, 0, 0, png), XGError);
    EXPECT_EQ(set->stacks[0].textures.size(), 1u);
    const std::string upper = folder / "terrain.PSD";
    std::filesystem::copy_file(fixture("terrain_rle.psd"), upper);
    EXPECT_EQ(import_image_into_stack(*set, 0, 0, upper), 5);
}
