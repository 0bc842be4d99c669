#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <sys/resource.h>
#include <zlib.h>

#include "framework/XGFile.h"
#include "support/tag_file_bytes.h"
#include "tags/tag_file_format.h"
#include "tags/tags.h"
#include "tags/writer_thread.h"

namespace {

test_tag Tag(const std::string& type, const std::string& id, const std::string& name, size_t size, uint8_t seed,
             int16_t version = 1)
{
    return {type, id, name, version, make_bytes(size, seed)};
}

// A map header: team count at 84, description string list id at 140.
bytes MeshData(uint32_t teams, const std::string& description_id, size_t size = 1100)
{
    bytes b = make_bytes(size, 9);
    put_be32(b, 84, teams);
    put_be32(b, 140, description_id.empty() ? 0xFFFFFFFF : code(description_id));
    return b;
}

bytes EntryPoint(const std::string& id, uint32_t teams, const std::string& name, const std::string& title)
{
    bytes p(112, 0);
    put_be32(p, 0, code(id));
    put_be32(p, 4, teams);
    std::copy(name.begin(), name.end(), p.begin() + 16);
    std::copy(title.begin(), title.end(), p.begin() + 48);
    return p;
}

class TagFileFormat : public ::testing::Test {
protected:
    TempFolder dir;
    TTagStore store;

    tag_file* Open(const std::string& name, const bytes& content)
    {
        write_file(dir / name, content);
        return store.open_tag_file(dir / name, false);
    }
};

} // namespace

TEST_F(TagFileFormat, RewriteListsTypesInReverseAndKeepsTagOrder)
{
    tag_file* f = Open("units.tag", build_multi_tag_file({Tag("soun", "aaaa", "first", 100, 1),
                                                          Tag("soun", "bbbb", "second", 0, 2),
                                                          Tag("mons", "cccc", "third", 37, 3, 4)},
                                                         1, 77, "units"));
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->kind, 1);
    EXPECT_EQ(f->header_word, 77);
    ASSERT_TRUE(write_tag_file(f, dir / "out.tag", TAG_FILE_TYPE_PLUGIN, false));

    bytes expected = build_multi_tag_file({Tag("mons", "cccc", "third", 37, 3, 4), Tag("soun", "aaaa", "first", 100, 1),
                                           Tag("soun", "bbbb", "second", 0, 2)},
                                          1, 77, "units");
    EXPECT_EQ(read_file(dir / "out.tag"), expected);
}

TEST_F(TagFileFormat, SingleTypeFilesAndSingleTagFilesRoundTripExactly)
{
    bytes multi = build_multi_tag_file({Tag("text", "a___", "a", 10, 1), Tag("text", "b___", "b", 3000, 2),
                                        Tag("text", "c___", "c", 1, 3)},
                                       1, -5, "texts");
    tag_file* f = Open("texts.tag", multi);
    ASSERT_NE(f, nullptr);
    ASSERT_TRUE(write_tag_file(f, dir / "copy.tag", TAG_FILE_TYPE_PLUGIN, false));
    EXPECT_EQ(read_file(dir / "copy.tag"), multi);

    dir.mkdir("local");
    bytes single = build_single_tag_file(Tag("txst", "grss", "grass", 68 - 64, 4));
    ASSERT_EQ(single.size(), 68u);
    tag_file* s = Open("grass.tag", single);
    ASSERT_NE(s, nullptr) << "a single-tag file shorter than a file header";
    EXPECT_EQ(s->kind, 0);
    ASSERT_EQ(s->groups->entries->size, 4u);
    ASSERT_TRUE(write_tag_file(s, dir / "local/grass.tag", TAG_FILE_TYPE_AUTO, false));
    EXPECT_EQ(read_file(dir / "local/grass.tag"), single);
}

TEST_F(TagFileFormat, SingleTagSizeIsTheFileLengthMinusTheHeader)
{
    bytes single = build_single_tag_file(Tag("rawd", "blob", "blob", 500, 5));
    put_be32(single, 48, 7); // a stored size that disagrees
    tag_file* s = Open("blob.tag", single);
    ASSERT_NE(s, nullptr);
    tag_entry* e = s->groups->entries;
    EXPECT_EQ(e->size, 500u);
    uint32_t size = 0;
    const uint8_t* data = tag_get_data(e, &size);
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(bytes(data, data + size), make_bytes(500, 5));
}

// Megabytes go through the buffers, with or without a writer thread: data read from the
// source, data in memory smaller and larger than a buffer, in order, with the checksums; and
// a last buffer the file system refuses fails the write with its reason, leaving nothing.
TEST_F(TagFileFormat, DataKeepsItsOrderAndChecksumsThroughTheBuffersAndFailuresSurface)
{
    // the second tag from the source is read into a buffer right after the first buffer
    // went to the thread
    bytes a = make_bytes(900000, 1), a2 = make_bytes(400000, 6), b = make_bytes(600000, 2),
          c = make_bytes(1500000, 3), d = make_bytes(300000, 4), e = make_bytes(10, 5);
    tag_file* f =
        Open("source.tag", build_multi_tag_file({{"rawd", "aaaa", "a", 1, a}, {"rawd", "abab", "a2", 1, a2}}));
    ASSERT_EQ(tag_find_in_file(f, code("rawd"), code("abab"))->data, nullptr);
    const char* ids[] = {"bbbb", "cccc", "dddd", "eeee"};
    const bytes* data[] = {&b, &c, &d, &e};
    for (int i = 0; i < 4; ++i)
        store.create_tag(f, code("rawd"), code(ids[i]), 1, "x", 0, uint32_t(data[i]->size()), data[i]->data());
    bytes stream = a;
    stream.insert(stream.end(), a2.begin(), a2.end());
    for (const bytes* part : data) stream.insert(stream.end(), part->begin(), part->end());
    const size_t data_at = 128 + 6 * 64;

    TWriterThread thread;
    auto write = [&](tag_file* from, const std::string& name, TWriterThread* behind, std::string& why) {
        TTagFileWriter writer(from, dir / name, TAG_FILE_TYPE_PLUGIN);
        bool ok = writer.Begin(false, behind);
        while (ok && writer.Next()) ok = writer.WriteNext();
        ok = ok && writer.Finish(false);
        why = writer.Why();
        return ok;
    };
    for (TWriterThread* behind : {(TWriterThread*)nullptr, &thread}) {
        SCOPED_TRACE(behind ? "writer thread" : "one thread");
        std::string why;
        ASSERT_TRUE(write(f, "out.tag", behind, why)) << why;
        bytes file = read_file(dir / "out.tag");
        ASSERT_EQ(file.size(), data_at + stream.size());
        EXPECT_TRUE(std::equal(stream.begin(), stream.end(), file.begin() + long(data_at)));
        EXPECT_EQ(be32(file, 104), ~uint32_t(crc32(0, stream.data(), uInt(stream.size()))));
        EXPECT_EQ(be32(file, 104), reference_checksum(stream.data(), stream.size()));
        bytes header(file.begin(), file.begin() + 128);
        put_be32(header, 116, 0);
        EXPECT_EQ(be32(file, 116), reference_checksum(header.data(), 128));
        EXPECT_EQ(be32(file, 112), file.size());
        EXPECT_EQ(be16(file, 100), 0) << "no maps, no entry points";
        EXPECT_EQ(be32(file, 128 + 60), code("vrn2")) << "first entry header right after the file header";
        EXPECT_EQ(file[128 + 3], 3) << "file mark of a multi-tag file";
        EXPECT_EQ(file[128 + 59], 255);

        // everything up to the last buffer fits
        struct rlimit before {};
        ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &before), 0);
        auto previous = std::signal(SIGXFSZ, SIG_IGN);
        struct rlimit small = before;
        small.rlim_cur = data_at + stream.size() - d.size() / 2;
        ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
        const bool written = write(f, "refused.tag", behind, why);
        setrlimit(RLIMIT_FSIZE, &before);
        std::signal(SIGXFSZ, previous);
        EXPECT_FALSE(written);
        EXPECT_NE(why.find(std::strerror(EFBIG)), std::string::npos) << why;
        EXPECT_EQ(dir.files(), (std::vector<std::string>{"out.tag", "source.tag"}));
        EXPECT_EQ(read_file(dir / "out.tag"), file);
    }

    // a tag that cannot be read after a buffer went to the thread: the failure waits for it
    tag_file* g = Open("broken.tag", build_multi_tag_file({{"rawd", "big_", "big", 1, make_bytes(1200000, 6)},
                                                           {"rawd", "bad_", "bad", 1, make_bytes(10, 7)}}));
    tag_find_in_file(g, code("rawd"), code("bad_"))->offset = 0x7FFFFFF0;
    std::string why;
    EXPECT_FALSE(write(g, "broken_out.tag", &thread, why));
    EXPECT_NE(why.find("cannot be read"), std::string::npos) << why;
    EXPECT_EQ(dir.files(), (std::vector<std::string>{"broken.tag", "out.tag", "source.tag"}));
}

TEST_F(TagFileFormat, DataIsPackedAndZeroSizeTagsShareTheNextOffset)
{
    tag_file* f = store.new_tag_file();
    bytes x = make_bytes(10, 1);
    store.create_tag(f, code("rawd"), code("x___"), 1, "x", 0, 10, x.data());
    store.create_tag(f, code("rawd"), code("e___"), 1, "empty", 0, 0, x.data());
    store.create_tag(f, code("rawd"), code("y___"), 1, "y", 0, 10, x.data());
    ASSERT_TRUE(write_tag_file(f, dir / "packed.tag", TAG_FILE_TYPE_PLUGIN, true));
    bytes file = read_file(dir / "packed.tag");
    uint32_t o1 = be32(file, 128 + 44), o2 = be32(file, 192 + 44), o3 = be32(file, 256 + 44);
    EXPECT_EQ(o1, 128u + 3 * 64);
    EXPECT_EQ(o2, o1 + 10);
    EXPECT_EQ(o3, o2) << "a zero-size tag's offset is the next tag's";
    EXPECT_EQ(file.size(), o3 + 10);
    // adopted: the file now refers to the destination, clean, offsets known, data released
    EXPECT_EQ(f->path, dir / "packed.tag");
    EXPECT_EQ(f->kind, 1);
    EXPECT_FALSE(f->needupdate || f->needrewrite);
    tag_entry* y = tag_find_in_file(f, code("rawd"), code("y___"));
    EXPECT_EQ(y->offset, o3);
    EXPECT_FALSE(y->dirty);
    EXPECT_EQ(y->data, nullptr);
    EXPECT_EQ(bytes(tag_get_data(y), tag_get_data(y) + 10), x);
}

TEST_F(TagFileFormat, EntryPointsFollowTheMapTagsWithTheirTitles)
{
    bytes title = {'R', 'i', 'v', 'e', 'r', ' ', 'C', 'r', 'o', 's', 's', 'i', 'n', 'g', '\r', '\n', 'm', 'o', 'r', 'e'};
    tag_file* strings = store.new_tag_file();
    store.create_tag(strings, code("stli"), code("desc"), 1, "desc", 0, uint32_t(title.size()), title.data());

    tag_file* f = store.new_tag_file();
    bytes m1 = MeshData(4, "desc"), m2 = MeshData(2, "gone"), m3 = MeshData(6, "");
    store.create_tag(f, code("mesh"), code("m1__"), 11, "first map", 0, uint32_t(m1.size()), m1.data());
    store.create_tag(f, code("mesh"), code("m2__"), 11, "second map", 0, uint32_t(m2.size()), m2.data());
    store.create_tag(f, code("mesh"), code("m3__"), 11, "third map", 0, uint32_t(m3.size()), m3.data());
    bytes other = make_bytes(20, 4);
    store.create_tag(f, code("rawd"), code("r___"), 1, "r", 0, 20, other.data());
    ASSERT_TRUE(write_tag_file(f, dir / "maps.tag", TAG_FILE_TYPE_PLUGIN, false));

    bytes file = read_file(dir / "maps.tag");
    EXPECT_EQ(be16(file, 100), 3);
    bytes p1(file.begin() + 128, file.begin() + 240);
    bytes p2(file.begin() + 240, file.begin() + 352);
    bytes p3(file.begin() + 352, file.begin() + 464);
    EXPECT_EQ(p1, EntryPoint("m1__", 4, "first map", "River Crossing"));
    EXPECT_EQ(p2, EntryPoint("m2__", 2, "second map", "map name string not found"));
    EXPECT_EQ(p3, EntryPoint("m3__", 6, "third map", "map name string not found"));
    EXPECT_EQ(be32(file, 464 + 44), 128u + 3 * 112 + 4 * 64) << "data after entry points and headers";
}

TEST_F(TagFileFormat, AMapWhoseHeaderCannotBeReadFailsTheWrite)
{
    tag_file* f = store.new_tag_file();
    bytes shortmap = make_bytes(100, 1);
    store.create_tag(f, code("mesh"), code("m___"), 11, "broken", 0, 100, shortmap.data());
    std::string why;
    EXPECT_FALSE(write_tag_file(f, dir / "x.tag", TAG_FILE_TYPE_PLUGIN, false, &why));
    EXPECT_NE(why.find("map header"), std::string::npos);
    EXPECT_TRUE(dir.files().empty()) << "no file and no leftover temporary file";
}

TEST_F(TagFileFormat, AutomaticLayoutFromTheDestinationsFolders)
{
    EXPECT_EQ(tag_file_auto_layout("/data/local/x.tag"), TAG_FILE_TYPE_LOCAL);
    EXPECT_EQ(tag_file_auto_layout("/data/local/sub/x.tag"), TAG_FILE_TYPE_LOCAL);
    EXPECT_EQ(tag_file_auto_layout("/data/tags/x.tag"), TAG_FILE_TYPE_FOUNDATION);
    EXPECT_EQ(tag_file_auto_layout("/data/locale/x.tag"), TAG_FILE_TYPE_PLUGIN);
    EXPECT_EQ(tag_file_auto_layout("/data/Local/x.tag"), TAG_FILE_TYPE_PLUGIN) << "exact case";
    EXPECT_EQ(tag_file_auto_layout("/data/plugins/x.tag"), TAG_FILE_TYPE_PLUGIN);

    dir.mkdir("tags");
    dir.mkdir("local");
    tag_file* f = store.new_tag_file();
    bytes a = make_bytes(8, 1);
    store.create_tag(f, code("rawd"), code("a___"), 1, "a", 0, 8, a.data());
    store.create_tag(f, code("rawd"), code("b___"), 1, "b", 0, 8, a.data());
    ASSERT_TRUE(write_tag_file(f, dir / "tags/base.tag", TAG_FILE_TYPE_AUTO, false));
    EXPECT_EQ(be16(read_file(dir / "tags/base.tag"), 0), 3);
    EXPECT_EQ(be16(read_file(dir / "tags/base.tag"), 2), 0);

    write_text(dir / "local/keep.tag", "old contents");
    std::string why;
    EXPECT_FALSE(write_tag_file(f, dir / "local/keep.tag", TAG_FILE_TYPE_AUTO, true, &why));
    EXPECT_NE(why.find("local folder holds exactly one tag"), std::string::npos) << why;
    EXPECT_EQ(read_text(dir / "local/keep.tag"), "old contents");
    EXPECT_EQ(dir.files("local"), std::vector<std::string>{"keep.tag"});
    EXPECT_TRUE(f->path.empty()) << "a failed write adopts nothing";
}

TEST_F(TagFileFormat, BaseAndPatchFilesAreNeverWritten)
{
    tag_file* f = Open("base.tag", build_multi_tag_file({Tag("rawd", "a___", "a", 5, 1)}, 3));
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->kind, 3);
    std::string why;
    EXPECT_FALSE(write_tag_file(f, dir / "other.tag", TAG_FILE_TYPE_PLUGIN, false, &why));
    EXPECT_EQ(why, "Unable to write data to file base.tag - Cannot modify base tags or patches.");
    tag_file* p = Open("patch.tag", build_multi_tag_file({Tag("rawd", "a___", "a", 5, 1)}, 2));
    EXPECT_FALSE(write_tag_file(p, dir / "other.tag", TAG_FILE_TYPE_PLUGIN, false));
    EXPECT_FALSE(XGFile::Exists(dir / "other.tag"));
}

TEST_F(TagFileFormat, AMultiTagFileStatingKindZeroIsStillReadByItsEntryHeaders)
{
    // kind 0 is what a single-tag file is given; stored in a file header it must not
    // make the reader take the single-tag layout
    test_tag a = Tag("rawd", "a___", "a", 50, 1), b = Tag("rawd", "b___", "b", 30, 2);
    tag_file* f = Open("zero.tag", build_multi_tag_file({a, b}, 0));
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->kind, 0);
    tag_entry* first = f->groups->entries;
    ASSERT_NE(first->next, nullptr);
    EXPECT_EQ(first->offset, 128u + 2 * 64);
    EXPECT_EQ(first->size, 50u);
    uint32_t size = 0;
    const uint8_t* data = tag_get_data(first->next, &size);
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(bytes(data, data + size), b.data);
}

TEST_F(TagFileFormat, HostileHeadersAreRefusedOrFailCleanly)
{
    bytes good = build_multi_tag_file({Tag("rawd", "a___", "a", 50, 1), Tag("rawd", "b___", "b", 50, 2)});

    bytes truncated(good.begin(), good.begin() + 128 + 64 + 10);
    EXPECT_EQ(Open("truncated.tag", truncated), nullptr);

    bytes negative = good;
    put_be16(negative, 102, 0xFFFF);
    EXPECT_EQ(Open("negative.tag", negative), nullptr);

    bytes absurd = good;
    put_be16(absurd, 100, 30000);
    EXPECT_EQ(Open("absurd.tag", absurd), nullptr);

    EXPECT_EQ(Open("tiny.tag", bytes(10, 0)), nullptr);
    EXPECT_EQ(Open("text.tag", bytes(300, 'x')), nullptr);
    EXPECT_EQ(store.file_count(), 0u) << "refused files leave no trace";

    bytes outside = good;
    put_be32(outside, 192 + 44, 0xFFFFFF00); // second tag's offset far past the end
    put_be32(outside, 128 + 48, 0xFFFFFFFF); // first tag's size absurd
    tag_file* f = Open("outside.tag", outside);
    ASSERT_NE(f, nullptr);
    for (tag_entry* e = f->groups->entries; e; e = e->next) EXPECT_EQ(tag_get_data(e), nullptr);
    std::string why;
    EXPECT_FALSE(write_tag_file(f, dir / "out.tag", TAG_FILE_TYPE_PLUGIN, false, &why));
    EXPECT_NE(why.find("too large"), std::string::npos) << why;
    EXPECT_FALSE(XGFile::Exists(dir / "out.tag"));

    bytes beyond = good;
    put_be32(beyond, 192 + 44, 0xFFFFFF00);
    tag_file* g = Open("beyond.tag", beyond);
    ASSERT_NE(g, nullptr);
    EXPECT_NE(tag_get_data(g->groups->entries), nullptr);
    EXPECT_EQ(tag_get_data(g->groups->last), nullptr);
    EXPECT_FALSE(write_tag_file(g, dir / "out.tag", TAG_FILE_TYPE_PLUGIN, false, &why));
    EXPECT_NE(why.find("rawd/b___ (b)"), std::string::npos) << why;
    EXPECT_NE(why.find("cannot be read"), std::string::npos) << why;
    EXPECT_FALSE(XGFile::Exists(dir / "out.tag"));
}
