// The map view's orbiting camera: a target point, yaw, pitch and distance, moved by
// keys, the wheel and mouse drags, and the projection and model-view it gives.
#pragma once

#include "map/map_matrix.h"

class TMeshMap;

constexpr double MAP_CAMERA_MIN_PITCH = 10;
constexpr double MAP_CAMERA_MAX_PITCH = 85;
constexpr double MAP_CAMERA_MIN_DISTANCE = 10;
constexpr double MAP_CAMERA_FOVY = 45;

class map_camera {
public:
    vec3 target;        // world units: x columns, y rows, z up
    double yaw = 0;     // degrees, 0..360
    double pitch = 45;  // degrees, 10..85
    double distance = 100;
    double extent_x = 32; // the map's size in world units
    double extent_y = 32;

    // The default camera of a map: over its centre, the whole map in sight.
    static map_camera for_map(const TMeshMap& map);

    double max_distance() const { return 2 * (extent_x + extent_y); }
    // Ground-plane directions.
    vec3 forward() const;
    vec3 right() const;

    // The camera keys a/d w/s q/e f/r c/v (any case); false for other keys.
    bool key(int key);
    // Wheel zoom: each notch (120) scales the distance by 0.9 (forward) or 1/0.9.
    void wheel(int delta);
    // Mouse orbit and pan by pixels of a view of the given height.
    void orbit(double dx, double dy);
    void pan(double dx, double dy, int view_height);
    // Pitch 10..85, yaw 0..360, distance 10..2(a + b).
    void apply_limits();

    mat4 projection(int width, int height) const;
    // Rotate by pitch and yaw about the target, seen from distance away.
    mat4 model_view() const;
    vec3 eye() const;
    // The ray from the eye through the pointer at (x, y) pixels from the view's top left.
    void ray(double x, double y, int width, int height, vec3& origin, vec3& direction) const;
};
