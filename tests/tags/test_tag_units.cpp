#include <gtest/gtest.h>

#include <clocale>
#include <cmath>

#include "tags/tag_units.h"

TEST(TagUnits, FractionsRoundHalvesAwayAndClamp)
{
    EXPECT_EQ(encode_fraction16(0.5), 32768);
    EXPECT_EQ(encode_fraction16(1.0), 65535);
    EXPECT_EQ(encode_fraction16(1.5), 65535);
    EXPECT_EQ(encode_fraction16(-0.2), 0);
    EXPECT_EQ(encode_fraction16(NAN), 0);
    EXPECT_EQ(encode_fraction8(0.5), 128);
    EXPECT_EQ(encode_fraction8(2.0), 255);
    EXPECT_EQ(encode_fraction8(-1.0), 0);
}

TEST(TagUnits, SixteenBitUnitsKeepTheirLowBits)
{
    EXPECT_EQ(encode_fixed8(1.0), 256);
    EXPECT_EQ(encode_fixed8(-1.5), -384);
    EXPECT_EQ(encode_fixed8(-0.001), 0);
    EXPECT_EQ(encode_fixed8(-0.002), -1);
    EXPECT_EQ(encode_fixed8(2.5 / 256), 3);
    EXPECT_EQ(encode_fixed8(200.0), int16_t(51200 - 65536));
    EXPECT_EQ(fixed8_raw(200.0), 51200);
    EXPECT_EQ(fixed8_raw(1e300), int64_t(1) << 40);
    EXPECT_EQ(fixed8_raw(-INFINITY), -(int64_t(1) << 40));
    EXPECT_EQ(world_distance_raw(1.5 / 512), 2);
    EXPECT_EQ(world_distance_raw(-1.5 / 512), -2);
    EXPECT_EQ(encode_world_distance(64.0), -32768);
    EXPECT_EQ(angle16_raw(90), 16384);
    EXPECT_EQ(angle16_raw(-0.5 * 360 / 65536), 0); // floor(x + 0.5) rounds halves up
    EXPECT_EQ(encode_angle16(360), 0);
}

TEST(TagUnits, Ranges)
{
    EXPECT_EQ(range_delta(256, 256), 0);
    EXPECT_EQ(range_delta(256, 257), 2);
    EXPECT_EQ(range_delta(300, 200), -99);
    EXPECT_EQ(range_upper_bound(3, 4), 6);
    EXPECT_EQ(range_upper_bound(3, 0), 3);
    EXPECT_EQ(range_upper_bound(3, 1), 3);
    EXPECT_EQ(range_upper_bound(32767, 10), 32776);
    for (int16_t delta : {0, 2, 5, 300}) EXPECT_EQ(range_delta(-7, int16_t(range_upper_bound(-7, delta))), delta);
}

TEST(TagUnits, TrimmedDecimalsIgnoreTheLocale)
{
    EXPECT_EQ(format_trimmed(2.5, 3), "2.5");
    EXPECT_EQ(format_trimmed(3.0, 3), "3.0");
    EXPECT_EQ(format_trimmed(0.0, 4), "0.0");
    EXPECT_EQ(format_trimmed(100.0, 0), "100");
    EXPECT_EQ(format_trimmed(-0.0039, 3), "-0.004");
    EXPECT_EQ(format_trimmed(0.1953125, 3), "0.195");
    EXPECT_EQ(format_decimal(128 / 255.0, 6), "0.501961");
    if (std::setlocale(LC_ALL, "de_DE.UTF-8")) {
        EXPECT_EQ(format_trimmed(2.5, 3), "2.5");
        std::setlocale(LC_ALL, "C");
    }
}
