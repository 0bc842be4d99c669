#include <gtest/gtest.h>

#include "sound/sound_list.h"
#include "support/dependency_recorder.h"
#include "sound_test_support.h"
#include "support/tag_file_bytes.h"
#include "tags/tag_types.h"

namespace {

struct SoundLists : ::testing::Test {
    sound_store tags;
    tag_entry* Add(const bytes& data) { return tags.add("soli", data, "list"); }
};

bytes ListBytes(int16_t count, int ids)
{
    bytes b(256, 0);
    put_be16(b, 0, uint16_t(count));
    b[2] = 0x11;
    b[15] = 0x22;
    for (int i = 0; i < 30; ++i) {
        put_be32(b, size_t(16 + 8 * i), i < ids ? code("so" + std::to_string(10 + i)) : 0xFFFFFFFF);
        b[size_t(20 + 8 * i)] = uint8_t(i);
    }
    return b;
}

} // namespace

TEST_F(SoundLists, ANewListIsEmpty)
{
    tag_entry* e = Add({});
    tag_type_set_defaults_hook(code("soli"))(e);
    bytes expected(256, 0);
    for (int i = 0; i < 30; ++i) put_be32(expected, size_t(16 + 8 * i), 0xFFFFFFFF);
    EXPECT_EQ(tag_data(e), expected);
}

TEST_F(SoundLists, ReferencesCoverTheSoundsInUse)
{
    DependencyRecorder recorder;
    EXPECT_EQ(recorder.Collect(Add(ListBytes(3, 30))), (std::vector<std::string>{"soun:so10", "soun:so11", "soun:so12"}));
    EXPECT_TRUE(recorder.Collect(Add(ListBytes(0, 30))).empty());
    EXPECT_TRUE(recorder.Collect(Add(ListBytes(-4, 30))).empty());
    // A count past the 30 entries stops at the last entry.
    std::vector<std::string> all = recorder.Collect(Add(ListBytes(400, 30)));
    ASSERT_EQ(all.size(), 30u);
    EXPECT_EQ(all.back(), "soun:so39");
    EXPECT_TRUE(recorder.Collect(Add(bytes(100, 0))).empty());
}

TEST_F(SoundLists, ReadingCutsTheCountAndWritingKeepsTheRest)
{
    tag_entry* e = Add(ListBytes(31, 30));
    sound_list list;
    ASSERT_TRUE(read_sound_list(list, e));
    EXPECT_EQ(list.count, 30);
    EXPECT_EQ(list.sounds[29].sound, code("so39"));

    bytes original = ListBytes(2, 5);
    e = Add(original);
    ASSERT_TRUE(read_sound_list(list, e));
    EXPECT_EQ(list.count, 2);
    ASSERT_TRUE(write_sound_list(list, e));
    EXPECT_EQ(tag_data(e), original);
    EXPECT_FALSE(read_sound_list(list, Add(bytes(255, 0))));
}
