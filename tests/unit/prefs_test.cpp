// The preferences file: defaults, the 36 lines byte for byte, normalisation,
// the sixth name as the peer address, names with spaces, damaged files.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "app/config.h"
#include "game/game_state.h"
#include "game/prefs.h"
#include "input/devices.h"
#include "test_util.h"

namespace {

const char kDefaultFile[] =
    "shadows 1\nparticles 1\nseffects 1\nmusic 1\nfunnywheels 1\nshadow_resolution 64\n"
    "terrain_pixelskip 1\nmusicvolume 224\nsoundeffectsvolume 224\ngamemode 0\nscreenmode 0\n"
    "track 1\nnplayers 1\nnopponents 1\nopponentskill 0\nmedalshowtime 10.000000\n"
    "mousesteering 3\nmousesensitivity 9\ngamepadsteering 99\nwheelsteering 99\nlaps 3\n"
    "timelimit 60\np2p_ip 192.168.0.2\nplayer1name Blue\nplayer1ctrls 38 37 40 39 16\n"
    "player2name Green\nplayer2ctrls 87 65 83 68 81\nplayer3name Red\n"
    "player3ctrls 73 74 75 76 85\nplayer4name Yellow\nplayer4ctrls 109 104 107 105 106\n"
    "player5name Cyan\nplayer6name 192.168.0.2\npad2steering 99\npad3steering 99\npad4steering 99\ntargetfps 0\n";

class PrefsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        memset(&gConfig, 0, sizeof gConfig);
        gConfig.depth = 32;
        gConfig.trackCount = 6;
    }
    ScratchAppDir dir;
};

TEST_F(PrefsTest, MissingFileIsWrittenWithDefaults)
{
    LoadPrefs();
    EXPECT_EQ(dir.Read("data/prefs.txt"), kDefaultFile);
    EXPECT_EQ(gPrefs.carCount, 2u);
    EXPECT_FLOAT_EQ(gPrefs.playerColour[3][0], 1.0f);
    EXPECT_FLOAT_EQ(gPrefs.playerColour[3][1], 1.0f);
    EXPECT_FLOAT_EQ(gPrefs.playerColour[3][2], 0.0f);
    std::string log = dir.Read("log.txt");
    EXPECT_LT(log.find("MINOR ERROR (not found): data/prefs.txt [using defaults]"), log.find("Saving prefs"));
    EXPECT_LT(log.find("Saving prefs: data/prefs.txt"), log.find("Loading prefs: data/prefs.txt"));
}

TEST_F(PrefsTest, RoundTripKeepsEveryStoredValue)
{
    dir.Write("data/prefs.txt", kDefaultFile);
    LoadPrefs();
    gPrefs.musicvolume = 96;
    gPrefs.gamemode = 1;
    gPrefs.laps = 7;
    snprintf(gPrefs.playername[2], 16, "%s", "Bob");
    gPrefs.playerctrls[1][4] = 17;
    gPrefs.medalshowtime = 2.5f;
    SavePrefs();
    std::string saved = dir.Read("data/prefs.txt");
    LoadPrefs();
    EXPECT_EQ(gPrefs.musicvolume, 96);
    EXPECT_EQ(gPrefs.gamemode, 1);
    EXPECT_EQ(gPrefs.laps, 7);
    EXPECT_STREQ(gPrefs.playername[2], "Bob");
    EXPECT_EQ(gPrefs.playerctrls[1][4], 17);
    EXPECT_FLOAT_EQ(gPrefs.medalshowtime, 2.5f);
    EXPECT_NE(saved.find("medalshowtime 2.500000\n"), std::string::npos);
}

TEST_F(PrefsTest, NormalisationDerivesCountsAndLayout)
{
    dir.Write("data/prefs.txt", "nplayers 4 nopponents 3 screenmode 0");
    LoadPrefs();
    EXPECT_EQ(gPrefs.carCount, 5u);
    EXPECT_EQ(gPrefs.viewCount, 3u);
    EXPECT_EQ(gPrefs.screenmode, 2);
    dir.Write("data/prefs.txt", "nplayers 2 nopponents 0 screenmode 2");
    LoadPrefs();
    EXPECT_EQ(gPrefs.carCount, 2u);
    EXPECT_EQ(gPrefs.screenmode, 1);
}

TEST_F(PrefsTest, TrackBeyondTheListBecomesTheLast)
{
    dir.Write("data/prefs.txt", "track 6");
    LoadPrefs();
    EXPECT_EQ(gPrefs.track, 5);
    dir.Write("data/prefs.txt", "track -1");
    LoadPrefs();
    EXPECT_EQ(gPrefs.track, 5);
    gConfig.trackCount = 0;
    LoadPrefs();
    EXPECT_EQ(gPrefs.track, 0);  // never -1, even without tracks
}

TEST_F(PrefsTest, SixteenBitColourSwitchesShadowsOff)
{
    gConfig.depth = 16;
    dir.Write("data/prefs.txt", "shadows 1");
    LoadPrefs();
    SavePrefs();
    EXPECT_EQ(dir.Read("data/prefs.txt").substr(0, 10), "shadows 0\n");
}

TEST_F(PrefsTest, SixthNameOverridesThePeerAddress)
{
    dir.Write("data/prefs.txt", "p2p_ip 10.0.0.1\nplayer6name 10.0.0.9\n");
    LoadPrefs();
    EXPECT_STREQ(gPrefs.p2p_ip, "10.0.0.9");
}

TEST_F(PrefsTest, MissingMedalTimeKeepsTen)
{
    dir.Write("data/prefs.txt", "laps 5");
    LoadPrefs();
    SavePrefs();
    EXPECT_NE(dir.Read("data/prefs.txt").find("medalshowtime 10.000000\n"), std::string::npos);
}

TEST_F(PrefsTest, NameWithSpaceIsReadUpToTheSpace)
{
    LoadPrefs();
    snprintf(gPrefs.playername[0], 16, "%s", "Bob Smith");
    SavePrefs();
    EXPECT_NE(dir.Read("data/prefs.txt").find("player1name Bob Smith\n"), std::string::npos);
    LoadPrefs();
    EXPECT_STREQ(gPrefs.playername[0], "Bob");
    EXPECT_EQ(gPrefs.playerctrls[0][0], 38);
}

TEST_F(PrefsTest, EmptyNameKeepsTheKeysAfterIt)
{
    LoadPrefs();
    gPrefs.playername[0][0] = 0;
    gPrefs.playerctrls[0][0] = 87;
    SavePrefs();
    EXPECT_NE(dir.Read("data/prefs.txt").find("player1name \nplayer1ctrls 87 "), std::string::npos);
    LoadPrefs();
    EXPECT_STREQ(gPrefs.playername[0], "");
    EXPECT_EQ(gPrefs.playerctrls[0][0], 87);
}

TEST_F(PrefsTest, OverlongAndHostileValuesStayInRange)
{
    dir.Write("data/prefs.txt",
              "player1name " + std::string(300, 'n') + "\np2p_ip " + std::string(40, '9') +
                  "\nnplayers -3 nopponents 99 gamemode 7 opponentskill -1 shadow_resolution 100000 "
                  "terrain_pixelskip 0 musicvolume 9999 mousesteering -2 player2ctrls 300 -1 65 66\n"
                  "medalshowtime nan");
    LoadPrefs();
    EXPECT_EQ(strlen(gPrefs.playername[0]), 15u);
    EXPECT_EQ(strlen(gPrefs.p2p_ip), 15u);
    EXPECT_GE(gPrefs.nplayers, 1);
    EXPECT_LE(gPrefs.carCount, 5u);
    EXPECT_GE(gPrefs.carCount, 1u);
    EXPECT_LE(gPrefs.gamemode, 1);
    EXPECT_GE(gPrefs.opponentskill, 0);
    EXPECT_LE(gPrefs.shadow_resolution, 128);
    EXPECT_EQ(gPrefs.terrain_pixelskip, 1);
    EXPECT_EQ(gPrefs.musicvolume, 224);
    EXPECT_EQ(gPrefs.mousesteering, 99);
    EXPECT_EQ(gPrefs.playerctrls[1][0], 87);
    EXPECT_EQ(gPrefs.playerctrls[1][1], 65);
    EXPECT_EQ(gPrefs.playerctrls[1][2], 65);
    EXPECT_FLOAT_EQ(gPrefs.medalshowtime, 10.0f);
}

TEST_F(PrefsTest, ViewKeyStepsOncePerPress)
{
    dir.Write("data/prefs.txt", "nplayers 3");
    LoadPrefs();
    InitKeyboard();
    EXPECT_EQ(gPrefs.screenmode, 2);
    OnKeyDown(48);
    CycleScreenMode();
    CycleScreenMode();
    EXPECT_EQ(gPrefs.screenmode, 0);  // 2 + 1 reaches viewCount 3: back to 0
    OnKeyUp(48);
    CycleScreenMode();
    OnKeyDown(48);
    CycleScreenMode();
    EXPECT_EQ(gPrefs.screenmode, 1);
}

}  // namespace

TEST_F(PrefsTest, ADemoWritesNothing)
{
    gGame.demo = 1;
    LoadPrefs();  // a missing file: defaults, not written
    gPrefs.nplayers = 4;
    SavePrefs();
    gGame.demo = 0;
    EXPECT_FALSE(dir.Exists("data/prefs.txt"));
    EXPECT_EQ(gPrefs.nplayers, 4);
}
