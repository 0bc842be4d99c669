#include "map/map_camera.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <numbers>

#include "map/mesh_map.h"

namespace {

double radians(double degrees)
{
    return degrees * std::numbers::pi / 180;
}

} // namespace

map_camera map_camera::for_map(const TMeshMap& map)
{
    map_camera c;
    c.extent_x = std::max(1, map.fWidth);
    c.extent_y = std::max(1, map.fHeight);
    double z = 0;
    if (!map.fCells.empty()) {
        double sum = 0;
        for (const mesh_cell& cell : map.fCells) sum += cell.render_height;
        z = sum / double(map.fCells.size()) / 512;
    }
    c.target = {c.extent_x / 2, c.extent_y / 2, z};
    c.yaw = 0;
    c.pitch = 45;
    c.distance = 1.1 * std::max(c.extent_x, c.extent_y);
    c.apply_limits();
    return c;
}

vec3 map_camera::forward() const
{
    return {std::sin(radians(yaw)), std::cos(radians(yaw)), 0};
}

vec3 map_camera::right() const
{
    return {std::cos(radians(yaw)), -std::sin(radians(yaw)), 0};
}

bool map_camera::key(int key)
{
    double sideways = 0, forwards = 0;
    switch (std::tolower(key)) {
    case 'a': sideways = -1; break;
    case 'd': sideways = 1; break;
    case 'w': forwards = 1; break;
    case 's': forwards = -1; break;
    case 'q': yaw -= 5; break;
    case 'e': yaw += 5; break;
    case 'f': pitch -= 5; break;
    case 'r': pitch += 5; break;
    case 'c': distance *= 0.9; break;
    case 'v': distance /= 0.9; break;
    default: return false;
    }
    target = target + (right() * sideways + forward() * forwards) * (distance * 0.01);
    apply_limits();
    return true;
}

void map_camera::wheel(int delta)
{
    distance *= std::pow(0.9, delta / 120.0);
    apply_limits();
}

void map_camera::orbit(double dx, double dy)
{
    yaw += dx * 0.4;
    pitch += dy * 0.3;
    apply_limits();
}

void map_camera::pan(double dx, double dy, int view_height)
{
    // a pixel at the target's depth
    double scale = 2 * distance * std::tan(radians(MAP_CAMERA_FOVY / 2)) / std::max(1, view_height);
    target = target + right() * (-dx * scale) + forward() * (dy * scale);
    apply_limits();
}

void map_camera::apply_limits()
{
    pitch = std::clamp(pitch, MAP_CAMERA_MIN_PITCH, MAP_CAMERA_MAX_PITCH);
    while (yaw < 0) yaw += 360;
    while (yaw >= 360) yaw -= 360;
    distance = std::clamp(distance, MAP_CAMERA_MIN_DISTANCE, std::max(MAP_CAMERA_MIN_DISTANCE, max_distance()));
}

mat4 map_camera::projection(int width, int height) const
{
    double aspect = double(std::max(1, width)) / std::max(1, height);
    double far = distance + 2 * (extent_x + extent_y) + 256;
    return mat4::perspective(MAP_CAMERA_FOVY, aspect, std::max(0.5, distance * 0.02), far);
}

mat4 map_camera::model_view() const
{
    // pitch 90 would look straight down; the ground tilts away by 90 - pitch
    return mat4::translation(0, 0, -distance) * mat4::rotation(pitch - 90, 1, 0, 0) * mat4::rotation(yaw, 0, 0, 1) *
           mat4::translation(-target.x, -target.y, -target.z);
}

vec3 map_camera::eye() const
{
    mat4 inverse;
    model_view().inverse(inverse);
    return inverse.project({0, 0, 0});
}

void map_camera::ray(double x, double y, int width, int height, vec3& origin, vec3& direction) const
{
    mat4 inverse;
    (projection(width, height) * model_view()).inverse(inverse);
    double nx = 2 * (x + 0.5) / std::max(1, width) - 1;
    double ny = 1 - 2 * (y + 0.5) / std::max(1, height);
    vec3 near = inverse.project({nx, ny, -1});
    vec3 far = inverse.project({nx, ny, 1});
    origin = near;
    direction = far - near;
    double length = std::sqrt(dot(direction, direction));
    if (length > 0) direction = direction * (1 / length);
}
