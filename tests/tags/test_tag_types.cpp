#include <gtest/gtest.h>

#include <set>

#include "support/tag_file_bytes.h"
#include "tags/tag_types.h"
#include "tags/tags.h"

TEST(TagTypes, TableOrderNamesAndVersions)
{
    EXPECT_EQ(tag_type_by_index(0), code("amso"));
    EXPECT_EQ(tag_type_by_index(17), code("mesh"));
    EXPECT_EQ(tag_type_by_index(49), code("quik"));
    EXPECT_EQ(tag_type_by_index(50), 0u);
    std::set<tag_code> codes;
    for (int i = 0; i < 50; ++i) codes.insert(tag_type_by_index(i));
    EXPECT_EQ(codes.size(), 50u);

    EXPECT_EQ(tag_type_version(code("mesh")), 11);
    EXPECT_EQ(tag_type_version(code(".256")), 4);
    EXPECT_EQ(tag_type_version(code("skan")), 2);
    EXPECT_STREQ(tag_type_name(code("unit")), "Units");
    EXPECT_STREQ(tag_type_plural_name(code("ligh")), "Lightning");
    EXPECT_STREQ(tag_type_plural_name(code("jpeg")), "JPEG Files");
    EXPECT_TRUE(tag_type_is_localized(code("bina")));
    EXPECT_FALSE(tag_type_is_localized(code("soun")));
    EXPECT_TRUE(tag_type_is_localized(code("soli")));
}

TEST(TagTypes, UnknownCodes)
{
    EXPECT_EQ(tag_type_info_for(code("zzzz")), nullptr);
    EXPECT_EQ(tag_type_version(code("zzzz")), 1);
    EXPECT_STREQ(tag_type_name(code("zzzz")), "UNKNOWN TYPE");
    EXPECT_STREQ(tag_type_plural_name(0), "UNKNOWN TYPE");
    EXPECT_EQ(tag_type_editor_hook(code("zzzz"), false), nullptr);
    EXPECT_EQ(tag_type_set_defaults_hook(code("zzzz")), nullptr);
}

TEST(TagTypes, DeclaredHooks)
{
    int alternates = 0;
    for (int i = 0; i < 50; ++i) alternates += tag_type_declares_hook(tag_type_by_index(i), 'A');
    EXPECT_EQ(alternates, 1);
    EXPECT_TRUE(tag_type_declares_hook(code("mesh"), 'A'));
    EXPECT_TRUE(tag_type_declares_hook(code("proj"), 'U'));
    EXPECT_FALSE(tag_type_declares_hook(code("proj"), 'S'));
    EXPECT_TRUE(tag_type_declares_hook(code("core"), 'C'));
    EXPECT_FALSE(tag_type_declares_hook(code("core"), 'E'));
}

namespace {
void* FakeEditor(tag_entry*)
{
    return nullptr;
}
} // namespace

TEST(TagTypes, InstallingHooksTheTableDoesNotGiveIsRefused)
{
    EXPECT_THROW(set_tag_type_editor_hooks(code("core"), FakeEditor, nullptr), AssertionThrown);
    EXPECT_THROW(set_tag_type_editor_hooks(code("soun"), FakeEditor, FakeEditor), AssertionThrown);
    set_tag_type_editor_hooks(code("mesh"), FakeEditor, FakeEditor);
    EXPECT_EQ(tag_type_editor_hook(code("mesh"), true), FakeEditor);
    set_tag_type_editor_hooks(code("mesh"), nullptr, nullptr);
}

TEST(TagTypes, GroupsKnowTheirType)
{
    TTagStore store;
    tag_file* f = store.new_tag_file();
    tag_group* g = store.find_group(f, code("soun"), true);
    ASSERT_NE(g->type_info, nullptr);
    EXPECT_STREQ(g->type_info->name, "Sound");
    EXPECT_EQ(store.find_group(f, code("zzzz"), true)->type_info, nullptr);
}
