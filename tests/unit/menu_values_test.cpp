// What the menu buttons step through: set-up cycles, volumes, graphics
// settings and the apply button, steering devices, key binding and name
// entry.
#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "game/menu_logic.h"
#include "game/prefs.h"

namespace {

class MenuValues : public ::testing::Test {
protected:
    void SetUp() override
    {
        memset(&p, 0, sizeof p);
        p.nplayers = 1;
        p.nopponents = 1;
        p.timelimit = 60;
        p.laps = 3;
        p.mousesteering = 3;
        p.gamepadsteering = kNoDevicePlayer;
        p.wheelsteering = kNoDevicePlayer;
        for (int32_t& pad : p.padsteering)
            pad = kNoDevicePlayer;
        p.mousesensitivity = 9;
    }
    Prefs p;
};

TEST_F(MenuValues, PlayersCycleAndLowerTheOpponents)
{
    std::vector<int> seen;
    for (int i = 0; i < 5; i++) {
        CyclePlayers(p);
        seen.push_back(p.nplayers);
    }
    EXPECT_EQ(seen, (std::vector<int>{2, 3, 4, 1, 2}));

    p.nplayers = 3;
    p.nopponents = 2;
    CyclePlayers(p);  // 4 players leave room for one computer car
    EXPECT_EQ(p.nplayers, 4);
    EXPECT_EQ(p.nopponents, 1);
    CyclePlayers(p);  // back to 1: the opponents stay
    EXPECT_EQ(p.nplayers, 1);
    EXPECT_EQ(p.nopponents, 1);
}

TEST_F(MenuValues, OpponentsCycleUpToTheFreeCars)
{
    p.nplayers = 4;
    p.nopponents = 0;
    CycleOpponents(p);
    EXPECT_EQ(p.nopponents, 1);
    CycleOpponents(p);
    EXPECT_EQ(p.nopponents, 0);
    p.nplayers = 1;
    std::vector<int> seen;
    for (int i = 0; i < 6; i++) {
        CycleOpponents(p);
        seen.push_back(p.nopponents);
    }
    EXPECT_EQ(seen, (std::vector<int>{1, 2, 3, 4, 0, 1}));
}

TEST_F(MenuValues, TimeLimitLapsModeSkillAndTrackWrap)
{
    CycleTimeLimit(p);
    EXPECT_EQ(p.timelimit, 10);
    CycleTimeLimit(p);
    EXPECT_EQ(p.timelimit, 15);
    p.laps = 12;
    CycleLaps(p);
    EXPECT_EQ(p.laps, 3);
    CycleLaps(p);
    EXPECT_EQ(p.laps, 4);
    CycleGameMode(p);
    EXPECT_EQ(p.gamemode, 1);
    CycleGameMode(p);
    EXPECT_EQ(p.gamemode, 0);
    p.opponentskill = 2;
    CycleSkill(p);
    EXPECT_EQ(p.opponentskill, 0);
    p.track = 2;
    CycleTrack(p, 3);
    EXPECT_EQ(p.track, 0);
    CycleTrack(p, 0);  // no usable track: nothing to step to
    EXPECT_EQ(p.track, 0);
    EXPECT_STREQ(GameModeName(0), "Tag!");
    EXPECT_STREQ(GameModeName(1), "Checkpoint");
    EXPECT_STREQ(SkillName(1), "Medium");
    EXPECT_STREQ(SkillName(7), "");
}

TEST_F(MenuValues, HandEditedExtremesStayInTheMenusRanges)
{
    p.timelimit = INT32_MIN;  // the file's values are not range-checked
    CycleTimeLimit(p);
    EXPECT_GE(p.timelimit, 10);
    EXPECT_LE(p.timelimit, 64);
    p.laps = INT32_MAX;
    CycleLaps(p);
    EXPECT_GE(p.laps, 3);
    EXPECT_LE(p.laps, 12);
    p.track = INT32_MAX;
    CycleTrack(p, 6);
    EXPECT_GE(p.track, 0);
    EXPECT_LT(p.track, 6);
    EXPECT_EQ(StepVolume(INT32_MIN, true), 0);
    EXPECT_EQ(VolumePercent(INT32_MAX), (int32_t)((int64_t)INT32_MAX * 100 / 224));
}

TEST(MenuVolume, StepsOf32StopAtBothEnds)
{
    EXPECT_EQ(StepVolume(224, false), 224);
    EXPECT_EQ(StepVolume(224, true), 192);
    EXPECT_EQ(StepVolume(0, true), 0);
    EXPECT_EQ(StepVolume(16, true), 0);
    EXPECT_EQ(StepVolume(255, false), 224);
    EXPECT_EQ(StepVolume(200, false), 224);
    EXPECT_EQ(VolumePercent(224), 100);
    EXPECT_EQ(VolumePercent(192), 85);
    EXPECT_EQ(VolumePercent(0), 0);
    EXPECT_EQ(VolumePercent(255), 113);
}

TEST_F(MenuValues, ShadowsStepOffStaticAndThreeDynamicSizes)
{
    p.shadow_resolution = 0;
    p.shadows = 0;
    std::vector<std::string> texts;
    char text[32];
    ShadowText(p, text, sizeof text);
    texts.push_back(text);
    for (int i = 0; i < 5; i++) {
        StepShadows(p);
        ShadowText(p, text, sizeof text);
        texts.push_back(text);
    }
    EXPECT_EQ(texts, (std::vector<std::string>{"Off", "Static", "32x32 Dynamic", "64x64 Dynamic",
                                                "128x128 Dynamic", "Off"}));
    EXPECT_EQ(p.shadow_resolution, 0);
    EXPECT_EQ(p.shadows, 0);
    // Forced off (16-bit colour) reads Off whatever the resolution.
    p.shadow_resolution = 64;
    p.shadows = 0;
    ShadowText(p, text, sizeof text);
    EXPECT_STREQ(text, "Off");
}

TEST(MenuGraphics, ColourDepthAndApplyShownOnlyWhileThePendingModeDiffers)
{
    EXPECT_EQ(StepColourDepth(32), 16);
    EXPECT_EQ(StepColourDepth(16), 32);
    EXPECT_EQ(StepColourDepth(24), 32);
    int32_t w = 1024, h = 768, d = 32;
    EXPECT_FALSE(ApplyShown(w, h, d, 1024, 768, 32));
    EXPECT_TRUE(ApplyShown(1280, h, d, 1024, 768, 32));
    EXPECT_TRUE(ApplyShown(w, 1024, d, 1024, 768, 32));
    d = StepColourDepth(d);
    EXPECT_TRUE(ApplyShown(w, h, d, 1024, 768, 32));
    d = StepColourDepth(d);
    EXPECT_FALSE(ApplyShown(w, h, d, 1024, 768, 32));
}

TEST_F(MenuValues, SteeringDevicesCycleAndTheMouseMovesBetweenPlayers)
{
    p.mousesteering = 0;
    EXPECT_STREQ(DeviceName(PlayerDevice(p, 0)), "Keyboard & Mouse");
    EXPECT_STREQ(DeviceName(PlayerDevice(p, 1)), "Keyboard");
    StepDevice(p, 1);  // player 2 takes the mouse from player 1
    EXPECT_EQ(PlayerDevice(p, 1), kDeviceKeyboardMouse);
    EXPECT_EQ(PlayerDevice(p, 0), kDeviceKeyboard);
    StepDevice(p, 1);
    EXPECT_EQ(PlayerDevice(p, 1), kDeviceGamepad);
    EXPECT_EQ(p.mousesteering, kNoDevicePlayer);
    StepDevice(p, 1);
    EXPECT_EQ(PlayerDevice(p, 1), kDeviceWheel);
    EXPECT_EQ(p.gamepadsteering, kNoDevicePlayer);
    StepDevice(p, 1);
    EXPECT_EQ(PlayerDevice(p, 1), kDeviceKeyboard);
    EXPECT_EQ(p.wheelsteering, kNoDevicePlayer);
    EXPECT_STREQ(DeviceName(kDeviceGamepad), "Gamepad");
    EXPECT_STREQ(DeviceName(kDeviceWheel), "Wheel");
}

TEST(MenuControllers, SensitivityStepsAndNames)
{
    std::vector<int> seen;
    int32_t s = 3;
    for (int i = 0; i < 5; i++) {
        s = StepSensitivity(s);
        seen.push_back(s);
    }
    EXPECT_EQ(seen, (std::vector<int>{6, 9, 12, 15, 3}));
    EXPECT_EQ(StepSensitivity(7), 10);
    EXPECT_EQ(StepSensitivity(-4), 14);
    EXPECT_STREQ(SensitivityName(3), "Very Low");
    EXPECT_STREQ(SensitivityName(9), "Normal");
    EXPECT_STREQ(SensitivityName(15), "Very Fast");
    EXPECT_STREQ(SensitivityName(10), "");
}

TEST(MenuControllers, TheHighestHeldKeyBinds)
{
    uint8_t down[255] = {};
    EXPECT_EQ(HeldKey(down), -1);
    down[16] = 1;  // Shift
    EXPECT_EQ(HeldKey(down), 16);
    down[87] = 1;  // W
    EXPECT_EQ(HeldKey(down), 87);
    down[254] = 1;
    EXPECT_EQ(HeldKey(down), 254);
    down[254] = 0;
    down[0] = 1;
    EXPECT_EQ(HeldKey(down), 87);
}

TEST(MenuNameEntry, TypedTextIsAppendedAndBackspaceRemoves)
{
    char name[16] = "";
    EXPECT_TRUE(EditName(name, "B", false));
    EXPECT_TRUE(EditName(name, "ob7", false));  // digits type digits
    EXPECT_STREQ(name, "Bob7");
    EXPECT_FALSE(EditName(name, " ", false));  // one word: no spaces
    EXPECT_TRUE(EditName(name, "", true));
    EXPECT_STREQ(name, "Bob");
    EXPECT_FALSE(EditName(name, "", false));  // nothing typed this frame
    EXPECT_TRUE(EditName(name, "\xc3\xa9!", false));  // a UTF-8 letter has no glyph; "!" does
    EXPECT_STREQ(name, "Bob!");
    EXPECT_TRUE(EditName(name, "x", true));  // Backspace first, then the text
    EXPECT_STREQ(name, "Bobx");
}

TEST(MenuNameEntry, TwelveCharactersAtMostAndBackspaceOnEmpty)
{
    char name[16] = "";
    EXPECT_TRUE(EditName(name, "abcdefghijklm", false));
    EXPECT_STREQ(name, "abcdefghijkl");  // the thirteenth is refused
    EXPECT_FALSE(EditName(name, "z", false));
    for (int i = 0; i < 12; i++)
        EXPECT_TRUE(EditName(name, "", true));
    EXPECT_STREQ(name, "");
    EXPECT_FALSE(EditName(name, "", true));
    char full[16];
    memset(full, 'x', sizeof full);  // no terminator at all
    EXPECT_FALSE(EditName(full, "a", false));  // 15 characters: longer than typing allows
    EXPECT_EQ(full[15], 0);
    EXPECT_TRUE(EditName(full, "", true));
    EXPECT_EQ(strlen(full), 14u);
}

}  // namespace
