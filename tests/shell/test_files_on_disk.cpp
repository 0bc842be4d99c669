#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <thread>

#include "framework/qt/XGAlert.h"
#include "framework/qt/XGGuard.h"
#include "framework/qt/XGWindow.h"
#include "shell/TTagFileForm.h"
#include "shell/TTagFileWatcher.h"
#include "shell/TTolvaneApp.h"
#include "shell/shell_test_support.h"

namespace {

class FilesOnDisk : public ShellTest {
protected:
    void SetUp() override
    {
        ShellTest::SetUp();
        fPath = WriteTagFile("plugins/p.tag", {{"soun", "boom", "boom", 1, make_bytes(12, 3)},
                                               {"soun", "zap_", "zap", 1, make_bytes(13, 4)}});
        StartApp();
        fWindow = OpenWindow(fPath);
        ASSERT_NE(fWindow, nullptr);
        fFile = fWindow->GetFile();
    }

    tag_entry* Tag(const char* id) { return tag_find_in_file(fFile, code("soun"), code(id)); }

    // Another program's save: a complete new file renamed over the path.
    void ReplaceOnDisk(const std::vector<test_tag>& tags)
    {
        std::string temp = fData / "plugins/elsewhere.tmp";
        write_file(temp, build_multi_tag_file(tags));
        ASSERT_EQ(std::rename(temp.c_str(), fPath.c_str()), 0);
    }

    // Runs the event loop until what is asked for is so, for a few seconds at most.
    static bool Await(const std::function<bool()>& done)
    {
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (std::chrono::steady_clock::now() < deadline) {
            pump_events();
            if (done()) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return false;
    }

    int EditorWindows()
    {
        int n = 0;
        for (XGWindow* w : fApp->GetWindows()) n += dynamic_cast<TTagEditorBase*>(w->GetForm()) != nullptr;
        return n;
    }

    bytes Data(tag_entry* e)
    {
        uint32_t size = 0;
        const uint8_t* d = tag_get_data(e, &size);
        return d ? bytes(d, d + size) : bytes{};
    }

    std::string fPath;
    TTagFileForm* fWindow = nullptr;
    tag_file* fFile = nullptr;
};

} // namespace

TEST_F(FilesOnDisk, AFileWithoutChangesIsReadAgainWithItsWindowAndEditors)
{
    fApp->OpenTagEditor(Tag("boom"), false);
    fApp->OpenTagEditor(Tag("zap_"), false);
    TTestEditor* boom = editor_of(Tag("boom"));
    ASSERT_NE(boom, nullptr);
    int loads = boom->loads;
    ASSERT_EQ(EditorWindows(), 2);

    ReplaceOnDisk({{"soun", "boom", "boom", 1, make_bytes(20, 7)}, {"soun", "new_", "new", 1, make_bytes(5, 1)}});
    ASSERT_TRUE(Await([&] { return Tag("new_") != nullptr; })) << "the change was not noticed";
    EXPECT_EQ(fWindow->GetFile(), fFile) << "the same file, read again";
    EXPECT_EQ(fWindow->GetWindow()->GetTitle(), fPath);
    EXPECT_EQ(Data(Tag("boom")), make_bytes(20, 7));
    EXPECT_EQ(Tag("zap_"), nullptr);
    // the editor of the tag still there shows its new entry; the other one closed
    EXPECT_EQ(editor_of(Tag("boom")), boom);
    EXPECT_EQ(boom->GetTag(), Tag("boom"));
    EXPECT_EQ(boom->loads, loads + 1);
    EXPECT_EQ(EditorWindows(), 1);

    // removed from the disk: the file and its windows close, and the user is told
    ModalScript script;
    script.Click(kXGAlertOK);
    ASSERT_EQ(std::remove(fPath.c_str()), 0);
    ASSERT_TRUE(Await([&] { return script.Pending() == 0; }));
    EXPECT_TRUE(script.Shown().at(0).Mentions(fPath + " was removed by another program; it was closed."));
    EXPECT_EQ(fApp->GetStore().find_open_file(fPath), nullptr);
    EXPECT_EQ(EditorWindows(), 0);
}

TEST_F(FilesOnDisk, AFileWithChangesAsksAndIsNeverSavedOverTheOtherProgramsFile)
{
    bytes mine = make_bytes(30, 9);
    ASSERT_TRUE(tag_set_data(Tag("zap_"), mine.data(), uint32_t(mine.size())));
    ModalScript script;
    script.Click(TTagFileWatcher::kKeepMine);
    ReplaceOnDisk({{"soun", "boom", "boom", 1, make_bytes(20, 7)}});
    bytes theirs = read_file(fPath);
    ASSERT_TRUE(Await([&] { return script.Pending() == 0; }));
    EXPECT_TRUE(script.Shown().at(0).Mentions(fPath + " was changed by another program. Your changes to it are not "
                                              "saved: reload it and lose them, or keep yours (it can then only be "
                                              "saved with Save As)."));
    EXPECT_EQ(fWindow->GetWindow()->GetTitle(), fPath + " (modified) (changed on disk)");
    EXPECT_EQ(Data(Tag("zap_")), mine);
    EXPECT_EQ(Data(Tag("boom")), make_bytes(12, 3)) << "read from the file as it was opened";

    script.Click(kXGAlertOK);
    XGGuard([&] { fWindow->Save(); });
    EXPECT_TRUE(script.Shown().at(1).Mentions(fPath + " was changed by another program since it was opened"));
    EXPECT_EQ(read_file(fPath), theirs);

    // asked once for one change; a further change asks again
    pump_events();
    ReplaceOnDisk({{"soun", "boom", "boom", 1, make_bytes(22, 8)}});
    script.Click(TTagFileWatcher::kReload);
    ASSERT_TRUE(Await([&] { return script.Pending() == 0; }));
    EXPECT_EQ(script.Shown().size(), 3u);
    EXPECT_FALSE(tag_file_needs_saving(fFile));
    EXPECT_EQ(Tag("zap_"), nullptr);
    EXPECT_EQ(Data(Tag("boom")), make_bytes(22, 8));
    EXPECT_EQ(fWindow->GetWindow()->GetTitle(), fPath);
}
