// The editor started as main() starts it, in a program of its own, so that nothing
// has looked at the tag type registry before the application installs its hooks.
#include <gtest/gtest.h>

#include <QMainWindow>
#include <QTimer>

#include "framework/qt/XGAlert.h"
#include "framework/qt/XGDialog.h"
#include "framework/qt/XGEditText.h"
#include "framework/qt/XGGuard.h"
#include "framework/qt/XGListControl.h"
#include "framework/qt/XGMessages.h"
#include "framework/qt/XGStartup.h"
#include "framework_qt/qt_test_support.h"
#include "map/mesh_map.h"
#include "shell/TCreateTagDialog.h"
#include "shell/TNewMeshDialog.h"
#include "shell/TTagFileForm.h"
#include "shell/TTolvaneApp.h"
#include "support/tag_file_bytes.h"
#include "support/test_support.h"

TEST(EditorStartup, TheFrameShowsAndCreateTagOfAMapAsksForItsSize)
{
    qt_test_application();
    TempFolder data;
    std::string path = data.mkdir("plugins") + "/p.tag";
    write_file(path, build_multi_tag_file({{"rawd", "one_", "one", 1, make_bytes(4, 1)}}));

    ModalScript script;
    script.Then([](XGDialog& d) {
        static_cast<XGEditText*>(d.FindView(1))->Type("new map");
        auto* form = dynamic_cast<TCreateTagDialog*>(d.GetForm());
        const auto& types = form->GetTypes();
        auto mesh = std::find(types.begin(), types.end(), text_to_tag_code("mesh"));
        ASSERT_NE(mesh, types.end());
        static_cast<XGListControl*>(d.FindView(TCreateTagDialog::kTypeList))->Choose(int32_t(mesh - types.begin()));
        d.ClickControl(TCreateTagDialog::kOK);
    });
    script.Then([](XGDialog& d) {
        if (d.GetTitle() != "New Mesh") {
            ADD_FAILURE() << "no New Mesh dialog but " << d.GetTitle();
            d.EndModal(d.GetCancelButton());
            return;
        }
        static_cast<XGEditText*>(d.FindView(TNewMeshDialog::kWidthField))->Type("64");
        static_cast<XGEditText*>(d.FindView(TNewMeshDialog::kHeightField))->Type("32");
        d.ClickControl(TNewMeshDialog::kOK);
    });
    script.Click(kXGSaveWindowDontSave);

    bool frameShown = false;
    TMeshMap map;
    QTimer::singleShot(0, [&] {
        TTolvaneApp* app = TTolvaneApp::Get();
        XGGuard([&] {
            frameShown = app->GetFrame()->isVisible();
            TTagFileForm* w = TTagFileForm::FromFile(app->OpenTagFile(path));
            w->Send(kXGMenuMessage, kCommandCreateTag, 0, true);
            if (tag_entry* e = tag_find_in_file(w->GetFile(), text_to_tag_code("mesh"), text_to_tag_code("nema")))
                load_map(e, map);
        });
        app->Send(kXGQuitApplication);
        if (!app->IsQuitting()) app->SetQuit();
    });
    XGStartupOptions options;
    options.splash = false;
    int argc = 1;
    char name[] = "quenchold";
    char* argv[] = {name, nullptr};
    EXPECT_EQ(XGStartup(argc, argv, [&] { return new TTolvaneApp(data.path()); }, options), 0);
    EXPECT_TRUE(frameShown);
    EXPECT_EQ(map.fWidth, 64);
    EXPECT_EQ(map.fHeight, 32);
    EXPECT_EQ(script.Pending(), 0);
}
