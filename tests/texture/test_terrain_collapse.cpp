#include <gtest/gtest.h>

#include "framework/XGError.h"
#include "support/tag_file_bytes.h"
#include "tags/tag_types.h"
#include "texture/ctd.h"
#include "texture/texture_pixels.h"
#include "texture/txst_format.h"
#include "texture_test_support.h"

namespace {

std::unique_ptr<stacked_texture> Uniform(uint16_t w, uint16_t h, uint8_t channels, std::vector<uint8_t> value,
                                         uint8_t use = 0, uint8_t layer = 0)
{
    auto t = std::make_unique<stacked_texture>();
    t->width = w;
    t->height = h;
    t->channels = channels;
    t->use = use;
    t->layer = layer;
    for (size_t i = 0; i < size_t(w) * h; ++i) t->compressed_data.insert(t->compressed_data.end(), value.begin(), value.end());
    return t;
}

// A detail set of uniform textures, one stack per colour.
std::unique_ptr<texture_set> Details(const std::vector<std::vector<uint8_t>>& colours, uint16_t side = 8)
{
    auto set = create_texture_set(uint32_t(colours.size()));
    for (uint32_t i = 0; i < colours.size(); ++i)
        insert_texture(set.get(), i, 0, Uniform(side, side, 3, colours[i], TEXTURE_USE_DETAIL_TEXTURE, uint8_t(i)));
    return set;
}

} // namespace

TEST(TerrainCollapse, DetailPlacementDefaultsAndAxes)
{
    // 8 x 8 detail texture whose texel (x, y) is (x, y, 77).
    auto texture = std::make_unique<stacked_texture>();
    texture->width = texture->height = 8;
    texture->channels = 3;
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) texture->compressed_data.insert(texture->compressed_data.end(), {uint8_t(x * 10), uint8_t(y * 10), 77});
    TTerrainCollapser collapser;
    std::vector<uint8_t> slot(WORK_SIZE * WORK_SIZE * 3);

    // No placement: u = (-64, 0), v = (0, 64). The 8 texels span 64 ground units, the tile
    // only 8: every sample falls in texel (0, 0).
    collapser.PrepareDetail(*texture, slot.data());
    for (size_t i = 0; i < slot.size(); i += 3) ASSERT_EQ(slot[i] + slot[i + 1], 0) << i;

    // u = (-8, 0): one texel per ground unit, running backwards: block j of 16 pixels shows column (-j) & 7.
    texture->u_x = -8;
    texture->v_y = 8;
    collapser.PrepareDetail(*texture, slot.data());
    for (uint32_t x = 0; x < WORK_SIZE; ++x) {
        const uint8_t column = uint8_t((-int(x / 16)) & 7);
        EXPECT_EQ(slot[3 * (5 * WORK_SIZE + x)], column * 10) << x;
        EXPECT_EQ(slot[3 * (x * WORK_SIZE + 5) + 1], (x / 16) * 10) << x; // v = (0, 8) runs forwards
        EXPECT_EQ(slot[3 * x + 2], 77);
    }
    // The origin shifts the sampling only along its axis.
    texture->origin_x = -4;
    collapser.PrepareDetail(*texture, slot.data());
    EXPECT_EQ(slot[3 * (5 * WORK_SIZE + 0)], 40); // trunc(-(0 + 4)) & 7 = 4
    EXPECT_EQ(slot[3 * (5 * WORK_SIZE + 20) + 1], 0);
}

TEST(TerrainCollapse, TheDetailTableTakesSixteenLayers)
{
    TTerrainCollapser collapser;
    std::vector<std::vector<uint8_t>> colours(16, {1, 2, 3});
    collapser.BuildDetailTable(*Details(colours));
    EXPECT_EQ(collapser.detail_count(), 16u);
    EXPECT_EQ(collapser.detail(15)[2], 3);

    colours.push_back({4, 5, 6});
    std::string message = error_message([&] { collapser.BuildDetailTable(*Details(colours)); });
    EXPECT_NE(message.find("at most 16"), std::string::npos) << message;
    EXPECT_EQ(collapser.detail_count(), 0u);

    message = error_message([&] { collapser.BuildDetailTable(*Details({{1, 2, 3}, {4, 5, 6}}, 12)); });
    EXPECT_NE(message.find("powers of two"), std::string::npos) << message;
}

TEST(TerrainCollapse, FailedChecksAreReportedAndAbandonTheCollapse)
{
    struct Case {
        const char* expression;
        std::function<void(texture_set&, texture_set&)> spoil;
    } cases[] = {
        {"tex->width == WORK_SIZE && tex->height == WORK_SIZE && tex->channels == 3",
         [](texture_set& t, texture_set&) { t.stacks[1].textures[0] = Uniform(64, 64, 3, {1, 2, 3}); }},
        {"tex->layer < c_num_details",
         [](texture_set& t, texture_set&) { t.stacks[0].textures[1]->layer = 1; }},
        {"mask->channels == 1",
         [](texture_set& t, texture_set&) { t.stacks[1].textures[1] = Uniform(128, 128, 3, {9, 9, 9}, 1, 0); }},
        {"mask->width == WORK_SIZE && mask->height == WORK_SIZE",
         [](texture_set& t, texture_set&) { t.stacks[1].textures[1] = Uniform(64, 128, 1, {9}, 1, 0); }},
        {"st->channels == 3 || st->channels == 4",
         [](texture_set&, texture_set& d) { d.stacks[0].textures[0] = Uniform(8, 8, 1, {9}, 2, 0); }},
        {"sh->textures", [](texture_set& t, texture_set&) { t.stacks[0].textures.clear(); }},
    };
    for (const Case& c : cases) {
        auto terrain = create_texture_set(2);
        for (uint32_t i = 0; i < 2; ++i) {
            insert_texture(terrain.get(), i, -1, Uniform(128, 128, 3, {100, 100, 100}));
            insert_texture(terrain.get(), i, -1, Uniform(128, 128, 1, {255}, TEXTURE_USE_DETAIL_MASK, 0));
        }
        auto detail = Details({{10, 20, 30}});
        c.spoil(*terrain, *detail);
        TTerrainCollapser collapser;
        std::string message = error_message([&] { collapser.CollapseSets(*terrain, *detail); }, true);
        EXPECT_EQ(message.rfind("Assertion Failure: Assertion (" + std::string(c.expression) + ") failed in \"ctd\" on line ", 0), 0u)
            << message;
        EXPECT_EQ(collapser.detail_count(), 0u);
    }
}

TEST(TerrainCollapse, CollapseMakesANewTagOfPlainColourMaps)
{
    texture_store s;
    // Tile 0 without masks, tile 1 fully masked by detail layer 1.
    auto terrain = create_texture_set(2);
    auto base = [] {
        auto t = std::make_unique<stacked_texture>();
        t->width = t->height = 128;
        t->channels = 3;
        t->compressed_data = smooth_image(128, 128, 3, 1).pixels;
        recompress_texture(*t, 85);
        return t;
    };
    insert_texture(terrain.get(), 0, -1, base());
    insert_texture(terrain.get(), 1, -1, base());
    auto mask = Uniform(128, 128, 1, {255}, TEXTURE_USE_DETAIL_MASK, 1);
    recompress_texture(*mask, 85);
    insert_texture(terrain.get(), 1, -1, std::move(mask));
    tag_entry* terrain_tag = s.add("txst", "terr", bytes(4, 0), "terrain");
    ASSERT_TRUE(write_texture_set(terrain_tag, *terrain));
    tag_entry* detail_tag = s.add("txst", "detl", bytes(4, 0), "detail");
    ASSERT_TRUE(write_texture_set(detail_tag, *Details({{255, 255, 255}, {255, 0, 128}})));
    s.add("txst", "coll", bytes(4, 0), "taken id");

    TTerrainCollapser collapser;
    tag_entry* made = collapser.Collapse(s.file, code("terr"), code("detl"));
    ASSERT_NE(made, nullptr);
    EXPECT_STREQ(made->name, "Collapsed Terrain Stack");
    EXPECT_EQ(made->file, s.file);
    EXPECT_EQ(tag_get_type(made), code("txst"));
    EXPECT_EQ(s.store.find_tag(code("txst"), made->id), made);
    EXPECT_EQ(collapser.detail_count(), 0u);

    // The pixels are checked exactly by ATagCollapsesAsTheSetReadFromIt.
    auto result = read_texture_set(made);
    ASSERT_EQ(result->stack_count(), 2u);
    for (uint32_t i = 0; i < 2; ++i) {
        ASSERT_EQ(result->stacks[i].textures.size(), 1u);
        const stacked_texture& t = *result->stacks[i].textures[0];
        EXPECT_EQ(t.width, 128);
        EXPECT_EQ(t.channels, 3);
        EXPECT_EQ(t.use, 0);
        EXPECT_EQ(t.format, TEXTURE_FORMAT_JPEG);
    }

    // The same collapser runs again with the same result.
    tag_entry* again = collapser.Collapse(s.file, code("terr"), code("detl"));
    EXPECT_NE(again->id, made->id);
    EXPECT_EQ(tag_bytes(made), tag_bytes(again));
}

TEST(TerrainCollapse, NothingIsCreatedWhenTheCollapseFails)
{
    texture_store s;
    auto terrain = create_texture_set(1);
    insert_texture(terrain.get(), 0, -1, Uniform(128, 128, 3, {1, 2, 3}));
    insert_texture(terrain.get(), 0, -1, Uniform(128, 128, 1, {200}, TEXTURE_USE_DETAIL_MASK, 3));
    ASSERT_TRUE(write_texture_set(s.add("txst", "terr", bytes(4, 0)), *terrain));
    ASSERT_TRUE(write_texture_set(s.add("txst", "detl", bytes(4, 0)), *Details({{1, 1, 1}})));
    s.add("txst", "empt", bytes(4, 0));
    // Damaged terrain tags: the last texture's data cut short, a stack without textures,
    // a colour map whose JPEG data ends early.
    bytes cut = tag_bytes(s.store.find_tag(code("txst"), code("terr")));
    cut.pop_back();
    s.add("txst", "trnc", cut);
    s.add("txst", "hole", build_txst({{0, 1, {}}}));
    hand_texture colour{3, TEXTURE_FORMAT_JPEG, 0, 0, 128, 128, {}, {}};
    colour.data = encode_texture_jpeg(smooth_image(128, 128, 3, 1), 90);
    colour.data.resize(colour.data.size() / 2);
    s.add("txst", "bad ", build_txst({{0, 1, {colour}}}));
    const int before = tag_count_tags(tag_file_group(s.file, code("txst")));

    const struct {
        const char* terrain;
        const char* detail;
        const char* says;
    } cases[] = {
        {"terr", "detl", "c_num_details"},     {"miss", "detl", "txst/miss"},
        {"terr", "miss", "txst/miss"},         {"empt", "detl", "no stacks"},
        {"hole", "detl", "no stacks"},         {"trnc", "detl", "runs past the end"},
        {"bad ", "detl", "cannot be decoded"},
    };
    TTerrainCollapser collapser;
    for (const auto& c : cases) {
        const std::string message =
            error_message([&] { collapser.Collapse(s.file, code(c.terrain), code(c.detail)); });
        EXPECT_NE(message.find(c.says), std::string::npos) << c.terrain << ": " << message;
    }
    EXPECT_EQ(tag_count_tags(tag_file_group(s.file, code("txst"))), before);
}

namespace {

// A detail stack whose detail colour is known byte for byte: texels 1024 x 1024 in 8 x 8
// blocks of one value, sampled one to one (u = (1024, 0), v = (0, 1024)); byte i of the
// detail colour is i & 255.
std::unique_ptr<texture_set> KnownDetail()
{
    auto t = std::make_unique<stacked_texture>();
    t->width = t->height = 1024;
    t->channels = 3;
    t->use = TEXTURE_USE_DETAIL_TEXTURE;
    t->u_x = 1024;
    t->v_y = 1024;
    t->compressed_data.resize(1024 * 1024 * 3);
    for (uint32_t y = 0; y < 1024; ++y)
        for (uint32_t x = 0; x < 1024; ++x)
            for (uint32_t k = 0; k < 3; ++k)
                t->compressed_data[(y * 1024 + x) * 3 + k] = uint8_t(3 * ((y / 8) * 128 + x / 8) + k);
    auto set = create_texture_set(1);
    insert_texture(set.get(), 0, 0, std::move(t));
    return set;
}

uint8_t Expected(uint8_t mask, uint8_t detail, uint8_t base)
{
    if (!mask) return base;
    const float unit = 0.003921568859368563f;
    const float a = float(mask) * unit, d = float(detail) * unit, b = float(base) * unit;
    return uint8_t(int(255.0f * (1.0f - a * (1.0f - d)) * b));
}

} // namespace

// The collapse of a tag reads its textures where they are stored and passes over stacks
// without textures; it gives what the collapse of the tag's set gives.
TEST(TerrainCollapse, ATagCollapsesAsTheSetReadFromIt)
{
    auto jpeg = [](uint8_t channels, uint8_t use, uint8_t layer, int seed) {
        hand_texture t{channels, TEXTURE_FORMAT_JPEG, use, layer, 128, 128, {}, {}};
        t.data = encode_texture_jpeg(smooth_image(128, 128, channels, seed), 85);
        return t;
    };
    auto raw = [](uint8_t channels, uint8_t use, uint8_t layer, int seed) {
        hand_texture t{channels, TEXTURE_FORMAT_RAW, use, layer, 128, 128, {}, {}};
        t.data = smooth_image(128, 128, channels, seed).pixels;
        return t;
    };
    // A skin modifier among the masks is not a mask; a stack without textures in between.
    const std::vector<hand_stack> stacks = {
        {0, 1, {jpeg(3, 0, 0, 1), raw(1, 1, 1, 2), jpeg(1, 3, 0, 3), jpeg(1, 1, 0, 4)}},
        {0, 1, {}},
        {0, 1, {raw(3, 0, 0, 5), jpeg(1, 1, 0, 6), raw(1, 1, 0, 7)}},
    };
    const bytes stored = build_txst(stacks);
    const uint8_t colours[2][3] = {{200, 100, 50}, {10, 250, 128}};
    texture_store s;
    tag_entry* terrain = s.add("txst", "terr", stored);
    tag_entry* detail = s.add("txst", "detl", bytes(4, 0));
    ASSERT_TRUE(write_texture_set(detail, *Details({{200, 100, 50}, {10, 250, 128}})));

    TTerrainCollapser collapser;
    tag_entry* made = collapser.Collapse(s.file, code("terr"), code("detl"));
    EXPECT_EQ(tag_bytes(terrain), stored);
    auto expected = collapser.CollapseSets(*read_texture_set(terrain), *read_texture_set(detail));
    ASSERT_EQ(expected->stack_count(), 2u);
    tag_entry* reference = s.add("txst", "refr", bytes(4, 0));
    ASSERT_TRUE(write_texture_set(reference, *expected));
    EXPECT_EQ(tag_bytes(made), tag_bytes(reference));

    // Each tile as the formula gives it from textures decoded one by one, then encoded.
    auto result = read_texture_set(made);
    for (uint32_t i = 0; i < 2; ++i) {
        const std::vector<hand_texture>& list = stacks[2 * i].textures;
        auto decode = [](const hand_texture& t) {
            texture_image image;
            EXPECT_TRUE(decode_texture_data(t.data.data(), t.data.size(), {t.format, t.channels, 128, 128}, {0, true},
                                            image));
            return image.pixels;
        };
        bytes tile = decode(list[0]);
        for (const hand_texture& t : list) {
            if (t.use != TEXTURE_USE_DETAIL_MASK) continue;
            const bytes mask = decode(t);
            for (size_t k = 0; k < tile.size(); ++k) tile[k] = Expected(mask[k / 3], colours[t.layer][k % 3], tile[k]);
        }
        EXPECT_EQ(result->stacks[i].textures[0]->compressed_data, encode_texture_jpeg(tile.data(), 128, 128, 3, 94))
            << "tile " << i;
    }
}


// Every mask value with every detail value and every base value, on every kernel.
TEST(TerrainCollapse, EveryKernelComputesTheModulationExactly)
{
    std::vector<std::pair<modulation_kernel, std::unique_ptr<TTerrainCollapser>>> collapsers;
    for (modulation_kernel kernel :
         {modulation_kernel::plain, modulation_kernel::sse2, modulation_kernel::avx2, modulation_kernel::avx512}) {
        auto collapser = std::make_unique<TTerrainCollapser>();
        if (!collapser->SetKernel(kernel)) continue;
        collapser->BuildDetailTable(*KnownDetail());
        collapsers.emplace_back(kernel, std::move(collapser));
    }
    const size_t size = WORK_SIZE * WORK_SIZE * 3;
    for (size_t i = 0; i < size; ++i) ASSERT_EQ(collapsers[0].second->detail(0)[i], uint8_t(i)) << i;

    // Byte i meets detail i & 255. Over 512 rounds its pixel's mask runs through every
    // value twice, and its base value is (i >> 8) in the first 256 rounds and
    // (i >> 8) + 192 in the rest, so that every detail value meets every base value.
    auto mask = Uniform(128, 128, 1, {0}, TEXTURE_USE_DETAIL_MASK, 0);
    bytes base(size), expected(size);
    for (uint32_t round = 0; round < 512; ++round) {
        for (size_t p = 0; p < mask->compressed_data.size(); ++p) mask->compressed_data[p] = uint8_t(p + round);
        for (size_t i = 0; i < size; ++i) {
            base[i] = uint8_t((i >> 8) + 192 * (round >> 8));
            expected[i] = Expected(mask->compressed_data[i / 3], uint8_t(i), base[i]);
        }
        for (auto& [kernel, collapser] : collapsers) {
            std::copy(base.begin(), base.end(), collapser->base());
            collapser->ApplyMask(*mask, 0);
            const bytes got(collapser->base(), collapser->base() + size);
            if (got == expected) continue;
            const size_t i = size_t(std::mismatch(got.begin(), got.end(), expected.begin()).first - got.begin());
            FAIL() << "kernel " << int(kernel) << ", round " << round << " byte " << i << ": mask " << int(mask->compressed_data[i / 3]) << " detail "
                   << int(uint8_t(i)) << " base " << int(base[i]) << " gives " << int(got[i]) << ", not "
                   << int(expected[i]);
        }
    }
}

TEST(TerrainCollapse, KernelsAgreeOnTilesWithManyMasks)
{
    auto terrain = create_texture_set(2);
    for (uint32_t s = 0; s < 2; ++s) {
        auto colour = patterned_texture(128, 128, 3, int(s));
        insert_texture(terrain.get(), s, -1, std::move(colour));
        for (uint8_t n = 0; n < 5; ++n) {
            auto mask = patterned_texture(128, 128, 1, 40 + n, TEXTURE_USE_DETAIL_MASK, uint8_t(n % 3));
            for (size_t i = 0; i < mask->compressed_data.size(); i += 5) mask->compressed_data[i] = 0;
            insert_texture(terrain.get(), s, -1, std::move(mask));
        }
    }
    auto detail = Details({{200, 100, 50}, {10, 250, 128}, {77, 77, 77}});
    TTerrainCollapser reference;
    ASSERT_TRUE(reference.SetKernel(modulation_kernel::plain));
    auto expected = reference.CollapseSets(*terrain, *detail);
    for (modulation_kernel kernel : {modulation_kernel::sse2, modulation_kernel::avx2, modulation_kernel::avx512}) {
        TTerrainCollapser collapser;
        if (!collapser.SetKernel(kernel)) continue;
        auto result = collapser.CollapseSets(*terrain, *detail);
        for (uint32_t s = 0; s < 2; ++s)
            EXPECT_EQ(result->stacks[s].textures[0]->compressed_data, expected->stacks[s].textures[0]->compressed_data)
                << "kernel " << int(kernel);
    }
}
