#include "model/skeleton_pose.h"

#include <string>

#include "model/skmd_format.h"

skmd_transform skeleton_bone_placement(const skeleton_bone_frame& frame)
{
    skmd_transform t{};
    for (int k = 0; k < 3; ++k) {
        for (int j = 0; j < 3; ++j) t.rotation[k][j] = frame.axes[j][k];
        t.translation[k] = frame.offset[k];
    }
    return t;
}

std::vector<skmd_transform> skeleton_frame_placements(const TSkeletonFile& file, int frame)
{
    if (frame < 0 || frame >= file.fFrameCount || file.fFrames[size_t(frame)].size() != file.fBones.size())
        model_read_error("the skeleton export has no frame " + std::to_string(frame) + " to place its bones.");
    std::vector<skmd_transform> out;
    for (const skeleton_bone_frame& pose : file.fFrames[size_t(frame)]) out.push_back(skeleton_bone_placement(pose));
    return out;
}

void skeleton_relative_pose(const skmd_transform* parent, const skmd_transform& bone, float rotation[4],
                            float position[3])
{
    skmd_transform local = bone;
    if (parent) {
        // the inverse of a rotation is its transpose
        for (int i = 0; i < 3; ++i) {
            for (int j = 0; j < 3; ++j) {
                double sum = 0;
                for (int k = 0; k < 3; ++k) sum += double(parent->rotation[k][i]) * bone.rotation[k][j];
                local.rotation[i][j] = float(sum);
            }
            double sum = 0;
            for (int k = 0; k < 3; ++k)
                sum += double(parent->rotation[k][i]) * (double(bone.translation[k]) - parent->translation[k]);
            local.translation[i] = float(sum);
        }
    }
    skmd_matrix_to_quaternion(local.rotation, rotation);
    for (int k = 0; k < 3; ++k) position[k] = local.translation[k];
}
