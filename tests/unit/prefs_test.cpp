// The preferences file: the 36 default lines byte for byte, a round trip,
// the derived counts, values out of range going back to their defaults,
// names with spaces or empty, the sixth name as the peer address.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "app/config.h"
#include "game/menu_logic.h"
#include "game/prefs.h"
#include "game/race_prefs.h"
#include "race/race.h"
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
    void Load(const std::string& text)
    {
        dir.Write("data/prefs.txt", text);
        LoadPrefs();
    }
    bool Saved(const std::string& part)
    {
        SavePrefs();
        return dir.Read("data/prefs.txt").find(part) != std::string::npos;
    }
    ScratchAppDir dir;
};

TEST_F(PrefsTest, MissingFileIsWrittenWithDefaultsAndReadBackWhole)
{
    LoadPrefs();
    EXPECT_EQ(dir.Read("data/prefs.txt"), kDefaultFile);
    EXPECT_NE(dir.Read("log.txt").find("MINOR ERROR (not found): data/prefs.txt [using defaults]"), std::string::npos);
    // Every stored value survives a save and a load.
    gPrefs.laps = 7;
    snprintf(gPrefs.playername[2], 16, "%s", "Bob");
    gPrefs.playerctrls[1][4] = 17;
    gPrefs.medalshowtime = 2.5f;
    const Prefs saved = gPrefs;
    EXPECT_TRUE(Saved("medalshowtime 2.500000\n"));
    LoadPrefs();
    EXPECT_EQ(memcmp(&saved, &gPrefs, sizeof saved), 0);
}

TEST_F(PrefsTest, ValuesOutOfRangeGoBackToTheirDefaults)
{
    const struct { const char* text; int32_t Prefs::*field; int32_t value; } rows[] = {
        {"laps 0", &Prefs::laps, 3}, {"laps 1", &Prefs::laps, 1}, {"musicvolume 9999", &Prefs::musicvolume, 224},
        {"mousesensitivity 0", &Prefs::mousesensitivity, 9}, {"shadow_resolution 48", &Prefs::shadow_resolution, 64},
        {"opponentskill -1", &Prefs::opponentskill, 0}, {"nplayers 0", &Prefs::nplayers, 1},
        {"nopponents 5", &Prefs::nopponents, 1}, {"mousesteering -2", &Prefs::mousesteering, 99},
        {"track 6", &Prefs::track, 5}, {"track -1", &Prefs::track, 5},  // beyond the list: the last
        {"nplayers 4 nopponents 3 screenmode 0", &Prefs::screenmode, 2},  // views follow the players
    };
    for (const auto& r : rows) {
        Load(r.text);
        EXPECT_EQ(gPrefs.*r.field, r.value) << r.text;
    }
    Load("nplayers 4 nopponents 3");
    EXPECT_TRUE(gPrefs.carCount == 5u && gPrefs.viewCount == 3u);  // five cars at most
    Load("medalshowtime nan");
    EXPECT_FLOAT_EQ(gPrefs.medalshowtime, 10.0f);
    gConfig.trackCount = 0;
    Load("track 3");
    EXPECT_EQ(gPrefs.track, 0);  // never -1, even without tracks
    // Codes no key gives, and Escape, go back to the player's default key;
    // "." (190) and F12 (123) are keys and stay.
    Load("player1ctrls 0 255 -7 190 9999 player2ctrls 27 65 83 300 123\n");
    const int32_t keys[2][5] = {{38, 37, 40, 190, 16}, {87, 65, 83, 68, 123}};
    EXPECT_EQ(memcmp(gPrefs.playerctrls, keys, sizeof keys), 0);
    // Overlong words are cut to 15 characters (16, one more than fits, cut
    // inside the name).
    Load("player1name " + std::string(16, 'n') + "\np2p_ip " + std::string(300, '9'));
    EXPECT_EQ(std::string(gPrefs.playername[0]), std::string(15, 'n'));
    EXPECT_EQ(std::string(gPrefs.p2p_ip), std::string(15, '9'));
    EXPECT_STREQ(gPrefs.playername[1], "Green");
    // Sixteen-bit colour switches the shadows off.
    gConfig.depth = 16;
    Load("shadows 1");
    SavePrefs();
    EXPECT_EQ(dir.Read("data/prefs.txt").substr(0, 10), "shadows 0\n");
}

TEST_F(PrefsTest, NamesWithSpacesOrEmptyAndTheSixthAsThePeer)
{
    LoadPrefs();
    // A name with a space is read up to the space; an empty one keeps the
    // keys after it.
    snprintf(gPrefs.playername[0], 16, "%s", "Bob Smith");
    gPrefs.playername[1][0] = 0;
    gPrefs.playerctrls[1][0] = 65;
    EXPECT_TRUE(Saved("player1name Bob Smith\n"));
    EXPECT_TRUE(Saved("player2name \nplayer2ctrls 65 "));
    LoadPrefs();
    EXPECT_STREQ(gPrefs.playername[0], "Bob");
    EXPECT_EQ(gPrefs.playerctrls[0][0], 38);
    EXPECT_TRUE(gPrefs.playername[1][0] == 0 && gPrefs.playerctrls[1][0] == 65);
    Load("p2p_ip 10.0.0.1\nplayer6name 10.0.0.9\n");
    EXPECT_STREQ(gPrefs.p2p_ip, "10.0.0.9");
}

TEST_F(PrefsTest, NamesSpeltLikeKeysSurviveASaveAndALoad)
{
    LoadPrefs();
    snprintf(gPrefs.playername[0], 16, "%s", "laps");
    snprintf(gPrefs.playername[1], 16, "%s", "music");
    gPrefs.playername[2][0] = 0;  // empty, with player3ctrls on the next line
    snprintf(gPrefs.playername[4], 16, "%s", "player6name");
    snprintf(gPrefs.p2p_ip, sizeof gPrefs.p2p_ip, "%s", "track");
    gPrefs.laps = 5;
    gPrefs.playerctrls[2][0] = 65;
    SavePrefs();
    const std::string first = dir.Read("data/prefs.txt");
    ASSERT_NE(first.find("player1name laps\nplayer1ctrls"), std::string::npos);
    ASSERT_NE(first.find("player3name \nplayer3ctrls 65 "), std::string::npos);
    const Prefs saved = gPrefs;
    SetDefaultPrefs();
    LoadPrefs();
    EXPECT_STREQ(gPrefs.playername[0], "laps");
    EXPECT_STREQ(gPrefs.playername[1], "music");
    EXPECT_STREQ(gPrefs.playername[2], "");
    EXPECT_STREQ(gPrefs.playername[4], "player6name");
    EXPECT_STREQ(gPrefs.p2p_ip, "track");
    EXPECT_EQ(memcmp(&saved, &gPrefs, sizeof saved), 0);
    SavePrefs();
    EXPECT_EQ(dir.Read("data/prefs.txt"), first);
    // An empty value at the end of the file, or before a line end of
    // Windows, is empty too; the key after an empty one is read as a key.
    Load("laps 7\nplayer2name \r\nplayer2ctrls 65 66 67 68 69\r\nplayer5name ");
    EXPECT_TRUE(gPrefs.playername[1][0] == 0 && gPrefs.playerctrls[1][4] == 69 && gPrefs.laps == 7);
    EXPECT_STREQ(gPrefs.playername[4], "");
}

TEST_F(PrefsTest, ATournamentLeavesTheSingleRaceTrackAndModeSaved)
{
    LoadPrefs();
    gPrefs.track = 3;
    gPrefs.gamemode = 1;
    gPrefs.alternate = 1;  // Tag! on even tracks, Checkpoint on odd ones
    SavePrefs();
    const std::string before = dir.Read("data/prefs.txt");
    ASSERT_NE(before.find("track 3\n"), std::string::npos);
    for (int32_t track = 0; track < gConfig.trackCount; track++) {
        TakeRaceSetupForTrack(track, true);
        EXPECT_EQ(gRaceSetup.track, track);
        EXPECT_EQ(gRaceSetup.gamemode, track % 2);
        SavePrefs();  // any click in the menus between the races
        EXPECT_EQ(dir.Read("data/prefs.txt"), before) << "after race " << track;
    }
    // A tournament of one mode runs every race in it.
    gPrefs.alternate = 0;
    gPrefs.gamemode = 0;
    TakeRaceSetupForTrack(5, true);
    EXPECT_TRUE(gRaceSetup.track == 5 && gRaceSetup.gamemode == 0);
    // The single race that follows is on the player's own track and mode.
    gPrefs.gamemode = 1;
    TakeRaceSetupForTrack(gPrefs.track, false);
    EXPECT_TRUE(gRaceSetup.track == 3 && gRaceSetup.gamemode == 1);
    TakeRaceSetupForTrack(gConfig.trackCount, false);  // beyond the list: the first
    EXPECT_EQ(gRaceSetup.track, 0);
    EXPECT_EQ(gPrefs.track, 3);
}

TEST_F(PrefsTest, ViewKeyStepsOncePerPress)
{
    Load("nplayers 3");
    InitKeyboard();
    EXPECT_EQ(gPrefs.screenmode, 2);
    for (bool down : {true, true, false, true}) {
        down ? OnKeyDown(48) : OnKeyUp(48);
        CycleScreenMode();
    }
    EXPECT_EQ(gPrefs.screenmode, 1);  // two presses: 2 + 1 wraps at viewCount 3 to 0, then 1
}

}  // namespace

