#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "framework/XGError.h"
#include "framework/XGFile.h"
#include "framework/XGFileLock.h"
#include "support/tag_file_bytes.h"
#include "tags/tags.h"

namespace {

class TagSaving : public ::testing::Test {
protected:
    TempFolder dir;
    TTagStore store;

    tag_file* OpenFile(const std::string& name, const std::vector<test_tag>& tags, int16_t kind = 1)
    {
        write_file(dir / name, build_multi_tag_file(tags, kind));
        return store.open_tag_file(dir / name, false);
    }

    std::vector<test_tag> ThreeTags()
    {
        return {{"soun", "aaaa", "a", 1, make_bytes(100, 1)},
                {"soun", "bbbb", "b", 1, make_bytes(200, 2)},
                {"soun", "cccc", "c", 1, make_bytes(300, 3)}};
    }

    // Another program's save: a store of its own gives tag id new data and saves it.
    void SaveElsewhere(const std::string& name, const char* id, const bytes& data)
    {
        TTagStore other;
        tag_file* f = other.open_tag_file(dir / name, false);
        ASSERT_TRUE(tag_set_data(tag_find_in_file(f, code("soun"), code(id)), data.data(), uint32_t(data.size())));
        other.save_tag_file(f);
    }

    bytes Data(tag_file* f, const char* id)
    {
        uint32_t size = 0;
        const uint8_t* d = tag_get_data(tag_find_in_file(f, code("soun"), code(id)), &size);
        return d ? bytes(d, d + size) : bytes{};
    }

    static std::string Message(const std::function<void()>& f)
    {
        try {
            f();
        } catch (const XGError& e) {
            return e.GetTitle() + ": " + e.GetMessage();
        }
        return "no error";
    }
};

} // namespace

TEST_F(TagSaving, UpdateInPlaceWritesOnlyTheDirtyTagsBytes)
{
    tag_file* f = OpenFile("f.tag", ThreeTags());
    bytes before = read_file(dir / "f.tag");
    tag_entry* b = tag_find_in_file(f, code("soun"), code("bbbb"));
    bytes replacement = make_bytes(200, 9);
    ASSERT_TRUE(tag_set_data(b, replacement.data(), 200));
    ASSERT_FALSE(f->needrewrite);
    store.save_tag_file(f);

    bytes after = read_file(dir / "f.tag");
    ASSERT_EQ(after.size(), before.size());
    size_t start = b->offset, end = b->offset + 200;
    for (size_t i = 0; i < after.size(); ++i) {
        if (i >= start && i < end) ASSERT_EQ(after[i], replacement[i - start]);
        else ASSERT_EQ(after[i], before[i]) << "byte " << i << " outside the tag changed";
    }
    EXPECT_FALSE(b->dirty || f->needupdate);
    EXPECT_EQ(dir.files(), std::vector<std::string>{"f.tag"});
}

TEST_F(TagSaving, RewriteGoesThroughATemporaryFileAndReleasesData)
{
    tag_file* f = OpenFile("f.tag", ThreeTags());
    tag_entry* a = tag_find_in_file(f, code("soun"), code("aaaa"));
    bytes grown = make_bytes(150, 8);
    ASSERT_TRUE(tag_set_data(a, grown.data(), 150));
    EXPECT_TRUE(f->needrewrite);
    struct stat before;
    ASSERT_EQ(::stat((dir / "f.tag").c_str(), &before), 0);
    store.save_tag_file(f);

    EXPECT_FALSE(f->needupdate || f->needrewrite);
    EXPECT_EQ(f->path, dir / "f.tag");
    EXPECT_EQ(dir.files(), std::vector<std::string>{"f.tag"}) << "no temporary file left";
    struct stat after;
    ASSERT_EQ(::stat((dir / "f.tag").c_str(), &after), 0);
    EXPECT_NE(before.st_ino, after.st_ino) << "replaced by the temporary file";

    std::vector<test_tag> expected = ThreeTags();
    expected[0].data = grown;
    EXPECT_EQ(read_file(dir / "f.tag"), build_multi_tag_file(expected, 1, 0, "f"));
    EXPECT_EQ(a->data, nullptr);
    uint32_t size;
    const uint8_t* d = tag_get_data(a, &size);
    EXPECT_EQ(bytes(d, d + size), grown);
}

TEST_F(TagSaving, AFailedRewriteLeavesTheFileAndTheStoreAlone)
{
    tag_file* f = OpenFile("f.tag", ThreeTags());
    bytes before = read_file(dir / "f.tag");
    tag_entry* a = tag_find_in_file(f, code("soun"), code("aaaa"));
    bytes grown = make_bytes(150, 8);
    ASSERT_TRUE(tag_set_data(a, grown.data(), 150));
    // the bytes of another tag vanish from under the store
    tag_entry* c = tag_find_in_file(f, code("soun"), code("cccc"));
    c->offset = 0x7FFFFFF0;
    std::string message = Message([&] { store.save_tag_file(f); });
    EXPECT_EQ(message.rfind("File Write Error: ", 0), 0u) << message;
    EXPECT_NE(message.find("cannot be read"), std::string::npos) << message;
    EXPECT_EQ(read_file(dir / "f.tag"), before);
    EXPECT_EQ(dir.files(), std::vector<std::string>{"f.tag"});
    EXPECT_TRUE(f->needupdate && f->needrewrite && a->dirty);
    EXPECT_NE(a->data, nullptr);
}

TEST_F(TagSaving, ProtectedFilesAreRefusedWithTheirMessages)
{
    tag_file* base = OpenFile("base.tag", ThreeTags(), 3);
    bytes before = read_file(dir / "base.tag");
    tag_entry* a = tag_find_in_file(base, code("soun"), code("aaaa"));
    bytes other = make_bytes(100, 5);
    tag_set_data(a, other.data(), 100);
    EXPECT_TRUE(tag_file_is_protected(base));
    EXPECT_EQ(Message([&] { store.save_tag_file(base); }),
              "File Write Error: Unable to write data to file base.tag - Cannot modify base tags or patches.");
    EXPECT_EQ(read_file(dir / "base.tag"), before);

    tag_file* f = OpenFile("ro.tag", ThreeTags());
    ASSERT_TRUE(make_unwritable(dir / "ro.tag"));
    tag_entry* b = tag_find_in_file(f, code("soun"), code("bbbb"));
    bytes grown = make_bytes(10, 5);
    tag_set_data(b, grown.data(), 10);
    EXPECT_EQ(Message([&] { store.save_tag_file(f); }),
              "File Write Error: Unable to write data to file ro.tag - The file is read-only.");
    EXPECT_TRUE(f->read_only);
    EXPECT_TRUE(tag_file_is_protected(f));
    make_writable(dir / "ro.tag");
}

TEST_F(TagSaving, ReadOnlyFilesOpenButAreProtected)
{
    write_file(dir / "ro.tag", build_multi_tag_file(ThreeTags()));
    ASSERT_TRUE(make_unwritable(dir / "ro.tag"));
    tag_file* f = store.open_tag_file(dir / "ro.tag", false);
    ASSERT_NE(f, nullptr);
    EXPECT_TRUE(f->read_only);
    EXPECT_NE(tag_get_data(f->groups->entries), nullptr);
    make_writable(dir / "ro.tag");
}

TEST_F(TagSaving, SaveAsWritesElsewhereAndAdoptsThePath)
{
    tag_file* f = store.new_tag_file();
    bytes data = make_bytes(64, 4);
    store.create_tag(f, code("rawd"), code("a___"), 1, "a", 0, 64, data.data());
    store.save_tag_file_as(f, dir / "first.tag");
    EXPECT_EQ(f->path, dir / "first.tag");
    EXPECT_EQ(f->kind, 1);
    EXPECT_EQ(store.find_open_file(dir / "first.tag"), f);

    // onto a path where a tag file exists: refused, and that file is opened
    write_file(dir / "other.tag", build_multi_tag_file(ThreeTags()));
    bytes other = read_file(dir / "other.tag");
    std::string message = Message([&] { store.save_tag_file_as(f, dir / "other.tag"); });
    EXPECT_NE(message.find("already exists"), std::string::npos) << message;
    EXPECT_EQ(read_file(dir / "other.tag"), other);
    EXPECT_NE(store.find_open_file(dir / "other.tag"), nullptr);

    // onto a file that is not a tag file: replaced
    write_text(dir / "notes.txt", "some notes");
    store.save_tag_file_as(f, dir / "notes.txt");
    EXPECT_EQ(f->path, dir / "notes.txt");
    EXPECT_EQ(store.find_open_file(dir / "first.tag"), nullptr);
    EXPECT_EQ(store.find_open_file(dir / "notes.txt"), f);
    bytes file = read_file(dir / "notes.txt");
    EXPECT_EQ(be32(file, 124), code("dng2"));
    // the name in the header comes from the file's own path at the time of writing
    EXPECT_EQ(std::string((const char*)file.data() + 4), "first");
}

TEST_F(TagSaving, NewFileWithPathIsWrittenOnFirstSave)
{
    tag_file* f = store.open_tag_file(dir / "fresh.tag", true);
    bytes data = make_bytes(10, 1);
    store.create_tag(f, code("rawd"), code("a___"), 1, "a", 0, 10, data.data());
    store.save_tag_file(f);
    bytes file = read_file(dir / "fresh.tag");
    EXPECT_EQ(file, build_multi_tag_file({{"rawd", "a___", "a", 1, data}}, 1, 0, "fresh"));
}

TEST_F(TagSaving, AFileReplacedByAnotherProgramIsNeitherMixedInNorOverwritten)
{
    tag_file* f = OpenFile("f.tag", ThreeTags());
    bytes grown = make_bytes(150, 8);
    ASSERT_TRUE(tag_set_data(tag_find_in_file(f, code("soun"), code("aaaa")), grown.data(), 150));
    SaveElsewhere("f.tag", "bbbb", make_bytes(250, 7)); // a rewrite: a new file takes the path
    bytes theirs = read_file(dir / "f.tag");
    EXPECT_TRUE(tag_file_changed_on_disk(f));

    EXPECT_EQ(Message([&] { store.save_tag_file(f); }),
              "File Write Error: " + (dir / "f.tag") + " was changed by another program since it was opened");
    EXPECT_EQ(read_file(dir / "f.tag"), theirs);
    EXPECT_EQ(dir.files(), std::vector<std::string>{"f.tag"});
    EXPECT_TRUE(f->needrewrite);

    // every tag still comes from the file as it was read: Save As writes ours, nothing of theirs
    store.save_tag_file_as(f, dir / "mine.tag");
    std::vector<test_tag> mine = ThreeTags();
    mine[0].data = grown;
    EXPECT_EQ(read_file(dir / "mine.tag"), build_multi_tag_file(mine, 1, 0, "f"));
    EXPECT_EQ(read_file(dir / "f.tag"), theirs);
    EXPECT_FALSE(tag_file_changed_on_disk(f)) << "the file is its new path's now";
}

TEST_F(TagSaving, AFileChangedInPlaceGivesNoDataUntilItIsReadAgain)
{
    OpenFile("older.tag", ThreeTags());
    tag_file* f = OpenFile("f.tag", ThreeTags());
    store.open_tag_file(dir / "later.tag", true);
    // the file system's clock is coarse: the change must come at a later tick to be seen
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    SaveElsewhere("f.tag", "bbbb", make_bytes(200, 7)); // same size: an update in place
    EXPECT_TRUE(Data(f, "cccc").empty()) << "the bytes are no longer the ones listed";
    bytes same = make_bytes(100, 6);
    ASSERT_TRUE(tag_set_data(tag_find_in_file(f, code("soun"), code("aaaa")), same.data(), 100));
    EXPECT_NE(Message([&] { store.save_tag_file(f); }).find("was changed by another program"), std::string::npos);

    ASSERT_TRUE(store.reload_tag_file(f));
    EXPECT_EQ(store.first_file()->next, f) << "the file keeps its place in the list";
    EXPECT_EQ(store.find_tag(code("soun"), code("bbbb")), tag_find_in_file(f, code("soun"), code("bbbb")))
        << "and in lookups";
    EXPECT_FALSE(tag_file_needs_saving(f));
    EXPECT_EQ(Data(f, "bbbb"), make_bytes(200, 7));
    EXPECT_EQ(Data(f, "cccc"), make_bytes(300, 3));
    ASSERT_TRUE(tag_set_data(tag_find_in_file(f, code("soun"), code("aaaa")), same.data(), 100));
    store.save_tag_file(f);
    EXPECT_EQ(Data(f, "aaaa"), same);
}

TEST_F(TagSaving, TemporariesAreNeverLoadedAndASaveRemovesItsOwnStaleOnes)
{
    bytes file = build_multi_tag_file(ThreeTags());
    for (const char* name : {"f.tag", ".f.tag.save-Ab12Cd", ".f.tag.save-zz99yy", ".g.tag.save-Ab12Cd", ".hidden.tag"})
        write_file(dir / name, file);
    store.load_folder(dir.path(), false);
    ASSERT_EQ(store.file_count(), 2u) << "f.tag and .hidden.tag; the left-over temporaries are skipped";
    tag_file* f = store.find_open_file(dir / "f.tag");
    bytes grown = make_bytes(120, 4);
    ASSERT_TRUE(tag_set_data(tag_find_in_file(f, code("soun"), code("aaaa")), grown.data(), 120));
    store.save_tag_file(f);
    EXPECT_EQ(dir.files(), (std::vector<std::string>{".g.tag.save-Ab12Cd", ".hidden.tag", "f.tag"}));
}

TEST_F(TagSaving, TheLockOutlivesTheRenameOfTheFileItLocks)
{
    OpenFile("f.tag", ThreeTags());
    int toChild[2], toParent[2];
    ASSERT_EQ(::pipe(toChild), 0);
    ASSERT_EQ(::pipe(toParent), 0);
    char c = 0;
    pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        // another program: locks, rewrites the file, and goes on holding the lock
        TTagStore other;
        tag_file* g = other.open_tag_file(dir / "f.tag", false);
        XGFileLock held(dir / "f.tag");
        bool ok = ::write(toParent[1], "a", 1) == 1 && ::read(toChild[0], &c, 1) == 1;
        bytes grown = make_bytes(500, 5);
        tag_set_data(g->groups->entries, grown.data(), 500);
        other.save_tag_file(g);
        ok = ok && ::write(toParent[1], "b", 1) == 1 && ::read(toChild[0], &c, 1) == 1;
        ::_exit(ok ? 0 : 1);
    }
    struct WaitShort {
        WaitShort() { XGFileLock::SetWait(50); }
        ~WaitShort() { XGFileLock::SetWait(-1); }
    } wait;
    ASSERT_EQ(::read(toParent[0], &c, 1), 1);
    EXPECT_NE(Message([&] { XGFileLock lock(dir / "f.tag"); }).find("Another program is writing the file"),
              std::string::npos);
    ASSERT_EQ(::write(toChild[1], "x", 1), 1);
    ASSERT_EQ(::read(toParent[0], &c, 1), 1);
    EXPECT_EQ(read_file(dir / "f.tag").size(), 128 + 3 * 64 + 500 + 200 + 300u) << "replaced";
    EXPECT_NE(Message([&] { XGFileLock lock(dir / "f.tag"); }), "no error") << "the new file is locked as well";
    ASSERT_EQ(::write(toChild[1], "x", 1), 1);
    int status = 0;
    ::waitpid(pid, &status, 0);
    EXPECT_EQ(status, 0);
    EXPECT_TRUE(XGFileLock(dir / "f.tag").IsHeld());
    for (int fd : {toChild[0], toChild[1], toParent[0], toParent[1]}) ::close(fd);
}
