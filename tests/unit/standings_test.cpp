// Standings: ranking (ties, large and negative values), the reset, the
// checkpoint progress score, medals and the countdown tick.
#include <gtest/gtest.h>

#include <cmath>

#include "race_world.h"

namespace {

class StandingsTest : public ::testing::Test {
protected:
    void SetUp() override { ResetRaceWorld(3); }
};

TEST_F(StandingsTest, RankingIsAscendingWithTiesInIndexOrder)
{
    gStandings.score[0] = 3.0f;
    gStandings.score[1] = 1.0f;
    gStandings.score[2] = 3.0f;
    RankByScore();
    EXPECT_EQ(gStandings.rankByScore[0], 1u);
    EXPECT_EQ(gStandings.rankByScore[1], 0u);
    EXPECT_EQ(gStandings.rankByScore[2], 2u);
}

TEST_F(StandingsTest, RankingPlacesLargeAndNegativeValues)
{
    ResetRaceWorld(5);
    const float totals[5] = {1000.0f, -5.0f, 2.0f, 999.0f, 2.0f};
    for (int c = 0; c < 5; c++)
        gStandings.total[c] = totals[c];
    RankByTotal();
    const uint32_t expected[5] = {1, 2, 4, 3, 0};
    for (int p = 0; p < 5; p++)
        EXPECT_EQ(gStandings.rankByTotal[p], expected[p]) << p;
}

TEST_F(StandingsTest, ResetGivesTheTagToARandomRacingCar)
{
    gRaceSetup.gamemode = 0;
    ResetRandom();
    const int32_t first = RandomInt() % 3;
    ResetRandom();
    gStandings.score[4] = 7.0f;
    gStandings.medalShown[2][3] = 1;
    gStandings.medalTimer[2][0] = 4.0f;
    gStandings.total[1] = 9.0f;
    ResetStandings();
    EXPECT_EQ(gStandings.tagHolder, first);
    EXPECT_EQ(gStandings.score[4], 0.0f);
    EXPECT_EQ(gStandings.medalShown[2][3], 0);
    EXPECT_EQ(gStandings.medalTimer[2][0], 4.0f);  // timers are not touched
    EXPECT_EQ(gStandings.total[1], 9.0f);
    EXPECT_EQ(gStandings.countdown, 4.0f);
    for (int k = 0; k < 50; k++) {
        ResetStandings();
        EXPECT_GE(gStandings.tagHolder, 0);
        EXPECT_LT(gStandings.tagHolder, 3);
    }
    ClearTotals();
    EXPECT_EQ(gStandings.total[1], 0.0f);
}

TEST_F(StandingsTest, CheckpointProgressScore)
{
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
    // The score never falls.
    car.position[2] = 0.0f;
    UpdateScore(0);
    EXPECT_FLOAT_EQ(gStandings.score[0], 7.4f);
    // Gate 0 measures from the last gate (10, -10) over sqrt(200).
    car.nextCheckpoint = 0;
    car.lapsDone = 3;
    car.position[0] = 0.0f;
    car.position[2] = -5.0f;
    UpdateScore(0);
    EXPECT_FLOAT_EQ(gStandings.score[0], 9.0f + 1.0f - 5.0f / std::sqrt(200.0f));
}

TEST_F(StandingsTest, ProgressWithCoincidentGatesAndWithoutGates)
{
    SetGate(0, -1, 0, 1, 0);  // one gate: previous = next, L = 1
    gCars[0].position[0] = 0.0f;
    gCars[0].position[2] = 0.25f;
    UpdateScore(0);
    EXPECT_FLOAT_EQ(gStandings.score[0], 0.75f);
    gCheckpoints.gateCount = 0;
    gStandings.score[1] = 0.0f;
    UpdateScore(1);
    EXPECT_EQ(gStandings.score[1], 0.0f);
    gCheckpoints.gateCount = 1;
    gCars[1].nextCheckpoint = 40;  // outside the course
    UpdateScore(1);
    EXPECT_EQ(gStandings.score[1], 0.0f);
}

TEST_F(StandingsTest, TagScoreGrowsByTheStep)
{
    gRaceSetup.gamemode = 0;
    UpdateScore(2);
    EXPECT_FLOAT_EQ(gStandings.score[2], 0.002f);
    UpdateScore(7);  // no such car: nothing
}

TEST_F(StandingsTest, MedalsAndTheCountdownTick)
{
    gRaceSetup.medalshowtime = 0.004f;
    AwardMedal(1, 0);
    EXPECT_EQ(gStandings.medalShown[1][0], 1);
    TickStandings();
    TickStandings();
    EXPECT_EQ(gStandings.medalShown[1][0], 1);
    TickStandings();  // the timer is used up: hidden on the next tick
    EXPECT_EQ(gStandings.medalShown[1][0], 0);
    EXPECT_FLOAT_EQ(gStandings.countdown, 4.0f - 3 * 0.002f);
    gStandings.countdown = 0.001f;
    TickStandings();
    EXPECT_FLOAT_EQ(gStandings.countdown, -0.001f);
    TickStandings();
    EXPECT_FLOAT_EQ(gStandings.countdown, -0.001f);  // stops below 0
    AwardMedal(0, 0);
    ClearMedal(0, 0);
    EXPECT_EQ(gStandings.medalShown[0][0], 0);
    EXPECT_EQ(gStandings.medalTimer[0][0], 0.0f);
}

TEST_F(StandingsTest, AZeroShowTimeHidesTheMedalAtTheNextTick)
{
    gRaceSetup.medalshowtime = 0.0f;
    AwardMedal(0, 0);
    TickStandings();
    EXPECT_EQ(gStandings.medalShown[0][0], 0);
}

}  // namespace
