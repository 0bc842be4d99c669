// Writes skeleton exports of a generated model: a capped cylinder skinned to a chain
// of three bones, with smoothing groups on the caps, a texture seam down the side,
// a tag bone, an unused bone and a few frames of motion. The sample data, the
// benchmarks and the tests use it.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "model/skmd_pose.h"

struct cylinder_export_shape {
    int segments = 12; // around
    int rings = 4;     // along the height
    float radius = 1.0f;
    float height = 6.0f;
    int frames = 3;
    int version = 2; // 1: normals and no smoothing masks
};

struct cylinder_export {
    std::string text;
    std::vector<std::array<float, 3>> positions;         // per vertex of the file, at frame 0
    std::vector<std::vector<skmd_transform>> placements; // per frame, per bone of the file
    std::vector<int> parents;                            // per bone of the file
    std::vector<std::string> bone_names;
};

cylinder_export make_cylinder_export(const cylinder_export_shape& shape);
// A shape with close to (at most) vertex_count vertices, about twice as many faces.
cylinder_export_shape cylinder_shape_for(int vertex_count);
