#include <gtest/gtest.h>

#include <QKeyEvent>
#include <memory>

#include "framework/XGError.h"
#include "framework/qt/XGAlert.h"
#include "framework/qt/XGAppCore.h"
#include "framework/qt/XGDialog.h"
#include "framework/qt/XGFactories.h"
#include "framework/qt/XGForm.h"
#include "framework/qt/XGGuard.h"
#include "framework/qt/XGMessages.h"
#include "framework/qt/XGView.h"
#include "framework_qt/qt_test_support.h"

namespace {

using XGAlertsTest = XGAppCoreTest;

std::unique_ptr<XGDialog> Dialog(const char* text)
{
    XGViewRecord r;
    std::string why;
    EXPECT_TRUE(XGParseViewText(text, r, &why)) << why;
    return std::unique_ptr<XGDialog>(static_cast<XGDialog*>(XGBuildWindow(r)));
}

} // namespace

TEST_F(XGAlertsTest, AnErrorShowsTheAlertOfItsKindWithTitleAndMessage)
{
    ModalScript script;
    script.Click(kXGAlertOK).Click(kXGAlertOK);
    XGReportError(XGPostError(kXGFileOpenError, {"/tmp/a b.tag"}));
    XGReportError(XGError(kXGWarning, "Careful", "Something to know."));
    ASSERT_EQ(script.Shown().size(), 2u);
    EXPECT_EQ(script.Shown()[0].title, "Error");
    EXPECT_EQ(script.Shown()[0].texts, (std::vector<std::string>{"", "File Open Error", "Unable to open file /tmp/a b.tag",
                                                                  "OK"}));
    EXPECT_EQ(script.Shown()[1].title, "Warning");
    EXPECT_TRUE(script.Shown()[1].Mentions("Something to know."));
    EXPECT_TRUE(fApp->HadError());
}

TEST_F(XGAlertsTest, CautionCancelSetsTheCancelledFlagUntilTheNextReport)
{
    ModalScript script;
    script.Click(kXGAlertCancel).Click(kXGAlertOK);
    XGShowErrorAlert(XGError(kXGCaution, "Replace?", "It will be replaced."));
    EXPECT_TRUE(XGAlertCancelled());
    EXPECT_EQ(script.Shown().at(0).title, "Caution");
    XGShowErrorAlert(XGError(kXGCaution, "Replace?", "Again."));
    EXPECT_FALSE(XGAlertCancelled());
}

TEST_F(XGAlertsTest, EachKindOfAlertHasItsOwnTitleIconAndButtons)
{
    struct seen {
        std::string title;
        int32_t icon = 0;
        bool cancel = false;
    };
    std::vector<seen> shown;
    ModalScript script;
    auto answer = [&](XGDialog& dialog) {
        XGView* icon = nullptr;
        for (XGView* v : dialog.GetRootView()->GetSubviews())
            if (v->GetClassCode() == "icon"_4cc) icon = v;
        shown.push_back({dialog.GetTitle(), icon ? icon->GetValue() : 0, dialog.FindView(kXGAlertCancel) != nullptr});
        dialog.EndModal(kXGAlertOK);
    };
    for (int i = 0; i < 6; ++i) script.Then(answer);
    XGShowAlert(kXGError, "a", "b");
    XGShowAlert(kXGCaution, "a", "b");
    XGShowAlert(kXGWarning, "a", "b");
    XGShowAlert(kXGWarning, "a", "b", "Script");
    XGShowAbout("Quenchold", "an editor");
    XGShowAlert(kXGError, "costs ^1", "the message");
    const std::pair<const char*, int32_t> expected[] = {{"Error", 1}, {"Caution", 2}, {"Warning", 3},
                                                        {"Script", 3}, {"About", 4},  {"Error", 1}};
    ASSERT_EQ(shown.size(), std::size(expected));
    for (size_t i = 0; i < shown.size(); ++i) {
        EXPECT_EQ(shown[i].title, expected[i].first) << i;
        EXPECT_EQ(shown[i].icon, expected[i].second) << i;
    }
    EXPECT_FALSE(shown[0].cancel);
    EXPECT_TRUE(shown[1].cancel);
    EXPECT_TRUE(script.Shown()[4].Mentions("an editor"));
    // a title holding a placeholder is shown as it stands
    EXPECT_TRUE(script.Shown()[5].Mentions("costs ^1"));
}

TEST_F(XGAlertsTest, TheSaveWindowPromptNamesTheWindowAndReturnsTheButton)
{
    ModalScript script;
    script.Click(kXGSaveWindowDontSave).Click(kXGSaveWindowCancel).Click(kXGSaveWindowSave);
    EXPECT_EQ(XGAskSaveWindow("the new tag file"), kXGSaveWindowDontSave);
    EXPECT_EQ(XGAskSaveWindow("x"), kXGSaveWindowCancel);
    EXPECT_EQ(XGAskSaveWindow("x"), kXGSaveWindowSave);
    EXPECT_EQ(script.Shown().at(0).title, "Save Window?");
    EXPECT_TRUE(script.Shown().at(0).Mentions(
        "Should the contents of the new tag file be saved before the window is closed?"));
}

TEST_F(XGAlertsTest, ErrorsInHandlersBecomeAlertsAndTheRestGoesOn)
{
    ModalScript script;
    script.Click(kXGAlertOK).Click(kXGAlertOK).Click(kXGAlertOK);
    EXPECT_FALSE(XGGuard([] { throw XGPostError(kXGFileWriteError, {"x.tag - The file is read-only."}); }));
    EXPECT_FALSE(XGGuard([] { throw std::bad_alloc(); }));
    EXPECT_FALSE(XGGuard([] { throw std::runtime_error("odd"); }));
    EXPECT_TRUE(XGGuard([] {}));
    EXPECT_TRUE(script.Shown().at(0).Mentions("Unable to write data to file x.tag - The file is read-only."));
    EXPECT_TRUE(script.Shown().at(1).Mentions("Out of memory"));
    EXPECT_TRUE(script.Shown().at(2).Mentions("Random exception caught"));
}

TEST_F(XGAlertsTest, AHeadlessApplicationWritesErrorsInsteadOfShowingThem)
{
    fApp->SetHeadless(true);
    testing::internal::CaptureStderr();
    XGReportError(XGPostError(kXGFileOpenError, {"roots.txt"}));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "File Open Error: Unable to open file roots.txt\n");
    EXPECT_TRUE(fApp->HadError());
}

TEST_F(XGAlertsTest, ModalDialogsEndOnButtonsReturnAndEscape)
{
    const char* text = "dlog 0 0 0 200 100 \"D\" default=1 cancel=2\n"
                       "  edit 5 0 0 100 20\n"
                       "  pbtn 1 0 40 50 20 \"OK\"\n"
                       "  pbtn 2 60 40 50 20 \"Cancel\"\n"
                       "  pbtn 3 120 40 50 20 \"Other\"\n";
    auto press = [](XGDialog& d, int key) {
        d.FindView(5)->Send(kXGKeyMessage, key, 0, true);
    };
    ModalScript script;
    script.Then([&](XGDialog& d) { press(d, kXGKeyReturn); })
        .Then([&](XGDialog& d) { press(d, kXGKeyEscape); })
        .Click(3)
        .Then([](XGDialog& d) {
            d.FindView(1)->Enable(false);
            d.FindView(5)->Send(kXGKeyMessage, kXGKeyReturn, 0, true);
            EXPECT_FALSE(d.IsDone());
            d.EndModal(77);
        });
    EXPECT_EQ(Dialog(text)->RunModal(), 1);
    EXPECT_EQ(Dialog(text)->RunModal(), 2);
    EXPECT_EQ(Dialog(text)->RunModal(), 3);
    EXPECT_EQ(Dialog(text)->RunModal(), 77);
    // while a dialog runs it is the front window; afterwards it is not
    EXPECT_EQ(fApp->GetModalDialog(), nullptr);
}
