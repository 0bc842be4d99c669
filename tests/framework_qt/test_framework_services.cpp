#include <gtest/gtest.h>

#include <QMimeData>
#include <memory>

#include "framework/qt/XGAppCore.h"
#include "framework/qt/XGDragData.h"
#include "framework/qt/XGFileDialog.h"
#include "framework/qt/XGFactories.h"
#include "framework/qt/XGOpenGLView.h"
#include "framework/qt/XGPeriodic.h"
#include "framework/qt/XGSplash.h"
#include "framework/qt/XGWindow.h"
#include "framework_qt/qt_test_support.h"

namespace {

using XGServicesTest = XGAppCoreTest;

class TCounter : public XGPeriodic {
public:
    int turns = 0;
    TCounter* stopOther = nullptr;
    bool stopSelf = false;

protected:
    void DoPeriodic() override
    {
        ++turns;
        if (stopOther) stopOther->Stop();
        if (stopSelf) Stop();
    }
};

} // namespace

TEST(XGDragDataTest, TypeNumbersTravelUnderTheirOwnFormats)
{
    qt_test_application();
    EXPECT_EQ(XGDragData::MimeType(0).toStdString(), "text/plain");
    EXPECT_EQ(XGDragData::MimeType(1).toStdString(), "text/uri-list");
    EXPECT_EQ(XGDragData::MimeType(2).toStdString(), "application/x-zepf-format-512");
    EXPECT_EQ(XGDragData::MimeType(0x54424450).toStdString(), "application/x-CF_ZEPF#1413629008");

    XGDragData data;
    data.Add(0x54424450, "abc", 3);
    data.Add(0x54424450, "de", 2);
    data.Add(0, "hello", 5);
    data.AddFile("/tmp/one file.wav");
    std::unique_ptr<QMimeData> mime(data.ToMime());
    XGDragData back = XGDragData::FromMime(mime.get());
    ASSERT_NE(back.Get(0x54424450), nullptr);
    EXPECT_EQ(std::string(back.Get(0x54424450)->begin(), back.Get(0x54424450)->end()), "abcde");
    EXPECT_EQ(std::string(back.Get(0)->begin(), back.Get(0)->end()), "hello");
    EXPECT_EQ(back.Files(), (std::vector<std::string>{"/tmp/one file.wav"}));
    EXPECT_TRUE(back.Has(1));
    EXPECT_FALSE(back.Has(2));

    // formats that only look like ours give nothing
    QMimeData odd;
    odd.setData("application/x-CF_ZEPF#12x", "x");
    odd.setData("application/x-CF_ZEPF#99999999999", "x");
    EXPECT_TRUE(XGDragData::FromMime(&odd).Items().empty());
}

TEST(XGFileDialogTest, FiltersBecomeQtsFormAndMatchEitherCase)
{
    qt_test_application();
    EXPECT_EQ(XGConvertFilter("Varn 3 Tag File|*.tag|All Files|*.*").toStdString(),
              "Varn 3 Tag File (*.tag *.TAG);;All Files (*)");
    EXPECT_EQ(XGConvertFilter("Quenchold Script File|*.QSF").toStdString(),
              "Quenchold Script File (*.QSF *.qsf)");
    EXPECT_EQ(XGConvertFilter("Images|*.jpg;*.png|dangling").toStdString(), "Images (*.jpg *.JPG *.png *.PNG)");
}

TEST_F(XGServicesTest, PeriodicTasksTakeTurnsWhileStarted)
{
    TCounter a, b;
    a.Start();
    b.Start();
    a.Start(); // once only
    fApp->RunPeriodicTasks();
    EXPECT_EQ(a.turns, 1);
    EXPECT_EQ(b.turns, 1);
    // a task that stops another during its turn: the other gets no turn
    a.stopOther = &b;
    fApp->RunPeriodicTasks();
    EXPECT_EQ(a.turns, 2);
    EXPECT_EQ(b.turns, 1);
    a.stopSelf = true;
    fApp->RunPeriodicTasks();
    fApp->RunPeriodicTasks();
    EXPECT_EQ(a.turns, 3);
    EXPECT_FALSE(a.IsRunning());
    // a task that goes away leaves the list
    {
        TCounter c;
        c.Start();
    }
    fApp->RunPeriodicTasks();
}

TEST(XGSplashTest, TheSplashStaysAtLeastThreeSecondsFromWhenItShowed)
{
    qt_test_application();
    XGSplash splash;
    splash.Show(1000);
    EXPECT_TRUE(splash.IsShown());
    EXPECT_EQ(splash.GetCloseTime(), 4000);
    int64_t waited = -1;
    splash.Finish(1800, [&](int64_t ms) { waited = ms; });
    EXPECT_EQ(waited, 2200);
    EXPECT_FALSE(splash.IsShown());

    XGSplash late;
    late.Show(0);
    waited = -1;
    late.Finish(5000, [&](int64_t ms) { waited = ms; });
    EXPECT_EQ(waited, -1);
    EXPECT_FALSE(late.IsShown());
}

TEST_F(XGServicesTest, AnOpenGLViewWithoutAContextDrawsNothingAndMakesNoneCurrent)
{
    if (XGOpenGLView::PlatformHasOpenGL()) GTEST_SKIP() << "this platform makes contexts";
    XGViewRecord r;
    XGParseViewText("wind 0 0 0 100 100\n  opgl 1 0 0 100 100\n", r, nullptr);
    std::unique_ptr<XGWindow> w(XGBuildWindow(r));
    auto* view = dynamic_cast<XGOpenGLView*>(w->FindView(1));
    ASSERT_NE(view, nullptr);
    w->Show(true);
    pump_events();
    EXPECT_FALSE(view->HasContext());
    int switches = XGOpenGLView::GetSwitchCount();
    XGOpenGLView::MakeCurrent(view);
    EXPECT_EQ(XGOpenGLView::GetCurrent(), nullptr);
    EXPECT_EQ(XGOpenGLView::GetSwitchCount(), switches);
    view->SwapBuffers();
    view->Redraw();
}

TEST_F(XGServicesTest, OpenGLViewsSwitchContextsOnlyWhenTheCurrentViewChanges)
{
    XGViewRecord r;
    XGParseViewText("wind 0 0 0 200 100\n  opgl 1 0 0 100 100\n  opgl 2 100 0 100 100\n", r, nullptr);
    std::unique_ptr<XGWindow> w(XGBuildWindow(r));
    w->Show(true);
    pump_events();
    auto* a = static_cast<XGOpenGLView*>(w->FindView(1));
    auto* b = static_cast<XGOpenGLView*>(w->FindView(2));
    if (!a->HasContext() || !b->HasContext()) GTEST_SKIP() << "no OpenGL on this platform";

    XGOpenGLView::MakeCurrent(a);
    int switches = XGOpenGLView::GetSwitchCount();
    XGOpenGLView::MakeCurrent(a);
    EXPECT_EQ(XGOpenGLView::GetSwitchCount(), switches);
    XGOpenGLView::MakeCurrent(b);
    EXPECT_EQ(XGOpenGLView::GetSwitchCount(), switches + 1);
    EXPECT_EQ(XGOpenGLView::GetCurrent(), b);

    // resizing a sets its viewport and leaves b current
    a->SetFrame({0, 0, 60, 40});
    pump_events();
    int vw = 0, vh = 0;
    a->GetViewport(vw, vh);
    EXPECT_EQ(vw, 60);
    EXPECT_EQ(vh, 40);
    EXPECT_EQ(XGOpenGLView::GetCurrent(), b);
    XGOpenGLView::MakeCurrent(nullptr);
    EXPECT_EQ(XGOpenGLView::GetCurrent(), nullptr);
}
