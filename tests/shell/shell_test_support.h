// The editor on a data folder of its own, tag files written by hand, a test editor
// form with a close check the test decides, and helpers to read and pick tree rows.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "framework_qt/qt_test_support.h"
#include "shell/TTagEditorBase.h"
#include "support/tag_file_bytes.h"
#include "support/test_support.h"

class TTolvaneApp;
class TTagFileForm;
class TTreeView;
struct TTreeItem;

// The editor form of the test editor hooks: counts its loads, and its close check
// answers what the test says.
class TTestEditor : public TTagEditorBase {
public:
    explicit TTestEditor(tag_entry* e) : TTagEditorBase(e) {}
    void LoadTag() override { ++loads; }
    bool CanClose() override { return mayClose; }
    int loads = 0;
    bool mayClose = true;
};

// Installed on soun (an editor) and amso (defaults of eight bytes), over the program's own.
void install_test_tag_hooks();

class ShellTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Writes a tag file under the data folder (relative path) and returns its path.
    std::string WriteTagFile(const std::string& relative, const std::vector<test_tag>& tags);
    // The editor on the data folder, with its frame.
    void StartApp();
    TTagFileForm* OpenWindow(const std::string& path);

    TempFolder fData;
    std::unique_ptr<TTolvaneApp> fApp;
};

// Rows as text: type rows as they are, tag rows indented by two spaces.
std::vector<std::string> row_texts(TTreeView* tree);
TTreeItem* find_row(TTreeView* tree, const std::string& text);
// Selects the rows with these texts, in this order.
void select_rows(TTreeView* tree, const std::vector<std::string>& texts);
TTestEditor* editor_of(tag_entry* e);
// Answers the pick list by choosing the row with the text, or None when row is empty.
void answer_pick_list(ModalScript& script, const std::string& row);
