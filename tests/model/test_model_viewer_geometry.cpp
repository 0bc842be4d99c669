// What the model viewer builds without drawing: the collision mesh, bone cylinders, the
// orbit camera, animation playback and the scene of a posed level.
#include <gtest/gtest.h>

#include <array>
#include <cmath>

#include "model/figure_export_writer.h"
#include "model/skan_playback.h"
#include "model/skeleton_animation_import.h"
#include "model/skeleton_export_writer.h"
#include "model/skeleton_model_import.h"
#include "model/skmd_camera.h"
#include "model/skmd_collision_mesh.h"
#include "model/skmd_cylinder.h"
#include "model/skmd_scene.h"
#include "model_test_support.h"

namespace {

using vec3 = std::array<float, 3>;

vec3 At(const std::vector<float>& xyz, size_t vertex)
{
    return {xyz[vertex * 3], xyz[vertex * 3 + 1], xyz[vertex * 3 + 2]};
}

vec3 Minus(const vec3& a, const vec3& b)
{
    return {a[0] - b[0], a[1] - b[1], a[2] - b[2]};
}

vec3 Cross(const vec3& a, const vec3& b)
{
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}

float Dot(const vec3& a, const vec3& b)
{
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

skmd_collision_box Box(int16_t x0, int16_t y0, int16_t z0, int16_t x1, int16_t y1, int16_t z1)
{
    skmd_collision_box box{};
    const int16_t v[6] = {x0, y0, z0, x1, y1, z1};
    std::copy(v, v + 6, box.values);
    box.values[6] = 99; // not a corner
    return box;
}

} // namespace

TEST(CollisionMesh, FacesTriangleOrderNormalsAndExtents)
{
    std::vector<skmd_collision_box> boxes = {Box(-1, -2, 0, 3, 4, 5), Box(10, 10, 10, 11, 12, 13)};
    skmd_collision_mesh mesh = skmd_build_collision_mesh(boxes, 2, 2.0f);
    ASSERT_EQ(mesh.vertices.size(), 2u * 24 * 3);
    ASSERT_EQ(mesh.normals.size(), mesh.vertices.size());
    ASSERT_EQ(mesh.indices.size(), 2u * 36);

    // the first face: x0 at the display scale, corners in the stated order
    const std::array<vec3, 4> first = {{{-2, -4, 0}, {-2, 8, 0}, {-2, 8, 10}, {-2, -4, 10}}};
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(At(mesh.vertices, i), first[i]) << "corner " << i;
        EXPECT_EQ(At(mesh.normals, i), (vec3{-1, 0, 0}));
    }
    const std::vector<uint32_t> two = {0, 3, 2, 0, 2, 1};
    EXPECT_EQ(std::vector<uint32_t>(mesh.indices.begin(), mesh.indices.begin() + 6), two);

    // faces in the order -x, +x, -y, +y, -z, +z; every triangle turns outward
    const std::array<vec3, 6> normals = {{{-1, 0, 0}, {1, 0, 0}, {0, -1, 0}, {0, 1, 0}, {0, 0, -1}, {0, 0, 1}}};
    for (size_t f = 0; f < 12; ++f) {
        vec3 n = At(mesh.normals, f * 4);
        EXPECT_EQ(n, normals[f % 6]) << "face " << f;
        for (size_t c = 1; c < 4; ++c) EXPECT_EQ(At(mesh.normals, f * 4 + c), n);
        for (size_t t = 0; t < 2; ++t) {
            const uint32_t* tri = &mesh.indices[f * 6 + t * 3];
            for (int c = 0; c < 3; ++c) ASSERT_TRUE(tri[c] >= f * 4 && tri[c] < f * 4 + 4);
            vec3 a = At(mesh.vertices, tri[0]), b = At(mesh.vertices, tri[1]), c = At(mesh.vertices, tri[2]);
            vec3 turn = Cross(Minus(b, a), Minus(c, a));
            EXPECT_GT(Dot(turn, n), 0.0f) << "face " << f << " triangle " << t;
            EXPECT_FLOAT_EQ(Dot(turn, n) * Dot(turn, n), Dot(turn, turn)); // square to the face
        }
    }
    // every corner of the second box sits on its planes
    for (size_t v = 24; v < 48; ++v) {
        vec3 p = At(mesh.vertices, v);
        EXPECT_TRUE(p[0] == 20 || p[0] == 22);
        EXPECT_TRUE(p[1] == 20 || p[1] == 24);
        EXPECT_TRUE(p[2] == 20 || p[2] == 26);
    }
    EXPECT_FLOAT_EQ(mesh.largest_horizontal, 22 * 22 + 24 * 24);
    EXPECT_FLOAT_EQ(mesh.lowest_z, 0);
    EXPECT_FLOAT_EQ(mesh.highest_z, 26);
}

TEST(CollisionMesh, NoBoxesAndCountsThatDisagree)
{
    skmd_collision_mesh none = skmd_build_collision_mesh({}, 0, 1.0f);
    EXPECT_TRUE(none.vertices.empty() && none.normals.empty() && none.indices.empty());
    EXPECT_EQ(none.collision_vertex_count, 0);
    EXPECT_EQ(none.collision_index_count, 0);
    EXPECT_FLOAT_EQ(none.largest_horizontal, -1.0f);
    EXPECT_FLOAT_EQ(none.lowest_z, 1.0e8f);
    EXPECT_FLOAT_EQ(none.highest_z, -1.0e8f);

    // a header counting more boxes, or fewer, than the model holds
    std::vector<skmd_collision_box> one = {Box(0, 0, 0, 1, 1, 1)};
    EXPECT_NE(error_of([&] { skmd_build_collision_mesh(one, 2, 1.0f); }).find("v == collision_vertex_count"),
              std::string::npos);
    EXPECT_NE(error_of([&] { skmd_build_collision_mesh(one, 0, 1.0f); }).find("v == collision_vertex_count"),
              std::string::npos);
}

TEST(BoneCylinder, BasisSideAndCaps)
{
    // an axis along z clears z: the basis comes from (1, 1, 0)
    const float z[3] = {0, 0, 1};
    float a[3], b[3];
    skmd_cylinder_basis(z, a, b);
    const float r = float(std::sqrt(0.5));
    EXPECT_NEAR(a[0], -r, 1e-6f);
    EXPECT_NEAR(a[1], r, 1e-6f);
    EXPECT_NEAR(a[2], 0, 1e-6f);
    EXPECT_NEAR(b[0], r, 1e-6f);
    EXPECT_NEAR(b[1], r, 1e-6f);
    EXPECT_NEAR(b[2], 0, 1e-6f);

    for (vec3 axis : {vec3{1, 0, 0}, vec3{0, -1, 0}, vec3{0.6f, 0, 0.8f}}) {
        skmd_cylinder_basis(axis.data(), a, b);
        vec3 va{a[0], a[1], a[2]}, vb{b[0], b[1], b[2]};
        EXPECT_NEAR(Dot(va, axis), 0, 1e-6f);
        EXPECT_NEAR(Dot(vb, axis), 0, 1e-6f);
        EXPECT_NEAR(Dot(va, vb), 0, 1e-6f);
        EXPECT_NEAR(Dot(va, va), 1, 1e-6f);
        EXPECT_NEAR(Dot(vb, vb), 1, 1e-6f);
    }

    const vec3 o = {1, 2, 3}, d = {0, 0, 1};
    skmd_cylinder c = skmd_build_cylinder(o.data(), d.data(), 0.5f, -1.0f, 2.0f);
    ASSERT_EQ(c.side_vertices.size(), 42u * 3);
    ASSERT_EQ(c.far_cap.size(), 22u * 3);
    ASSERT_EQ(c.near_cap.size(), 22u * 3);
    const double pi = 3.14159265358979323846;
    skmd_cylinder_basis(d.data(), a, b);
    for (size_t i = 0; i < 42; ++i) {
        vec3 p = At(c.side_vertices, i), n = At(c.side_normals, i);
        EXPECT_NEAR(p[2], i % 2 == 0 ? 5.0f : 2.0f, 1e-5f) << "even vertices on the far ring";
        double angle = i * pi / 20;
        for (int k = 0; k < 3; ++k) {
            float expect = float(std::cos(angle) * b[k] + std::sin(angle) * a[k]);
            EXPECT_NEAR(n[size_t(k)], expect, 1e-5f);
            if (k < 2) {
                EXPECT_NEAR(p[size_t(k)], o[size_t(k)] + 0.5f * expect, 1e-5f);
            }
        }
    }
    // the strip's triangles face outward; the caps face along the axis and against it
    for (size_t i = 0; i + 2 < 42; ++i) {
        vec3 p0 = At(c.side_vertices, i), p1 = At(c.side_vertices, i + 1), p2 = At(c.side_vertices, i + 2);
        vec3 turn = Cross(Minus(p1, p0), Minus(p2, p0));
        if (i % 2) {
            turn = {-turn[0], -turn[1], -turn[2]};
        }
        vec3 out = Minus(p0, o);
        out[2] = 0;
        EXPECT_GT(Dot(turn, out), 0.0f) << "strip triangle " << i;
    }
    EXPECT_EQ(At(c.far_cap, 0), (vec3{1, 2, 5}));
    EXPECT_EQ(At(c.near_cap, 0), (vec3{1, 2, 2}));
    EXPECT_EQ((vec3{c.far_normal[0], c.far_normal[1], c.far_normal[2]}), d);
    EXPECT_EQ((vec3{c.near_normal[0], c.near_normal[1], c.near_normal[2]}), (vec3{0, 0, -1}));
    for (const auto* cap : {&c.far_cap, &c.near_cap}) {
        vec3 centre = At(*cap, 0), normal = cap == &c.far_cap ? d : vec3{0, 0, -1};
        for (size_t i = 1; i + 1 < 22; ++i) {
            vec3 turn = Cross(Minus(At(*cap, i), centre), Minus(At(*cap, i + 1), centre));
            EXPECT_GT(Dot(turn, normal), 0.0f);
        }
        EXPECT_LT(Dot(Minus(At(*cap, 1), At(*cap, 21)), Minus(At(*cap, 1), At(*cap, 21))), 1e-9f) << "closed rim";
    }
    // the near rim sits half a segment round
    vec3 rim = Minus(At(c.near_cap, 1), At(c.near_cap, 0));
    EXPECT_NEAR(std::atan2(Dot(rim, {a[0], a[1], a[2]}), Dot(rim, {b[0], b[1], b[2]})), pi / 20, 1e-5);
}

TEST(OrbitCamera, FramesTheBoundsAndTurns)
{
    skmd_bounds bounds;
    const float low[3] = {-1, -2, 0}, high[3] = {1, 2, 6};
    bounds.Add(low);
    bounds.Add(high);
    for (float aspect : {0.5f, 1.0f, 2.0f}) {
        skmd_orbit_camera camera;
        camera.Frame(bounds, aspect);
        EXPECT_FLOAT_EQ(camera.Yaw(), 0.0f);
        EXPECT_FLOAT_EQ(camera.Pitch(), 20.0f);
        int w = int(200 * aspect), h = 200;
        float x, y;
        const float centre[3] = {0, 0, 3};
        ASSERT_TRUE(camera.Project(centre, w, h, x, y));
        EXPECT_NEAR(x, w / 2.0f, 0.01f);
        EXPECT_NEAR(y, h / 2.0f, 0.01f);
        // every corner in view, the farthest close to an edge
        float reach = 0;
        for (int corner = 0; corner < 8; ++corner) {
            const float p[3] = {corner & 1 ? high[0] : low[0], corner & 2 ? high[1] : low[1],
                                corner & 4 ? high[2] : low[2]};
            ASSERT_TRUE(camera.Project(p, w, h, x, y));
            EXPECT_TRUE(x > 0 && x < w && y > 0 && y < h) << corner << " at " << x << ", " << y;
            reach = std::max({reach, std::fabs(x - w / 2.0f) / w, std::fabs(y - h / 2.0f) / h});
        }
        EXPECT_GT(reach, 0.25f);
    }

    // from the front (+x), +y is on the right and +z up; turned half round, +y is on the left
    skmd_orbit_camera camera;
    camera.Frame(bounds, 1.0f, 0.0f, 0.0f);
    const float side[3] = {0, 2, 3}, top[3] = {0, 0, 6};
    float x, y;
    ASSERT_TRUE(camera.Project(side, 100, 100, x, y));
    EXPECT_GT(x, 55.0f);
    ASSERT_TRUE(camera.Project(top, 100, 100, x, y));
    EXPECT_LT(y, 45.0f);
    camera.SetAngles(180.0f, 0.0f);
    ASSERT_TRUE(camera.Project(side, 100, 100, x, y));
    EXPECT_LT(x, 45.0f);

    // dragging right by 90 degrees' worth brings the -y side to the front
    camera.SetAngles(0.0f, 0.0f);
    camera.Orbit(180.0f, 0.0f);
    float eye[3];
    camera.Eye(eye);
    EXPECT_NEAR(eye[1], -camera.Distance(), 1e-3f);
    camera.Orbit(0.0f, 1000.0f);
    EXPECT_FLOAT_EQ(camera.Pitch(), skmd_orbit_camera::kMaximumPitch);

    // zooming in comes closer and out goes back; panning moves the target across the view
    float before = camera.Distance();
    camera.Zoom(120);
    EXPECT_LT(camera.Distance(), before);
    camera.Zoom(-120);
    EXPECT_NEAR(camera.Distance(), before, before * 1e-5f);
    camera.SetAngles(0.0f, 0.0f);
    float target_y = camera.Target()[1];
    camera.Pan(10.0f, 0.0f, 100);
    EXPECT_LT(camera.Target()[1], target_y) << "the model follows the mouse to the right";
}

TEST(AnimationPlayback, FollowsTheClockLoopsAndPauses)
{
    double now = 100.0;
    TAnimationPlayback playback([&] { return now; });
    playback.SetAnimation(10, 16.0);
    EXPECT_FALSE(playback.IsPlaying());
    now += 5;
    EXPECT_EQ(playback.Frame(), 0) << "paused until played";
    playback.Play();
    now += 0.3125;
    EXPECT_EQ(playback.Frame(), 5);
    now += 0.625; // 15 frames in: looped
    EXPECT_EQ(playback.Frame(), 5);
    playback.Pause();
    now += 3;
    EXPECT_EQ(playback.Frame(), 5);
    playback.SetFrame(8);
    EXPECT_EQ(playback.Frame(), 8);
    playback.Play();
    now += 0.125;
    EXPECT_EQ(playback.Frame(), 0);
    playback.SetFrame(99);
    EXPECT_EQ(playback.Frame(), 9);

    playback.SetAnimation(0, 0.0);
    playback.Play();
    EXPECT_FALSE(playback.IsPlaying());
    EXPECT_EQ(playback.Frame(), 0);
}

TEST(AnimationPlayback, FramesPlaceTheBonesAsTheExportDid)
{
    cylinder_export source = make_cylinder_export(cylinder_export_shape());
    TSkeletonFile file;
    file.Parse(source.text, "figure.skl");
    std::unique_ptr<TSkeletalModel> model = build_skeletal_model(file, "figure.skl");

    TSkeletalAnimationSet loose;
    import_skeleton_animation(loose, file, "all bones");
    EXPECT_NE(skan_fit_problem(loose, *model), "") << "the export's unused bone is not the model's";
    EXPECT_NE(skan_fit_problem(loose, *model).find("5 bones and the model 4"), std::string::npos);

    TSkeletalAnimationSet set;
    set.bones = skan_bone_bases_for(*model);
    const TSkeletalAnimation& animation = import_skeleton_animation(set, file, "walk");
    EXPECT_EQ(skan_fit_problem(set, *model), "");
    EXPECT_DOUBLE_EQ(skan_frames_per_second(animation), 30.0);
    for (int f = 0; f < int(source.placements.size()); ++f) {
        std::vector<skmd_transform> placed = skan_frame_transforms(*model, animation, f);
        ASSERT_EQ(placed.size(), model->bones.size());
        for (size_t b = 0; b < placed.size(); ++b) {
            size_t s = 0;
            while (source.bone_names[s] != model->bones[b].name) ++s;
            const skmd_transform& want = source.placements[size_t(f)][s];
            for (int k = 0; k < 3; ++k) {
                EXPECT_NEAR(placed[b].translation[k], want.translation[k], 2e-3f) << "frame " << f << " bone " << b;
                for (int j = 0; j < 3; ++j) EXPECT_NEAR(placed[b].rotation[k][j], want.rotation[k][j], 1e-3f);
            }
        }
    }
    EXPECT_NE(error_of([&] { skan_frame_transforms(*model, animation, 3); }).find("no frame 3"), std::string::npos);
}

namespace {

std::unique_ptr<TSkeletalModel> Figure(bool wave = false)
{
    TSkeletonFile file;
    file.Parse(make_figure_export(4, wave).text, "figure.skl");
    std::unique_ptr<TSkeletalModel> model = build_skeletal_model(file, "figure.skl");
    model->header.scale = 0.5f;
    return model;
}

} // namespace

TEST(ModelScene, EveryLevelIsTheCorePosingAtTheDisplayScale)
{
    std::unique_ptr<TSkeletalModel> model = Figure();
    std::vector<skmd_transform> rest = skmd_rest_transforms(*model);
    int previous_faces = 0;
    for (int l = 0; l < model->header.lod_count; ++l) {
        SCOPED_TRACE("level " + std::to_string(l));
        TskmdScene scene;
        scene.Build(*model, l, nullptr, -1);
        ASSERT_FALSE(scene.IsEmpty()) << scene.Problem();
        int count = model->header.lods[l].last_vertex;
        skmd_posed_mesh core = skmd_pose_level(*model, l, count, rest);
        ASSERT_EQ(scene.fMesh.positions.size(), core.positions.size());
        for (size_t i = 0; i < core.positions.size(); ++i)
            ASSERT_FLOAT_EQ(scene.fMesh.positions[i], core.positions[i] * 0.5f);
        EXPECT_EQ(scene.fMesh.triangles, core.triangles);
        EXPECT_EQ(int(scene.fMesh.triangle_count()), skmd_level_face_count(*model, l));
        EXPECT_GE(skmd_level_face_count(*model, l), previous_faces);
        previous_faces = skmd_level_face_count(*model, l);
        EXPECT_EQ(scene.fMesh.uvs, std::vector<float>(model->uv.begin(), model->uv.begin() + count * 2));
        for (size_t v = 0; v < scene.fMesh.vertex_count(); ++v) {
            vec3 n = At(scene.fMesh.normals, v);
            EXPECT_NEAR(Dot(n, n), 1.0f, 1e-4f);
        }
    }
}

TEST(ModelScene, BonesBoxesCylinderAndBounds)
{
    std::unique_ptr<TSkeletalModel> model = Figure();
    model->collision_boxes = {Box(-5, -8, 0, 6, 8, 30)};
    model->header.collision_box_count = 1;
    size_t thigh = 2;
    ASSERT_STREQ(model->bones[thigh].name, "L Thigh");
    TskmdScene scene;
    scene.Build(*model, model->header.lod_count - 1, nullptr, int(thigh));
    ASSERT_FALSE(scene.IsEmpty()) << scene.Problem();
    EXPECT_EQ(scene.fBoxes.vertices.size(), 24u * 3);
    EXPECT_FLOAT_EQ(scene.fBoxes.highest_z, 15.0f) << "boxes at the display scale";
    EXPECT_EQ(scene.fBonePoints.size(), model->bones.size() * 3);
    EXPECT_EQ(scene.fBoneLines.size(), (model->bones.size() - 1) * 6) << "every bone but the root hangs from one";

    // the thigh's cylinder runs down its collision axis from its origin
    ASSERT_TRUE(scene.fHasCylinder);
    std::vector<skmd_transform> rest = skmd_rest_transforms(*model);
    const skmd_bone& bone = model->bones[thigh];
    int axis = int((bone.flags & SKMD_BONE_AXIS_MASK) >> SKMD_BONE_AXIS_SHIFT);
    ASSERT_LT(axis, 3);
    vec3 far_centre = At(scene.fCylinder.far_cap, 0);
    for (int k = 0; k < 3; ++k)
        EXPECT_NEAR(far_centre[size_t(k)],
                    0.5f * (rest[thigh].translation[k] + rest[thigh].rotation[k][axis] * bone.far), 1e-4f);

    // the bounds hold the mesh
    for (size_t v = 0; v < scene.fMesh.vertex_count(); ++v)
        for (int k = 0; k < 3; ++k) {
            EXPECT_LE(scene.fBounds.min[k], scene.fMesh.positions[v * 3 + size_t(k)]);
            EXPECT_GE(scene.fBounds.max[k], scene.fMesh.positions[v * 3 + size_t(k)]);
        }

    // the tag bone has no cylinder to show
    scene.Build(*model, 0, nullptr, int(model->bones.size() - 1));
    EXPECT_FALSE(scene.fHasCylinder);
}

TEST(ModelScene, WhatCannotBeShownLeavesTheSceneEmptyWithTheReason)
{
    std::unique_ptr<TSkeletalModel> model = Figure();
    TskmdScene scene;
    model->header.collision_box_count = 2; // the model holds none
    scene.Build(*model, 0, nullptr, -1);
    EXPECT_TRUE(scene.IsEmpty());
    EXPECT_NE(scene.Problem().find("v == collision_vertex_count"), std::string::npos) << scene.Problem();
    EXPECT_TRUE(scene.fMesh.positions.empty());

    model->header.collision_box_count = 0;
    model->levels[0].weight_refs.resize(3);
    scene.Build(*model, 0, nullptr, -1);
    EXPECT_TRUE(scene.IsEmpty());
    EXPECT_NE(scene.Problem().find("level 0"), std::string::npos) << scene.Problem();
    scene.Build(*model, 1, nullptr, -1);
    EXPECT_FALSE(scene.IsEmpty()) << "the other levels still show";

    std::vector<skmd_transform> short_pose(2);
    scene.Build(*model, 1, &short_pose, -1);
    EXPECT_TRUE(scene.IsEmpty());
    scene.Build(*model, 99, nullptr, -1);
    EXPECT_NE(scene.Problem().find("no level 99"), std::string::npos);
}
