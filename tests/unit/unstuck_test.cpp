// Cars that cannot go bad or stay stuck: a computer car nosed into the
// world's corner frees itself, cars merged at the edge end apart and inside,
// a car given an unsound state is repaired in the same step, and a car put
// back on the course stands at its last gate facing the next.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "race_world.h"

namespace {

const float kNaN = std::numeric_limits<float>::quiet_NaN();

float ContactDistance(const Car& a, const Car& b)
{
    const float ha = a.heading * 3.141592654f / 180.0f, hb = b.heading * 3.141592654f / 180.0f;
    const float dx = (a.position[0] - 0.5f * sinf(ha)) - (b.position[0] - 0.5f * sinf(hb));
    const float dz = (a.position[2] - 0.5f * cosf(ha)) - (b.position[2] - 0.5f * cosf(hb));
    return sqrtf(dx * dx + dz * dz);
}

class UnstuckTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetRaceWorld(1);
        gPrefs.nplayers = 0;  // computer cars only
        gPrefs.gamemode = 1;
        TakeRaceSetupFromPrefs();
        // Two gates in the middle of the world, 10 apart along x.
        SetGate(0, -1.0f, -2.0f, -1.0f, 2.0f);
        SetGate(1, 9.0f, -2.0f, 9.0f, 2.0f);
    }
};

TEST_F(UnstuckTest, ACarNosedIntoTheCornerFreesItselfWithinAFewSeconds)
{
    // Facing the corner at (-32, -32) from half a body away, heading 45:
    // forward is (-0.71, -0.71).  Driving on it only pushes into the corner.
    PlaceCar(0, -30.6f, -30.6f, 45.0f);
    gStandings.countdown = 0.0f;
    float farthest = 0.0f;
    for (int k = 0; k < 5 * 500; k++) {
        UpdateRace(kRaceDriving);
        const float dx = gCars[0].position[0] + 30.6f, dz = gCars[0].position[2] + 30.6f;
        farthest = fmaxf(farthest, sqrtf(dx * dx + dz * dz));
    }
    EXPECT_GT(farthest, 3.0f);
    EXPECT_GT(gCars[0].position[0], -28.0f);
    EXPECT_EQ(gCars[0].repairs, 0u);
    for (int k = 0; k < 4; k++) {
        EXPECT_GE(gCars[0].corner[k][0], -32.05f);
        EXPECT_GE(gCars[0].corner[k][2], -32.05f);
    }
}

TEST_F(UnstuckTest, ACarPinnedForGoodIsPutBackOnItsCourse)
{
    // Nothing moves a car whose position is held each step: after the watch
    // (2 s) and a reversal that cannot move it, it is put back.
    gCars[0].nextCheckpoint = 1;
    gCars[0].lapsDone = 2;
    gStandings.countdown = 0.0f;
    bool putBack = false;
    for (int k = 0; k < 6 * 500 && !putBack; k++) {
        PlaceCar(0, -20.0f, 20.0f, 45.0f);
        UpdateCar(gCars[0]);
        putBack = fabsf(gCars[0].position[0] + 1.0f) < 0.1f;
    }
    EXPECT_TRUE(putBack);
    EXPECT_NEAR(gCars[0].position[2], 0.0f, 0.1f);
    EXPECT_EQ(gCars[0].nextCheckpoint, 1u);
    EXPECT_EQ(gCars[0].lapsDone, 2u);
}

TEST_F(UnstuckTest, PutBackStandsAtTheLastGateFacingTheNextOrBehindAnotherCar)
{
    ResetRaceWorld(2);
    SetGate(0, -1.0f, -2.0f, -1.0f, 2.0f);  // centre (-1, 0)
    SetGate(1, -1.0f, -12.0f, -1.0f, -8.0f);  // centre (-1, -10): straight ahead at heading 0
    gCars[1].nextCheckpoint = 1;
    gCars[1].velocity[0] = 7.0f;
    gCars[1].wheelSpeed = 9.0f;
    PutCarOnCourse(gCars[1]);
    EXPECT_FLOAT_EQ(gCars[1].position[0], -1.0f);
    EXPECT_FLOAT_EQ(gCars[1].position[2], 0.0f);
    EXPECT_NEAR(gCars[1].heading, 0.0f, 1e-3f);
    EXPECT_EQ(gCars[1].velocity[0], 0.0f);
    EXPECT_EQ(gCars[1].wheelSpeed, 0.0f);
    EXPECT_EQ(gCars[1].nextCheckpoint, 1u);
    // Car 0 stands on the spot: two units further back along the line.
    PlaceCar(0, -1.0f, -0.5f);
    PutCarOnCourse(gCars[1]);
    EXPECT_FLOAT_EQ(gCars[1].position[2], 2.0f);
    // A last gate beyond the edge: held well inside the world.
    SetGate(0, 39.0f, -2.0f, 39.0f, 2.0f);
    PutCarOnCourse(gCars[1]);
    EXPECT_FLOAT_EQ(gCars[1].position[0], 28.0f);
}

TEST_F(UnstuckTest, CarsMergedAtTheEdgeEndApartAndInside)
{
    ResetRaceWorld(2);
    gPrefs.nplayers = 0;
    gPrefs.gamemode = 0;
    TakeRaceSetupFromPrefs();
    gStandings.tagHolder = 1;
    // Both facing the low x edge with their noses past it, almost on top of
    // each other; the countdown keeps them from driving.
    PlaceCar(0, -31.3f, 0.0f, 90.0f);
    PlaceCar(1, -31.1f, 0.3f, 90.0f);
    gStandings.countdown = 3.9f;
    UpdateRace(kRaceDriving);
    EXPECT_GE(ContactDistance(gCars[0], gCars[1]), 1.6f - 1e-4f);
    for (int k = 0; k < 500; k++)
        UpdateRace(kRaceDriving);
    EXPECT_GE(ContactDistance(gCars[0], gCars[1]), 1.6f - 1e-4f);
    for (int c = 0; c < 2; c++) {
        for (int k = 0; k < 4; k++) {
            EXPECT_GE(gCars[c].corner[k][0], -32.05f) << c;
            EXPECT_LE(gCars[c].corner[k][2], 30.0f) << c;
            EXPECT_GE(gCars[c].corner[k][2], -32.0f) << c;
        }
    }
}

TEST_F(UnstuckTest, AnUnsoundCarIsRepairedInOneStep)
{
    struct Case {
        const char* what;
        int field;  // 0 speed x, 1 heading, 2 position x, 3 wheel height
        float value;
    };
    const Case cases[] = {
        {"NaN speed", 0, kNaN},
        {"infinite heading", 1, std::numeric_limits<float>::infinity()},
        {"far outside the world", 2, 80.0f},
        {"NaN wheel height", 3, kNaN},
    };
    for (const Case& c : cases) {
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
        EXPECT_TRUE(CarStateIsSound(car)) << c.what;
        EXPECT_EQ(car.position[0], good.position[0]) << c.what;
        EXPECT_EQ(car.velocity[0], good.velocity[0]) << c.what;
        EXPECT_EQ(car.heading, good.heading) << c.what;
        // Gone bad again at once: back on the course (no gates: the middle).
        car.velocity[2] = kNaN;
        UpdateCar(car);
        EXPECT_EQ(car.repairs, 2u) << c.what;
        EXPECT_TRUE(CarStateIsSound(car)) << c.what;
        EXPECT_EQ(car.position[0], 0.0f) << c.what;
        EXPECT_EQ(car.position[2], 0.0f) << c.what;
    }
}

TEST_F(UnstuckTest, SoundLimits)
{
    // A sound car at the edges of what a step allows is left alone.
    PlaceCar(0, -33.4f, 31.4f);
    gCars[0].velocity[0] = kAbsurdSpeed;
    EXPECT_TRUE(CarStateIsSound(gCars[0]));
    gCars[0].velocity[0] = kAbsurdSpeed * 1.01f;
    EXPECT_FALSE(CarStateIsSound(gCars[0]));
    gCars[0].velocity[0] = 0.0f;
    gCars[0].position[0] = -33.6f;  // more than a car's length (1.5) beyond -32
    EXPECT_FALSE(CarStateIsSound(gCars[0]));
}

}  // namespace
