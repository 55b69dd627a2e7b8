// Tournaments that alternate the modes: the mode of each race, the set-up
// button's cycle, one table of place points for both modes, the results'
// mode line and the preferences key.
#include <gtest/gtest.h>

#include <string>

#include "game/race_prefs.h"
#include "game/tournament.h"
#include "race/race.h"
#include "race_world.h"
#include "test_util.h"

namespace {

TEST(Tournament, RacesAlternateFromTagAndTheButtonCyclesThreeModes)
{
    SetDefaultPrefs();
    gPrefs.gamemode = 1;
    EXPECT_EQ(TournamentRaceMode(gPrefs, 0), 1);
    EXPECT_EQ(TournamentRaceMode(gPrefs, 3), 1);
    gPrefs.alternate = 1;
    const int32_t expected[6] = {0, 1, 0, 1, 0, 1};
    for (int t = 0; t < 6; t++)
        EXPECT_EQ(TournamentRaceMode(gPrefs, t), expected[t]) << t;

    Prefs p = gPrefs;
    p.alternate = 0;
    p.gamemode = 0;
    const char* names[4] = {"Checkpoint", "Alternate", "Tag!", "Checkpoint"};
    for (const char* name : names) {
        CycleTournamentMode(p);
        EXPECT_STREQ(TournamentModeName(p), name);
    }
}

// One race: the cars' scores (tag seconds or checkpoint progress), ranked,
// finished as the game finishes a race.
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
    // Tag race: car 1 held the tag longest, car 0 least.
    RunRace(0, {5.0f, 30.0f, 25.0f}, true);
    EXPECT_FLOAT_EQ(gStandings.score[0], 0.0f);
    EXPECT_FLOAT_EQ(gStandings.score[1], 10.0f);
    EXPECT_FLOAT_EQ(gStandings.score[2], 5.0f);
    // Checkpoint race: car 0 wins.
    RunRace(1, {40.0f, 12.5f, 30.0f}, true);
    EXPECT_FLOAT_EQ(gStandings.total[0], 10.0f);
    EXPECT_FLOAT_EQ(gStandings.total[1], 10.0f);
    EXPECT_FLOAT_EQ(gStandings.total[2], 10.0f);
    // Tag again: car 2 wins and leads the table; ties keep index order.
    RunRace(0, {1.0f, 2.0f, 60.0f}, true);
    EXPECT_FLOAT_EQ(gStandings.total[0], 10.0f);
    EXPECT_FLOAT_EQ(gStandings.total[1], 15.0f);
    EXPECT_FLOAT_EQ(gStandings.total[2], 20.0f);
    EXPECT_EQ(gStandings.rankByTotal[2], 2u);
    EXPECT_EQ(gStandings.rankByTotal[0], 0u);

    // Without alternation a tag tournament adds the seconds held, and a
    // single race keeps them whatever the preference says.
    ClearTotals();
    gPrefs.alternate = 0;
    RunRace(0, {5.0f, 30.0f, 25.0f}, true);
    EXPECT_FLOAT_EQ(gStandings.total[1], 30.0f);
    gPrefs.alternate = 1;
    RunRace(0, {5.0f, 30.0f, 25.0f}, false);
    EXPECT_FLOAT_EQ(gStandings.score[1], 30.0f);
}

TEST(Tournament, ResultsNameTheModeOfTheRace)
{
    char line[64];
    ResultsModeLine(1, true, 1, 6, line, sizeof line);
    EXPECT_STREQ(line, "Race 2 of 6: Checkpoint");
    ResultsModeLine(0, false, 4, 6, line, sizeof line);
    EXPECT_STREQ(line, "Tag!");
}

TEST(Tournament, PreferenceKeyComesLastAndOnlyWhenSet)
{
    ScratchAppDir dir;
    SetDefaultPrefs();
    SavePrefs();
    const std::string plain = dir.Read("data/prefs.txt");
    EXPECT_EQ(plain.find("alternate"), std::string::npos);
    LoadPrefs();
    EXPECT_EQ(gPrefs.alternate, 0);

    gPrefs.alternate = 1;
    SavePrefs();
    EXPECT_EQ(dir.Read("data/prefs.txt"), plain + "alternate 1\n");
    gPrefs.alternate = 0;
    LoadPrefs();
    EXPECT_EQ(gPrefs.alternate, 1);
}

}  // namespace
