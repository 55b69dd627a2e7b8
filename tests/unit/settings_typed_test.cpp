// What the player wrote or typed survives: names typed through the text
// input read back whole, out-of-range values in prefs.txt go back to their
// defaults, and a press and release between two frames still clicks.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "app/config.h"
#include "game/game_state.h"
#include "game/menu_logic.h"
#include "game/prefs.h"
#include "input/devices.h"
#include "test_util.h"

namespace {

class TypedSettings : public ::testing::Test {
protected:
    void SetUp() override
    {
        memset(&gConfig, 0, sizeof gConfig);
        gConfig.depth = 32;
        gConfig.trackCount = 6;
    }
    ScratchAppDir dir;
};

TEST_F(TypedSettings, TypedNamesReadBackWholeAndDefaultsAreDistinct)
{
    LoadPrefs();
    for (int i = 0; i < 5; i++)
        for (int j = i + 1; j < 5; j++)
            EXPECT_STRNE(gPrefs.playername[i], gPrefs.playername[j]);
    // Backspace the default away, then type as a player would: Shift+A,
    // "l", "i", a space (refused), "c", "e", "2".
    char* name = gPrefs.playername[0];
    while (EditName(name, "", true)) {
    }
    const char* frames[] = {"A", "l", "i", " ", "c", "e", "2"};
    for (const char* typed : frames)
        EditName(name, typed, false);
    EXPECT_STREQ(name, "Alice2");
    SavePrefs();
    LoadPrefs();
    EXPECT_STREQ(gPrefs.playername[0], "Alice2");
    EXPECT_EQ(gPrefs.playerctrls[0][0], 38);  // the keys after the name still read
}

TEST_F(TypedSettings, OutOfRangeValuesGoBackToTheirDefaults)
{
    dir.Write("data/prefs.txt",
              "laps 0 timelimit 0 musicvolume -1 soundeffectsvolume 300 mousesensitivity 0 "
              "shadow_resolution 48 opponentskill 3 nplayers 0 medalshowtime -1 "
              "player1ctrls 0 255 -7 190 9999 player2ctrls 68 65 83 300 123\n");
    LoadPrefs();
    EXPECT_EQ(gPrefs.laps, 3);
    EXPECT_EQ(gPrefs.timelimit, 60);
    EXPECT_EQ(gPrefs.musicvolume, 224);
    EXPECT_EQ(gPrefs.soundeffectsvolume, 224);
    EXPECT_EQ(gPrefs.mousesensitivity, 9);
    EXPECT_EQ(gPrefs.shadow_resolution, 64);
    EXPECT_EQ(gPrefs.opponentskill, 0);
    EXPECT_EQ(gPrefs.nplayers, 1);
    EXPECT_FLOAT_EQ(gPrefs.medalshowtime, 10.0f);
    // Codes no key gives go back to the player's default key; "." (190)
    // and F12 (123) are keys and stay.
    const int32_t p1[5] = {38, 37, 40, 190, 16};
    const int32_t p2[5] = {68, 65, 83, 68, 123};
    for (int k = 0; k < 5; k++) {
        EXPECT_EQ(gPrefs.playerctrls[0][k], p1[k]) << k;
        EXPECT_EQ(gPrefs.playerctrls[1][k], p2[k]) << k;
    }
    // In-range values stay as written.
    dir.Write("data/prefs.txt", "laps 1 timelimit 5 musicvolume 0 mousesensitivity 15");
    LoadPrefs();
    EXPECT_EQ(gPrefs.laps, 1);
    EXPECT_EQ(gPrefs.timelimit, 5);
    EXPECT_EQ(gPrefs.musicvolume, 0);
    EXPECT_EQ(gPrefs.mousesensitivity, 15);
}

TEST_F(TypedSettings, HandWrittenConfigKeysSurviveAMenuSave)
{
    dir.Write("data/config.txt", "loghwinfo 1\nwidth 1280\nheight 1024\nframeratelimit 500\naudiodevice 1\n");
    LoadConfig();
    gConfig.frameratecounter = 0;  // the graphics options' counter value
    SaveConfig();
    EXPECT_EQ(dir.Read("data/config.txt"),
              "width 1280\nheight 1024\ndepth 32\nframeratecounter 0\nframeratelimit 300\n"
              "audiodevice 1\nloghwinfo 1\n");
    LoadConfig();
    EXPECT_EQ(gConfig.frameratelimit, 300u);
    EXPECT_EQ(gConfig.width, 1280);
}

// Pointer over the single-race button, window fractions from the top.
const float kX = 0.5f, kY = 0.3f;

TEST(ClickLatch, APressAndReleaseBetweenTwoFramesStillClicks)
{
    MenuButton b;
    memset(&b, 0, sizeof b);
    SetButtonFromSpec(b, kButtonTable[BtnSingleRace]);
    memset(&gMouse, 0, sizeof gMouse);
    ButtonMouseStep(b, kX, kY, LeftDownThisFrame());  // the pointer comes on
    EndMouseFrame();
    OnMouseButton(0, true);  // down and up again before the next frame
    OnMouseButton(0, false);
    ButtonMouseStep(b, kX, kY, LeftDownThisFrame());
    EXPECT_EQ(b.state, 2);
    EndMouseFrame();
    ButtonMouseStep(b, kX, kY, LeftDownThisFrame());
    EXPECT_EQ(b.state, 3);
    EndMouseFrame();
    ButtonMouseStep(b, kX, kY, LeftDownThisFrame());
    EXPECT_NE(b.state, 3);  // one click, once
    // The right button's release is reported for one frame only.
    OnMouseButton(1, true);
    OnMouseButton(1, false);
    EXPECT_EQ(gMouse.rightClicked, 1);
    EndMouseFrame();
    EXPECT_EQ(gMouse.rightClicked, 0);
}

TEST(ValuesBackward, ARightClickUndoesALeftClick)
{
    Prefs p;
    memset(&p, 0, sizeof p);
    p.nplayers = 1;
    p.nopponents = 1;
    p.laps = 3;
    p.timelimit = 10;
    p.mousesensitivity = 3;
    CycleLaps(p, -1);
    EXPECT_EQ(p.laps, 12);
    CycleTimeLimit(p, -1);
    EXPECT_EQ(p.timelimit, 60);
    CycleTrack(p, 6, -1);
    EXPECT_EQ(p.track, 5);
    CycleSkill(p, -1);
    EXPECT_EQ(p.opponentskill, 2);
    CycleOpponents(p, -1);  // 1 -> 0 -> 4 (five cars with one player)
    CycleOpponents(p, -1);
    EXPECT_EQ(p.nopponents, 4);
    CyclePlayers(p, -1);    // 1 -> 4 players: one computer car is left
    EXPECT_EQ(p.nplayers, 4);
    EXPECT_EQ(p.nopponents, 1);
    EXPECT_EQ(StepSensitivity(3, -1), 15);
    EXPECT_EQ(StepSensitivity(15, 1), 3);
    // Every value returns where it was after one step each way.
    Prefs before = p;
    void (*cycles[])(Prefs&, int) = {CycleGameMode, CycleSkill, CycleTimeLimit, CycleLaps, CycleOpponents};
    for (auto cycle : cycles) {
        cycle(p, 1);
        cycle(p, -1);
        EXPECT_EQ(memcmp(&p, &before, sizeof p), 0);
    }
    p.shadow_resolution = 0;
    for (int32_t expect : {128, 64, 32, 1, 0}) {
        StepShadows(p, -1);
        EXPECT_EQ(p.shadow_resolution, expect);
        EXPECT_EQ(p.shadows, expect != 0 ? 1 : 0);
    }
}

TEST(TextInput, TypedTextCollectsOverAFrameAndIsCutWhenFull)
{
    InitKeyboard();
    OnTextInput("a");
    OnTextInput("\xc3\xa9");
    EXPECT_STREQ(gKeyboard.typed, "a\xc3\xa9");
    OnTextInput(std::string(100, 'x').c_str());
    EXPECT_EQ(strlen(gKeyboard.typed), sizeof gKeyboard.typed - 1);
    EndKeyboardFrame();
    EXPECT_STREQ(gKeyboard.typed, "");
}

}  // namespace
