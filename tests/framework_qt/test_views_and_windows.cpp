#include <gtest/gtest.h>

#include <QWidget>
#include <memory>
#include <string>

#include "framework/XGError.h"
#include "framework/XGResources.h"
#include "framework/qt/XGAppCore.h"
#include "framework/qt/XGControls.h"
#include "framework/qt/XGDialog.h"
#include "framework/qt/XGFactories.h"
#include "framework/qt/XGForm.h"
#include "framework/qt/XGMessages.h"
#include "framework/qt/XGWindow.h"
#include "framework_qt/qt_test_support.h"

namespace {

XGViewRecord Record(const char* text)
{
    XGViewRecord r;
    std::string why;
    EXPECT_TRUE(XGParseViewText(text, r, &why)) << why;
    return r;
}

std::unique_ptr<XGWindow> Build(const char* text)
{
    return std::unique_ptr<XGWindow>(XGBuildWindow(Record(text)));
}

// Records the messages that reach it and answers with a set result.
class TRecordingForm : public XGForm {
    XG_DECLARE_DISPATCH()

public:
    std::vector<std::string> seen;
    int32_t clickResult = 0;
    bool mayClose = true;
    int32_t DoClick(XGCode code, XGParam id, XGParam)
    {
        seen.push_back(XGCodeToText(code) + " " + std::to_string(id));
        return clickResult;
    }
    bool CanClose() override
    {
        seen.push_back("close check");
        return mayClose;
    }
};

XG_BEGIN_DISPATCH(TRecordingForm, XGForm)
    XG_ON(kXGClickMessage, &TRecordingForm::DoClick)
    XG_ON(kXGListSelectMessage, &TRecordingForm::DoClick)
XG_END_DISPATCH()

class TAppForTests : public XGAppCore {
    XG_DECLARE_DISPATCH()

public:
    std::vector<std::string> seen;
    int32_t clickResult = 0;
    int32_t DoClick(XGCode code, XGParam id, XGParam)
    {
        seen.push_back("app " + XGCodeToText(code) + " " + std::to_string(id));
        return clickResult;
    }
};

XG_BEGIN_DISPATCH(TAppForTests, XGAppCore)
    XG_ON(kXGClickMessage, &TAppForTests::DoClick)
XG_END_DISPATCH()

class XGViewsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        qt_test_application();
        fApp = std::make_unique<TAppForTests>();
    }
    void TearDown() override
    {
        fApp.reset();
        pump_events();
    }
    std::unique_ptr<TAppForTests> fApp;
};

XGView* CountingView(XGView* parent, const XGViewRecord& record);
XGView* OtherView(XGView* parent, const XGViewRecord& record);
int gMadeBy = 0;

XGView* CountingView(XGView* parent, const XGViewRecord& record)
{
    gMadeBy = 1;
    return new XGStaticText(parent, record);
}

XGView* OtherView(XGView* parent, const XGViewRecord& record)
{
    gMadeBy = 2;
    return new XGStaticText(parent, record);
}

} // namespace

TEST_F(XGViewsTest, RegisteringACodeTwiceKeepsOneEntryWithTheLaterConstructor)
{
    int before = XGViewClassCount();
    XGRegisterView("zTst"_4cc, CountingView);
    XGRegisterView("zTst"_4cc, OtherView);
    EXPECT_EQ(XGViewClassCount(), before + 1);
    auto w = Build("wind 0 0 0 100 100\n  zTst 1 0 0 10 10\n");
    EXPECT_EQ(gMadeBy, 2);
    EXPECT_NE(w->FindView(1), nullptr);
}

TEST_F(XGViewsTest, UnknownClassCodesAndMissingResourcesAreFrameworkErrors)
{
    try {
        Build("wind 0 0 0 100 100\n  text 1 0 0 10 10\n  nope 2 0 0 10 10\n");
        FAIL() << "no error";
    } catch (const XGPostError& e) {
        EXPECT_EQ(e.GetCode(), 0x80000Cu);
        EXPECT_EQ(e.GetTitle(), "Unable to create view");
        EXPECT_EQ(e.GetMessage(), "Internal software error: the view factory for 'nope' was not found.");
    }
    // the half-built window went away with its views
    EXPECT_TRUE(fApp->GetWindows().empty());

    try {
        Build("wnd? 0 0 0 100 100\n");
        FAIL() << "no error";
    } catch (const XGPostError& e) {
        EXPECT_EQ(e.GetCode(), 0x800008u);
        EXPECT_EQ(e.GetMessage(), "Internal software error: The window factory for 'wnd?' was not found.");
    }

    try {
        XGBuildWindow(31999);
        FAIL() << "no error";
    } catch (const XGPostError& e) {
        EXPECT_EQ(e.GetCode(), 0x800001u);
        EXPECT_NE(e.GetMessage().find("hsrc != NULL"), std::string::npos) << e.GetMessage();
    }
    XGAddResource(kXGViewResourceType, 31998, {1, 2, 3});
    try {
        XGBuildWindow(31998);
        FAIL() << "no error";
    } catch (const XGPostError& e) {
        EXPECT_NE(e.GetMessage().find("h != NULL"), std::string::npos) << e.GetMessage();
    }
}

TEST_F(XGViewsTest, ControlMessagesGoUpFromViewToFormToWindowToApplication)
{
    auto w = Build("wind 0 0 0 200 100\n  grou 0 0 0 200 100\n    pbtn 7 10 10 50 20 \"Go\"\n");
    auto* form = new TRecordingForm;
    form->AttachWindow(w.get());
    XGView* button = w->FindView(7);
    ASSERT_NE(button, nullptr);

    button->Click();
    EXPECT_EQ(form->seen, (std::vector<std::string>{"cclk 7"}));
    EXPECT_TRUE(fApp->seen.empty());

    // a form that does not take the message lets it go on to the application
    form->clickResult = kXGNotHandled;
    button->Click();
    EXPECT_EQ(fApp->seen, (std::vector<std::string>{"app cclk 7"}));

    // nobody takes a message nobody handles
    EXPECT_EQ(button->Send("zzzz"_4cc, 0, 0, true), kXGNotHandled);
}

TEST_F(XGViewsTest, AFormAttachesToExactlyOneWindow)
{
    auto w = Build("wind 0 0 0 100 100\n");
    auto w2 = Build("wind 0 0 0 100 100\n");
    auto* form = new TRecordingForm;
    form->AttachWindow(w.get());
    auto second = std::make_unique<TRecordingForm>();
    auto message = [](const XGPostError& e) { return e.GetMessage(); };
    try {
        form->AttachWindow(w2.get());
        FAIL();
    } catch (const XGPostError& e) {
        EXPECT_NE(message(e).find("fWindow == NULL"), std::string::npos);
    }
    try {
        second->AttachWindow(w.get());
        FAIL();
    } catch (const XGPostError& e) {
        EXPECT_NE(message(e).find("w->fForm == NULL"), std::string::npos);
    }
    try {
        second->AttachWindow(nullptr);
        FAIL();
    } catch (const XGPostError& e) {
        EXPECT_NE(message(e).find("w != NULL"), std::string::npos);
    }
}

TEST_F(XGViewsTest, ASecondApplicationCoreIsRefused)
{
    try {
        XGAppCore second;
        FAIL();
    } catch (const XGPostError& e) {
        EXPECT_EQ(e.GetTitle(), "Application Core Error");
    }
    EXPECT_EQ(XGAppCore::Get(), fApp.get());
}

TEST_F(XGViewsTest, CloseRunsTheFormsCheckAndARefusalKeepsTheWindow)
{
    XGWindow* w = XGBuildWindow(Record("wind 0 0 0 100 100\n"));
    auto* form = new TRecordingForm;
    form->AttachWindow(w);
    form->mayClose = false;
    EXPECT_FALSE(w->Close(true));
    EXPECT_EQ(fApp->GetWindows().size(), 1u);
    EXPECT_EQ(form->seen, (std::vector<std::string>{"close check"}));
    // closing without asking does not ask
    EXPECT_TRUE(w->Close(false));
    EXPECT_TRUE(fApp->GetWindows().empty());
}

TEST_F(XGViewsTest, AnchoredViewsFollowTheirWindowsSize)
{
    auto w = Build("wind 0 0 0 200 100\n"
                   "  text 1 10 10 50 20 \"fixed\"\n"
                   "  text 2 10 40 180 20 \"wide\" anchor=lrt\n"
                   "  pbtn 3 140 70 50 20 \"corner\" anchor=rb\n"
                   "  scrv 4 0 0 200 100 anchor=lrtb\n"
                   "    text 5 0 0 200 100 anchor=lrtb\n");
    w->Show(true);
    w->Resize(300, 160);
    pump_events();
    EXPECT_EQ(w->FindView(1)->GetFrame(), (XGRect{10, 10, 50, 20}));
    EXPECT_EQ(w->FindView(2)->GetFrame(), (XGRect{10, 40, 280, 20}));
    EXPECT_EQ(w->FindView(3)->GetFrame(), (XGRect{240, 130, 50, 20}));
    EXPECT_EQ(w->FindView(4)->GetFrame(), (XGRect{0, 0, 300, 160}));
    // the page inside the scrolling view follows it, and so does what it holds
    XGRect inner = w->FindView(5)->GetFrame();
    EXPECT_EQ(inner.width, w->FindView(4)->GetContainer()->width());
    EXPECT_GT(inner.width, 200);
    // going back restores the layout exactly
    w->Resize(200, 100);
    pump_events();
    EXPECT_EQ(w->FindView(2)->GetFrame(), (XGRect{10, 40, 180, 20}));
    EXPECT_EQ(w->FindView(3)->GetFrame(), (XGRect{140, 70, 50, 20}));
}

TEST_F(XGViewsTest, CheckBoxesAndRadioButtonsChangeOnlyWhenTheClickIsNotTaken)
{
    auto w = Build("wind 0 0 0 200 200\n"
                   "  chkb 1 0 0 50 20 \"box\"\n"
                   "  grou 0 0 30 200 100\n"
                   "    radb 3 0 0 50 20 \"a\" value=1\n"
                   "    radb 4 0 30 50 20 \"b\"\n"
                   "  radb 5 0 150 50 20 \"elsewhere\" value=1\n");
    auto* form = new TRecordingForm;
    form->AttachWindow(w.get());
    form->clickResult = kXGNotHandled;
    fApp->clickResult = kXGNotHandled;
    w->FindView(1)->Click();
    EXPECT_EQ(w->FindView(1)->GetValue(), 1);
    w->FindView(4)->Click();
    EXPECT_EQ(w->FindView(3)->GetValue(), 0);
    EXPECT_EQ(w->FindView(4)->GetValue(), 1);
    // only the radio buttons of the same parent view turn off
    EXPECT_EQ(w->FindView(5)->GetValue(), 1);

    form->clickResult = 0;
    w->FindView(1)->Click();
    w->FindView(3)->Click();
    EXPECT_EQ(w->FindView(1)->GetValue(), 1);
    EXPECT_EQ(w->FindView(3)->GetValue(), 0);
    EXPECT_EQ(form->seen.size(), 4u);
}

TEST_F(XGViewsTest, ListsAndPopupsReportTheChoiceAndKeepTheirValue)
{
    auto w = Build("wind 0 0 0 200 200\n"
                   "  list 1 0 0 100 100 item=one item=two item=three\n"
                   "  popm 2 0 110 100 22 item=red item=green value=1\n"
                   "  edit 3 0 140 100 22 \"12x\" max=5\n");
    auto* form = new TRecordingForm;
    form->AttachWindow(w.get());
    auto* list = static_cast<XGListControl*>(w->FindView(1));
    EXPECT_EQ(list->GetValue(), -1);
    list->Choose(2);
    EXPECT_EQ(list->GetValue(), 2);
    EXPECT_EQ(list->GetText(), "three");
    EXPECT_EQ(form->seen, (std::vector<std::string>{"lsel 1"}));
    // setting the value from the program sends nothing
    list->SetValue(0);
    EXPECT_EQ(form->seen.size(), 1u);
    EXPECT_EQ(w->FindView(2)->GetValue(), 1);
    EXPECT_EQ(w->FindView(2)->GetText(), "green");
    // an edit's number is what its text starts with; its length is limited
    EXPECT_EQ(w->FindView(3)->GetValue(), 12);
    w->FindView(3)->SetText("1234567");
    EXPECT_EQ(w->FindView(3)->GetText(), "12345");
}
