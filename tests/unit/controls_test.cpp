// The controls records: people at this machine write theirs from the keys,
// the network peer's car keeps what the exchange wrote, a demonstration
// writes none, and the car step follows the record (throttle only once the
// countdown allows it).
#include <gtest/gtest.h>

#include "race_world.h"

namespace {

const int kUp = 38, kLeft = 37;

class ControlsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetRaceWorld(2);
        gStandings.countdown = 0.0f;
        PlaceCar(0, 0.0f, 0.0f);
        PlaceCar(1, 5.0f, 0.0f);
    }
};

TEST_F(ControlsTest, ThePeersCarKeepsItsRecordAndFollowsIt)
{
    gNet.role = kRoleHost;
    TakeRaceSetupFromPrefs();
    ASSERT_TRUE(IsHumanCar(1));
    gControls[1] = CarControls{};
    gControls[1].accelerate = 1;
    OnKeyDown(kUp);  // player 1's key: car 0 only
    WriteLocalControls();
    EXPECT_TRUE(gControls[0].accelerate && gControls[1].accelerate && !gControls[1].left);
    UpdateCar(gCars[1]);
    EXPECT_FLOAT_EQ(gCars[1].wheelSpeed, 0.06f);
    gNet.role = kRoleNone;
}

TEST_F(ControlsTest, TheCountdownHoldsTheThrottleButNotTheSteering)
{
    gControls[0] = CarControls{};
    gControls[0].accelerate = gControls[0].left = 1;
    gStandings.countdown = 2.0f;
    UpdateCar(gCars[0]);
    EXPECT_EQ(gCars[0].wheelSpeed, 0.0f);
    EXPECT_FLOAT_EQ(gCars[0].steer, 180.0f * 0.002f);
    EXPECT_EQ(gControls[0].accelerate, 1);  // the record itself is left alone
}

TEST_F(ControlsTest, ADemonstrationWritesNoRecord)
{
    gGame.demo = 1;
    TakeRaceSetupFromPrefs();
    gGame.demo = 0;
    OnKeyDown(kUp);
    OnKeyDown(kLeft);
    WriteLocalControls();
    EXPECT_TRUE(!gControls[0].accelerate && !gControls[0].left && !IsHumanCar(0));
}

}  // namespace
