#include "model/skeleton_export_writer.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

constexpr double kPi = 3.14159265358979323846;

skmd_transform Rotation(int axis, double angle, double tx, double ty, double tz)
{
    skmd_transform t{};
    int a = (axis + 1) % 3, b = (axis + 2) % 3;
    t.rotation[axis][axis] = 1;
    t.rotation[a][a] = float(std::cos(angle));
    t.rotation[a][b] = float(-std::sin(angle));
    t.rotation[b][a] = float(std::sin(angle));
    t.rotation[b][b] = float(std::cos(angle));
    t.translation[0] = float(tx);
    t.translation[1] = float(ty);
    t.translation[2] = float(tz);
    return t;
}

void Append(std::string& out, const char* format, double a, double b, double c)
{
    char line[160];
    std::snprintf(line, sizeof line, format, a, b, c);
    out += line;
}

// offset of world point p in the bone's space
std::array<double, 3> ToBone(const skmd_transform& t, const std::array<float, 3>& p)
{
    std::array<double, 3> out{};
    for (int j = 0; j < 3; ++j)
        for (int k = 0; k < 3; ++k) out[size_t(j)] += double(t.rotation[k][j]) * (double(p[size_t(k)]) - t.translation[k]);
    return out;
}

} // namespace

cylinder_export_shape cylinder_shape_for(int vertex_count)
{
    cylinder_export_shape shape;
    shape.segments = std::max(6, int(std::sqrt(double(vertex_count)) * 0.63));
    shape.rings = std::max(1, (vertex_count - 2) / shape.segments - 1);
    return shape;
}

cylinder_export make_cylinder_export(const cylinder_export_shape& shape)
{
    cylinder_export out;
    out.bone_names = {"Root Spine", "Mid Thigh", "Top Head", "tag_origin", "Unused"};
    out.parents = {-1, 0, 1, 0, 2};
    const int bones = int(out.parents.size());
    double third = shape.height / 3.0;
    for (int f = 0; f < shape.frames; ++f) {
        std::vector<skmd_transform> local = {
            Rotation(2, 0.3 + 0.2 * f, 0.5, -0.25, 0.1 * f), Rotation(0, 0.15 * (f + 1), 0, 0, third),
            Rotation(1, -0.1 * (f + 1), 0, 0, third), Rotation(2, 0, 1, 0, 0), Rotation(2, 0.05 * f, 0, 0, third)};
        std::vector<skmd_transform> world(static_cast<size_t>(bones));
        for (int b = 0; b < bones; ++b)
            world[size_t(b)] = out.parents[size_t(b)] < 0 ? local[size_t(b)]
                                                          : skmd_compose(world[size_t(out.parents[size_t(b)])], local[size_t(b)]);
        out.placements.push_back(world);
    }
    const std::vector<skmd_transform>& rest = out.placements[0];

    // vertices: rings + 1 rows of segments, then the top and bottom centres
    struct cylinder_point {
        double x, y, z, nx, ny, nz;
    };
    std::vector<cylinder_point> points;
    for (int r = 0; r <= shape.rings; ++r)
        for (int s = 0; s < shape.segments; ++s) {
            double a = 2 * kPi * s / shape.segments;
            points.push_back({shape.radius * std::cos(a), shape.radius * std::sin(a), shape.height * r / shape.rings,
                              std::cos(a), std::sin(a), 0});
        }
    points.push_back({0, 0, shape.height, 0, 0, 1});
    points.push_back({0, 0, 0, 0, 0, -1});

    std::string& t = out.text;
    t = "// generated skeleton export\nSKELETON\nVERSION " + std::to_string(shape.version) +
        "\nNUMMATERIALS 1\nMATERIAL 0 skin.tga\nNUMBONES " + std::to_string(bones) + "\n";
    for (int b = 0; b < bones; ++b)
        t += "BONE " + std::to_string(b) + " " + std::to_string(out.parents[size_t(b)]) + " " +
             out.bone_names[size_t(b)] + "\n";
    t += "NUMVERTS " + std::to_string(points.size()) + "\n";
    for (size_t v = 0; v < points.size(); ++v) {
        const cylinder_point& p = points[v];
        // placed with the root bone at frame 0
        std::array<float, 3> world;
        for (int k = 0; k < 3; ++k)
            world[size_t(k)] = float(rest[0].rotation[k][0] * p.x + rest[0].rotation[k][1] * p.y +
                                     rest[0].rotation[k][2] * p.z + rest[0].translation[k]);
        out.positions.push_back(world);
        double s = p.z / shape.height * 2;
        int lower = std::min(int(s), 1);
        double upper_weight = s - lower;
        if (upper_weight < 0.03) upper_weight = 0;
        if (upper_weight > 0.97) upper_weight = 1;
        struct weight {
            int bone;
            double w;
        };
        std::vector<weight> weights;
        if (upper_weight < 1) weights.push_back({lower, 1 - upper_weight});
        if (upper_weight > 0) weights.push_back({lower + 1, upper_weight});
        t += "VERT " + std::to_string(v) + "\n";
        if (shape.version == 1) {
            double n[3] = {p.nx, p.ny, p.nz}, wn[3];
            for (int k = 0; k < 3; ++k)
                wn[k] = rest[0].rotation[k][0] * n[0] + rest[0].rotation[k][1] * n[1] + rest[0].rotation[k][2] * n[2];
            Append(t, "NORMAL %.9g %.9g %.9g\n", wn[0], wn[1], wn[2]);
        }
        bool tag_weight = v % 5 == 0, split = v % 7 == 3 && weights.size() == 1;
        t += "BONES " + std::to_string(weights.size() + (tag_weight ? 1 : 0) + (split ? 1 : 0)) + "\n";
        for (const weight& w : weights) {
            std::array<double, 3> o = ToBone(rest[size_t(w.bone)], world);
            if (split) {
                // the same bone twice: 0.25 and 0.75 of the weight around the offset
                t += "BONE " + std::to_string(w.bone) + " ";
                Append(t, "%.9g ", 0.25 * w.w, 0, 0);
                Append(t, "%.9g %.9g %.9g\n", o[0] - 0.75, o[1], o[2]);
                t += "BONE " + std::to_string(w.bone) + " ";
                Append(t, "%.9g ", 0.75 * w.w, 0, 0);
                Append(t, "%.9g %.9g %.9g\n", o[0] + 0.25, o[1], o[2]);
                continue;
            }
            t += "BONE " + std::to_string(w.bone) + " ";
            Append(t, "%.9g ", w.w, 0, 0);
            Append(t, "%.9g %.9g %.9g\n", o[0], o[1], o[2]);
        }
        if (tag_weight) t += "BONE 3 0.3 5 5 5\n";
    }

    struct face {
        int v[3];
        double uv[3][2];
        unsigned mask;
    };
    std::vector<face> faces;
    auto row = [&](int r, int s) { return r * shape.segments + (s % shape.segments); };
    for (int r = 0; r < shape.rings; ++r)
        for (int s = 0; s < shape.segments; ++s) {
            double u0 = double(s) / shape.segments, u1 = double(s + 1) / shape.segments;
            double v0 = double(r) / shape.rings, v1 = double(r + 1) / shape.rings;
            faces.push_back({{row(r, s), row(r, s + 1), row(r + 1, s + 1)}, {{u0, v0}, {u1, v0}, {u1, v1}}, 1});
            faces.push_back({{row(r, s), row(r + 1, s + 1), row(r + 1, s)}, {{u0, v0}, {u1, v1}, {u0, v1}}, 1});
        }
    int top = int(points.size()) - 2, bottom = int(points.size()) - 1;
    auto cap_uv = [&](int s, double* uv) {
        double a = 2 * kPi * s / shape.segments;
        uv[0] = 0.5 + 0.5 * std::cos(a);
        uv[1] = 0.5 + 0.5 * std::sin(a);
    };
    for (int s = 0; s < shape.segments; ++s) {
        face ft{{top, row(shape.rings, s), row(shape.rings, s + 1)}, {{0.5, 0.5}}, 2};
        cap_uv(s, ft.uv[1]);
        cap_uv(s + 1, ft.uv[2]);
        faces.push_back(ft);
        face fb{{bottom, row(0, s + 1), row(0, s)}, {{0.5, 0.5}}, 4};
        cap_uv(s + 1, fb.uv[1]);
        cap_uv(s, fb.uv[2]);
        faces.push_back(fb);
    }
    t += "NUMFACES " + std::to_string(faces.size()) + "\n";
    for (size_t f = 0; f < faces.size(); ++f) {
        t += "TRI " + std::to_string(f) + "\n";
        for (int c = 0; c < 3; ++c) {
            t += std::to_string(faces[f].v[c]);
            Append(t, " %.9g %.9g\n", faces[f].uv[c][0], faces[f].uv[c][1], 0);
        }
        if (shape.version != 1) {
            char mask[16];
            std::snprintf(mask, sizeof mask, "%x\n", faces[f].mask);
            t += mask;
        }
    }
    t += "FRAMERATE 30\nNUMFRAMES " + std::to_string(shape.frames) + "\n";
    for (int f = 0; f < shape.frames; ++f) {
        t += "FRAME " + std::to_string(f) + "\n";
        for (int b = 0; b < bones; ++b) {
            const skmd_transform& p = out.placements[size_t(f)][size_t(b)];
            t += "BONE " + std::to_string(b) + "\n";
            Append(t, "OFFSET %.9g %.9g %.9g\n", p.translation[0], p.translation[1], p.translation[2]);
            for (int a = 0; a < 3; ++a) {
                t += "XYZ"[a];
                Append(t, " %.9g %.9g %.9g\n", p.rotation[0][a], p.rotation[1][a], p.rotation[2][a]);
            }
        }
    }
    t += "END\n";
    return out;
}
