#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>

#include "shell/tag_field_text.h"
#include "shell/tag_range.h"
#include "shell/tag_text.h"

namespace {

std::vector<uint8_t> Bytes(const std::string& s)
{
    return std::vector<uint8_t>(s.begin(), s.end());
}

std::string Edit(const std::string& stored, tag_text_layout& layout)
{
    return tag_text_for_editing(reinterpret_cast<const uint8_t*>(stored.data()), stored.size(), layout);
}

} // namespace

TEST(FormValues, DecimalsAreTrimmedToOneDigitAfterThePoint)
{
    EXPECT_EQ(field_number_text(2.5, 3), "2.5");
    EXPECT_EQ(field_number_text(-1.25, 4), "-1.25");
    EXPECT_EQ(field_number_text(100.0, 2), "100.0");
    // a negative value that rounds away shows no sign
    EXPECT_EQ(field_number_text(-0.00001, 3), "0.0");
}

TEST(FormValues, OnlyNumbersAndBlankTextAreRead)
{
    double value = -1;
    for (const char* text : {"abc", "1O", "12abc", "1.2.3", "nan", "inf", "+", "-", "0x10", "1,5"}) {
        EXPECT_FALSE(field_text_parse(text, value)) << text;
        EXPECT_EQ(value, 0.0) << text;
        EXPECT_EQ(field_text_number(text), 0.0) << text;
    }
    EXPECT_TRUE(field_text_parse("   ", value));
    EXPECT_EQ(value, 0.0);
    EXPECT_EQ(field_text_number(" 3.5\t"), 3.5);
    EXPECT_EQ(field_text_number("+2"), 2.0);
    EXPECT_EQ(field_text_number("-1e2"), -100.0);
    EXPECT_EQ(field_text_number(".5"), 0.5);
    // too large for a double is still a number; the field limits it
    EXPECT_TRUE(field_text_parse("-1e999", value));
    EXPECT_EQ(field_limit(value, INT16_MIN, INT16_MAX), INT16_MIN);
}

TEST(FormValues, NumbersAreRoundedAndLimitedToTheStoredWidth)
{
    EXPECT_EQ(field_limit(2.5, -10, 10), 3);
    EXPECT_EQ(field_limit(-2.5, -10, 10), -3);
    EXPECT_EQ(field_limit(2.49, -10, 10), 2);
    EXPECT_EQ(field_limit(1e12, INT16_MIN, INT16_MAX), INT16_MAX);
    EXPECT_EQ(field_limit(-70000, INT16_MIN, INT16_MAX), INT16_MIN);
    EXPECT_EQ(field_limit(-3, 0, 65535), 0);
    EXPECT_EQ(field_limit(std::nan(""), 5, 9), 5);
    EXPECT_EQ(field_limit(4294967295.4, 0, 0xFFFFFFFFll), 0xFFFFFFFFll);
}

TEST(FormValues, RangesStoreTheirUpperBoundAsADelta)
{
    EXPECT_EQ(range_encode<int16_t>(5, 5), 0);
    EXPECT_EQ(range_encode<int16_t>(5, 8), 4);
    EXPECT_EQ(range_decode<int16_t>(5, 0), 5);
    EXPECT_EQ(range_decode<int16_t>(5, 4), 8);
    // a delta of 1 is the lower bound too
    EXPECT_EQ(range_decode<int16_t>(5, 1), 5);
    // an upper bound below the lower is limited to it
    EXPECT_EQ(range_encode<int16_t>(5, 2), 0);
    // deltas and bounds beyond the width are limited
    EXPECT_EQ(range_encode<int16_t>(-30000, 30000), INT16_MAX);
    EXPECT_EQ(range_decode<int16_t>(30000, 30000), INT16_MAX);
    EXPECT_EQ(range_encode<uint8_t>(0, 255), 255);
    EXPECT_EQ(range_encode<uint8_t>(10, 20), 11);
    EXPECT_EQ(range_decode<uint32_t>(0xFFFFFFF0u, 0x100u), 0xFFFFFFFFu);
    EXPECT_EQ(range_encode<int32_t>(INT32_MIN, INT32_MAX), INT32_MAX);
    EXPECT_EQ(range_decode<int8_t>(-128, -1), -128);
    EXPECT_FLOAT_EQ(range_encode(1.5f, 3.5f), 3.0f);
    EXPECT_FLOAT_EQ(range_encode(1.5f, 1.5f), 0.0f);
    EXPECT_FLOAT_EQ(range_decode(1.5f, 3.0f), 3.5f);
    EXPECT_FLOAT_EQ(range_decode(1.5f, 0.0f), 1.5f);
}

TEST(FormValues, TagTextKeepsItsLineBreaksAndTerminators)
{
    tag_text_layout layout;
    EXPECT_EQ(Edit("one\r\ntwo\r\n", layout), "one\ntwo\n");
    EXPECT_EQ(layout.line_break, "\r\n");
    EXPECT_EQ(tag_text_bytes("one\nthree\n", layout), Bytes("one\r\nthree\r\n"));

    EXPECT_EQ(Edit("a\rb", layout), "a\nb");
    EXPECT_EQ(tag_text_bytes("a\nb\nc", layout), Bytes("a\rb\rc"));

    EXPECT_EQ(Edit("a\nb", layout), "a\nb");
    EXPECT_EQ(tag_text_bytes("x\n", layout), Bytes("x\n"));

    // mixed breaks all show as one; the first decides how edited text is written
    EXPECT_EQ(Edit("a\nb\r\nc\rd", layout), "a\nb\nc\nd");
    EXPECT_EQ(layout.line_break, "\n");

    // terminators are kept, NULs inside show as blanks
    std::string stored("name\0x\0\0", 8);
    EXPECT_EQ(Edit(stored, layout), "name x");
    EXPECT_EQ(layout.trailing_nuls, 2u);
    std::vector<uint8_t> expected = Bytes("name y");
    expected.push_back(0);
    expected.push_back(0);
    EXPECT_EQ(tag_text_bytes("name y", layout), expected);

    // a text without breaks writes new lines as the game's CR
    EXPECT_EQ(Edit("", layout), "");
    EXPECT_EQ(tag_text_bytes("p\nq", layout), Bytes("p\rq"));
    // bytes above 127 pass through
    EXPECT_EQ(Edit("\xE9t\xE9", layout), "\xE9t\xE9");
}
