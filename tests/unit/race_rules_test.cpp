// The race's rules: world edge, gates, laps, posts, contacts, the tag,
// standings, race end and the final scores of races and tournaments.
#include <gtest/gtest.h>

#include <cmath>

#include "game/tournament.h"
#include "race_world.h"

namespace {

class RaceTest : public ::testing::Test {
protected:
    void SetUp() override { ResetRaceWorld(2); }
    // Five gates 10 apart along x, each from x - 1 to x + 1 at z = 0.
    void FiveGates()
    {
        for (int g = 0; g < 5; g++)
            SetGate(g, 10.0f * g - 1.0f, 0.0f, 10.0f * g + 1.0f, 0.0f);
    }
};

TEST_F(RaceTest, TheWorldEdgePushesTheFirstOutsideCornerBack)
{
    SetSquareCorners(0, 0.0f, 0.0f, 0.5f);
    gCars[0].corner[2][0] = -32.4f;
    gCars[0].corner[3][0] = -40.0f;  // later corners do not count
    gCars[0].velocity[0] = -3.0f;
    gCars[0].corner[1][2] = 30.5f;
    ApplyWorldRules(0);
    EXPECT_NEAR(gCars[0].velocity[0], 0.4f * 500.0f, 1e-3f);  // back to -32 in one step
    EXPECT_NEAR(gCars[0].velocity[2], -0.5f * 500.0f, 1e-3f);
}

TEST_F(RaceTest, GatesCountOnlyInOrder)
{
    FiveGates();
    Car& car = gCars[0];
    car.nextCheckpoint = 2;
    const struct { float x; uint32_t next, laps; } steps[] = {
        {30, 2, 0}, {20, 3, 0}, {20, 3, 0}, {30, 4, 0}, {40, 0, 1}};  // gate 3 first does not count
    for (const auto& s : steps) {
        SetSquareCorners(0, s.x, 0.0f, 0.5f);
        ApplyWorldRules(0);
        EXPECT_EQ(car.nextCheckpoint, s.next) << s.x;
        EXPECT_EQ(car.lapsDone, s.laps) << s.x;
    }
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

TEST_F(ContactTest, CarsTouchWithinOnePointSixAndBounce)
{
    ApplyWorldRules(0);
    // car = (0.505 * delta - 1.01 * u) * 1.025, other = (0.505 * delta + 1.01 * v) * -1.025,
    // then the same from the other car's side with the speeds just written.
    const float v0 = (0.505f * -1.59f + 1.01f) * 1.025f, v1 = (0.505f * -1.59f + 1.01f) * -1.025f;
    EXPECT_FLOAT_EQ(gCars[1].velocity[0], (0.505f * 1.59f - 1.01f * v0) * 1.025f);
    EXPECT_FLOAT_EQ(gCars[0].velocity[0], (0.505f * 1.59f + 1.01f * v1) * -1.025f);
    // Height counts one and a half times: sqrt(1.44 + 1.5) > 1.6.
    SetUp();
    PlaceCar(1, 1.2f, 0.0f, 0.0f, 1.0f);
    ApplyWorldRules(0);
    EXPECT_EQ(gCars[0].velocity[0], 1.0f);
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
}

TEST_F(ContactTest, TouchingTheHolderTakesTheTagWithACooldown)
{
    gRaceSetup.gamemode = 1;  // no tag in the checkpoint mode
    gStandings.tagHolder = 1;
    ApplyWorldRules(0);
    EXPECT_EQ(gStandings.tagHolder, 1);
    SetUp();
    gStandings.tagHolder = 1;
    ApplyWorldRules(0);
    EXPECT_EQ(gStandings.tagHolder, 0);
    EXPECT_EQ(gNet.outSound, 3);
    ApplyWorldRules(1);  // car 1 touches back at once: still cooling down
    EXPECT_EQ(gStandings.tagHolder, 0);
    gCars[1].tagCooldown = 0.0f;
    PlaceCar(0, 0.0f, 0.0f);
    PlaceCar(1, 1.59f, 0.0f);
    ApplyWorldRules(1);
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
}

TEST_F(RaceTest, CheckpointRaceEndsWhenTheLeaderPassesGateZeroAfterItsLaps)
{
    FiveGates();
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
    gStandings.score[0] = 11.0f;  // only the leader counts
    RankByScore();
    EXPECT_FALSE(RaceIsOver());
}

// One race of three cars in a mode, finished as the game finishes it.
void RunRace(int32_t mode, const float (&scores)[3], bool tournament)
{
    gPrefs.gamemode = mode;
    TakeRaceSetupFromPrefs();
    for (int c = 0; c < 3; c++)
        gStandings.score[c] = scores[c];
    RankByScore();
    FinishRace(tournament);
}

TEST(Tournament, AlternatingTournamentScoresBothModesWithPlacePoints)
{
    ResetRaceWorld(3);
    ClearTotals();
    gPrefs.alternate = 1;
    RunRace(0, {5.0f, 30.0f, 25.0f}, true);   // tag: car 1 held it longest
    RunRace(1, {40.0f, 12.5f, 30.0f}, true);  // checkpoints: car 0 wins
    RunRace(0, {1.0f, 2.0f, 60.0f}, true);
    const float totals[3] = {10, 15, 20};
    for (int c = 0; c < 3; c++)
        EXPECT_FLOAT_EQ(gStandings.total[c], totals[c]) << c;
    EXPECT_EQ(gStandings.rankByTotal[2], 2u);
}

TEST(Standings, RankingIsAscendingWithTiesInIndexOrder)
{
    ResetRaceWorld(5);
    const float totals[5] = {1000.0f, -5.0f, 2.0f, 999.0f, 2.0f};
    for (int c = 0; c < 5; c++)
        gStandings.total[c] = gStandings.score[c] = totals[c];
    RankByTotal();
    RankByScore();
    const uint32_t expected[5] = {1, 2, 4, 3, 0};
    for (int p = 0; p < 5; p++) {
        EXPECT_EQ(gStandings.rankByTotal[p], expected[p]) << p;
        EXPECT_EQ(gStandings.rankByScore[p], expected[p]) << p;
    }
}

TEST(Standings, ProgressScoresAndTheirTick)
{
    ResetRaceWorld(3);
    // Gates with centres (0, 0), (0, -10), (10, -10).
    SetGate(0, -1, 0, 1, 0);
    SetGate(1, -1, -10, 1, -10);
    SetGate(2, 9, -10, 11, -10);
    Car& car = gCars[0];
    car.nextCheckpoint = 1;
    car.lapsDone = 2;
    car.position[0] = 0.0f;
    car.position[2] = -4.0f;  // 6 from gate 1, L = 10
    UpdateScore(0);
    EXPECT_FLOAT_EQ(gStandings.score[0], 2 * 3 + 1 + (1.0f - 6.0f / 10.0f));
    car.position[2] = 0.0f;  // the score never falls
    UpdateScore(0);
    EXPECT_FLOAT_EQ(gStandings.score[0], 7.4f);
    // Gate 0 measures from the last gate (10, -10) over sqrt(200).
    car.nextCheckpoint = 0;
    car.lapsDone = 3;
    car.position[2] = -5.0f;
    UpdateScore(0);
    EXPECT_FLOAT_EQ(gStandings.score[0], 9.0f + 1.0f - 5.0f / std::sqrt(200.0f));
    gRaceSetup.gamemode = 0;  // tag: seconds held
    UpdateScore(2);
    EXPECT_FLOAT_EQ(gStandings.score[2], 0.002f);
}

}  // namespace
