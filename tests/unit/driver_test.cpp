// The computer driver: its target, steering, throttle and skill caps.
#include <gtest/gtest.h>

#include <cmath>

#include "race_world.h"

namespace {

struct Flags {
    bool accelerate = false, left = false, brake = false, right = false;
};

Flags Drive(Car& car)
{
    Flags f;
    car.stuckTimer = 0.0f;  // the car stands still here: keep the stuck watch out
    DriveComputerCar(car, &f.accelerate, &f.left, &f.brake, &f.right);
    EXPECT_FALSE(f.brake);
    return f;
}

class DriverTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetRaceWorld(2);
        gRaceSetup.gamemode = 1;
        gRaceSetup.opponentskill = 2;
        PlaceCar(0, 0.0f, 0.0f);
        car.wheelSpeed = 5.0f;
        // Gate 0: centre (-2, -10), aim point (3, -10).
        SetGate(0, -3.0f, -10.0f, -1.0f, -10.0f);
        gCheckpoints.gates[0].aimPoint[0] = 3.0f;
    }
    Car& car = gCars[0];
};

TEST_F(DriverTest, FarFromItsGateItSteersAtTheAimPointNearItAtTheCentre)
{
    Flags f = Drive(car);  // 10.2 away: aim point at -16.7 degrees
    EXPECT_TRUE(f.right && !f.left && f.accelerate);
    car.steer = -20.0f;  // it compares with where the front wheels point
    car.position[2] = 0.0f;
    EXPECT_TRUE(Drive(car).left);
    car.steer = 0.0f;
    car.position[2] = -5.5f;  // 4.92 away: centre at +24 degrees
    f = Drive(car);
    EXPECT_TRUE(f.left && !f.right);
    SetGate(0, -1.0f, 10.0f, 1.0f, 10.0f);  // behind the car: no throttle
    EXPECT_FALSE(Drive(car).accelerate);
    car.wheelSpeed = 0.0f;  // unless standing still
    EXPECT_TRUE(Drive(car).accelerate);
}

TEST_F(DriverTest, SkillCapsTheWheelSpeed)
{
    SetGate(0, -1.0f, -20.0f, 1.0f, -20.0f);  // straight ahead
    struct Case { int skill; float wheelSpeed; bool accelerate; };
    const Case cases[] = {{0, 6.6f, true}, {0, 6.7f, false}, {1, 7.9f, true},
                          {1, 8.1f, false}, {2, 9.99f, true}, {2, 12.0f, true}};
    for (const Case& c : cases) {
        gRaceSetup.opponentskill = c.skill;
        car.wheelSpeed = c.wheelSpeed;
        EXPECT_EQ(Drive(car).accelerate, c.accelerate) << c.skill << " " << c.wheelSpeed;
    }
}

TEST_F(DriverTest, TurnsTheShortWayAcrossOneEighty)
{
    // Wanted heading 170, car heading -170: 340 apart, so 170 becomes -190.
    car.heading = -170.0f;
    const float a = 170.0f * 3.141592654f / 180.0f;
    SetGate(0, -10.0f * std::sin(a) - 1.0f, -10.0f * std::cos(a), -10.0f * std::sin(a) + 1.0f,
            -10.0f * std::cos(a));
    Flags f = Drive(car);
    EXPECT_TRUE(f.right && !f.left && f.accelerate);  // 20 degrees off
}

TEST_F(DriverTest, TheTagHolderFleesTheNearestCarAndTheEdges)
{
    gRaceSetup.gamemode = 0;
    gStandings.tagHolder = 0;
    car.wheelSpeed = 9.0f;
    PlaceCar(0, 10.0f, 0.0f);
    PlaceCar(1, 12.0f, -1.0f);  // ahead on the right
    Flags f = Drive(car);
    EXPECT_TRUE(f.left && !f.right && f.accelerate);  // away from it, always accelerating
    PlaceCar(0, -20.0f, 0.0f);
    PlaceCar(1, -18.0f, -1.0f);
    f = Drive(car);
    // Beyond x = -16 the target is x = -33 on the left: turn right, back in.
    EXPECT_TRUE(f.right && !f.left);
}

TEST_F(DriverTest, ChasersAimAheadOfTheHolder)
{
    gRaceSetup.gamemode = 0;
    gStandings.tagHolder = 1;
    car.wheelSpeed = 5.0f;
    PlaceCar(1, 0.0f, -10.0f, 90.0f);  // the holder faces -x
    // d = 10, k = 1.9, lead 2: the target is 3.8 to the holder's front, at
    // (-3.8, -10), 20.8 degrees to the left.
    Flags f = Drive(car);
    EXPECT_TRUE(f.left && !f.right && f.accelerate);
}

}  // namespace
