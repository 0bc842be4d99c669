#include <gtest/gtest.h>

#include <string>

#include "framework/XGMenuResource.h"
#include "framework/XGViewRecord.h"

namespace {

const char kDialog[] = R"(# a comment
dlog 0 0 0 300 200 "A \"quoted\" title" default=100 min=200x100
  text 5 10 10 100 20 "Name:" bold
  grou 0 10 40 280 100 "Group"
    radb 3 8 20 120 20 "One" value=1
    radb 4 8 44 120 20 "Two"
  popm 9 10 150 100 22 item="First item" item=Second
  pbtn 100 200 160 80 24 "OK"
)";

XGViewRecord Parse(const std::string& text)
{
    XGViewRecord r;
    std::string why;
    EXPECT_TRUE(XGParseViewText(text, r, &why)) << why;
    return r;
}

std::string ParseError(const std::string& text)
{
    XGViewRecord r;
    std::string why;
    EXPECT_FALSE(XGParseViewText(text, r, &why)) << text;
    return why;
}

} // namespace

TEST(ViewResourceText, NestingAttributesAndTextsAreRead)
{
    XGViewRecord r = Parse(kDialog);
    EXPECT_EQ(r.classCode, "dlog"_4cc);
    EXPECT_EQ(r.text, "A \"quoted\" title");
    EXPECT_EQ(r.frame, (XGRect{0, 0, 300, 200}));
    EXPECT_EQ(r.GetInt("default", 0), 100);
    int32_t w = 0, h = 0;
    EXPECT_TRUE(XGParseSize(r.Get("min"), w, h));
    EXPECT_EQ(w, 200);
    EXPECT_EQ(h, 100);

    ASSERT_EQ(r.children.size(), 4u);
    EXPECT_TRUE(r.children[0].Has("bold"));
    const XGViewRecord& group = r.children[1];
    ASSERT_EQ(group.children.size(), 2u);
    EXPECT_EQ(group.children[0].id, 3);
    EXPECT_EQ(group.children[0].GetInt("value", 0), 1);
    EXPECT_EQ(group.children[1].text, "Two");
    // a sibling after a nested group goes back to the top record
    EXPECT_EQ(r.children[2].GetAll("item"), (std::vector<std::string>{"First item", "Second"}));
    EXPECT_EQ(r.children[3].id, 100);
}

TEST(ViewResourceText, MistakesAreNamedWithTheirLine)
{
    EXPECT_EQ(ParseError("dlog 0 0 0 10\n"), "line 1: a view needs a class code, an id and a frame");
    EXPECT_EQ(ParseError("dlg 0 0 0 10 10\n"), "line 1: the class code 'dlg' is not four characters");
    EXPECT_EQ(ParseError("dlog 0 0 0 10 10\n  text x 0 0 1 1\n"), "line 2: 'x' is not a number");
    EXPECT_EQ(ParseError("dlog 0 0 0 10 10\ntext 0 0 0 1 1\n"), "line 2: a second top view; a resource holds one");
    EXPECT_EQ(ParseError("dlog 0 0 0 10 10 \"open\n"), "line 1: a quoted text is not closed");
    EXPECT_EQ(ParseError("\tdlog 0 0 0 10 10\n"), "line 1: indent with spaces, not tabs");
    EXPECT_EQ(ParseError("dlog 0 0 0 -1 10\n"), "line 1: a view's size is negative");
    EXPECT_EQ(ParseError("# nothing\n"), "the resource holds no view");
    EXPECT_EQ(ParseError("dlog 0 0 0 10 10\n  text 1 0 0 1 1\n  grou 0 0 0 9 9\n    pbtn 1 0 0 1 1\n"),
              "line 4: the id 1 is already used on line 2");
}

TEST(ViewResourceBinary, RecordsSurviveEncodingWithBigEndianHeaders)
{
    XGViewRecord r = Parse(kDialog);
    XGResourceData bytes = XGEncodeViewResource(r);
    // header: id, subview count, data length, class code
    ASSERT_GE(bytes.size(), 16u);
    EXPECT_EQ(bytes[7], 4);
    EXPECT_EQ((uint32_t(bytes[12]) << 24 | bytes[13] << 16 | bytes[14] << 8 | bytes[15]), "dlog"_4cc);
    XGViewRecord back;
    std::string why;
    ASSERT_TRUE(XGDecodeViewResource(bytes.data(), bytes.size(), back, &why)) << why;
    EXPECT_EQ(back, r);
}

TEST(ViewResourceBinary, EveryTruncationAndStrayByteIsRefused)
{
    XGResourceData bytes = XGEncodeViewResource(Parse(kDialog));
    for (size_t n = 0; n < bytes.size(); ++n) {
        XGViewRecord out;
        EXPECT_FALSE(XGDecodeViewResource(bytes.data(), n, out, nullptr)) << "accepted " << n << " bytes";
    }
    XGResourceData longer = bytes;
    longer.push_back(0);
    XGViewRecord out;
    EXPECT_FALSE(XGDecodeViewResource(longer.data(), longer.size(), out, nullptr));
}

TEST(ViewResourceBinary, LyingCountsAndLengthsAreRefused)
{
    XGResourceData bytes = XGEncodeViewResource(Parse("text 1 0 0 10 10 \"abc\"\n"));
    std::string why;
    XGViewRecord out;

    XGResourceData manyChildren = bytes;
    manyChildren[4] = 0x7F; // subview count
    EXPECT_FALSE(XGDecodeViewResource(manyChildren.data(), manyChildren.size(), out, &why));
    EXPECT_EQ(why, "a view's subview count is too large");

    XGResourceData longText = bytes;
    longText[16 + 16] = 0xFF; // text length beyond the record
    EXPECT_FALSE(XGDecodeViewResource(longText.data(), longText.size(), out, &why));
    EXPECT_EQ(why, "a view's text runs past its record");

    // a chain of views each claiming one subview, deeper than allowed
    XGViewRecord deep;
    XGViewRecord* at = &deep;
    for (int i = 0; i < 40; ++i) {
        at->classCode = "grou"_4cc;
        at->children.emplace_back();
        at = &at->children.back();
    }
    at->classCode = "text"_4cc;
    XGResourceData nested = XGEncodeViewResource(deep);
    EXPECT_FALSE(XGDecodeViewResource(nested.data(), nested.size(), out, &why));
    EXPECT_EQ(why, "views are nested too deeply");
}

TEST(MenuResource, ItemsSeparatorsAndShortcuts)
{
    XGMenuBarResource bar;
    std::string why;
    ASSERT_TRUE(XGParseMenuText("menu \"&File\"\n  item 101 \"&New\\tCtrl+N\"\n  separator\n  item 3 \"E&xit\"\n"
                                "menu \"&Tag\"\n  item 403 \"Tag &Info\\tCtrl+I\"\n  item 302 \"&Inspector\\tCtrl+I\"\n",
                                bar, &why))
        << why;
    ASSERT_EQ(bar.menus.size(), 2u);
    EXPECT_EQ(bar.menus[0].items.size(), 3u);
    EXPECT_EQ(bar.menus[0].items[1].id, 0);
    ASSERT_NE(bar.Find(101), nullptr);
    EXPECT_EQ(XGMenuLabelText(bar.Find(101)->label), "&New");
    EXPECT_EQ(bar.Find(0), nullptr);
    std::vector<XGAccelerator> table = bar.Accelerators();
    ASSERT_EQ(table.size(), 3u);
    // both items name Ctrl+I; the first in menu order comes first
    EXPECT_EQ(table[1].id, 403);
    EXPECT_EQ(table[2].id, 302);
    EXPECT_EQ(table[1].keys, "Ctrl+I");
}

TEST(MenuResource, MistakesAreNamedWithTheirLine)
{
    XGMenuBarResource bar;
    std::string why;
    EXPECT_FALSE(XGParseMenuText("item 1 \"x\"\n", bar, &why));
    EXPECT_EQ(why, "line 1: an item outside of a menu");
    EXPECT_FALSE(XGParseMenuText("menu \"A\"\n  item 0 \"x\"\n", bar, &why));
    EXPECT_EQ(why, "line 2: an item's id must be a number from 1 to 32767");
    EXPECT_FALSE(XGParseMenuText("menu \"A\"\n  item 5 \"x\n", bar, &why));
    EXPECT_EQ(why, "line 2: an item needs a quoted label");
    EXPECT_FALSE(XGParseMenuText("menu A\n", bar, &why));
    EXPECT_EQ(why, "line 1: a menu needs a quoted title");
}
