#include "model/skmd_camera.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kDegrees = 3.14159265358979323846 / 180.0;
constexpr float kMargin = 1.08f;
constexpr float kOrbitDegreesPerPixel = 0.5f;
constexpr float kMinimumDistance = 1.0e-3f;

void Normalize(double v[3])
{
    double length = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    if (length > 0)
        for (int k = 0; k < 3; ++k) v[k] /= length;
}

void Cross(const double a[3], const double b[3], double out[3])
{
    out[0] = a[1] * b[2] - a[2] * b[1];
    out[1] = a[2] * b[0] - a[0] * b[2];
    out[2] = a[0] * b[1] - a[1] * b[0];
}

} // namespace

void skmd_bounds::Add(const float p[3])
{
    for (int k = 0; k < 3; ++k) {
        if (empty || p[k] < min[k]) min[k] = p[k];
        if (empty || p[k] > max[k]) max[k] = p[k];
    }
    empty = false;
}

void skmd_bounds::AddPoints(const std::vector<float>& xyz)
{
    for (size_t i = 0; i + 2 < xyz.size(); i += 3) Add(&xyz[i]);
}

void skmd_bounds::Centre(float out[3]) const
{
    for (int k = 0; k < 3; ++k) out[k] = empty ? 0.0f : (min[k] + max[k]) * 0.5f;
}

float skmd_bounds::Radius() const
{
    if (empty) return 0.0f;
    double sum = 0;
    for (int k = 0; k < 3; ++k) sum += double(max[k] - min[k]) * (max[k] - min[k]);
    return float(std::sqrt(sum) * 0.5);
}

void skmd_orbit_camera::Frame(const skmd_bounds& bounds, float aspect, float yaw, float pitch)
{
    bounds.Centre(fTarget);
    fRadius = std::max(bounds.Radius(), 1.0e-3f);
    // the sphere fits the narrower of the two fields of view
    double half = kFieldOfView * 0.5 * kDegrees;
    double horizontal = std::atan(std::tan(half) * std::max(aspect, 1.0e-3f));
    double fits = std::min(half, horizontal);
    fDistance = float(fRadius * kMargin / std::sin(fits));
    SetAngles(yaw, pitch);
}

void skmd_orbit_camera::SetAngles(float yaw, float pitch)
{
    fYaw = float(std::remainder(double(yaw), 360.0));
    fPitch = std::clamp(pitch, kMinimumPitch, kMaximumPitch);
}

void skmd_orbit_camera::Orbit(float dx, float dy)
{
    // dragging right turns the model to the right: the camera goes the other way
    SetAngles(fYaw - dx * kOrbitDegreesPerPixel, fPitch + dy * kOrbitDegreesPerPixel);
}

void skmd_orbit_camera::Pan(float dx, float dy, int height)
{
    if (height <= 0) return;
    double eye[3];
    float e[3];
    Eye(e);
    for (int k = 0; k < 3; ++k) eye[k] = e[k];
    double forward[3] = {fTarget[0] - eye[0], fTarget[1] - eye[1], fTarget[2] - eye[2]};
    Normalize(forward);
    const double up_axis[3] = {0, 0, 1};
    double right[3], up[3];
    Cross(forward, up_axis, right);
    Normalize(right);
    Cross(right, forward, up);
    // a pixel at the target's distance
    double unit = 2.0 * fDistance * std::tan(kFieldOfView * 0.5 * kDegrees) / height;
    // the model follows the mouse
    for (int k = 0; k < 3; ++k) fTarget[k] -= float((dx * right[k] - dy * up[k]) * unit);
}

void skmd_orbit_camera::Zoom(int delta)
{
    fDistance = std::max(kMinimumDistance, float(fDistance * std::pow(0.85, delta / 120.0)));
}

void skmd_orbit_camera::Eye(float out[3]) const
{
    double yaw = fYaw * kDegrees, pitch = fPitch * kDegrees;
    out[0] = fTarget[0] + float(fDistance * std::cos(pitch) * std::cos(yaw));
    out[1] = fTarget[1] + float(fDistance * std::cos(pitch) * std::sin(yaw));
    out[2] = fTarget[2] + float(fDistance * std::sin(pitch));
}

skmd_matrix skmd_orbit_camera::View() const
{
    float e[3];
    Eye(e);
    double eye[3] = {e[0], e[1], e[2]};
    double f[3] = {fTarget[0] - eye[0], fTarget[1] - eye[1], fTarget[2] - eye[2]};
    Normalize(f);
    const double up_axis[3] = {0, 0, 1};
    double s[3], u[3];
    Cross(f, up_axis, s);
    Normalize(s);
    Cross(s, f, u);
    skmd_matrix m{};
    for (int k = 0; k < 3; ++k) {
        m[size_t(k * 4 + 0)] = float(s[k]);
        m[size_t(k * 4 + 1)] = float(u[k]);
        m[size_t(k * 4 + 2)] = float(-f[k]);
    }
    m[12] = float(-(s[0] * eye[0] + s[1] * eye[1] + s[2] * eye[2]));
    m[13] = float(-(u[0] * eye[0] + u[1] * eye[1] + u[2] * eye[2]));
    m[14] = float(f[0] * eye[0] + f[1] * eye[1] + f[2] * eye[2]);
    m[15] = 1.0f;
    return m;
}

skmd_matrix skmd_orbit_camera::Projection(float aspect) const
{
    double near = std::max(double(fDistance - 2.0f * fRadius), fDistance * 1.0e-2);
    double far = fDistance + 2.0 * fRadius;
    double top = near * std::tan(kFieldOfView * 0.5 * kDegrees);
    double right = top * std::max(aspect, 1.0e-3f);
    skmd_matrix m{};
    m[0] = float(near / right);
    m[5] = float(near / top);
    m[10] = float(-(far + near) / (far - near));
    m[11] = -1.0f;
    m[14] = float(-2.0 * far * near / (far - near));
    return m;
}

bool skmd_orbit_camera::Project(const float p[3], int width, int height, float& x, float& y) const
{
    skmd_matrix m = skmd_multiply(Projection(height > 0 ? float(width) / float(height) : 1.0f), View());
    double clip[4];
    for (int r = 0; r < 4; ++r)
        clip[r] = double(m[size_t(r)]) * p[0] + double(m[size_t(4 + r)]) * p[1] + double(m[size_t(8 + r)]) * p[2] +
                  m[size_t(12 + r)];
    if (!(clip[3] > 0)) return false;
    x = float((clip[0] / clip[3] + 1.0) * 0.5 * width);
    y = float((1.0 - clip[1] / clip[3]) * 0.5 * height);
    return true;
}

skmd_matrix skmd_multiply(const skmd_matrix& a, const skmd_matrix& b)
{
    skmd_matrix m{};
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r) {
            double sum = 0;
            for (int k = 0; k < 4; ++k) sum += double(a[size_t(k * 4 + r)]) * b[size_t(c * 4 + k)];
            m[size_t(c * 4 + r)] = float(sum);
        }
    return m;
}
