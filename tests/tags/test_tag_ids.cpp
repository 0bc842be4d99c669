#include <gtest/gtest.h>

#include "support/tag_file_bytes.h"
#include "tags/tags.h"

TEST(TagIds, DerivedFromNames)
{
    EXPECT_EQ(tag_id_from_name("fire bolt"), code("fibo"));
    EXPECT_EQ(tag_id_from_name("Fire Bolt"), code("fibo"));
    EXPECT_EQ(tag_id_from_name("big red dragon"), code("bird"));
    EXPECT_EQ(tag_id_from_name("a"), code("a___"));
    EXPECT_EQ(tag_id_from_name("a bow"), code("abow")) << "after a one-letter word the next starts at 1";
    EXPECT_EQ(tag_id_from_name("x(y)z"), code("xyz_"));
    EXPECT_EQ(tag_id_from_name("  spaced--out..name "), code("spon"));
    EXPECT_EQ(tag_id_from_name(""), code("____"));
    EXPECT_EQ(tag_id_from_name("thunderstorm"), code("thun"));
}

TEST(TagIds, SuccessorsCarryAndWrap)
{
    EXPECT_EQ(next_tag_id(code("fibo")), code("fibp"));
    EXPECT_EQ(next_tag_id(code("fi__")), code("fj00"));
    EXPECT_EQ(next_tag_id(code("abc9")), code("abca"));
    EXPECT_EQ(next_tag_id(code("abcz")), code("abd0"));
    EXPECT_EQ(next_tag_id(code("zzzz")), code("0000"));
}

TEST(TagIds, FourScopes)
{
    TTagStore store;
    tag_file* a = store.new_tag_file();
    tag_file* b = store.new_tag_file();
    store.create_tag(a, code("soun"), code("fibo"), 1, "x", 0, 0, nullptr);
    store.create_tag(b, code("mons"), code("fibo"), 1, "y", 0, 0, nullptr);

    EXPECT_EQ(store.make_tag_id("fire bolt", 0, nullptr), code("fibo")) << "no check";
    EXPECT_EQ(store.make_tag_id("fire bolt", code("soun"), nullptr), code("fibp")) << "all open tags of the type";
    EXPECT_EQ(store.make_tag_id("fire bolt", code("soun"), b), code("fibo")) << "only b's sounds";
    EXPECT_EQ(store.make_tag_id("fire bolt", 0, b), code("fibp")) << "any type in b";
    EXPECT_EQ(store.make_tag_id("fire bolt", code("mons"), a), code("fibo"));
}

TEST(TagCodes, TextConversion)
{
    EXPECT_EQ(tag_code_to_text(code("mesh")), "mesh");
    EXPECT_EQ(tag_code_to_text(code(".256")), ".256");
    EXPECT_EQ(tag_code_to_text(0x41014243), "A_BC");
    EXPECT_EQ(tag_code_to_text(0x41004243), "A___");
    EXPECT_EQ(text_to_tag_code("soun"), code("soun"));
    EXPECT_EQ(text_to_tag_code("sounds"), code("soun"));
    EXPECT_EQ(text_to_tag_code("ab"), code("ab__"));
    EXPECT_EQ(text_to_tag_code("\x01\x02"), NONE_TAG);
    EXPECT_EQ(text_to_tag_code("____"), NONE_TAG);
}
