#include <gtest/gtest.h>

#include "shell/cin_bytes.h"
#include "shell/cin_file.h"
#include "shell/ditlmaker.h"
#include "tags/tags.h"

namespace {

using namespace std::string_literals;

class DialogMaker : public ::testing::Test {
protected:
    TTagStore store;
    tag_file* file = store.new_tag_file();

    TDialogImportReport Import(const bytes& cin, tag_file* into = nullptr)
    {
        return make_dialog_tags(cin.data(), cin.size(), "test.CIN", into ? into : file);
    }

    static bytes Data(tag_entry* e)
    {
        uint32_t size = 0;
        const uint8_t* data = tag_get_data(e, &size);
        return data ? bytes(data, data + size) : bytes{};
    }

    int DialogCount() const
    {
        int n = 0;
        for (tag_file* f = store.first_file(); f; f = f->next) n += tag_count_tags(tag_file_group(f, "bina"_4cc));
        return n;
    }
};

bytes List(int32_t id, uint32_t more = 1)
{
    return control("list", id, 1, 2, 3, 4, filler(14), more);
}

} // namespace

TEST_F(DialogMaker, EveryControlClassGivesItsCodeRecordAndText)
{
    bytes cin = cin_file({view_resource("Main Menu", 100, 50, 300, 200,
                                        {control("pbtn", 1, 10, 20, 30, 40, filler(8) + pstring("OK")),
                                         control("text", 2, 11, 21, 31, 41, pstring("Hello") + filler(4)),
                                         control("chkb", 3, 12, 22, 32, 42, filler(8) + pstring("")),
                                         control("edit", 4, 13, 23, 33, 43, pstring("Name?") + filler(26)),
                                         control("list", 5, 14, 24, 34, 44, filler(14)),
                                         control("scrb", 6, 15, 25, 35, 45, filler(20)),
                                         control("stsb", 7, 16, 26, 36, 46, filler(12)),
                                         control("popm", 8, 17, 27, 37, 47, filler(4)),
                                         control("head", 9, 18, 28, 38, 48, filler(14)),
                                         control("pict", 10, 19, 29, 39, 49, filler(12)),
                                         control("stat", 11, -5, -6, 70000, 65541, filler(12), 0)},
                                        "Menu!")});
    TDialogImportReport report = Import(cin);
    ASSERT_FALSE(report.failed()) << report.failure;
    ASSERT_EQ(report.items.size(), 1u);
    EXPECT_EQ(report.items[0].outcome, kDialogMade);
    tag_entry* e = report.items[0].entry;
    EXPECT_EQ(tag_get_id(e), "mame"_4cc);
    EXPECT_STREQ(tag_get_name(e), "Main Menu");
    EXPECT_EQ(tag_get_version(e), 1);
    EXPECT_EQ(tag_get_file(e), file);
    // coordinates are cut to 16 bits: 70000 is 4464, 65541 is 5
    bytes want = dialog_bytes(50, 100, 250, 400,
                              {{"butt", 1, 20, 10, 40, 30},
                               {"stat", 2, 21, 11, 41, 31},
                               {"chek", 3, 22, 12, 42, 32},
                               {"edit", 4, 23, 13, 43, 33},
                               {"list", 5, 24, 14, 44, 34},
                               {"slid", 6, 25, 15, 45, 35},
                               {"numb", 7, 26, 16, 46, 36},
                               {"popu", 8, 27, 17, 47, 37},
                               {"head", 9, 28, 18, 48, 38},
                               {"bitm", 10, 29, 19, 49, 39},
                               {"prog", 11, -6, -5, 5, 4464}},
                              "OK\0Hello\0\0Name?\0\0\0\0\0\0\0\0"s);
    EXPECT_EQ(Data(e), want);
}

TEST_F(DialogMaker, ControlIdsGiveTheirOwnCodes)
{
    struct row {
        const char* view_class;
        int32_t id;
        const char* code;
    };
    const row rows[] = {
        {"text", 888, "game"}, {"text", 1099, "repo"}, {"text", 2222, "prol"}, {"text", 999, "stat"},
        {"list", 666, "lstm"}, {"list", 999, "lstg"},  {"list", 555, "plli"},  {"list", 556, "pbli"},
        {"list", 557, "poli"}, {"list", 444, "chat"},  {"list", 777, "roli"},  {"list", 888, "gaml"},
        {"list", 1040, "cstt"}, {"list", 1041, "cgrf"}, {"list", 1098, "slst"}, {"list", 1099, "slst"},
        {"list", 6969, "kbls"}, {"list", 4444, "game"}, {"list", 4000, "logo"}, {"list", 4010, "plig"},
        {"list", 2222, "list"}, {"head", 1000, "colr"}, {"head", 2000, "colr"}, {"head", 1042, "ched"},
        {"head", 888, "head"},  {"pbtn", 888, "butt"},  {"edit", 999, "edit"},
    };
    std::vector<bytes> controls;
    for (const row& r : rows) {
        std::string v = r.view_class;
        bytes tail = v == "list" ? filler(14) : v == "head" ? filler(14) : v == "text" ? pstring("t") + filler(4)
                     : v == "pbtn"                          ? filler(8) + pstring("b")
                                                            : pstring("e") + filler(26);
        controls.push_back(control(v, r.id, 0, 0, 0, 0, tail));
    }
    TDialogImportReport report = Import(cin_file({view_resource("Codes", 0, 0, 10, 10, controls)}));
    ASSERT_EQ(report.count(kDialogMade), 1) << dialog_import_summary(report);
    bytes data = Data(report.items[0].entry);
    ASSERT_GE(data.size(), 12 + 24 * std::size(rows));
    for (size_t i = 0; i < std::size(rows); ++i) {
        EXPECT_EQ(be32(data, 12 + 24 * i), code(rows[i].code)) << rows[i].view_class << " " << rows[i].id;
        EXPECT_EQ(be16(data, 12 + 24 * i + 6), rows[i].id);
    }
}

TEST_F(DialogMaker, UnknownClassSkipsOnlyItsDialog)
{
    bytes cin = cin_file({view_resource("First", 0, 0, 1, 1, {List(1)}),
                          resource("STR#", "Strings", bytes{0, 1, 2, 'h', 'i'}),
                          view_resource("Second", 0, 0, 1, 1, {List(1), control("zzzz", 2, 0, 0, 0, 0, {})}),
                          view_resource("Third", 0, 0, 1, 1, {List(1, 0)})});
    TDialogImportReport report = Import(cin);
    ASSERT_EQ(report.items.size(), 3u);
    EXPECT_EQ(report.items[0].outcome, kDialogMade);
    EXPECT_EQ(report.items[1].outcome, kDialogSkipped);
    EXPECT_EQ(report.items[1].name, "Second");
    EXPECT_NE(report.items[1].reason.find("control 2"), std::string::npos) << report.items[1].reason;
    EXPECT_NE(report.items[1].reason.find("zzzz"), std::string::npos);
    EXPECT_EQ(report.items[2].outcome, kDialogMade);
    EXPECT_EQ(DialogCount(), 2);
    EXPECT_NE(dialog_import_summary(report).find("2 made, 0 replaced, 1 skipped"), std::string::npos);
}

TEST_F(DialogMaker, WalkStopsAtTheLimitTheLastControlOrTheEntryEnd)
{
    std::vector<bytes> many;
    for (int i = 0; i < 255; ++i) many.push_back(List(i));
    many.push_back(control("zzzz", 0, 0, 0, 0, 0, {})); // the 256th is never looked at
    std::vector<bytes> stopped{List(1), List(2, 0), control("zzzz", 0, 0, 0, 0, 0, {})};
    bytes cin = cin_file({view_resource("Many", 0, 0, 1, 1, many), view_resource("Stopped", 0, 0, 1, 1, stopped),
                          view_resource("Open end", 0, 0, 1, 1, {List(1), List(2)}),
                          view_resource("Empty", 5, 6, 7, 8, {})});
    TDialogImportReport report = Import(cin);
    ASSERT_EQ(report.count(kDialogMade), 4) << dialog_import_summary(report);
    bytes data = Data(report.items[0].entry);
    EXPECT_EQ(be16(data, 2), 255);
    EXPECT_EQ(data.size(), 12 + 255 * 24 + 255u);
    EXPECT_EQ(be16(Data(report.items[1].entry), 2), 2);
    EXPECT_EQ(be16(Data(report.items[2].entry), 2), 2);
    EXPECT_EQ(Data(report.items[3].entry), dialog_bytes(6, 5, 14, 12, {}, ""));
}

TEST_F(DialogMaker, TextsStayOnePerControl)
{
    // an embedded NUL would split the label into two texts and shift every later one
    bytes cin = cin_file({view_resource("Nul", 0, 0, 1, 1,
                                        {control("pbtn", 1, 0, 0, 0, 0, filler(8) + pstring("A\0B"s)),
                                         control("text", 2, 0, 0, 0, 0, pstring("C") + filler(4), 0)})});
    TDialogImportReport report = Import(cin);
    ASSERT_EQ(report.count(kDialogMade), 1);
    bytes data = Data(report.items[0].entry);
    EXPECT_EQ(std::string(data.begin() + 12 + 48, data.end()), "A\0C\0"s);

    // the largest dialog's texts fit the pool; a smaller pool abandons the dialog that overflows it
    std::vector<bytes> longest(255, control("text", 1, 0, 0, 0, 0, pstring(std::string(255, 'x')) + filler(4)));
    bytes big = cin_file({view_resource("Big", 0, 0, 1, 1, longest),
                          view_resource("Small", 0, 0, 1, 1,
                                        {List(1), control("pbtn", 1, 0, 0, 0, 0, filler(8) + pstring("ab"))})});
    TCinFile read = read_cin_file(big.data(), big.size(), "big.CIN");
    ASSERT_EQ(read.dialogs.size(), 2u);
    EXPECT_EQ(read.dialogs[0].abandoned, "");
    EXPECT_EQ(read.dialogs[0].dialog.texts.size(), 255u * 256);
    read = read_cin_file(big.data(), big.size(), "big.CIN", 4);
    EXPECT_NE(read.dialogs[0].abandoned.find("4 bytes"), std::string::npos) << read.dialogs[0].abandoned;
    EXPECT_EQ(read.dialogs[1].abandoned, "");
    EXPECT_EQ(read.dialogs[1].dialog.texts, "\0ab\0"s);
    EXPECT_NE(read_cin_file(big.data(), big.size(), "big.CIN", 3).dialogs[1].abandoned, "");
}

TEST_F(DialogMaker, ImportingAgainReplacesTheTagsItMade)
{
    TempFolder folder;
    std::string path = folder / "dialogs.tag";
    tag_file* f = store.open_tag_file(path, true);
    bytes first = cin_file({view_resource("Main Menu", 0, 0, 1, 1, {List(1)}),
                            view_resource("Options Dialog", 0, 0, 1, 1, {List(2)}),
                            view_resource("Options Display", 0, 0, 1, 1, {List(3)})});
    TDialogImportReport report = Import(first, f);
    ASSERT_EQ(report.count(kDialogMade), 3) << dialog_import_summary(report);
    // names that give one id keep apart instead of overwriting each other
    EXPECT_EQ(report.items[1].id, "opdi"_4cc);
    EXPECT_EQ(report.items[2].id, "opdj"_4cc);
    store.save_tag_file(f);
    bytes saved = read_file(path);

    TTagStore again;
    tag_file* g = again.open_tag_file(path, false);
    ASSERT_NE(g, nullptr);
    report = make_dialog_tags(first.data(), first.size(), "test.CIN", g);
    ASSERT_EQ(report.count(kDialogReplaced), 3) << dialog_import_summary(report);
    again.save_tag_file(g);
    EXPECT_EQ(read_file(path), saved);

    bytes second = cin_file({view_resource("MAIN MENUS", 0, 0, 1, 1, {List(9), List(8)})});
    report = make_dialog_tags(second.data(), second.size(), "test.CIN", g);
    ASSERT_EQ(report.count(kDialogReplaced), 1);
    tag_entry* e = tag_find_in_file(g, "bina"_4cc, "mame"_4cc);
    EXPECT_EQ(report.items[0].entry, e);
    EXPECT_STREQ(tag_get_name(e), "MAIN MENUS");
    EXPECT_EQ(Data(e), dialog_bytes(0, 0, 1, 1, {{"list", 9, 2, 1, 4, 3}, {"list", 8, 2, 1, 4, 3}}, "\0\0"s));
    EXPECT_EQ(tag_count_tags(tag_file_group(g, "bina"_4cc)), 3);
}

TEST_F(DialogMaker, ATagInAnotherFileIsReplacedThereUnlessThatFileIsProtected)
{
    tag_file* other = store.new_tag_file();
    tag_file* base = store.new_tag_file();
    base->kind = TAG_FILE_KIND_BASE;
    bytes old = make_bytes(12, 1);
    store.create_tag(other, "bina"_4cc, "mame"_4cc, 0, "old menu", 0, 12, old.data());
    store.create_tag(base, "bina"_4cc, "opti"_4cc, 1, "base options", 0, 12, old.data());

    TDialogImportReport report = Import(cin_file({view_resource("Main Menu", 0, 0, 1, 1, {List(1)}),
                                                  view_resource("Options", 0, 0, 1, 1, {List(1)})}));
    ASSERT_EQ(report.items.size(), 2u);
    EXPECT_EQ(report.items[0].outcome, kDialogReplaced);
    EXPECT_EQ(tag_get_file(report.items[0].entry), other);
    EXPECT_EQ(tag_get_version(report.items[0].entry), 1);
    EXPECT_EQ(report.items[1].outcome, kDialogMade);
    EXPECT_EQ(tag_get_file(report.items[1].entry), file);
    EXPECT_EQ(Data(tag_find_in_file(base, "bina"_4cc, "opti"_4cc)), old);

    file->kind = TAG_FILE_KIND_BASE;
    report = Import(cin_file({view_resource("New", 0, 0, 1, 1, {})}));
    EXPECT_NE(report.failure.find("Cannot modify base tags or patches."), std::string::npos);
    EXPECT_EQ(DialogCount(), 3);
}

TEST_F(DialogMaker, ADamagedFileMakesAndChangesNothing)
{
    bytes good = view_resource("Main Menu", 0, 0, 1, 1, {List(1, 0)});
    bytes button = control("pbtn", 1, 0, 0, 0, 0, filler(8) + pstring("Label"), 0);
    auto cut = [](bytes b, size_t n) {
        b.resize(b.size() - n);
        put_be32(b, 0, uint32_t(b.size()));
        return b;
    };
    bytes short_name = resource("VRes", "", {});
    short_name.pop_back(); // the length byte
    put_be32(short_name, 0, 10);
    bytes past = cin_file({good, good});
    put_be32(past, 16 + good.size(), 1000);
    struct bad {
        const char* what;
        bytes file;
        const char* message;
    };
    const bad cases[] = {
        {"empty", {}, "not an interface-builder file"},
        {"magic", bytes{'@', '!', 'Z', 'D', 0, 0, 0, 2} + filler(20), "not an interface-builder file"},
        {"version", cin_file({good}, 3), "version 3"},
        {"header only", cin_file({}), "no resources"},
        {"short entry", cin_file({good, bytes{0, 0, 0, 9} + filler(5)}), "length 9"},
        {"entry past end", past, "runs past the end of the file"},
        {"trailing bytes", cin_file({good}) + bytes{0, 0}, "cut off"},
        {"no name", cin_file({good, short_name}), "too short for its name"},
        {"not a window", cin_file({good, view_resource("Dlg", 0, 0, 1, 1, {}, "T", "dlog")}), "`dlog`"},
        {"window cut", cin_file({good, cut(view_resource("Dlg", 0, 0, 1, 1, {}, ""), 10)}), "window record"},
        {"title cut", cin_file({good, cut(view_resource("Dlg", 0, 0, 1, 1, {}, "Title"), 2)}), "title"},
        {"record cut", cin_file({good, cut(view_resource("Dlg", 0, 0, 1, 1, {button}), 20)}), "control 1"},
        {"tail cut", cin_file({good, cut(view_resource("Dlg", 0, 0, 1, 1, {List(1)}), 4)}), "control 1"},
        {"label cut", cin_file({good, cut(view_resource("Dlg", 0, 0, 1, 1, {List(1), button}), 3)}), "control 2"},
    };
    tag_file* other = store.new_tag_file();
    bytes old = make_bytes(12, 1);
    store.create_tag(other, "bina"_4cc, "mame"_4cc, 1, "old menu", 0, 12, old.data());
    for (const bad& c : cases) {
        TDialogImportReport report = Import(c.file);
        ASSERT_TRUE(report.failed()) << c.what;
        EXPECT_TRUE(report.items.empty()) << c.what;
        EXPECT_EQ(report.failure.rfind("test.CIN ", 0), 0u) << c.what << ": " << report.failure;
        EXPECT_NE(report.failure.find(c.message), std::string::npos) << c.what << ": " << report.failure;
        EXPECT_EQ(dialog_import_summary(report), report.failure + "\n");
    }
    EXPECT_EQ(DialogCount(), 1);
    EXPECT_EQ(Data(tag_find_in_file(other, "bina"_4cc, "mame"_4cc)), old);
    EXPECT_STREQ(tag_get_name(tag_find_in_file(other, "bina"_4cc, "mame"_4cc)), "old menu");
}

TEST_F(DialogMaker, ReadsAFileByPathAndSavesTheTagsByteForByte)
{
    TempFolder folder;
    bytes cin = cin_file(
        {view_resource("Lobby", 3, 4, 5, 6, {control("edit", 7, 1, 2, 3, 4, pstring("Player") + filler(26))})});
    write_file(folder / "lobby.CIN", cin);
    tag_file* f = store.open_tag_file(folder / "ui.tag", true);
    TDialogImportReport report = make_dialog_tags(folder / "lobby.CIN", f);
    ASSERT_EQ(report.count(kDialogMade), 1) << dialog_import_summary(report);
    bytes want = dialog_bytes(4, 3, 10, 8, {{"edit", 7, 2, 1, 4, 3}}, "Player\0"s);
    EXPECT_EQ(Data(report.items[0].entry), want);
    store.save_tag_file(f);
    TTagStore reread;
    tag_entry* e = tag_find_in_file(reread.open_tag_file(folder / "ui.tag", false), "bina"_4cc, "lobb"_4cc);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(tag_get_version(e), 1);
    EXPECT_EQ(Data(e), want);

    report = make_dialog_tags(folder / "missing.CIN", f);
    EXPECT_NE(report.failure.find("missing.CIN"), std::string::npos) << report.failure;
    write_file(folder / "bad.CIN", bytes{'@', '!', 'Z', 'C'});
    report = make_dialog_tags(folder / "bad.CIN", f);
    EXPECT_EQ(report.failure.rfind("bad.CIN is damaged", 0), 0u) << report.failure;
}
