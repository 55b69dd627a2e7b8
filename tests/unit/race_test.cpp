// Race set-up and the world rules: the grid, countdown gating, the order of
// the race step, the world edge, gates and laps, post bounce, car contacts
// and their sounds, the tag, the race-over test and the final scores.
#include <gtest/gtest.h>

#include "race_world.h"

namespace {

class RaceTest : public ::testing::Test {
protected:
    void SetUp() override { ResetRaceWorld(2); }
};

TEST_F(RaceTest, GridOfThreeCars)
{
    ResetRaceWorld(3);
    const float expected[3][3] = {{-3, 5, 5}, {-1, 5, 7}, {1, 5, 9}};
    for (int i = 0; i < 3; i++) {
        for (int k = 0; k < 3; k++)
            EXPECT_EQ(gCars[i].position[k], expected[i][k]);
        EXPECT_EQ(gCars[i].heading, 0.0f);
        EXPECT_EQ(gCars[i].wheelPoint[2].y, 5.0f);
        EXPECT_EQ(gCars[i].frontOnGround, 1);
        EXPECT_EQ(gCars[i].index, (uint32_t)i);
        EXPECT_FLOAT_EQ(gCars[i].wheelCircumference, 1.5707963f);
        EXPECT_EQ(gCameras[i].position[2], expected[i][2] + 5.0f);
        EXPECT_EQ(gCameras[i].fov, 55.0f);
    }
    // Five records are reset, not only the racing ones.
    EXPECT_EQ(gCars[4].position[0], 2.0f * (4 - 1.5f));
    EXPECT_EQ(gStandings.countdown, 4.0f);
    EXPECT_EQ(gStandings.tagHolder, -1);  // checkpoint mode
}

TEST_F(RaceTest, ResetKeepsTheSoundChannelsAndTotals)
{
    gCars[0].squeezeChannel[1] = 7;
    gCars[0].tagChannel = 9;
    gStandings.total[0] = 12.0f;
    gStandings.score[0] = 3.0f;
    gCars[0].lapsDone = 2;
    ResetCars();
    EXPECT_EQ(gCars[0].squeezeChannel[1], 7);
    EXPECT_EQ(gCars[0].tagChannel, 9);
    EXPECT_EQ(gStandings.total[0], 12.0f);
    EXPECT_EQ(gStandings.score[0], 0.0f);
    EXPECT_EQ(gCars[0].lapsDone, 0u);
}

TEST_F(RaceTest, TheFirstStepOnlyStartsTheCountdown)
{
    UpdateRace(kRaceDriving);
    EXPECT_EQ(gCars[0].position[1], 5.0f);  // nothing moved yet
    EXPECT_FLOAT_EQ(gStandings.countdown, 3.998f);
    UpdateRace(kRaceDriving);
    EXPECT_LT(gCars[0].wheelPoint[0].y, 5.0f);  // falling from the second step on
}

TEST_F(RaceTest, OutsideTheRaceStateOnlyTheCamerasMove)
{
    UpdateRace(kRaceDriving);
    UpdateRace(kRaceDriving);
    const Car before = gCars[0];
    const float countdown = gStandings.countdown;
    const float eye = gCameras[0].position[1];
    UpdateRace(kRacePaused);
    EXPECT_EQ(gCars[0].position[1], before.position[1]);
    EXPECT_EQ(gCars[0].wheelPoint[0].y, before.wheelPoint[0].y);
    EXPECT_EQ(gStandings.countdown, countdown);
    EXPECT_NE(gCameras[0].position[1], eye);
    const float eyeNow = gCameras[0].position[1];
    UpdateRace(kRaceOff);
    EXPECT_EQ(gCameras[0].position[1], eyeNow);
}

TEST_F(RaceTest, DustIsSteppedOnlyWhenParticlesAreOn)
{
    gStandings.countdown = 2.0f;
    EmitDust(0, 0, 0, 0, 0, 0, 0.25f, 1.5f, 1.25f);
    const float size = gDust.particles[0].size;
    gRaceSetup.particles = 0;
    UpdateRace(kRaceDriving);
    EXPECT_EQ(gDust.particles[0].size, size);
    gRaceSetup.particles = 1;
    UpdateRace(kRaceDriving);
    EXPECT_FLOAT_EQ(gDust.particles[0].size, size + 1.25f * 0.002f);
}

TEST_F(RaceTest, TheWorldEdgePushesTheFirstOutsideCornerBack)
{
    SetSquareCorners(0, 0.0f, 0.0f, 0.5f);
    gCars[0].corner[2][0] = -32.4f;
    gCars[0].corner[3][0] = -40.0f;  // later corners do not count
    gCars[0].velocity[0] = -3.0f;
    gCars[0].corner[1][2] = 30.5f;
    gCars[0].velocity[2] = 1.0f;
    ApplyWorldRules(0);
    EXPECT_NEAR(gCars[0].velocity[0], 0.4f * 500.0f, 1e-3f);  // back to -32 in one step
    EXPECT_NEAR(gCars[0].velocity[2], -0.5f * 500.0f, 1e-3f);
    SetSquareCorners(0, 0.0f, 0.0f, 0.5f);
    gCars[0].velocity[0] = -3.0f;
    ApplyWorldRules(0);
    EXPECT_EQ(gCars[0].velocity[0], -3.0f);
}

TEST_F(RaceTest, GatesCountOnlyInOrder)
{
    for (int g = 0; g < 5; g++)
        SetGate(g, 10.0f * g - 1.0f, 0.0f, 10.0f * g + 1.0f, 0.0f);
    Car& car = gCars[0];
    car.nextCheckpoint = 2;
    SetSquareCorners(0, 30.0f, 0.0f, 0.5f);  // across gate 3
    ApplyWorldRules(0);
    EXPECT_EQ(car.nextCheckpoint, 2u);
    SetSquareCorners(0, 20.0f, 0.0f, 0.5f);  // gate 2
    ApplyWorldRules(0);
    EXPECT_EQ(car.nextCheckpoint, 3u);
    ApplyWorldRules(0);  // the same gate again
    EXPECT_EQ(car.nextCheckpoint, 3u);
    SetSquareCorners(0, 30.0f, 0.0f, 0.5f);
    ApplyWorldRules(0);
    EXPECT_EQ(car.nextCheckpoint, 4u);
    SetSquareCorners(0, 40.0f, 0.0f, 0.5f);
    ApplyWorldRules(0);
    EXPECT_EQ(car.nextCheckpoint, 0u);
    EXPECT_EQ(car.lapsDone, 1u);
    // The tag mode has no gates.
    gRaceSetup.gamemode = 0;
    SetSquareCorners(0, 0.0f, 0.0f, 0.5f);
    ApplyWorldRules(0);
    EXPECT_EQ(car.nextCheckpoint, 0u);
}

TEST_F(RaceTest, AnEmptyCourseHasNoLaps)
{
    for (int k = 0; k < 10; k++)
        ApplyWorldRules(0);
    EXPECT_EQ(gCars[0].lapsDone, 0u);
    EXPECT_EQ(gCars[0].nextCheckpoint, 0u);
    // A gate index beyond the course wraps to a new lap at once.
    SetGate(0, -1, 50, 1, 50);
    gCars[0].nextCheckpoint = 77;
    ApplyWorldRules(0);
    EXPECT_EQ(gCars[0].nextCheckpoint, 0u);
    EXPECT_EQ(gCars[0].lapsDone, 1u);
}

TEST_F(RaceTest, APostThrowsTheCarBack)
{
    SetGate(0, 4.0f, 10.0f, 6.0f, 10.0f);
    Car& car = gCars[0];
    car.position[0] = 3.0f;
    car.position[2] = 11.0f;
    car.velocity[1] = 2.0f;
    SetSquareCorners(0, 3.5f, 10.0f, 0.5f);  // the right edge runs over the left post
    ApplyWorldRules(0);
    EXPECT_FLOAT_EQ(car.velocity[0], (3.0f - 4.0f) * 0.505f * 1.05f);
    EXPECT_FLOAT_EQ(car.velocity[2], (11.0f - 10.0f) * 0.505f * 1.05f);
    EXPECT_EQ(car.velocity[1], 2.0f);
}

class ContactTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetRaceWorld(2);
        gRaceSetup.gamemode = 0;
        gStandings.tagHolder = -1;
        PlaceCar(0, 0.0f, 0.0f);
        PlaceCar(1, 1.59f, 0.0f);
        gCars[0].velocity[0] = 1.0f;
        gCars[1].velocity[0] = -1.0f;
    }
};

TEST_F(ContactTest, CarsTouchWithinOnePointSix)
{
    ApplyWorldRules(0);
    // car = (0.505 * delta - 1.01 * u) * 1.025, other = (0.505 * delta + 1.01 * v) * -1.025,
    // then the same from the other car's side with the speeds just written.
    const float v0 = (0.505f * -1.59f + 1.01f) * 1.025f, v1 = (0.505f * -1.59f + 1.01f) * -1.025f;
    EXPECT_FLOAT_EQ(gCars[1].velocity[0], (0.505f * 1.59f - 1.01f * v0) * 1.025f);
    EXPECT_FLOAT_EQ(gCars[0].velocity[0], (0.505f * 1.59f + 1.01f * v1) * -1.025f);
    EXPECT_EQ(gCars[0].velocity[2], 0.0f);
    // Then pushed apart beyond reach, so the pass of the higher index finds
    // no contact and leaves the velocities.
    EXPECT_GE(gCars[1].position[0] - gCars[0].position[0], 1.6f);
    const float after0 = gCars[0].velocity[0], after1 = gCars[1].velocity[0];
    ApplyWorldRules(1);
    EXPECT_EQ(gCars[0].velocity[0], after0);
    EXPECT_EQ(gCars[1].velocity[0], after1);
}

TEST_F(ContactTest, HeightCountsOneAndAHalfTimes)
{
    PlaceCar(1, 1.2f, 0.0f, 0.0f, 1.0f);  // sqrt(1.44 + 1.5) > 1.6
    gCars[1].velocity[0] = -1.0f;
    ApplyWorldRules(0);
    EXPECT_EQ(gCars[0].velocity[0], 1.0f);
    EXPECT_EQ(gCars[1].velocity[0], -1.0f);
}

TEST_F(ContactTest, ContactPointsLieOnTheFrontAxle)
{
    // Car 1 faces +z: its contact point is 1.0 behind the other's.
    PlaceCar(1, 0.0f, -1.6f, 180.0f);  // contact points -0.5 and -1.1: 0.6 apart
    ApplyWorldRules(0);
    EXPECT_NE(gCars[0].velocity[0], 1.0f);
    PlaceCar(1, 0.0f, -2.7f, 0.0f);  // same heading: 2.7 apart
    gCars[0].velocity[0] = 1.0f;
    ApplyWorldRules(0);
    EXPECT_EQ(gCars[0].velocity[0], 1.0f);
}

TEST_F(ContactTest, CarsOutsideTheRaceAreIgnored)
{
    gRaceSetup.carCount = 1;
    ApplyWorldRules(0);
    EXPECT_EQ(gCars[0].velocity[0], 1.0f);
    ApplyWorldRules(1);  // not in the race: nothing happens
    EXPECT_EQ(gCars[1].velocity[0], -1.0f);
}

TEST_F(ContactTest, CollisionSoundsByTheSpeedDifference)
{
    struct Case { float u, v; int sound; };
    // e = |u - v| for velocities along x: > 8.5 loud, > 8.0, > 7.5, else none.
    const Case cases[] = {{-4.3f, 4.3f, 2}, {-4.2f, 4.0f, 1}, {-4.0f, 3.8f, 0}, {-3.7f, 3.7f, -1}};
    for (const Case& c : cases) {
        SetUp();
        gNet.outSound = -1;
        gCars[0].velocity[0] = c.v;
        gCars[1].velocity[0] = c.u;
        ApplyWorldRules(0);
        for (int s = 0; s < 3; s++)
            EXPECT_EQ(gRaceSounds.squeeze[0][s], s == c.sound ? 1 : 0) << c.u << " " << c.v;
        EXPECT_EQ(gNet.outSound, c.sound);
    }
    SetUp();
    gRaceSetup.seffects = 0;
    gCars[0].velocity[0] = 5.0f;
    gCars[1].velocity[0] = -5.0f;
    ApplyWorldRules(0);
    EXPECT_EQ(gRaceSounds.squeeze[0][2], 0);
}

TEST_F(ContactTest, AClientPlaysTheSoundTheHostChose)
{
    gNet.role = kRoleClient;
    gNet.inSound = 3;
    gStandings.tagHolder = 1;
    ApplyWorldRules(0);
    EXPECT_EQ(gRaceSounds.tag[0], 1);
    EXPECT_EQ(gRaceSounds.squeeze[0][0] + gRaceSounds.squeeze[0][1] + gRaceSounds.squeeze[0][2], 0);
    EXPECT_EQ(gNet.outSound, -1);
    SetUp();
    gNet.role = kRoleClient;
    gNet.inSound = 9;  // not a sound
    ApplyWorldRules(0);
    EXPECT_EQ(gRaceSounds.tag[0] + gRaceSounds.squeeze[0][0] + gRaceSounds.squeeze[0][1] +
                  gRaceSounds.squeeze[0][2], 0);
    gNet.role = kRoleNone;
}

TEST_F(ContactTest, TouchingTheHolderTakesTheTagWithACooldown)
{
    gStandings.tagHolder = 1;
    ApplyWorldRules(0);
    EXPECT_EQ(gStandings.tagHolder, 0);
    EXPECT_EQ(gCars[1].tagCooldown, 1.0f);
    EXPECT_EQ(gRaceSounds.tag[0], 1);
    EXPECT_EQ(gNet.outSound, 3);
    ApplyWorldRules(1);  // car 1 touches back at once: still cooling down
    EXPECT_EQ(gStandings.tagHolder, 0);
    // The cooldown runs out after 1.0 s of car steps.
    gStandings.countdown = 0.0f;
    for (int k = 0; k < 499; k++)
        UpdateCar(gCars[1]);
    EXPECT_GT(gCars[1].tagCooldown, 0.0f);
    UpdateCar(gCars[1]);
    UpdateCar(gCars[1]);
    EXPECT_LE(gCars[1].tagCooldown, 0.0f);
    PlaceCar(0, 0.0f, 0.0f);
    PlaceCar(1, 1.59f, 0.0f);
    ApplyWorldRules(1);
    EXPECT_EQ(gStandings.tagHolder, 1);
}

TEST_F(ContactTest, ACarPushedBackFromTheEdgeIsNotBouncedButStillTags)
{
    // Car 0's corner is 0.4 beyond the low x edge: the edge gives it 0.4 * R
    // back inwards.  The car it touches must not receive that speed (it
    // would be thrown out of the world), and car 0 keeps it.
    PlaceCar(0, -31.0f, 0.0f);
    PlaceCar(1, -29.41f, 0.0f);
    SetSquareCorners(0, -31.9f, 0.0f, 0.5f);
    SetSquareCorners(1, -29.4f, 0.0f, 0.5f);
    gCars[1].velocity[0] = -3.0f;
    gStandings.tagHolder = 1;
    ApplyWorldRules(0);
    EXPECT_NEAR(gCars[0].velocity[0], 0.4 * gClock.stepRate, 0.01);
    EXPECT_EQ(gCars[1].velocity[0], -3.0f);
    EXPECT_EQ(gStandings.tagHolder, 0);
    // Both inside again (and touching again): the bounce is back.
    PlaceCar(0, -31.0f, 0.0f);
    PlaceCar(1, -29.41f, 0.0f);
    gCars[1].velocity[0] = -3.0f;
    SetSquareCorners(0, -31.0f, 0.0f, 0.5f);
    SetSquareCorners(1, -29.4f, 0.0f, 0.5f);
    ApplyWorldRules(1);
    EXPECT_NE(gCars[1].velocity[0], -3.0f);
}

TEST_F(ContactTest, NoTagInTheCheckpointMode)
{
    gRaceSetup.gamemode = 1;
    gStandings.tagHolder = 1;
    ApplyWorldRules(0);
    EXPECT_EQ(gStandings.tagHolder, 1);
}

TEST_F(RaceTest, TagRaceEndsWhenTheBestHeldTimeReachesTheLimit)
{
    gRaceSetup.gamemode = 0;
    gRaceSetup.timelimit = 30;
    gStandings.score[0] = 29.999f;
    gStandings.score[1] = 3.0f;
    RankByScore();
    EXPECT_FALSE(RaceIsOver());
    gStandings.score[0] = 30.0f;
    RankByScore();
    EXPECT_TRUE(RaceIsOver());
    FinishRace(false);
    EXPECT_EQ(gStandings.score[0], 30.0f);  // tag scores stay the seconds held
    EXPECT_EQ(gStandings.score[1], 3.0f);
}

TEST_F(RaceTest, CheckpointRaceEndsWhenTheLeaderPassesGateZeroAfterItsLaps)
{
    for (int g = 0; g < 5; g++)
        SetGate(g, 10.0f * g - 1.0f, 0.0f, 10.0f * g + 1.0f, 0.0f);
    gRaceSetup.laps = 3;
    gCars[1].lapsDone = 2;
    gCars[1].nextCheckpoint = 4;
    gStandings.score[1] = 10.0f;
    RankByScore();
    SetSquareCorners(1, 40.0f, 0.0f, 0.5f);  // through gate 4: the third lap
    ApplyWorldRules(1);
    EXPECT_EQ(gCars[1].lapsDone, 3u);
    EXPECT_FALSE(RaceIsOver());
    SetSquareCorners(1, 0.0f, 0.0f, 0.5f);  // gate 0 once more
    ApplyWorldRules(1);
    EXPECT_TRUE(RaceIsOver());
    // Only the leader counts.
    gStandings.score[0] = 11.0f;
    RankByScore();
    EXPECT_FALSE(RaceIsOver());
    // Without gates the race cannot end by laps.
    gCheckpoints.gateCount = 0;
    gCars[0].lapsDone = 5;
    gCars[0].nextCheckpoint = 1;
    EXPECT_FALSE(RaceIsOver());
}

TEST_F(RaceTest, OnACourseOfOneGateTheFinishIsOneMorePass)
{
    SetGate(0, -1, 0, 1, 0);
    gRaceSetup.laps = 3;
    Car& car = gCars[0];
    gStandings.score[0] = 10.0f;
    RankByScore();
    for (int pass = 1; pass <= 3; pass++) {
        SetSquareCorners(0, 0.0f, 0.0f, 0.5f);
        ApplyWorldRules(0);
        ApplyWorldRules(0);  // still across the gate: the same pass
        EXPECT_EQ(car.lapsDone, (uint32_t)pass);
        EXPECT_EQ(car.nextCheckpoint, 0u);
        EXPECT_FALSE(RaceIsOver());
        SetSquareCorners(0, 0.0f, 5.0f, 0.5f);  // off the gate
        ApplyWorldRules(0);
    }
    SetSquareCorners(0, 0.0f, 0.0f, 0.5f);
    ApplyWorldRules(0);
    EXPECT_TRUE(RaceIsOver());
}

TEST_F(RaceTest, LapCountsOutsideTheMenusRange)
{
    SetGate(0, -1, 0, 1, 0);
    SetGate(1, -1, 9, 1, 9);
    gStandings.score[0] = 10.0f;
    RankByScore();
    gCars[0].nextCheckpoint = 1;
    gRaceSetup.laps = -2;  // a hand-edited file: the first gate finishes
    EXPECT_TRUE(RaceIsOver());
    gRaceSetup.laps = 2;
    EXPECT_FALSE(RaceIsOver());
}

TEST_F(RaceTest, FinalCheckpointScoresGoByPlace)
{
    ResetRaceWorld(4);
    const float progress[4] = {7.5f, 12.25f, 3.0f, 9.0f};
    for (int c = 0; c < 4; c++)
        gStandings.score[c] = progress[c];
    gStandings.total[1] = 100.0f;
    RankByScore();
    FinishRace(true);
    EXPECT_EQ(gStandings.score[2], 0.0f);
    EXPECT_EQ(gStandings.score[0], 5.0f);
    EXPECT_EQ(gStandings.score[3], 10.0f);
    EXPECT_EQ(gStandings.score[1], 15.0f);
    EXPECT_EQ(gStandings.total[1], 115.0f);
    EXPECT_EQ(gStandings.total[3], 10.0f);
    EXPECT_EQ(gStandings.rankByTotal[3], 1u);
    EXPECT_EQ(gStandings.rankByTotal[0], 2u);
    // Without a tournament the totals stay.
    FinishRace(false);
    EXPECT_EQ(gStandings.total[1], 115.0f);
}

TEST_F(RaceTest, ARaceRepeatsExactly)
{
    ResetRaceWorld(3);
    gRaceSetup.human[0] = 0;
    gRaceSetup.gamemode = 0;
    ResetCars();
    for (int k = 0; k < 3000; k++)
        UpdateRace(kRaceDriving);
    const Car first = gCars[2];
    const int32_t holder = gStandings.tagHolder;
    ResetRandom();
    ResetCars();
    for (int k = 0; k < 3000; k++)
        UpdateRace(kRaceDriving);
    for (int k = 0; k < 3; k++) {
        EXPECT_EQ(first.position[k], gCars[2].position[k]);
        EXPECT_EQ(first.velocity[k], gCars[2].velocity[k]);
    }
    EXPECT_EQ(first.heading, gCars[2].heading);
    EXPECT_EQ(first.wheelSpeed, gCars[2].wheelSpeed);
    EXPECT_EQ(first.steer, gCars[2].steer);
    EXPECT_EQ(gStandings.tagHolder, holder);
}

TEST(RandomTest, TheSequenceStartsAgainAndStaysNonNegative)
{
    ResetRandom();
    int32_t first[4];
    for (int32_t& r : first)
        r = RandomInt();
    ResetRandom();
    for (int32_t r : first)
        EXPECT_EQ(RandomInt(), r);
    for (int k = 0; k < 100000; k++) {
        int32_t r = RandomInt();
        ASSERT_GE(r, 0);
        ASSERT_LE(r, 32767);
    }
}

}  // namespace
