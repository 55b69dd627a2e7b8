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

}  // namespace
