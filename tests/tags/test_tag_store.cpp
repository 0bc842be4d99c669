#include <gtest/gtest.h>

#include <cstring>

#include "framework/XGError.h"
#include "support/tag_file_bytes.h"
#include "tags/tag_clipboard.h"
#include "tags/tag_file_format.h"
#include "tags/tags.h"

namespace {

const bs_code pair_codes[] = {_begin_bs_array, 1, _4byte, _2byte, 2, _end_bs_array};
struct pair_struct {
    uint32_t a;
    uint16_t b;
    uint8_t pad[2];
};

class TagStore : public ::testing::Test {
protected:
    TempFolder dir;
    TTagStore store;
    std::vector<std::pair<std::string, std::string>> changes;

    void SetUp() override
    {
        store.add_tag_changed_listener([this](tag_code type, tag_code id) {
            changes.emplace_back(tag_code_to_text(type), tag_code_to_text(id));
        });
    }

    tag_entry* Add(tag_file* f, const std::string& type, const std::string& id, const std::string& name,
                   size_t size = 16, uint8_t seed = 1)
    {
        bytes data = make_bytes(size, seed);
        return store.create_tag(f, code(type), code(id), 1, name.c_str(), 0, uint32_t(size), data.data());
    }

    void WriteBase(const std::string& relative, const std::vector<test_tag>& tags, int16_t kind = 1)
    {
        write_file(dir / relative, build_multi_tag_file(tags, kind));
    }
};

} // namespace

TEST_F(TagStore, OpeningTheSamePathTwiceGivesTheSameFile)
{
    WriteBase("a.tag", {{"rawd", "a___", "a", 1, make_bytes(4, 1)}});
    tag_file* f = store.open_tag_file(dir / "a.tag", false);
    ASSERT_NE(f, nullptr);
    write_text(dir / "a.tag", "overwritten, and not read again");
    EXPECT_EQ(store.open_tag_file(dir / "./a.tag", false), f);
    EXPECT_EQ(store.file_count(), 1u);
    EXPECT_EQ(store.open_tag_file(dir / "none.tag", false), nullptr);

    tag_file* created = store.open_tag_file(dir / "new.tag", true);
    ASSERT_NE(created, nullptr);
    EXPECT_EQ(created->kind, 1);
    EXPECT_TRUE(created->needupdate && created->needrewrite);
    EXPECT_EQ(store.first_file(), created) << "newest file first";
}

TEST_F(TagStore, PrecedencePluginsOverLocalOverTags)
{
    dir.mkdir("tags");
    dir.mkdir("local/deeper");
    dir.mkdir("plugins");
    WriteBase("tags/base.tag", {{"unit", "wolf", "base wolf", 1, make_bytes(8, 1)},
                                {"unit", "bear", "base bear", 1, make_bytes(8, 2)}}, 3);
    write_file(dir / "local/deeper/wolf.tag", build_single_tag_file({"unit", "wolf", "local wolf", 1, make_bytes(8, 3)}));
    write_file(dir / "local/bear.tag", build_single_tag_file({"unit", "bear", "local bear", 1, make_bytes(8, 4)}));
    WriteBase("plugins/mod.tag", {{"unit", "wolf", "plugin wolf", 1, make_bytes(8, 5)}});
    write_text(dir / "plugins/readme.txt", "not a tag file");

    store.load_data_folder(dir.path());
    EXPECT_EQ(store.file_count(), 4u);
    EXPECT_STREQ(store.find_tag(code("unit"), code("wolf"))->name, "plugin wolf");
    EXPECT_STREQ(store.find_tag(code("unit"), code("bear"))->name, "local bear");
    EXPECT_EQ(store.find_tag(code("unit"), code("cat_")), nullptr);

    // duplicates: every wolf, walking on
    tag_entry* first = store.find_tag(code("unit"), code("wolf"));
    tag_entry* second = store.find_next_duplicate(first, false);
    ASSERT_NE(second, nullptr);
    EXPECT_STREQ(second->name, "local wolf");
    tag_entry* third = store.find_next_duplicate(second, false);
    ASSERT_NE(third, nullptr);
    EXPECT_STREQ(third->name, "base wolf");
    EXPECT_EQ(store.find_next_duplicate(third, false), nullptr);
    EXPECT_EQ(store.find_next_duplicate(third, true), first);
}

TEST_F(TagStore, WholeStoreIterationVisitsEveryTagInStoreOrder)
{
    tag_file* a = store.new_tag_file();
    Add(a, "soun", "s1__", "s1");
    Add(a, "mons", "m1__", "m1");
    Add(a, "soun", "s2__", "s2");
    tag_file* b = store.new_tag_file();
    Add(b, "rawd", "r1__", "r1");
    std::vector<std::string> names;
    for (tag_entry* e = store.next_entry(nullptr); e; e = store.next_entry(e)) names.push_back(e->name);
    EXPECT_EQ(names, (std::vector<std::string>{"r1", "m1", "s1", "s2"}));
}

TEST_F(TagStore, CreatingTagsNamesIdsAndFlags)
{
    tag_file* f = store.new_tag_file();
    EXPECT_EQ(f->kind, -1);
    tag_entry* e = store.create_tag(f, code("soun"), 0, 1, "Fire Bolt", 0, 0, nullptr);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->id, code("fibo"));
    EXPECT_TRUE(e->dirty && f->needupdate && f->needrewrite);
    tag_entry* untitled = store.create_tag(f, code("soun"), 0, 1, nullptr, 0, 0, nullptr);
    EXPECT_STREQ(untitled->name, "Untitled Sound");
    tag_entry* again = store.create_tag(f, code("soun"), 0, 1, "fire bolt", 0, 0, nullptr);
    EXPECT_EQ(again->id, code("fibp")) << "unique among the open tags of the type";
    tag_entry* other = store.create_tag(f, code("mons"), 0, 1, "fire bolt", 0, 0, nullptr);
    EXPECT_EQ(other->id, code("fibo")) << "another type has its own ids";
    EXPECT_EQ(changes.size(), 4u);
}

TEST_F(TagStore, RenamingReidentifyingRetypingAndDeleting)
{
    WriteBase("f.tag", {{"soun", "aaaa", "a", 1, make_bytes(8, 1)}, {"mons", "bbbb", "b", 1, make_bytes(8, 2)}});
    tag_file* f = store.open_tag_file(dir / "f.tag", false);
    tag_entry* a = tag_find_in_file(f, code("soun"), code("aaaa"));
    EXPECT_FALSE(f->needupdate || f->needrewrite) << "loaded tags are clean";

    EXPECT_EQ(tag_set_name(a, std::string(40, 'n').c_str()), 31u);
    EXPECT_EQ(std::string(a->name), std::string(31, 'n'));
    EXPECT_TRUE(f->needupdate && f->needrewrite);

    changes.clear();
    tag_set_id(a, code("aaab"));
    EXPECT_EQ(changes, (std::vector<std::pair<std::string, std::string>>{{"soun", "aaaa"}, {"soun", "aaab"}}));
    changes.clear();
    tag_set_id(a, code("aaab"));
    tag_set_version(a, 1);
    EXPECT_TRUE(changes.empty()) << "unchanged values announce nothing";

    tag_set_type(a, code("mons"));
    EXPECT_EQ(store.find_group(f, code("soun"), false), nullptr) << "the emptied group is gone";
    tag_group* mons = store.find_group(f, code("mons"), false);
    EXPECT_EQ(tag_count_tags(mons), 2);
    EXPECT_EQ(mons->last, a) << "moved to the front of the new group";
    EXPECT_EQ(tag_get_type(a), code("mons"));

    tag_entry* b = tag_find_in_file(f, code("mons"), code("bbbb"));
    store.delete_tag(b);
    store.delete_tag(a);
    EXPECT_EQ(f->groups, nullptr);
    EXPECT_EQ(store.find_group(f, code("mons"), false), nullptr);
}

TEST_F(TagStore, DataLoadsLazilyAndReleasesOnlyWhatDiskHolds)
{
    bytes payload = make_bytes(300, 7);
    WriteBase("lazy.tag", {{"rawd", "data", "data", 1, payload}});
    tag_file* f = store.open_tag_file(dir / "lazy.tag", false);
    tag_entry* e = f->groups->entries;
    EXPECT_EQ(e->data, nullptr);
    uint32_t size = 0;
    const uint8_t* d = tag_get_data(e, &size);
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(bytes(d, d + size), payload);
    tag_release_data(e);
    EXPECT_EQ(e->data, nullptr);

    bytes other = make_bytes(300, 8);
    ASSERT_TRUE(tag_set_data(e, other.data(), 300));
    EXPECT_TRUE(e->dirty && f->needupdate);
    EXPECT_FALSE(f->needrewrite) << "same size: an update in place will do";
    tag_release_data(e);
    EXPECT_NE(e->data, nullptr) << "the only copy stays";
    ASSERT_TRUE(tag_set_data(e, other.data(), 10));
    EXPECT_TRUE(f->needrewrite);
    EXPECT_THROW(tag_set_data(e, e->data.get(), 10), AssertionThrown);
}

TEST_F(TagStore, StructuredReadsWritesAndCompares)
{
    tag_file* f = store.new_tag_file();
    bytes data = {0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0xAA, 0xBB, 0xC0, 0xC1, 0xC2};
    tag_entry* e = store.create_tag(f, code("rawd"), code("s___"), 1, "s", 0, uint32_t(data.size()), data.data());

    pair_struct p;
    ASSERT_TRUE(tag_read_structs("pair", e, &p, 8, 1, pair_codes));
    EXPECT_EQ(p.a, 0x11223344u);
    EXPECT_EQ(p.b, 0x5566);
    EXPECT_FALSE(tag_read_structs("pair", e, &p, 8, 2, pair_codes)) << "data too short for two";
    EXPECT_FALSE(tag_compare_structs("pair", e, &p, 8, 1, pair_codes, false));
    EXPECT_TRUE(tag_compare_structs("pair", e, &p, 8, 1, pair_codes, true)) << "exact: sizes differ";

    p.b = 0x7788;
    EXPECT_TRUE(tag_compare_structs("pair", e, &p, 8, 1, pair_codes, false));
    ASSERT_TRUE(tag_write_structs("pair", e, &p, 8, 1, pair_codes));
    uint32_t size = 0;
    const uint8_t* d = tag_get_data(e, &size);
    EXPECT_EQ(bytes(d, d + size), (bytes{0x11, 0x22, 0x33, 0x44, 0x77, 0x88, 0xAA, 0xBB, 0xC0, 0xC1, 0xC2}))
        << "bytes after the structure are kept";

    pair_struct two[2] = {{1, 2, {0, 0}}, {3, 4, {5, 6}}};
    ASSERT_TRUE(tag_write_structs("pair", e, two, 8, 2, pair_codes));
    EXPECT_EQ(tag_get_size(e), 16u) << "grown to the structures";
    EXPECT_FALSE(tag_compare_structs("pair", e, two, 8, 2, pair_codes, true));

    tag_entry* empty = store.create_tag(f, code("rawd"), code("n___"), 1, "n", 0, 0, nullptr);
    EXPECT_FALSE(tag_read_structs("pair", empty, &p, 8, 1, pair_codes));
    EXPECT_TRUE(tag_compare_structs("pair", empty, &p, 8, 1, pair_codes, false));
    ASSERT_TRUE(tag_write_structs("pair", empty, &p, 8, 1, pair_codes));
    EXPECT_EQ(tag_get_size(empty), 8u);
}

TEST_F(TagStore, CopyMissingTagsAndRawImports)
{
    tag_file* from = store.new_tag_file();
    Add(from, "soun", "aaaa", "a", 8, 1);
    Add(from, "soun", "bbbb", "b", 8, 2);
    store.create_tag(from, code("soun"), code("cccc"), 1, "empty", 0, 0, nullptr);
    tag_file* into = store.new_tag_file();
    Add(into, "soun", "aaaa", "mine", 4, 3);
    EXPECT_EQ(store.copy_missing_tags(from, into), 1);
    EXPECT_STREQ(tag_find_in_file(into, code("soun"), code("aaaa"))->name, "mine");
    tag_entry* b = tag_find_in_file(into, code("soun"), code("bbbb"));
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(bytes(b->data.get(), b->data.get() + b->size), make_bytes(8, 2));
    EXPECT_EQ(tag_find_in_file(into, code("soun"), code("cccc")), nullptr);

    write_file(dir / "photo.jpg", make_bytes(50, 1));
    write_file(dir / "photo.JPG", make_bytes(40, 2));
    write_file(dir / "empty.bin", {});
    tag_entry* jpeg = store.import_raw_file(into, dir / "photo.jpg");
    ASSERT_NE(jpeg, nullptr);
    EXPECT_EQ(tag_get_type(jpeg), code("jpeg"));
    EXPECT_STREQ(jpeg->name, "photo.jpg");
    EXPECT_EQ(jpeg->id, code("phjp"));
    tag_entry* raw = store.import_raw_file(into, dir / "photo.JPG");
    EXPECT_EQ(tag_get_type(raw), code("rawd")) << "the extension must be exactly jpg";
    EXPECT_EQ(store.import_raw_file(into, dir / "empty.bin"), nullptr);
    EXPECT_THROW(store.import_raw_file(into, dir / "none.bin"), XGError);
}

TEST_F(TagStore, ClipboardCopiesOrSharesData)
{
    tag_file* f = store.new_tag_file();
    tag_entry* e = Add(f, "soun", "aaaa", "a", 8, 1);
    TTagClipboard clip;
    ASSERT_TRUE(clip.Add(e));
    ASSERT_TRUE(clip.Add(e, false));
    EXPECT_EQ(clip.GetCapacity(), 5);
    EXPECT_NE(clip.Get(0).data, e->data.get());
    EXPECT_EQ(clip.Get(1).data, e->data.get());
    EXPECT_EQ(clip.Get(0).type, code("soun"));
    EXPECT_EQ(bytes(clip.Get(0).data, clip.Get(0).data + 8), make_bytes(8, 1));
    for (int i = 0; i < 4; ++i) clip.Add(e);
    EXPECT_EQ(clip.GetCapacity(), 10);
    clip.Clear();
    EXPECT_EQ(clip.GetCount(), 0);
}

TEST_F(TagStore, InvariantsAreChecked)
{
    tag_file* f = store.new_tag_file();
    tag_entry* e = Add(f, "soun", "aaaa", "a");
    f->needupdate = false; // break the invariant by hand
    EXPECT_THROW(tag_get_size(e), AssertionThrown);
    f->needupdate = true;
    int window = 0, other = 0;
    tag_set_window(e, &window);
    EXPECT_THROW(tag_set_window(e, &other), AssertionThrown);
    tag_set_window(e, nullptr);
    tag_file_set_window(f, &window);
    EXPECT_THROW(store.close_tag_file(f), AssertionThrown) << "a file with a window cannot close";
    tag_file_set_window(f, nullptr);
    store.close_tag_file(f);
    EXPECT_EQ(store.file_count(), 0u);
}

TEST_F(TagStore, FilesOfManyTypesKeepTheirGroupsInOrderThroughDeletes)
{
    // 20 types, two tags each, interleaved: more types than a file's block makes room for
    std::vector<test_tag> tags;
    std::vector<std::string> types;
    for (int round = 0; round < 2; ++round)
        for (int t = 0; t < 20; ++t) {
            std::string type = "t" + std::string(1, char('a' + t)) + "__";
            if (round == 0) types.push_back(type);
            tags.push_back({type, "id" + std::string(1, char('a' + t)) + std::to_string(round), "n", 1,
                            make_bytes(4, uint8_t(t))});
        }
    WriteBase("many.tag", tags);
    tag_file* f = store.open_tag_file(dir / "many.tag", false);
    ASSERT_NE(f, nullptr);
    // newest group first, entries in file order
    std::vector<std::string> seen;
    for (tag_group* g = f->groups; g; g = g->next) {
        seen.insert(seen.begin(), tag_code_to_text(g->type));
        ASSERT_EQ(tag_count_tags(g), 2);
        EXPECT_EQ(tag_code_to_text(g->entries->id).back(), '0');
        EXPECT_EQ(tag_code_to_text(g->last->id).back(), '1');
    }
    EXPECT_EQ(seen, types);

    // every group emptied in turn, pooled or not, then the file takes new tags and closes
    for (int t = 0; t < 20; t += 3) {
        tag_group* g = store.find_group(f, code(types[size_t(t)]), false);
        ASSERT_NE(g, nullptr);
        store.delete_tag(g->last);
        store.delete_tag(g->entries);
        EXPECT_EQ(store.find_group(f, code(types[size_t(t)]), false), nullptr);
    }
    tag_set_type(tag_find_in_file(f, code(types[1]), code("idb0")), code(types[0]));
    Add(f, types[0], "newa", "again");
    Add(f, types[19], "newt", "again");
    EXPECT_EQ(tag_count_tags(store.find_group(f, code(types[0]), false)), 2);
    store.close_tag_file(f);
}
