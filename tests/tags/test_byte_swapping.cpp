#include <gtest/gtest.h>

#include <cstring>

#include "framework/XGError.h"
#include "support/tag_file_bytes.h"
#include "tags/byte_swapping.h"

namespace {
const bs_code amso_codes[] = {-100, 1, -4, -2, -2, -2, -2, -100, 6, -4, -101, -2, 10, 12, 4, -101};
}

TEST(ByteSwapping, DescriptionSizeCountsBytesAndCodes)
{
    bs_description_size s = byte_swap_description_size(amso_codes);
    EXPECT_EQ(s.bytes, 64);
    EXPECT_EQ(s.codes, 16);
    const bs_code nested[] = {-100, 2, -2, -100, 3, -4, 1, -101, -101};
    EXPECT_EQ(byte_swap_description_size(nested).bytes, 2 * (2 + 3 * 5));
    EXPECT_EQ(byte_swap_description_size(nested).codes, 9);
}

TEST(ByteSwapping, AmsoFieldsConvertAndTwiceIsIdentity)
{
    bytes data = make_bytes(64, 1);
    bytes original = data;
    byte_swap_data("amso", data.data(), 64, 1, amso_codes);
    // the first 4-byte field reversed, then four 2-byte fields, six 4-byte fields, one 2-byte
    EXPECT_EQ(data[0], original[3]);
    EXPECT_EQ(data[3], original[0]);
    for (int f = 0; f < 4; ++f) EXPECT_EQ(data[4 + 2 * f], original[5 + 2 * f]);
    for (int f = 0; f < 6; ++f) EXPECT_EQ(data[12 + 4 * f], original[15 + 4 * f]);
    EXPECT_EQ(data[36], original[37]);
    // raw bytes untouched
    EXPECT_TRUE(std::equal(data.begin() + 38, data.end(), original.begin() + 38));
    byte_swap_data("amso", data.data(), 64, 1, amso_codes);
    EXPECT_EQ(data, original);
}

TEST(ByteSwapping, CountConvertsConsecutiveStructures)
{
    const bs_code pair[] = {-100, 1, -2, 2, -101};
    bytes data = {1, 2, 3, 4, 5, 6, 7, 8};
    byte_swap_data("pair", data.data(), 4, 2, pair);
    EXPECT_EQ(data, (bytes{2, 1, 3, 4, 6, 5, 7, 8}));
    const bs_code six[] = {-100, 1, -100, 6, -4, -101, -101};
    bytes longs = make_bytes(24, 3);
    bytes copy(24);
    byte_swap_copy("six", copy.data(), longs.data(), 24, 1, six);
    for (int i = 0; i < 6; ++i)
        for (int k = 0; k < 4; ++k) EXPECT_EQ(copy[4 * i + k], longs[4 * i + 3 - k]);
}

TEST(ByteSwapping, SizeMismatchConvertsNothing)
{
    bytes data = make_bytes(64, 2);
    bytes original = data;
    try {
        byte_swap_data("amso", data.data(), 60, 1, amso_codes);
        FAIL();
    } catch (const XGError& e) {
        EXPECT_EQ(e.GetCode(), 0x800001u);
        EXPECT_EQ(e.GetMessage(), "Internal software error (size_in_bytes==data_size) at byte_swapping 55");
    }
    EXPECT_EQ(data, original);
    bytes target(64, 0xAA);
    EXPECT_THROW(byte_swap_copy("amso", target.data(), data.data(), 68, 1, amso_codes), XGError);
    EXPECT_EQ(target, bytes(64, 0xAA));
    // the check alone
    EXPECT_NO_THROW(byte_swap_data("amso", nullptr, 64, 0, amso_codes));
}

TEST(ByteSwapping, BadDescriptionsAreRejected)
{
    const bs_code zero[] = {-100, 1, -100, 0, -4, -101, -101};
    EXPECT_THROW(byte_swap_description_size(zero), XGError);
    const bs_code unknown[] = {-100, 1, -3, -101};
    EXPECT_THROW(byte_swap_description_size(unknown), XGError);
}

TEST(ByteSwapping, MemoryShortAndLongRuns)
{
    bytes longs(40000 * 4);
    for (size_t i = 0; i < 40000; ++i) put_be32(longs, 4 * i, uint32_t(i * 2654435761u));
    byte_swap_memory("samples", longs.data(), 40000, _4byte);
    for (size_t i = 0; i < 40000; ++i) {
        uint32_t v;
        std::memcpy(&v, longs.data() + 4 * i, 4);
        ASSERT_EQ(v, uint32_t(i * 2654435761u));
    }
    bytes shorts = {1, 2, 3, 4};
    byte_swap_memory("pcm", shorts.data(), 2, _2byte);
    EXPECT_EQ(shorts, (bytes{2, 1, 4, 3}));
    bytes raw = {1, 2, 3};
    byte_swap_memory("raw", raw.data(), 3, 1);
    EXPECT_EQ(raw, (bytes{1, 2, 3}));
    EXPECT_THROW(byte_swap_memory("raw", raw.data(), 40000, 1), AssertionThrown);
}
