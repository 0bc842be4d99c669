#include <gtest/gtest.h>

#include "framework/qt/XGEditText.h"
#include "framework/qt/XGFactories.h"
#include "framework/qt/XGMessages.h"
#include "framework/qt/XGWindow.h"
#include "shell/TBitmapView.h"
#include "shell/TAllTagForm.h"
#include "shell/TTagFileForm.h"
#include "shell/TTolvaneApp.h"
#include "shell/TTreeView.h"
#include "shell/shell_test_support.h"
#include "tags/tag_types.h"

namespace {

bytes Sized(size_t n)
{
    return make_bytes(n, 7);
}

} // namespace

TEST(TTreeViewOrder, TextsCompareIgnoringCaseWithTheHighByteFirst)
{
    EXPECT_LT(TTreeView::CompareText("Alpha", "beta"), 0);
    EXPECT_LT(TTreeView::CompareText("beta", "Gamma"), 0);
    EXPECT_EQ(TTreeView::CompareText("SOUND", "sound"), 0);
    EXPECT_LT(TTreeView::CompareText("ab", "abc"), 0);
    EXPECT_GT(TTreeView::CompareText("abc", "ab"), 0);
    // 0xFF sorts below every byte, the end of the text included
    EXPECT_LT(TTreeView::CompareText("a\xFF", "a"), 0);
    EXPECT_LT(TTreeView::CompareText("\xFFz", "\x01"), 0);
    // letters beyond ASCII fold too
    EXPECT_EQ(TTreeView::CompareText("\xC9t\xC9", "\xE9t\xE9"), 0);
    EXPECT_LT(TTreeView::CompareText("[", "a"), 0); // '[' is below 'a' once 'A'..'Z' fold
}

TEST(TTreeViewOrder, ComparingRowsOfDifferentParentsOrTreesIsAnAssertion)
{
    qt_test_application();
    TTreeItem a, b;
    auto* owner = reinterpret_cast<TTreeView*>(uintptr_t(0x1000)); // only compared, never used
    a.owner = owner;
    b.owner = owner;
    a.text = "x";
    b.text = "y";
    EXPECT_LT(TTreeView::CompareItems(&a, &b), 0);
    TTreeItem parent;
    b.parent = &parent;
    EXPECT_THROW(TTreeView::CompareItems(&a, &b), AssertionThrown);
    b.parent = nullptr;
    b.owner = nullptr;
    EXPECT_THROW(TTreeView::CompareItems(&a, &b), AssertionThrown);
    a.owner = nullptr;
    EXPECT_THROW(TTreeView::CompareItems(&a, &b), AssertionThrown);
}

TEST_F(ShellTest, RowsShowTypesAndTagsSortedWithSizesInKilobytesAndKeepTheirExpansion)
{
    std::string path = WriteTagFile("plugins/p.tag", {{"rawd", "gamm", "Gamma", 1, Sized(1500)},
                                                      {"rawd", "alph", "Alpha", 1, Sized(1499)},
                                                      {"rawd", "beta", "beta", 1, Sized(0)},
                                                      {"soun", "boom", "boom", 1, Sized(20)},
                                                      {"zzzz", "odd_", "odd one", 1, Sized(3)}});
    StartApp();
    TTagFileForm* w = OpenWindow(path);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(row_texts(w->GetTree()), (std::vector<std::string>{"Raw Files", "  Alpha (alph) [1k]",
                                                                  "  beta (beta) [0k]", "  Gamma (gamm) [2k]",
                                                                  "Sounds", "  boom (boom) [0k]", "UNKNOWN TYPE",
                                                                  "  odd one (odd_) [0k]"}));
    // a type row carries no icon; tags without an editor 131, with one 130
    EXPECT_EQ(find_row(w->GetTree(), "Raw Files")->icon, 0);
    EXPECT_EQ(find_row(w->GetTree(), "Alpha (alph) [1k]")->icon, 131);
    EXPECT_EQ(find_row(w->GetTree(), "boom (boom) [0k]")->icon, 130);
    EXPECT_EQ(w->GetWindow()->GetTitle(), path);

    // a refresh keeps the expanded type rows, and only those
    TTreeView* tree = w->GetTree();
    tree->Expand(find_row(tree, "Sounds"), true);
    tree->Expand(find_row(tree, "Raw Files"), true);
    tree->Expand(find_row(tree, "Raw Files"), false);
    fApp->GetStore().create_tag(w->GetFile(), "soun"_4cc, "new_"_4cc, 1, "new", 0, 1, "x");
    w->Refresh(true);
    EXPECT_TRUE(find_row(tree, "Sounds")->expanded);
    EXPECT_FALSE(find_row(tree, "Raw Files")->expanded);
    EXPECT_FALSE(find_row(tree, "UNKNOWN TYPE")->expanded);
    EXPECT_NE(find_row(tree, "new (new_) [0k]"), nullptr);
}

TEST_F(ShellTest, TheChangedIconShowsInBothWindowsUntilTheFileIsSaved)
{
    std::string path = WriteTagFile("plugins/p.tag", {{"soun", "boom", "boom", 1, Sized(20)}});
    StartApp();
    TTagFileForm* w = OpenWindow(path);
    TAllTagForm* all = fApp->ShowAllTagWindow();
    tag_entry* e = tag_find_in_file(w->GetFile(), "soun"_4cc, "boom"_4cc);
    bytes data = Sized(30);
    tag_set_data(e, data.data(), uint32_t(data.size()));
    w->Refresh(true);
    w->UpdateTitle();
    pump_events();
    EXPECT_EQ(find_row(w->GetTree(), "boom (boom) [0k]")->icon, 132);
    ASSERT_NE(find_row(all->GetTree(), "boom (boom) [0k]  plugins/p.tag"), nullptr);
    EXPECT_EQ(find_row(all->GetTree(), "boom (boom) [0k]  plugins/p.tag")->icon, 132);
    EXPECT_EQ(w->GetWindow()->GetTitle(), path + " (modified)");
    // saved from the file's own window: neither window keeps the icon
    w->Send(kXGMenuMessage, kCommandSave, 0, true);
    pump_events();
    EXPECT_EQ(find_row(w->GetTree(), "boom (boom) [0k]")->icon, 130);
    EXPECT_EQ(find_row(all->GetTree(), "boom (boom) [0k]  plugins/p.tag")->icon, 130);
    EXPECT_EQ(w->GetWindow()->GetTitle(), path);
}

TEST_F(ShellTest, TheAllTagsWindowListsEveryFileUnderOneRowPerType)
{
    WriteTagFile("tags/base.tag", {{"rawd", "one_", "one", 1, Sized(1)}, {"soun", "s___", "zap", 1, Sized(1)}});
    WriteTagFile("plugins/p.tag", {{"rawd", "Two_", "Two", 1, Sized(1)}, {"rawd", "one_", "one", 1, Sized(1)}});
    StartApp();
    TAllTagForm* all = fApp->ShowAllTagWindow();
    EXPECT_EQ(all->GetWindow()->GetTitle(), "All Tag Files");
    // each row names its file; a tag hidden by the same type and id in a file that comes
    // first in lookups is greyed and says which file
    const std::string hidden = "one (one_) [0k]  tags/base.tag  (overridden by plugins/p.tag)";
    EXPECT_EQ(row_texts(all->GetTree()),
              (std::vector<std::string>{"Raw Files", "  one (one_) [0k]  plugins/p.tag", "  " + hidden,
                                        "  Two (Two_) [0k]  plugins/p.tag", "Sounds", "  zap (s___) [0k]  tags/base.tag"}));
    EXPECT_TRUE(find_row(all->GetTree(), hidden)->dimmed);
    EXPECT_FALSE(find_row(all->GetTree(), "one (one_) [0k]  plugins/p.tag")->dimmed);
    // the window follows the store: a tag created elsewhere shows up
    tag_file* plugin = fApp->GetStore().find_open_file(fData / "plugins/p.tag");
    fApp->GetStore().create_tag(plugin, "amso"_4cc, "amb_"_4cc, 1, "amb", 0, 1, "x");
    pump_events();
    EXPECT_NE(find_row(all->GetTree(), "Ambient Sounds"), nullptr);
    // one window only
    EXPECT_EQ(fApp->ShowAllTagWindow(), all);

    // a file opened later joins it; a file read again loses what was not saved
    std::string later = WriteTagFile("elsewhere.tag", {{"txst", "ston", "stone", 1, Sized(1)}});
    TTagFileForm* w = TTagFileForm::FromFile(fApp->OpenTagFile(later));
    pump_events();
    EXPECT_NE(find_row(all->GetTree(), "Texture Stacks"), nullptr);
    fApp->GetStore().create_tag(w->GetFile(), "soun"_4cc, "extr"_4cc, 1, "extra", 0, 1, "x");
    ModalScript script;
    script.Click(102); // Don't Save
    w->GetWindow()->Close(true);
    pump_events();
    auto rowStarting = [&](const std::string& text) {
        for (const std::string& row : row_texts(all->GetTree()))
            if (row.rfind("  " + text, 0) == 0) return true;
        return false;
    };
    EXPECT_FALSE(rowStarting("extra (extr) [0k]"));
    EXPECT_TRUE(rowStarting("stone (ston) [0k]"));
}

TEST_F(ShellTest, FilterBoxesNarrowTheTreesAndTheStatusBarShowsTheSelectedTag)
{
    WriteTagFile("tags/base.tag", {{"rawd", "one_", "one", 1, Sized(1)}, {"soun", "s___", "zap", 1, Sized(1)}});
    std::string plugin = WriteTagFile("plugins/p.tag", {{"rawd", "Two_", "Two", 1, Sized(1)},
                                                        {"rawd", "one_", "one", 3, Sized(1500)},
                                                        {"soun", "xq12", "Bang", 2, Sized(3)}});
    StartApp();
    TTagFileForm* w = OpenWindow(plugin);
    w->GetTree()->Expand(find_row(w->GetTree(), "Sounds"), true);
    auto* box = dynamic_cast<XGEditText*>(w->FindView(kTagFilterControl));
    ASSERT_NE(box, nullptr);
    // by name, ignoring case; by id; by type code or name
    box->Type("tW");
    EXPECT_EQ(row_texts(w->GetTree()), (std::vector<std::string>{"Raw Files", "  Two (Two_) [0k]"}));
    box->Type("xq1");
    EXPECT_EQ(row_texts(w->GetTree()), (std::vector<std::string>{"Sounds", "  Bang (xq12) [0k]"}));
    box->Type("raw f");
    EXPECT_EQ(row_texts(w->GetTree()).size(), 3u);
    box->Type("nothing like it");
    EXPECT_TRUE(row_texts(w->GetTree()).empty());
    // cleared, every row is back, expanded as the person left it
    box->Type(" ");
    EXPECT_EQ(row_texts(w->GetTree()).size(), 5u);
    EXPECT_TRUE(find_row(w->GetTree(), "Sounds")->expanded);
    EXPECT_FALSE(find_row(w->GetTree(), "Raw Files")->expanded);

    // the all-tags window filters the same way and keeps the selection it can
    TAllTagForm* all = fApp->ShowAllTagWindow();
    select_rows(all->GetTree(), {"one (one_) [2k]  plugins/p.tag"});
    EXPECT_EQ(fApp->GetStatusText(), "Type: rawd   ID: one_   Size: 1500 bytes   Version: 3   File: plugins/p.tag");
    all->SetFilter("ONE");
    EXPECT_EQ(row_texts(all->GetTree()),
              (std::vector<std::string>{"Raw Files", "  one (one_) [0k]  tags/base.tag  (overridden by plugins/p.tag)",
                                        "  one (one_) [2k]  plugins/p.tag"}));
    ASSERT_EQ(all->GetSelectedTags().size(), 1u);
    EXPECT_EQ(all->GetSelectedTags()[0]->size, 1500u);
    // the store changes: the filter stays
    fApp->GetStore().create_tag(w->GetFile(), "soun"_4cc, "ones"_4cc, 1, "bones", 0, 1, "x");
    pump_events();
    EXPECT_NE(find_row(all->GetTree(), "bones (ones) [0k]  plugins/p.tag"), nullptr);
    EXPECT_EQ(find_row(all->GetTree(), "Two (Two_) [0k]  plugins/p.tag"), nullptr);
    select_rows(all->GetTree(), {"bones (ones) [0k]  plugins/p.tag", "one (one_) [2k]  plugins/p.tag"});
    EXPECT_EQ(fApp->GetStatusText(),
              "Type: soun   ID: ones   Size: 1 byte   Version: 1   File: plugins/p.tag   (2 tags selected)");
}

TEST_F(ShellTest, TheProgramsViewClassesBuildFromResources)
{
    StartApp();
    XGViewRecord r;
    std::string why;
    ASSERT_TRUE(XGParseViewText("wind 0 0 0 640 300 \"Editor\"\n"
                                "  TGED 0 0 0 640 42\n"
                                "  TGBK 0 0 42 640 258 anchor=lrtb\n"
                                "    bmap 7 10 10 40 40\n",
                                r, &why))
        << why;
    std::unique_ptr<XGWindow> w(XGBuildWindow(r));
    for (int32_t id : {9801, 9802, 9803, 9804}) ASSERT_NE(w->FindView(id), nullptr) << id;
    // the header was laid out 480 wide: its right-hand buttons moved to the right edge
    EXPECT_EQ(w->FindView(9804)->GetFrame().left, 396 + 160);
    EXPECT_EQ(w->FindView(9803)->GetFrame().left, 312 + 160);
    EXPECT_EQ(w->FindView(9801)->GetFrame().left, 8);
    EXPECT_EQ(w->FindView(9802)->GetFrame().width, 228 + 160);
    auto* swatch = dynamic_cast<TBitmapView*>(w->FindView(7));
    ASSERT_NE(swatch, nullptr);
    swatch->SetColor(0x12, 0x34, 0x56);
    EXPECT_EQ(swatch->GetCenterColor(), 0x123456u);
}
