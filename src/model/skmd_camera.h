// The model viewer's camera: it orbits a target point at a distance, z up. At yaw 0 it
// looks at the model from its front (the +x side), yaw turning it counter-clockwise
// seen from above; pitch raises it above the target.
#pragma once

#include <array>
#include <vector>

struct skmd_bounds {
    float min[3] = {0, 0, 0};
    float max[3] = {0, 0, 0};
    bool empty = true;

    void Add(const float p[3]);
    // Every point of an x, y, z array.
    void AddPoints(const std::vector<float>& xyz);
    void Centre(float out[3]) const;
    float Radius() const; // of the sphere around the box
};

using skmd_matrix = std::array<float, 16>; // column-major, as OpenGL takes it

class skmd_orbit_camera {
public:
    static constexpr float kFieldOfView = 40.0f; // vertical, degrees
    static constexpr float kMinimumPitch = -89.0f;
    static constexpr float kMaximumPitch = 89.0f;

    // Looks at the whole box from yaw and pitch, close enough for it to fill the view
    // of the aspect (width / height) with a small margin.
    void Frame(const skmd_bounds& bounds, float aspect, float yaw = 0.0f, float pitch = 20.0f);

    // Mouse steps, in pixels of a view height pixels high.
    void Orbit(float dx, float dy);
    void Pan(float dx, float dy, int height);
    // Wheel steps of 120 per notch; positive comes closer.
    void Zoom(int delta);

    void SetAngles(float yaw, float pitch);
    float Yaw() const { return fYaw; }
    float Pitch() const { return fPitch; }
    float Distance() const { return fDistance; }
    const float* Target() const { return fTarget; }
    void Eye(float out[3]) const;

    skmd_matrix View() const;
    skmd_matrix Projection(float aspect) const;
    // Where a point lands in a view of width × height pixels, y down; false when it is
    // behind the camera.
    bool Project(const float p[3], int width, int height, float& x, float& y) const;

private:
    float fTarget[3] = {0, 0, 0};
    float fDistance = 10.0f;
    float fYaw = 0.0f;
    float fPitch = 20.0f;
    float fRadius = 1.0f; // of what was framed: keeps the clipping planes around it
};

skmd_matrix skmd_multiply(const skmd_matrix& a, const skmd_matrix& b);
