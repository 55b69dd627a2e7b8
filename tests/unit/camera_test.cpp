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
    void Steps(int n)
    {
        for (int k = 0; k < n; k++)
            UpdateCamera(camera, false);
    }
    Camera& camera = gCameras[0];
};

TEST_F(CameraTest, TheChaseViewSettlesBehindTheCar)
{
    Steps(1);
    EXPECT_FLOAT_EQ(camera.follow, 0.01f);
    Steps(3000);
    EXPECT_NEAR(camera.position[0], 0.0f, 1e-3f);
    EXPECT_NEAR(camera.position[1], 3.0f, 1e-3f);
    EXPECT_NEAR(camera.position[2], 4.0f, 1e-3f);
    EXPECT_NEAR(camera.pitch, -10.0f, 1e-3f);
    gCars[0].heading = 90.0f;  // facing -x it settles 4 behind, at +x
    Steps(3000);
    EXPECT_NEAR(camera.position[0], 4.0f, 1e-3f);
}

TEST_F(CameraTest, TheRoadsideViewTurnsWhileTheCarIsNearAndDriftsTowardAFarOne)
{
    camera.mode = 1;
    camera.position[0] = 3.0f;
    camera.position[1] = 1.0f;
    camera.position[2] = 2.0f;
    Steps(1);
    EXPECT_FLOAT_EQ(camera.follow, 0.02f);
    Steps(2000);
    EXPECT_EQ(camera.position[0], 3.0f);
    EXPECT_EQ(camera.position[2], 2.0f);
    EXPECT_NEAR(camera.position[1], 4.0f, 1e-3f);
    // Looking down at the car from 3 above, sqrt(13) away in the plane.
    const float g = std::sqrt(13.0f);
    EXPECT_NEAR(camera.pitch, std::atan((g + 0.123456789f) / 3.0f) * 57.29577951f - 90.0f, 0.05f);
    EXPECT_NEAR(camera.yaw, std::atan(3.0f / 2.0f) * 57.29577951f, 1e-2f);
    // It drifts toward a far car: D = sqrt(400 + 9 + 1); target x = 20 + (D - 5) * (0 - 20) * 0.005.
    camera.yaw = 0.0f;
    camera.position[0] = 20.0f;
    camera.position[1] = 4.0f;
    camera.position[2] = 1.0f;
    Steps(1);
    const float d = std::sqrt(410.0f);
    const float targetX = 20.0f + (d - 5.0f) * -20.0f * 0.005f;
    EXPECT_NEAR(camera.position[0], 20.0f + (targetX - 20.0f) * 0.02f, 1e-4f);
    EXPECT_NEAR(camera.yaw, 0.02f * std::atan(20.0f / 1.0f) * 57.29577951f, 1e-3f);
    // Just beyond 5 away it drifts too: D = sqrt(27.04 + 1).
    camera.position[0] = 5.2f;
    camera.position[1] = 1.0f;
    camera.position[2] = 1.0f;
    Steps(1);
    EXPECT_NEAR(camera.position[0], 5.2f + (std::sqrt(28.04f) - 5.0f) * -5.2f * 0.005f * 0.02f, 1e-5f);
}

}  // namespace
