// The results table: rows by place with the highest value on top, the
// single-race and tournament formats byte for byte, and when the tournament
// offers the next track.
#include <gtest/gtest.h>

#include <cstring>

#include "game/menu_logic.h"
#include "game/prefs.h"
#include "race/standings.h"

namespace {

class Results : public ::testing::Test {
protected:
    void SetUp() override
    {
        memset(&s, 0, sizeof s);
        memset(&p, 0, sizeof p);
        const char* names[5] = {"Ann", "Bob", "Cy", "Dee", "Eve"};
        for (int i = 0; i < 5; i++)
            snprintf(p.playername[i], 16, "%s", names[i]);
    }
    RaceStandings s;
    Prefs p;
    ResultsTable t;
};

TEST_F(Results, SingleRaceAndTournamentRowsWithTheHighestOnTop)
{
    p.carCount = 3;
    s.score[0] = 10.0f;
    s.score[2] = 5.0f;
    const uint32_t ascending[3] = {1, 2, 0};
    memcpy(s.rankByScore, ascending, sizeof ascending);
    BuildResultsTable(s, p, false, &t);
    EXPECT_STREQ(t.header, "  Score:         Name:");
    ASSERT_EQ(t.rowCount, 3);
    const char* rows[3] = {"     0.0           Bob", "     5.0            Cy", "    10.0           Ann"};
    for (int i = 0; i < 3; i++) {
        EXPECT_STREQ(t.rows[i], rows[i]);
        EXPECT_NEAR(t.rowY[i], 0.655f + 0.035f * i, 1e-6);
        EXPECT_EQ(t.rowCar[i], ascending[i]);
    }
    // A tournament orders by total and shows this race's score too.
    p.carCount = 2;
    s.total[0] = 15.5f;
    s.total[1] = 20.0f;
    s.score[0] = 5.0f;
    s.rankByTotal[0] = 0;
    s.rankByTotal[1] = 1;
    BuildResultsTable(s, p, true, &t);
    EXPECT_STREQ(t.header, "Total Score:  Score:         Name:");
    ASSERT_EQ(t.rowCount, 2);
    EXPECT_STREQ(t.rows[1], "        20.0     0.0           Bob");
    EXPECT_STREQ(t.rows[0], "        15.5     5.0           Ann");
}

TEST_F(Results, FiveCarsAndHostileRankings)
{
    p.carCount = 9;  // never more than five rows
    for (uint32_t i = 0; i < 5; i++)
        s.rankByScore[i] = i == 2 ? 77u : i;  // a broken ranking entry
    BuildResultsTable(s, p, false, &t);
    ASSERT_EQ(t.rowCount, 5);
    EXPECT_NEAR(t.rowY[0], 0.725f - 4 * 0.035f, 1e-6);
    EXPECT_LE(t.rowCar[2], 4u);
}

TEST(ResultsContinue, OfferedOnlyInATournamentWithAnotherTrack)
{
    EXPECT_TRUE(ResultsContinueShown(true, 0, 4) && ResultsContinueShown(true, 2, 4));
    EXPECT_FALSE(ResultsContinueShown(true, 3, 4));  // the fourth and last track
    EXPECT_FALSE(ResultsContinueShown(false, 0, 4) || ResultsContinueShown(true, 0, 1) || ResultsContinueShown(true, 0, 0));
}

}  // namespace
