#include "model/skmd_collision_mesh.h"

#include <algorithm>
#include <utility>

#include "framework/XGError.h"

namespace {

struct face {
    int axis;  // 0 x, 1 y, 2 z
    int side;  // 0 the low plane, 1 the high one
};

} // namespace

skmd_collision_mesh skmd_build_collision_mesh(const std::vector<skmd_collision_box>& boxes, int count, float scale)
{
    skmd_collision_mesh mesh;
    count = std::max(count, 0);
    mesh.collision_vertex_count = SKMD_COLLISION_VERTICES_PER_BOX * count;
    mesh.collision_index_count = SKMD_COLLISION_INDICES_PER_BOX * count;
    size_t written = std::min(boxes.size(), size_t(count) + 1);
    mesh.vertices.reserve(written * SKMD_COLLISION_VERTICES_PER_BOX * 3);
    mesh.normals.reserve(written * SKMD_COLLISION_VERTICES_PER_BOX * 3);
    mesh.indices.reserve(written * SKMD_COLLISION_INDICES_PER_BOX);

    int v = 0, t = 0;
    for (size_t b = 0; b < written; ++b) {
        const int16_t* values = boxes[b].values;
        float low[3], high[3];
        for (int k = 0; k < 3; ++k) {
            low[k] = float(values[k]) * scale;
            high[k] = float(values[k + 3]) * scale;
        }
        for (face f : {face{0, 0}, face{0, 1}, face{1, 0}, face{1, 1}, face{2, 0}, face{2, 1}}) {
            // the face's plane on its axis; the other two axes (in cyclic order) run
            // round the face so that its triangles turn outward
            int j = (f.axis + 1) % 3, k = (f.axis + 2) % 3;
            float plane = f.side ? high[f.axis] : low[f.axis];
            if (f.side) std::swap(j, k);
            const float corners[4][2] = {{low[j], low[k]}, {high[j], low[k]}, {high[j], high[k]}, {low[j], high[k]}};
            for (const auto& c : corners) {
                float p[3], n[3] = {0, 0, 0};
                p[f.axis] = plane;
                p[j] = c[0];
                p[k] = c[1];
                n[f.axis] = f.side ? 1.0f : -1.0f;
                mesh.vertices.insert(mesh.vertices.end(), p, p + 3);
                mesh.normals.insert(mesh.normals.end(), n, n + 3);
            }
            for (int corner : {0, 3, 2, 0, 2, 1}) mesh.indices.push_back(uint32_t(v + corner));
            v += 4;
            t += 6;
        }
    }
    int collision_vertex_count = mesh.collision_vertex_count, collision_index_count = mesh.collision_index_count;
    XG_ASSERT(v == collision_vertex_count, "TskmdViewer");
    XG_ASSERT(t == collision_index_count, "TskmdViewer");
    for (size_t i = 0; i < mesh.vertices.size(); i += 3) {
        float x = mesh.vertices[i], y = mesh.vertices[i + 1], z = mesh.vertices[i + 2];
        mesh.largest_horizontal = std::max(mesh.largest_horizontal, x * x + y * y);
        mesh.lowest_z = std::min(mesh.lowest_z, z);
        mesh.highest_z = std::max(mesh.highest_z, z);
    }
    return mesh;
}
