#include "model/skmd_cylinder.h"

#include <cmath>

namespace {

constexpr double kPi = 3.14159265358979323846;

void Cross(const float u[3], const float v[3], float out[3])
{
    float x = u[1] * v[2] - u[2] * v[1];
    float y = u[2] * v[0] - u[0] * v[2];
    float z = u[0] * v[1] - u[1] * v[0];
    out[0] = x;
    out[1] = y;
    out[2] = z;
}

void Normalize(float v[3])
{
    float length = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    if (length > 0)
        for (int k = 0; k < 3; ++k) v[k] /= length;
}

void Append(std::vector<float>& out, const float p[3])
{
    out.insert(out.end(), p, p + 3);
}

} // namespace

void skmd_cylinder_basis(const float d[3], float a[3], float b[3])
{
    float start[3] = {1, 1, 1};
    int largest = 0;
    for (int k = 1; k < 3; ++k)
        if (std::fabs(d[k]) > std::fabs(d[largest])) largest = k;
    start[largest] = 0;
    Cross(d, start, a);
    Normalize(a);
    Cross(d, a, b);
    for (int k = 0; k < 3; ++k) b[k] = -b[k];
    Normalize(b);
}

skmd_cylinder skmd_build_cylinder(const float o[3], const float d[3], float radius, float near, float far)
{
    skmd_cylinder c;
    float a[3], b[3];
    skmd_cylinder_basis(d, a, b);
    auto around = [&](double angle, float out[3]) {
        float cs = float(std::cos(angle)), sn = float(std::sin(angle));
        for (int k = 0; k < 3; ++k) out[k] = cs * b[k] + sn * a[k];
    };
    auto ring_point = [&](float along, const float direction[3], float out[3]) {
        for (int k = 0; k < 3; ++k) out[k] = o[k] + d[k] * along + radius * direction[k];
    };

    for (int i = 0; i < 2 * (SKMD_CYLINDER_SEGMENTS + 1); ++i) {
        float n[3], p[3];
        around(i * kPi / SKMD_CYLINDER_SEGMENTS, n);
        ring_point(i % 2 == 0 ? far : near, n, p);
        Append(c.side_vertices, p);
        Append(c.side_normals, n);
    }

    float centre[3];
    for (int k = 0; k < 3; ++k) {
        c.far_normal[k] = d[k];
        c.near_normal[k] = -d[k];
        centre[k] = o[k] + d[k] * far;
    }
    Append(c.far_cap, centre);
    for (int i = 0; i <= SKMD_CYLINDER_SEGMENTS; ++i) {
        float n[3], p[3];
        around(i * 2 * kPi / SKMD_CYLINDER_SEGMENTS, n);
        ring_point(far, n, p);
        Append(c.far_cap, p);
    }
    for (int k = 0; k < 3; ++k) centre[k] = o[k] + d[k] * near;
    Append(c.near_cap, centre);
    for (int i = 0; i <= SKMD_CYLINDER_SEGMENTS; ++i) {
        float n[3], p[3];
        around((0.5 - i) * 2 * kPi / SKMD_CYLINDER_SEGMENTS, n);
        ring_point(near, n, p);
        Append(c.near_cap, p);
    }
    return c;
}
