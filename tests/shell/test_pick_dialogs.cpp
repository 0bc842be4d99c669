#include <gtest/gtest.h>

#include "build/sample_data.h"
#include "framework/XGFileSpecifier.h"
#include "framework/qt/XGAlert.h"
#include "framework/qt/XGDialog.h"
#include "framework/qt/XGGuard.h"
#include "framework/qt/XGMessages.h"
#include "framework/qt/XGListControl.h"
#include "framework/qt/XGView.h"
#include "shell/TCollapseTerrainDialog.h"
#include "shell/TTagFileForm.h"
#include "shell/TTagPickList.h"
#include "shell/TTreeView.h"
#include "texture/txst_format.h"
#include "shell/TTolvaneApp.h"
#include "shell/shell_test_support.h"

namespace {

class PickDialogsTest : public ShellTest {
protected:
    void SetUp() override
    {
        ShellTest::SetUp();
        WriteTagFile("tags/base.tag", {{"txst", "gras", "grass", 1, make_bytes(300, 1)},
                                       {"txst", "ROCK", "Rock", 1, make_bytes(20, 1)}});
        fPath = WriteTagFile("plugins/p.tag", {{"txst", "mud_", "mud", 1, make_bytes(7, 1)},
                                               {"txst", "ash_", "Ash", 1, make_bytes(9, 1)},
                                               {"rawd", "note", "note", 1, make_bytes(3, 1)}});
        StartApp();
        fFile = fApp->GetStore().find_open_file(fPath);
    }
    static std::vector<std::string> Rows(XGDialog& d)
    {
        auto* list = static_cast<XGListControl*>(d.FindView(TTagPickList::kList));
        std::vector<std::string> rows;
        for (int i = 0; i < list->GetItemCount(); ++i) rows.push_back(list->GetItemText(i));
        return rows;
    }
    static void Pick(XGDialog& d, const std::string& row)
    {
        std::vector<std::string> rows = Rows(d);
        auto it = std::find(rows.begin(), rows.end(), row);
        ASSERT_NE(it, rows.end()) << row;
        static_cast<XGListControl*>(d.FindView(TTagPickList::kList))->Choose(int32_t(it - rows.begin()));
    }
    static std::string Text(XGDialog& d, int32_t id) { return d.FindView(id)->GetText(); }

    std::string fPath;
    tag_file* fFile = nullptr;
};

} // namespace

TEST_F(PickDialogsTest, ThePickListShowsTheTypesTagsSortedAndGivesTheChoice)
{
    ModalScript script;
    script.Then([](XGDialog& d) {
        EXPECT_EQ(d.GetTitle(), "Pick Texture Stack (txst)");
        EXPECT_EQ(Rows(d), (std::vector<std::string>{"Ash (ash_)", "grass (gras)", "mud (mud_)", "Rock (ROCK)"}));
        // the current tag is selected and described
        EXPECT_EQ(d.FindView(TTagPickList::kList)->GetValue(), 2);
        EXPECT_EQ(Text(d, TTagPickList::kIdText), "mud_");
        EXPECT_EQ(Text(d, TTagPickList::kSizeText), "7");
        EXPECT_EQ(Text(d, TTagPickList::kFileText), "plugins/p.tag");
        Pick(d, "grass (gras)");
        EXPECT_EQ(Text(d, TTagPickList::kFileText), "tags/base.tag");
        EXPECT_EQ(Text(d, TTagPickList::kSizeText), "300");
        d.ClickControl(TTagPickList::kSelect);
    });
    EXPECT_EQ(TTagPickList::Run(code("txst"), code("mud_"), fFile), code("gras"));

    script.Click(TTagPickList::kNone).Click(TTagPickList::kCancel);
    EXPECT_EQ(TTagPickList::Run(code("txst"), code("mud_"), fFile), NONE_TAG);
    EXPECT_EQ(TTagPickList::Run(code("txst"), code("mud_"), fFile), 0u);

    // nothing selected: Select waits
    script.Then([](XGDialog& d) {
        EXPECT_EQ(d.FindView(TTagPickList::kList)->GetValue(), -1);
        EXPECT_FALSE(d.ClickControl(TTagPickList::kSelect));
        EXPECT_EQ(Text(d, TTagPickList::kIdText), "");
        d.ClickControl(TTagPickList::kCancel);
    });
    EXPECT_EQ(TTagPickList::Run(code("txst"), NONE_TAG, fFile), 0u);
}

TEST_F(PickDialogsTest, TheFileScopeIsRememberedWhereItMakesSense)
{
    ModalScript script;
    script.Then([](XGDialog& d) {
        EXPECT_EQ(d.FindView(TTagPickList::kAllFiles)->GetValue(), 1);
        d.ClickControl(TTagPickList::kCurrentFileOnly);
        EXPECT_EQ(Rows(d), (std::vector<std::string>{"Ash (ash_)", "mud (mud_)"}));
        d.ClickControl(TTagPickList::kCancel);
    });
    TTagPickList::Run(code("txst"), code("mud_"), fFile);

    // remembered: the file holds the current tag
    script.Then([](XGDialog& d) {
        EXPECT_EQ(d.FindView(TTagPickList::kCurrentFileOnly)->GetValue(), 1);
        EXPECT_EQ(Rows(d).size(), 2u);
        d.ClickControl(TTagPickList::kCancel);
    });
    TTagPickList::Run(code("txst"), code("ash_"), fFile);

    // the current tag is in another file: all files, though the choice stays remembered
    script.Then([](XGDialog& d) {
        EXPECT_EQ(d.FindView(TTagPickList::kAllFiles)->GetValue(), 1);
        EXPECT_EQ(Rows(d).size(), 4u);
        d.ClickControl(TTagPickList::kCancel);
    });
    TTagPickList::Run(code("txst"), code("gras"), fFile);

    // a file without tags of the type, or no file: all files
    script.Then([](XGDialog& d) {
        EXPECT_EQ(d.FindView(TTagPickList::kAllFiles)->GetValue(), 1);
        EXPECT_FALSE(d.FindView(TTagPickList::kCurrentFileOnly)->IsEnabled());
        d.ClickControl(TTagPickList::kCancel);
    });
    TTagPickList::Run(code("soun"), NONE_TAG, fFile);
    script.Then([](XGDialog& d) {
        EXPECT_EQ(Rows(d).size(), 4u);
        d.ClickControl(TTagPickList::kAllFiles);
        d.ClickControl(TTagPickList::kCancel);
    });
    TTagPickList::Run(code("txst"), NONE_TAG, nullptr);
}

TEST_F(PickDialogsTest, ReferenceLabelsNameTheTagOrSayWhatIsWrong)
{
    const TTagStore& store = fApp->GetStore();
    EXPECT_EQ(TTagPickList::ReferenceLabel(&store, code("txst"), NONE_TAG), "(tag unassigned)");
    EXPECT_EQ(TTagPickList::ReferenceLabel(&store, code("txst"), 0), "(tag unassigned)");
    EXPECT_EQ(TTagPickList::ReferenceLabel(&store, code("txst"), code("ROCK")), "Rock");
    EXPECT_EQ(TTagPickList::ReferenceLabel(&store, code("txst"), code("gone")), "(missing tag 'gone')");
    // without a store every assigned tag is missing
    EXPECT_EQ(TTagPickList::ReferenceLabel(nullptr, code("txst"), code("ROCK")), "(missing tag 'ROCK')");
    EXPECT_EQ(TTagPickList::ReferenceLabel(nullptr, code("txst"), 0), "(tag unassigned)");
}

TEST_F(PickDialogsTest, CollapseTerrainWaitsForBothStacks)
{
    ModalScript script;
    tag_code terrain = 0, detail = 0;
    script.Then([&](XGDialog& d) {
        EXPECT_EQ(d.GetTitle(), "Collapse Terrain Detail");
        EXPECT_EQ(Text(d, TCollapseTerrainDialog::kDetailButton), "(tag unassigned)");
        EXPECT_FALSE(d.FindView(TCollapseTerrainDialog::kCreate)->IsEnabled());
        answer_pick_list(script, "mud (mud_)");
        d.ClickControl(TCollapseTerrainDialog::kDetailButton);
        EXPECT_EQ(Text(d, TCollapseTerrainDialog::kDetailButton), "mud");
        EXPECT_FALSE(d.FindView(TCollapseTerrainDialog::kCreate)->IsEnabled());
        // a cancelled pick keeps what was there
        script.Click(TTagPickList::kCancel);
        d.ClickControl(TCollapseTerrainDialog::kDetailButton);
        EXPECT_EQ(Text(d, TCollapseTerrainDialog::kDetailButton), "mud");
        answer_pick_list(script, "Rock (ROCK)");
        d.ClickControl(TCollapseTerrainDialog::kTerrainButton);
        EXPECT_TRUE(d.ClickControl(TCollapseTerrainDialog::kCreate));
    });
    EXPECT_TRUE(TCollapseTerrainDialog::Run(fFile, terrain, detail));
    EXPECT_EQ(terrain, code("ROCK"));
    EXPECT_EQ(detail, code("mud_"));

    script.Click(TCollapseTerrainDialog::kCancel);
    EXPECT_FALSE(TCollapseTerrainDialog::Run(fFile, terrain, detail));
}

namespace {

class TextureCommandsTest : public ShellTest {
protected:
    void SetUp() override
    {
        ShellTest::SetUp();
        make_sample_data(fData.path());
        fPath = WriteTagFile("plugins/work.tag", {{"rawd", "note", "note", 1, make_bytes(3, 1)}});
        StartApp();
        fWindow = TTagFileForm::FromFile(fApp->OpenTagFile(fPath));
    }
    void Command(int16_t id)
    {
        XGGuard([&] { fWindow->Send(kXGMenuMessage, id, 0, true); });
    }
    std::string fPath;
    TTagFileForm* fWindow = nullptr;
};

} // namespace

TEST_F(TextureCommandsTest, ImportNewColormapMakesATerrainStackNamedAfterTheImage)
{
    ModalScript script;
    std::string image = fData / "images/sample_terrain.psd";
    script.File(image).Click(1);
    Command(kCommandImportColormap);
    tag_group* stacks = tag_file_group(fWindow->GetFile(), code("txst"));
    ASSERT_NE(stacks, nullptr);
    tag_entry* e = stacks->entries;
    EXPECT_EQ(std::string(e->name), "sample_terrain");
    EXPECT_EQ(e->id, tag_id_from_name(e->name));
    EXPECT_GT(e->size, 0u);
    EXPECT_EQ(read_texture_set(e)->stack_count(), 9u);
    EXPECT_EQ(fWindow->GetTree()->GetFirstSelected()->text, TTagTreeForm::TagRowText(e));
    EXPECT_TRUE(script.Shown().back().Mentions("Made the texture stack "));

    // an image it cannot read: an error, and no tag
    write_file(fData / "flat.psd", bytes(40, 1));
    script.File(fData / "flat.psd").Click(kXGAlertOK);
    Command(kCommandImportColormap);
    EXPECT_TRUE(script.Shown().back().Mentions("not a Photoshop file"));
    EXPECT_EQ(tag_count_tags(stacks), 1);
}

TEST_F(TextureCommandsTest, CollapseTerrainDetailAddsTheCollapsedStack)
{
    ModalScript script;
    script.Then([&](XGDialog& d) {
        answer_pick_list(script, "Sample Terrain Detail (detl)");
        d.ClickControl(TCollapseTerrainDialog::kDetailButton);
        answer_pick_list(script, "Sample Terrain (terr)");
        d.ClickControl(TCollapseTerrainDialog::kTerrainButton);
        // then the summary
        script.Click(1);
        d.ClickControl(TCollapseTerrainDialog::kCreate);
    });
    Command(kCommandCollapseTerrain);
    EXPECT_EQ(script.Shown().back().title, "Collapse Terrain Detail");
    tag_group* stacks = tag_file_group(fWindow->GetFile(), code("txst"));
    ASSERT_NE(stacks, nullptr);
    EXPECT_STREQ(stacks->entries->name, "Collapsed Terrain Stack");
    EXPECT_EQ(read_texture_set(stacks->entries)->stack_count(), 9u);
    EXPECT_EQ(fWindow->GetTree()->GetFirstSelected()->text, TTagTreeForm::TagRowText(stacks->entries));
}
