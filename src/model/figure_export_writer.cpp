#include "model/figure_export_writer.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

constexpr double kPi = 3.14159265358979323846;

enum { kSpine, kHead, kLeftThigh, kLeftCalf, kRightThigh, kRightCalf, kLeftArm, kRightArm, kOrigin, kBones };

// A tube along the bone's z from z0 to z1 with radii rx, ry, in band of the texture.
struct part {
    int bone;
    float x, y; // its axis in the bone's space (a foot: its z and y)
    float z0, z1;
    float rx, ry;
    int band;
    bool along_x = false; // a foot: the tube runs along x instead
};

skmd_transform Placement(double ax, double ay, double az, double tx, double ty, double tz)
{
    // rotation z · y · x
    double cx = std::cos(ax), sx = std::sin(ax), cy = std::cos(ay), sy = std::sin(ay), cz = std::cos(az),
           sz = std::sin(az);
    double m[3][3] = {{cz * cy, cz * sy * sx - sz * cx, cz * sy * cx + sz * sx},
                      {sz * cy, sz * sy * sx + cz * cx, sz * sy * cx - cz * sx},
                      {-sy, cy * sx, cy * cx}};
    skmd_transform t{};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) t.rotation[i][j] = float(m[i][j]);
    t.translation[0] = float(tx);
    t.translation[1] = float(ty);
    t.translation[2] = float(tz);
    return t;
}

// Each bone relative to its parent at walk phase phi.
std::vector<skmd_transform> WalkPose(double phi, bool wave)
{
    if (wave) phi = 0; // standing
    double swing = 0.45 * std::sin(phi);
    double left_knee = wave ? 0.1 : 0.1 + 0.5 * std::max(0.0, std::cos(phi));
    double right_knee = 0.1 + 0.5 * std::max(0.0, -std::cos(phi));
    double drop = 1.6 * std::sin(phi) * std::sin(phi);
    std::vector<skmd_transform> local(kBones);
    local[kSpine] = Placement(0, 0.05, 0.08 * std::sin(phi), 0, 0, 30 - drop);
    local[kHead] = Placement(0, -0.05, -0.06 * std::sin(phi), 0, 0, 21);
    local[kLeftThigh] = Placement(0, -swing, 0, 0, 4, 0);
    local[kLeftCalf] = Placement(0, left_knee, 0, 0, 0, -14);
    local[kRightThigh] = Placement(0, swing, 0, 0, -4, 0);
    local[kRightCalf] = Placement(0, right_knee, 0, 0, 0, -14);
    local[kLeftArm] = wave ? Placement(1.4, 0, 0, 0, 9, 18) : Placement(0.08, swing * 0.9, 0, 0, 9, 18);
    local[kRightArm] = Placement(-0.08, -swing * 0.9, 0, 0, -9, 18);
    local[kOrigin] = Placement(0, 0, 0, 0, 0, -(30 - drop));
    return local;
}

void Append(std::string& out, const char* format, double a, double b, double c)
{
    char line[160];
    std::snprintf(line, sizeof line, format, a, b, c);
    out += line;
}

} // namespace

figure_export make_figure_export(int frames, bool wave)
{
    frames = std::max(frames, 1);
    figure_export out;
    out.bone_names = {"Spine",  "Head",       "L Thigh",    "L Calf", "R Thigh",
                      "R Calf", "L UpperArm", "R UpperArm", "tag_origin_standard"};
    out.parents = {-1, kSpine, kSpine, kLeftThigh, kSpine, kRightThigh, kSpine, kSpine, kSpine};
    out.frames_per_step = std::max(1, frames / 2);
    for (int f = 0; f < frames; ++f) {
        std::vector<skmd_transform> local = WalkPose(2 * kPi * f / frames, wave);
        std::vector<skmd_transform> world(kBones);
        for (int b = 0; b < kBones; ++b)
            world[size_t(b)] = out.parents[size_t(b)] < 0 ? local[size_t(b)]
                                                          : skmd_compose(world[size_t(out.parents[size_t(b)])], local[size_t(b)]);
        out.placements.push_back(world);
    }

    const part parts[] = {
        {kSpine, 0, 0, 0, 21, 4.0f, 7.0f, 0},       {kHead, 0, 0, 1, 10, 3.6f, 3.4f, 1},
        {kLeftThigh, 0, 0, -14, 0, 2.6f, 2.6f, 2},  {kLeftCalf, 0, 0, -14, 0, 2.1f, 2.1f, 2},
        {kLeftCalf, -13, 0, -1, 5, 1.8f, 1.4f, 2, true}, {kRightThigh, 0, 0, -14, 0, 2.6f, 2.6f, 2},
        {kRightCalf, 0, 0, -14, 0, 2.1f, 2.1f, 2},  {kRightCalf, -13, 0, -1, 5, 1.8f, 1.4f, 2, true},
        {kLeftArm, 0, 0, -16, 0, 1.8f, 1.8f, 3},    {kRightArm, 0, 0, -16, 0, 1.8f, 1.8f, 3},
    };
    constexpr int kSegments = 10, kRings = 2;

    struct vertex {
        int bone;
        float p[3];
    };
    struct face {
        int v[3];
        float uv[3][2];
        unsigned mask;
    };
    std::vector<vertex> vertices;
    std::vector<face> faces;
    for (const part& pt : parts) {
        int first = int(vertices.size());
        auto place = [&](float a, float b, float along) {
            vertex v{pt.bone, {}};
            if (pt.along_x) {
                // a foot: forward from the ankle, at the calf's end; (y, z, x) turns as (x, y, z)
                v.p[0] = along;
                v.p[1] = pt.y + a;
                v.p[2] = pt.x + b;
            } else {
                v.p[0] = pt.x + a;
                v.p[1] = pt.y + b;
                v.p[2] = along;
            }
            vertices.push_back(v);
        };
        float from = pt.z0, to = pt.z1;
        for (int r = 0; r <= kRings; ++r)
            for (int s = 0; s < kSegments; ++s) {
                double a = 2 * kPi * s / kSegments;
                float along = from + (to - from) * float(r) / kRings;
                place(float(pt.rx * std::cos(a)), float(pt.ry * std::sin(a)), along);
            }
        int top = int(vertices.size());
        place(0, 0, to);
        int bottom = int(vertices.size());
        place(0, 0, from);

        float v0 = pt.band * 0.25f + 0.01f, v1 = (pt.band + 1) * 0.25f - 0.01f;
        auto ring = [&](int r, int s) { return first + r * kSegments + s % kSegments; };
        for (int r = 0; r < kRings; ++r)
            for (int s = 0; s < kSegments; ++s) {
                float u0 = float(s) / kSegments, u1 = float(s + 1) / kSegments;
                float a = v0 + (v1 - v0) * float(r) / kRings, b = v0 + (v1 - v0) * float(r + 1) / kRings;
                // outward: counter-clockwise seen from outside
                faces.push_back({{ring(r, s), ring(r, s + 1), ring(r + 1, s + 1)}, {{u0, a}, {u1, a}, {u1, b}}, 1});
                faces.push_back({{ring(r, s), ring(r + 1, s + 1), ring(r + 1, s)}, {{u0, a}, {u1, b}, {u0, b}}, 1});
            }
        for (int s = 0; s < kSegments; ++s) {
            faces.push_back({{top, ring(kRings, s), ring(kRings, s + 1)}, {{0.5f, v0}, {0.4f, v0}, {0.6f, v0}}, 2});
            faces.push_back({{bottom, ring(0, s + 1), ring(0, s)}, {{0.5f, v1}, {0.4f, v1}, {0.6f, v1}}, 4});
        }
    }

    std::string& t = out.text;
    t = "// the sample figure\nSKELETON\nVERSION 2\nNUMMATERIALS 1\nMATERIAL 0 figure.tga\nNUMBONES " +
        std::to_string(kBones) + "\n";
    for (int b = 0; b < kBones; ++b)
        t += "BONE " + std::to_string(b) + " " + std::to_string(out.parents[size_t(b)]) + " " +
             out.bone_names[size_t(b)] + "\n";
    t += "NUMVERTS " + std::to_string(vertices.size()) + "\n";
    for (size_t v = 0; v < vertices.size(); ++v) {
        t += "VERT " + std::to_string(v) + "\nBONES 1\nBONE " + std::to_string(vertices[v].bone) + " 1 ";
        Append(t, "%.9g %.9g %.9g\n", vertices[v].p[0], vertices[v].p[1], vertices[v].p[2]);
    }
    t += "NUMFACES " + std::to_string(faces.size()) + "\n";
    for (size_t f = 0; f < faces.size(); ++f) {
        t += "TRI " + std::to_string(f) + "\n";
        for (int c = 0; c < 3; ++c) {
            t += std::to_string(faces[f].v[c]);
            Append(t, " %.9g %.9g\n", faces[f].uv[c][0], faces[f].uv[c][1], 0);
        }
        char mask[16];
        std::snprintf(mask, sizeof mask, "%x\n", faces[f].mask);
        t += mask;
    }
    t += "FRAMERATE 30\nNUMFRAMES " + std::to_string(frames) + "\n";
    for (int f = 0; f < frames; ++f) {
        t += "FRAME " + std::to_string(f) + "\n";
        for (int b = 0; b < kBones; ++b) {
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

std::vector<uint8_t> figure_texture_pixels(int side)
{
    std::vector<uint8_t> pixels(size_t(side) * side * 3);
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x) {
            uint8_t* p = &pixels[(size_t(y) * side + x) * 3];
            int band = y * 4 / side;
            double u = double(x) / side, v = double(y % (side / 4)) / (side / 4);
            int r, g, b;
            switch (band) {
            case 0: // tunic with a belt
                r = 40, g = 70, b = 160;
                if (v < 0.18) r = 90, g = 60, b = 30;
                if ((x / 4 + y / 4) % 2) g += 20;
                break;
            case 1: // face towards +x
                r = 225, g = 180, b = 140;
                if (std::fabs(u - 0.0) < 0.06 || std::fabs(u - 1.0) < 0.06) r = 190, g = 120, b = 100;
                if (v > 0.75) r = 70, g = 45, b = 20; // hair on top
                break;
            case 2: // trousers and boots
                r = 110, g = 80, b = 50;
                if (v < 0.3) r = 50, g = 35, b = 25;
                break;
            default: // sleeves and hands
                r = 40, g = 70, b = 160;
                if (v < 0.25) r = 225, g = 180, b = 140;
                break;
            }
            p[0] = uint8_t(r);
            p[1] = uint8_t(g);
            p[2] = uint8_t(b);
        }
    return pixels;
}
