#include <gtest/gtest.h>

#include <cstring>

#include "framework/XGFile.h"
#include "support/tag_file_bytes.h"
#include "tags/tag_file_format.h"
#include "tags/tags.h"

namespace {

// Data for tags that have none in memory: a pattern per tag, or a failure after some bytes.
class TPatternSource : public TTagDataSource {
public:
    bool ReadTagData(tag_entry* e, uint32_t offset, void* out, uint32_t count) override
    {
        ++fReads;
        if (uint64_t(offset) + count > e->size || offset + count > fFailAfter) return false;
        bytes all = Pattern(e);
        std::memcpy(out, all.data() + offset, count);
        return true;
    }

    static bytes Pattern(const tag_entry* e) { return make_bytes(e->size, uint8_t(e->id)); }

    int fReads = 0;
    uint32_t fFailAfter = 0xFFFFFFFF;
};

} // namespace

TEST(TagDataSource, TagsWithoutDataAreWrittenFromTheSourceWhateverTheirSize)
{
    TempFolder dir;
    TTagStore store;
    tag_file* f = store.new_tag_file();
    bytes small = make_bytes(100, 1), large = make_bytes(1500000, 2);
    store.create_tag(f, code("rawd"), code("aaa1"), 1, "in memory", 0, uint32_t(small.size()), small.data());
    tag_entry* streamed = store.create_tag(f, code("rawd"), code("aaa2"), 1, "from the source", 0, 2600000, nullptr);
    store.create_tag(f, code("rawd"), code("aaa3"), 1, "large in memory", 0, uint32_t(large.size()), large.data());
    store.create_tag(f, code("rawd"), code("aaa4"), 1, "empty", 0, 0, nullptr);
    tag_entry* last = store.create_tag(f, code("jpeg"), code("aaa5"), 1, "small from the source", 0, 3000, nullptr);

    TPatternSource source;
    ASSERT_TRUE(write_tag_file(f, dir / "out.tag", TAG_FILE_TYPE_FOUNDATION, false, nullptr, &source));
    EXPECT_EQ(read_file(dir / "out.tag"),
              build_multi_tag_file({{"jpeg", "aaa5", "small from the source", 1, TPatternSource::Pattern(last)},
                                    {"rawd", "aaa1", "in memory", 1, small},
                                    {"rawd", "aaa2", "from the source", 1, TPatternSource::Pattern(streamed)},
                                    {"rawd", "aaa3", "large in memory", 1, large},
                                    {"rawd", "aaa4", "empty", 1, {}}},
                                   3, 0, "out"));
    EXPECT_GT(source.fReads, 2) << "the large tag comes in pieces";
    EXPECT_EQ(streamed->data, nullptr);

    source.fFailAfter = 2000000;
    std::string why;
    EXPECT_FALSE(write_tag_file(f, dir / "failed.tag", TAG_FILE_TYPE_FOUNDATION, false, &why, &source));
    EXPECT_NE(why.find("rawd/aaa2 (from the source) cannot be read"), std::string::npos) << why;
    EXPECT_FALSE(XGFile::Exists(dir / "failed.tag"));
    EXPECT_EQ(dir.files(), std::vector<std::string>{"out.tag"}) << "no temporary file left";
}
