#include "shell/shell_test_support.h"

#include <cstring>

#include "shell/TTagFileForm.h"
#include "shell/TTagPickList.h"
#include "shell/TTolvaneApp.h"
#include "shell/TTreeView.h"
#include "framework/XGResources.h"
#include "framework/qt/XGDialog.h"
#include "framework/qt/XGListControl.h"
#include "framework/qt/XGWindow.h"
#include "tags/tag_types.h"

namespace {

constexpr int32_t kTestEditorResource = 30001;

void* TestEditorHook(tag_entry* e)
{
    auto form = std::make_unique<TTestEditor>(e);
    XGWindow* w = form->BuildWindow(kTestEditorResource);
    form.release();
    return w;
}

void TestDefaults(tag_entry* e)
{
    const uint8_t data[8] = {0xDE, 0xFA, 0x17, 0x00, 0, 0, 0, 8};
    tag_set_data(e, data, sizeof data);
}

} // namespace

void install_test_tag_hooks()
{
    set_tag_type_editor_hooks("soun"_4cc, TestEditorHook, nullptr);
    set_tag_type_core_hooks("amso"_4cc, TestDefaults, nullptr, nullptr);
}

void ShellTest::SetUp()
{
    qt_test_application();
    install_test_tag_hooks();
    XGViewRecord editor;
    XGParseViewText("wind 0 0 0 300 200 \"Editor\"\n  text 1 10 10 100 20 \"test editor\"\n", editor, nullptr);
    XGAddResource(kXGViewResourceType, kTestEditorResource, XGEncodeViewResource(editor));
    for (const char* sub : {"tags", "local", "plugins"}) fData.mkdir(sub);
}

void ShellTest::TearDown()
{
    fApp.reset();
    pump_events();
}

std::string ShellTest::WriteTagFile(const std::string& relative, const std::vector<test_tag>& tags)
{
    std::string path = fData / relative;
    write_file(path, build_multi_tag_file(tags));
    return path;
}

void ShellTest::StartApp()
{
    fApp = std::make_unique<TTolvaneApp>(fData.path());
    // the application installs the program's editors; the test's stay in front of them
    install_test_tag_hooks();
    fApp->Initialize();
}

TTagFileForm* ShellTest::OpenWindow(const std::string& path)
{
    tag_file* f = fApp->OpenTagFile(path);
    return TTagFileForm::FromFile(f);
}

std::vector<std::string> row_texts(TTreeView* tree)
{
    std::vector<std::string> rows;
    for (TTreeItem* type = tree->GetFirstItem(); type; type = type->next) {
        rows.push_back(type->text);
        for (TTreeItem* tag = type->child; tag; tag = tag->next) rows.push_back("  " + tag->text);
    }
    return rows;
}

TTreeItem* find_row(TTreeView* tree, const std::string& text)
{
    for (TTreeItem* type = tree->GetFirstItem(); type; type = type->next) {
        if (type->text == text) return type;
        for (TTreeItem* tag = type->child; tag; tag = tag->next)
            if (tag->text == text) return tag;
    }
    return nullptr;
}

void select_rows(TTreeView* tree, const std::vector<std::string>& texts)
{
    tree->ClearSelection();
    for (const std::string& t : texts) {
        TTreeItem* row = find_row(tree, t);
        ASSERT_NE(row, nullptr) << "no row " << t;
        tree->Select(row, true);
    }
}

TTestEditor* editor_of(tag_entry* e)
{
    return dynamic_cast<TTestEditor*>(TTagEditorBase::FromTag(e));
}

void answer_pick_list(ModalScript& script, const std::string& row)
{
    script.Then([row](XGDialog& d) {
        if (row.empty()) {
            d.ClickControl(TTagPickList::kNone);
            return;
        }
        auto* list = dynamic_cast<XGListControl*>(d.FindView(TTagPickList::kList));
        ASSERT_NE(list, nullptr);
        for (int32_t i = 0; i < list->GetItemCount(); ++i)
            if (list->GetItemText(i) == row) list->Choose(i);
        EXPECT_EQ(list->GetText(), row);
        d.ClickControl(TTagPickList::kSelect);
    });
}
