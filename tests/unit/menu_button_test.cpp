// The menu button frame by frame: hover, press, click on release, presses
// carried off or brought in, roll-over per item, the colour animation's two
// rates, and the button table's geometry.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "game/menu_logic.h"

namespace {

// The first main-menu button: centre (0.5, 0.7), 256 x 64 of 1024 x 768.
MenuButton MakeButton(int id)
{
    MenuButton b;
    memset(&b, 0xAB, sizeof b);  // SetButtonFromSpec must clear every flag
    SetButtonFromSpec(b, kButtonTable[id]);
    return b;
}

// Pointer over the single-race button (y 0.7 from the bottom = 0.3 from the top).
const float kOnX = 0.5f, kOnY = 0.3f;
const float kOffX = 0.1f, kOffY = 0.9f;

struct Frame {
    uint32_t sounds;
    int32_t state;
};

Frame Step(MenuButton& b, float mx, float my, bool left)
{
    uint32_t sounds = ButtonMouseStep(b, mx, my, left);
    return {sounds, b.state};
}

TEST(MenuButton, HoverPlaysRolloverOnceAndLeavingStopsIt)
{
    MenuButton b = MakeButton(BtnSingleRace);
    Frame f = Step(b, kOffX, kOffY, false);
    EXPECT_EQ(f.state, 0);
    EXPECT_EQ(f.sounds, (uint32_t)kSoundNone);
    f = Step(b, kOnX, kOnY, false);
    EXPECT_EQ(f.state, 1);
    EXPECT_EQ(f.sounds, (uint32_t)kPlayRollover);
    f = Step(b, kOnX + 0.05f, kOnY, false);  // still on it
    EXPECT_EQ(f.state, 1);
    EXPECT_EQ(f.sounds, (uint32_t)kSoundNone);
    f = Step(b, kOffX, kOffY, false);
    EXPECT_EQ(f.state, 0);
    EXPECT_EQ(f.sounds, (uint32_t)kStopRollover);
    f = Step(b, kOffX, kOffY, false);  // stopping happens once
    EXPECT_EQ(f.sounds, (uint32_t)kSoundNone);
}

TEST(MenuButton, PressThenReleaseOverTheButtonClicksForOneFrame)
{
    MenuButton b = MakeButton(BtnSingleRace);
    Step(b, kOnX, kOnY, false);
    Frame press = Step(b, kOnX, kOnY, true);
    EXPECT_EQ(press.state, 2);
    EXPECT_EQ(press.sounds, (uint32_t)kPlayClick);  // the click sounds at the press
    Frame held = Step(b, kOnX, kOnY, true);
    EXPECT_EQ(held.state, 2);
    EXPECT_EQ(held.sounds, (uint32_t)kSoundNone);  // not again while held
    Frame release = Step(b, kOnX, kOnY, false);
    EXPECT_EQ(release.state, 3);
    EXPECT_EQ(release.sounds, (uint32_t)kSoundNone);
    EXPECT_EQ(b.activated, 0);  // transient
    Frame after = Step(b, kOnX, kOnY, false);
    EXPECT_EQ(after.state, 1);
}

TEST(MenuButton, PressCarriedOffTheButtonIsLost)
{
    MenuButton b = MakeButton(BtnSingleRace);
    Step(b, kOnX, kOnY, false);
    EXPECT_EQ(Step(b, kOnX, kOnY, true).state, 2);
    Frame off = Step(b, kOffX, kOffY, true);
    EXPECT_EQ(off.state, 0);
    EXPECT_EQ(off.sounds, (uint32_t)kStopRollover);
    Frame back = Step(b, kOnX, kOnY, true);  // back on, still held
    EXPECT_EQ(back.state, 1);
    EXPECT_EQ(back.sounds, (uint32_t)kSoundNone);
    Frame release = Step(b, kOnX, kOnY, false);
    EXPECT_EQ(release.state, 1);  // no click
    EXPECT_EQ(release.sounds, (uint32_t)kPlayRollover);  // the roll-over comes at the release
}

TEST(MenuButton, HeldButtonMovedOntoAnotherDoesNotClickIt)
{
    MenuButton first = MakeButton(BtnSingleRace);   // y 0.7
    MenuButton second = MakeButton(BtnTournament);  // y 0.6
    const float secondY = 0.4f;
    // Press on the first, drag to the second, release there.
    Step(first, kOnX, kOnY, false);
    Step(second, kOnX, kOnY, false);
    Step(first, kOnX, kOnY, true);
    Step(second, kOnX, kOnY, true);
    Frame a = Step(first, kOnX, secondY, true);
    Frame b = Step(second, kOnX, secondY, true);
    EXPECT_EQ(a.state, 0);
    EXPECT_EQ(b.state, 1);
    EXPECT_EQ(b.sounds, (uint32_t)kSoundNone);  // no roll-over while held, no click
    a = Step(first, kOnX, secondY, false);
    b = Step(second, kOnX, secondY, false);
    EXPECT_EQ(a.state, 0);
    EXPECT_EQ(b.state, 1);
    EXPECT_EQ(b.sounds, (uint32_t)kPlayRollover);
    // A fresh press and release on the second button does click it.
    Step(second, kOnX, secondY, true);
    EXPECT_EQ(Step(second, kOnX, secondY, false).state, 3);
}

TEST(MenuButton, RolloverRestartsForEveryItem)
{
    MenuButton first = MakeButton(BtnSingleRace);
    MenuButton second = MakeButton(BtnTournament);
    EXPECT_EQ(Step(first, kOnX, kOnY, false).sounds, (uint32_t)kPlayRollover);
    EXPECT_EQ(Step(second, kOnX, kOnY, false).sounds, (uint32_t)kSoundNone);
    EXPECT_EQ(Step(first, kOnX, 0.4f, false).sounds, (uint32_t)kStopRollover);
    EXPECT_EQ(Step(second, kOnX, 0.4f, false).sounds, (uint32_t)kPlayRollover);
    EXPECT_EQ(Step(first, kOnX, kOnY, false).sounds, (uint32_t)kPlayRollover);
    EXPECT_EQ(Step(second, kOnX, kOnY, false).sounds, (uint32_t)kStopRollover);
}

TEST(MenuButton, BoundsIncludeTheEdges)
{
    MenuButton b = MakeButton(BtnSingleRace);  // x 0.375 .. 0.625
    EXPECT_TRUE(PointerOverButton(b, 0.375f, kOnY));
    EXPECT_TRUE(PointerOverButton(b, 0.625f, kOnY));
    EXPECT_FALSE(PointerOverButton(b, 0.3749f, kOnY));
    EXPECT_FALSE(PointerOverButton(b, 0.6251f, kOnY));
    // 64 of 768 pixels high: 0.3 +- 1/24 from the top.
    EXPECT_TRUE(PointerOverButton(b, kOnX, 0.3f + 0.0416f));
    EXPECT_TRUE(PointerOverButton(b, kOnX, 0.3f - 0.0416f));
    EXPECT_FALSE(PointerOverButton(b, kOnX, 0.3f + 0.0418f));
    EXPECT_FALSE(PointerOverButton(b, kOnX, 0.3f - 0.0418f));
    // my counts from the top: the bottom-up y of the button is not over it.
    EXPECT_FALSE(PointerOverButton(b, kOnX, 0.7f));
}

TEST(MenuButton, StartButtonPutIntoHoverPlaysNoRollover)
{
    MenuButton b = MakeButton(BtnSingleRace);
    b.hovering = 1;
    b.state = 1;
    Frame f = Step(b, kOnX, kOnY, false);
    EXPECT_EQ(f.state, 1);
    EXPECT_EQ(f.sounds, (uint32_t)kSoundNone);
}

TEST(MenuButtonColour, FallingChannelsMoveTwentyTimesFasterThanRisingOnes)
{
    MenuButton b = MakeButton(BtnSingleRace);  // green hover
    b.state = 1;
    AnimateButtonColour(b, 0.002);
    // Red and blue fall from 1 towards 0 at 20 per second: 1 - 0.04.
    EXPECT_NEAR(b.colour[0], 0.96f, 1e-6);
    EXPECT_NEAR(b.colour[1], 1.0f, 1e-6);
    EXPECT_NEAR(b.colour[2], 0.96f, 1e-6);
    for (int i = 1; i < 25; i++)
        AnimateButtonColour(b, 0.002);
    // After 0.05 s: 0.96^25.
    EXPECT_NEAR(b.colour[0], 0.360397f, 1e-5);

    // Back to idle: the rise towards white takes about a second.
    b.colour[0] = b.colour[2] = 0.0f;
    b.state = 0;
    for (int i = 0; i < 500; i++)
        AnimateButtonColour(b, 0.002);
    EXPECT_NEAR(b.colour[0], 1.0 - std::pow(0.998, 500), 1e-4);  // 0.6325
    EXPECT_NEAR(b.colour[1], 1.0f, 1e-6);
}

TEST(MenuButtonColour, PressedTurnsBlackClickedHoldsAndRedHoverKeepsRed)
{
    MenuButton quit = MakeButton(BtnQuit);
    quit.state = 2;
    AnimateButtonColour(quit, 0.004);  // the longest step of a frame
    EXPECT_NEAR(quit.colour[0], 0.92f, 1e-6);
    quit.state = 3;
    float before[3] = {quit.colour[0], quit.colour[1], quit.colour[2]};
    AnimateButtonColour(quit, 0.004);
    EXPECT_EQ(memcmp(before, quit.colour, sizeof before), 0);
    quit.state = 1;  // red hover: red rises slowly, green and blue fall quickly
    AnimateButtonColour(quit, 0.002);
    EXPECT_NEAR(quit.colour[0], 0.92f + 0.08f * 0.002f, 1e-6);
    EXPECT_NEAR(quit.colour[1], 0.92f - 0.92f * 0.04f, 1e-6);
}

TEST(MenuButtonTable, GeometryAndColoursOfTheLayout)
{
    int players = 0;
    for (int i = 0; i < kButtonCount; i++) {
        MenuButton b = MakeButton(i);
        EXPECT_EQ(b.x, 0.5f) << i;
        EXPECT_EQ(b.state, 0);
        EXPECT_EQ(b.hovering + b.pressed + b.down + b.prevDown + b.activated, 0) << i;
        for (int c = 0; c < 3; c++) {
            EXPECT_EQ(b.colours[0][c], 1.0f);
            EXPECT_EQ(b.colours[2][c], 0.0f);
            EXPECT_EQ(b.colour[c], 1.0f);
        }
        if (strcmp(kButtonTable[i].picture, "player") == 0)
            players++;
    }
    EXPECT_EQ(players, 2);
    MenuButton quit = MakeButton(BtnQuit);
    EXPECT_FLOAT_EQ(quit.w, 0.125f);
    EXPECT_FLOAT_EQ(quit.h, 64.0f / 768.0f);
    EXPECT_FLOAT_EQ(quit.y, 0.2f);
    EXPECT_EQ(quit.colours[1][0], 1.0f);
    EXPECT_EQ(quit.colours[1][1], 0.0f);
    MenuButton volume = MakeButton(BtnMusicVolume);
    EXPECT_FLOAT_EQ(volume.w, 0.5f);
    EXPECT_FLOAT_EQ(volume.h, 32.0f / 768.0f);
    EXPECT_EQ(volume.colours[1][2], 1.0f);  // blue
    EXPECT_STREQ(kButtonTable[BtnTrack].picture, "flimsel");
    EXPECT_STREQ(kButtonTable[BtnBrake].picture, "deccelerate");
    EXPECT_STREQ(kButtonTable[BtnEffectsVolume].picture, "soundeffectsvolume");
    EXPECT_FLOAT_EQ(kButtonTable[BtnResultsContinue].y, 0.4f);
    EXPECT_FLOAT_EQ(kButtonTable[BtnRaceMenuContinue].y, 0.5f);
    EXPECT_EQ(kButtonTable[BtnResolution].hover[1], 1.0f);  // green
    EXPECT_EQ(kButtonTable[BtnResolution].hover[2], 0.0f);
}

}  // namespace
