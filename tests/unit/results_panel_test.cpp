// The results panel: title and race number, places with ties, totals in a
// tournament, names of people and computer cars, the local rows, and when
// a tournament offers the next track.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

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
        for (int i = 0; i < 5; i++)
            snprintf(p.playername[i], 16, "%s", std::vector<const char*>{"ann", "bob", "cy", "dee", "eve"}[i]);
        p.carCount = 4;
        p.gamemode = 1;
    }
    // The rows in one line: "car place name score/total" and "*" for a local row.
    std::string Rows() const
    {
        std::string out;
        char row[80];
        for (int i = 0; i < panel.rowCount; i++) {
            const ResultsPanelRow& r = panel.rows[i];
            snprintf(row, sizeof row, "%u %s %s %g/%g%s; ", r.car, r.placeText, r.name, r.score, r.total, r.local ? "*" : "");
            out += row;
        }
        return out;
    }
    RaceStandings s;
    Prefs p;
    ResultsPanel panel;
};

TEST_F(Panel, TournamentRowsByTotalWithThisRacesScore)
{
    // Race 2 of 6: two people (one here, one across the network), two computers.
    const float score[4] = {15, 10, 0, 5}, total[4] = {20, 30, 20, 5};
    memcpy(s.score, score, sizeof score);
    memcpy(s.total, total, sizeof total);
    BuildResultsPanel(s, p, true, 1, 6, "dunes", 0x3u, 0x1u, &panel);
    EXPECT_STREQ(panel.subtitle, "Race 2 of 6: Checkpoint");
    EXPECT_EQ(Rows(), "1 1st bob 10/30; 0 2nd ann 15/20*; 2 2nd CPU Pebble 0/20; 3 4th CPU Skid 5/5; ");
}

TEST_F(Panel, SingleRaceByScoreTitledByTrackAndMode)
{
    p.carCount = 3;
    s.score[1] = 10;
    s.score[2] = 5;
    s.total[0] = 99;  // totals do not order a single race
    BuildResultsPanel(s, p, false, 0, 4, "canyon", 0x7u, 0x7u, &panel);
    EXPECT_EQ(std::string(panel.title) + "/" + panel.subtitle, "canyon/Checkpoint");
    EXPECT_EQ(Rows(), "1 1st bob 10/0*; 2 2nd cy 5/0*; 0 3rd ann 0/99*; ");
    p.carCount = 9;  // held to the five cars; no track name
    BuildResultsPanel(s, p, true, 5, 3, "", 0, 0, &panel);
    EXPECT_EQ(std::to_string(panel.rowCount) + " " + panel.title + "/" + panel.subtitle, "5 Results/Race 6 of 6: Checkpoint");
}

TEST(ResultsContinue, OfferedOnlyInATournamentWithAnotherTrack)
{
    EXPECT_TRUE(ResultsContinueShown(true, 0, 4) && ResultsContinueShown(true, 2, 4));
    EXPECT_FALSE(ResultsContinueShown(true, 3, 4));  // the fourth and last track
    EXPECT_FALSE(ResultsContinueShown(false, 0, 4) || ResultsContinueShown(true, 0, 1) || ResultsContinueShown(true, 0, 0));
}

}  // namespace

