#include "model/skmd_pose.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "framework/XGError.h"

void skmd_quaternion_to_matrix(const float q[4], float m[3][3])
{
    double x = q[0], y = q[1], z = q[2], w = q[3];
    double n = x * x + y * y + z * z + w * w;
    double s = n > 0 ? 2.0 / n : 0.0;
    m[0][0] = float(1 - s * (y * y + z * z));
    m[0][1] = float(s * (x * y - w * z));
    m[0][2] = float(s * (x * z + w * y));
    m[1][0] = float(s * (x * y + w * z));
    m[1][1] = float(1 - s * (x * x + z * z));
    m[1][2] = float(s * (y * z - w * x));
    m[2][0] = float(s * (x * z - w * y));
    m[2][1] = float(s * (y * z + w * x));
    m[2][2] = float(1 - s * (x * x + y * y));
}

void skmd_matrix_to_quaternion(const float m[3][3], float q[4])
{
    double trace = double(m[0][0]) + m[1][1] + m[2][2];
    double x, y, z, w;
    if (trace > 0) {
        double s = std::sqrt(trace + 1.0) * 2;
        w = 0.25 * s;
        x = (m[2][1] - m[1][2]) / s;
        y = (m[0][2] - m[2][0]) / s;
        z = (m[1][0] - m[0][1]) / s;
    } else if (m[0][0] > m[1][1] && m[0][0] > m[2][2]) {
        double s = std::sqrt(1.0 + m[0][0] - m[1][1] - m[2][2]) * 2;
        w = (m[2][1] - m[1][2]) / s;
        x = 0.25 * s;
        y = (m[0][1] + m[1][0]) / s;
        z = (m[0][2] + m[2][0]) / s;
    } else if (m[1][1] > m[2][2]) {
        double s = std::sqrt(1.0 + m[1][1] - m[0][0] - m[2][2]) * 2;
        w = (m[0][2] - m[2][0]) / s;
        x = (m[0][1] + m[1][0]) / s;
        y = 0.25 * s;
        z = (m[1][2] + m[2][1]) / s;
    } else {
        double s = std::sqrt(1.0 + m[2][2] - m[0][0] - m[1][1]) * 2;
        w = (m[1][0] - m[0][1]) / s;
        x = (m[0][2] + m[2][0]) / s;
        y = (m[1][2] + m[2][1]) / s;
        z = 0.25 * s;
    }
    double n = std::sqrt(x * x + y * y + z * z + w * w);
    if (!(n > 0)) {
        q[0] = q[1] = q[2] = 0;
        q[3] = 1;
        return;
    }
    // keep w non-negative so that equal rotations give equal quaternions
    if (w < 0) n = -n;
    q[0] = float(x / n);
    q[1] = float(y / n);
    q[2] = float(z / n);
    q[3] = float(w / n);
}

skmd_transform skmd_compose(const skmd_transform& p, const skmd_transform& c)
{
    skmd_transform t{};
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) {
            double sum = 0;
            for (int k = 0; k < 3; ++k) sum += double(p.rotation[i][k]) * c.rotation[k][j];
            t.rotation[i][j] = float(sum);
        }
        double sum = p.translation[i];
        for (int k = 0; k < 3; ++k) sum += double(p.rotation[i][k]) * c.translation[k];
        t.translation[i] = float(sum);
    }
    return t;
}

std::vector<skmd_transform> skmd_rest_transforms(const TSkeletalModel& model)
{
    size_t n = model.bones.size();
    std::vector<skmd_transform> local(n);
    for (size_t b = 0; b < n; ++b) {
        skmd_quaternion_to_matrix(model.bones[b].rotation, local[b].rotation);
        for (int k = 0; k < 3; ++k) local[b].translation[k] = model.bones[b].position[k];
    }
    return skmd_world_transforms(model, local);
}

std::vector<skmd_transform> skmd_world_transforms(const TSkeletalModel& model, const std::vector<skmd_transform>& local)
{
    size_t n = std::min(model.bones.size(), local.size());
    std::vector<skmd_transform> world(n);
    // 0 not placed, 1 being placed, 2 placed
    std::vector<uint8_t> state(n, 0);
    std::vector<size_t> chain;
    for (size_t b = 0; b < n; ++b) {
        size_t at = b;
        chain.clear();
        while (state[at] == 0) {
            state[at] = 1;
            chain.push_back(at);
            size_t parent = model.bones[at].parent;
            if (parent >= n || state[parent] == 1) break;
            at = parent;
        }
        for (size_t i = chain.size(); i-- > 0;) {
            size_t c = chain[i];
            size_t parent = model.bones[c].parent;
            world[c] = (parent < n && state[parent] == 2) ? skmd_compose(world[parent], local[c]) : local[c];
            state[c] = 2;
        }
    }
    return world;
}

namespace {

[[noreturn]] void Inconsistent(int level, const std::string& what)
{
    model_read_error("level " + std::to_string(level) + " of the model: " + what + ".");
}

} // namespace

skmd_posed_mesh skmd_pose_level(const TSkeletalModel& model, int level_index, int vertex_count,
                                const std::vector<skmd_transform>& bones)
{
    if (level_index < 0 || size_t(level_index) >= model.levels.size()) Inconsistent(level_index, "no such level");
    const TSkeletalLevel& level = model.levels[size_t(level_index)];
    const skmd_lod_entry& entry = model.header.lods[level_index];
    int first = entry.first_vertex, last = entry.last_vertex;
    if (vertex_count < first || vertex_count > last) Inconsistent(level_index, "vertex count outside the level");
    if (level.weights_per_bone.size() > bones.size()) Inconsistent(level_index, "fewer transforms than bones");
    if (level.vertex_weights.size() < size_t(last) || level.edge_collapse.size() < size_t(last - first))
        Inconsistent(level_index, "arrays shorter than its vertex range");

    // Transformed quad vertices, group by group.
    size_t quad_count = level.quads.size();
    std::vector<float> moved(quad_count * 3, 0.0f);
    size_t q = 0;
    for (size_t b = 0; b < level.weights_per_bone.size(); ++b) {
        size_t owned = level.weights_per_bone[b];
        if (owned > quad_count - q) Inconsistent(level_index, "bone groups beyond its quad vertices");
        const skmd_transform& t = bones[b];
        for (size_t i = 0; i < owned; ++i) {
            const skmd_quadvert& v = level.quads[q + i];
            for (int k = 0; k < 3; ++k)
                moved[(q + i) * 3 + size_t(k)] =
                    v.x * t.rotation[k][0] + v.y * t.rotation[k][1] + v.z * t.rotation[k][2] + v.w * t.translation[k];
        }
        q += (owned + 3) & ~size_t(3);
        if (q > quad_count) q = quad_count;
    }

    skmd_posed_mesh mesh;
    mesh.positions.assign(size_t(vertex_count) * 3, 0.0f);
    mesh.normals.assign(size_t(vertex_count) * 3, 0.0f);
    size_t ref = 0;
    for (int v = 0; v < vertex_count; ++v) {
        size_t n = level.vertex_weights[size_t(v)];
        if (2 * n > level.weight_refs.size() - ref) Inconsistent(level_index, "weight references run out");
        for (size_t part = 0; part < 2; ++part) {
            float* out = (part == 0 ? mesh.positions.data() : mesh.normals.data()) + size_t(v) * 3;
            for (size_t i = 0; i < n; ++i) {
                size_t r = level.weight_refs[ref++];
                if (r >= quad_count) Inconsistent(level_index, "a weight reference beyond its quad vertices");
                for (int k = 0; k < 3; ++k) out[k] += moved[r * 3 + size_t(k)];
            }
        }
    }

    std::vector<uint16_t> map(static_cast<size_t>(last));
    for (int v = 0; v < last; ++v) {
        if (v < vertex_count) {
            map[size_t(v)] = uint16_t(v);
            continue;
        }
        uint16_t to = level.edge_collapse[size_t(v - first)];
        if (to >= v) Inconsistent(level_index, "a vertex collapses into a higher one");
        map[size_t(v)] = map[to];
    }
    size_t triangle_count = level.min_vertices_for_tri.size();
    if (level.triangles.size() < triangle_count * 3) Inconsistent(level_index, "fewer triangles than counts");
    for (size_t t = 0; t < triangle_count; ++t) {
        if (level.min_vertices_for_tri[t] > vertex_count) continue;
        for (int c = 0; c < 3; ++c) {
            uint16_t v = level.triangles[t * 3 + size_t(c)];
            if (v >= last) Inconsistent(level_index, "a triangle corner beyond its vertices");
            mesh.triangles.push_back(map[v]);
        }
    }
    return mesh;
}
