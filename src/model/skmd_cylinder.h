// A bone's collision cylinder as the model viewer draws it: a side strip of 20
// segments and two cap fans, around an axis through the bone's origin.
#pragma once

#include <vector>

constexpr int SKMD_CYLINDER_SEGMENTS = 20;

struct skmd_cylinder {
    // one triangle strip, 2 × (segments + 1) vertices, far and near rings alternating
    std::vector<float> side_vertices;
    std::vector<float> side_normals;
    // triangle fans: the centre, then segments + 1 rim points
    std::vector<float> far_cap;
    std::vector<float> near_cap;
    float far_normal[3];
    float near_normal[3];
};

// Two unit vectors a, b square to the unit axis d and to each other: from (1, 1, 1)
// with the component where |d| is largest cleared, a = d × that, b = −(d × a).
void skmd_cylinder_basis(const float d[3], float a[3], float b[3]);

// The cylinder of radius r along the unit axis d through origin o, from o + d × near
// to o + d × far.
skmd_cylinder skmd_build_cylinder(const float o[3], const float d[3], float radius, float near, float far);
