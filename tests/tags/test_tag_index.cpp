// Lookups through the store's index against plain walks over its lists, after random
// sequences of every operation that adds, removes, re-identifies or moves tags and files.
#include <gtest/gtest.h>

#include <random>

#include "support/tag_file_bytes.h"
#include "tags/tags.h"

namespace {

const char* const kTypes[] = {"soun", "mons", "unit"};
const char* const kIds[] = {"fram", "fran", "frao", "aaaa", "aaab"};
const char* const kNames[] = {"frame", "frame two", "fram", "aaaa"};

tag_entry* WalkFile(const tag_file* f, tag_code type, tag_code id)
{
    for (tag_group* g = f->groups; g; g = g->next)
        if (g->type == type)
            for (tag_entry* e = g->last; e; e = e->prev)
                if (e->id == id) return e;
    return nullptr;
}

tag_entry* WalkStore(const TTagStore& store, tag_code type, tag_code id)
{
    for (tag_file* f = store.first_file(); f; f = f->next)
        if (tag_entry* e = WalkFile(f, type, id)) return e;
    return nullptr;
}

// Files in store order, each group oldest first.
tag_entry* WalkDuplicate(const TTagStore& store, tag_entry* e, bool from_start)
{
    bool passed = from_start;
    for (tag_file* f = from_start ? store.first_file() : e->file; f; f = f->next)
        for (tag_group* g = f->groups; g; g = g->next) {
            if (g->type != e->group->type) continue;
            for (tag_entry* x = g->entries; x; x = x->next) {
                if (x == e) {
                    passed = true;
                    continue;
                }
                if (passed && x->id == e->id) return x;
            }
        }
    return nullptr;
}

tag_code WalkMakeId(const TTagStore& store, const char* name, tag_code type, tag_file* f)
{
    auto taken = [&](tag_code id) {
        if (f && type) return WalkFile(f, type, id) != nullptr;
        if (f) {
            for (tag_group* g = f->groups; g; g = g->next)
                if (WalkFile(f, g->type, id)) return true;
            return false;
        }
        return WalkStore(store, type, id) != nullptr;
    };
    tag_code id = tag_id_from_name(name);
    while (taken(id)) id = next_tag_id(id);
    return id;
}

class TagIndex : public ::testing::TestWithParam<unsigned> {
protected:
    TempFolder dir;
    TTagStore store;
    std::mt19937 random{GetParam()};
    int written = 0;

    template <typename T, size_t N>
    const T& Pick(const T (&items)[N])
    {
        return items[random() % N];
    }

    std::vector<tag_file*> Files()
    {
        std::vector<tag_file*> files;
        for (tag_file* f = store.first_file(); f; f = f->next) files.push_back(f);
        return files;
    }

    std::vector<tag_entry*> Entries()
    {
        std::vector<tag_entry*> entries;
        for (tag_entry* e = store.next_entry(nullptr); e; e = store.next_entry(e)) entries.push_back(e);
        return entries;
    }

    // A file on disk whose groups may hold the same id twice.
    void OpenWrittenFile()
    {
        std::vector<test_tag> tags;
        for (unsigned n = random() % 6; n > 0; --n) tags.push_back({Pick(kTypes), Pick(kIds), "disk", 1, make_bytes(4, 1)});
        std::string path = dir / ("f" + std::to_string(written++) + ".tag");
        write_file(path, build_multi_tag_file(tags));
        ASSERT_NE(store.open_tag_file(path, false), nullptr);
    }

    void Step()
    {
        std::vector<tag_file*> files = Files();
        std::vector<tag_entry*> entries = Entries();
        tag_file* f = files.empty() ? nullptr : files[random() % files.size()];
        tag_entry* e = entries.empty() ? nullptr : entries[random() % entries.size()];
        switch (random() % 9) {
        case 0: store.new_tag_file(); break;
        case 1: OpenWrittenFile(); break;
        case 2:
        case 3:
            if (f) {
                tag_code id = random() % 2 ? 0 : code(Pick(kIds)); // 0: derived from the name, unique in the type
                store.create_tag(f, code(Pick(kTypes)), id, 1, Pick(kNames), 0, 0, nullptr);
            }
            break;
        case 4:
            if (e) store.delete_tag(e);
            break;
        case 5:
            if (e) tag_set_id(e, code(Pick(kIds)));
            break;
        case 6:
            if (e) tag_set_type(e, code(Pick(kTypes)));
            break;
        case 7:
            if (f && random() % 3 == 0) store.close_tag_file(f);
            break;
        case 8:
            if (f && !f->path.empty()) store.revert_tag_file(f);
            break;
        }
    }

    void CheckLookups()
    {
        std::vector<tag_file*> files = Files();
        std::vector<tag_entry*> entries = Entries();
        ASSERT_EQ(store.index().size(), entries.size());
        for (const char* type : kTypes)
            for (const char* id : kIds) {
                ASSERT_EQ(store.find_tag(code(type), code(id)), WalkStore(store, code(type), code(id))) << type << id;
                for (tag_file* f : files) {
                    ASSERT_EQ(tag_find_in_file(f, code(type), code(id)), WalkFile(f, code(type), code(id)));
                    ASSERT_EQ(tag_find_in_group(tag_file_group(f, code(type)), code(id)),
                              WalkFile(f, code(type), code(id)));
                }
            }
        for (tag_entry* e : entries)
            for (bool from_start : {false, true})
                ASSERT_EQ(store.find_next_duplicate(e, from_start), WalkDuplicate(store, e, from_start));
        for (const char* name : kNames)
            for (const char* type : kTypes) {
                ASSERT_EQ(store.make_tag_id(name, code(type), nullptr), WalkMakeId(store, name, code(type), nullptr));
                for (tag_file* f : files) {
                    ASSERT_EQ(store.make_tag_id(name, code(type), f), WalkMakeId(store, name, code(type), f));
                    ASSERT_EQ(store.make_tag_id(name, 0, f), WalkMakeId(store, name, 0, f));
                }
            }
    }
};

} // namespace

TEST_P(TagIndex, LookupsAgreeWithWalksAfterEveryOperation)
{
    for (int step = 0; step < 400; ++step) {
        Step();
        CheckLookups();
        if (HasFatalFailure()) FAIL() << "after step " << step;
    }
}

INSTANTIATE_TEST_SUITE_P(Seeds, TagIndex, ::testing::Values(1u, 2u, 3u));

TEST(TagIndexScale, IdsOfNamesAlikeCostAFewLookupsEach)
{
    // 3,000 files named frame0001 ... give the same first id: each new tag must not walk
    // past every id taken before it.
    TTagStore store;
    tag_file* f = store.new_tag_file();
    const uint64_t before = store.index().lookups();
    tag_code previous = 0;
    for (int n = 1; n <= 3000; ++n) {
        char name[32];
        std::snprintf(name, sizeof name, "frame%04d.bin", n);
        tag_entry* e = store.create_tag(f, code("rawd"), 0, 1, name, 0, 0, nullptr);
        ASSERT_EQ(e->id, n == 1 ? code("frbi") : next_tag_id(previous));
        previous = e->id;
    }
    EXPECT_LT(store.index().lookups() - before, 3u * 3000);
}
