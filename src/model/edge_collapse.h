// The greedy edge-collapse ordering of an imported mesh: vertices that share a
// position (a group) collapse together into a neighbouring group, cheapest first.
#pragma once

#include <array>
#include <vector>

struct collapse_mesh {
    std::vector<std::array<float, 3>> positions; // per vertex
    std::vector<std::array<float, 2>> uvs;
    std::vector<int> groups; // per vertex; the vertices of a group share a position
    std::vector<std::array<int, 3>> faces;
};

struct collapse_order {
    std::vector<int> order;       // collapsed vertices, first collapsed first
    std::vector<int> target;      // per vertex: the vertex it collapsed into, or -1
    std::vector<int> face_killer; // per face: the vertex whose collapse removed it, or -1
    std::vector<int> step_sizes;  // vertices collapsed by each step, in order
};

constexpr double COLLAPSE_COST_BOUND = 1.0e8;
// Faces of a fan whose normals meet below this are folded: the vertex never collapses.
constexpr double COLLAPSE_FOLD_LIMIT = -0.85;

// A vertex group with more faces than this never collapses (it keeps costs bounded).
constexpr int MAXIMUM_COLLAPSE_FAN = 256;

collapse_order compute_collapse_order(const collapse_mesh& mesh);
