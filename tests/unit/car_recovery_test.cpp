// Getting a car out of trouble: back on the course, the after-step repair of
// an unsound state, and the computer driver's stuck watch.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>

#include "race_world.h"

namespace {

const float kNaN = std::numeric_limits<float>::quiet_NaN();

struct DriverFlags {
    bool accelerate = false, left = false, brake = false, right = false;
};

DriverFlags DriveStep(Car& car)
{
    DriverFlags f;
    DriveComputerCar(car, &f.accelerate, &f.left, &f.brake, &f.right);
    return f;
}

// Steps the driver of a car that goes nowhere unless `move` moves it, until
// `until` holds; the step it held at, or -1 after `limit` steps.
int StepsUntil(Car& car, const std::function<bool(const DriverFlags&)>& until, int limit,
               const std::function<void(const DriverFlags&)>& move = nullptr)
{
    for (int step = 1; step <= limit; step++) {
        const DriverFlags f = DriveStep(car);
        if (move)
            move(f);
        if (until(f))
            return step;
    }
    return -1;
}

class PutOnCourseTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetRaceWorld(3, 2.0f);  // flat ground, not at height 0
        // Three gates: centres (0, 0), (10, -10), (-10, -10).
        SetGate(0, -1.0f, 0.0f, 1.0f, 0.0f);
        SetGate(1, 9.0f, -10.0f, 11.0f, -10.0f);
        SetGate(2, -11.0f, -10.0f, -9.0f, -10.0f);
        PlaceCar(1, 20.0f, 20.0f);
        PlaceCar(2, 22.0f, 20.0f);
    }
    Car& car = gCars[0];
};

TEST_F(PutOnCourseTest, AtRestOnTheLastGateFacingTheNextWithTheRaceKept)
{
    PlaceCar(0, 5.0f, 5.0f, 170.0f, 3.0f);
    car.nextCheckpoint = 1;
    car.lapsDone = 2;
    car.velocity[1] = -7.0f;
    car.angularVelocity[0] = 90.0f;
    car.pitch = 30.0f;
    car.wheelSpeed = 7.0f;
    car.steer = 20.0f;
    car.reverseTimer = 0.5f;
    car.stuckTries = 2;
    PutCarOnCourse(car);
    const float ground = GroundHeight(0.0f, 0.0f, nullptr, nullptr);
    ASSERT_GT(ground, 0.1f);
    EXPECT_NEAR(car.position[0], 0.0f, 1e-5);
    EXPECT_NEAR(car.position[1], ground, 1e-5);
    EXPECT_NEAR(car.position[2], 0.0f, 1e-5);
    // Forward is (-sin h, -cos h): (10, -10) lies at a heading of -45.
    EXPECT_NEAR(car.heading, -45.0f, 1e-3);
    EXPECT_EQ(car.slideHeading, car.heading);
    for (int k = 0; k < 3; k++) {
        EXPECT_EQ(car.velocity[k], 0.0f);
        EXPECT_EQ(car.angularVelocity[k], 0.0f);
    }
    EXPECT_EQ(car.pitch, 0.0f);
    EXPECT_EQ(car.wheelSpeed, 0.0f);
    EXPECT_EQ(car.steer, 0.0f);
    for (const WheelPoint& w : car.wheelPoint)
        EXPECT_NEAR(w.y, ground, 1e-5);
    // The front corners are the ones nearer the next gate.
    auto toGate = [&](int k) { return std::hypot(car.corner[k][0] - 10.0f, car.corner[k][2] + 10.0f); };
    EXPECT_LT(std::max(toGate(0), toGate(1)), std::min(toGate(2), toGate(3)));
    // The race is kept, the stuck watch starts afresh.
    EXPECT_EQ(car.nextCheckpoint, 1u);
    EXPECT_EQ(car.lapsDone, 2u);
    EXPECT_EQ(car.reverseTimer, 0.0f);
    EXPECT_EQ(car.stuckTries, 0);
    EXPECT_EQ(car.stuckTimer, 0.0f);
    EXPECT_TRUE(CarStateIsSound(car));
}

TEST_F(PutOnCourseTest, TheFirstGateComesAfterTheLastAndOutOfRangeNumbersWrap)
{
    car.nextCheckpoint = 0;  // from gate 2 at (-10, -10) towards (0, 0): heading -135
    PutCarOnCourse(car);
    EXPECT_NEAR(car.position[0], -10.0f, 1e-5);
    EXPECT_NEAR(car.position[2], -10.0f, 1e-5);
    EXPECT_NEAR(car.heading, -135.0f, 1e-3);
    car.nextCheckpoint = 7;  // as 1
    PutCarOnCourse(car);
    EXPECT_NEAR(car.position[0], 0.0f, 1e-5);
    EXPECT_NEAR(car.heading, -45.0f, 1e-3);
}

TEST_F(PutOnCourseTest, BacksAlongTheLineWhileAnotherCarStandsThere)
{
    car.nextCheckpoint = 1;
    PlaceCar(1, 0.5f, 0.5f);  // within 2 units of the gate's centre
    PutCarOnCourse(car);
    const float step = 2.0f / std::sqrt(2.0f);  // 2 units back from (10, -10)
    EXPECT_NEAR(car.position[0], -step, 1e-4);
    EXPECT_NEAR(car.position[2], step, 1e-4);
    PlaceCar(2, 0.5f - step, step);  // that spot taken too: 2 more
    PutCarOnCourse(car);
    EXPECT_NEAR(car.position[0], -2.0f * step, 1e-4);
    EXPECT_NEAR(car.position[2], 2.0f * step, 1e-4);
    // The car itself standing on the spot does not push it away.
    PlaceCar(0, 0.0f, 0.0f);
    PlaceCar(1, 20.0f, 20.0f);
    PlaceCar(2, 22.0f, 20.0f);
    PutCarOnCourse(car);
    EXPECT_NEAR(car.position[0], 0.0f, 1e-5);
    EXPECT_NEAR(car.position[2], 0.0f, 1e-5);
}

TEST_F(PutOnCourseTest, OneGateNoCourseAndTheWorldsEdge)
{
    // One gate: 3 units before it, against the way through it (its aim point).
    gCheckpoints.gateCount = 1;
    SetGate(0, 4.0f, 5.0f, 6.0f, 5.0f);
    gCheckpoints.gates[0].aimPoint[2] = 0.0f;  // through it towards -z
    PutCarOnCourse(car);
    EXPECT_NEAR(car.position[0], 5.0f, 1e-5);
    EXPECT_NEAR(car.position[2], 8.0f, 1e-5);
    EXPECT_NEAR(car.heading, 0.0f, 1e-3);
    // No course: the middle of the world, facing -z.
    gCheckpoints.gateCount = 0;
    PlaceCar(0, 7.0f, 7.0f, 90.0f);
    PutCarOnCourse(car);
    EXPECT_NEAR(car.position[0], 0.0f, 1e-5);
    EXPECT_NEAR(car.position[2], 0.0f, 1e-5);
    EXPECT_NEAR(car.heading, 0.0f, 1e-3);
    // A gate by the edge: kept two units inside the world (-30 .. 28).
    SetGate(0, -33.0f, 29.5f, -31.0f, 29.5f);
    SetGate(1, -1.0f, 0.0f, 1.0f, 0.0f);
    car.nextCheckpoint = 1;
    PutCarOnCourse(car);
    EXPECT_NEAR(car.position[0], -30.0f, 1e-5);
    EXPECT_NEAR(car.position[2], 28.0f, 1e-5);
}

class RepairTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetRaceWorld(2);
        SetGate(0, -1.0f, -10.0f, 1.0f, -10.0f);
        SetGate(1, 9.0f, -10.0f, 11.0f, -10.0f);
        PlaceCar(0, 3.0f, 4.0f, 30.0f);
        PlaceCar(1, 20.0f, 20.0f);
        car.nextCheckpoint = 1;
    }
    Car& car = gCars[0];
};

TEST_F(RepairTest, EveryMotionValueFiniteInsideTheWidenedWorldBelowTheSpeedLimit)
{
    ASSERT_TRUE(CarStateIsSound(car));
    ASSERT_EQ(car.bodyLength, 1.5f);
    struct Case {
        const char* what;
        std::function<void(Car&)> change;
        bool sound;
    };
    const Case cases[] = {
        {"NaN height", [](Car& c) { c.position[1] = kNaN; }, false},
        {"infinite velocity", [](Car& c) { c.velocity[2] = INFINITY; }, false},
        {"NaN heading", [](Car& c) { c.heading = kNaN; }, false},
        {"NaN wheel spin", [](Car& c) { c.wheelAngles[3].spin = kNaN; }, false},
        {"NaN corner", [](Car& c) { c.corner[2][1] = kNaN; }, false},
        {"NaN step delta", [](Car& c) { c.stepDelta[5] = kNaN; }, false},
        {"NaN dust timer", [](Car& c) { c.dustTimer[1] = kNaN; }, false},
        {"west edge", [](Car& c) { c.position[0] = -33.5f; }, true},
        {"past the west edge", [](Car& c) { c.position[0] = -33.51f; }, false},
        {"north edge", [](Car& c) { c.position[2] = 31.5f; }, true},
        {"past the north edge", [](Car& c) { c.position[2] = 31.51f; }, false},
        {"deep", [](Car& c) { c.position[1] = -1.5f; }, true},
        {"too deep", [](Car& c) { c.position[1] = -1.51f; }, false},
        {"high", [](Car& c) { c.position[1] = 40.0f; }, true},
        {"too high", [](Car& c) { c.position[1] = 40.01f; }, false},
        {"at the speed limit", [](Car& c) { c.velocity[0] = -kAbsurdSpeed; }, true},
        {"over it", [](Car& c) { c.velocity[0] = -40.01f; }, false},
        {"a wheel thrown up", [](Car& c) { c.wheelPoint[1].vy = 40.01f; }, false},
    };
    for (const Case& c : cases) {
        Car copy = car;
        c.change(copy);
        EXPECT_EQ(CarStateIsSound(copy), c.sound) << c.what;
    }
}

TEST_F(RepairTest, BackToTheLastSoundStateThenOnTheCourse)
{
    RepairCar(car);  // sound: kept
    EXPECT_EQ(car.hasGoodState, 1);
    EXPECT_EQ(car.repairs, 0u);
    const Car good = car;
    car.position[0] = 3.5f;
    car.velocity[0] = kNaN;
    RepairCar(car);
    EXPECT_EQ(car.repairs, 1u);
    EXPECT_EQ(car.position[0], good.position[0]);
    EXPECT_EQ(car.velocity[0], good.velocity[0]);
    EXPECT_EQ(car.heading, good.heading);
    EXPECT_EQ(car.hasGoodState, 0);
    // Unsound again at once: the saved state would only lead back here.
    car.heading = kNaN;
    car.position[1] = 1e30f;
    RepairCar(car);
    EXPECT_EQ(car.repairs, 2u);
    EXPECT_TRUE(CarStateIsSound(car));
    EXPECT_NEAR(car.position[0], 0.0f, 1e-5);  // on gate 0, facing gate 1 at +x
    EXPECT_NEAR(car.position[2], -10.0f, 1e-5);
    EXPECT_NEAR(car.heading, -90.0f, 1e-3);
    EXPECT_EQ(car.nextCheckpoint, 1u);
    RepairCar(car);
    EXPECT_EQ(car.hasGoodState, 1);
    EXPECT_EQ(car.repairs, 2u);
}

TEST_F(RepairTest, UnsoundBeforeAnySoundStepGoesStraightOnTheCourse)
{
    car.wheelPoint[0].x = INFINITY;
    RepairCar(car);
    EXPECT_EQ(car.repairs, 1u);
    EXPECT_TRUE(CarStateIsSound(car));
    EXPECT_NEAR(car.position[2], -10.0f, 1e-5);
    EXPECT_EQ(car.wheelPoint[0].z, car.position[2]);
}

// The stuck watch, with a car that moves only when the test moves it.
class StuckTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetRaceWorld(2);
        gRaceSetup.gamemode = 1;
        SetGate(0, -1.0f, -20.0f, 1.0f, -20.0f);  // straight ahead
        SetGate(1, 9.0f, -20.0f, 11.0f, -20.0f);
        PlaceCar(0, 0.0f, 0.0f);
        PlaceCar(1, 25.0f, 25.0f);
        car.nextCheckpoint = 0;
        car.stuckFrom[0] = car.stuckFrom[1] = 0.0f;
    }
    Car& car = gCars[0];
    static bool Braking(const DriverFlags& f) { return f.brake; }
    // The spot it is put on: gate 1's centre, facing gate 0.
    bool OnCourse() const { return std::fabs(car.position[0] - 10.0f) < 1e-4f; }
};

TEST_F(StuckTest, TwoSecondsInPlaceThenItBacksOffSteeringFromTheCarBeside)
{
    const int step = StepsUntil(car, Braking, 2000);
    EXPECT_GE(step, 999);  // 2 s of 2 ms steps
    EXPECT_LE(step, 1002);
    EXPECT_EQ(car.stuckTries, 1);
    // Nothing in reach: the nose swings towards the gate, straight ahead
    // (reverseSteer -1 or 1, never 0, so the car turns).
    EXPECT_NE(car.reverseSteer, 0);

    // Another car at the front left: the wheels go left, the nose right.
    for (float side : {-1.5f, 1.5f}) {
        SetUp();
        PlaceCar(1, side, -1.0f);
        const DriverFlags f = [&] {
            DriverFlags last;
            StepsUntil(car, [&](const DriverFlags& g) { last = g; return g.brake; }, 2000);
            return last;
        }();
        EXPECT_TRUE(f.brake && !f.accelerate) << side;
        EXPECT_EQ(f.left, side < 0.0f) << side;
        EXPECT_EQ(f.right, side > 0.0f) << side;
    }
}

TEST_F(StuckTest, APinnedCarGoesBackOnTheCourseAfterItsReversal)
{
    ASSERT_GT(StepsUntil(car, Braking, 2000), 0);
    // The wheels turn backwards but the car does not move: after the second
    // of reversing it is pinned.
    car.wheelSpeed = -1.0f;
    const int step = StepsUntil(car, [&](const DriverFlags&) { return OnCourse(); }, 2000);
    EXPECT_GE(step, 499);
    EXPECT_LE(step, 502);
    EXPECT_NEAR(car.heading, 90.0f, 1e-3);
    EXPECT_EQ(car.stuckTries, 0);
    // Wheels that never turn backwards: the reversal gives up at 2.5 s.
    SetUp();
    ASSERT_GT(StepsUntil(car, Braking, 2000), 0);
    const int stalled = StepsUntil(car, [&](const DriverFlags&) { return OnCourse(); }, 2000);
    EXPECT_GE(stalled, 1248);
    EXPECT_LE(stalled, 1252);
}

TEST_F(StuckTest, ThreeReversalsWithoutGettingClearThenOnTheCourse)
{
    // Each reversal backs the car 1.2 units, to and fro, never 4 units
    // from where the trouble began.
    int reversals = 0;
    bool was = false;
    auto move = [&](const DriverFlags& f) {
        if (f.brake && !was) {
            reversals++;
            car.position[0] = reversals % 2 ? -1.2f : 0.0f;
        }
        car.wheelSpeed = f.brake ? -1.0f : 0.0f;
        was = f.brake;
    };
    const int step = StepsUntil(car, [&](const DriverFlags&) { return OnCourse(); }, 10000, move);
    EXPECT_EQ(reversals, 3);
    // Three times 2 s in place and 1 s back, then 2 s in place once more.
    EXPECT_GE(step, 5495);
    EXPECT_LE(step, 5510);
}

TEST_F(StuckTest, DrivingFourUnitsAwayClearsTheTries)
{
    ASSERT_GT(StepsUntil(car, Braking, 2000), 0);
    car.wheelSpeed = -1.0f;
    car.position[0] = -1.5f;  // backed off far enough: a new spot
    StepsUntil(car, [&](const DriverFlags& f) { return !f.brake; }, 1000);
    EXPECT_EQ(car.stuckTries, 1);
    car.wheelSpeed = 5.0f;
    car.position[2] = -3.0f;  // 3.35 from the origin: not yet clear
    DriveStep(car);
    EXPECT_EQ(car.stuckTries, 1);
    car.position[2] = -4.0f;  // 4.27: clear
    DriveStep(car);
    EXPECT_EQ(car.stuckTries, 0);
}

}  // namespace
