// The map camera's keys and limits, its transforms, and picking through it.
#include <gtest/gtest.h>

#include <cmath>

#include "map/map_camera.h"
#include "map/map_pick.h"
#include "map/mesh_map.h"

namespace {

TEST(MapCamera, KeysKeepPitchYawAndDistanceWithinTheirLimits)
{
    TMeshMap map = default_mesh_map(64, 32);
    map_camera c = map_camera::for_map(map);
    c.pitch = 10;
    for (int i = 0; i < 18; ++i) c.key('r');
    EXPECT_DOUBLE_EQ(c.pitch, 85);
    for (int i = 0; i < 30; ++i) c.key('F');
    EXPECT_DOUBLE_EQ(c.pitch, 10);
    c.yaw = 358;
    c.key('e');
    EXPECT_NEAR(c.yaw, 3, 1e-9);
    c.key('q');
    c.key('q');
    EXPECT_NEAR(c.yaw, 353, 1e-9);
    for (int i = 0; i < 100; ++i) c.key('c');
    EXPECT_DOUBLE_EQ(c.distance, 10);
    for (int i = 0; i < 100; ++i) c.key('v');
    EXPECT_DOUBLE_EQ(c.distance, 2 * (64 + 32)); // 2(a + b)
    for (int i = 0; i < 40; ++i) c.wheel(120);
    EXPECT_DOUBLE_EQ(c.distance, 10);
    EXPECT_FALSE(c.key('x'));
}

TEST(MapCamera, MovesFollowTheGroundDirectionsScaledByTheDistance)
{
    map_camera c;
    c.extent_x = c.extent_y = 100;
    c.target = {50, 50, 0};
    c.distance = 100;
    c.yaw = 90;
    c.key('w'); // forward at yaw 90 is +x
    EXPECT_NEAR(c.target.x, 51, 1e-9);
    EXPECT_NEAR(c.target.y, 50, 1e-9);
    c.key('d'); // right at yaw 90 is -y
    EXPECT_NEAR(c.target.y, 49, 1e-9);
}

TEST(MapCamera, TheEyeOrbitsTheTargetAtTheCameraDistance)
{
    TMeshMap map = default_mesh_map(64, 64);
    map_camera c = map_camera::for_map(map);
    c.yaw = 30;
    c.pitch = 40;
    c.distance = 50;
    vec3 eye = c.eye();
    vec3 d = eye - c.target;
    EXPECT_NEAR(std::sqrt(dot(d, d)), 50, 1e-6);
    EXPECT_NEAR(d.z, 50 * std::sin(40 * M_PI / 180), 1e-6);
    // the eye stands behind the target, against the forward direction
    EXPECT_LT(dot(d, c.forward()), 0);

    // the ray through the middle of the view meets a flat map at the target
    vec3 origin, direction;
    c.ray(399.5, 299.5, 800, 600, origin, direction);
    grid_point hit;
    ASSERT_TRUE(pick_grid(map, MAP_GRID_RENDER, origin, direction, hit));
    EXPECT_NEAR(hit.x, c.target.x, 1e-3);
    EXPECT_NEAR(hit.y, c.target.y, 1e-3);
}

TEST(MapPicking, RaysMeetTheClickGridAndTheNearestMarker)
{
    TMeshMap map = default_mesh_map(32, 32);
    // a wall of render height 8 world units from column 20 on; the physics grid stays flat
    for (int y = 0; y < 32; ++y)
        for (int x = 20; x < 32; ++x) map.Cell(x, y).render_height = 8 * 512;
    vec3 origin{5, 10, 12}, direction{1, 0, -0.5}; // falls 1 in 2
    double length = std::sqrt(dot(direction, direction));
    direction = direction * (1 / length);
    grid_point hit;
    ASSERT_TRUE(pick_grid(map, MAP_GRID_RENDER, origin, direction, hit));
    EXPECT_NEAR(hit.x, 166.5 / 8.5, 1e-3); // on the wall's slope between columns 19 and 20
    EXPECT_NEAR(hit.z, 8 * (hit.x - 19), 1e-3);
    ASSERT_TRUE(pick_grid(map, MAP_GRID_PHYSICAL, origin, direction, hit));
    EXPECT_NEAR(hit.x, 29, 1e-3); // the flat grid is met where the ray comes down to 0
    EXPECT_FALSE(pick_grid(map, MAP_GRID_RENDER, {5, 10, 20}, {0, 0, 1}, hit));   // looking up
    EXPECT_FALSE(pick_grid(map, MAP_GRID_RENDER, {-50, 10, 2}, {-1, 0, 0}, hit)); // away from the map
    EXPECT_FALSE(pick_grid(map, MAP_GRID_NONE, origin, direction, hit));

    std::vector<map_box> boxes = {{{9, 9, 0}, {11, 11, 2}}, {{4, 9, 0}, {6, 11, 2}}, {{30, 30, 0}, {31, 31, 1}}};
    EXPECT_EQ(pick_marker(boxes, {0, 10, 1}, {1, 0, 0}), 1); // the nearer of the two in line
    EXPECT_EQ(pick_marker(boxes, {20, 10, 1}, {1, 0, 0}), -1);
    EXPECT_EQ(pick_marker(boxes, {30.5, 30.5, 10}, {0, 0, -1}), 2);
}

} // namespace
