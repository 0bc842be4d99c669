#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/XGDispatch.h"

namespace {

std::vector<std::string> gCalls;

class TBase : public XGDispatch {
    XG_DECLARE_DISPATCH()
public:
    int32_t DoClick(XGCode, XGParam p1, XGParam) { gCalls.push_back("base cclk"); return int32_t(p1); }
    int32_t DoMenu(XGCode, XGParam, XGParam) { gCalls.push_back("base menu"); return 7; }
};

XG_BEGIN_DISPATCH(TBase, XGDispatch)
    XG_ON("cclk"_4cc, &TBase::DoClick)
    XG_ON("menu"_4cc, &TBase::DoMenu)
XG_END_DISPATCH()

class TDerived : public TBase {
    XG_DECLARE_DISPATCH()
public:
    int32_t fAllResult = -1;
    int32_t All(XGCode code, XGParam, XGParam) { gCalls.push_back("all " + XGCodeToText(code)); return fAllResult; }
    int32_t DoClick(XGCode, XGParam, XGParam) { gCalls.push_back("derived cclk"); return -1; }
    int32_t DoClickAgain(XGCode, XGParam, XGParam) { gCalls.push_back("derived cclk 2"); return 99; }
};

XG_BEGIN_DISPATCH_ALL(TDerived, TBase, &TDerived::All)
    XG_ON("cclk"_4cc, &TDerived::DoClick)
    XG_ON("cclk"_4cc, &TDerived::DoClickAgain)
XG_END_DISPATCH()

class TApp : public XGDispatch {
    XG_DECLARE_DISPATCH()
public:
    int32_t DoQuit(XGCode, XGParam, XGParam) { gCalls.push_back("app qapp"); return 1; }
};

XG_BEGIN_DISPATCH(TApp, XGDispatch)
    XG_ON("qapp"_4cc, &TApp::DoQuit)
XG_END_DISPATCH()

class DispatchTest : public ::testing::Test {
protected:
    void SetUp() override { gCalls.clear(); }
};

} // namespace

TEST_F(DispatchTest, CatchAllSeesEveryMessageFirstAndCanTakeIt)
{
    TDerived d;
    d.fAllResult = 5;
    EXPECT_EQ(d.Send("menu"_4cc), 5);
    EXPECT_EQ(gCalls, (std::vector<std::string>{"all menu"}));
}

TEST_F(DispatchTest, FirstMatchingEntryOnlyThenBaseMap)
{
    // the derived handler declines; its second entry is not tried, the base map answers
    TDerived d;
    EXPECT_EQ(d.Send("cclk"_4cc, 42), 42);
    EXPECT_EQ(gCalls, (std::vector<std::string>{"all cclk", "derived cclk", "base cclk"}));
}

TEST_F(DispatchTest, PassUpFollowsTheTargetChain)
{
    TDerived view;
    TBase window;
    TApp app;
    view.SetNextTarget(&window);
    window.SetNextTarget(&app);

    EXPECT_EQ(view.Send("qapp"_4cc, 0, 0, false), -1);
    EXPECT_EQ(view.Send("qapp"_4cc, 0, 0, true), 1);
    EXPECT_EQ(gCalls.back(), "app qapp");

    gCalls.clear();
    EXPECT_EQ(view.Send("even"_4cc, 0, 0, true), -1) << "a message nobody handles";
    EXPECT_EQ(gCalls, (std::vector<std::string>{"all even"}));
}

TEST_F(DispatchTest, BaseClassObjectUsesItsOwnMap)
{
    TBase b;
    EXPECT_EQ(b.Send("menu"_4cc), 7);
    EXPECT_EQ(b.Send("keye"_4cc), -1);
}
