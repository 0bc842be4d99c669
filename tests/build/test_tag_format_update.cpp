#include <gtest/gtest.h>

#include "build/tag_format_update.h"
#include "framework/XGError.h"
#include "support/tag_file_bytes.h"
#include "tags/tags.h"

namespace {

class FormatUpdate : public ::testing::Test {
protected:
    TempFolder dir;
    TTagStore store;
    tag_file* file = store.new_tag_file();
    std::vector<std::pair<std::string, std::string>> changes;

    void SetUp() override
    {
        store.add_tag_changed_listener([this](tag_code type, tag_code id) {
            changes.emplace_back(tag_code_to_text(type), tag_code_to_text(id));
        });
    }

    tag_entry* Tag(const char* type, int16_t version, const bytes& data, const char* id = "test")
    {
        return store.create_tag(file, code(type), code(id), version, id, 0, uint32_t(data.size()), data.data());
    }

    bytes Data(tag_entry* e)
    {
        uint32_t size = 0;
        const uint8_t* p = tag_get_data(e, &size);
        return p ? bytes(p, p + size) : bytes();
    }

    // Writes the file so that nothing is left to save.
    void Save()
    {
        store.save_tag_file_as(file, dir / "updates.tag");
        ASSERT_FALSE(tag_file_needs_saving(file));
        changes.clear();
    }
};

void ExpectInternalError(tag_entry* e, const char* expression)
{
    try {
        update_tag_format(e);
        ADD_FAILURE() << "no error";
    } catch (const XGError& error) {
        EXPECT_EQ(error.GetCode(), 0x800001u);
        EXPECT_NE(error.GetMessage().find(expression), std::string::npos) << error.GetMessage();
    }
}

} // namespace

TEST_F(FormatUpdate, AVersion1ProjectileLosesItsTextureStacks)
{
    bytes old = make_bytes(256 + 8, 5);
    tag_entry* e = Tag("proj", 1, old);
    Save();
    EXPECT_TRUE(update_tag_format(e));
    EXPECT_EQ(tag_get_version(e), 2);
    bytes now = Data(e);
    EXPECT_EQ(be32(now, 100), 0xFFFFFFFFu);
    EXPECT_EQ(be32(now, 128), 0xFFFFFFFFu);
    put_be32(now, 100, be32(old, 100));
    put_be32(now, 128, be32(old, 128));
    EXPECT_EQ(now, old);
    EXPECT_TRUE(tag_file_needs_saving(file));
    EXPECT_FALSE(changes.empty());
    EXPECT_FALSE(update_tag_format(e));
}

TEST_F(FormatUpdate, SceneryAndUnitsReachVersion2)
{
    bytes scenery = make_bytes(128, 6);
    tag_entry* scen = Tag("scen", 1, scenery);
    EXPECT_TRUE(update_tag_format(scen));
    EXPECT_EQ(tag_get_version(scen), 2);
    EXPECT_EQ(Data(scen), scenery);

    bytes old = make_bytes(130, 7);
    tag_entry* unit = Tag("unit", 1, old, "unit");
    EXPECT_TRUE(update_tag_format(unit));
    EXPECT_EQ(tag_get_version(unit), 2);
    bytes expected = old;
    put_be32(expected, 4, 0);
    for (int r = 0; r < 4; ++r) {
        size_t at = 8 + 24 * size_t(r);
        put_be32(expected, at, 0xFFFFFFFF);
        put_be32(expected, at + 4, 0xFFFFFFFF);
        for (int k = 0; k < 8; ++k) put_be16(expected, at + 8 + 2 * size_t(k), k == 0 || k == 6 ? 0xFFFF : 0);
    }
    EXPECT_EQ(Data(unit), expected);

    tag_entry* odd_unit = Tag("unit", -4, old, "odd_");
    EXPECT_TRUE(update_tag_format(odd_unit));
    EXPECT_EQ(tag_get_version(odd_unit), 2);
}

TEST_F(FormatUpdate, VersionZeroOnlyTakesTheCurrentVersion)
{
    bytes data = make_bytes(40, 8);
    tag_entry* e = Tag("mons", 0, data);
    Save();
    EXPECT_FALSE(update_tag_format(e));
    EXPECT_EQ(tag_get_version(e), 1);
    EXPECT_EQ(Data(e), data);
    EXPECT_TRUE(file->needrewrite);
    EXPECT_EQ(run_tag_format_update(Tag("mesh", 0, data, "map_")), TAG_UPDATE_VERSIONED);
}

TEST_F(FormatUpdate, NewerOrUnconvertibleTagsRaiseTheInternalErrorAndStayAsTheyAre)
{
    bytes data = make_bytes(1100, 9);
    tag_entry* newer = Tag("mesh", 12, data);
    tag_entry* older = Tag("mesh", 10, data, "old_");
    tag_entry* beyond = Tag("proj", 3, data, "p3__");
    tag_entry* negative = Tag("proj", -1, data, "pneg");
    Save();
    ExpectInternalError(newer, "v <= info->version");
    EXPECT_EQ(tag_get_version(newer), 12);
    ExpectInternalError(older, "info->updater");
    ExpectInternalError(beyond, "info->version");
    ExpectInternalError(negative, "version == 1");
    EXPECT_EQ(Data(newer), data);
    EXPECT_FALSE(tag_file_needs_saving(file));
    EXPECT_TRUE(changes.empty());

    EXPECT_FALSE(update_tag_format(Tag("zzzz", 7, data, "unkn")));
    EXPECT_FALSE(update_tag_format(nullptr));
}

TEST_F(FormatUpdate, AnUpdaterThatCannotReadItsTagLeavesItUnchanged)
{
    bytes data = make_bytes(100, 10);
    tag_entry* e = Tag("proj", 1, data, "shrt");
    Save();
    try {
        update_tag_format(e);
        ADD_FAILURE() << "no error";
    } catch (const XGError& error) {
        EXPECT_NE(error.GetMessage().find("'shrt' (proj/shrt)"), std::string::npos) << error.GetMessage();
    }
    EXPECT_EQ(tag_get_version(e), 1);
    EXPECT_EQ(Data(e), data);
    EXPECT_FALSE(tag_file_needs_saving(file));
    EXPECT_EQ(run_tag_format_update(Tag("unit", 1, data, "shun")), TAG_UPDATE_UNREADABLE);
}

namespace {

class UpdateAll : public ::testing::Test {
protected:
    TempFolder dir;
    TTagStore store;

    tag_file* Open(const std::string& name, const std::vector<test_tag>& tags)
    {
        write_file(dir / name, build_multi_tag_file(tags));
        tag_file* f = store.open_tag_file(dir / name, false);
        EXPECT_NE(f, nullptr);
        return f;
    }
};

} // namespace

TEST_F(UpdateAll, SavesTheFilesThatChangedAndLeavesWindowsModified)
{
    tag_file* current = Open("current.tag", {{"mons", "orc_", "orc", 1, make_bytes(1024, 1)},
                                             {"proj", "arro", "arrow", 2, make_bytes(256, 2)}});
    tag_file* old = Open("old.tag", {{"proj", "bolt", "bolt", 1, make_bytes(256, 3)},
                                     {"soun", "boom", "boom", 1, make_bytes(64, 4)}});
    tag_file* unversioned = Open("zero.tag", {{"wind", "gust", "gust", 0, make_bytes(128, 5)}});
    tag_file* shown = Open("shown.tag", {{"scen", "tree", "tree", 1, make_bytes(128, 6)}});
    int window = 0;
    shown->form = &window;
    bytes current_bytes = read_file(dir / "current.tag");
    bytes shown_bytes = read_file(dir / "shown.tag");

    std::vector<tag_file*> refreshed;
    tag_format_update_report report = update_all_tag_formats(store, [&](tag_file* f) { refreshed.push_back(f); });
    EXPECT_EQ(report.converted, 2);
    EXPECT_EQ(report.versioned, 1);
    EXPECT_EQ(report.changed_files, (std::vector<tag_file*>{shown, unversioned, old}));
    EXPECT_EQ(report.saved_files, (std::vector<tag_file*>{unversioned, old}));
    EXPECT_EQ(refreshed, std::vector<tag_file*>{shown});
    EXPECT_TRUE(report.failed_saves.empty());

    EXPECT_EQ(read_file(dir / "current.tag"), current_bytes);
    for (tag_group* g = current->groups; g; g = g->next)
        for (tag_entry* e = g->entries; e; e = e->next) EXPECT_EQ(e->data, nullptr) << "data was read";
    EXPECT_EQ(read_file(dir / "shown.tag"), shown_bytes);
    EXPECT_TRUE(tag_file_needs_saving(shown));
    shown->form = nullptr;

    TTagStore reread;
    reread.load_folder(dir.path(), false);
    tag_entry* bolt = reread.find_tag(code("proj"), code("bolt"));
    ASSERT_NE(bolt, nullptr);
    EXPECT_EQ(tag_get_version(bolt), 2);
    bytes data(tag_get_data(bolt), tag_get_data(bolt) + 256);
    EXPECT_EQ(be32(data, 100), 0xFFFFFFFFu);
    EXPECT_EQ(tag_get_version(reread.find_tag(code("wind"), code("gust"))), 1);
}

TEST_F(UpdateAll, AFailedSaveIsReportedAndTheOtherFilesGoOn)
{
    Open("a.tag", {{"proj", "bolt", "bolt", 1, make_bytes(256, 3)}});
    Open("b.tag", {{"scen", "tree", "tree", 1, make_bytes(128, 6)}});
    ASSERT_TRUE(make_unwritable(dir / "b.tag"));
    Open("c.tag", {{"unit", "wolf", "wolf", 1, make_bytes(100, 6)}, {"proj", "arro", "arrow", 1, make_bytes(256, 1)}});
    tag_format_update_report report = update_all_tag_formats(store);
    make_writable(dir / "b.tag");
    ASSERT_EQ(report.failed_saves.size(), 1u);
    EXPECT_NE(report.failed_saves[0].find("b.tag - The file is read-only."), std::string::npos) << report.failed_saves[0];
    EXPECT_EQ(report.saved_files.size(), 2u);
    EXPECT_EQ(report.converted, 2) << "the tag of the file that was not saved is not counted";
    tag_entry* tree = store.find_tag(code("scen"), code("tree"));
    EXPECT_EQ(tree->version, 1) << "the file that was not saved is as the disk holds it";
    EXPECT_FALSE(tag_file_needs_saving(tree->file));
    ASSERT_EQ(report.unreadable_tags.size(), 1u);
    EXPECT_NE(report.unreadable_tags[0].find("'wolf' (unit/wolf)"), std::string::npos);
    EXPECT_EQ(store.find_tag(code("unit"), code("wolf"))->version, 1);
}

TEST_F(UpdateAll, AnInternalErrorEndsTheCommandBeforeAnythingChanges)
{
    Open("a.tag", {{"proj", "bolt", "bolt", 1, make_bytes(256, 3)}});
    Open("b.tag", {{"mesh", "map1", "map", 12, make_bytes(1024, 6)}});
    bytes a = read_file(dir / "a.tag");
    EXPECT_THROW(update_all_tag_formats(store), XGError);
    EXPECT_EQ(read_file(dir / "a.tag"), a);
    EXPECT_EQ(store.find_tag(code("proj"), code("bolt"))->version, 1);
}
