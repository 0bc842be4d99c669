#include <gtest/gtest.h>

#include <QApplication>
#include <QMainWindow>
#include <QMdiArea>
#include <QScrollArea>
#include <QScrollBar>
#include <QSettings>
#include <QStyleFactory>
#include <memory>

#include "framework/qt/XGAppMultiWindow.h"
#include "framework/qt/XGFactories.h"
#include "framework/qt/XGMessages.h"
#include "framework/qt/XGStyle.h"
#include "framework/qt/XGWindow.h"
#include "framework_qt/qt_test_support.h"

namespace {

class XGFrameTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        qt_test_application();
        QSettings().clear();
        Start();
    }
    void TearDown() override
    {
        fApp.reset();
        pump_events();
    }
    void Start()
    {
        fApp.reset();
        pump_events();
        fApp = std::make_unique<XGAppMultiWindow>();
        fApp->Initialize();
    }
    // Quits as the frame's close box does, then starts again.
    void QuitAndStartAgain()
    {
        fApp->Send(kXGQuitApplication);
        ASSERT_TRUE(fApp->IsQuitting());
        Start();
        fApp->ShowMainWindow();
        pump_events();
    }
    XGWindow* Open(const std::string& text)
    {
        XGViewRecord record;
        EXPECT_TRUE(XGParseViewText(text, record, nullptr));
        XGWindow* w = XGBuildWindow(record);
        w->Show(true);
        pump_events();
        return w;
    }
    std::unique_ptr<XGAppMultiWindow> fApp;
};

} // namespace

TEST(XGFrameGeometry, TheFirstFrameTakesTheAvailableAreaUpTo1400By900Centred)
{
    EXPECT_EQ(XGAppMultiWindow::FirstFrameGeometry(QRect(0, 0, 1600, 1000)), QRect(100, 50, 1400, 900));
    EXPECT_EQ(XGAppMultiWindow::FirstFrameGeometry(QRect(0, 28, 1280, 692)), QRect(0, 28, 1280, 692));
    // a second screen to the right
    EXPECT_EQ(XGAppMultiWindow::FirstFrameGeometry(QRect(1920, 0, 1920, 1080)), QRect(2180, 90, 1400, 900));
}

TEST_F(XGFrameTest, TheFrameComesBackWhereItWasLeftAndMaximisedWhenItWas)
{
    fApp->ShowMainWindow();
    fApp->GetFrame()->setGeometry(120, 80, 900, 600);
    pump_events();
    QuitAndStartAgain();
    EXPECT_EQ(fApp->GetFrame()->geometry(), QRect(120, 80, 900, 600));
    EXPECT_TRUE(fApp->GetFrame()->isVisible());

    fApp->GetFrame()->showMaximized();
    pump_events();
    QuitAndStartAgain();
    EXPECT_TRUE(fApp->GetFrame()->isMaximized());
}

TEST_F(XGFrameTest, DocumentWindowsOpenInsideTheAreaAndATallOneScrolls)
{
    fApp->ShowMainWindow();
    fApp->GetFrame()->setGeometry(0, 0, 900, 600);
    pump_events();
    QRect area(QPoint(0, 0), fApp->GetMdiArea()->viewport()->size());

    XGWindow* first = Open("wind 0 0 0 200 150\n");
    XGWindow* second = Open("wind 0 0 0 200 150\n");
    EXPECT_EQ(second->GetFrameWidget()->pos(), first->GetFrameWidget()->pos() + QPoint(24, 24));
    // taller than the area: as tall as the area, its content whole and scrolled
    XGWindow* tall = Open("wind 0 0 0 300 1200 min=300x1200\n");
    QWidget* frame = tall->GetFrameWidget();
    EXPECT_EQ(frame->height(), area.height());
    EXPECT_EQ(tall->GetWidget()->height(), 1200);
    auto* scroller = qobject_cast<QScrollArea*>(tall->GetWidget()->parentWidget()->parentWidget());
    ASSERT_NE(scroller, nullptr);
    EXPECT_TRUE(scroller->verticalScrollBar()->isVisible());
    EXPECT_FALSE(scroller->horizontalScrollBar()->isVisible());
    // wider than what is left to the right: back to the left edge
    XGWindow* wide = Open("wind 0 0 0 880 100 min=880x100\n");
    EXPECT_EQ(wide->GetFrameWidget()->x(), 0);
    for (XGWindow* w : {first, second, tall, wide})
        EXPECT_TRUE(area.contains(w->GetFrameWidget()->geometry())) << w->GetFrameWidget()->geometry().x();
}

TEST_F(XGFrameTest, TheStyleKeepsEachStandardIconApart)
{
    auto* style = dynamic_cast<XGStyle*>(QApplication::style());
    ASSERT_NE(style, nullptr);
    std::unique_ptr<QStyle> plain(QStyleFactory::create(style->baseStyle()->name()));
    auto picture = [](const QIcon& icon) { return icon.pixmap(16).toImage(); };
    for (int round = 0; round < 2; ++round)
        for (QStyle::StandardPixmap icon : {QStyle::SP_TitleBarCloseButton, QStyle::SP_TitleBarMinButton,
                                            QStyle::SP_ArrowBack, QStyle::SP_ArrowForward})
            EXPECT_EQ(picture(style->standardIcon(icon)), picture(plain->standardIcon(icon))) << icon;
}
