#include "model/skmd_scene.h"

#include <cmath>

#include "framework/XGError.h"

skmd_mesh skmd_mesh_for_level(const TSkeletalModel& model, int level, const std::vector<skmd_transform>& bones,
                              float scale)
{
    if (level < 0 || level >= int(model.levels.size()) || level >= MAXIMUM_LEVELS_OF_DETAIL)
        model_read_error("the model has no level " + std::to_string(level) + ".");
    int count = model.header.lods[level].last_vertex;
    skmd_posed_mesh posed = skmd_pose_level(model, level, count, bones);
    if (model.uv.size() < size_t(count) * 2) model_read_error("the model has fewer texture coordinates than vertices.");
    skmd_mesh mesh;
    mesh.positions = std::move(posed.positions);
    for (float& p : mesh.positions) p *= scale;
    mesh.normals = std::move(posed.normals);
    for (size_t i = 0; i + 2 < mesh.normals.size(); i += 3) {
        float* n = &mesh.normals[i];
        float length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
        if (length > 0)
            for (int k = 0; k < 3; ++k) n[k] /= length;
    }
    mesh.uvs.assign(model.uv.begin(), model.uv.begin() + ptrdiff_t(count) * 2);
    mesh.triangles = std::move(posed.triangles);
    return mesh;
}

int skmd_level_face_count(const TSkeletalModel& model, int level)
{
    if (level < 0 || level >= int(model.levels.size()) || level >= MAXIMUM_LEVELS_OF_DETAIL) return 0;
    int count = model.header.lods[level].last_vertex, faces = 0;
    for (uint16_t needed : model.levels[size_t(level)].min_vertices_for_tri) faces += needed <= count;
    return faces;
}

void TskmdScene::Clear(const std::string& problem)
{
    fMesh = {};
    fBoxes = {};
    fHasCylinder = false;
    fCylinder = {};
    fBoneLines.clear();
    fBonePoints.clear();
    fBounds = {};
    fEmpty = true;
    fProblem = problem;
    fLevel = -1;
}

void TskmdScene::Build(const TSkeletalModel& model, int level, const std::vector<skmd_transform>* pose,
                       int selected_bone)
{
    Clear();
    float scale = model.header.scale;
    try {
        std::vector<skmd_transform> rest;
        if (!pose) {
            rest = skmd_rest_transforms(model);
            pose = &rest;
        }
        if (pose->size() < model.bones.size()) model_read_error("the pose places fewer bones than the model has.");
        if (level >= 0) fMesh = skmd_mesh_for_level(model, level, *pose, scale);
        fBoxes = skmd_build_collision_mesh(model.collision_boxes, model.header.collision_box_count, scale);

        for (size_t b = 0; b < model.bones.size(); ++b) {
            const skmd_transform& t = (*pose)[b];
            float at[3] = {t.translation[0] * scale, t.translation[1] * scale, t.translation[2] * scale};
            fBonePoints.insert(fBonePoints.end(), at, at + 3);
            size_t parent = model.bones[b].parent;
            if (parent < model.bones.size() && parent != b) {
                const skmd_transform& p = (*pose)[parent];
                for (int k = 0; k < 3; ++k) fBoneLines.push_back(p.translation[k] * scale);
                fBoneLines.insert(fBoneLines.end(), at, at + 3);
            }
        }

        if (selected_bone >= 0 && size_t(selected_bone) < model.bones.size()) {
            const skmd_bone& bone = model.bones[size_t(selected_bone)];
            int axis = int((bone.flags & SKMD_BONE_AXIS_MASK) >> SKMD_BONE_AXIS_SHIFT);
            if (axis < 3 && bone.radius > 0 && std::isfinite(bone.radius) && std::isfinite(bone.near) &&
                std::isfinite(bone.far)) {
                const skmd_transform& t = (*pose)[size_t(selected_bone)];
                float origin[3], direction[3];
                for (int k = 0; k < 3; ++k) {
                    origin[k] = t.translation[k] * scale;
                    direction[k] = t.rotation[k][axis];
                }
                fCylinder = skmd_build_cylinder(origin, direction, bone.radius * scale, bone.near * scale,
                                                bone.far * scale);
                fHasCylinder = true;
            }
        }
    } catch (const XGError& e) {
        Clear(e.GetMessage());
        return;
    }
    fBounds.AddPoints(fMesh.positions);
    fBounds.AddPoints(fBoxes.vertices);
    fBounds.AddPoints(fBonePoints);
    fEmpty = false;
    fLevel = level;
}
