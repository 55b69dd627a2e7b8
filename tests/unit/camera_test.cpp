// Race cameras: the chase view settling and the roadside view.
#include <gtest/gtest.h>

#include <cmath>

#include "race_world.h"

namespace {

class CameraTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetRaceWorld(1);
        PlaceCar(0, 0.0f, 0.0f);
        gCars[0].position[1] = 1.0f;
    }
    void CameraSteps(int n)
    {
        for (int k = 0; k < n; k++)
            UpdateCamera(camera, false);
    }
    void Put(float x, float y, float z)
    {
        camera.position[0] = x;
        camera.position[1] = y;
        camera.position[2] = z;
    }
    Camera& camera = gCameras[0];
};

TEST_F(CameraTest, TheChaseViewSettlesBehindTheCar)
{
    CameraSteps(1);
    EXPECT_FLOAT_EQ(camera.follow, 0.01f);
    CameraSteps(3000);
    EXPECT_NEAR(camera.position[1], 3.0f, 1e-3f);
    EXPECT_NEAR(camera.position[2], 4.0f, 1e-3f);
    gCars[0].heading = 90.0f;  // facing -x it settles 4 behind, at +x
    CameraSteps(3000);
    EXPECT_NEAR(camera.position[0], 4.0f, 1e-3f);
}

TEST_F(CameraTest, TheRoadsideViewTurnsWhileTheCarIsNearAndDriftsTowardAFarOne)
{
    camera.mode = 1;
    Put(3.0f, 1.0f, 2.0f);
    CameraSteps(2000);
    EXPECT_EQ(camera.position[0], 3.0f);
    EXPECT_NEAR(camera.position[1], 4.0f, 1e-3f);
    // Looking down at the car from 3 above, sqrt(13) away in the plane.
    EXPECT_NEAR(camera.pitch, std::atan((std::sqrt(13.0f) + 0.123456789f) / 3.0f) * 57.29577951f - 90.0f, 0.05f);
    EXPECT_NEAR(camera.yaw, std::atan(3.0f / 2.0f) * 57.29577951f, 1e-2f);
    // Just beyond 5 away it drifts: D = sqrt(27.04 + 1), x += (D - 5) * -x * 0.005 * follow 0.02.
    Put(5.2f, 1.0f, 1.0f);
    CameraSteps(1);
    EXPECT_NEAR(camera.position[0], 5.2f + (std::sqrt(28.04f) - 5.0f) * -5.2f * 0.005f * 0.02f, 1e-5f);
}

TEST_F(CameraTest, EachPressOfTheCameraKeySwitchesOnceAndTheModesGoRound)
{
    camera.keyReleased = 1;
    PollCameraKey(camera, true);
    EXPECT_EQ(camera.mode, 1u);
    PollCameraKey(camera, true);  // held: no more
    EXPECT_EQ(camera.mode, 1u);
    PollCameraKey(camera, false);
    PollCameraKey(camera, true);
    EXPECT_EQ(camera.mode, 0u);  // two modes: back to the chase view
    // A mode beyond the count (an older setting) becomes the chase view.
    camera.mode = 7;
    ResetCamera(camera, 0, 0.0f, 3.0f, 4.0f, 0.0f, 0.0f, 0.0f, 55.0f);
    EXPECT_EQ(camera.mode, 0u);
}

TEST_F(CameraTest, TheRaceMenuOrbitsTheCarAtFifteenDegreesASecond)
{
    gCars[0].heading = 350.0f;  // the orbit starts from the car's heading
    CameraSteps(1);
    EXPECT_EQ(camera.orbitAngle, 350.0f);
    for (int k = 0; k < 500; k++)
        UpdateCamera(camera, true);
    EXPECT_NEAR(camera.orbitAngle, 5.0f, 1e-2f);  // 365, round to 5
    // The eye closes on a point going round 2.5 from the body's middle, 1
    // above the car, by a five-hundredth of the gap a step: a lag of 1 s.
    // Settled, it runs round a circle of 2.5 / sqrt(1 + w^2) lagging its
    // point by atan(w), w = 15 degrees a second in radians times 1 s.
    for (int k = 0; k < 4000; k++)
        UpdateCamera(camera, true);
    const float w = 15.0f * 3.141592654f / 180.0f;
    const float angle = camera.orbitAngle * 3.141592654f / 180.0f - std::atan(w);
    const float radius = 2.5f / std::sqrt(1.0f + w * w);
    const float middle = gCars[0].rearAxleOffset;  // ahead of the rear axle
    const float h = 350.0f * 3.141592654f / 180.0f;
    const float cx = -std::sin(h) * middle, cz = -std::cos(h) * middle;
    EXPECT_NEAR(camera.position[0], cx + std::sin(angle) * radius, 0.01f);
    EXPECT_NEAR(camera.position[1], 2.0f, 0.01f);
    EXPECT_NEAR(camera.position[2], cz + std::cos(angle) * radius, 0.01f);
    EXPECT_NEAR(camera.pitch, -20.0f, 0.05f);
}

}  // namespace
