// Posing a level of a skeletal model: bone transforms applied to the level's quad
// vertices, the vertex count chosen within the level, and the triangles drawn at it.
#pragma once

#include <cstdint>
#include <vector>

#include "model/skmd_format.h"

// A bone's placement: point' = rotation (rows) * point + translation.
struct skmd_transform {
    float rotation[3][3];
    float translation[3];
};

// The rotation of a unit quaternion (x, y, z, w).
void skmd_quaternion_to_matrix(const float q[4], float m[3][3]);
// The unit quaternion (x, y, z, w) of a rotation matrix.
void skmd_matrix_to_quaternion(const float m[3][3], float q[4]);
// parent * child.
skmd_transform skmd_compose(const skmd_transform& parent, const skmd_transform& child);

// Every bone's placement in model space from its placement relative to its parent
// (local, one per bone; a parent that is out of range or part of a cycle counts as none).
std::vector<skmd_transform> skmd_world_transforms(const TSkeletalModel& model,
                                                  const std::vector<skmd_transform>& local);
// The placements of the bones' own rotations and positions.
std::vector<skmd_transform> skmd_rest_transforms(const TSkeletalModel& model);

struct skmd_posed_mesh {
    std::vector<float> positions; // x, y, z per vertex below the vertex count
    std::vector<float> normals;
    std::vector<uint16_t> triangles; // vertex indices after the collapse map, 3 per triangle
};

// Poses level `level` at vertex_count (first_vertex <= vertex_count <= last_vertex)
// with one transform per bone. Raises File Read Error when the level's arrays refer
// outside themselves.
skmd_posed_mesh skmd_pose_level(const TSkeletalModel& model, int level, int vertex_count,
                                const std::vector<skmd_transform>& bones);
