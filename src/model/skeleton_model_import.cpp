#include "model/skeleton_model_import.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

#include "model/edge_collapse.h"
#include "model/skeleton_pose.h"
#include "model/skmd_lod.h"

namespace {

using vec3 = std::array<float, 3>;

struct build_vertex {
    int group = -1; // the source vertex it was split from
    std::vector<skeleton_weight> weights;
    float uv[2] = {};
    bool has_record = false;
    uint32_t mask = 0;
    std::vector<int> faces;
    vec3 position = {};
    int number = -1;
};

vec3 Transform(const skmd_transform& t, const float p[3], float w)
{
    vec3 out;
    for (int k = 0; k < 3; ++k)
        out[size_t(k)] = t.rotation[k][0] * p[0] + t.rotation[k][1] * p[1] + t.rotation[k][2] * p[2] +
                         w * t.translation[k];
    return out;
}

vec3 Cross(const vec3& a, const vec3& b)
{
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}

vec3 Minus(const vec3& a, const vec3& b)
{
    return {a[0] - b[0], a[1] - b[1], a[2] - b[2]};
}

int32_t Truncate(double value)
{
    if (!(value > -2147483648.0)) return INT32_MIN;
    if (!(value < 2147483647.0)) return INT32_MAX;
    return int32_t(value);
}

class TModelBuild {
public:
    TModelBuild(const TSkeletonFile& file, const std::string& name) : fFile(file), fName(name) {}

    std::unique_ptr<TSkeletalModel> Run()
    {
        fFrame0 = skeleton_frame_placements(fFile, 0);
        SplitSmoothing();
        RebuildFaceLists();
        SplitTextureSeams();
        CleanWeights();
        CleanBones();
        PlaceAtFrame0();
        std::vector<std::array<float, 6>> bounds = BoneBounds();
        OrderCollapses();
        return MakeModel(bounds);
    }

private:
    void Fail(const std::string& what) const { model_read_error(fName + " - " + what + "."); }

    vec3 Place(const build_vertex& v) const
    {
        vec3 sum = {0, 0, 0};
        float total = 0;
        for (const skeleton_weight& w : v.weights) {
            vec3 p = Transform(fFrame0[size_t(w.bone)], w.offset, 1.0f);
            for (int k = 0; k < 3; ++k) sum[size_t(k)] += w.weight * p[size_t(k)];
            total += w.weight;
        }
        if (total > 0)
            for (float& c : sum) c /= total;
        return sum;
    }

    int AddCopy(int of)
    {
        if (fVertices.size() >= size_t(MAXIMUM_MODEL_VERTICES))
            Fail("splitting smoothing groups and texture seams needs more than " +
                 std::to_string(MAXIMUM_MODEL_VERTICES) + " vertices");
        build_vertex copy = fVertices[size_t(of)];
        copy.faces.clear();
        fVertices.push_back(std::move(copy));
        return int(fVertices.size() - 1);
    }

    void Renumber(int face, int from, int to)
    {
        for (int& c : fFaces[size_t(face)].vertex)
            if (c == from) c = to;
    }

    // Step 1: one smoothing record per vertex, and the vertex normals.
    void SplitSmoothing()
    {
        fFaces = fFile.fFaces;
        for (size_t i = 0; i < fFile.fVertices.size(); ++i) {
            build_vertex v;
            v.group = int(i);
            v.weights = fFile.fVertices[i].weights;
            fVertices.push_back(std::move(v));
        }
        for (size_t i = 0; i < fFile.fVertices.size(); ++i) {
            std::vector<skeleton_smoothing> records = fFile.fVertices[i].smoothing;
            while (records.size() >= 2) {
                int copy = AddCopy(int(i));
                build_vertex& nv = fVertices[size_t(copy)];
                nv.has_record = true;
                nv.mask = records.back().mask;
                nv.faces = records.back().faces;
                for (int f : nv.faces) Renumber(f, int(i), copy);
                records.pop_back();
            }
            if (!records.empty()) {
                fVertices[i].has_record = true;
                fVertices[i].mask = records[0].mask;
                fVertices[i].faces = records[0].faces;
            }
        }
        for (build_vertex& v : fVertices) v.position = Place(v);
        for (size_t i = 0; i < fVertices.size(); ++i) {
            build_vertex& v = fVertices[i];
            if (!v.has_record) continue;
            vec3 n = {0, 0, 0};
            for (int f : v.faces) {
                const int* c = fFaces[size_t(f)].vertex;
                const vec3& a = fVertices[size_t(c[0])].position;
                vec3 s = Cross(Minus(fVertices[size_t(c[1])].position, a), Minus(fVertices[size_t(c[2])].position, a));
                for (int k = 0; k < 3; ++k) n[size_t(k)] += s[size_t(k)];
            }
            float length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
            const skeleton_vertex& source = fFile.fVertices[size_t(v.group)];
            if (length > 0) {
                for (float& c : n) c /= length;
            } else if (source.has_normal) {
                n = {source.normal[0], source.normal[1], source.normal[2]};
            } else {
                n = {0, 0, 1};
            }
            for (skeleton_weight& w : v.weights) {
                const skmd_transform& t = fFrame0[size_t(w.bone)];
                for (int a = 0; a < 3; ++a)
                    w.normal[a] = n[0] * t.rotation[0][a] + n[1] * t.rotation[1][a] + n[2] * t.rotation[2][a];
            }
        }
    }

    // Steps 2 and 4: every vertex's face list from the faces.
    void RebuildFaceLists()
    {
        for (build_vertex& v : fVertices) v.faces.clear();
        for (size_t f = 0; f < fFaces.size(); ++f)
            for (int c : fFaces[f].vertex) fVertices[size_t(c)].faces.push_back(int(f));
    }

    static int CornerOf(const skeleton_face& face, int v)
    {
        for (int c = 0; c < 3; ++c)
            if (face.vertex[c] == v) return c;
        return 0;
    }

    // Step 3: faces whose texture coordinates at a vertex differ from its first
    // face's move to one new vertex.
    void SplitTextureSeams()
    {
        size_t count = fVertices.size();
        for (size_t i = 0; i < count; ++i) {
            if (!fVertices[i].has_record || fVertices[i].faces.empty()) continue;
            const skeleton_face& first = fFaces[size_t(fVertices[i].faces[0])];
            const float* ref = first.uv[CornerOf(first, int(i))];
            std::vector<int> keep = {fVertices[i].faces[0]}, moved;
            for (size_t k = 1; k < fVertices[i].faces.size(); ++k) {
                int f = fVertices[i].faces[k];
                const float* uv = fFaces[size_t(f)].uv[CornerOf(fFaces[size_t(f)], int(i))];
                bool differs = std::fabs(uv[0] - ref[0]) > TEXTURE_SEAM_TOLERANCE ||
                               std::fabs(uv[1] - ref[1]) > TEXTURE_SEAM_TOLERANCE;
                (differs ? moved : keep).push_back(f);
            }
            if (moved.empty()) continue;
            int copy = AddCopy(int(i));
            for (int f : moved) Renumber(f, int(i), copy);
            fVertices[size_t(copy)].faces = moved;
            fVertices[i].faces = keep;
        }
        for (size_t i = 0; i < fVertices.size(); ++i) {
            build_vertex& v = fVertices[i];
            if (v.faces.empty()) continue;
            const skeleton_face& face = fFaces[size_t(v.faces[0])];
            std::memcpy(v.uv, face.uv[CornerOf(face, int(i))], sizeof v.uv);
        }
    }

    // Step 4: normalized weights without negligible ones; only vertices that keep
    // weights and faces are numbered; faces on unnumbered corners go.
    void CleanWeights()
    {
        bool changed = true;
        while (changed) {
            changed = false;
            RebuildFaceLists();
            for (build_vertex& v : fVertices) {
                if (v.faces.empty()) continue;
                v.weights.erase(std::remove_if(v.weights.begin(), v.weights.end(),
                                               [](const skeleton_weight& w) { return !(w.weight > 0); }),
                                v.weights.end());
                float total = 0;
                for (const skeleton_weight& w : v.weights) total += w.weight;
                for (skeleton_weight& w : v.weights) {
                    w.weight /= total;
                    if (w.weight < MINIMUM_VERTEX_WEIGHT) {
                        w.weight = 0;
                        changed = true;
                    }
                }
            }
            int next = 0;
            for (build_vertex& v : fVertices) v.number = (!v.faces.empty() && !v.weights.empty()) ? next++ : -1;
            for (size_t f = 0; f < fFaces.size();) {
                const int* c = fFaces[f].vertex;
                bool bad = fVertices[size_t(c[0])].number < 0 || fVertices[size_t(c[1])].number < 0 ||
                           fVertices[size_t(c[2])].number < 0 || c[0] == c[1] || c[1] == c[2] || c[0] == c[2];
                if (!bad) {
                    ++f;
                    continue;
                }
                fFaces[f] = fFaces.back();
                fFaces.pop_back();
                changed = true;
            }
        }
        if (fFaces.empty()) Fail("the skeleton export has no faces on weighted vertices");
    }

    // Step 5: bones that carry nothing are dropped, the rest numbered in order.
    void CleanBones()
    {
        size_t n = fFile.fBones.size();
        std::vector<int> count(n, 0), parent(n);
        std::vector<bool> alive(n, true);
        for (size_t b = 0; b < n; ++b) {
            count[b] = fFile.fBones[b].tag_bone ? 1 : 0;
            parent[b] = fFile.fBones[b].parent;
        }
        for (const build_vertex& v : fVertices)
            if (v.number >= 0)
                for (const skeleton_weight& w : v.weights) ++count[size_t(w.bone)];
        for (size_t b = 0; b < n; ++b)
            if (parent[b] >= 0) ++count[size_t(parent[b])];
        bool removed_link = true;
        while (removed_link) {
            removed_link = false;
            for (size_t b = 0; b < n; ++b) {
                if (!alive[b] || count[b] >= 1) continue;
                alive[b] = false;
                if (parent[b] >= 0) {
                    --count[size_t(parent[b])];
                    parent[b] = -1;
                    removed_link = true;
                }
            }
        }
        fBoneNumber.assign(n, -1);
        for (size_t b = 0; b < n; ++b)
            if (alive[b]) {
                fBoneNumber[b] = int(fBoneSource.size());
                fBoneSource.push_back(int(b));
            }
        for (build_vertex& v : fVertices)
            for (skeleton_weight& w : v.weights) w.bone = fBoneNumber[size_t(w.bone)];
        std::vector<skmd_transform> placed;
        for (int b : fBoneSource) placed.push_back(fFrame0[size_t(b)]);
        fFrame0 = std::move(placed);
    }

    int ParentNumber(size_t bone) const
    {
        int parent = fFile.fBones[size_t(fBoneSource[bone])].parent;
        return parent >= 0 ? fBoneNumber[size_t(parent)] : -1;
    }

    // Step 6: positions with the final weights; bones relative to their parents.
    void PlaceAtFrame0()
    {
        for (build_vertex& v : fVertices)
            if (v.number >= 0) v.position = Place(v);
        fBoneRotation.resize(fBoneSource.size());
        fBonePosition.resize(fBoneSource.size());
        for (size_t b = 0; b < fBoneSource.size(); ++b) {
            int parent = ParentNumber(b);
            const skmd_transform* p = parent >= 0 ? &fFrame0[size_t(parent)] : nullptr;
            skeleton_relative_pose(p, fFrame0[b], fBoneRotation[b].data(), fBonePosition[b].data());
        }
    }

    // Step 7: per bone, the corners and edge midpoints it moves, in its own space.
    std::vector<std::array<float, 6>> BoneBounds() const
    {
        std::vector<std::array<float, 6>> bounds(fBoneSource.size(), {1.0e11f, -1.0e11f, 1.0e11f, -1.0e11f,
                                                                      1.0e11f, -1.0e11f});
        for (const skeleton_face& face : fFaces)
            for (int c = 0; c < 3; ++c) {
                const build_vertex& v = fVertices[size_t(face.vertex[c])];
                const vec3& p = v.position;
                const vec3& a = fVertices[size_t(face.vertex[(c + 1) % 3])].position;
                const vec3& b = fVertices[size_t(face.vertex[(c + 2) % 3])].position;
                vec3 points[3] = {p, {(p[0] + a[0]) / 2, (p[1] + a[1]) / 2, (p[2] + a[2]) / 2},
                                  {(p[0] + b[0]) / 2, (p[1] + b[1]) / 2, (p[2] + b[2]) / 2}};
                for (const skeleton_weight& w : v.weights) {
                    const skmd_transform& t = fFrame0[size_t(w.bone)];
                    std::array<float, 6>& box = bounds[size_t(w.bone)];
                    for (const vec3& q : points) {
                        vec3 d = Minus(q, {t.translation[0], t.translation[1], t.translation[2]});
                        for (int axis = 0; axis < 3; ++axis) {
                            float s = d[0] * t.rotation[0][axis] + d[1] * t.rotation[1][axis] +
                                      d[2] * t.rotation[2][axis];
                            box[size_t(2 * axis)] = std::min(box[size_t(2 * axis)], s);
                            box[size_t(2 * axis + 1)] = std::max(box[size_t(2 * axis + 1)], s);
                        }
                    }
                }
            }
        return bounds;
    }

    // Step 8 and the renumbering that follows it.
    void OrderCollapses()
    {
        collapse_mesh mesh;
        for (const build_vertex& v : fVertices)
            if (v.number >= 0) {
                fByNumber.push_back(&v - fVertices.data());
                mesh.positions.push_back(v.position);
                mesh.uvs.push_back({v.uv[0], v.uv[1]});
                mesh.groups.push_back(v.group);
            }
        for (const skeleton_face& f : fFaces)
            mesh.faces.push_back({fVertices[size_t(f.vertex[0])].number, fVertices[size_t(f.vertex[1])].number,
                                  fVertices[size_t(f.vertex[2])].number});
        collapse_order order = compute_collapse_order(mesh);

        int total = int(mesh.positions.size());
        int kept = total - int(order.order.size());
        fFinal.assign(size_t(total), -1);
        int next = 0;
        for (int v = 0; v < total; ++v)
            if (order.target[size_t(v)] < 0) fFinal[size_t(v)] = next++;
        for (size_t i = 0; i < order.order.size(); ++i) fFinal[size_t(order.order[i])] = total - 1 - int(i);
        fVertexCount = total;
        fMinVertexCount = kept;

        fEdgeCollapse.assign(size_t(total), 0);
        for (int v = 0; v < total; ++v)
            if (order.target[size_t(v)] >= 0)
                fEdgeCollapse[size_t(fFinal[size_t(v)])] = uint16_t(fFinal[size_t(order.target[size_t(v)])]);
        fTriangles.clear();
        fMinVertices.clear();
        for (size_t f = 0; f < mesh.faces.size(); ++f) {
            for (int c : mesh.faces[f]) fTriangles.push_back(fFinal[size_t(c)]);
            int killer = order.face_killer[size_t(f)];
            fMinVertices.push_back(killer < 0 ? 0 : fFinal[size_t(killer)] + 1);
        }
        std::vector<int> boundaries = {total};
        for (int size : order.step_sizes) boundaries.push_back(boundaries.back() - size);
        // the largest boundary at or below each count
        std::sort(boundaries.begin(), boundaries.end());
        fRealCounts.assign(size_t(total - kept + 1), 0);
        size_t at = 0;
        for (int n = kept; n <= total; ++n) {
            while (at + 1 < boundaries.size() && boundaries[at + 1] <= n) ++at;
            fRealCounts[size_t(n - kept)] = uint16_t(boundaries[at]);
        }
        // vertex by final number
        std::vector<size_t> ordered(static_cast<size_t>(total));
        for (int v = 0; v < total; ++v) ordered[size_t(fFinal[size_t(v)])] = fByNumber[size_t(v)];
        fByNumber = std::move(ordered);
    }

    TSkeletalLevel MakeLevel(int first, int last, bool final_level) const
    {
        TSkeletalLevel level;
        std::vector<int> collapse_map(static_cast<size_t>(fVertexCount));
        for (int v = 0; v < fVertexCount; ++v)
            collapse_map[size_t(v)] = v < last ? v : collapse_map[fEdgeCollapse[size_t(v)]];
        for (size_t t = 0; t < fMinVertices.size(); ++t) {
            if (fMinVertices[t] > last) continue;
            for (int c = 0; c < 3; ++c) level.triangles.push_back(uint16_t(collapse_map[size_t(fTriangles[t * 3 + size_t(c)])]));
            level.min_vertices_for_tri.push_back(uint16_t(fMinVertices[t]));
        }
        for (int v = first; v < last; ++v) level.edge_collapse.push_back(fEdgeCollapse[size_t(v)]);

        size_t bones = fBoneSource.size();
        std::vector<std::vector<uint16_t>> position_refs(static_cast<size_t>(last)), normal_refs(static_cast<size_t>(last));
        level.weights_per_bone.assign(bones, 0);
        for (size_t b = 0; b < bones; ++b) {
            size_t start = level.quads.size();
            for (int v = 0; v < last; ++v) {
                const build_vertex& bv = fVertices[fByNumber[size_t(v)]];
                for (const skeleton_weight& w : bv.weights) {
                    if (size_t(w.bone) != b) continue;
                    position_refs[size_t(v)].push_back(uint16_t(std::min<size_t>(level.quads.size(), 65535)));
                    level.quads.push_back({w.weight * w.offset[0], w.weight * w.offset[1], w.weight * w.offset[2],
                                           w.weight});
                    normal_refs[size_t(v)].push_back(uint16_t(std::min<size_t>(level.quads.size(), 65535)));
                    level.quads.push_back({w.weight * w.normal[0], w.weight * w.normal[1], w.weight * w.normal[2], 0});
                }
            }
            size_t owned = level.quads.size() - start;
            if (owned > 65535) Fail("a bone has more weights than a level can hold");
            level.weights_per_bone[b] = uint16_t(owned);
            while ((level.quads.size() - start) % 4) level.quads.push_back({0, 0, 0, 0});
        }
        for (int v = 0; v < last; ++v) {
            level.vertex_weights.push_back(uint8_t(position_refs[size_t(v)].size()));
            level.weight_refs.insert(level.weight_refs.end(), position_refs[size_t(v)].begin(),
                                     position_refs[size_t(v)].end());
            level.weight_refs.insert(level.weight_refs.end(), normal_refs[size_t(v)].begin(),
                                     normal_refs[size_t(v)].end());
        }
        if (level.quads.size() > 65535 || level.weight_refs.size() > 65535 ||
            level.min_vertices_for_tri.size() > 65535)
            Fail("the model has more weights or triangles than a level can hold");
        level.header.quadvert_count = uint16_t(level.quads.size());
        level.header.triangle_count = uint16_t(level.min_vertices_for_tri.size());
        level.header.weight_ref_count = uint16_t(level.weight_refs.size());
        level.header.lod_flags = final_level ? SKMD_LAST_LEVEL : 0;
        return level;
    }

    // Steps 9 to 12.
    std::unique_ptr<TSkeletalModel> MakeModel(const std::vector<std::array<float, 6>>& bounds) const
    {
        auto model = std::make_unique<TSkeletalModel>();
        skmd_model_header& h = model->header;
        skmd_init_model_header(h);
        std::strncpy(h.name, fName.c_str(), sizeof h.name - 1);
        h.min_vertex_count = uint16_t(fMinVertexCount);
        h.value38 = h.min_vertex_count;
        h.vertex_count = uint16_t(fVertexCount);
        h.bone_count = uint16_t(fBoneSource.size());

        float radius = 0, height = -INFINITY;
        for (int v = 0; v < fVertexCount; ++v) {
            const vec3& p = fVertices[fByNumber[size_t(v)]].position;
            radius = std::max(radius, std::sqrt(p[0] * p[0] + p[1] * p[1]));
            height = std::max(height, p[2]);
            model->uv.push_back(fVertices[fByNumber[size_t(v)]].uv[0]);
            model->uv.push_back(fVertices[fByNumber[size_t(v)]].uv[1]);
        }
        for (auto& triple : h.extents) {
            triple[0] = Truncate(512.0 * radius);
            triple[1] = 0;
            triple[2] = Truncate(512.0 * height);
        }

        for (size_t b = 0; b < fBoneSource.size(); ++b) {
            const skeleton_bone& source = fFile.fBones[size_t(fBoneSource[b])];
            skmd_bone bone;
            skmd_init_bone(bone);
            std::strncpy(bone.name, source.name.c_str(), sizeof bone.name - 1);
            if (ParentNumber(b) >= 0) bone.parent = uint16_t(ParentNumber(b));
            for (int k = 0; k < 4; ++k) {
                bone.rotation[k] = fBoneRotation[b][size_t(k)];
                bone.rotation16[k] = skmd_round_clamp(double(bone.rotation[k]) * 32767.0);
            }
            for (int k = 0; k < 3; ++k) bone.position[k] = fBonePosition[b][size_t(k)];
            std::memcpy(bone.bounds, bounds[b].data(), sizeof bone.bounds);
            skmd_set_limb_cylinder(bone);
            model->bones.push_back(bone);
        }
        model->real_vertex_counts = fRealCounts;

        auto ranges = skmd_level_ranges(fMinVertexCount, fVertexCount, fRealCounts);
        h.lod_count = uint16_t(ranges.size());
        for (size_t i = 0; i < ranges.size(); ++i) {
            h.lods[i].first_vertex = ranges[i].first;
            h.lods[i].last_vertex = ranges[i].second;
            model->levels.push_back(MakeLevel(ranges[i].first, ranges[i].second, i + 1 == ranges.size()));
        }
        skmd_lay_out_levels(h, model->levels);
        skmd_quantize(*model);
        return model;
    }

    const TSkeletonFile& fFile;
    std::string fName;
    std::vector<skmd_transform> fFrame0; // by bone number once the bones are cleaned
    std::vector<build_vertex> fVertices;
    std::vector<skeleton_face> fFaces;
    std::vector<int> fBoneNumber; // by source bone
    std::vector<int> fBoneSource; // by bone number
    std::vector<std::array<float, 4>> fBoneRotation;
    std::vector<std::array<float, 3>> fBonePosition;
    std::vector<size_t> fByNumber; // vertex by number, then by final number
    std::vector<int> fFinal;
    int fVertexCount = 0;
    int fMinVertexCount = 0;
    std::vector<uint16_t> fEdgeCollapse;
    std::vector<int> fTriangles;
    std::vector<int> fMinVertices;
    std::vector<uint16_t> fRealCounts;
};

} // namespace

std::unique_ptr<TSkeletalModel> build_skeletal_model(const TSkeletonFile& file, const std::string& name)
{
    std::string kept = name.substr(0, 31);
    return TModelBuild(file, kept).Run();
}

std::unique_ptr<TSkeletalModel> import_skeletal_model(const std::string& path)
{
    TSkeletonFile file;
    file.ParseFile(path);
    return build_skeletal_model(file, path_file_name(path));
}
