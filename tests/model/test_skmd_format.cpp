#include <gtest/gtest.h>

#include <cstring>

#include "model/skeleton_export_writer.h"
#include "model/skeleton_model_import.h"
#include "model/skmd_lod.h"
#include "model_test_support.h"
#include "support/tag_file_bytes.h"

namespace {

std::unique_ptr<TSkeletalModel> Imported()
{
    cylinder_export_shape shape;
    shape.segments = 9;
    shape.rings = 4;
    TSkeletonFile file;
    file.Parse(make_cylinder_export(shape).text, "figure.skl");
    return build_skeletal_model(file, "figure.skl");
}

// A tag of one model with two vertices, no bones, one level with no triangles,
// assembled by hand in file order.
bytes HandMadeTag()
{
    bytes tag(272 + 400, 0);
    put_be32(tag, 0, 0x11223344);
    put_be16(tag, 8, 1);
    put_be16(tag, 10, 0x5566);
    put_be32(tag, 12, 272);
    put_be16(tag, 20, 7);
    size_t m = 272;
    std::memcpy(&tag[m], "hand", 4);
    put_be16(tag, m + 36, 1);  // min_vertex_count
    put_be16(tag, m + 40, 2);  // vertex_count
    put_be16(tag, m + 42, 1);  // lod_count
    put_be16(tag, m + 46, 31);    // position_exponent with no bones
    put_be16(tag, m + 48, 16384); // scale 1.0 quantized
    put_be16(tag, m + 50, 14);
    put_be32(tag, m + 52, 0x3F800000);
    tag[m + 100] = 0xAB;       // an unconverted byte
    // level 0 covers 1..2: first/last swapped as one 4-byte unit, offset in memory order
    put_be16(tag, m + 176, 2);
    put_be16(tag, m + 178, 1);
    uint32_t level_offset = 400;
    std::memcpy(&tag[m + 180], &level_offset, 4);
    // uv at 368: (0.5, 0.25) and (1, 0); real vertex counts 1 and 2
    put_be32(tag, m + 368, 0x3F000000);
    put_be32(tag, m + 372, 0x3E800000);
    put_be32(tag, m + 376, 0x3F800000);
    put_be16(tag, m + 384, 1);
    put_be16(tag, m + 386, 2);
    // the level: one quad vertex, one weight reference
    skmd_lod_header level{};
    level.quadvert_count = 1;
    level.weight_ref_count = 1;
    skmd_level_layout layout = skmd_level_layout_for(level, 0, 1, 2);
    // lod_size converted as two 2-byte halves
    put_be16(tag, m + 184, uint16_t(layout.size & 0xFFFF));
    put_be16(tag, m + 186, uint16_t(layout.size >> 16));
    uint32_t model_size = level_offset + layout.size;
    tag.resize(m + model_size);
    put_be32(tag, 16, model_size);
    size_t l = m + level_offset;
    put_be16(tag, l + 0, 1);
    put_be16(tag, l + 6, 1);
    put_be16(tag, l + 8, 1);
    put_be16(tag, l + layout.edge_collapse, 0);
    put_be16(tag, l + layout.weight_refs, 0);
    tag[l + layout.vertex_weights] = 0;
    tag[l + layout.vertex_weights + 1] = 1;
    put_be32(tag, l + layout.quads + 12, 0x3F800000);
    return tag;
}


} // namespace

TEST(SkmdFormat, LayoutArithmetic)
{
    EXPECT_EQ(skmd_uv_offset(0), 368u);
    EXPECT_EQ(skmd_uv_offset(1), 544u);
    EXPECT_EQ(skmd_uv_offset(3), 896u);
    skmd_model_header h;
    skmd_init_model_header(h);
    h.vertex_count = 10;
    h.min_vertex_count = 4;
    h.bone_count = 1;
    h.collision_box_count = 2;
    h.collision_triangle_count = 1;
    EXPECT_EQ(skmd_model_block_size(h), 544u + 80 + 40 + 40 + 2 * 7);
    const skmd_model_layout places = skmd_model_layout_for(h);
    EXPECT_EQ(places.uv, 544u);
    EXPECT_EQ(places.boxes, 544u + 80);
    EXPECT_EQ(places.triangles, 544u + 80 + 40);
    EXPECT_EQ(places.real_counts, 544u + 80 + 40 + 40);

    skmd_lod_header level{};
    level.triangle_count = 3;
    level.weight_ref_count = 5;
    level.quadvert_count = 2;
    skmd_level_layout l = skmd_level_layout_for(level, 2, 4, 9);
    EXPECT_EQ(l.weights_per_bone, 36u + 18);
    EXPECT_EQ(l.edge_collapse, 54u + 4);
    EXPECT_EQ(l.min_vertices_for_tri, 58u + 10);
    EXPECT_EQ(l.weight_refs, 68u + 6);
    EXPECT_EQ(l.vertex_weights, 74u + 10);
    EXPECT_EQ(l.quads, 96u); // 84 + 9 rounded up to 16
    EXPECT_EQ(l.size, 96u + 32);
}

TEST(SkmdFormat, HandMadeTagLoads)
{
    bytes tag = HandMadeTag();
    skmd_load_result loaded = skmd_load(tag.data(), tag.size());
    ASSERT_EQ(loaded.failure, "");
    ASSERT_EQ(loaded.tag.models.size(), 1u);
    EXPECT_EQ(loaded.tag.header.word0, 0x11223344);
    EXPECT_EQ(loaded.tag.header.word10, 0x5566);
    EXPECT_EQ(loaded.tag.header.models[0].value8, 7);
    const TSkeletalModel& m = *loaded.tag.models[0];
    EXPECT_STREQ(m.header.name, "hand");
    EXPECT_EQ(m.header.vertex_count, 2);
    EXPECT_EQ(m.header.lods[0].first_vertex, 1);
    EXPECT_EQ(m.header.lods[0].last_vertex, 2);
    EXPECT_EQ(m.header.lods[0].lod_offset, 400u);
    EXPECT_EQ(m.header.unconverted96[4], 0xAB);
    EXPECT_FLOAT_EQ(m.uv[0], 0.5f);
    EXPECT_FLOAT_EQ(m.uv[1], 0.25f);
    EXPECT_EQ(m.real_vertex_count(2), 2);
    ASSERT_EQ(m.levels.size(), 1u);
    EXPECT_EQ(m.levels[0].vertex_weights[1], 1);
    EXPECT_FLOAT_EQ(m.levels[0].quads[0].w, 1.0f);

    // storing gives the same bytes back
    EXPECT_EQ(first_difference(skmd_store(loaded.tag), tag), "none");
}

TEST(SkmdFormat, ImportedModelStoresAndLoadsBackUnchanged)
{
    TSkeletalModelTag tag;
    tag.header.word4 = 77;
    tag.models.push_back(Imported());
    tag.models.push_back(Imported());
    bytes stored = skmd_store(tag);

    // blocks at 16-aligned places, the first at 272
    EXPECT_EQ(be16(stored, 8), 2);
    EXPECT_EQ(be32(stored, 12), 272u);
    EXPECT_EQ(be32(stored, 28) % 16, 0u);
    EXPECT_EQ(be32(stored, 28), (272 + be32(stored, 16) + 15) / 16 * 16);

    skmd_load_result loaded = skmd_load(stored.data(), stored.size());
    ASSERT_EQ(loaded.failure, "");
    ASSERT_EQ(loaded.tag.models.size(), 2u);
    const TSkeletalModel& a = *tag.models[1];
    const TSkeletalModel& b = *loaded.tag.models[1];
    EXPECT_EQ(std::memcmp(&a.header, &b.header, sizeof a.header), 0);
    ASSERT_EQ(a.bones.size(), b.bones.size());
    EXPECT_EQ(std::memcmp(a.bones.data(), b.bones.data(), a.bones.size() * sizeof(skmd_bone)), 0);
    EXPECT_EQ(a.uv, b.uv);
    EXPECT_EQ(a.real_vertex_counts, b.real_vertex_counts);
    ASSERT_EQ(a.levels.size(), b.levels.size());
    for (size_t l = 0; l < a.levels.size(); ++l) {
        EXPECT_EQ(a.levels[l].triangles, b.levels[l].triangles);
        EXPECT_EQ(a.levels[l].weight_refs, b.levels[l].weight_refs);
        EXPECT_EQ(a.levels[l].edge_collapse, b.levels[l].edge_collapse);
        EXPECT_EQ(std::memcmp(a.levels[l].quads.data(), b.levels[l].quads.data(),
                              a.levels[l].quads.size() * sizeof(skmd_quadvert)),
                  0);
    }
    EXPECT_EQ(first_difference(skmd_store(loaded.tag), stored), "none");
}

TEST(SkmdFormat, StoredModelHeaderFollowsItsDescription)
{
    TSkeletalModelTag tag;
    tag.models.push_back(Imported());
    const skmd_model_header& h = tag.models[0]->header;
    bytes stored = skmd_store(tag);
    size_t m = be32(stored, 12);
    EXPECT_EQ(be16(stored, m + 40), h.vertex_count);
    EXPECT_EQ(be16(stored, m + 44), h.bone_count);
    EXPECT_EQ(be32(stored, m + 32), 0xFFFFFFFFu);
    for (int i = 0; i < h.lod_count; ++i) {
        size_t e = m + 176 + 16 * size_t(i);
        // first and last vertex swapped as a 4-byte unit: last comes first
        EXPECT_EQ(be16(stored, e), h.lods[i].last_vertex);
        EXPECT_EQ(be16(stored, e + 2), h.lods[i].first_vertex);
        uint32_t offset;
        std::memcpy(&offset, &stored[e + 4], 4);
        EXPECT_EQ(offset, h.lods[i].lod_offset) << "lod_offset stays in memory order";
        if (i < 11) {
            EXPECT_EQ(be16(stored, e + 8), h.lods[i].lod_size & 0xFFFF);
            EXPECT_EQ(be16(stored, e + 10), h.lods[i].lod_size >> 16);
        } else {
            uint32_t size;
            std::memcpy(&size, &stored[e + 8], 4);
            EXPECT_EQ(size, h.lods[i].lod_size) << "bytes 360-367 are not converted";
        }
    }
    // the first bone: parent, 0xFFFF and the bone scale
    size_t bone = m + 368;
    EXPECT_EQ(be16(stored, bone + 68), 0xFFFF);
    EXPECT_EQ(be16(stored, bone + 70), 0xFFFF);
    EXPECT_EQ(be32(stored, bone + 164), 0x3F800000u);
    EXPECT_EQ(stored[bone + 160], 0xFF);
    // pointer slots are stored as zero
    for (size_t slot = 160; slot < 176; ++slot) EXPECT_EQ(stored[m + slot], 0);
}

TEST(SkmdFormat, SizesThatDisagreeEndTheLoad)
{
    TSkeletalModelTag tag;
    tag.models.push_back(Imported());
    tag.models.push_back(Imported());
    bytes stored = skmd_store(tag);
    size_t second = be32(stored, 28);

    // a level of the second model claims one byte more: the first model stays
    bytes bad = stored;
    uint16_t low = be16(bad, second + 176 + 8);
    put_be16(bad, second + 176 + 8, uint16_t(low + 1));
    skmd_load_result cut = skmd_load(bad.data(), bad.size());
    EXPECT_EQ(cut.tag.models.size(), 1u);
    EXPECT_EQ(cut.tag.header.model_count, 1);
    EXPECT_NE(cut.failure.find("model 1: level 0: its stored size"), std::string::npos) << cut.failure;

    auto failure = [](bytes b) { return skmd_load(b.data(), b.size()).failure; };
    bytes runs_past = stored;
    put_be32(runs_past, 16, uint32_t(stored.size()));
    EXPECT_NE(failure(runs_past).find("model 0: its block runs past the end of the tag"), std::string::npos);
    bytes too_many = stored;
    put_be16(too_many, 8, 17);
    EXPECT_NE(failure(too_many).find("17 models"), std::string::npos);
    bytes levels = stored;
    put_be16(levels, 272 + 42, 13);
    EXPECT_NE(failure(levels).find("13 levels"), std::string::npos);
    bytes bones = stored;
    put_be16(bones, 272 + 44, 400);
    EXPECT_NE(failure(bones).find("smaller than its arrays"), std::string::npos);
    EXPECT_NE(failure(bytes(100, 0)).find("shorter"), std::string::npos);
    EXPECT_EQ(failure(skmd_default_data()), "");
}

TEST(SkmdFormat, Quantization)
{
    TSkeletalModel model;
    skmd_init_model_header(model.header);
    skmd_bone bone;
    skmd_init_bone(bone);
    model.bones.push_back(bone);
    skmd_quantize(model);
    // all positions zero: m = 0.00001, the smallest e with m * 2^e >= 16383
    EXPECT_EQ(model.header.position_exponent, 31);
    EXPECT_EQ(model.header.scale_exponent, 14);
    EXPECT_EQ(model.header.quantized_scale, 16384);

    model.bones[0].position[0] = 3.0f;
    model.bones[0].position[1] = -1.5f;
    model.header.scale = 0.5f;
    skmd_quantize(model);
    // m = 1.5: 1.5 * 2^14 = 24576 >= 16383
    EXPECT_EQ(model.header.position_exponent, 14);
    EXPECT_EQ(model.bones[0].quantized_position[0], 24576);
    EXPECT_EQ(model.bones[0].quantized_position[1], -12288);
    EXPECT_EQ(model.header.scale_exponent, 15);
    EXPECT_EQ(model.header.quantized_scale, 16384);

    model.header.scale = 0.0f;
    skmd_quantize(model);
    EXPECT_EQ(model.header.scale_exponent, MAXIMUM_QUANTIZATION_EXPONENT);
    EXPECT_EQ(model.header.quantized_scale, 0);

    EXPECT_EQ(skmd_round_clamp(2.5), 3);
    EXPECT_EQ(skmd_round_clamp(-2.5), -3);
    EXPECT_EQ(skmd_round_clamp(40000), 32767);
    EXPECT_EQ(skmd_round_clamp(-40000), -32767);
}

TEST(SkmdFormat, LevelRanges)
{
    std::vector<uint16_t> identity;
    for (int n = 100; n <= 700; ++n) identity.push_back(uint16_t(n));
    auto ranges = skmd_level_ranges(100, 700, identity);
    ASSERT_EQ(ranges.size(), 12u); // 600 / 50 + 1 = 13, cut to 11, and the final level
    EXPECT_EQ(ranges[0].first, 100);
    EXPECT_EQ(ranges[0].second, 100 + 600 / 11);
    EXPECT_EQ(ranges[10].second, 700);
    EXPECT_EQ(ranges[11], std::make_pair(uint16_t(700), uint16_t(700)));

    auto single = skmd_level_ranges(40, 40, {40});
    ASSERT_EQ(single.size(), 2u);
    EXPECT_EQ(single[0], std::make_pair(uint16_t(40), uint16_t(40)));

    // levels end on real vertex counts
    std::vector<uint16_t> steps = {10, 10, 12, 12, 14};
    auto stepped = skmd_level_ranges(10, 14, steps);
    ASSERT_EQ(stepped.size(), 2u);
    EXPECT_EQ(stepped[0].second, 14);
}

TEST(SkmdFormat, LimbCylinders)
{
    skmd_bone bone;
    skmd_init_bone(bone);
    std::strcpy(bone.name, "Bip01 L Forearm");
    float bounds[6] = {-1, 9, -2, 2, -1, 1}; // long along x
    std::memcpy(bone.bounds, bounds, sizeof bounds);
    EXPECT_TRUE(skmd_set_limb_cylinder(bone));
    EXPECT_EQ(bone.flags, SKMD_BONE_LIMB | 0u); // axis 0
    EXPECT_FLOAT_EQ(bone.near, 4 - 6.0f);
    EXPECT_FLOAT_EQ(bone.far, 4 + 6.0f);
    EXPECT_FLOAT_EQ(bone.radius, (4 + 2) * 0.25f);

    float upright[6] = {-1, 1, -1, 1, 0, 10};
    std::memcpy(bone.bounds, upright, sizeof upright);
    bone.flags = 0x0C;
    EXPECT_TRUE(skmd_set_limb_cylinder(bone));
    EXPECT_EQ(bone.flags, SKMD_BONE_LIMB | (2u << 2));

    skmd_bone flat = bone;
    flat.bounds[4] = flat.bounds[5] = 3; // no extent in z
    flat.flags = 0x10 | (1u << 2);
    EXPECT_FALSE(skmd_set_limb_cylinder(flat));
    EXPECT_EQ(flat.flags, 0x10u | 0x0Cu) << "axis none, the old mark untouched";

    skmd_bone other = bone;
    std::strcpy(other.name, "spine"); // case as written
    other.flags = 0x0C;
    EXPECT_FALSE(skmd_set_limb_cylinder(other));
    EXPECT_EQ(other.flags, 0x0Cu);
}
