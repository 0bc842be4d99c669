#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QKeyEvent>
#include <QPoint>
#include <QWidget>
#include <unistd.h>

#include "framework/qt/XGAlert.h"
#include "framework/qt/XGDialog.h"
#include "framework/qt/XGDragData.h"
#include "framework/qt/XGEditText.h"
#include "framework/qt/XGListControl.h"
#include "framework/qt/XGGuard.h"
#include "framework/qt/XGMessages.h"
#include "framework/qt/XGWindow.h"
#include "shell/TCreateTagDialog.h"
#include "shell/TTagFileForm.h"
#include "shell/cin_bytes.h"
#include "shell/TTolvaneApp.h"
#include "shell/TTreeView.h"
#include "shell/shell_test_support.h"
#include "shell/tag_row_record.h"
#include "tags/tag_file_format.h"

namespace {

class TagFileWindowTest : public ShellTest {
protected:
    void SetUp() override
    {
        ShellTest::SetUp();
        fPath = WriteTagFile("plugins/p.tag", {{"rawd", "alph", "Alpha", 1, make_bytes(10, 1)},
                                               {"rawd", "beta", "beta", 1, make_bytes(11, 2)},
                                               {"soun", "boom", "boom", 1, make_bytes(12, 3)},
                                               {"soun", "zap_", "zap", 1, make_bytes(13, 4)}});
        StartApp();
        fWindow = OpenWindow(fPath);
        ASSERT_NE(fWindow, nullptr);
        fTree = fWindow->GetTree();
        for (TTreeItem* t = fTree->GetFirstItem(); t; t = t->next) fTree->Expand(t, true);
    }
    tag_file* File() { return fWindow->GetFile(); }
    tag_entry* Tag(const char* type, const char* id)
    {
        return tag_find_in_file(File(), code(type), code(id));
    }
    static bytes Data(tag_entry* e)
    {
        uint32_t size = 0;
        const uint8_t* data = e ? tag_get_data(e, &size) : nullptr;
        return data ? bytes(data, data + size) : bytes();
    }
    // as the menu does it: errors become alerts
    int Command(int16_t id)
    {
        int result = kXGNotHandled;
        XGGuard([&] { result = fWindow->Send(kXGMenuMessage, id, 0, true); });
        return result;
    }
    bool Enabled(int16_t id)
    {
        XGCommandStatus s;
        fTree->Send(kXGStatusMessage, id, reinterpret_cast<XGParam>(&s), true);
        return s.enabled;
    }
    std::vector<std::string> Clipboard()
    {
        std::vector<std::string> names;
        TTagClipboard& c = fApp->GetClipboard();
        for (int i = 0; i < c.GetCount(); ++i) names.push_back(c.Get(i).name);
        return names;
    }
    XGDragData RowDrag(tag_entry* e)
    {
        std::vector<uint8_t> bytes;
        tag_row_append_drag_bytes(tag_row_of(e), bytes);
        XGDragData data;
        data.Add(TAG_ROW_DRAG_TYPE, bytes.data(), bytes.size());
        return data;
    }
    void Drop(TTagFileForm* target, const XGDragData& data)
    {
        EXPECT_TRUE(target->GetTree()->CanAcceptDrop(data));
        target->GetTree()->AcceptDrop(data, QPoint(1, 1));
    }

    std::string fPath;
    TTagFileForm* fWindow = nullptr;
    TTreeView* fTree = nullptr;
};

} // namespace

TEST_F(TagFileWindowTest, CommandStatusFollowsTheSelectionClipboardAndFile)
{
    fTree->ClearSelection();
    for (int id : {int(kXGCommandCopy), int(kCommandTagInfo), int(kXGCommandPaste), int(kCommandSave), int(kCommandRevert)})
        EXPECT_FALSE(Enabled(int16_t(id))) << id;
    // the application's own commands stay enabled in a tag file window
    for (int id : {int(kCommandSaveAs), int(kCommandCreateTag), int(kCommandFindDuplicates), int(kCommandNew),
                   int(kCommandFindTag)})
        EXPECT_TRUE(Enabled(int16_t(id))) << id;

    select_rows(fTree, {"Alpha (alph) [0k]", "beta (beta) [0k]"});
    EXPECT_TRUE(Enabled(kXGCommandCut));
    EXPECT_TRUE(Enabled(kCommandOpenTag));
    EXPECT_FALSE(Enabled(kCommandFindDuplicates));
    Command(kXGCommandCopy);
    EXPECT_TRUE(Enabled(kXGCommandPaste));
    Command(kXGCommandPaste);
    EXPECT_TRUE(Enabled(kCommandSave));
    EXPECT_TRUE(Enabled(kCommandRevert));
    EXPECT_EQ(fWindow->GetWindow()->GetTitle(), fPath + " (modified)");
}

TEST_F(TagFileWindowTest, CopyTakesEachTagOnceAndPasteIntoTheSameFileGivesANewIdFromTheName)
{
    select_rows(fTree, {"beta (beta) [0k]", "Raw Files", "boom (boom) [0k]"});
    Command(kXGCommandCopy);
    EXPECT_EQ(Clipboard(), (std::vector<std::string>{"Alpha", "beta", "boom"}));
    // the copy is a copy: the file keeps its tags and stays saved
    EXPECT_FALSE(tag_file_needs_saving(File()));
    const tag_clipboard_record& r = fApp->GetClipboard().Get(2);
    EXPECT_EQ(bytes(r.data, r.data + r.size), make_bytes(12, 3));
    EXPECT_EQ(r.type, code("soun"));
    EXPECT_EQ(r.id, code("boom"));

    select_rows(fTree, {"boom (boom) [0k]"});
    Command(kXGCommandCopy);
    Command(kXGCommandPaste);
    ASSERT_NE(Tag("soun", "boon"), nullptr);
    EXPECT_STREQ(Tag("soun", "boon")->name, "boom");
    EXPECT_EQ(Data(Tag("soun", "boon")), make_bytes(12, 3));
    // the pasted tag is what is selected now
    ASSERT_EQ(fTree->GetSelectionCount(), 1);
    EXPECT_EQ(fTree->GetFirstSelected()->text, "boom (boon) [0k]");
}

TEST_F(TagFileWindowTest, CutSkipsATagWhoseEditorRefusesToCloseAndCutsTheOthers)
{
    fApp->OpenTagEditor(Tag("soun", "boom"), false);
    fApp->OpenTagEditor(Tag("soun", "zap_"), false);
    editor_of(Tag("soun", "boom"))->mayClose = false;
    select_rows(fTree, {"Sounds", "Alpha (alph) [0k]"});
    Command(kXGCommandCut);
    EXPECT_EQ(Clipboard(), (std::vector<std::string>{"zap", "Alpha"}));
    EXPECT_NE(Tag("soun", "boom"), nullptr);
    EXPECT_NE(editor_of(Tag("soun", "boom")), nullptr);
    EXPECT_EQ(Tag("soun", "zap_"), nullptr);
    EXPECT_EQ(Tag("rawd", "alph"), nullptr);
    EXPECT_EQ(row_texts(fTree), (std::vector<std::string>{"Raw Files", "  beta (beta) [0k]", "Sounds",
                                                          "  boom (boom) [0k]"}));
    // what was cut comes back whole
    Command(kXGCommandPaste);
    EXPECT_EQ(Data(Tag("soun", "zap_")), make_bytes(13, 4));
}

TEST_F(TagFileWindowTest, ClearAndTheDeleteKeysDeleteTheSelectionAndItsEditors)
{
    fApp->OpenTagEditor(Tag("soun", "boom"), false);
    editor_of(Tag("soun", "boom"))->mayClose = false; // not asked
    select_rows(fTree, {"boom (boom) [0k]"});
    fTree->Send(kXGKeyMessage, kXGKeyBackspace, 0, true);
    EXPECT_EQ(Tag("soun", "boom"), nullptr);
    select_rows(fTree, {"beta (beta) [0k]"});
    fTree->Send(kXGKeyMessage, kXGKeyDelete, 0, true);
    EXPECT_EQ(Tag("rawd", "beta"), nullptr);
    // more than one tag: asked first, and Cancel keeps them
    select_rows(fTree, {"Alpha (alph) [0k]", "zap (zap_) [0k]"});
    {
        ModalScript script;
        script.Click(kXGAlertCancel);
        Command(kXGCommandClear);
        ASSERT_EQ(script.Shown().size(), 1u);
        EXPECT_TRUE(script.Shown()[0].Mentions("Delete the 2 selected tags from p.tag?"));
    }
    EXPECT_NE(Tag("rawd", "alph"), nullptr);
    // with nothing selected the key is someone else's
    fTree->ClearSelection();
    EXPECT_EQ(fTree->Send(kXGKeyMessage, kXGKeyBackspace, 0, true), kXGNotHandled);
    EXPECT_EQ(row_texts(fTree), (std::vector<std::string>{"Raw Files", "  Alpha (alph) [0k]", "Sounds",
                                                          "  zap (zap_) [0k]"}));
}

TEST_F(TagFileWindowTest, ReturnAndCtrlEOpenTheSelectionAsDoubleClickDoes)
{
    fApp->ShowMainWindow();
    // keys as the platform delivers them, to the tree of the front window
    auto press = [&](int key, Qt::KeyboardModifiers modifiers) {
        fWindow->GetWindow()->BringToFront();
        QWidget* tree = fTree->GetWidget();
        tree->setFocus();
        QKeyEvent down(QEvent::KeyPress, key, modifiers);
        QCoreApplication::sendEvent(tree, &down);
        QKeyEvent up(QEvent::KeyRelease, key, modifiers);
        QCoreApplication::sendEvent(tree, &up);
        pump_events();
    };
    select_rows(fTree, {"boom (boom) [0k]"});
    // with Control the alternate editor, which sounds lack here: nothing opens
    press(Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(editor_of(Tag("soun", "boom")), nullptr);
    press(Qt::Key_Return, Qt::NoModifier);
    EXPECT_NE(editor_of(Tag("soun", "boom")), nullptr);
    select_rows(fTree, {"zap (zap_) [0k]"});
    press(Qt::Key_E, Qt::ControlModifier);
    EXPECT_NE(editor_of(Tag("soun", "zap_")), nullptr);
    // a type row opens and closes
    select_rows(fTree, {"Raw Files"});
    press(Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_FALSE(find_row(fTree, "Raw Files")->expanded);
    press(Qt::Key_Return, Qt::NoModifier);
    EXPECT_TRUE(find_row(fTree, "Raw Files")->expanded);
}

TEST_F(TagFileWindowTest, DroppedTagsAreCopiedUnlessTheyAreHereAlreadyGoneOrFromAnotherProcess)
{
    std::string other = WriteTagFile("plugins/other.tag", {{"soun", "boom", "other boom", 1, make_bytes(5, 9)},
                                                           {"rawd", "gift", "gift", 3, make_bytes(6, 8)}});
    TTagFileForm* target = OpenWindow(other);
    // from its own file, and onto a file with the same type and id: nothing
    Drop(fWindow, RowDrag(Tag("soun", "boom")));
    Drop(target, RowDrag(Tag("soun", "boom")));
    EXPECT_FALSE(tag_file_needs_saving(File()));
    // a row of another process id, one whose tag was deleted since, and bytes that are no rows
    XGDragData data = RowDrag(Tag("rawd", "alph"));
    std::vector<uint8_t> raw = *data.Get(TAG_ROW_DRAG_TYPE);
    raw[0] ^= 0x5A;
    XGDragData foreign, junk;
    foreign.Add(TAG_ROW_DRAG_TYPE, raw.data(), raw.size());
    Drop(target, foreign);
    XGDragData stale = RowDrag(Tag("rawd", "beta"));
    fApp->GetStore().delete_tag(Tag("rawd", "beta"));
    Drop(target, stale);
    junk.Add(TAG_ROW_DRAG_TYPE, "junk", 4);
    Drop(target, junk);
    EXPECT_FALSE(tag_file_needs_saving(target->GetFile()));
    EXPECT_STREQ(tag_find_in_file(target->GetFile(), code("soun"), code("boom"))->name, "other boom");

    Drop(target, RowDrag(Tag("rawd", "alph")));
    tag_entry* copy = tag_find_in_file(target->GetFile(), code("rawd"), code("alph"));
    ASSERT_NE(copy, nullptr);
    EXPECT_STREQ(copy->name, "Alpha");
    EXPECT_EQ(Data(copy), make_bytes(10, 1));
    EXPECT_NE(find_row(target->GetTree(), "Alpha (alph) [0k]"), nullptr);
}

TEST_F(TagFileWindowTest, DroppedFilesAddTheirTagsOrBecomeRawTags)
{
    std::string other = WriteTagFile("elsewhere.tag", {{"rawd", "alph", "not copied", 1, make_bytes(3, 3)},
                                                       {"rawd", "new_", "new one", 1, make_bytes(4, 4)}});
    write_file(fData / "notes.txt", make_bytes(21, 5));
    write_file(fData / "photo.jpg", make_bytes(22, 6));
    fData.mkdir("a folder");
    XGDragData data;
    data.AddFile(other);
    data.AddFile(fData / "notes.txt");
    data.AddFile(fData / "photo.jpg");
    ModalScript script;
    script.Click(kXGAlertOK); // the folder
    data.AddFile(fData / "a folder");
    Drop(fWindow, data);
    EXPECT_STREQ(Tag("rawd", "alph")->name, "Alpha");
    ASSERT_NE(Tag("rawd", "new_"), nullptr);
    EXPECT_EQ(Tag("rawd", "new_")->size, 4u);
    tag_group* raw = tag_file_group(File(), code("rawd"));
    tag_group* jpeg = tag_file_group(File(), code("jpeg"));
    ASSERT_NE(jpeg, nullptr);
    ASSERT_NE(jpeg->entries, nullptr);
    EXPECT_STREQ(jpeg->entries->name, "photo.jpg");
    EXPECT_EQ(jpeg->entries->size, 22u);
    EXPECT_EQ(tag_count_tags(raw), 4); // alph, beta, new_ and the text file
    EXPECT_NE(find_row(fTree, "JPEG Files"), nullptr);
    EXPECT_TRUE(script.Shown().at(0).Mentions("a folder"));
    // the dropped tag file was only read, not left open
    EXPECT_EQ(fApp->GetStore().find_open_file(other), nullptr);
}

TEST_F(TagFileWindowTest, SaveWritesTheFileSaveAsRefusesAnExistingTagFileAndRevertReadsItAgain)
{
    select_rows(fTree, {"boom (boom) [0k]"});
    Command(kXGCommandCopy);
    Command(kXGCommandPaste);
    Command(kCommandSave);
    EXPECT_FALSE(tag_file_needs_saving(File()));
    EXPECT_EQ(fWindow->GetWindow()->GetTitle(), fPath);
    TTagStore reread;
    ASSERT_NE(reread.open_tag_file(fPath, false), nullptr);
    EXPECT_NE(reread.find_tag(code("soun"), code("boon")), nullptr);

    std::string existing = WriteTagFile("plugins/existing.tag", {{"rawd", "keep", "keep", 1, make_bytes(7, 7)}});
    bytes before = read_file(fPath);
    bytes existingBefore = read_file(existing);
    Command(kXGCommandPaste);
    ModalScript script;
    script.File(existing).Click(kXGAlertOK);
    Command(kCommandSaveAs);
    EXPECT_EQ(script.FileRequests().back().proposedName, fPath) << "starts in the file's own folder";
    ASSERT_EQ(script.Shown().size(), 1u);
    EXPECT_TRUE(script.Shown()[0].Mentions("existing.tag"));
    EXPECT_EQ(read_file(existing), existingBefore);
    EXPECT_EQ(read_file(fPath), before);
    EXPECT_EQ(File()->path, fPath);
    EXPECT_TRUE(tag_file_needs_saving(File()));

    // a new path takes the file
    std::string moved = fData / "plugins/moved.tag";
    script.File(moved);
    Command(kCommandSaveAs);
    EXPECT_EQ(File()->path, moved);
    EXPECT_EQ(fWindow->GetWindow()->GetTitle(), moved);
    EXPECT_FALSE(tag_file_needs_saving(File()));
    // cancelling the file dialog does nothing
    script.File("");
    Command(kCommandSaveAs);
    EXPECT_EQ(File()->path, moved);

    // Revert asks, then reads the file again and keeps the window
    select_rows(fTree, {"Alpha (alph) [0k]"});
    Command(kXGCommandClear);
    script.Click(kXGAlertCancel);
    Command(kCommandRevert);
    EXPECT_EQ(Tag("rawd", "alph"), nullptr);
    script.Click(kXGAlertOK);
    Command(kCommandRevert);
    EXPECT_NE(Tag("rawd", "alph"), nullptr);
    EXPECT_FALSE(tag_file_needs_saving(File()));
    EXPECT_EQ(File()->form, fWindow);
    EXPECT_NE(find_row(fTree, "Alpha (alph) [0k]"), nullptr);
}

TEST_F(TagFileWindowTest, TheCloseCheckSavesCancelsOrRevertsAsAnswered)
{
    auto windowCount = [this] { return fApp->GetWindows().size(); };
    // an unchanged file closes without a question and stays loaded
    Command(kXGCommandClose);
    EXPECT_EQ(windowCount(), 0u);
    ASSERT_NE(fApp->GetStore().find_open_file(fPath), nullptr);
    fWindow = OpenWindow(fPath);
    fTree = fWindow->GetTree();

    ModalScript script;
    fApp->OpenTagEditor(Tag("soun", "zap_"), false);
    select_rows(fTree, {"beta (beta) [0k]"});
    Command(kXGCommandCut);
    script.Click(kXGSaveWindowCancel);
    EXPECT_FALSE(fWindow->GetWindow()->Close(true));
    EXPECT_EQ(script.Shown().back().title, "Save Window?");
    EXPECT_TRUE(script.Shown().back().Mentions("Should the contents of " + fPath + " be saved"));
    EXPECT_EQ(Tag("rawd", "beta"), nullptr);

    // Don't Save: the window goes, the file is read again from the disk without a
    // window, and the editors of its tags close with it
    script.Click(kXGSaveWindowDontSave);
    EXPECT_TRUE(fWindow->GetWindow()->Close(true));
    EXPECT_EQ(windowCount(), 0u);
    tag_file* reverted = fApp->GetStore().find_open_file(fPath);
    ASSERT_NE(reverted, nullptr);
    EXPECT_EQ(reverted->form, nullptr);
    EXPECT_FALSE(tag_file_needs_saving(reverted));
    EXPECT_NE(tag_find_in_file(reverted, code("rawd"), code("beta")), nullptr);

    // Save: the file is written and the window closes
    fWindow = OpenWindow(fPath);
    fTree = fWindow->GetTree();
    select_rows(fTree, {"beta (beta) [0k]"});
    Command(kXGCommandCut);
    script.Click(kXGSaveWindowSave);
    EXPECT_TRUE(fWindow->GetWindow()->Close(true));
    TTagStore reread;
    reread.open_tag_file(fPath, false);
    EXPECT_EQ(reread.find_tag(code("rawd"), code("beta")), nullptr);
    EXPECT_NE(reread.find_tag(code("rawd"), code("alph")), nullptr);
}

TEST_F(TagFileWindowTest, ANewFileIsSavedThroughSaveAsWhenItCloses)
{
    fApp->DoCommand(kCommandNew);
    auto* form = dynamic_cast<TTagFileForm*>(fApp->GetFrontWindow()->GetForm());
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->GetWindow()->GetTitle(), "(unsaved tag file)");
    tag_file* f = form->GetFile();
    fApp->GetStore().create_tag(f, code("rawd"), code("x___"), 1, "x", 0, 1, "x");

    ModalScript script;
    // Save, then no name chosen: the window stays
    script.Click(kXGSaveWindowSave).File("");
    EXPECT_FALSE(form->GetWindow()->Close(true));
    EXPECT_TRUE(script.Shown().back().Mentions("Should the contents of the new tag file be saved"));
    // Save with a name: written there
    std::string path = fData / "plugins/new.tag";
    script.Click(kXGSaveWindowSave).File(path);
    EXPECT_TRUE(form->GetWindow()->Close(true));
    TTagStore reread;
    ASSERT_NE(reread.open_tag_file(path, false), nullptr);
    EXPECT_NE(reread.find_tag(code("rawd"), code("x___")), nullptr);

    // Don't Save on a file without a path closes it
    fApp->DoCommand(kCommandNew);
    form = dynamic_cast<TTagFileForm*>(fApp->GetFrontWindow()->GetForm());
    f = form->GetFile();
    fApp->GetStore().create_tag(f, code("rawd"), code("y___"), 1, "y", 0, 1, "y");
    size_t files = fApp->GetStore().file_count();
    script.Click(kXGSaveWindowDontSave);
    EXPECT_TRUE(form->GetWindow()->Close(true));
    EXPECT_EQ(fApp->GetStore().file_count(), files - 1);
}

TEST_F(TagFileWindowTest, ImportCinMakesDialogTagsAndSaysWhatItSkipped)
{
    write_file(fData / "ui.CIN",
               cin_file({view_resource("Main Menu", 0, 0, 640, 480,
                                       {control("pbtn", 1, 0, 0, 10, 10, filler(8) + pstring("Play"), 0)}),
                         view_resource("Broken", 0, 0, 1, 1, {control("xxxx", 1, 0, 0, 0, 0, {})})}));
    write_file(fData / "bad.CIN", make_bytes(40, 3));
    ModalScript script;
    script.File(fData / "ui.CIN").Click(1);
    Command(kCommandImportCin);
    ASSERT_NE(Tag("bina", "mame"), nullptr);
    EXPECT_STREQ(Tag("bina", "mame")->name, "Main Menu");
    EXPECT_NE(find_row(fTree, "Dialogs"), nullptr);
    // the summary says what was made and what was skipped
    ASSERT_EQ(script.Shown().size(), 1u);
    EXPECT_EQ(script.Shown()[0].title, "Import .CIN File");
    EXPECT_TRUE(script.Shown()[0].Mentions("made bina/mame \"Main Menu\""));
    EXPECT_TRUE(script.Shown()[0].Mentions("skipped \"Broken\": control 1 has the unknown class `xxxx`"));
    EXPECT_TRUE(script.Shown()[0].Mentions("1 made, 0 replaced, 1 skipped"));

    // a file that is no interface-builder file: an error, and no change
    bytes before = read_file(fPath);
    uint32_t size = Tag("bina", "mame")->size;
    script.File(fData / "bad.CIN").Click(kXGAlertOK);
    Command(kCommandImportCin);
    EXPECT_EQ(script.Shown().back().title, "Error");
    EXPECT_TRUE(script.Shown().back().Mentions("Import .CIN File"));
    EXPECT_EQ(Tag("bina", "mame")->size, size);
    EXPECT_EQ(tag_count_tags(tag_file_group(File(), code("bina"))), 1);
    // and a cancelled file dialog does nothing
    script.File("");
    Command(kCommandImportCin);
    EXPECT_EQ(read_file(fPath), before);
}

TEST_F(TagFileWindowTest, ImportCameraMotionAddsACameraTagAndSelectsIt)
{
    write_text(fData / "flyby.ase", "*3DSMAX_ASCIIEXPORT 200\n*CAMERAOBJECT {\n *TM_ANIMATION {\n"
                                    "  *CONTROL_POS_TRACK {\n   *CONTROL_POS_SAMPLE 0 1 2 3\n  }\n"
                                    "  *CONTROL_ROT_TRACK {\n   *CONTROL_ROT_SAMPLE 0 0 0 1 0.5\n  }\n }\n}\n");
    write_text(fData / "broken.ase", "*3DSMAX_ASCIIEXPORT 200\n*CAMERAOBJECT {\n *TM_ANIMATION {\n");
    ModalScript script;
    script.File(fData / "flyby.ase").Click(1);
    Command(kCommandImportCameraMotion);
    ASSERT_EQ(script.Shown().size(), 1u);
    EXPECT_TRUE(script.Shown()[0].Mentions("Made the camera animation "));
    EXPECT_TRUE(script.Shown()[0].Mentions("flyby"));
    tag_group* cameras = tag_file_group(File(), code("canm"));
    ASSERT_NE(cameras, nullptr);
    EXPECT_STREQ(cameras->entries->name, "flyby");
    ASSERT_EQ(fTree->GetSelectionCount(), 1);
    EXPECT_EQ(fTree->GetFirstSelected()->text.rfind("flyby (", 0), 0u);

    // a file it cannot use is an error and adds nothing
    script.File(fData / "broken.ase").Click(kXGAlertOK);
    Command(kCommandImportCameraMotion);
    EXPECT_EQ(script.Shown().back().title, "Error");
    EXPECT_TRUE(script.Shown().back().Mentions("broken.ase"));
    EXPECT_EQ(tag_count_tags(cameras), 1);
}

TEST_F(TagFileWindowTest, UndoAndRedoTakeEachOperationBackToTheFilesBytes)
{
    std::string out = fData / "written.tag";
    auto Bytes = [&] {
        std::string why;
        EXPECT_TRUE(write_tag_file(File(), out, TAG_FILE_TYPE_PLUGIN, false, &why)) << why;
        return read_file(out);
    };
    write_file(fData / "notes.txt", make_bytes(21, 5));
    struct Step {
        const char* what;
        std::function<void()> run;
    };
    const std::vector<Step> steps = {
        {"clear",
         [&] {
             select_rows(fTree, {"Alpha (alph) [0k]", "zap (zap_) [0k]"});
             ModalScript script;
             script.Click(kXGAlertOK);
             Command(kXGCommandClear);
         }},
        {"cut",
         [&] {
             select_rows(fTree, {"Sounds"});
             Command(kXGCommandCut);
         }},
        {"paste", [&] { Command(kXGCommandPaste); }},
        {"tag info",
         [&] {
             select_rows(fTree, {"beta (beta) [0k]"});
             ModalScript script;
             script.Then([](XGDialog& d) {
                 d.FindView(1)->SetText("gamma");
                 d.FindView(8)->SetText("soun");
                 d.ClickControl(101);
             });
             Command(kCommandTagInfo);
         }},
        {"create",
         [&] {
             ModalScript script;
             script.Then([](XGDialog& d) {
                 auto* form = dynamic_cast<TCreateTagDialog*>(d.GetForm());
                 const auto& types = form->GetTypes();
                 auto it = std::find(types.begin(), types.end(), code("amso"));
                 static_cast<XGListControl*>(d.FindView(TCreateTagDialog::kTypeList))
                     ->Choose(int32_t(it - types.begin()));
                 d.ClickControl(TCreateTagDialog::kOK);
             });
             Command(kCommandCreateTag);
             fWindow->GetWindow()->BringToFront();
         }},
        {"drop",
         [&] {
             XGDragData data;
             data.AddFile(fData / "notes.txt");
             Drop(fWindow, data);
         }},
    };
    EXPECT_FALSE(Enabled(kXGCommandUndo));
    std::vector<bytes> states{Bytes()};
    for (const Step& step : steps) {
        step.run();
        states.push_back(Bytes());
        EXPECT_NE(states.back(), states[states.size() - 2]) << step.what;
    }
    // back, one step at a time, to the file as it was opened
    for (size_t i = steps.size(); i-- > 0;) {
        ASSERT_TRUE(Enabled(kXGCommandUndo)) << steps[i].what;
        Command(kXGCommandUndo);
        EXPECT_EQ(Bytes(), states[i]) << steps[i].what;
    }
    EXPECT_FALSE(Enabled(kXGCommandUndo));
    EXPECT_EQ(row_texts(fTree).size(), 6u);
    for (size_t i = 0; i < steps.size(); ++i) {
        ASSERT_TRUE(Enabled(kCommandRedo)) << steps[i].what;
        Command(kCommandRedo);
        EXPECT_EQ(Bytes(), states[i + 1]) << steps[i].what;
    }
    EXPECT_FALSE(Enabled(kCommandRedo));
    // the created tag's editor went with it and came back closed; a change made
    // elsewhere ends what can be undone
    EXPECT_TRUE(Enabled(kXGCommandUndo));
    fApp->GetStore().create_tag(File(), code("rawd"), code("xtra"), 1, "extra", 0, 1, "x");
    EXPECT_FALSE(Enabled(kXGCommandUndo));
}
