// The results panel: title and race number, places with ties, totals in a
// tournament, names of people and computer cars, the local rows, and when
// a tournament offers the next track.
#include <gtest/gtest.h>

#include <cstring>

#include "game/menu_logic.h"
#include "game/prefs.h"
#include "game/results_panel.h"
#include "race/standings.h"

namespace {

class Panel : public ::testing::Test {
protected:
    void SetUp() override
    {
        memset(&s, 0, sizeof s);
        memset(&p, 0, sizeof p);
        const char* names[5] = {"ann", "bob", "cy", "dee", "eve"};
        for (int i = 0; i < 5; i++)
            snprintf(p.playername[i], 16, "%s", names[i]);
        p.carCount = 4;
        p.gamemode = 1;
    }
    RaceStandings s;
    Prefs p;
    ResultsPanel panel;
};

TEST_F(Panel, TournamentRowsByTotalWithThisRacesScore)
{
    // Race 2 of 6: two people (one here, one across the network), two computers.
    const float score[4] = {15, 10, 0, 5};
    const float total[4] = {20, 30, 20, 5};
    for (int c = 0; c < 4; c++) {
        s.score[c] = score[c];
        s.total[c] = total[c];
    }
    BuildResultsPanel(s, p, true, 1, 6, "dunes", 0x3u, 0x1u, &panel);
    EXPECT_STREQ(panel.subtitle, "Race 2 of 6: Checkpoint");
    ASSERT_EQ(panel.rowCount, 4);
    const struct {
        uint32_t car;
        const char* place;
        const char* name;
        float score, total;
        bool local;
    } rows[4] = {{1, "1st", "bob", 10, 30, false},
                 {0, "2nd", "ann", 15, 20, true},
                 {2, "2nd", "CPU Pebble", 0, 20, false},
                 {3, "4th", "CPU Skid", 5, 5, false}};
    for (int i = 0; i < 4; i++) {
        SCOPED_TRACE(i);
        EXPECT_EQ(panel.rows[i].car, rows[i].car);
        EXPECT_STREQ(panel.rows[i].placeText, rows[i].place);
        EXPECT_STREQ(panel.rows[i].name, rows[i].name);
        EXPECT_FLOAT_EQ(panel.rows[i].score, rows[i].score);
        EXPECT_FLOAT_EQ(panel.rows[i].total, rows[i].total);
        EXPECT_EQ(panel.rows[i].local, rows[i].local);
    }
}

TEST_F(Panel, SingleRaceByScoreTitledByTrackAndMode)
{
    p.carCount = 3;
    s.score[0] = 0;
    s.score[1] = 10;
    s.score[2] = 5;
    s.total[0] = 99;  // totals do not order a single race
    BuildResultsPanel(s, p, false, 0, 4, "canyon", 0x7u, 0x7u, &panel);
    EXPECT_STREQ(panel.subtitle, "Checkpoint");
    ASSERT_EQ(panel.rowCount, 3);
    EXPECT_EQ(panel.rows[0].car, 1u);
    EXPECT_EQ(panel.rows[2].car, 0u);
    EXPECT_TRUE(panel.rows[2].local);

    p.carCount = 9;  // held to the five cars; no track name
    BuildResultsPanel(s, p, true, 5, 3, "", 0, 0, &panel);
    EXPECT_EQ(panel.rowCount, 5);
    EXPECT_STREQ(panel.title, "Results");
    EXPECT_STREQ(panel.subtitle, "Race 6 of 6: Checkpoint");
}

TEST(ResultsContinue, OfferedOnlyInATournamentWithAnotherTrack)
{
    EXPECT_TRUE(ResultsContinueShown(true, 0, 4) && ResultsContinueShown(true, 2, 4));
    EXPECT_FALSE(ResultsContinueShown(true, 3, 4));  // the fourth and last track
    EXPECT_FALSE(ResultsContinueShown(false, 0, 4) || ResultsContinueShown(true, 0, 1) || ResultsContinueShown(true, 0, 0));
}

}  // namespace

