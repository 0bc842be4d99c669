// 4 x 4 matrices in OpenGL's column-major order, and the transforms the map view
// builds from them (in place of GLU).
#pragma once

#include <array>
#include <cstddef>

struct vec3 {
    double x = 0, y = 0, z = 0;
};
inline vec3 operator+(vec3 a, vec3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline vec3 operator-(vec3 a, vec3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline vec3 operator*(vec3 a, double s) { return {a.x * s, a.y * s, a.z * s}; }
inline double dot(vec3 a, vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

struct mat4 {
    std::array<double, 16> m{}; // m[column * 4 + row]

    static mat4 identity();
    static mat4 translation(double x, double y, double z);
    static mat4 scaling(double x, double y, double z);
    // Rotation by degrees about an axis through the origin (as glRotate).
    static mat4 rotation(double degrees, double x, double y, double z);
    static mat4 frustum(double left, double right, double bottom, double top, double near, double far);
    static mat4 perspective(double fovy_degrees, double aspect, double near, double far);
    static mat4 ortho(double left, double right, double bottom, double top, double near, double far);

    double& at(int row, int column) { return m[size_t(column * 4 + row)]; }
    double at(int row, int column) const { return m[size_t(column * 4 + row)]; }
    // The inverse; false (and the identity) for a singular matrix.
    bool inverse(mat4& out) const;
    // The point transformed, divided by w.
    vec3 project(vec3 p) const;
    std::array<float, 16> floats() const;
};

mat4 operator*(const mat4& a, const mat4& b);
