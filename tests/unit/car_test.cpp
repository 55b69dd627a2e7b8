// The car step worked by hand: wheel speed under throttle, brake and free
// rolling, steering and its return, turning, the tag holder's bouncing
// wheels, countdown gating, the mouse, the leader's medal; and cars that
// cannot go bad or stay stuck.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "race_world.h"

namespace {

const int kAccelerate = 38, kLeft = 37, kBrake = 40, kRight = 39;

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
    Steps(1);
    EXPECT_FLOAT_EQ(car.wheelSpeed, 0.06f);  // 30 / (0 + 1) * 0.002
    Steps(499);
    // d(ws)/dt = 30 / (ws + 1) gives ws = sqrt(60 t + 1) - 1: 6.81 after 1 s.
    EXPECT_NEAR(car.wheelSpeed, std::sqrt(61.0f) - 1.0f, 0.02f);
    Steps(1600);
    EXPECT_GE(car.wheelSpeed, 10.0f);
    EXPECT_LT(car.wheelSpeed, 10.0f + 30.0f / 11.0f * 0.002f + 1e-4f);
    // Drive speed 10 * 0.25 * 2 pi = 15.7 units per second, forward (-z).
    EXPECT_NEAR(car.velocity[2], -15.7f, 0.1f);
    EXPECT_NEAR(car.velocity[0], 0.0f, 1e-4f);
}

TEST_F(CarTest, BrakingReversesAtMostTwoRevolutionsAndAccelerateWins)
{
    OnKeyDown(kBrake);
    Steps(1500);
    EXPECT_LE(car.wheelSpeed, -2.0f);
    EXPECT_GT(car.wheelSpeed, -2.0f - 30.0f / 3.0f * 0.002f - 1e-4f);
    EXPECT_NEAR(car.velocity[2], 2.0f * car.wheelCircumference, 0.05f);  // backwards
    car.wheelSpeed = 4.0f;
    Steps(1);
    EXPECT_FLOAT_EQ(car.wheelSpeed, 4.0f - 50.0f / 3.0f * 0.002f);
    OnKeyDown(kAccelerate);
    const float before = car.wheelSpeed;
    Steps(1);
    EXPECT_FLOAT_EQ(car.wheelSpeed, before + 30.0f / (before + 1.0f) * 0.002f);
}

TEST_F(CarTest, FreeRollingFollowsTheGroundAndDecays)
{
    car.wheelSpeed = 5.0f;  // the car itself stands still
    Steps(1);
    // Towards the ground speed 0 at 10 per second, then 0.85 per second.
    const float pulled = 5.0f - 5.0f * 10.0f * 0.002f;
    EXPECT_FLOAT_EQ(car.wheelSpeed, pulled - pulled * 0.85f * 0.002f);
    // With the rear wheels in the air it holds.
    car.wheelSpeed = 5.0f;
    car.rearOnGround = 0;
    Lift(2.0f);
    OnKeyDown(kAccelerate);
    Steps(1);
    EXPECT_EQ(car.wheelSpeed, 5.0f);
}

TEST_F(CarTest, SteeringTurnsAtItsRateAndReturnsAtTenPerSecond)
{
    OnKeyDown(kLeft);
    Steps(1);
    EXPECT_FLOAT_EQ(car.steer, 0.36f);
    car.steer = 44.9f;
    Steps(2);
    EXPECT_FLOAT_EQ(car.steer, 45.26f);  // the last step may pass the limit
    OnKeyDown(kRight);  // left wins while both are held
    Steps(1);
    EXPECT_FLOAT_EQ(car.steer, 45.26f);
    OnKeyUp(kLeft);
    OnKeyUp(kRight);
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
    car.frontOnGround = 0;
    car.angularVelocity[1] = 0.0f;
    Lift(3.0f);
    Steps(1);
    EXPECT_EQ(car.angularVelocity[1], 0.0f);
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
    OnKeyDown(kLeft);
    Steps(1);
    EXPECT_EQ(car.wheelSpeed, 0.0f);
    EXPECT_FLOAT_EQ(car.steer, 0.36f);
    gStandings.countdown = 0.999f;
    Steps(1);
    EXPECT_FLOAT_EQ(car.wheelSpeed, 0.06f);
    // Computer cars too.
    ResetRaceWorld(2);
    SetGate(0, -1.0f, -20.0f, 1.0f, -20.0f);
    PlaceCar(1, 0.0f, 0.0f);
    gStandings.countdown = 1.5f;
    UpdateCar(gCars[1]);
    EXPECT_EQ(gCars[1].wheelSpeed, 0.0f);
}

TEST_F(CarTest, SpeedsAreHeldWithinTwentyAndSteepGroundPushesDown)
{
    car.velocity[0] = 50.0f;
    car.velocity[2] = -50.0f;
    car.wheelPoint[0].vy = -80.0f;
    Lift(3.0f);
    Steps(1);
    EXPECT_EQ(car.velocity[0], 20.0f);
    EXPECT_EQ(car.velocity[2], -20.0f);
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

TEST_F(CarTest, MouseSteeringScalesWithTheFrameSteps)
{
    gPrefs.mousesteering = 0;
    gPrefs.mousesensitivity = 10;
    gMouse.dx = 25;
    gClock.frameSteps = 8;  // one of the eight steps of a 16 ms frame
    Steps(1);
    EXPECT_FLOAT_EQ(car.steer, -1.0f);  // 25 / 250 * 10 * 8 / 8 to the right
    gClock.frameSteps = 16;  // half the frame rate: twice the steps and the movement
    gMouse.dx = 50;
    Steps(16);
    EXPECT_FLOAT_EQ(car.steer, -17.0f);  // 16 more: what two 8-step frames of 25 give
    gMouse.dx = -10000;
    Steps(1);
    EXPECT_EQ(car.steer, 45.0f);
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
    gRaceSetup.carCount = 1;  // one car alone never shows it
    UpdateCar(gCars[0]);
    EXPECT_EQ(gStandings.medalShown[0][0], 0);
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

class UnstuckTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetRaceWorld(1);
        gPrefs.nplayers = 0;  // computer cars only
        TakeRaceSetupFromPrefs();
        SetGate(0, -1.0f, -2.0f, -1.0f, 2.0f);  // centre (-1, 0)
        SetGate(1, 9.0f, -2.0f, 9.0f, 2.0f);
        gStandings.countdown = 0.0f;
    }
};

TEST_F(UnstuckTest, ACarPutBackStandsAtItsLastGate)
{
    // A car put back stands at its last gate facing the next gate, or two
    // units back when another car stands there.
    ResetRaceWorld(2);
    SetGate(0, -1.0f, -2.0f, -1.0f, 2.0f);
    SetGate(1, -1.0f, -12.0f, -1.0f, -8.0f);  // straight ahead at heading 0
    gCars[1].nextCheckpoint = 1;
    PlaceCar(0, -1.0f, -0.5f);
    PutCarOnCourse(gCars[1]);
    EXPECT_NEAR(gCars[1].heading, 0.0f, 1e-3f);
    EXPECT_FLOAT_EQ(gCars[1].position[2], 2.0f);
    SetGate(0, 39.0f, -2.0f, 39.0f, 2.0f);  // beyond the edge: held inside
    PutCarOnCourse(gCars[1]);
    EXPECT_FLOAT_EQ(gCars[1].position[0], 28.0f);
}

TEST_F(UnstuckTest, AnUnsoundCarIsRepairedInOneStep)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const struct { const char* what; int field; float value; } cases[] = {
        {"NaN speed", 0, nan},
        {"infinite heading", 1, std::numeric_limits<float>::infinity()},
        {"far outside the world", 2, 80.0f},
        {"NaN wheel height", 3, nan},
    };
    for (const auto& c : cases) {
        ResetRaceWorld(1);
        PlaceCar(0, 3.0f, 4.0f);
        gStandings.countdown = 0.0f;
        UpdateCar(gCars[0]);  // a sound step: the last good state
        const Car good = gCars[0];
        Car& car = gCars[0];
        float* targets[] = {&car.velocity[0], &car.heading, &car.position[0], &car.wheelPoint[2].y};
        *targets[c.field] = c.value;
        UpdateCar(car);
        EXPECT_EQ(car.repairs, 1u) << c.what;
        EXPECT_EQ(car.position[0], good.position[0]) << c.what;
        EXPECT_EQ(car.heading, good.heading) << c.what;
        // Gone bad again at once: back on the course (no gates: the middle).
        car.velocity[2] = nan;
        UpdateCar(car);
        EXPECT_EQ(car.repairs, 2u) << c.what;
        EXPECT_TRUE(CarStateIsSound(car)) << c.what;
        EXPECT_EQ(car.position[0], 0.0f) << c.what;
    }
}

}  // namespace
