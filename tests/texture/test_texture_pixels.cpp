#include <gtest/gtest.h>

#include "framework/XGError.h"
#include "support/tag_file_bytes.h"
#include "texture/jpeg_codec.h"
#include "texture/texture_pixels.h"
#include "texture/texture_text.h"
#include "texture_test_support.h"

namespace {

std::unique_ptr<stacked_texture> JpegTexture(const texture_image& image, int quality)
{
    auto t = std::make_unique<stacked_texture>();
    t->width = uint16_t(image.width);
    t->height = uint16_t(image.height);
    t->channels = uint8_t(image.channels);
    t->format = TEXTURE_FORMAT_JPEG;
    t->compressed_data = encode_texture_jpeg(image, quality);
    return t;
}

std::unique_ptr<stacked_texture> RawTexture(const texture_image& image)
{
    auto t = std::make_unique<stacked_texture>();
    t->width = uint16_t(image.width);
    t->height = uint16_t(image.height);
    t->channels = uint8_t(image.channels);
    t->compressed_data = image.pixels;
    return t;
}

texture_image Decoded(const stacked_texture& t)
{
    texture_image image;
    std::string why;
    EXPECT_TRUE(decode_texture(t, {0, true}, image, &why)) << why;
    return image;
}

} // namespace

TEST(TexturePixels, JpegStreamsAgreeWithAnIndependentDecoder)
{
    TempFolder folder;
    for (uint32_t channels : {1u, 3u}) {
        // Not square and not symmetric, so that swapped rows, columns or channels show.
        texture_image image = smooth_image(40, 24, channels, 7);
        auto t = JpegTexture(image, 90);
        const std::string path = folder / ("stream" + std::to_string(channels) + ".jpg");
        write_file(path, t->compressed_data);
        bytes theirs = imagemagick_pixels(path, channels == 1 ? "gray" : "rgb");
        ASSERT_EQ(theirs.size(), image.pixels.size());
        texture_image ours = Decoded(*t);
        EXPECT_EQ(ours.width, 40u);
        EXPECT_EQ(ours.height, 24u);
        EXPECT_LE(max_difference(ours.pixels, theirs), 6) << channels;
        EXPECT_LE(max_difference(ours.pixels, image.pixels), channels == 1 ? 12 : 60) << channels;
    }
}

TEST(TexturePixels, FourChannelsStoreAColourStreamThenAnAlphaStream)
{
    TempFolder folder;
    texture_image image = smooth_image(32, 16, 4, 3);
    auto t = JpegTexture(image, 85);
    const bytes& data = t->compressed_data;
    const uint32_t length = (uint32_t(data[0]) << 16) | (uint32_t(data[1]) << 8) | data[2];
    ASSERT_LT(3 + length, data.size());
    write_file(folder / "colour.jpg", bytes(data.begin() + 3, data.begin() + 3 + length));
    write_file(folder / "alpha.jpg", bytes(data.begin() + 3 + length, data.end()));
    bytes colour = imagemagick_pixels(folder / "colour.jpg", "rgb");
    bytes alpha = imagemagick_pixels(folder / "alpha.jpg", "gray");
    ASSERT_EQ(colour.size(), 32u * 16 * 3);
    ASSERT_EQ(alpha.size(), 32u * 16);

    texture_image ours = Decoded(*t);
    ASSERT_EQ(ours.channels, 4u);
    bytes our_colour, our_alpha;
    for (size_t i = 0; i < 32 * 16; ++i) {
        our_colour.insert(our_colour.end(), &ours.pixels[4 * i], &ours.pixels[4 * i + 3]);
        our_alpha.push_back(ours.pixels[4 * i + 3]);
    }
    EXPECT_LE(max_difference(our_colour, colour), 6);
    EXPECT_LE(max_difference(our_alpha, alpha), 6);

    // A length past the end, or a damaged stream, is reported rather than decoded.
    stacked_texture bad;
    bad.width = 32;
    bad.height = 16;
    bad.channels = 4;
    bad.format = TEXTURE_FORMAT_JPEG;
    bad.compressed_data = data;
    bad.compressed_data[0] = 0x7F;
    texture_image out;
    std::string why;
    EXPECT_FALSE(decode_texture(bad, {}, out, &why));
    bad.compressed_data = data;
    bad.compressed_data.resize(3 + length + 40);
    EXPECT_FALSE(decode_texture(bad, {}, out, &why));
    EXPECT_FALSE(why.empty());
}

TEST(TexturePixels, DecodingScalesByTheRequestedWidth)
{
    auto t = JpegTexture(smooth_image(64, 32, 3, 1), 90);
    texture_image half;
    ASSERT_TRUE(decode_texture(*t, {32, false}, half));
    EXPECT_EQ(half.width, 32u);
    EXPECT_EQ(half.height, 16u);
    // A stream whose size disagrees with the texture's is refused.
    t->width = 60;
    texture_image out;
    EXPECT_FALSE(decode_texture(*t, {}, out));
}

// The decoder writes rows differently by their alignment; every start gives the same pixels.
TEST(TexturePixels, DecodingIntoABufferGivesThePixelsOfADecodedImage)
{
    std::vector<std::unique_ptr<stacked_texture>> textures;
    for (uint32_t channels : {1u, 3u, 4u}) textures.push_back(JpegTexture(smooth_image(64, 24, channels, 3), 90));
    textures.push_back(RawTexture(smooth_image(64, 24, 3, 4)));
    std::vector<uint8_t> block(64 * 24 * 4 + 128);
    uint8_t* aligned = block.data() + (64 - reinterpret_cast<uintptr_t>(block.data()) % 64);
    for (const auto& t : textures) {
        const bytes expected = Decoded(*t).pixels;
        const texture_pixels_info info{t->format, t->channels, t->width, t->height};
        for (size_t offset : {0, 16, 32, 48}) {
            std::fill(block.begin(), block.end(), 0xEE);
            std::string why;
            ASSERT_TRUE(decode_texture_data_into(t->compressed_data.data(), t->compressed_data.size(), info, true,
                                                 aligned + offset, &why))
                << why;
            EXPECT_EQ(bytes(aligned + offset, aligned + offset + expected.size()), expected)
                << int(t->channels) << " channels at " << offset;
            EXPECT_EQ(aligned[offset + expected.size()], 0xEE); // nothing written past the image
        }
    }

    // What does not fit is refused with a reason.
    std::string why;
    const stacked_texture& colour = *textures[1];
    texture_pixels_info info{colour.format, 3, 64, 24};
    jpeg_decode_options options;
    EXPECT_FALSE(jpeg_decode_into(colour.compressed_data.data(), colour.compressed_data.size(), options, block.data(),
                                  64 * 24 * 3 - 1, &why));
    EXPECT_NE(why.find("does not fit"), std::string::npos) << why;
    info.width = 60;
    EXPECT_FALSE(decode_texture_data_into(colour.compressed_data.data(), colour.compressed_data.size(), info, true,
                                          block.data(), &why));
    EXPECT_NE(why.find("not 60x24"), std::string::npos) << why;
    info.width = 64;
    EXPECT_FALSE(decode_texture_data_into(colour.compressed_data.data(), colour.compressed_data.size() / 2, info, true,
                                          block.data(), &why));
    EXPECT_FALSE(why.empty());
    const stacked_texture& raw = *textures[3];
    EXPECT_FALSE(decode_texture_data_into(raw.compressed_data.data(), raw.compressed_data.size() - 1,
                                          {TEXTURE_FORMAT_RAW, 3, 64, 24}, true, block.data(), &why));
    EXPECT_NE(why.find("not 4608"), std::string::npos) << why;
}

TEST(TexturePixels, SplitThenMergeGivesBackTheSameBytes)
{
    for (uint8_t format : {TEXTURE_FORMAT_JPEG, TEXTURE_FORMAT_RAW}) {
        texture_image image = smooth_image(16, 16, 4, 5);
        auto set = create_texture_set(1);
        auto t = format == TEXTURE_FORMAT_JPEG ? JpegTexture(image, 80) : RawTexture(image);
        t->layer = 2;
        const bytes original = t->compressed_data;
        stacked_texture* rgba = t.get();
        insert_texture(set.get(), 0, -1, patterned_texture(2, 2, 3, 1));
        insert_texture(set.get(), 0, -1, std::move(t));
        insert_texture(set.get(), 0, -1, patterned_texture(2, 2, 1, 2));

        stacked_texture* alpha = split_rgba(*set, rgba);
        ASSERT_NE(alpha, nullptr);
        auto& list = set->stacks[0].textures;
        ASSERT_EQ(list.size(), 4u);
        EXPECT_EQ(list[2].get(), alpha);
        EXPECT_EQ(rgba->channels, 3);
        EXPECT_EQ(alpha->channels, 1);
        EXPECT_EQ(alpha->use, TEXTURE_USE_SKIN_MODIFIER);
        EXPECT_EQ(alpha->layer, 2);
        EXPECT_EQ(alpha->format, format);
        EXPECT_EQ(rgba->data_size() + alpha->data_size() + (format == TEXTURE_FORMAT_JPEG ? 3u : 0u), original.size());
        if (format == TEXTURE_FORMAT_RAW) {
            EXPECT_EQ(rgba->compressed_data[3], original[4]);
            EXPECT_EQ(alpha->compressed_data[1], original[7]);
        }

        EXPECT_EQ(merge_rgb_and_a(*set, alpha, rgba), rgba);
        EXPECT_EQ(rgba->channels, 4);
        EXPECT_EQ(rgba->compressed_data, original);
        EXPECT_EQ(list.size(), 3u);
    }
}

TEST(TexturePixels, MergingConvertsTheAlphaToTheColoursFormat)
{
    texture_image colour_image = smooth_image(24, 24, 3, 2);
    texture_image alpha_image = smooth_image(24, 24, 1, 9);

    // Raw colour, JPEG alpha: the alpha is decoded and interleaved.
    auto set = create_texture_set(1);
    stacked_texture* colour = RawTexture(colour_image).release();
    stacked_texture* alpha = JpegTexture(alpha_image, 90).release();
    insert_texture(set.get(), 0, -1, std::unique_ptr<stacked_texture>(colour));
    insert_texture(set.get(), 0, -1, std::unique_ptr<stacked_texture>(alpha));
    const texture_image decoded_alpha = Decoded(*alpha);
    ASSERT_EQ(merge_rgb_and_a(*set, colour, alpha), colour);
    EXPECT_EQ(colour->format, TEXTURE_FORMAT_RAW);
    ASSERT_EQ(colour->data_size(), 24u * 24 * 4);
    EXPECT_EQ(colour->compressed_data[4 * 30 + 3], decoded_alpha.pixels[30]);
    EXPECT_EQ(colour->compressed_data[4 * 30 + 1], colour_image.pixels[3 * 30 + 1]);

    // JPEG colour, raw alpha: the colour stream is kept as it is, the alpha encoded.
    set = create_texture_set(1);
    colour = JpegTexture(colour_image, 60).release();
    alpha = RawTexture(alpha_image).release();
    const bytes colour_stream = colour->compressed_data;
    insert_texture(set.get(), 0, -1, std::unique_ptr<stacked_texture>(alpha));
    insert_texture(set.get(), 0, -1, std::unique_ptr<stacked_texture>(colour));
    ASSERT_EQ(merge_rgb_and_a(*set, alpha, colour), colour);
    EXPECT_EQ(set->stacks[0].textures.size(), 1u);
    const bytes& merged = colour->compressed_data;
    EXPECT_EQ((uint32_t(merged[0]) << 16) | (uint32_t(merged[1]) << 8) | merged[2], colour_stream.size());
    EXPECT_TRUE(std::equal(colour_stream.begin(), colour_stream.end(), merged.begin() + 3));
    texture_image both = Decoded(*colour);
    bytes alpha_back;
    for (size_t i = 0; i < 24 * 24; ++i) alpha_back.push_back(both.pixels[4 * i + 3]);
    EXPECT_LE(max_difference(alpha_back, alpha_image.pixels), 40);
}

TEST(TexturePixels, MergeAndSplitRefuseWhatDoesNotQualify)
{
    auto set = create_texture_set(1);
    stacked_texture* colour = patterned_texture(4, 4, 3, 1).release();
    stacked_texture* other_size = patterned_texture(4, 2, 1, 2).release();
    stacked_texture* two_colours = patterned_texture(4, 4, 3, 3).release();
    for (stacked_texture* t : {colour, other_size, two_colours})
        insert_texture(set.get(), 0, -1, std::unique_ptr<stacked_texture>(t));
    const bytes before = colour->compressed_data;
    EXPECT_EQ(merge_rgb_and_a(*set, colour, other_size), nullptr);
    EXPECT_EQ(merge_rgb_and_a(*set, colour, two_colours), nullptr);
    EXPECT_EQ(split_rgba(*set, colour), nullptr);
    stacked_texture outside;
    outside.channels = 4;
    EXPECT_EQ(split_rgba(*set, &outside), nullptr);
    EXPECT_EQ(set->stacks[0].textures.size(), 3u);
    EXPECT_EQ(colour->compressed_data, before);
}

TEST(TexturePixels, RecompressionKeepsJpegOnlyWhenItSavesEnough)
{
    // A smooth colour map shrinks a lot: JPEG is kept.
    auto smooth = RawTexture(smooth_image(128, 128, 3, 4));
    recompress_texture(*smooth, 85);
    EXPECT_EQ(smooth->format, TEXTURE_FORMAT_JPEG);
    EXPECT_LT(smooth->data_size(), 128u * 128 * 3 / 4);

    // Noise does not: the raw data stays.
    auto noise = patterned_texture(64, 64, 1, 11);
    const bytes raw = noise->compressed_data;
    recompress_texture(*noise, 100);
    EXPECT_EQ(noise->format, TEXTURE_FORMAT_RAW);
    EXPECT_EQ(noise->compressed_data, raw);

    // A small texture: the JPEG saves less than 1000 bytes and less than 5 %.
    auto small = RawTexture(smooth_image(8, 8, 1, 1));
    recompress_texture(*small, 50);
    EXPECT_EQ(small->format, TEXTURE_FORMAT_RAW);

    // Qualities outside 1..100 store the pixels raw.
    for (int q : {0, 101, -1}) {
        auto t = JpegTexture(smooth_image(32, 32, 4, 2), 80);
        recompress_texture(*t, q);
        EXPECT_EQ(t->format, TEXTURE_FORMAT_RAW) << q;
        EXPECT_EQ(t->data_size(), 32u * 32 * 4) << q;
    }

    // Two channels have no JPEG layout.
    auto pair = RawTexture(smooth_image(64, 64, 2, 3));
    recompress_texture(*pair, 85);
    EXPECT_EQ(pair->format, TEXTURE_FORMAT_RAW);

    // Data that does not decode is reported and left alone.
    auto broken = JpegTexture(smooth_image(32, 32, 3, 2), 80);
    broken->compressed_data.resize(broken->compressed_data.size() / 2);
    const bytes kept = broken->compressed_data;
    EXPECT_THROW(recompress_texture(*broken, 50), XGError);
    EXPECT_EQ(broken->compressed_data, kept);
    EXPECT_EQ(broken->format, TEXTURE_FORMAT_JPEG);
}

TEST(TexturePixels, QualityMatchingFindsTheQualityAStreamWasMadeWith)
{
    // The stream's decoded pixels are encoded again, and neighbouring qualities can give
    // streams of one size: the match is within one step.
    for (uint32_t channels : {1u, 3u}) {
        texture_image image = smooth_image(64, 64, channels, 8);
        for (int q : {12, 37, 55, 80}) {
            std::vector<uint8_t> stream = jpeg_encode(image.pixels.data(), 64, 64, channels, q);
            int matched = match_jpeg_quality(stream.data(), stream.size(), 64, 64, channels);
            EXPECT_LE(std::abs(matched - q), 1) << q;
        }
    }
}

TEST(TexturePixels, HalvingAveragesBlocksAndPairs)
{
    texture_image block{2, 2, 1, {1, 2, 3, 5}};
    halve_image(block);
    EXPECT_EQ(block.width, 1u);
    EXPECT_EQ(block.pixels, bytes{3}); // (1 + 2 + 3 + 5 + 2) >> 2

    texture_image row{3, 1, 2, {10, 1, 21, 2, 99, 99}};
    halve_image(row);
    EXPECT_EQ(row.width, 1u);
    EXPECT_EQ(row.pixels, (bytes{16, 2})); // (10 + 21 + 1) >> 1, (1 + 2 + 1) >> 1

    texture_image column{1, 4, 1, {0, 1, 200, 100}};
    halve_image(column);
    EXPECT_EQ(column.height, 2u);
    EXPECT_EQ(column.pixels, (bytes{1, 150}));

    texture_image odd{5, 3, 1, bytes(15, 7)};
    halve_image(odd);
    EXPECT_EQ(odd.width, 2u);
    EXPECT_EQ(odd.height, 1u);

    auto big = JpegTexture(smooth_image(512, 200, 3, 1), 80);
    ASSERT_TRUE(make_preview(*big));
    EXPECT_EQ(big->preview->width, 128u);
    EXPECT_EQ(big->preview->height, 50u);

    // JPEG previews are decoded at a scale and come out as the halved full decode, at
    // 1/2, 1/4 and 1/8, and where a side turns odd (250 -> 125 -> 62).
    struct Case {
        uint32_t width, height, channels, largest;
    };
    for (Case c : {Case{256, 96, 3, 64}, Case{1024, 512, 1, 128}, Case{250, 96, 4, 64}, Case{64, 64, 3, 32}}) {
        SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height) + "x" + std::to_string(c.channels));
        auto t = JpegTexture(smooth_image(c.width, c.height, c.channels, 5), 85);
        texture_image halved;
        ASSERT_TRUE(decode_texture(*t, {0, false}, halved));
        while (halved.width > c.largest || halved.height > c.largest) halve_image(halved);
        ASSERT_TRUE(make_preview(*t, c.largest));
        EXPECT_EQ(t->preview->width, halved.width);
        EXPECT_EQ(t->preview->height, halved.height);
        EXPECT_EQ(t->preview->channels, c.channels);
        EXPECT_LE(max_difference(t->preview->pixels, halved.pixels), 8);
    }
    big->compressed_data.resize(20);
    EXPECT_FALSE(make_preview(*big));
    EXPECT_EQ(big->preview, nullptr);

    // A texture without pixels (a side of 0) has no preview.
    stacked_texture flat;
    flat.width = 300;
    flat.channels = 3;
    EXPECT_FALSE(make_preview(flat));

}

TEST(TextureText, ListLinesNameSizeFormatAndUse)
{
    stacked_texture t;
    t.channels = 3;
    t.width = 128;
    t.height = 64;
    t.compressed_data.resize(4096);
    t.format = TEXTURE_FORMAT_JPEG;
    t.use = 1;
    t.layer = 4;
    EXPECT_EQ(texture_list_text(t), (std::vector<std::string>{"rgb 128 x 64", "jpeg, 4.0 k (17%)", "detail mask 4"}));
    t.format = 0;
    t.channels = 2;
    t.compressed_data.resize(128 * 64 * 2);
    t.use = 9;
    t.layer = 2;
    EXPECT_EQ(texture_list_text(t),
              (std::vector<std::string>{"lum/alpha 128 x 64", "raw data, 16.0 k (100%)", "use 9 layer 2"}));
    t.format = 7;
    t.channels = 0;
    EXPECT_EQ(texture_list_text(t)[1], "format 7, 16.0 k (0%)"); // no raw size: no division by zero

    const char* uses[] = {"base texture",    "detail mask 1", "detail texture 1", "skin modifier 1",
                          "logo mask",       "glow mask",     "reflect mask"};
    for (uint8_t u = 0; u < 7; ++u) EXPECT_EQ(texture_use_text(u, 1), uses[u]);
    EXPECT_EQ(texture_channels_name(1), "alpha");
    EXPECT_EQ(texture_channels_name(4), "rgba");
}

TEST(TextureText, InfoChoicesAndPlacement)
{
    stacked_texture t;
    t.channels = 1;
    t.use = TEXTURE_USE_GLOW_MASK;
    EXPECT_STREQ(texture_info_choices(1)[texture_info_selected_choice(t)].name, "Skin Glow Mask");
    t.use = TEXTURE_USE_DETAIL_TEXTURE;
    EXPECT_STREQ(texture_info_choices(1)[texture_info_selected_choice(t)].name, "Skin Team Color Mask");
    t.channels = 3;
    EXPECT_STREQ(texture_info_choices(3)[texture_info_selected_choice(t)].name, "Detail Texture");
    t.use = TEXTURE_USE_LOGO_MASK;
    EXPECT_STREQ(texture_info_choices(3)[texture_info_selected_choice(t)].name, "Base Colormap");
    EXPECT_EQ(texture_info_choices(1).size(), 5u);

    t.origin_x = 100;
    t.origin_y = 200;
    detail_placement p = texture_detail_placement(t);
    EXPECT_EQ(p.u_x, -64);
    EXPECT_EQ(p.v_y, 64);
    EXPECT_EQ(p.origin_x, 0); // the origin counts only with its axis
    t.v_x = 3;
    p = texture_detail_placement(t);
    EXPECT_EQ(p.origin_y, 200);
    EXPECT_EQ(p.v_x, 3);
    EXPECT_EQ(p.v_y, 0);
    EXPECT_EQ(p.u_x, -64);
    EXPECT_EQ(texture_placement_text(-64, 256), "-1.000");
    EXPECT_EQ(texture_placement_text(100, 64), "0.391");
    // read back: value x 16384 / side, rounded; what is no number or does not fit is refused
    int16_t v = 0;
    EXPECT_TRUE(texture_placement_value(" -1.000 ", 256, &v));
    EXPECT_EQ(v, -64);
    EXPECT_TRUE(texture_placement_value("0.391", 64, &v));
    EXPECT_EQ(v, 100);
    for (const char* bad : {"", "x", "1.5q", "nan", "inf", "128.0"}) EXPECT_FALSE(texture_placement_value(bad, 64, &v)) << bad;
    EXPECT_FALSE(texture_placement_value("1", 0, &v));
    EXPECT_EQ(v, 100);
}
