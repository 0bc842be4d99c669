#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "model/skeleton_animation_import.h"
#include "model/skeleton_export_writer.h"
#include "model/skelanim.h"
#include "model_test_support.h"
#include "support/tag_file_bytes.h"
#include "tags/tag_types.h"
#include "tags/tags.h"

namespace {

void PutName(bytes& b, size_t at, const char* name)
{
    std::memcpy(&b[at], name, std::strlen(name));
}

void PutFloat(bytes& b, size_t at, float f)
{
    uint32_t bits;
    std::memcpy(&bits, &f, 4);
    put_be32(b, at, bits);
}

// Three bones, one animation of two frames, one state choosing it and a missing one.
bytes HandMadeVersion2()
{
    size_t frame = 56; // 12 + 42 + 2 padding
    bytes b(24 + 3 * 96 + 4 + 4 + 84 + 2 * frame + 72 + 8, 0);
    put_be32(b, 0, 3);
    put_be32(b, 4, 1);
    put_be32(b, 8, 1);
    PutName(b, 24, "pelvis");
    put_be32(b, 24 + 64, 0xDEADBEEF);
    PutName(b, 24 + 96, "arm");
    PutName(b, 24 + 192, "hand");
    size_t a = 24 + 288 + 8;
    PutName(b, a, "walk");
    put_be16(b, a + 64, 2);
    put_be16(b, a + 66, SKAN_MOTION_IS_ANGLE);
    put_be16(b, a + 68, 30 * 256);
    put_be16(b, a + 70, 3);
    put_be32(b, a + 80, 99);
    for (size_t f = 0; f < 2; ++f) {
        size_t at = a + 84 + f * frame;
        put_be32(b, at, uint32_t(0x8000 * (f + 1)));
        put_be16(b, at + 4, f == 0 ? 0xFFFF : 0x1801);
        b[at + 6] = 0x12;
        put_be32(b, at + 8, f == 0 ? 0xFFFFFFFF : code("boom"));
        for (size_t p = 0; p < 3; ++p)
            for (size_t k = 0; k < 7; ++k) put_be16(b, at + 12 + p * 14 + k * 2, uint16_t(100 * f + 10 * p + k));
    }
    size_t s = a + 84 + 2 * frame;
    PutName(b, s, "idle");
    put_be16(b, s + 64, 2);
    put_be16(b, s + 66, 0x4242);
    put_be32(b, s + 68, 5);
    put_be16(b, s + 72, 0);
    put_be16(b, s + 74, 3);
    put_be16(b, s + 76, 7); // no animation 7
    put_be16(b, s + 78, 2);
    return b;
}

// One bone, one animation of two frames with scale 0.5, in the version 1 layout.
bytes HandMadeVersion1(float scale)
{
    bytes b(24 + 96 + 4 + 92 + 2 * 28, 0);
    put_be32(b, 0, 1);
    put_be32(b, 4, 1);
    PutName(b, 24, "root");
    size_t a = 24 + 96 + 4;
    PutName(b, a, "run");
    put_be16(b, a + 64, 1); // action keyframe
    put_be16(b, a + 66, 2);
    put_be16(b, a + 68, 2); // action bone
    PutFloat(b, a + 72, 15.5f);
    PutFloat(b, a + 76, scale);
    put_be32(b, a + 80, 1);
    put_be32(b, a + 88, 3);
    size_t f0 = a + 92, f1 = f0 + 28;
    PutFloat(b, f0, 1.5f);
    put_be16(b, f0 + 4, 0xFFFF);
    b[f0 + 6] = 0xAB;
    b[f0 + 7] = 0xCD;
    PutFloat(b, f0 + 8, 1234.7f);
    put_be16(b, f0 + 12, 100);
    put_be16(b, f0 + 14, uint16_t(-3));
    put_be16(b, f0 + 16, 7);
    put_be16(b, f0 + 24, 32000);
    PutFloat(b, f1, -1.5f);
    put_be16(b, f1 + 4, 0x1005);
    PutFloat(b, f1 + 8, -1.0f);
    put_be16(b, f1 + 12, 32767);
    put_be16(b, f1 + 18, 16000);
    return b;
}


} // namespace

TEST(SkanFormat, FrameSizes)
{
    EXPECT_EQ(skan_frame_size(3), 56u);
    EXPECT_EQ(skan_frame_size(4), 68u);
    EXPECT_EQ(skan_frame_size(0), 12u);
    EXPECT_EQ(skan_frame_size(1), 28u);
}

TEST(SkanFormat, HandMadeTagLoadsAndWritesBack)
{
    bytes b = HandMadeVersion2();
    TSkeletalAnimationSet set = skan_load(b.data(), b.size(), "walk");
    ASSERT_EQ(set.bones.size(), 3u);
    EXPECT_STREQ(set.bones[1].name, "arm");
    EXPECT_EQ(uint32_t(set.bones[0].values[0]), 0xDEADBEEFu);
    ASSERT_EQ(set.animations.size(), 1u);
    const TSkeletalAnimation& walk = *set.animations[0];
    EXPECT_EQ(walk.record.frame_rate, 30 * 256);
    EXPECT_EQ(walk.record.position_shift, 3);
    ASSERT_EQ(walk.frames.size(), 2u);
    EXPECT_EQ(walk.frames[1].record.frame_motion, 0x10000);
    EXPECT_EQ(walk.frames[1].record.unconverted[0], 0x12);
    EXPECT_EQ(walk.frames[1].poses[2].position[1], 121);
    EXPECT_EQ(walk.frames[1].poses[2].rotation[3], 126);
    ASSERT_EQ(set.states.size(), 1u);
    EXPECT_EQ(set.states[0].record.value, 0x4242);
    EXPECT_EQ(set.states[0].choices[0].animation, &walk);
    EXPECT_EQ(set.states[0].choices[1].animation, nullptr);

    bytes written = skan_write(set);
    size_t missing = b.size() - 4;
    EXPECT_EQ(be16(written, missing), 0) << "a missing animation is written as index 0";
    put_be16(b, missing, 0);
    EXPECT_EQ(first_difference(written, b), "none");
}

TEST(SkanFormat, CountsThatDisagreeWithTheDataAreRejected)
{
    const std::pair<std::function<void(bytes&)>, const char*> cases[] = {
        {[](bytes& d) { d.pop_back(); }, "walk - the animation data ends inside a state's list"},
        {[](bytes& d) { d.push_back(0); }, "holds 597 bytes but its counts make 596"},
        {[](bytes& d) { put_be16(d, 24 + 288 + 8 + 64, 40000); }, "an animation's frames"},
        {[](bytes& d) { put_be32(d, 0, 0xFFFFFFFF); }, "negative"},
        {[](bytes& d) { put_be32(d, 0, 0x7FFFFFFF); }, "bone bases"},
    };
    for (const auto& [spoil, says] : cases) {
        bytes d = HandMadeVersion2();
        spoil(d);
        const std::string message = error_of([&] { skan_load(d.data(), d.size(), "walk"); });
        EXPECT_NE(message.find(says), std::string::npos) << says << ": " << message;
    }
    const bytes fine = skan_default_data();
    EXPECT_EQ(error_of([&] { skan_load(fine.data(), fine.size(), "walk"); }), "no error");
}

TEST(SkanFormat, WriterRefusesPosesThatDisagreeWithTheBones)
{
    bytes b = HandMadeVersion2();
    TSkeletalAnimationSet set = skan_load(b.data(), b.size(), "walk");
    set.animations[0]->frames[1].poses.pop_back();
    EXPECT_NE(error_of([&] { skan_write(set); }).find("anim_size"), std::string::npos);

    // a state naming an animation that is not in the set
    TSkeletalAnimationSet other = skan_load(b.data(), b.size(), "walk");
    TSkeletalAnimation stray;
    other.states[0].choices[0].animation = &stray;
    other.animations.push_back(std::make_unique<TSkeletalAnimation>());
    other.states[0].choices[1].animation = other.animations[1].get();
    bytes written = skan_write(other);
    EXPECT_EQ(be16(written, written.size() - 8), 0);
    EXPECT_EQ(be16(written, written.size() - 4), 1);
    EXPECT_EQ(written.size(), skan_data_size(other));
}

TEST(SkanEvents, UnpackPackAndLines)
{
    skan_frame_record none{};
    none.frame_event = 0xFFFF;
    none.event_tag = 77;
    skan_frame_event e = skan_unpack_event(none);
    EXPECT_EQ(e.event_type, 0);
    EXPECT_EQ(e.event_bone, 0);
    EXPECT_FALSE(e.action_keyframe);
    EXPECT_EQ(e.event_tag, -1);
    skan_pack_event(e, none);
    EXPECT_EQ(none.frame_event, 0xFFFF);

    skan_frame_record r{};
    skan_pack_event({6, 0x905, true, int32_t(code("fire"))}, r);
    EXPECT_EQ(r.frame_event, (6 << 12) | 0x800 | 0x105);
    EXPECT_EQ(uint32_t(r.event_tag), code("fire"));
    skan_frame_event back = skan_unpack_event(r);
    EXPECT_EQ(back.event_type, 6);
    EXPECT_EQ(back.event_bone, 0x105);
    EXPECT_TRUE(back.action_keyframe);

    TTagStore store;
    tag_file* f = store.new_tag_file();
    store.create_tag(f, code("soun"), code("boom"), 1, "big boom", 0, 4, "abcd");
    bytes b = HandMadeVersion2();
    TSkeletalAnimationSet set = skan_load(b.data(), b.size(), "walk");
    TSkeletalAnimation& walk = *set.animations[0];
    EXPECT_EQ(skan_event_line(set, walk, 0, store), "0. ");
    EXPECT_EQ(skan_event_line(set, walk, 1, store), "1. sound ACTION KEYFRAME big boom at arm");
    EXPECT_EQ(skan_event_line(set, walk, 2, store), "bad frame 2");
    auto line = [&](uint16_t word, int32_t tag) {
        walk.frames[1].record.frame_event = word;
        walk.frames[1].record.event_tag = tag;
        return skan_event_line(set, walk, 1, store);
    };
    EXPECT_EQ(line(0x1000, int32_t(code("boom"))), "1. sound big boom");
    EXPECT_EQ(line(0x1000, -1), "1. sound (unassigned tag)");
    EXPECT_EQ(line(0x2002, int32_t(code("gone"))), "1. attach model (missing skmd/gone) at hand");
    EXPECT_EQ(line(0x5009, -1), "1. delete attachment  at invalid 9");
    EXPECT_EQ(line(0x7001, -1), "1. normal footprint  at arm");
    EXPECT_EQ(line(0xC000, -1), "1. invalid 12  at pelvis");
    EXPECT_EQ(line(0x6001, int32_t(code("fire"))), "1. emit as (missing proj/fire) at arm");
}

TEST(SkanEvents, BoneLists)
{
    bytes b = HandMadeVersion2();
    TSkeletalAnimationSet set = skan_load(b.data(), b.size(), "walk");
    EXPECT_EQ(skan_default_list_bone(set), 0);
    std::strcpy(set.bones[2].name, "tag_origin_standard");
    EXPECT_EQ(skan_default_list_bone(set), 2);
    std::memset(set.bones[1].name, 0, sizeof set.bones[1].name);
    EXPECT_EQ(skan_bone_list_name(set.bones[1]), "(unnamed bone)");
    std::memset(set.bones[0].name, 'x', sizeof set.bones[0].name); // no terminator
    EXPECT_EQ(skan_bone_list_name(set.bones[0]), std::string(64, 'x'));
}

TEST(SkanUpgrade, VersionOneBecomesVersionTwo)
{
    bytes old = HandMadeVersion1(0.5f);
    bytes upgraded = skan_upgrade_v1(old.data(), old.size(), "run");
    EXPECT_EQ(upgraded.size(), old.size() - 8);
    TSkeletalAnimationSet set = skan_load(upgraded.data(), upgraded.size(), "run");
    ASSERT_EQ(set.animations.size(), 1u);
    const TSkeletalAnimation& run = *set.animations[0];
    EXPECT_STREQ(run.record.name, "run");
    EXPECT_EQ(run.record.frame_rate, 3968); // 15.5 in 8.8
    EXPECT_EQ(run.record.position_shift, 1);
    EXPECT_EQ(run.record.values[0], 1);
    EXPECT_EQ(run.record.values[2], 3);
    const TSkeletalAnimationFrame& f0 = run.frames[0];
    EXPECT_EQ(f0.record.frame_motion, 98304);
    EXPECT_EQ(f0.record.frame_event, 0xFFFF);
    EXPECT_EQ(f0.record.unconverted[1], 0xCD);
    EXPECT_EQ(f0.record.event_tag, 1234);
    EXPECT_EQ(f0.poses[0].position[0], 100); // 100 * 0.5 * 2
    EXPECT_EQ(f0.poses[0].position[1], -3);
    EXPECT_EQ(f0.poses[0].rotation[3], 32767);
    const TSkeletalAnimationFrame& f1 = run.frames[1];
    EXPECT_EQ(f1.record.frame_motion, -98304);
    EXPECT_EQ(f1.record.frame_event, 0x1802) << "the action keyframe on frame 1 at bone 2";
    EXPECT_EQ(f1.record.event_tag, -1);
    EXPECT_EQ(f1.poses[0].position[0], 32767);
    EXPECT_EQ(f1.poses[0].rotation[0], 16384); // 16383.5 rounded away from zero

    // angles: a full turn is 65536
    bytes angles = HandMadeVersion1(0.5f);
    put_be16(angles, 24 + 96 + 4 + 70, SKAN_MOTION_IS_ANGLE);
    PutFloat(angles, 24 + 96 + 4 + 92, 90.0f);
    bytes turned = skan_upgrade_v1(angles.data(), angles.size(), "run");
    EXPECT_EQ(skan_load(turned.data(), turned.size(), "run").animations[0]->frames[0].record.frame_motion, 16384);
}

TEST(SkanUpgrade, ScalesThatNeedNoDoublingOrCannotBeServed)
{
    // a scale of 0 ends the search at its bound; the positions are all 0
    bytes zero = HandMadeVersion1(0.0f);
    bytes a = skan_upgrade_v1(zero.data(), zero.size(), "run");
    TSkeletalAnimationSet za = skan_load(a.data(), a.size(), "run");
    EXPECT_EQ(za.animations[0]->record.position_shift, MAXIMUM_QUANTIZATION_EXPONENT);
    EXPECT_EQ(za.animations[0]->frames[0].poses[0].position[0], 0);

    // a scale of 2 halves once and keeps the positions' values
    bytes two = HandMadeVersion1(2.0f);
    bytes b = skan_upgrade_v1(two.data(), two.size(), "run");
    TSkeletalAnimationSet tb = skan_load(b.data(), b.size(), "run");
    EXPECT_EQ(tb.animations[0]->record.position_shift, -1);
    EXPECT_EQ(tb.animations[0]->frames[0].poses[0].position[0], 100); // 100 * 2 * 0.5
    EXPECT_EQ(tb.animations[0]->frames[0].poses[0].position[2], 7);

    bytes truncated = HandMadeVersion1(0.5f);
    truncated.resize(truncated.size() - 3);
    EXPECT_NE(error_of([&] { skan_upgrade_v1(truncated.data(), truncated.size(), "run"); }).find("ends inside an animation's frames"),
              std::string::npos);
}

TEST(SkanUpgrade, TheUpdaterHookConvertsTheTagInPlace)
{
    TTagStore store;
    tag_file* f = store.new_tag_file();
    bytes old = HandMadeVersion1(0.5f);
    tag_entry* e = store.create_tag(f, code("skan"), code("run_"), 1, "run", 0, uint32_t(old.size()), old.data());
    tag_updater_hook updater = tag_type_updater_hook(code("skan"));
    ASSERT_NE(updater, nullptr);
    EXPECT_TRUE(updater(e));
    EXPECT_EQ(tag_get_version(e), 2);
    EXPECT_EQ(tag_get_size(e), old.size() - 8);
    TSkeletalAnimationSet set = load_skeletal_animation_tag(e);
    EXPECT_EQ(set.animations[0]->record.position_shift, 1);
    EXPECT_TRUE(updater(e));
    EXPECT_EQ(tag_get_size(e), old.size() - 8) << "version 2 is left alone";

    // a version 1 tag opened for reading is upgraded first
    tag_entry* second = store.create_tag(f, code("skan"), code("run2"), 1, "run 2", 0, uint32_t(old.size()), old.data());
    EXPECT_EQ(load_skeletal_animation_tag(second).animations.size(), 1u);
    EXPECT_EQ(tag_get_version(second), 2);

    bytes bad = old;
    bad.resize(40);
    tag_entry* broken = store.create_tag(f, code("skan"), code("bad_"), 1, "bad", 0, uint32_t(bad.size()), bad.data());
    EXPECT_NE(error_of([&] { updater(broken); }).find("bad - the animation data ends inside"), std::string::npos);
    EXPECT_EQ(tag_get_version(broken), 1);
    EXPECT_EQ(tag_get_size(broken), 40u);
    tag_entry* future = store.create_tag(f, code("skan"), code("new_"), 3, "new", 0, uint32_t(old.size()), old.data());
    EXPECT_NE(error_of([&] { updater(future); }), "no error");
    EXPECT_EQ(tag_get_version(future), 3);
}

TEST(SkeletonAnimationImport, PosingTheFramesGivesBackTheExport)
{
    cylinder_export_shape shape;
    shape.frames = 5;
    cylinder_export source = make_cylinder_export(shape);
    TSkeletonFile file;
    file.Parse(source.text, "wave.skl");
    TSkeletalAnimationSet set;
    import_skeleton_animation(set, file, "wave");
    ASSERT_EQ(set.bones.size(), source.bone_names.size());
    const TSkeletalAnimation& wave = *set.animations[0];
    EXPECT_STREQ(wave.record.name, "wave");
    EXPECT_EQ(wave.record.frame_rate, 30 * 256);
    ASSERT_EQ(wave.frames.size(), 5u);
    double unit = std::ldexp(1.0, -wave.record.position_shift);
    for (size_t f = 0; f < wave.frames.size(); ++f) {
        EXPECT_EQ(wave.frames[f].record.frame_event, SKAN_NO_EVENT);
        std::vector<skmd_transform> world(set.bones.size());
        for (size_t b = 0; b < set.bones.size(); ++b) {
            const skan_bone_pose& pose = wave.frames[f].poses[b];
            float q[4];
            skmd_transform local;
            for (int k = 0; k < 4; ++k) q[k] = float(pose.rotation[k] / 32767.0);
            skmd_quaternion_to_matrix(q, local.rotation);
            for (int k = 0; k < 3; ++k) local.translation[k] = float(pose.position[k] * unit);
            int parent = source.parents[b];
            world[b] = parent < 0 ? local : skmd_compose(world[size_t(parent)], local);
            const skmd_transform& expected = source.placements[f][b];
            for (int k = 0; k < 3; ++k) {
                EXPECT_NEAR(world[b].translation[k], expected.translation[k], 2e-3) << "frame " << f << " bone " << b;
                for (int j = 0; j < 3; ++j) EXPECT_NEAR(world[b].rotation[k][j], expected.rotation[k][j], 1e-3);
            }
        }
    }

    // a second import matches the bones by name; an unknown bone leaves the set alone
    import_skeleton_animation(set, file, "again");
    EXPECT_EQ(set.animations.size(), 2u);
    std::strcpy(set.bones[1].name, "Tail");
    EXPECT_NE(error_of([&] { import_skeleton_animation(set, file, "third"); }).find("no bone named \"Tail\""),
              std::string::npos);
    EXPECT_EQ(set.animations.size(), 2u);
    EXPECT_STREQ(set.bones[1].name, "Tail");
}
