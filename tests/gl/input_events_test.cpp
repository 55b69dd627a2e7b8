// The window procedure fed with real SDL events: race mouse movement and the
// cursor held at the centre.  (Keys: the key table's unit test and the
// end-to-end scripts; clicks within one frame: the unit tests of the records.)
#include <gtest/gtest.h>

#include <SDL.h>

#include <cstring>

#include "input/devices.h"
#include "io_test_util.h"
#include "platform/window.h"

namespace {

void Drain()
{
    for (int i = 0; i < 10000 && PollWindowEvent() != kNoEvent; i++) {
    }
}

void PushMotion(int x, int y)
{
    SDL_Event event;
    memset(&event, 0, sizeof event);
    event.type = SDL_MOUSEMOTION;
    event.motion.x = x;
    event.motion.y = y;
    SDL_PushEvent(&event);
}

class InputEventsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Drain();
        InitMouse();
        Drain();
    }
    iotest::ScratchGame game{400, 300, true};
};

// The display server reports a warp as one more motion, to the centre, in
// order with the real ones.  Pushed events would overtake it, so each test
// movement waits until the warp of the frame before has come through.
void Settle()
{
    SDL_Delay(50);
    Drain();
}

TEST_F(InputEventsTest, RaceMouseMovementAndTheCursorHeldAtTheCentre)
{
    const int cx = 200, cy = 150;
    UpdateMouse(true);
    Settle();
    UpdateMouse(true);
    Settle();
    // A cursor still at the centre is not warped again: each warp waits on
    // the display server.
    uint32_t warps = gMouse.warps;
    UpdateMouse(true);
    UpdateMouse(true);
    EXPECT_EQ(gMouse.warps, warps);
    PushMotion(cx + 25, cy);
    Drain();
    UpdateMouse(true);
    EXPECT_EQ(gMouse.dx, 25);
    EXPECT_EQ(gMouse.dy, 0);
    EXPECT_EQ(gMouse.x, cx);
    EXPECT_EQ(gMouse.y, cy);
    EXPECT_EQ(gMouse.warps, warps + 1);
    // The warp back to the centre is not a movement of the next frame.
    Settle();
    int x = -1, y = -1;
    SDL_GetMouseState(&x, &y);
    EXPECT_EQ(x, cx);
    EXPECT_EQ(y, cy);
    UpdateMouse(true);
    EXPECT_EQ(gMouse.dx, 0);
    EXPECT_EQ(gMouse.dy, 0);
    Settle();

    // In the menus the cursor moves freely.
    PushMotion(10, 20);
    Drain();
    UpdateMouse(false);
    EXPECT_EQ(gMouse.dx, 10 - cx);
    EXPECT_EQ(gMouse.dy, 20 - cy);
    EXPECT_EQ(gMouse.x, 10);
}

}  // namespace
