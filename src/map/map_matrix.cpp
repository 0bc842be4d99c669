#include "map/map_matrix.h"

#include <cmath>
#include <numbers>

mat4 mat4::identity()
{
    mat4 r;
    r.m[0] = r.m[5] = r.m[10] = r.m[15] = 1;
    return r;
}

mat4 mat4::translation(double x, double y, double z)
{
    mat4 r = identity();
    r.m[12] = x;
    r.m[13] = y;
    r.m[14] = z;
    return r;
}

mat4 mat4::scaling(double x, double y, double z)
{
    mat4 r = identity();
    r.m[0] = x;
    r.m[5] = y;
    r.m[10] = z;
    return r;
}

mat4 mat4::rotation(double degrees, double x, double y, double z)
{
    double length = std::sqrt(x * x + y * y + z * z);
    if (length == 0) return identity();
    x /= length, y /= length, z /= length;
    double a = degrees * std::numbers::pi / 180, c = std::cos(a), s = std::sin(a), t = 1 - c;
    mat4 r = identity();
    r.at(0, 0) = x * x * t + c;
    r.at(0, 1) = x * y * t - z * s;
    r.at(0, 2) = x * z * t + y * s;
    r.at(1, 0) = y * x * t + z * s;
    r.at(1, 1) = y * y * t + c;
    r.at(1, 2) = y * z * t - x * s;
    r.at(2, 0) = x * z * t - y * s;
    r.at(2, 1) = y * z * t + x * s;
    r.at(2, 2) = z * z * t + c;
    return r;
}

mat4 mat4::frustum(double l, double r, double b, double t, double n, double f)
{
    mat4 p;
    p.at(0, 0) = 2 * n / (r - l);
    p.at(0, 2) = (r + l) / (r - l);
    p.at(1, 1) = 2 * n / (t - b);
    p.at(1, 2) = (t + b) / (t - b);
    p.at(2, 2) = -(f + n) / (f - n);
    p.at(2, 3) = -2 * f * n / (f - n);
    p.at(3, 2) = -1;
    return p;
}

mat4 mat4::perspective(double fovy, double aspect, double n, double f)
{
    double top = n * std::tan(fovy * std::numbers::pi / 360);
    return frustum(-top * aspect, top * aspect, -top, top, n, f);
}

mat4 mat4::ortho(double l, double r, double b, double t, double n, double f)
{
    mat4 p = identity();
    p.at(0, 0) = 2 / (r - l);
    p.at(1, 1) = 2 / (t - b);
    p.at(2, 2) = -2 / (f - n);
    p.at(0, 3) = -(r + l) / (r - l);
    p.at(1, 3) = -(t + b) / (t - b);
    p.at(2, 3) = -(f + n) / (f - n);
    return p;
}

mat4 operator*(const mat4& a, const mat4& b)
{
    mat4 r;
    for (int row = 0; row < 4; ++row)
        for (int column = 0; column < 4; ++column) {
            double sum = 0;
            for (int k = 0; k < 4; ++k) sum += a.at(row, k) * b.at(k, column);
            r.at(row, column) = sum;
        }
    return r;
}

bool mat4::inverse(mat4& out) const
{
    // Gauss-Jordan with partial pivoting
    double a[4][8];
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) {
            a[r][c] = at(r, c);
            a[r][c + 4] = r == c;
        }
    for (int c = 0; c < 4; ++c) {
        int pivot = c;
        for (int r = c + 1; r < 4; ++r)
            if (std::fabs(a[r][c]) > std::fabs(a[pivot][c])) pivot = r;
        if (std::fabs(a[pivot][c]) < 1e-300) {
            out = identity();
            return false;
        }
        if (pivot != c)
            for (int k = 0; k < 8; ++k) std::swap(a[c][k], a[pivot][k]);
        double d = a[c][c];
        for (int k = 0; k < 8; ++k) a[c][k] /= d;
        for (int r = 0; r < 4; ++r) {
            if (r == c || a[r][c] == 0) continue;
            double f = a[r][c];
            for (int k = 0; k < 8; ++k) a[r][k] -= f * a[c][k];
        }
    }
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) out.at(r, c) = a[r][c + 4];
    return true;
}

vec3 mat4::project(vec3 p) const
{
    double x = at(0, 0) * p.x + at(0, 1) * p.y + at(0, 2) * p.z + at(0, 3);
    double y = at(1, 0) * p.x + at(1, 1) * p.y + at(1, 2) * p.z + at(1, 3);
    double z = at(2, 0) * p.x + at(2, 1) * p.y + at(2, 2) * p.z + at(2, 3);
    double w = at(3, 0) * p.x + at(3, 1) * p.y + at(3, 2) * p.z + at(3, 3);
    if (w == 0) w = 1;
    return {x / w, y / w, z / w};
}

std::array<float, 16> mat4::floats() const
{
    std::array<float, 16> f;
    for (size_t i = 0; i < 16; ++i) f[i] = float(m[i]);
    return f;
}
