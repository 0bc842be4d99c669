#include <gtest/gtest.h>

#include <algorithm>

#include "build/foundation_build.h"
#include "build/sample_data.h"
#include "map/mesh_map.h"
#include "support/tag_file_bytes.h"
#include "tags/gameplay/gameplay.h"
#include "tags/tag_types.h"

namespace {

std::vector<std::string> Listing(const std::string& path)
{
    bytes b = read_file(path);
    std::vector<std::string> out;
    size_t table = 128 + 112 * size_t(be16(b, 100));
    for (size_t i = 0; i < be16(b, 102); ++i)
        out.push_back(tag_code_to_text(be32(b, table + 64 * i + 36)) + ":" + tag_code_to_text(be32(b, table + 64 * i + 40)));
    std::sort(out.begin(), out.end());
    return out;
}

bool Holds(const std::vector<std::string>& listing, const std::string& tag)
{
    return std::binary_search(listing.begin(), listing.end(), tag);
}

template <class T>
void ExpectReadable(TTagStore& store, const char* id)
{
    tag_entry* e = store.find_tag(tag_struct_info<T>::type, text_to_tag_code(id));
    ASSERT_NE(e, nullptr) << tag_struct_info<T>::label << " " << id;
    T d;
    EXPECT_TRUE(read_tag_struct(e, d)) << tag_struct_info<T>::label << " " << id;
    EXPECT_FALSE(compare_tag_struct(e, d, true)) << tag_struct_info<T>::label << " " << id;
}

} // namespace

TEST(SampleData, HoldsEveryGameplayTypeAndTwoMapsThatBuild)
{
    TempFolder folder;
    make_sample_data(folder.path());
    TTagStore store;
    store.load_data_folder(folder.path());

    for (const char* type : {"amso", "arti", "conn", "ligh", "phys", "lpgr", "medi", "meef", "meli", "mesh", "mons",
                             "obje", "obpc", "part", "prgr", "scen", "unit", "wind", "loli", "glli", "game", "proj",
                             "core", "form", ".256", "stli"}) {
        bool found = false;
        for (tag_entry* e = store.next_entry(nullptr); e && !found; e = store.next_entry(e))
            found = tag_get_type(e) == text_to_tag_code(type);
        EXPECT_TRUE(found) << type;
    }
    ExpectReadable<monster_definition>(store, "warr");
    ExpectReadable<unit_definition>(store, "dwrf");
    ExpectReadable<projectile_definition>(store, "bolt");
    ExpectReadable<projectile_group_definition>(store, "hit_");
    ExpectReadable<media_type_definition>(store, "watr");
    TMeshMap map;
    load_map(store.find_tag("mesh"_4cc, text_to_tag_code("m001")), map);
    EXPECT_EQ(map.fWidth, 64);
    EXPECT_EQ(map.fMarkers.size(), 6u);

    foundation_build_result r = build_foundation(store, folder / "root_list.txt", folder.path());
    ASSERT_TRUE(r.finished) << r.failure;
    std::vector<std::string> small = Listing(folder / "foundation_build/small.tag");
    std::vector<std::string> large = Listing(folder / "foundation_build/large.tag");
    std::vector<std::string> localized = Listing(folder / "foundation_build/small_localized.tag");
    for (const char* shared : {"unit:warr", "scen:tree", "scen:rock", "mons:warr", "obje:wood", "prgr:hit_"})
        EXPECT_TRUE(Holds(small, shared)) << shared;
    for (const char* own : {"unit:ghol", "unit:dwrf", "mons:dwrf", "proj:bolt", "medi:watr", "mesh:m001", "mesh:m002"})
        EXPECT_TRUE(Holds(large, own)) << own;
    for (const char* text : {"stli:m1ti", "stli:m2ti", "game:gpar", ".256:MTit"}) EXPECT_TRUE(Holds(localized, text)) << text;

    std::string log = read_text(folder / "foundation_build/dependency_log.txt");
    EXPECT_EQ(log.find("missing tag"), std::string::npos) << log;
    EXPECT_EQ(log.find("unreadable"), std::string::npos) << log;
    EXPECT_NE(log.find("duplicate tag 'warrior (local)' (unit/warr) in file warrior.tag"), std::string::npos) << log;
}
