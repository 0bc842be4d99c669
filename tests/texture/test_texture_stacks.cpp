#include <gtest/gtest.h>

#include "framework/XGError.h"
#include "support/tag_file_bytes.h"
#include "tags/tag_types.h"
#include "texture/txst_format.h"
#include "texture_test_support.h"

namespace {

hand_texture Hand(uint8_t channels, uint16_t w, uint16_t h, uint8_t use, uint8_t layer, int seed)
{
    hand_texture t;
    t.channels = channels;
    t.use = use;
    t.layer = layer;
    t.width = w;
    t.height = h;
    t.data = make_bytes(size_t(w) * h * channels, uint8_t(seed));
    return t;
}

} // namespace

TEST(TextureStacks, ReadThenWriteGivesBackEveryByte)
{
    hand_texture detail = Hand(3, 4, 2, 2, 1, 5);
    const int16_t placement[6] = {-3, 7, -64, 1, 2, 64};
    std::copy(placement, placement + 6, detail.placement);
    hand_texture jpeg_like = Hand(1, 3, 3, 1, 0, 9);
    jpeg_like.format = 1;
    jpeg_like.data.resize(5); // opaque bytes: reading and writing never decode
    bytes stored = build_txst({{7, 9, {Hand(3, 2, 2, 0, 0, 1), detail}}, {0, 1, {jpeg_like, Hand(4, 1, 5, 6, 0, 3)}}});
    stored[2] = 0xAB; // unused header bytes travel unchanged
    texture_store s;
    tag_entry* e = s.add("txst", "terr", stored);

    auto set = read_texture_set(e);
    ASSERT_EQ(set->stack_count(), 2u);
    EXPECT_FALSE(set->modified);
    EXPECT_EQ(set->tag, e);
    EXPECT_EQ(set->stacks[0].first_attribute, 7);
    EXPECT_EQ(set->stacks[0].second_attribute, 9);
    const stacked_texture& d = *set->stacks[0].textures[1];
    EXPECT_EQ(d.use, 2);
    EXPECT_EQ(d.layer, 1);
    EXPECT_EQ(d.origin_x, -3);
    EXPECT_EQ(d.u_x, -64);
    EXPECT_EQ(d.v_y, 64);
    EXPECT_EQ(set->stacks[1].textures[0]->format, 1);

    set->modified = true;
    ASSERT_TRUE(write_texture_set(e, *set));
    EXPECT_FALSE(set->modified);
    EXPECT_EQ(tag_bytes(e), stored);
    EXPECT_EQ(e->size, 4 + 16 * 2 + (28 + 12) + (28 + 24) + (28 + 5) + (28 + 20));
}

TEST(TextureStacks, EmptyStacksAreDroppedAndTheSetIsModified)
{
    texture_store s;
    hand_stack empty{3, 4, {}};
    tag_entry* e = s.add("txst", "terr", build_txst({{5, 6, {Hand(1, 2, 2, 1, 0, 1)}}, empty, {8, 9, {Hand(3, 1, 1, 0, 0, 2)}}}));
    auto set = read_texture_set(e);
    ASSERT_EQ(set->stack_count(), 2u);
    EXPECT_TRUE(set->modified);
    EXPECT_EQ(set->stacks[1].first_attribute, 8);
    ASSERT_TRUE(write_texture_set(e, *set));
    EXPECT_EQ(tag_bytes(e), build_txst({{5, 6, {Hand(1, 2, 2, 1, 0, 1)}}, {8, 9, {Hand(3, 1, 1, 0, 0, 2)}}}));
}

TEST(TextureStacks, NewTagHasNoStacksAndWritesBackAsFourBytes)
{
    texture_store s;
    tag_entry* e = s.add("txst", "none", bytes{});
    tag_type_set_defaults_hook(code("txst"))(e);
    EXPECT_EQ(tag_bytes(e), bytes(4, 0));
    auto set = read_texture_set(e);
    EXPECT_EQ(set->stack_count(), 0u);
    EXPECT_FALSE(set->modified);
    ASSERT_TRUE(write_texture_set(e, *set));
    EXPECT_EQ(tag_bytes(e), bytes(4, 0));
}

TEST(TextureStacks, DamagedOffsetsAndCountsAreRefused)
{
    const bytes good = build_txst({{0, 1, {Hand(3, 2, 2, 0, 0, 1), Hand(1, 2, 2, 1, 0, 2)}}});
    const std::pair<const char*, std::function<void(bytes&)>> spoils[] = {
        {"stack offset", [](bytes& b) { put_be32(b, 4, 0xFFFFFFF0); }},
        {"stack count", [](bytes& b) { put_be16(b, 0, 0x2000); }}, // more references than bytes
        {"texture count", [](bytes& b) { put_be16(b, 16, 0x0100); }},
        {"data size", [](bytes& b) { put_be32(b, 16 + 4 + 28 + 4, 0x7FFFFFFF); }}, // the second texture's
        {"data offset", [](bytes& b) { put_be32(b, 16 + 4, 0xFFFFFFFF); }},       // the first texture's
        {"last data one byte past", [](bytes& b) { put_be32(b, 16 + 4 + 28, be32(b, 16 + 4 + 28) + 1); }},
        {"short", [](bytes& b) { b = {0}; }},
    };
    std::vector<std::pair<const char*, bytes>> cases;
    for (const auto& [what, spoil] : spoils) {
        cases.push_back({what, good});
        spoil(cases.back().second);
    }
    // Eight references to one block of two textures: sixteen textures in the bytes of two.
    bytes b = build_txst({{0, 1, {Hand(3, 2, 2, 0, 0, 1), Hand(1, 2, 2, 1, 0, 2)}}, {}, {}, {}, {}, {}, {}, {}});
    for (uint32_t i = 1; i < 8; ++i) put_be32(b, 4 + 12 * i, be32(b, 4));
    cases.push_back({"overlapping stacks", b});

    for (auto& [what, data] : cases) {
        texture_store s;
        tag_entry* e = s.add("txst", "bad ", data);
        EXPECT_THROW(read_texture_set(e), XGError) << what;
        EXPECT_EQ(tag_bytes(e), data) << what;
    }
    texture_store s;
    EXPECT_THROW(read_texture_set(s.add("rawd", "text", good)), XGError);
}

TEST(TextureStacks, WriteGivesUpOnATextureWithoutData)
{
    texture_store s;
    const bytes stored = build_txst({{0, 1, {Hand(3, 2, 2, 0, 0, 1)}}});
    tag_entry* e = s.add("txst", "terr", stored);
    auto set = read_texture_set(e);
    auto blank = patterned_texture(2, 2, 3, 0);
    blank->compressed_data.clear();
    insert_texture(set.get(), 0, -1, std::move(blank));
    std::string why;
    EXPECT_FALSE(write_texture_set(e, *set, &why));
    EXPECT_NE(why.find("no data"), std::string::npos);
    EXPECT_TRUE(set->modified);
    EXPECT_EQ(tag_bytes(e), stored);
}

TEST(TextureStacks, InsertingPastTheEndOpensStacksAndAppends)
{
    auto set = create_texture_set(2);
    EXPECT_TRUE(set->modified);
    EXPECT_EQ(insert_texture(set.get(), 1, 0, patterned_texture(1, 1, 1, 1)), 0);
    ASSERT_EQ(set->stack_count(), 2u);
    EXPECT_EQ(set->stacks[0].second_attribute, 0);
    EXPECT_EQ(set->stacks[1].second_attribute, 1);

    EXPECT_EQ(insert_texture(set.get(), 5, 0, patterned_texture(1, 1, 1, 2)), 0);
    ASSERT_EQ(set->stack_count(), 6u);
    for (int i = 2; i <= 4; ++i) {
        EXPECT_TRUE(set->stacks[i].textures.empty());
        EXPECT_EQ(set->stacks[i].first_attribute, 0);
        EXPECT_EQ(set->stacks[i].second_attribute, 0);
    }
    EXPECT_EQ(set->stacks[5].second_attribute, 1);

    // Positions: past the end appends and says where; 0 is the head; -1 the end.
    auto& list = set->stacks[5].textures;
    stacked_texture* first = list[0].get();
    EXPECT_EQ(insert_texture(set.get(), 5, 9, patterned_texture(1, 1, 1, 3)), 1);
    EXPECT_EQ(insert_texture(set.get(), 5, 0, patterned_texture(1, 1, 1, 4)), 0);
    EXPECT_EQ(list[1].get(), first);
    EXPECT_EQ(insert_texture(set.get(), 5, 1, patterned_texture(1, 1, 1, 5)), 1);
    EXPECT_EQ(list[2].get(), first);
    EXPECT_EQ(insert_texture(set.get(), 5, -1, patterned_texture(1, 1, 1, 6)), 4);
    EXPECT_EQ(insert_texture(nullptr, 0, 0, patterned_texture(1, 1, 1, 7)), -1);
    EXPECT_EQ(insert_texture(set.get(), 0, 0, nullptr), -1);

    // Inserting a stack in the middle shifts the later ones up.
    insert_stack(*set, 1);
    EXPECT_EQ(set->stack_count(), 7u);
    EXPECT_EQ(set->stacks[6].textures.size(), 5u);
}

TEST(TextureStacks, StoredTexturesAreReachedWithoutReadingTheSet)
{
    hand_texture second = Hand(1, 4, 4, 1, 3, 8);
    const bytes stored = build_txst({{0, 1, {Hand(3, 2, 2, 0, 0, 1)}}, {0, 1, {Hand(3, 2, 2, 0, 0, 2), second}}});
    EXPECT_EQ(txst_stored_stack_count(stored.data(), uint32_t(stored.size())), 2u);
    EXPECT_EQ(txst_stored_texture_count(stored.data(), uint32_t(stored.size()), 1), 2u);
    txst_texture_header header;
    const uint8_t* pixels = nullptr;
    ASSERT_TRUE(txst_stored_texture(stored.data(), uint32_t(stored.size()), 1, 1, &header, &pixels));
    EXPECT_EQ(header.layer, 3);
    EXPECT_EQ(header.width, 4);
    EXPECT_EQ(bytes(pixels, pixels + header.data_size), second.data);
    EXPECT_FALSE(txst_stored_texture(stored.data(), uint32_t(stored.size()), 1, 2, &header, &pixels));
    EXPECT_FALSE(txst_stored_texture(stored.data(), uint32_t(stored.size()), 2, 0, &header, &pixels));
    EXPECT_FALSE(txst_stored_texture(stored.data(), uint32_t(stored.size()) - 1, 1, 1, &header, &pixels));
}
