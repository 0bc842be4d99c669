#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QKeyEvent>
#include <QMenu>
#include <memory>

#include "framework/XGError.h"
#include "framework/XGMenuResource.h"
#include "framework/qt/XGAlert.h"
#include "framework/qt/XGAppMultiWindow.h"
#include "framework/qt/XGEditText.h"
#include "framework/qt/XGFactories.h"
#include "framework/qt/XGForm.h"
#include "framework/qt/XGMenuBar.h"
#include "framework/qt/XGMessages.h"
#include "framework/qt/XGView.h"
#include "framework/qt/XGWindow.h"
#include "framework_qt/qt_test_support.h"

namespace {

// A window's form that enables some commands and records what it is asked to do.
class TCommandForm : public XGForm {
    XG_DECLARE_DISPATCH()

public:
    std::vector<int> done;
    std::vector<std::pair<int, int>> keys;
    bool throwOnMenu = false;
    int32_t DoStatus(XGCode, XGParam id, XGParam status)
    {
        if (id != 403 && id != 302 && id != 6) return kXGNotHandled;
        reinterpret_cast<XGCommandStatus*>(status)->enabled = id != 302;
        return 0;
    }
    int32_t DoMenu(XGCode, XGParam id, XGParam)
    {
        if (throwOnMenu) throw XGPostError(kXGFileWriteError, {"locked.tag - The file is read-only."});
        done.push_back(int(id));
        return 0;
    }
    int32_t DoKey(XGCode, XGParam key, XGParam modifiers)
    {
        keys.emplace_back(int(key), int(modifiers));
        return key == kXGKeyBackspace ? 0 : kXGNotHandled;
    }
};

XG_BEGIN_DISPATCH(TCommandForm, XGForm)
    XG_ON(kXGStatusMessage, &TCommandForm::DoStatus)
    XG_ON(kXGMenuMessage, &TCommandForm::DoMenu)
    XG_ON(kXGKeyMessage, &TCommandForm::DoKey)
XG_END_DISPATCH()

class XGMenusTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        qt_test_application();
        fApp = std::make_unique<XGAppMultiWindow>();
        fApp->Initialize();
    }
    void TearDown() override
    {
        fApp.reset();
        pump_events();
    }
    TCommandForm* OpenWindow(bool withEdit = false)
    {
        XGViewRecord r;
        XGParseViewText(withEdit ? "wind 0 0 0 200 100 \"W\"\n  edit 1 0 0 100 20\n" : "wind 0 0 0 200 100 \"W\"\n",
                        r, nullptr);
        auto* form = new TCommandForm;
        form->AttachWindow(XGBuildWindow(r));
        form->GetWindow()->Show(true);
        return form;
    }
    std::unique_ptr<XGAppMultiWindow> fApp;
};

QMenu* MenuWith(XGMenuBar* bar, int16_t id)
{
    for (QMenu* m : bar->GetMenus())
        for (QAction* a : m->actions())
            if (a->data().toInt() == id) return m;
    return nullptr;
}

} // namespace

TEST_F(XGMenusTest, TheMenuBarHasEveryCommandWithItsLabel)
{
    const XGMenuBarResource& menu = fApp->GetMenuBar()->GetResource();
    const std::vector<std::pair<int16_t, const char*>> labels = {
        {101, "&New\tCtrl+N"}, {102, "&Open...\tCtrl+O"}, {2, "&Close\tCtrl+W"}, {13, "&Save\tCtrl+S"},
        {4, "&Undo\tCtrl+Z"}, {5, "Cu&t\tCtrl+X"}, {6, "&Copy\tCtrl+C"}, {7, "&Paste\tCtrl+V"},
        {403, "Tag &Info\tCtrl+I"}, {9805, "&Find Tag...\tCtrl+F"}, {401, "&Create Tag\tCtrl+K"},
        {301, "Ca&talog\tCtrl+Y"}, {302, "&Inspector\tCtrl+I"}};
    for (auto [id, label] : labels) {
        ASSERT_NE(menu.Find(id), nullptr) << id;
        EXPECT_EQ(menu.Find(id)->label, label);
    }
    for (int16_t id : {14, 15, 106, 16, 105, 107, 3, 8, 402, 9803, 9804, 9806, 1005, 1002, 1003, 1004, 1006, 2001,
                       2002, 2003, 2004, 2006, 2028, 2007, 2008, 2009, 2010, 2011, 2012, 2013, 2014, 2015, 2016, 2017,
                       2018, 2020, 2021, 2022, 2029, 2023, 2024, 2025, 2030, 2026, 2027, 9, 10, 11, 12, 1})
        EXPECT_NE(menu.Find(id), nullptr) << id;
    // Print setup is not on the menu
    EXPECT_EQ(menu.Find(103), nullptr);
    std::vector<std::string> titles;
    for (const XGMenu& m : menu.menus) titles.push_back(m.title);
    EXPECT_EQ(titles, (std::vector<std::string>{"&File", "&Edit", "&Tag", "&Special", "&Mesh", "&Windows", "&Help"}));
}

TEST_F(XGMenusTest, StatusIsAskedBeforeAMenuShows)
{
    XGMenuBar* bar = fApp->GetMenuBar();
    QMenu* tagMenu = MenuWith(bar, 403);
    ASSERT_NE(tagMenu, nullptr);
    emit tagMenu->aboutToShow();
    EXPECT_FALSE(bar->FindAction(403)->isEnabled());
    emit MenuWith(bar, 1)->aboutToShow();
    EXPECT_TRUE(bar->FindAction(1)->isEnabled());

    OpenWindow();
    emit tagMenu->aboutToShow();
    EXPECT_TRUE(bar->FindAction(403)->isEnabled());
    // commands nobody answers are disabled
    EXPECT_FALSE(bar->FindAction(9803)->isEnabled());
    emit MenuWith(bar, 2)->aboutToShow();
    EXPECT_TRUE(bar->FindAction(2)->isEnabled());
}

TEST_F(XGMenusTest, ChoosingAnItemSendsItsCommandAndErrorsBecomeAlerts)
{
    TCommandForm* form = OpenWindow();
    fApp->GetMenuBar()->FindAction(403)->trigger();
    EXPECT_EQ(form->done, (std::vector<int>{403}));

    ModalScript script;
    script.Click(kXGAlertOK);
    form->throwOnMenu = true;
    fApp->GetMenuBar()->FindAction(403)->trigger();
    ASSERT_EQ(script.Shown().size(), 1u);
    EXPECT_TRUE(script.Shown()[0].Mentions("File Write Error"));
    EXPECT_TRUE(script.Shown()[0].Mentions("locked.tag - The file is read-only."));
}

TEST_F(XGMenusTest, AcceleratorsTakeTheFirstCommandOfTheirKeysAndOnlyWhenEnabled)
{
    TCommandForm* form = OpenWindow();
    QKeyEvent ctrlI(QEvent::KeyPress, Qt::Key_I, Qt::ControlModifier, "\t");
    EXPECT_TRUE(fApp->TranslateAccelerator(&ctrlI));
    EXPECT_EQ(form->done, (std::vector<int>{403}));
    QKeyEvent ctrlC(QEvent::KeyPress, Qt::Key_C, Qt::ControlModifier);
    EXPECT_TRUE(fApp->TranslateAccelerator(&ctrlC));
    EXPECT_EQ(form->done, (std::vector<int>{403, 6}));
    // a disabled command's key is taken but does nothing
    QKeyEvent ctrlK(QEvent::KeyPress, Qt::Key_K, Qt::ControlModifier);
    EXPECT_TRUE(fApp->TranslateAccelerator(&ctrlK));
    EXPECT_EQ(form->done.size(), 2u);
    // plain keys are no accelerators
    QKeyEvent plainI(QEvent::KeyPress, Qt::Key_I, Qt::NoModifier, "i");
    EXPECT_FALSE(fApp->TranslateAccelerator(&plainI));
}

TEST_F(XGMenusTest, AnEditWithTheFocusTakesTheEditCommandsFirst)
{
    TCommandForm* form = OpenWindow(true);
    XGView* edit = form->GetWindow()->FindView(1);
    edit->SetText("hello");
    static_cast<XGEditText*>(edit)->SelectAll();
    edit->Focus();
    ASSERT_EQ(form->GetWindow()->GetFocusView(), edit);
    QApplication::clipboard()->clear();
    QKeyEvent ctrlC(QEvent::KeyPress, Qt::Key_C, Qt::ControlModifier);
    EXPECT_TRUE(fApp->TranslateAccelerator(&ctrlC));
    EXPECT_EQ(QApplication::clipboard()->text().toStdString(), "hello");
    EXPECT_TRUE(form->done.empty());
    // Tag Info is not the edit's: it goes on up to the form
    EXPECT_TRUE(fApp->DoCommand(403));
    EXPECT_EQ(form->done, (std::vector<int>{403}));
}

TEST_F(XGMenusTest, TheTurnGivesKeysToTheAcceleratorsThenTheKeyHandler)
{
    TCommandForm* form = OpenWindow();
    QWidget* target = form->GetWindow()->GetWidget();
    QKeyEvent ctrlI(QEvent::KeyPress, Qt::Key_I, Qt::ControlModifier);
    EXPECT_TRUE(fApp->Turn(target, &ctrlI));
    EXPECT_EQ(form->done, (std::vector<int>{403}));
    EXPECT_TRUE(form->keys.empty());

    QKeyEvent backspace(QEvent::KeyPress, Qt::Key_Backspace, Qt::NoModifier);
    EXPECT_TRUE(fApp->Turn(target, &backspace));
    QKeyEvent del(QEvent::KeyPress, Qt::Key_Delete, Qt::ShiftModifier);
    EXPECT_FALSE(fApp->Turn(target, &del));
    QKeyEvent letter(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, "a");
    EXPECT_FALSE(fApp->Turn(target, &letter));
    EXPECT_EQ(form->keys, (std::vector<std::pair<int, int>>{{kXGKeyBackspace, 0}, {kXGKeyDelete, kXGShiftKey}, {'a', 0}}));
    // the same event handed on to a parent widget takes no second turn
    EXPECT_FALSE(fApp->Turn(target, &letter));
    EXPECT_EQ(form->keys.size(), 3u);
}

TEST_F(XGMenusTest, ThePlatformsOwnDialogsKeepTheirKeys)
{
    TCommandForm* form = OpenWindow();
    QDialog files; // as a file dialog would be
    files.setModal(true);
    files.show();
    QKeyEvent ctrlI(QEvent::KeyPress, Qt::Key_I, Qt::ControlModifier);
    EXPECT_FALSE(fApp->Turn(&files, &ctrlI));
    QKeyEvent backspace(QEvent::KeyPress, Qt::Key_Backspace, Qt::NoModifier);
    EXPECT_FALSE(fApp->Turn(&files, &backspace));
    EXPECT_TRUE(form->done.empty());
    EXPECT_TRUE(form->keys.empty());
    files.hide();
    EXPECT_TRUE(fApp->Turn(form->GetWindow()->GetWidget(), &ctrlI));
}

TEST_F(XGMenusTest, ExitClosesEveryWindowUnlessOneRefuses)
{
    TCommandForm* form = OpenWindow();
    OpenWindow();
    struct TRefusing : XGForm {
        bool CanClose() override { return false; }
    };
    XGViewRecord r;
    XGParseViewText("wind 0 0 0 50 50\n", r, nullptr);
    auto* refusing = new TRefusing;
    refusing->AttachWindow(XGBuildWindow(r));
    refusing->GetWindow()->Show(false);
    (void)form;
    fApp->Send(kXGQuitApplication);
    EXPECT_FALSE(fApp->IsQuitting());
    const auto& left = fApp->GetWindows();
    EXPECT_NE(std::find(left.begin(), left.end(), refusing->GetWindow()), left.end());
    delete refusing->GetWindow();
    fApp->Send(kXGQuitApplication);
    EXPECT_TRUE(fApp->IsQuitting());
}
