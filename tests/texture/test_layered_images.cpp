#include <gtest/gtest.h>

#include "framework/XGError.h"
#include "psd_bytes.h"
#include "texture/psd_reader.h"
#include "texture/texture_import.h"
#include "texture_test_support.h"

namespace {

// Pixel at image coordinates of a channel placed at its bounds; -1 outside.
int At(const TLayeredImage& image, const psd_layer& layer, int16_t id, int x, int y)
{
    const psd_channel* c = layer.channel(id);
    if (!c || !c->bounds.contains(x, y)) return -1;
    bytes pixels = image.channel_pixels(*c);
    return pixels[size_t(y - c->bounds.top) * c->bounds.width() + size_t(x - c->bounds.left)];
}

} // namespace

TEST(LayeredImages, LayersOfARealDocument)
{
    TLayeredImage image = TLayeredImage::Read(fixture("terrain_rle.psd"));
    EXPECT_EQ(image.width(), 64u);
    EXPECT_EQ(image.height(), 64u);
    const auto& layers = image.layers();
    ASSERT_EQ(layers.size(), 4u);
    EXPECT_EQ(layers[0].name, "Background");
    EXPECT_EQ(layers[3].name, "snow");

    // Background quadrants.
    const psd_layer& bg = layers[0];
    EXPECT_EQ(At(image, bg, 0, 5, 5), 200);
    EXPECT_EQ(At(image, bg, 1, 40, 5), 200);
    EXPECT_EQ(At(image, bg, 2, 5, 40), 200);
    EXPECT_EQ(At(image, bg, 0, 40, 40), 200);
    EXPECT_EQ(At(image, bg, 2, 40, 40), 30);
    EXPECT_EQ(bg.channel(PSD_CHANNEL_TRANSPARENCY), nullptr);

    // grass: 40 x 30 at (8, 16); opaque left 20 columns; a mask with white and grey squares.
    const psd_layer& grass = layers[1];
    EXPECT_EQ(grass.bounds.left, 8);
    EXPECT_EQ(grass.bounds.top, 16);
    EXPECT_EQ(grass.bounds.width(), 40u);
    EXPECT_EQ(grass.bounds.height(), 30u);
    EXPECT_EQ(At(image, grass, 1, 10, 20), 120);
    EXPECT_EQ(At(image, grass, PSD_CHANNEL_TRANSPARENCY, 10, 20), 255);
    EXPECT_EQ(At(image, grass, PSD_CHANNEL_TRANSPARENCY, 40, 20), 0);
    ASSERT_TRUE(grass.has_mask);
    EXPECT_EQ(At(image, grass, PSD_CHANNEL_LAYER_MASK, 15, 25), 255);
    EXPECT_EQ(At(image, grass, PSD_CHANNEL_LAYER_MASK, 35, 25), 55); // GIMP stores the grey linear
    EXPECT_EQ(At(image, grass, PSD_CHANNEL_LAYER_MASK, 15, 40), 0);

    const psd_layer& rock = layers[2];
    EXPECT_EQ(At(image, rock, PSD_CHANNEL_LAYER_MASK, 40, 40), 255);
    EXPECT_EQ(At(image, rock, PSD_CHANNEL_LAYER_MASK, 20, 40), 0);
    EXPECT_FALSE(layers[3].has_mask);
}

TEST(LayeredImages, RawPackBitsAndZipChannelsGiveTheSamePixels)
{
    // One document as GIMP wrote it (PackBits) and as ImageMagick rewrote it (raw, ZIP).
    // ImageMagick multiplies a layer's mask into its transparency when it reads: those
    // transparency channels differ.
    TLayeredImage rle = TLayeredImage::Read(fixture("terrain_rle.psd"));
    for (const char* other : {"terrain_raw.psd", "terrain_zip.psd"}) {
        TLayeredImage image = TLayeredImage::Read(fixture(other));
        ASSERT_EQ(image.layers().size(), rle.layers().size()) << other;
        for (size_t i = 0; i < rle.layers().size(); ++i) {
            const psd_layer& a = rle.layers()[i];
            const psd_layer& b = image.layers()[i];
            EXPECT_EQ(a.name, b.name);
            for (const psd_channel& c : a.channels) {
                if (c.id == PSD_CHANNEL_TRANSPARENCY && a.has_mask) continue;
                const psd_channel* d = b.channel(c.id);
                ASSERT_NE(d, nullptr) << other << " layer " << i << " channel " << c.id;
                EXPECT_EQ(rle.channel_pixels(c), image.channel_pixels(*d)) << other << " layer " << i << " channel " << c.id;
            }
        }
    }
    EXPECT_EQ(TLayeredImage::Read(fixture("terrain_zip.psd")).layers()[0].channels[0].compression, 2);
    EXPECT_EQ(TLayeredImage::Read(fixture("terrain_raw.psd")).layers()[0].channels[0].compression, 0);
}

TEST(LayeredImages, HandWrittenChannelsOfEveryCompression)
{
    // 4 x 3 layer at (1, 2); its mask 2 x 2 at (0, 0), elsewhere than the layer.
    const bytes red = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    const bytes green = {9, 9, 9, 9, 9, 9, 9, 9, 1, 2, 3, 4};
    // PackBits: a run of four 9s, a run of four 9s, a literal of four bytes.
    std::vector<bytes> green_rows = {{0xFD, 9}, {0xFD, 9}, {3, 1, 2, 3, 4}};
    const bytes blue = {200, 100, 50, 25, 1, 1, 1, 1, 255, 0, 255, 0};
    const bytes alpha = {0, 0, 0, 0, 255, 255, 255, 255, 7, 7, 7, 7};
    const bytes mask = {10, 20, 30, 40};
    psd_bytes_layer layer{2, 1, 5, 5,
                          {{0, psd_raw(red)},
                           {1, psd_packbits(green_rows)},
                           {2, psd_zip(blue, 4, false)},
                           {-1, psd_zip(alpha, 4, true)},
                           {-2, psd_zip(mask, 2, true)}}};
    layer.mask = true;
    layer.mask_bottom = 2;
    layer.mask_right = 2;
    TLayeredImage image = TLayeredImage::Parse(psd_document(8, 8, {layer}), "hand.psd");
    const psd_layer& l = image.layers().at(0);
    EXPECT_EQ(image.channel_pixels(*l.channel(0)), red);
    EXPECT_EQ(image.channel_pixels(*l.channel(1)), green);
    EXPECT_EQ(image.channel_pixels(*l.channel(2)), blue);
    EXPECT_EQ(image.channel_pixels(*l.channel(-1)), alpha);
    EXPECT_EQ(image.channel_pixels(*l.channel(-2)), mask);
    EXPECT_EQ(l.channel(-2)->bounds.right, 2);
    EXPECT_EQ(l.channel(-1)->bounds.left, 1);
}

TEST(LayeredImages, DocumentsItCannotTakeAreRefusedByName)
{
    TempFolder folder;
    const std::string deep = folder / "deep.psd", cmyk = folder / "cmyk.psd", grey = folder / "grey.psd";
    ASSERT_EQ(run_tool("convert -size 16x16 xc:orange -depth 16 " + deep), 0);
    ASSERT_EQ(run_tool("convert -size 16x16 xc:orange -colorspace CMYK -depth 8 " + cmyk), 0);
    ASSERT_EQ(run_tool("convert -size 16x16 xc:orange -colorspace Gray -depth 16 " + grey), 0);
    EXPECT_NE(error_message([&] { TLayeredImage::Read(deep); }).find("16-bit"), std::string::npos);
    EXPECT_NE(error_message([&] { TLayeredImage::Read(cmyk); }).find("CMYK"), std::string::npos);
    EXPECT_NE(error_message([&] { TLayeredImage::Read(grey); }).find("16-bit"), std::string::npos);
    write_file(folder / "text.psd", bytes(100, 'x'));
    EXPECT_NE(error_message([&] { TLayeredImage::Read(folder / "text.psd"); }).find("not a Photoshop file"), std::string::npos);
    EXPECT_THROW(TLayeredImage::Read(folder / "missing.psd"), XGError);
}

TEST(LayeredImages, AGreyscaleDocumentImportsAsItsRgbTwin)
{
    // ImageMagick writes a greyscale document for a grey picture, flat or with a layer.
    TempFolder folder;
    const std::string png = folder / "grey.png", layered = folder / "layered.psd", flat = folder / "flat.psd";
    ASSERT_EQ(run_tool("convert -size 64x64 gradient:black-white -swirl 120 -depth 8 " + png), 0);
    ASSERT_EQ(run_tool("convert " + png + " " + png + " " + layered), 0);
    ASSERT_EQ(run_tool("convert " + png + " " + flat), 0);
    const bytes grey = imagemagick_pixels(png, "gray");
    ASSERT_EQ(grey.size(), 64u * 64);
    psd_bytes_layer layer{0, 0, 64, 64, {{0, psd_raw(grey)}, {1, psd_raw(grey)}, {2, psd_raw(grey)}}};
    const TLayeredImage twin = TLayeredImage::Parse(psd_document(64, 64, {layer}), "twin.psd");

    auto stack_import = [](const TLayeredImage& image) {
        auto set = create_texture_set(1);
        EXPECT_EQ(import_layers_into_stack(*set, 0, 0, image), 1) << image.name();
        return set->stacks.at(0).textures.at(0)->compressed_data;
    };
    auto terrain_import = [](const TLayeredImage& image) {
        return import_terrain_image(image)->stacks.at(0).textures.at(0)->compressed_data;
    };
    const bytes rgb = stack_import(twin);
    ASSERT_EQ(rgb.size(), 64u * 64 * 3);
    EXPECT_EQ(rgb[3 * 1000 + 2], grey[1000]);
    for (const std::string& path : {layered, flat}) {
        TLayeredImage image = TLayeredImage::Read(path);
        EXPECT_TRUE(image.greyscale());
        EXPECT_EQ(stack_import(image), rgb) << path;
        EXPECT_EQ(terrain_import(image), terrain_import(twin)) << path;
    }
    // without layers the composite's grey stands for the colours
    EXPECT_EQ(stack_import(TLayeredImage::Parse(psd_document(4, 4, {}, 8, 1), "composite.psd")), bytes(4 * 4 * 3, 200));
}

TEST(LayeredImages, DamagedFilesAreRefusedWithoutReadingPastTheirEnd)
{
    const bytes good = read_file(fixture("terrain_rle.psd"));
    // Every truncation either parses or is refused; decoding what parsed never overruns,
    // also when the file is read from disk (only what its layers need).
    TempFolder folder;
    for (size_t n = 0; n < good.size(); n += 7) {
        const bytes cut(good.begin(), good.begin() + n);
        const bool from_disk = n % 91 == 0;
        if (from_disk) write_file(folder / "cut.psd", cut);
        try {
            TLayeredImage image = from_disk ? TLayeredImage::Read(folder / "cut.psd") : TLayeredImage::Parse(cut, "cut.psd");
            for (const psd_layer& l : image.layers())
                for (const psd_channel& c : l.channels) image.channel_pixels(c);
        } catch (const XGError&) {
        }
    }

    psd_bytes_layer layer{0, 0, 2, 4, {{0, psd_packbits({{3, 1, 2, 3, 4}, {0xFD, 7}})}}};
    ASSERT_NO_THROW(TLayeredImage::Parse(psd_document(4, 2, {layer}), "ok.psd"));
    auto refused = [&](psd_bytes_layer l, const char* what) {
        std::string message = error_message([&] {
            TLayeredImage image = TLayeredImage::Parse(psd_document(4, 2, {l}), "bad.psd");
            for (const psd_channel& c : image.layers()[0].channels) image.channel_pixels(c);
        });
        EXPECT_NE(message.find("bad.psd is damaged"), std::string::npos) << what << ": " << message;
    };
    psd_bytes_layer l = layer;
    l.channels[0].stored = psd_packbits({{3, 1, 2, 3, 4}, {0xFC, 7}}); // a run one byte too long
    refused(l, "overlong run");
    l.channels[0].stored = psd_packbits({{3, 1, 2, 3, 4}, {0xFF, 7}}); // a row too short
    refused(l, "short row");
    l.channels[0].stored = {0, 9, 1, 2, 3, 4, 5, 6, 7, 8};
    refused(l, "unknown compression");
    l.channels[0].stored = psd_raw({1, 2, 3});
    refused(l, "raw data too short");
    l.channels[0].stored = psd_zip({1, 2, 3, 4, 5, 6, 7}, 4, false);
    refused(l, "zip data too short");
    l = layer;
    l.channels.push_back({-2, psd_raw({1, 2, 3, 4, 5, 6, 7, 8})});
    refused(l, "mask channel without a mask record");
    l = layer;
    l.bottom = -5;
    refused(l, "bounds upside down");

    bytes huge = psd_document(4, 2, {layer});
    huge[14] = 0x7F; // height
    EXPECT_THROW(TLayeredImage::Parse(huge, "huge.psd"), XGError);
}
