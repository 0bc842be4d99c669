// The collision mesh the model viewer draws: six faces of four vertices per collision
// box, each face with its outward normal and two triangles, and the mesh's extents.
#pragma once

#include <cstdint>
#include <vector>

#include "model/skmd_format.h"

constexpr int SKMD_COLLISION_VERTICES_PER_BOX = 24;
constexpr int SKMD_COLLISION_INDICES_PER_BOX = 36;

struct skmd_collision_mesh {
    std::vector<float> vertices; // x, y, z per vertex
    std::vector<float> normals;  // x, y, z per vertex
    std::vector<uint32_t> indices;
    int collision_vertex_count = 0;
    int collision_index_count = 0;
    float largest_horizontal = -1.0f; // the largest x² + y²
    float lowest_z = 1.0e8f;
    float highest_z = -1.0e8f;
};

// The mesh of count boxes (x0, y0, z0, x1, y1, z1 the first six values of each), scaled
// by scale. The boxes written must come to the count: when fewer boxes are given, the
// vertex and index checks raise a framework assertion and no mesh is made.
skmd_collision_mesh skmd_build_collision_mesh(const std::vector<skmd_collision_box>& boxes, int count,
                                              float scale);
