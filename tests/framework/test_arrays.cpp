#include <gtest/gtest.h>

#include <string>

#include "framework/XGArray.h"
#include "framework/XGHandle.h"

namespace {
struct point {
    int32_t x, y;
};
} // namespace

TEST(Arrays, CapacityMovesInStepsOfSixteen)
{
    XGSDynArray<point> a;
    EXPECT_EQ(a.GetCapacity(), 0);
    for (auto [length, capacity] : {std::pair{1, 16}, {17, 32}, {16, 16}, {0, 0}}) {
        a.SetLength(length);
        EXPECT_EQ(a.GetCapacity(), capacity) << "length " << length;
    }
}

TEST(Arrays, InsertAndRemoveKeepOrderAndShrink)
{
    XGSDynArray<int32_t> a;
    for (int i = 0; i < 17; ++i) a.Insert(a.GetLength(), i); // appends
    EXPECT_EQ(a.GetCapacity(), 32);
    a.Insert(0, -1);
    a.Insert(5, 100);
    EXPECT_EQ(a.GetLength(), 19);
    EXPECT_EQ(a[0], -1);
    EXPECT_EQ(a[5], 100);
    EXPECT_EQ(a[6], 4);
    EXPECT_EQ(a[18], 16);
    a.Remove(5);
    a.Remove(0);
    a.Remove(0);
    EXPECT_EQ(a.GetLength(), 16);
    EXPECT_EQ(a.GetCapacity(), 16) << "removing below a multiple of 16 shrinks the block";
    for (int i = 0; i < 16; ++i) EXPECT_EQ(a[i], i + 1);
}

TEST(Arrays, BoundsAreFrameworkAssertions)
{
    XGSDynArray<int32_t> a;
    try {
        a.Remove(0);
        FAIL() << "removing from an empty array";
    } catch (const XGError& e) {
        EXPECT_EQ(e.GetMessage().rfind("Internal software error ((index >= 0) && (index < fLength)) at XGArray ", 0),
                  0u);
    }
    a.Insert(0, 1);
    try {
        a.Insert(2, 5);
        FAIL() << "inserting at count + 1";
    } catch (const XGError& e) {
        EXPECT_EQ(e.GetCode(), kXGAssertionFailure);
        EXPECT_NE(e.GetMessage().find("(index >= 0) && (index <= fLength)"), std::string::npos);
    }
    EXPECT_THROW(a.Get(1), XGError);
    EXPECT_THROW(a.Get(-1), XGError);
    EXPECT_EQ(a.GetLength(), 1);
}

TEST(Arrays, PointerArraysDoNotOwnAndArraysOfArraysCopyDeeply)
{
    std::string s = "kept";
    {
        XGPDynArray<std::string> p;
        p.Append(&s);
        p.RemoveAll();
    }
    EXPECT_EQ(s, "kept");

    XGDynArray<XGSDynArray<float>> nested;
    nested.SetLength(3);
    nested[2].Append(1.5f);
    XGDynArray<XGSDynArray<float>> copy = nested;
    copy[2][0] = 9.0f;
    EXPECT_EQ(nested[2][0], 1.5f);
    nested.Remove(0);
    EXPECT_EQ(nested[1][0], 1.5f);

    XGDynArray<std::string> strings;
    for (int i = 0; i < 40; ++i) strings.Insert(0, std::string(30, char('a' + i % 26)));
    for (int i = 0; i < 39; ++i) strings.Remove(strings.GetLength() - 1);
    EXPECT_EQ(strings[0], std::string(30, char('a' + 39 % 26)));
}

TEST(Handles, LockedHandlesCannotBeResized)
{
    XGHandle h(8);
    static_cast<uint8_t*>(h.Lock())[0] = 7;
    EXPECT_THROW(h.SetSize(16), XGError);
    h.Unlock();
    h.SetSize(16);
    EXPECT_EQ(static_cast<uint8_t*>(h.Lock())[0], 7);
    h.Unlock();
    XGHandle empty;
    EXPECT_THROW(empty.Lock(), XGError);
}
