// Bone placements of a skeleton export's frames.
#pragma once

#include <vector>

#include "model/skeleton_file.h"
#include "model/skmd_pose.h"

// The bone's placement in model space: rotation columns X, Y, Z, translation OFFSET.
skmd_transform skeleton_bone_placement(const skeleton_bone_frame& frame);

// Every bone's placement in a frame; raises File Read Error when the frame is missing.
std::vector<skmd_transform> skeleton_frame_placements(const TSkeletonFile& file, int frame);

// A bone's rotation (unit quaternion x, y, z, w) and position relative to its parent
// (parent null for a root bone), both given in model space.
void skeleton_relative_pose(const skmd_transform* parent, const skmd_transform& bone, float rotation[4],
                            float position[3]);
