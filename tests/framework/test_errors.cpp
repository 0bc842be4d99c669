#include <gtest/gtest.h>

#include "framework/ProgramAssert.h"
#include "framework/XGError.h"
#include "framework/XGErrorTable.h"
#include "framework/XGPlaceholders.h"
#include "framework/XGStringList.h"
#include "support/test_support.h"

TEST(Placeholders, OrderKindsPlainTextAndAtMostNineArguments)
{
    EXPECT_EQ(XGExpandPlaceholders("#2S then #1S", {"a", "b"}), "b then a");
    // a number selects, and the count continues after it
    EXPECT_EQ(XGExpandPlaceholders("#S #S #S", {"a", "b", "c"}), "a b c");
    EXPECT_EQ(XGExpandPlaceholders("#2S #S #1S", {"a", "b", "c"}), "b c a");
    std::string pascal = std::string(1, '\x03') + "abcdef";
    EXPECT_EQ(XGExpandPlaceholders("#1L #2X #3I #4P", {-12, 255, 0x6D657368, pascal}), "-12 FF mesh abc");
    EXPECT_EQ(XGExpandPlaceholders("# #Q #9 100%", {"x"}), "# #Q #9 100%");
    EXPECT_EQ(XGExpandPlaceholders("#I", {0x41000042}), "A___") << "a zero byte ends the code";
    EXPECT_EQ(XGExpandPlaceholders("[#3S]", {"a"}), "[]") << "a missing argument expands to nothing";
    XGArgs args;
    for (int i = 1; i <= 11; ++i) args.push_back(i);
    EXPECT_EQ(XGExpandPlaceholders("#9L #L", args), "9 ");
}

TEST(ErrorTable, FrameworkEntriesAndCodes)
{
    XGErrorText t;
    ASSERT_TRUE(XGLookupErrorText(0x800000, t));
    EXPECT_EQ(t.title, "Out of memory");
    ASSERT_TRUE(XGLookupErrorText(0x800016, t));
    EXPECT_EQ(t.title, "Overwrite File?");
    EXPECT_EQ(t.message, "The file #1S already exists. Do you wish to replace it?");
    EXPECT_FALSE(XGLookupErrorText(0x800017, t)) << "23 entries";
    EXPECT_FALSE(XGLookupErrorText(0x810000, t)) << "no table 129";

    XGPostError e(kXGAssertionFailure, {"x > 0", "tags", 12});
    EXPECT_EQ(e.GetTitle(), "Assertion Failure");
    EXPECT_EQ(e.GetMessage(), "Internal software error (x > 0) at tags 12");
    EXPECT_EQ(e.GetKind(), kXGError);

    XGPostError v(kXGUnableToCreateView, {0x74657874});
    EXPECT_EQ(v.GetMessage(), "Internal software error: the view factory for 'text' was not found.");
    XGPostError w(kXGUnableToCreateWindow, {"dlog"});
    EXPECT_EQ(w.GetTitle(), "Unable to create window");
}

TEST(ErrorTable, TablesParseFromTheirBytesAndRejectTruncation)
{
    XGResourceData data = XGBuildErrorTable({{"One", "first"}, {"Two", "second #1L"}});
    EXPECT_EQ(data[0], 0);
    EXPECT_EQ(data[1], 2);
    XGAddResource("EMSG"_4cc, 300, data);
    XGPostError e((300u << 16) | 1, {5});
    EXPECT_EQ(e.GetTitle(), "Two");
    EXPECT_EQ(e.GetMessage(), "second 5");

    data.resize(data.size() - 3);
    EXPECT_EQ(XGParseErrorTable(data).size(), 1u);
}

TEST(Errors, AbortAndOsErrors)
{
    XGAbort a;
    EXPECT_EQ(a.GetTitle(), "Procedure aborted");
    EXPECT_EQ(a.GetMessage(), "The operation was aborted.");
    XGPostWinOSError os(kXGFileOpenError, 2, {"x.tag"});
    EXPECT_EQ(os.GetTitle(), "File Open Error");
    EXPECT_NE(os.GetMessage().find("Unable to open file x.tag"), std::string::npos);
    EXPECT_EQ(os.GetSystemError(), 2);
}

TEST(ProgramAssertions, MessageFormatReachesTheHandler)
{
    try {
        PROGRAM_ASSERT(1 + 1 == 3, "tags");
        FAIL() << "no assertion";
    } catch (const AssertionThrown& e) {
        EXPECT_EQ(std::string(e.what()).rfind("Assertion (1 + 1 == 3) failed in \"tags\" on line ", 0), 0u);
        EXPECT_EQ(std::string(e.what()).back(), '\n');
    }
}

TEST(StringList, RangeAndExtraDataErrors)
{
    XGStringList list;
    list.Append("a");
    list.Append("b", 42);
    EXPECT_EQ(list.GetExtra(1), 42);
    try {
        list.Get(2);
        FAIL();
    } catch (const XGError& e) {
        EXPECT_EQ(e.GetCode(), kXGStringListOverflow);
    }
    try {
        list.GetExtra(0);
        FAIL();
    } catch (const XGError& e) {
        EXPECT_EQ(e.GetTitle(), "String list error");
    }
    EXPECT_THROW(list.Get(-1), XGError);
}
