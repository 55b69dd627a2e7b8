// The car step worked by hand: wheel speed, steering, turning, bouncing
// wheels, countdown gating and the leader's medal.
#include <gtest/gtest.h>

#include <cmath>

#include "race_world.h"

namespace {

const int kAccelerate = 38, kLeft = 37, kBrake = 40;

class CarTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetRaceWorld(1);
        gStandings.countdown = 0.0f;
        PlaceCar(0, 0.0f, 0.0f);
    }
    void Steps(int n)
    {
        for (int k = 0; k < n; k++) {
            WriteLocalControls();
            UpdateCar(gCars[0]);
        }
    }
    void Lift(float y)  // every wheel and the body at height y
    {
        for (WheelPoint& w : car.wheelPoint)
            w.y = y;
        car.position[1] = y;
    }
    Car& car = gCars[0];
};

TEST_F(CarTest, AcceleratingFromRestFollowsTheWheelSpeedCurveUpToTen)
{
    PlaceCar(0, 0.0f, 29.0f);  // room for 45 units towards -z inside the world
    OnKeyDown(kAccelerate);
    Steps(500);
    // d(ws)/dt = 30 / (ws + 1) gives ws = sqrt(60 t + 1) - 1: 6.81 after 1 s.
    EXPECT_NEAR(car.wheelSpeed, std::sqrt(61.0f) - 1.0f, 0.02f);
    Steps(1600);
    EXPECT_GE(car.wheelSpeed, 10.0f);
    EXPECT_LT(car.wheelSpeed, 10.0f + 30.0f / 11.0f * 0.002f + 1e-4f);
    // Drive speed 10 * 0.25 * 2 pi = 15.7 units per second, forward (-z).
    EXPECT_NEAR(car.velocity[2], -15.7f, 0.1f);
}

TEST_F(CarTest, BrakingReversesAtMostTwoRevolutions)
{
    OnKeyDown(kBrake);
    Steps(1500);
    EXPECT_LE(car.wheelSpeed, -2.0f);
    EXPECT_GT(car.wheelSpeed, -2.0f - 30.0f / 3.0f * 0.002f - 1e-4f);
    EXPECT_NEAR(car.velocity[2], 2.0f * car.wheelCircumference, 0.05f);  // backwards
    car.wheelSpeed = 4.0f;
    Steps(1);
    EXPECT_FLOAT_EQ(car.wheelSpeed, 4.0f - 50.0f / 3.0f * 0.002f);
}

TEST_F(CarTest, FreeRollingFollowsTheGroundAndDecays)
{
    car.wheelSpeed = 5.0f;  // the car itself stands still
    Steps(1);
    // Towards the ground speed 0 at 10 per second, then 0.85 per second.
    const float pulled = 5.0f - 5.0f * 10.0f * 0.002f;
    EXPECT_FLOAT_EQ(car.wheelSpeed, pulled - pulled * 0.85f * 0.002f);
}

TEST_F(CarTest, SteeringTurnsAtItsRateAndReturnsAtTenPerSecond)
{
    OnKeyDown(kLeft);
    Steps(1);
    EXPECT_FLOAT_EQ(car.steer, 0.36f);
    OnKeyUp(kLeft);
    car.steer = 10.0f;
    Steps(1);
    EXPECT_FLOAT_EQ(car.steer, 9.8f);  // 10 - 10 * 10 * 0.002
    car.steer = 10.0f / (1.0f - 10.0f * 0.002f);  // 10.0 after this step's return
    Steps(1);
    EXPECT_NEAR(car.turnCircle, 36.0f, 1e-4f);
    EXPECT_NEAR(car.turnRadius, -36.0f / 6.283185307f, 1e-4f);  // left turns have negative radius
}

TEST_F(CarTest, SteeringTurnsTheCarOnlyWhileMovingAndTheFrontGrips)
{
    car.steer = 20.0f;
    car.velocity[2] = -10.0f;  // forward at 10
    car.wheelSpeed = 10.0f / car.wheelCircumference;
    const float steer = 20.0f - 10.0f * 20.0f * 0.002f;  // after this step's return
    Steps(1);
    // Forward at u the yaw rate grows by u cos(steer) * grip * 20 * steer * dt.
    EXPECT_NEAR(car.angularVelocity[1], 10.0f * std::cos(steer * 3.141592654f / 180.0f) * 0.375f * 20.0f * steer * 0.002f,
                0.05f);
}

TEST_F(CarTest, TheTagHoldersWheelsBounceOthersStopDead)
{
    gRaceSetup.gamemode = 0;
    gRaceSetup.funnywheels = 1;
    for (int32_t holder : {0, 1}) {
        gStandings.tagHolder = holder;
        for (WheelPoint& w : car.wheelPoint) {
            w.y = 0.01f;
            w.vy = -10.0f;
        }
        car.position[1] = 0.01f;
        Steps(1);
        // After gravity -10.05; the holder's bounce to +5.025, 0.01 + 5.025 * 0.002.
        for (const WheelPoint& w : car.wheelPoint) {
            EXPECT_FLOAT_EQ(w.vy, holder == 0 ? 5.025f : -5.0f);
            EXPECT_NEAR(w.y, holder == 0 ? 0.02005f : 0.0f, 1e-7f);
        }
    }
}

TEST_F(CarTest, ThrottleWaitsForTheCountdownToFallBelowOne)
{
    gStandings.countdown = 1.5f;
    OnKeyDown(kAccelerate);
    Steps(1);
    EXPECT_EQ(car.wheelSpeed, 0.0f);
    gStandings.countdown = 0.999f;
    Steps(1);
    EXPECT_FLOAT_EQ(car.wheelSpeed, 0.06f);
}

TEST_F(CarTest, SpeedsAreHeldWithinTwentyAndSteepGroundPushesDown)
{
    car.velocity[0] = 50.0f;
    car.velocity[2] = -50.0f;
    car.wheelPoint[0].vy = -80.0f;
    Lift(3.0f);
    Steps(1);
    EXPECT_EQ(car.velocity[0], 20.0f);
    EXPECT_EQ(car.wheelPoint[0].vy, -20.0f);
    // Ground rising 2 per unit along +x: mean slope 1.0, no push; rising 4:
    // mean 2.0 > 1.5, vx -= (4 + 4 + 4 + 4)^3 * dt.
    for (float rise : {2.0f, 4.0f}) {
        for (int i = 0; i < kGridSize * kGridSize; i++)
            gTerrain.heights[i] = rise * (float)(i % kGridSize);
        PlaceCar(0, 0.0f, 0.0f);
        for (WheelPoint& w : car.wheelPoint)
            w.y = -100.0f;  // below the ground: every wheel lands this step
        Steps(1);
        ASSERT_TRUE(car.frontOnGround && car.rearOnGround);
        EXPECT_NEAR(car.velocity[0], rise == 2.0f ? 0.0f : -4096.0f * 0.002f, 1e-3f);
    }
}

TEST_F(CarTest, TheLeaderMedalNeedsAStrictlyHigherScore)
{
    ResetRaceWorld(3);
    gStandings.countdown = 0.0f;
    gRaceSetup.gamemode = 0;  // scores change only for the holder
    gStandings.tagHolder = -1;
    gStandings.score[0] = 5.0f;
    gStandings.score[1] = 5.0f;
    UpdateCar(gCars[1]);
    EXPECT_EQ(gStandings.medalShown[1][0], 0);
    gStandings.score[1] = 5.5f;
    UpdateCar(gCars[1]);
    EXPECT_EQ(gStandings.medalShown[1][0], 1);
}

TEST_F(CarTest, TheWheelsUseTheFullGridWhateverThePixelSkip)
{
    ResetRaceWorld(1, 1.0f);
    gStandings.countdown = 0.0f;
    gTerrain.pixelSkip = 2;
    // The right rear wheel at x = 29.55 is off the coarse grid but on the full one.
    PlaceCar(0, 29.0f, 0.0f, 0.0f, 1.0f);
    Steps(1);
    EXPECT_EQ(gCars[0].wheelPoint[3].y, 1.0f);
    EXPECT_EQ(gCars[0].wheelOnGround[3], 1);
}

}  // namespace
