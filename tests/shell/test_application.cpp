#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QKeyEvent>
#include <QDropEvent>
#include <QMainWindow>
#include <QMdiArea>
#include <QMenu>
#include <QMimeData>
#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QProgressDialog>
#include <QListWidget>
#include <QSettings>
#include <algorithm>
#include <cstdio>

#include "framework/qt/XGAlert.h"
#include "framework/qt/XGDialog.h"
#include "framework/qt/XGDragData.h"
#include "framework/qt/XGGuard.h"
#include "framework/qt/XGEditText.h"
#include "framework/qt/XGListControl.h"
#include "framework/qt/XGMenuBar.h"
#include "framework/qt/XGMessages.h"
#include "framework/qt/XGProgressDialog.h"
#include "framework/qt/XGWindow.h"
#include "shell/TAllTagForm.h"
#include "shell/TCheckReferencesForm.h"
#include "shell/TCreateTagDialog.h"
#include "shell/TNewMeshDialog.h"
#include "shell/TTagFileForm.h"
#include "shell/TTagInfoDialog.h"
#include "shell/TTolvaneApp.h"
#include "shell/TTreeView.h"
#include "shell/TWorkSummary.h"
#include "shell/shell_test_support.h"
#include "build/sample_data.h"
#include "framework/XGDirectory.h"
#include "framework/XGFile.h"
#include "framework/XGFileSpecifier.h"
#include "map/mesh_map.h"
#include "support/cli_runner.h"
#include "tags/gameplay/gameplay.h"
#include "tags/tag_types.h"

namespace {

bool Enabled(TTolvaneApp& app, int16_t id)
{
    return app.GetCommandStatus(id).enabled;
}

std::string Field(XGDialog& d, int32_t id)
{
    XGView* v = d.FindView(id);
    return v ? v->GetText() : "<missing>";
}

void Type(XGDialog& d, int32_t id, const std::string& text)
{
    auto* edit = dynamic_cast<XGEditText*>(d.FindView(id));
    ASSERT_NE(edit, nullptr) << id;
    edit->Type(text);
}

// Chooses the type with the code in the Create Tag dialog's list.
void ChooseType(XGDialog& d, tag_code type)
{
    auto* form = dynamic_cast<TCreateTagDialog*>(d.GetForm());
    ASSERT_NE(form, nullptr);
    const auto& types = form->GetTypes();
    auto it = std::find(types.begin(), types.end(), type);
    ASSERT_NE(it, types.end()) << tag_code_to_text(type) << " is not offered";
    static_cast<XGListControl*>(d.FindView(TCreateTagDialog::kTypeList))->Choose(int32_t(it - types.begin()));
}

} // namespace

TEST_F(ShellTest, TheFrameEnablesTheApplicationsCommandsAndTheAllTagsWindowDisablesTheFileCommands)
{
    WriteTagFile("plugins/p.tag", {{"rawd", "one_", "one", 1, make_bytes(3, 1)}});
    StartApp();
    for (int id : std::initializer_list<int>{kCommandNew, kCommandOpen, kCommandOpenAllTags, kCommandFindTag,
                                             kCommandBuildFoundation, kCommandUpdateFormats, int16_t(kXGCommandExit),
                       int16_t(kXGCommandAbout)})
        EXPECT_TRUE(Enabled(*fApp, int16_t(id))) << id;
    for (int id : std::initializer_list<int>{int16_t(kXGCommandCopy), kCommandSave, kCommandCreateTag, kCommandTagInfo, int16_t(2),
                       int16_t(9803), int16_t(2016)})
        EXPECT_FALSE(Enabled(*fApp, int16_t(id))) << id;
    // Help names the program, not the framework
    EXPECT_EQ(fApp->GetMenuBar()->FindAction(int16_t(kXGCommandAbout))->text().toStdString(), "&About Quenchold...");

    TAllTagForm* all = fApp->ShowAllTagWindow();
    for (int id : std::initializer_list<int>{int16_t(kXGCommandCut), int16_t(kXGCommandCopy), int16_t(kXGCommandPaste),
                       int16_t(kXGCommandClear), kCommandSave, kCommandSaveAs, kCommandRevert, kCommandCreateTag,
                       kCommandImportCameraMotion, kCommandImportCin, kCommandImportColormap, kCommandCollapseTerrain,
                       kCommandOpenTag, kCommandTagInfo})
        EXPECT_FALSE(Enabled(*fApp, int16_t(id))) << id;
    EXPECT_TRUE(Enabled(*fApp, kCommandFindDuplicates));
    EXPECT_TRUE(Enabled(*fApp, int16_t(kXGCommandClose)));
    all->GetTree()->Expand(all->GetTree()->GetFirstItem(), true);
    select_rows(all->GetTree(), {"one (one_) [0k]  plugins/p.tag"});
    EXPECT_TRUE(Enabled(*fApp, kCommandOpenTag));
    EXPECT_TRUE(Enabled(*fApp, kCommandTagInfo));
    // it takes no drops
    XGDragData files;
    files.AddFile(fData / "plugins/p.tag");
    EXPECT_FALSE(all->GetTree()->CanAcceptDrop(files));
}

TEST_F(ShellTest, OpenShowsTheFilesWindowOnceAndRefusesAFileThatIsNotATagFile)
{
    std::string a = WriteTagFile("plugins/a.tag", {{"rawd", "one_", "one", 1, make_bytes(3, 1)}});
    std::string b = WriteTagFile("plugins/b.tag", {{"rawd", "two_", "two", 1, make_bytes(3, 1)}});
    write_file(fData / "notes.txt", make_bytes(300, 1));
    StartApp();
    size_t files = fApp->GetStore().file_count();
    ModalScript script;
    script.File(fData / "notes.txt").Click(kXGAlertOK);
    fApp->DoCommand(kCommandOpen);
    ASSERT_EQ(script.Shown().size(), 1u);
    EXPECT_TRUE(script.Shown()[0].Mentions("File Open Error"));
    EXPECT_TRUE(script.Shown()[0].Mentions(fData / "notes.txt"));
    EXPECT_TRUE(script.Shown()[0].Mentions("not a tag file"));
    EXPECT_EQ(fApp->GetStore().file_count(), files);
    EXPECT_TRUE(fApp->GetWindows().empty());
    // cancelling opens nothing
    script.File("");
    fApp->DoCommand(kCommandOpen);
    EXPECT_TRUE(fApp->GetWindows().empty());

    // a file opened again brings its window forward
    script.File(a).File(b).File(a);
    fApp->DoCommand(kCommandOpen);
    fApp->DoCommand(kCommandOpen);
    EXPECT_EQ(fApp->GetFrontWindow()->GetTitle(), b);
    fApp->DoCommand(kCommandOpen);
    EXPECT_EQ(fApp->GetFrontWindow()->GetTitle(), a);
    EXPECT_EQ(fApp->GetWindows().size(), 2u);
}

TEST_F(ShellTest, FindTagOpensThePluginsCopyRemembersWhatWasTypedAndSaysWhatItDidNotFind)
{
    WriteTagFile("tags/base.tag", {{"soun", "boom", "base boom", 1, make_bytes(4, 1)}});
    WriteTagFile("plugins/p.tag", {{"soun", "boom", "plugin boom", 1, make_bytes(4, 2)}});
    StartApp();
    ModalScript script;
    script.Then([](XGDialog& d) {
        EXPECT_EQ(d.GetTitle(), "Find Tag");
        EXPECT_EQ(Field(d, 1), "");
        Type(d, 1, "  soun ");
        Type(d, 2, "boom");
        d.ClickControl(1001);
    });
    fApp->DoCommand(kCommandFindTag);
    tag_entry* opened = fApp->GetStore().find_tag(code("soun"), code("boom"));
    ASSERT_NE(editor_of(opened), nullptr);
    EXPECT_STREQ(opened->name, "plugin boom");
    EXPECT_EQ(fApp->GetFrontWindow()->GetTitle(), "plugin boom (boom/soun)");

    // the dialog opens with what was typed last, selected so that typing replaces it;
    // an unknown tag opens nothing and says so
    script.Then([](XGDialog& d) {
        EXPECT_EQ(Field(d, 2), "boom");
        QWidget* type = d.FindView(1)->GetWidget();
        QKeyEvent key(QEvent::KeyPress, Qt::Key_P, Qt::NoModifier, "p");
        QCoreApplication::sendEvent(type, &key);
        EXPECT_EQ(Field(d, 1), "p");
        Type(d, 1, "soun");
        Type(d, 2, "nope");
        d.ClickControl(1001);
    });
    script.Click(kXGAlertOK);
    size_t windows = fApp->GetWindows().size();
    fApp->DoCommand(kCommandFindTag);
    EXPECT_EQ(fApp->GetWindows().size(), windows);
    EXPECT_EQ(script.Shown().back().title, "Warning");
    EXPECT_TRUE(script.Shown().back().Mentions("Tag Not Found"));
    EXPECT_TRUE(script.Shown().back().Mentions("soun/nope"));
    EXPECT_EQ(fApp->GetFindId(), code("nope"));
    // Cancel keeps the memory
    script.Then([](XGDialog& d) {
        Type(d, 1, "xxxx");
        d.ClickControl(1002);
    });
    fApp->DoCommand(kCommandFindTag);
    EXPECT_EQ(fApp->GetFindType(), code("soun"));
    EXPECT_EQ(script.Pending(), 0);
}

TEST_F(ShellTest, FindTagByAPartOfTheNameOpensTheOnlyMatchOrAsksWhichOne)
{
    WriteTagFile("tags/base.tag", {{"soun", "boom", "Big Boom", 1, make_bytes(4, 1)}});
    WriteTagFile("plugins/p.tag", {{"proj", "bmrg", "boomerang", 2, make_bytes(256, 2)},
                                   {"soun", "zap_", "zap", 1, make_bytes(4, 3)},
                                   {"soun", "boo2", "a boom too", 1, make_bytes(4, 4)}});
    StartApp();
    auto find = [](const std::string& type, const std::string& name) {
        return [=](XGDialog& d) {
            Type(d, 1, type);
            Type(d, 2, "");
            Type(d, 3, name);
            d.ClickControl(1001);
        };
    };
    ModalScript script;
    std::vector<std::string> rows;
    script.Then(find("", "BOOM")).Then([&](XGDialog& d) {
        EXPECT_EQ(d.GetTitle(), "Choose Tag");
        EXPECT_EQ(Field(d, 1), "3 tags have names containing \"BOOM\":");
        auto* list = static_cast<XGListControl*>(d.FindView(2));
        for (int32_t i = 0; i < list->GetItemCount(); ++i) rows.push_back(list->GetItemText(i));
        list->Choose(1);
        d.ClickControl(100);
    });
    fApp->DoCommand(kCommandFindTag);
    EXPECT_EQ(rows, (std::vector<std::string>{"a boom too (boo2/soun) in plugins/p.tag",
                                              "Big Boom (boom/soun) in tags/base.tag",
                                              "boomerang (bmrg/proj) in plugins/p.tag"}));
    EXPECT_NE(editor_of(fApp->GetStore().find_tag(code("soun"), code("boom"))), nullptr);
    EXPECT_EQ(fApp->GetFindName(), "BOOM");

    // the type narrows it to one, which opens; the dialog offers the name again
    script.Then([&](XGDialog& d) {
        EXPECT_EQ(Field(d, 3), "BOOM");
        find("proj", "boom")(d);
    });
    fApp->DoCommand(kCommandFindTag);
    EXPECT_EQ(fApp->GetFrontWindow()->GetTitle(), "boomerang (bmrg/proj)");

    // nothing matches: said; a type without an ID and no name: said too
    script.Then(find("soun", "whisper")).Click(kXGAlertOK).Then(find("soun", "")).Click(kXGAlertOK);
    size_t windows = fApp->GetWindows().size();
    fApp->DoCommand(kCommandFindTag);
    fApp->DoCommand(kCommandFindTag);
    EXPECT_EQ(fApp->GetWindows().size(), windows);
    ASSERT_EQ(script.Pending(), 0);
    const auto& shown = script.Shown();
    EXPECT_TRUE(shown[shown.size() - 3].Mentions("No open tag has a name containing \"whisper\" of type soun."));
    EXPECT_TRUE(shown.back().Mentions("Type both a tag's type and its ID, or a part of its name."));
}

TEST_F(ShellTest, OpeningATagUpgradesAnOldOneOnceTakesVersionZeroAndRefusesANewerOne)
{
    std::string path = WriteTagFile("plugins/p.tag", {{"proj", "bolt", "bolt", 1, make_bytes(256, 1)},
                                                      {"soun", "zero", "zero", 0, make_bytes(4, 2)}});
    WriteTagFile("plugins/q.tag", {{"soun", "new_", "new", 7, make_bytes(4, 2)}});
    StartApp();
    tag_entry* bolt = fApp->GetStore().find_tag(code("proj"), code("bolt"));
    ModalScript script;
    script.Click(1);
    fApp->OpenTagEditor(bolt, false);
    ASSERT_EQ(script.Shown().size(), 1u);
    EXPECT_EQ(script.Shown()[0].title, "Data Format Updated");
    EXPECT_TRUE(script.Shown()[0].Mentions("One or more pieces of data have been updated to a newer format."));
    EXPECT_EQ(bolt->version, 2);
    // both texture stack references of a projectile are none after the update
    EXPECT_EQ(read_be32(tag_get_data(bolt) + 100), NONE_TAG);
    EXPECT_EQ(read_be32(tag_get_data(bolt) + 128), NONE_TAG);
    EXPECT_EQ(tag_get_data(bolt)[0], make_bytes(256, 1)[0]);
    // the projectile's editor is in front; its file's window says the file changed
    TTagFileForm* w = TTagFileForm::FromFile(bolt->file);
    ASSERT_NE(w, nullptr);
    ASSERT_NE(TTagEditorBase::FromTag(bolt), nullptr);
    EXPECT_EQ(fApp->GetFrontWindow(), TTagEditorBase::FromTag(bolt)->GetWindow());
    EXPECT_EQ(w->GetWindow()->GetTitle(), path + " (modified)");
    // a second opening converts nothing and says nothing
    fApp->OpenTagEditor(bolt, false);
    EXPECT_EQ(script.Shown().size(), 1u);

    // version 0 takes the current version without the dialog
    tag_entry* zero = fApp->GetStore().find_tag(code("soun"), code("zero"));
    fApp->OpenTagEditor(zero, false);
    EXPECT_EQ(script.Shown().size(), 1u);
    EXPECT_EQ(zero->version, tag_type_version(code("soun")));
    EXPECT_TRUE(zero->file->needrewrite);
    EXPECT_NE(editor_of(zero), nullptr);

    // newer than the editor: refused and left alone
    tag_entry* newer = fApp->GetStore().find_tag(code("soun"), code("new_"));
    script.Click(kXGAlertOK);
    XGGuard([&] { fApp->OpenTagEditor(newer, false); });
    ASSERT_EQ(script.Shown().size(), 2u);
    EXPECT_TRUE(script.Shown()[1].Mentions("v <= info->version"));
    EXPECT_EQ(newer->version, 7);
    EXPECT_EQ(editor_of(newer), nullptr);
    EXPECT_FALSE(tag_file_needs_saving(newer->file));
}

TEST_F(ShellTest, AnOpenEditorIsBroughtForwardAndNotLoadedAgain)
{
    WriteTagFile("plugins/p.tag", {{"soun", "boom", "boom", 1, make_bytes(4, 2)},
                                   {"soun", "zap_", "zap", 1, make_bytes(4, 2)}});
    StartApp();
    tag_entry* boom = fApp->GetStore().find_tag(code("soun"), code("boom"));
    tag_entry* zap = fApp->GetStore().find_tag(code("soun"), code("zap_"));
    fApp->OpenTagEditor(boom, false);
    TTestEditor* editor = editor_of(boom);
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->loads, 1);
    EXPECT_EQ(editor->GetWindow()->GetTitle(), "boom (boom/soun)");
    // the file's window came without pushing the editor back
    EXPECT_NE(TTagFileForm::FromFile(boom->file), nullptr);
    EXPECT_EQ(fApp->GetFrontWindow(), editor->GetWindow());
    fApp->OpenTagEditor(zap, false);
    fApp->OpenTagEditor(boom, false);
    EXPECT_EQ(editor_of(boom), editor);
    EXPECT_EQ(editor->loads, 1);
    EXPECT_EQ(fApp->GetFrontWindow(), editor->GetWindow());
}

TEST_F(ShellTest, CreateTagComputesTheIdForEachChoice)
{
    WriteTagFile("tags/base.tag", {{"amso", "fibo", "elsewhere", 1, make_bytes(4, 1)}});
    std::string path = WriteTagFile("plugins/p.tag", {{"amso", "fibp", "here", 1, make_bytes(4, 1)},
                                                      {"rawd", "fibq", "other type", 1, make_bytes(4, 1)}});
    StartApp();
    TTagFileForm* w = OpenWindow(path);
    std::vector<std::string> ids;
    ModalScript script;
    script.Then([&](XGDialog& d) {
        EXPECT_EQ(d.GetTitle(), "Create New Tag");
        EXPECT_EQ(Field(d, 1), "untitled tag");
        // no type yet: OK waits
        EXPECT_FALSE(d.FindView(TCreateTagDialog::kOK)->IsEnabled());
        EXPECT_FALSE(d.FindView(7)->IsEnabled());
        Type(d, 1, "Fire Bolt");
        ChooseType(d, code("amso"));
        EXPECT_TRUE(d.FindView(TCreateTagDialog::kOK)->IsEnabled());
        ids.push_back(Field(d, 7)); // 4: unique among the open amso tags
        d.ClickControl(3);
        ids.push_back(Field(d, 7)); // 3: the name alone
        d.ClickControl(5);
        ids.push_back(Field(d, 7)); // 5: unique among this file's amso tags
        d.ClickControl(6);
        EXPECT_TRUE(d.FindView(7)->IsEnabled());
        Type(d, 7, "my");
        EXPECT_EQ(Field(d, 7), "my"); // what is typed stays as typed
        d.ClickControl(TCreateTagDialog::kOK);
    });
    w->Send(kXGMenuMessage, kCommandCreateTag, 0, true);
    EXPECT_EQ(ids, (std::vector<std::string>{"fibq", "fibo", "fibo"}));
    tag_entry* made = tag_find_in_file(w->GetFile(), code("amso"), code("my__"));
    ASSERT_NE(made, nullptr);
    EXPECT_STREQ(made->name, "Fire Bolt");
    EXPECT_EQ(made->version, tag_type_version(code("amso")));
    // the defaults hook gave it its data; it is selected
    EXPECT_EQ(made->size, 8u);
    EXPECT_EQ(w->GetTree()->GetFirstSelected()->text, "Fire Bolt (my__) [0k]");
}

TEST_F(ShellTest, ACancelledDefaultsHookLeavesNoTag)
{
    std::string path = WriteTagFile("plugins/p.tag", {{"rawd", "one_", "one", 1, make_bytes(4, 1)}});
    StartApp();
    TTagFileForm* w = OpenWindow(path);
    ModalScript script;
    auto createMesh = [&](XGDialog& d) {
        Type(d, 1, "new map");
        ChooseType(d, code("mesh"));
        d.ClickControl(TCreateTagDialog::kOK);
    };
    script.Then(createMesh).Click(TNewMeshDialog::kCancel);
    w->Send(kXGMenuMessage, kCommandCreateTag, 0, true);
    EXPECT_EQ(tag_file_group(w->GetFile(), code("mesh")), nullptr);
    EXPECT_FALSE(tag_file_needs_saving(w->GetFile()));
    EXPECT_EQ(row_texts(w->GetTree()), (std::vector<std::string>{"Raw Files", "  one (one_) [0k]"}));

    script.Then(createMesh).Then([](XGDialog& d) {
        Type(d, TNewMeshDialog::kWidthField, "64");
        Type(d, TNewMeshDialog::kHeightField, "32");
        d.ClickControl(TNewMeshDialog::kOK);
    });
    w->Send(kXGMenuMessage, kCommandCreateTag, 0, true);
    tag_entry* map = tag_find_in_file(w->GetFile(), code("mesh"), code("nema"));
    ASSERT_NE(map, nullptr);
    TMeshMap loaded;
    load_map(map, loaded);
    EXPECT_EQ(loaded.fWidth, 64);
    EXPECT_EQ(loaded.fHeight, 32);
    EXPECT_EQ(map->version, tag_type_version(code("mesh")));
    // the new map opens in its header form
    TTagEditorBase* form = TTagEditorBase::FromTag(map);
    ASSERT_NE(form, nullptr);
    EXPECT_NE(form->FindView(11301), nullptr);
}

TEST_F(ShellTest, TheNewMeshDialogAcceptsOnlyMultiplesOf32UpTo512)
{
    StartApp();
    ModalScript script;
    script.Then([](XGDialog& d) {
        EXPECT_EQ(Field(d, TNewMeshDialog::kWidthField), "192");
        EXPECT_EQ(Field(d, TNewMeshDialog::kMessageText),
                  "A 192 x 192 mesh will require a colormap measuring 1512 x 1512 pixels.");
        Type(d, TNewMeshDialog::kWidthField, "48");
        EXPECT_EQ(Field(d, TNewMeshDialog::kMessageText), "The mesh sizes must be multiples of 32, between 32 and 512.");
        EXPECT_FALSE(d.ClickControl(TNewMeshDialog::kOK));
        // Return does not get past the check either
        d.FindView(TNewMeshDialog::kWidthField)->Send(kXGKeyMessage, kXGKeyReturn, 0, true);
        EXPECT_FALSE(d.IsDone());
        Type(d, TNewMeshDialog::kWidthField, "abc");
        EXPECT_FALSE(d.FindView(TNewMeshDialog::kOK)->IsEnabled());
        Type(d, TNewMeshDialog::kWidthField, "512");
        d.ClickControl(TNewMeshDialog::kOK);
    });
    int32_t w = 0, h = 0;
    EXPECT_TRUE(TNewMeshDialog::Run(w, h));
    EXPECT_EQ(w, 512);
    EXPECT_EQ(h, 192);
}

TEST_F(ShellTest, TagInfoRenamesAndReidentifiesAndOKAloneChangesNothing)
{
    std::string path = WriteTagFile("plugins/p.tag", {{"soun", "boom", "boom", 1, make_bytes(4, 1)}});
    StartApp();
    TTagFileForm* w = OpenWindow(path);
    tag_entry* boom = tag_find_in_file(w->GetFile(), code("soun"), code("boom"));
    fApp->OpenTagEditor(boom, false);
    w->GetWindow()->BringToFront();
    w->GetTree()->Expand(w->GetTree()->GetFirstItem(), true);
    select_rows(w->GetTree(), {"boom (boom) [0k]"});

    ModalScript script;
    script.Click(TTagInfoDialog::kOK);
    fApp->DoCommand(kCommandTagInfo);
    EXPECT_FALSE(tag_file_needs_saving(w->GetFile()));
    EXPECT_EQ(script.Shown().at(0).title, "Tag Info");

    script.Then([](XGDialog& d) {
        EXPECT_EQ(Field(d, 1), "boom");
        EXPECT_EQ(Field(d, 8), "soun");
        EXPECT_EQ(Field(d, 7), "boom");
        Type(d, 1, "Big Bang");
        d.ClickControl(3);
        EXPECT_EQ(Field(d, 7), "biba");
        Type(d, 8, "amso");
        d.ClickControl(TTagInfoDialog::kOK);
    });
    fApp->DoCommand(kCommandTagInfo);
    EXPECT_STREQ(boom->name, "Big Bang");
    EXPECT_EQ(boom->id, code("biba"));
    EXPECT_EQ(boom->group->type, code("amso"));
    EXPECT_EQ(w->GetTree()->GetFirstSelected()->text, "Big Bang (biba) [0k]");
    EXPECT_EQ(editor_of(boom)->GetWindow()->GetTitle(), "Big Bang (biba/amso)");

    // a type of "____" is no type: said, and the dialog stays until cancelled
    script.Then([&](XGDialog& d) {
        Type(d, 8, "");
        script.Click(kXGAlertOK);
        d.ClickControl(TTagInfoDialog::kOK);
        EXPECT_FALSE(d.IsDone());
        d.ClickControl(TTagInfoDialog::kCancel);
    });
    fApp->DoCommand(kCommandTagInfo);
    EXPECT_EQ(boom->group->type, code("amso"));
}

TEST_F(ShellTest, FindDuplicatesOpensEveryOtherTagWithTheSameTypeAndId)
{
    WriteTagFile("tags/base.tag", {{"soun", "boom", "base", 1, make_bytes(4, 1)}});
    WriteTagFile("local/boom.tag", {{"soun", "boom", "local", 1, make_bytes(4, 1)}});
    std::string path = WriteTagFile("plugins/p.tag", {{"soun", "boom", "plugin", 1, make_bytes(4, 1)},
                                                      {"soun", "zap_", "zap", 1, make_bytes(4, 1)}});
    StartApp();
    TTagFileForm* w = OpenWindow(path);
    w->GetTree()->Expand(w->GetTree()->GetFirstItem(), true);
    select_rows(w->GetTree(), {"plugin (boom) [0k]"});
    w->Send(kXGMenuMessage, kCommandFindDuplicates, 0, true);
    std::vector<std::string> opened;
    for (tag_entry* e = fApp->GetStore().next_entry(nullptr); e; e = fApp->GetStore().next_entry(e))
        if (editor_of(e)) opened.push_back(e->name);
    std::sort(opened.begin(), opened.end());
    EXPECT_EQ(opened, (std::vector<std::string>{"base", "local"}));
}

TEST_F(ShellTest, TagFilesDroppedOnTheFrameOpenAndOtherFilesAreRefused)
{
    std::string tagFile = WriteTagFile("elsewhere.tag", {{"rawd", "one_", "one", 1, make_bytes(3, 1)}});
    write_file(fData / "notes.txt", make_bytes(30, 2));
    StartApp();
    XGDragData files;
    files.AddFile(fData / "notes.txt");
    files.AddFile(tagFile);
    std::unique_ptr<QMimeData> mime(files.ToMime());
    fApp->GetFrame()->show();
    // as the platform delivers a drop: the drag enters first
    QWidget* area = fApp->GetMdiArea()->viewport();
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, mime.get(), Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(area, &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, mime.get(), Qt::LeftButton, Qt::NoModifier);
    ModalScript script;
    script.Click(kXGAlertOK);
    QCoreApplication::sendEvent(area, &drop);
    EXPECT_TRUE(drop.isAccepted());
    ASSERT_EQ(script.Shown().size(), 1u);
    EXPECT_TRUE(script.Shown()[0].Mentions("notes.txt (not a tag file)"));
    tag_file* opened = fApp->GetStore().find_open_file(tagFile);
    ASSERT_NE(opened, nullptr);
    ASSERT_NE(TTagFileForm::FromFile(opened), nullptr);
    EXPECT_EQ(fApp->GetFrontWindow()->GetTitle(), tagFile);
}

namespace {

// Runs the editor program (beside quenchold-cli) and captures what it prints.
cli_result run_editor(const std::vector<std::string>& args)
{
    std::string cli = std::getenv("QUENCHOLD_CLI");
    std::string editor = cli.substr(0, cli.rfind('/') + 1) + "quenchold";
    setenv("QUENCHOLD_CLI", editor.c_str(), 1);
    cli_result r = run_cli(args);
    setenv("QUENCHOLD_CLI", cli.c_str(), 1);
    return r;
}

} // namespace

TEST_F(ShellTest, ARootListOnTheCommandLineBuildsTheFoundationAndQuits)
{
    make_sample_data(fData.path());
    cli_result r = run_editor({"--data", fData.path(), fData / "root_list.txt"});
    ASSERT_EQ(r.status, 0) << r.err;
    for (const char* name : {"small.tag", "small_localized.tag", "large.tag", "dependency_log.txt"})
        EXPECT_TRUE(XGFile::Exists(fData / ("foundation_build/" + std::string(name)))) << name;
    EXPECT_NE(r.out.find("/small.tag: "), std::string::npos) << r.out;
    TTagStore built;
    ASSERT_NE(built.open_tag_file(fData / "foundation_build/large.tag", false), nullptr);
    EXPECT_NE(built.find_tag(code("mesh"), code("m001")), nullptr);

    r = run_editor({"--data", fData.path(), fData / "no_such_list.txt"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("no_such_list.txt"), std::string::npos) << r.err;
    r = run_editor({"--data", fData / "missing"});
    EXPECT_EQ(r.status, 2);
}

TEST_F(ShellTest, BuildFoundationTagsAsksForTheRootListAndSaysWhatItSkipped)
{
    make_sample_data(fData.path());
    write_text(fData / "roots.txt", read_text(fData / "root_list.txt") + "\nnonsense\n");
    StartApp();
    ModalScript script;
    script.File("");
    fApp->DoCommand(kCommandBuildFoundation);
    EXPECT_FALSE(XGFile::Exists(fData / "foundation_build/large.tag"));

    // progress while it works, then the summary with the way to the log
    std::vector<std::string> reports;
    XGProgressHook oldHook = XGSetProgressHook([&](XGProgressDialog& d) { reports.push_back(d.GetText()); });
    std::vector<std::string> opened;
    TOpenLogHook oldOpen = TSetOpenLogHook([&](const std::string& log) { opened.push_back(log); });
    script.File(fData / "roots.txt").Click(kXGAlertOK).Then([](XGDialog& d) {
        // the progress dialog of work too short to show it does not come up over the summary later
        QElapsedTimer waited;
        waited.start();
        while (waited.elapsed() < 600) QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        for (QWidget* w : QApplication::topLevelWidgets())
            EXPECT_FALSE(qobject_cast<QProgressDialog*>(w) && w->isVisible());
        EXPECT_TRUE(d.FindView(3)->IsShown());
        d.ClickControl(3);
        EXPECT_FALSE(d.IsDone());
        // Return is OK, as the button shows
        d.Send(kXGKeyMessage, kXGKeyReturn, 0, true);
        EXPECT_TRUE(d.IsDone());
    });
    fApp->DoCommand(kCommandBuildFoundation);
    XGSetProgressHook(oldHook);
    TSetOpenLogHook(oldOpen);
    EXPECT_TRUE(XGFile::Exists(fData / "foundation_build/large.tag"));
    ASSERT_EQ(script.Shown().size(), 2u);
    EXPECT_EQ(script.Shown()[0].title, "Warning");
    EXPECT_TRUE(script.Shown()[0].Mentions("'nonsense'"));
    EXPECT_EQ(script.Shown()[1].title, "Build Foundation Tags");
    EXPECT_TRUE(script.Shown()[1].Mentions("large.tag: "));
    EXPECT_TRUE(script.Shown()[1].Mentions("dependency_log.txt: "));
    EXPECT_TRUE(script.Shown()[1].Mentions("Took "));
    ASSERT_FALSE(reports.empty());
    EXPECT_EQ(reports.back().rfind("Writing small.tag", 0), 0u);
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(XGNormalPath(opened[0]), XGNormalPath(fData / "foundation_build/dependency_log.txt"));
}

TEST_F(ShellTest, UpdateTagFormatsSavesFilesWithoutWindowsAndRefreshesTheOthers)
{
    bytes old = make_bytes(256, 4);
    std::string shown = WriteTagFile("plugins/shown.tag", {{"proj", "bolt", "bolt", 1, old}});
    std::string quiet = WriteTagFile("plugins/quiet.tag", {{"proj", "dart", "dart", 1, old}});
    std::string locked = WriteTagFile("plugins/locked.tag", {{"proj", "axe_", "axe", 1, old}});
    std::string current = WriteTagFile("plugins/current.tag", {{"proj", "new_", "new", 2, old}});
    ASSERT_TRUE(make_unwritable(locked));
    bytes currentBefore = read_file(current);
    StartApp();
    TTagFileForm* w = OpenWindow(shown);
    w->GetTree()->Expand(w->GetTree()->GetFirstItem(), true);
    ModalScript script;
    script.Click(kXGAlertOK).Click(1);
    fApp->DoCommand(kCommandUpdateFormats);
    make_writable(locked);

    // with a window: converted, refreshed, left modified
    tag_entry* bolt = tag_find_in_file(w->GetFile(), code("proj"), code("bolt"));
    EXPECT_EQ(bolt->version, 2);
    EXPECT_TRUE(tag_file_needs_saving(w->GetFile()));
    EXPECT_EQ(w->GetWindow()->GetTitle(), shown + " (modified)");
    // without one: saved at once
    TTagStore reread;
    reread.open_tag_file(quiet, false);
    ASSERT_NE(reread.find_tag(code("proj"), code("dart")), nullptr);
    EXPECT_EQ(reread.find_tag(code("proj"), code("dart"))->version, 2);
    // a file that cannot be saved is reported, and the others went on
    ASSERT_EQ(script.Shown().size(), 2u);
    EXPECT_TRUE(script.Shown()[0].Mentions("File Write Error"));
    EXPECT_TRUE(script.Shown()[0].Mentions("locked.tag"));
    // the summary: what was converted, saved and left modified
    EXPECT_EQ(script.Shown()[1].title, "Update Tag Formats");
    EXPECT_TRUE(script.Shown()[1].Mentions(" tags converted"));
    EXPECT_TRUE(script.Shown()[1].Mentions("Saved:\n"));
    EXPECT_TRUE(script.Shown()[1].Mentions("quiet.tag"));
    EXPECT_TRUE(script.Shown()[1].Mentions("Changed in their windows, not saved yet:\n  "));
    EXPECT_TRUE(script.Shown()[1].Mentions("shown.tag"));
    // nothing old: nothing written
    EXPECT_EQ(read_file(current), currentBefore);

    // stopped before a file: it stays as it was
    WriteTagFile("plugins/quiet.tag", {{"proj", "dart", "dart", 1, old}});
    fApp->GetStore().revert_tag_file(fApp->GetStore().find_open_file(quiet));
    XGProgressHook oldHook = XGSetProgressHook([](XGProgressDialog& d) {
        EXPECT_TRUE(d.IsCancellable());
        d.Cancel();
    });
    script.Click(1);
    fApp->DoCommand(kCommandUpdateFormats);
    XGSetProgressHook(oldHook);
    EXPECT_TRUE(script.Shown().back().Mentions("Stopped after 0 of "));
    TTagStore stopped;
    stopped.open_tag_file(quiet, false);
    ASSERT_NE(stopped.find_tag(code("proj"), code("dart")), nullptr);
    EXPECT_EQ(stopped.find_tag(code("proj"), code("dart"))->version, 1);
}

TEST_F(ShellTest, ExecuteScriptRunsTheScriptAndSavesWhatChanged)
{
    std::string path = WriteTagFile("plugins/p.tag", {{"rawd", "one_", "one", 1, make_bytes(3, 1)}});
    std::string made = fData / "plugins/made.tag";
    write_text(fData / "make.QSF", "create_sounds " + made + "\n\nsoun \"bell toll\" bell 3 ____ 1 100 1 0.9 1.1 0.8 1 0\n");
    write_text(fData / "broken.QSF", "create_sounds\n\nsoun bell\n");
    StartApp();
    TTagFileForm* w = OpenWindow(path);
    fApp->GetStore().create_tag(w->GetFile(), code("rawd"), code("two_"), 1, "two", 0, 1, "x");
    // the log goes to the current folder, as the editor's is its data folder
    XGDirectory before = XGDirectory::GetCurrent();
    XGDirectory(fData.path()).MakeCurrent();

    ModalScript script;
    script.File(fData / "make.QSF").Click(1);
    fApp->DoCommand(kCommandExecuteScript);
    EXPECT_TRUE(script.Shown().back().Mentions("Saved:\n"));
    EXPECT_TRUE(script.Shown().back().Mentions("p.tag"));
    EXPECT_TRUE(script.Shown().back().Mentions(SCRIPT_LOG_NAME));
    TTagStore reread;
    ASSERT_NE(reread.open_tag_file(made, false), nullptr);
    EXPECT_NE(reread.find_tag(code("soun"), code("bell")), nullptr);
    // the changed file of the window was saved with the rest
    EXPECT_FALSE(tag_file_needs_saving(w->GetFile()));
    EXPECT_EQ(w->GetWindow()->GetTitle(), path);
    reread.open_tag_file(path, false);
    EXPECT_NE(reread.find_tag(code("rawd"), code("two_")), nullptr);

    // a script that does not parse says where, and nothing is saved
    fApp->GetStore().create_tag(w->GetFile(), code("rawd"), code("thre"), 1, "three", 0, 1, "x");
    script.File(fData / "broken.QSF").Click(kXGAlertOK);
    fApp->DoCommand(kCommandExecuteScript);
    ASSERT_EQ(script.Shown().size(), 2u);
    EXPECT_EQ(script.Shown()[1].title, "Quenchold Scripting");
    EXPECT_TRUE(script.Shown()[1].Mentions("Script Error"));
    EXPECT_TRUE(script.Shown()[1].Mentions("Line "));
    EXPECT_TRUE(tag_file_needs_saving(w->GetFile()));
    EXPECT_TRUE(XGFile::Exists(fData / "script_log.txt"));
    before.MakeCurrent();
}

TEST_F(ShellTest, OpenRecentListsTheLastTenTagFilesNewestFirst)
{
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, QString::fromStdString(fData / "settings"));
    std::vector<std::string> paths;
    for (int i = 0; i < 12; ++i)
        paths.push_back(WriteTagFile("r" + std::to_string(i) + ".tag", {{"rawd", "one_", "one", 1, make_bytes(3, 1)}}));
    StartApp();
    for (const std::string& path : paths) fApp->OpenTagFile(path);
    fApp->OpenTagFile(paths[5]);
    std::vector<std::string> recent = fApp->GetRecentFiles();
    ASSERT_EQ(recent.size(), 10u);
    EXPECT_EQ(recent[0], XGNormalPath(paths[5]));
    EXPECT_EQ(recent[1], XGNormalPath(paths[11]));
    EXPECT_EQ(std::count(recent.begin(), recent.end(), XGNormalPath(paths[5])), 1);
    EXPECT_EQ(std::find(recent.begin(), recent.end(), XGNormalPath(paths[0])), recent.end());

    // the submenu lists them; choosing one brings its window forward
    QMenu* menu = nullptr;
    for (QMenu* m : fApp->GetMenuBar()->GetMenus())
        if (m->title() == "Open &Recent") menu = m;
    ASSERT_NE(menu, nullptr);
    emit menu->aboutToShow();
    ASSERT_EQ(menu->actions().size(), 10);
    EXPECT_EQ(menu->actions()[1]->text().toStdString(), "2  " + XGNormalPath(paths[11]));
    EXPECT_FALSE(Enabled(*fApp, int16_t(kCommandFirstRecentFile + 10)));
    ASSERT_TRUE(fApp->DoCommand(int16_t(kCommandFirstRecentFile + 2)));
    EXPECT_EQ(fApp->GetRecentFiles()[0], XGNormalPath(paths[10]));
    EXPECT_EQ(fApp->GetFrontWindow()->GetTitle(), XGNormalPath(paths[10]));

    // a file that is gone says so and leaves the list; the list outlives the program
    std::remove(paths[9].c_str());
    fApp.reset();
    pump_events();
    StartApp();
    std::vector<std::string> kept = fApp->GetRecentFiles();
    auto gone = std::find(kept.begin(), kept.end(), XGNormalPath(paths[9]));
    ASSERT_NE(gone, kept.end());
    ModalScript script;
    script.Click(kXGAlertOK);
    fApp->DoCommand(int16_t(kCommandFirstRecentFile + int(gone - kept.begin())));
    ASSERT_EQ(script.Shown().size(), 1u);
    EXPECT_TRUE(script.Shown()[0].Mentions("r9.tag"));
    kept = fApp->GetRecentFiles();
    EXPECT_EQ(std::find(kept.begin(), kept.end(), XGNormalPath(paths[9])), kept.end());
}

TEST_F(ShellTest, CheckReferencesListsWhatIsMissingOpensTheReferringTagAndChecksAgain)
{
    unit_definition unit{};
    tag_struct_defaults(unit);
    unit.monster_tag = code("gone");
    WriteTagFile("tags/base.tag", {{"unit", "warr", "warrior", 2, tag_struct_bytes(unit)},
                                   {"rawd", "note", "note", 1, make_bytes(4, 1)},
                                   {"rawd", "note", "note again", 1, make_bytes(4, 2)}});
    StartApp();
    fApp->DoCommand(kCommandCheckReferences);
    auto* form = dynamic_cast<TCheckReferencesForm*>(fApp->GetFrontWindow()->GetForm());
    ASSERT_NE(form, nullptr);
    auto* list = dynamic_cast<XGListControl*>(form->FindView(TCheckReferencesForm::kList));
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->GetItemCount(), 2);
    EXPECT_EQ(list->GetItemText(0).rfind("rawd note (note again) duplicate id in ", 0), 0u) << list->GetItemText(0);
    EXPECT_EQ(list->GetItemText(1), "unit warr (warrior) -> mons gone missing");
    EXPECT_EQ(form->GetControlText(TCheckReferencesForm::kCountText),
              "1 missing reference, 0 unreadable tags, 1 duplicate id");

    // a double-click opens the editor of the tag that refers
    tag_entry* warrior = fApp->GetStore().find_tag(code("unit"), code("warr"));
    list->Choose(1);
    auto* widget = qobject_cast<QListWidget*>(list->GetWidget());
    ASSERT_NE(widget, nullptr);
    emit widget->itemDoubleClicked(widget->item(1));
    EXPECT_NE(TTagEditorBase::FromTag(warrior), nullptr);

    // the menu again brings the same window back, checked again
    monster_definition monster{};
    tag_struct_defaults(monster);
    bytes found = tag_struct_bytes(monster);
    fApp->GetStore().create_tag(warrior->file, code("mons"), code("gone"), 1, "found", 0, uint32_t(found.size()),
                                found.data());
    fApp->DoCommand(kCommandCheckReferences);
    EXPECT_EQ(fApp->GetFrontWindow()->GetForm(), form);
    EXPECT_EQ(list->GetItemCount(), 1);

    // a row whose tag closed opens nothing and says so
    ModalScript script;
    script.Click(kXGAlertOK);
    size_t windows = fApp->GetWindows().size();
    for (tag_entry* e = fApp->GetStore().next_entry(nullptr); e; e = fApp->GetStore().next_entry(e))
        if (std::string(e->name) == "note again") {
            fApp->GetStore().delete_tag(e);
            break;
        }
    form->OpenRow(0);
    EXPECT_EQ(fApp->GetWindows().size(), windows);
    EXPECT_TRUE(script.Shown().back().Mentions("no longer open"));
    form->FindView(TCheckReferencesForm::kCheckAgain)->Click();
    EXPECT_EQ(list->GetItemCount(), 0);
    EXPECT_EQ(form->GetControlText(TCheckReferencesForm::kCountText),
              "No problems: 0 missing references, 0 unreadable tags, 0 duplicate ids");
}
