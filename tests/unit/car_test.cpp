// The car step worked by hand: wheel speed under throttle, brake and free
// rolling, steering and its return, turning geometry, the suspension limit,
// the tag holder's bouncing wheels, countdown gating, devices.
#include <gtest/gtest.h>

#include <cmath>

#include "input/pads.h"
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
    Steps(1500);
    EXPECT_GE(car.wheelSpeed, 10.0f);
    EXPECT_LT(car.wheelSpeed, 10.0f + 30.0f / 11.0f * 0.002f + 1e-4f);
    const float top = car.wheelSpeed;
    Steps(100);
    EXPECT_FLOAT_EQ(car.wheelSpeed, top);
    // Drive speed 10 * 0.25 * 2 pi = 15.7 units per second, forward (-z).
    EXPECT_NEAR(car.velocity[2], -15.7f, 0.1f);
    EXPECT_NEAR(car.velocity[0], 0.0f, 1e-4f);
}

TEST_F(CarTest, BrakingFromRestReversesAtMostTwoRevolutions)
{
    OnKeyDown(kBrake);
    Steps(1);
    EXPECT_FLOAT_EQ(car.wheelSpeed, -0.06f);
    Steps(1499);
    EXPECT_LE(car.wheelSpeed, -2.0f);
    EXPECT_GT(car.wheelSpeed, -2.0f - 30.0f / 3.0f * 0.002f - 1e-4f);
    EXPECT_NEAR(car.velocity[2], 2.0f * car.wheelCircumference, 0.05f);  // backwards, about 3.14
}

TEST_F(CarTest, BrakingSlowsAForwardWheelAndAccelerateWinsOverBrake)
{
    car.wheelSpeed = 4.0f;
    OnKeyDown(kBrake);
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
}

TEST_F(CarTest, SteeringTurnsAtItsRateAndReturnsAtTenPerSecond)
{
    OnKeyDown(kLeft);
    Steps(1);
    EXPECT_FLOAT_EQ(car.steer, 0.36f);
    car.steer = 44.9f;
    Steps(1);
    EXPECT_FLOAT_EQ(car.steer, 45.26f);  // the last step may pass the limit
    Steps(1);
    EXPECT_FLOAT_EQ(car.steer, 45.26f);
    OnKeyDown(kRight);  // left wins while both are held
    Steps(1);
    EXPECT_FLOAT_EQ(car.steer, 45.26f);
    OnKeyUp(kLeft);
    Steps(1);
    EXPECT_FLOAT_EQ(car.steer, 45.26f - 0.36f);
    OnKeyUp(kRight);
    car.steer = 10.0f;
    Steps(1);
    EXPECT_FLOAT_EQ(car.steer, 9.8f);  // 10 - 10 * 10 * 0.002
}

TEST_F(CarTest, TurnRadiusIs999AtZeroSteer)
{
    Steps(1);
    EXPECT_EQ(car.steer, 0.0f);
    EXPECT_EQ(car.turnCircle, 999.0f);
    EXPECT_EQ(car.turnRadius, 999.0f);
    // Straight ahead both front wheels point about 0 (mod 360).
    EXPECT_NEAR(std::remainder(car.wheelAngles[0].steer, 360.0f), 0.0f, 0.2f);
    EXPECT_NEAR(std::remainder(car.wheelAngles[1].steer, 360.0f), 0.0f, 0.2f);
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
    EXPECT_GT(car.angularVelocity[1], 0.0f);  // a left turn
    EXPECT_NEAR(car.angularVelocity[1], 10.0f * std::cos(steer * 3.141592654f / 180.0f) * 0.375f * 20.0f * steer * 0.002f,
                0.05f);
    car.frontOnGround = 0;
    car.angularVelocity[1] = 0.0f;
    for (WheelPoint& w : car.wheelPoint)
        w.y = 3.0f;  // in the air
    car.position[1] = 3.0f;
    Steps(1);
    EXPECT_EQ(car.angularVelocity[1], 0.0f);
}

TEST_F(CarTest, SuspensionPitchNeverAboveFifteen)
{
    car.suspensionPitchRate = 100000.0f;
    Steps(1);
    EXPECT_EQ(car.suspensionPitch, 15.0f);
    car.suspensionPitch = 0.0f;
    car.suspensionPitchRate = -100000.0f;
    Steps(1);
    EXPECT_LT(car.suspensionPitch, -15.0f);  // no lower limit
}

TEST_F(CarTest, TheTagHoldersWheelsBounceOthersStopDead)
{
    gRaceSetup.gamemode = 0;
    gRaceSetup.funnywheels = 1;
    for (WheelPoint& w : car.wheelPoint) {
        w.y = 0.01f;
        w.vy = -10.0f;
    }
    car.position[1] = 0.01f;
    gStandings.tagHolder = 0;
    Steps(1);
    // After gravity -10.05; bounced to +5.025; 0.01 + 5.025 * 0.002.
    for (const WheelPoint& w : car.wheelPoint) {
        EXPECT_FLOAT_EQ(w.vy, 5.025f);
        EXPECT_FLOAT_EQ(w.y, 0.02005f);
    }
    EXPECT_EQ(car.frontOnGround, 1);
    EXPECT_EQ(car.rearOnGround, 1);

    for (WheelPoint& w : car.wheelPoint) {
        w.y = 0.01f;
        w.vy = -10.0f;
    }
    gStandings.tagHolder = 1;  // not this car
    Steps(1);
    for (const WheelPoint& w : car.wheelPoint) {
        EXPECT_FLOAT_EQ(w.vy, -5.0f);  // lands exactly on the ground
        EXPECT_NEAR(w.y, 0.0f, 1e-7f);
    }
}

TEST_F(CarTest, AccelerateIsIgnoredUntilTheCountdownFallsBelowOne)
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
}

TEST_F(CarTest, TheWheelSpeedHoldsWhileTheRearWheelsAreInTheAir)
{
    car.wheelSpeed = 5.0f;
    car.rearOnGround = 0;
    for (WheelPoint& w : car.wheelPoint)
        w.y = 2.0f;
    car.position[1] = 2.0f;
    OnKeyDown(kAccelerate);
    Steps(1);
    EXPECT_EQ(car.wheelSpeed, 5.0f);
    EXPECT_EQ(car.rearOnGround, 0);
    EXPECT_LT(car.velocity[2], 0.0f);  // still pulled toward the drive speed
    EXPECT_FLOAT_EQ(car.wheelAngles[3].spin, 5.0f * 360.0f * 0.002f);
}

TEST_F(CarTest, ACarFallsOntoTheGroundAndSettles)
{
    ResetRaceWorld(1, 1.0f);
    gStandings.countdown = 0.0f;
    Steps(1000);
    EXPECT_NEAR(car.position[1], 1.0f, 1e-3f);
    for (const WheelPoint& w : car.wheelPoint)
        EXPECT_NEAR(w.y, 1.0f, 1e-4f);
    EXPECT_EQ(car.frontOnGround, 1);
    // Body corners: 1.25 ahead of and 0.25 behind the position, 0.625 aside.
    EXPECT_FLOAT_EQ(car.corner[0][0], car.position[0] - 0.625f);
    EXPECT_FLOAT_EQ(car.corner[0][2], car.position[2] - 1.25f);
    EXPECT_FLOAT_EQ(car.corner[3][0], car.position[0] + 0.625f);
    EXPECT_FLOAT_EQ(car.corner[3][2], car.position[2] + 0.25f);
    EXPECT_FLOAT_EQ(car.corner[1][1], car.position[1] + 0.25f);
}

TEST_F(CarTest, SpeedsAreHeldWithinTwenty)
{
    car.velocity[0] = 50.0f;
    car.velocity[2] = -50.0f;
    car.wheelPoint[0].vy = -80.0f;
    car.position[1] = 3.0f;
    for (WheelPoint& w : car.wheelPoint)
        w.y = 3.0f;
    Steps(1);
    EXPECT_EQ(car.velocity[0], 20.0f);
    EXPECT_EQ(car.velocity[2], -20.0f);
    EXPECT_EQ(car.wheelPoint[0].vy, -20.0f);
}

TEST_F(CarTest, SteepGroundPushesTheCarDownTheSlope)
{
    // Ground rising 2 per unit along +x: mean absolute slope 1.0, no push.
    for (int i = 0; i < kGridSize * kGridSize; i++)
        gTerrain.heights[i] = 2.0f * (float)(i % kGridSize);
    for (WheelPoint& w : car.wheelPoint)
        w.y = -100.0f;  // below the ground: every wheel lands this step
    Steps(1);
    ASSERT_TRUE(car.frontOnGround && car.rearOnGround);
    EXPECT_EQ(car.velocity[0], 0.0f);
    // Rising 4 per unit: mean 2.0 > 1.5, vx -= (4 + 4 + 4 + 4)^3 * dt.
    for (int i = 0; i < kGridSize * kGridSize; i++)
        gTerrain.heights[i] = 4.0f * (float)(i % kGridSize);
    PlaceCar(0, 0.0f, 0.0f);
    for (WheelPoint& w : car.wheelPoint)
        w.y = -100.0f;
    Steps(1);
    EXPECT_NEAR(car.velocity[0], -4096.0f * 0.002f, 1e-3f);
    EXPECT_EQ(car.velocity[2], 0.0f);
}

TEST_F(CarTest, ComputerCarsWaitForTheCountdownAndNeverBrake)
{
    ResetRaceWorld(2);
    gRaceSetup.gamemode = 1;
    SetGate(0, -1.0f, -20.0f, 1.0f, -20.0f);
    PlaceCar(1, 0.0f, 0.0f);
    gStandings.countdown = 2.0f;
    UpdateCar(gCars[1]);
    EXPECT_EQ(gCars[1].wheelSpeed, 0.0f);
    gStandings.countdown = 0.5f;
    UpdateCar(gCars[1]);
    EXPECT_FLOAT_EQ(gCars[1].wheelSpeed, 0.06f);
}

TEST_F(CarTest, HumanCarsByPlayersAndTheNetworkPeer)
{
    gPrefs.nplayers = 2;
    TakeRaceSetupFromPrefs();
    EXPECT_TRUE(IsHumanCar(0));
    EXPECT_TRUE(IsHumanCar(1));
    EXPECT_FALSE(IsHumanCar(2));
    gPrefs.nplayers = 1;
    TakeRaceSetupFromPrefs();
    EXPECT_FALSE(IsHumanCar(1));
    gNet.role = kRoleHost;
    TakeRaceSetupFromPrefs();
    EXPECT_TRUE(IsHumanCar(1));
    EXPECT_FALSE(IsHumanCar(2));
    gNet.role = kRoleNone;
    gGame.demo = 1;
    TakeRaceSetupFromPrefs();
    EXPECT_FALSE(IsHumanCar(0));
    gGame.demo = 0;
}

TEST_F(CarTest, MouseWheelAndGamepadSteering)
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
    gMouse.dx = 0;

    gPrefs.mousesteering = kNoDevicePlayer;
    gPrefs.wheelsteering = 0;
    car.steer = 0.0f;
    gJoystick.x = 0.5f;
    Steps(1);
    EXPECT_FLOAT_EQ(car.steer, (-0.5f * 45.0f) * 25.0f * 0.002f);
    // The wheel's pedal: y = -0.5 asks for half the top wheel speed, with
    // the pedal's travel as the factor.
    car.wheelSpeed = 0.0f;
    gJoystick.y = -0.5f;
    Steps(1);
    EXPECT_FLOAT_EQ(car.wheelSpeed, 0.5f * 30.0f * 0.002f);
    car.wheelSpeed = 6.0f;  // above -10 * y = 5: no throttle, no brake
    Steps(1);
    EXPECT_LT(car.wheelSpeed, 6.0f);
    EXPECT_GT(car.wheelSpeed, 6.0f - 0.2f);

    // Pad 1: the stick past its dead zone steers like the wheel, A is full throttle.
    gPrefs.wheelsteering = kNoDevicePlayer;
    gPrefs.gamepadsteering = 0;
    gJoystick.y = 0.0f;
    InitPads();
    const uint8_t guid[16] = {0};
    OnPadAdded(7, guid, "pad");
    OnPadAxis(7, kPadSteerAxis, -22937);  // -0.7
    OnPadButton(7, kPadThrottleButton, true);
    car.steer = 0.0f;
    car.wheelSpeed = 0.0f;
    Steps(1);
    EXPECT_NEAR(car.steer, 0.625f * 45.0f * 25.0f * 0.002f, 1e-3);
    EXPECT_FLOAT_EQ(car.wheelSpeed, 0.06f);
    // The pad belongs to player 0 only; the arrow keys no longer steer.
    OnPadAxis(7, kPadSteerAxis, 0);
    OnPadButton(7, kPadThrottleButton, false);
    OnKeyDown(kRight);
    car.steer = 0.0f;
    Steps(1);
    EXPECT_EQ(car.steer, 0.0f);
}

TEST_F(CarTest, TheLeaderMedalNeedsAStrictlyHigherScore)
{
    ResetRaceWorld(3);
    gStandings.countdown = 0.0f;
    gRaceSetup.gamemode = 0;  // scores change only for the holder
    gStandings.tagHolder = -1;
    gStandings.score[0] = 5.0f;
    gStandings.score[1] = 5.0f;
    gStandings.score[2] = 1.0f;
    UpdateCar(gCars[0]);
    UpdateCar(gCars[1]);
    EXPECT_EQ(gStandings.medalShown[0][0], 0);
    EXPECT_EQ(gStandings.medalShown[1][0], 0);
    gStandings.score[1] = 5.5f;
    UpdateCar(gCars[1]);
    EXPECT_EQ(gStandings.medalShown[1][0], 1);
    EXPECT_EQ(gStandings.medalTimer[1][0], 10.0f);
    // A car outside the race does not count.
    gRaceSetup.carCount = 2;
    gStandings.score[2] = 100.0f;
    UpdateCar(gCars[1]);
    EXPECT_EQ(gStandings.medalShown[1][0], 1);
    // One car alone never shows the medal.
    gRaceSetup.carCount = 1;
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
    EXPECT_EQ(gTerrain.pixelSkip, 2u);
    float sx, sz;
    EXPECT_EQ(GroundHeight(29.55f, 0.0f, &sx, &sz), 0.0f);
}

}  // namespace
