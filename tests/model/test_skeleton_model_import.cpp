#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstring>

#include "model/skeleton_export_writer.h"
#include "model/skeleton_model_import.h"
#include "model/skmd_pose.h"
#include "model_test_support.h"

namespace {

using point = std::array<float, 3>;

float Distance(const float* a, const point& b)
{
    return std::sqrt((a[0] - b[0]) * (a[0] - b[0]) + (a[1] - b[1]) * (a[1] - b[1]) + (a[2] - b[2]) * (a[2] - b[2]));
}

// The export's bones that the model keeps, in model order, placed at frame 0.
std::vector<skmd_transform> Frame0(const cylinder_export& source, const TSkeletalModel& model)
{
    std::vector<skmd_transform> out;
    for (const skmd_bone& bone : model.bones)
        for (size_t b = 0; b < source.bone_names.size(); ++b)
            if (source.bone_names[b] == bone.name) out.push_back(source.placements[0][b]);
    return out;
}

std::unique_ptr<TSkeletalModel> Build(const cylinder_export& source)
{
    TSkeletonFile file;
    file.Parse(source.text, "figure.skl");
    return build_skeletal_model(file, "figure.skl");
}

class CylinderImport : public ::testing::TestWithParam<int> {};

} // namespace

TEST_P(CylinderImport, EveryLevelPosesBackToTheSourcePositions)
{
    cylinder_export_shape shape;
    shape.segments = 10;
    shape.rings = 5;
    shape.version = GetParam();
    cylinder_export source = make_cylinder_export(shape);
    std::unique_ptr<TSkeletalModel> model = Build(source);
    const skmd_model_header& h = model->header;

    // the unused bone goes, the tag bone stays
    ASSERT_EQ(h.bone_count, 4);
    EXPECT_STREQ(model->bones[3].name, "tag_origin");
    EXPECT_EQ(model->bones[0].parent, SKMD_NO_PARENT);
    EXPECT_EQ(model->bones[2].parent, 1);
    EXPECT_EQ(model->bones[3].parent, 0);

    std::vector<skmd_transform> frame0 = Frame0(source, *model);
    ASSERT_EQ(frame0.size(), 4u);
    std::vector<bool> seen(source.positions.size(), false);
    for (int l = 0; l < h.lod_count; ++l) {
        int count = h.lods[l].last_vertex;
        skmd_posed_mesh mesh = skmd_pose_level(*model, l, count, frame0);
        for (int v = 0; v < count; ++v) {
            size_t nearest = 0;
            for (size_t s = 1; s < source.positions.size(); ++s)
                if (Distance(&mesh.positions[size_t(v) * 3], source.positions[s]) <
                    Distance(&mesh.positions[size_t(v) * 3], source.positions[nearest]))
                    nearest = s;
            ASSERT_LT(Distance(&mesh.positions[size_t(v) * 3], source.positions[nearest]), 1e-4f)
                << "level " << l << " vertex " << v;
            seen[nearest] = true;
        }
        for (size_t t = 0; t < mesh.triangles.size(); t += 3) {
            EXPECT_NE(mesh.triangles[t], mesh.triangles[t + 1]);
            EXPECT_NE(mesh.triangles[t + 1], mesh.triangles[t + 2]);
            EXPECT_NE(mesh.triangles[t], mesh.triangles[t + 2]);
        }
    }
    for (size_t s = 0; s < seen.size(); ++s) EXPECT_TRUE(seen[s]) << "source vertex " << s << " missing";

    // the full mesh: every face, each corner's normal on the outer side of the face
    const skmd_lod_entry& full = h.lods[h.lod_count - 1];
    EXPECT_EQ(full.first_vertex, h.vertex_count);
    EXPECT_EQ(full.last_vertex, h.vertex_count);
    EXPECT_EQ(model->levels.back().header.lod_flags, SKMD_LAST_LEVEL);
    skmd_posed_mesh mesh = skmd_pose_level(*model, h.lod_count - 1, h.vertex_count, frame0);
    size_t faces = size_t(2 * shape.segments * shape.rings + 2 * shape.segments);
    ASSERT_EQ(mesh.triangles.size(), faces * 3);
    for (size_t t = 0; t < mesh.triangles.size(); t += 3) {
        const float* p[3];
        for (int c = 0; c < 3; ++c) p[c] = &mesh.positions[size_t(mesh.triangles[t + size_t(c)]) * 3];
        float e1[3], e2[3];
        for (int k = 0; k < 3; ++k) {
            e1[k] = p[1][k] - p[0][k];
            e2[k] = p[2][k] - p[0][k];
        }
        float n[3] = {e1[1] * e2[2] - e1[2] * e2[1], e1[2] * e2[0] - e1[0] * e2[2], e1[0] * e2[1] - e1[1] * e2[0]};
        for (int c = 0; c < 3; ++c) {
            const float* vn = &mesh.normals[size_t(mesh.triangles[t + size_t(c)]) * 3];
            EXPECT_NEAR(std::sqrt(vn[0] * vn[0] + vn[1] * vn[1] + vn[2] * vn[2]), 1.0f, 1e-3f);
            EXPECT_GT(vn[0] * n[0] + vn[1] * n[1] + vn[2] * n[2], 0.0f) << "triangle " << t / 3;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Versions, CylinderImport, ::testing::Values(1, 2));

TEST(SkeletonModelImport, SmoothingGroupsAndTheSeamSplitVertices)
{
    cylinder_export_shape shape;
    shape.segments = 8;
    shape.rings = 3;
    cylinder_export source = make_cylinder_export(shape);
    std::unique_ptr<TSkeletalModel> model = Build(source);
    // rim vertices split in two by the smoothing groups; the seam column again on the side
    int rows = shape.rings + 1;
    int expected = rows * shape.segments + 2 + 2 * shape.segments + rows;
    EXPECT_EQ(model->header.vertex_count, expected);

    // version 1 has one smoothing group: only the seam and the cap coordinates split
    shape.version = 1;
    std::unique_ptr<TSkeletalModel> smooth = Build(make_cylinder_export(shape));
    EXPECT_LT(smooth->header.vertex_count, expected);
}

TEST(SkeletonModelImport, ReductionOrderAndLevels)
{
    cylinder_export source = make_cylinder_export(cylinder_shape_for(600));
    std::unique_ptr<TSkeletalModel> model = Build(source);
    const skmd_model_header& h = model->header;
    ASSERT_LT(h.min_vertex_count, h.vertex_count);
    EXPECT_EQ(h.value38, h.min_vertex_count);
    EXPECT_EQ(model->real_vertex_count(h.vertex_count), h.vertex_count);
    EXPECT_EQ(model->real_vertex_count(h.min_vertex_count), h.min_vertex_count);
    for (int n = h.min_vertex_count; n < h.vertex_count; ++n) {
        EXPECT_LE(model->real_vertex_count(n), n);
        EXPECT_LE(model->real_vertex_count(n), model->real_vertex_count(n + 1));
    }
    int range = h.vertex_count - h.min_vertex_count;
    EXPECT_EQ(h.lod_count, std::min(range / 50 + 1, 11) + 1);
    EXPECT_EQ(h.lods[0].first_vertex, h.min_vertex_count);
    for (int l = 1; l < h.lod_count - 1; ++l) EXPECT_EQ(h.lods[l].first_vertex, h.lods[l - 1].last_vertex);

    // every vertex count within a level poses without faults, fewer triangles as it shrinks
    std::vector<skmd_transform> rest = skmd_rest_transforms(*model);
    size_t previous = 0;
    for (int l = 0; l < h.lod_count; ++l)
        for (int c = h.lods[l].first_vertex; c <= h.lods[l].last_vertex; c += 7) {
            skmd_posed_mesh mesh = skmd_pose_level(*model, l, c, rest);
            for (uint16_t v : mesh.triangles) ASSERT_LT(v, c);
            EXPECT_GE(mesh.triangles.size(), previous);
            previous = mesh.triangles.size();
        }
}

TEST(SkeletonModelImport, RestPoseOfTheBonesIsFrameZero)
{
    cylinder_export source = make_cylinder_export(cylinder_export_shape());
    std::unique_ptr<TSkeletalModel> model = Build(source);
    std::vector<skmd_transform> rest = skmd_rest_transforms(*model);
    std::vector<skmd_transform> frame0 = Frame0(source, *model);
    for (size_t b = 0; b < rest.size(); ++b)
        for (int k = 0; k < 3; ++k) {
            EXPECT_NEAR(rest[b].translation[k], frame0[b].translation[k], 1e-5f);
            for (int j = 0; j < 3; ++j) EXPECT_NEAR(rest[b].rotation[k][j], frame0[b].rotation[k][j], 1e-5f);
        }
    for (const skmd_bone& bone : model->bones)
        for (int k = 0; k < 4; ++k) EXPECT_EQ(bone.rotation16[k], std::lround(bone.rotation[k] * 32767.0f));
}

TEST(SkeletonModelImport, HeaderBoundsAndLimbs)
{
    cylinder_export_shape shape;
    cylinder_export source = make_cylinder_export(shape);
    std::unique_ptr<TSkeletalModel> model = Build(source);
    const skmd_model_header& h = model->header;
    EXPECT_STREQ(h.name, "figure.skl");
    EXPECT_EQ(h.value32, -1);
    EXPECT_FLOAT_EQ(h.scale, 1.0f);
    EXPECT_EQ(h.collision_box_count, 0);
    float radius = 0, top = -1e30f;
    for (const auto& p : source.positions) {
        radius = std::max(radius, std::sqrt(p[0] * p[0] + p[1] * p[1]));
        top = std::max(top, p[2]);
    }
    for (const auto& triple : h.extents) {
        EXPECT_NEAR(triple[0], 512.0f * radius, 1.0f);
        EXPECT_EQ(triple[1], 0);
        EXPECT_NEAR(triple[2], 512.0f * top, 1.0f);
    }
    // the three weighted bones name limbs (Spine, Thigh, Head); the tag bone moves nothing
    for (int b = 0; b < 3; ++b) {
        const skmd_bone& bone = model->bones[size_t(b)];
        EXPECT_TRUE(bone.flags & SKMD_BONE_LIMB) << bone.name;
        EXPECT_LT(bone.bounds[0], bone.bounds[1]);
        EXPECT_GT(bone.radius, 0.0f);
        EXPECT_LT(bone.near, bone.far);
    }
    const skmd_bone& tag = model->bones[3];
    EXPECT_EQ(tag.flags, uint32_t(0x0C));
    EXPECT_FLOAT_EQ(tag.bounds[0], 1.0e11f);
    EXPECT_FLOAT_EQ(tag.bounds[1], -1.0e11f);
}

TEST(SkeletonModelImport, FilesThatMakeNoModelAreRejected)
{
    auto reason = [](const std::string& text) {
        return error_of([&] {
            TSkeletonFile file;
            file.Parse(text, "x.skl");
            build_skeletal_model(file, "x.skl");
        });
    };
    std::string vertices = "NUMVERTS 3\nVERT 0\nBONES 1\nBONE 0 1 0 0 0\nVERT 1\nBONES 1\nBONE 0 1 1 0 0\n"
                           "VERT 2\nBONES 1\nBONE 0 1 0 1 0\n";
    EXPECT_NE(reason(skl_text(vertices, "NUMFACES 0\n")).find("no faces"), std::string::npos);
    EXPECT_NE(reason(skl_text(vertices, "NUMFACES 1\nTRI 0\n0 0 0\n1 0 0\n2 0 0\n1\n", 2, "NUMFRAMES 0\nEND\n"))
                  .find("no frame 0"),
              std::string::npos);
    EXPECT_EQ(reason(skl_text(vertices, "NUMFACES 1\nTRI 0\n0 0 0\n1 0 0\n2 0 0\n1\n")), "no error");
}
