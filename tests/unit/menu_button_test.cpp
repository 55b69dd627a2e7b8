// The menu button frame by frame: hover, press, click on release, presses
// carried off or brought in, roll-over per item, the click latched between
// frames, the edges, and the colour animation's two rates.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "game/menu_logic.h"
#include "input/devices.h"

namespace {

MenuButton MakeButton(int id)
{
    MenuButton b;
    memset(&b, 0xAB, sizeof b);  // SetButtonFromSpec must clear every flag
    SetButtonFromSpec(b, kButtonTable[id]);
    return b;
}

// Pointer over the single-race button (y 0.7 from the bottom = 0.3 from
// the top), over the tournament button below it, and over neither.
const float kX = 0.5f, kFirstY = 0.3f, kSecondY = 0.4f, kOffY = 0.9f;
const uint32_t kNone = kSoundNone, kRoll = kPlayRollover, kStop = kStopRollover, kClick = kPlayClick;

struct Frame { float y; bool left; int32_t state; uint32_t sounds; };

void Play(MenuButton& b, std::initializer_list<Frame> frames)
{
    int n = 0;
    for (const Frame& f : frames) {
        const uint32_t sounds = ButtonMouseStep(b, kX, f.y, f.left);
        EXPECT_EQ(b.state, f.state) << "frame " << n;
        EXPECT_EQ(sounds, f.sounds) << "frame " << n++;
    }
}

TEST(MenuButton, FrameByFrame)
{
    SCOPED_TRACE("hover plays the roll-over once, leaving stops it once");
    MenuButton b = MakeButton(BtnSingleRace);
    Play(b, {{kOffY, false, 0, kNone}, {kFirstY, false, 1, kRoll}, {kFirstY + 0.01f, false, 1, kNone},
             {kOffY, false, 0, kStop}, {kOffY, false, 0, kNone}});
    SCOPED_TRACE("the click sounds at the press, activates at the release for one frame");
    Play(b, {{kFirstY, false, 1, kRoll}, {kFirstY, true, 2, kClick}, {kFirstY, true, 2, kNone},
             {kFirstY, false, 3, kNone}, {kFirstY, false, 1, kNone}});
    EXPECT_EQ(b.activated, 0);
    SCOPED_TRACE("a press carried off is lost; the roll-over comes back at the release");
    Play(b, {{kFirstY, true, 2, kClick}, {kOffY, true, 0, kStop}, {kFirstY, true, 1, kNone},
             {kFirstY, false, 1, kRoll}});
    SCOPED_TRACE("a press brought in from another button clicks nothing");
    MenuButton second = MakeButton(BtnTournament);
    Play(second, {{kOffY, false, 0, kNone}, {kSecondY, true, 1, kNone}, {kSecondY, false, 1, kRoll},
                  {kSecondY, true, 2, kClick}, {kSecondY, false, 3, kNone}});
}

TEST(MenuButton, APressAndReleaseBetweenTwoFramesStillClicks)
{
    MenuButton b = MakeButton(BtnSingleRace);
    memset(&gMouse, 0, sizeof gMouse);
    ButtonMouseStep(b, kX, kFirstY, LeftDownThisFrame());
    EndMouseFrame();
    OnMouseButton(0, true);  // down and up again before the next frame
    OnMouseButton(0, false);
    std::string states;
    for (int k = 0; k < 3; k++, EndMouseFrame()) {
        ButtonMouseStep(b, kX, kFirstY, LeftDownThisFrame());
        states += std::to_string(b.state);
    }
    EXPECT_EQ(states, "231");  // one click, once
}

// A slow frame: the pointer reached the button, the button went down (and
// maybe up again) before any frame saw the pointer hover.  The press began
// over the button, so it clicks; a press held since before still does not.
TEST(MenuButton, APressBeganInTheFrameThePointerArrivedStillClicks)
{
    for (bool releasedToo : {false, true}) {
        SCOPED_TRACE(releasedToo ? "pressed and released" : "pressed");
        MenuButton b = MakeButton(BtnSingleRace);
        memset(&gMouse, 0, sizeof gMouse);
        ButtonMouseStep(b, kX, kOffY, false, false);  // a frame with the pointer elsewhere
        OnMouseButton(0, true);
        if (releasedToo)
            OnMouseButton(0, false);
        std::string states;
        for (int k = 0; k < 4; k++, EndMouseFrame()) {
            if (k == 1 && !releasedToo)
                OnMouseButton(0, false);
            const uint32_t sounds = ButtonMouseStep(b, kX, kFirstY, LeftDownThisFrame(), gMouse.leftPressed != 0);
            if (k == 0) {
                EXPECT_EQ(sounds, kClick);
            }
            states += std::to_string(b.state);
        }
        EXPECT_EQ(states, "2311");  // one click, once
    }
    SCOPED_TRACE("held from before the frame: nothing");
    MenuButton b = MakeButton(BtnSingleRace);
    EXPECT_EQ(ButtonMouseStep(b, kX, kFirstY, true, false), kNone);
    EXPECT_EQ(ButtonMouseStep(b, kX, kFirstY, false, false), kRoll);
    EXPECT_EQ(b.state, 1);
}

TEST(MenuButton, BoundsIncludeTheEdgesAndCountFromTheTop)
{
    const MenuButton b = MakeButton(BtnSingleRace);  // x 0.375 .. 0.625, 64 of 768 pixels high
    const struct { float x, y; bool over; } points[] = {
        {0.375f, 0.3f, true}, {0.625f, 0.3f, true}, {0.3749f, 0.3f, false}, {0.6251f, 0.3f, false},
        {0.5f, 0.3416f, true}, {0.5f, 0.2584f, true}, {0.5f, 0.3418f, false},
    };
    for (const auto& p : points)
        EXPECT_EQ(PointerOverButton(b, p.x, p.y), p.over) << p.x << ", " << p.y;
}

TEST(MenuButtonColour, FallingChannelsMoveTwentyTimesFasterThanRisingOnes)
{
    MenuButton b = MakeButton(BtnSingleRace);  // green hover
    b.state = 1;
    for (int i = 0; i < 25; i++)
        AnimateButtonColour(b, 0.002);
    // Red and blue fall towards 0 at 20 per second: 0.96^25; green stays.
    EXPECT_NEAR(b.colour[0], 0.360397f, 1e-5);
    // Back to idle: the rise towards white takes about a second.
    b.colour[0] = 0.0f;
    b.state = 0;
    for (int i = 0; i < 500; i++)
        AnimateButtonColour(b, 0.002);
    EXPECT_NEAR(b.colour[0], 1.0 - std::pow(0.998, 500), 1e-4);  // 0.6325
}

}  // namespace
