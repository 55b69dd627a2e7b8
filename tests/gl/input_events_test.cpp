// The window procedure fed with real SDL events: keys by physical position
// with Shift and key repeat, race mouse movement and the cursor held at the
// centre, the joystick attached and removed while the game runs, minimising
// and closing.  (Clicks within one frame: the unit tests of the records.)
#include <gtest/gtest.h>

#include <SDL.h>

#include <cstring>

#include "app/clock.h"
#include "app/config.h"
#include "input/devices.h"
#include "io_test_util.h"
#include "platform/window.h"

namespace {

// Takes every waiting event; the number of close requests among them.
int Drain()
{
    int quits = 0;
    for (int i = 0; i < 10000; i++) {
        PollResult result = PollWindowEvent();
        if (result == kNoEvent)
            break;
        if (result == kQuitEvent)
            quits++;
    }
    return quits;
}

void PushKey(SDL_Scancode scancode, bool down, bool repeat = false)
{
    SDL_Event event;
    memset(&event, 0, sizeof event);
    event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    event.key.repeat = repeat ? 1 : 0;
    event.key.keysym.scancode = scancode;
    SDL_PushEvent(&event);
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
        InitKeyboard();
        InitMouse();
        InitJoystick();
        Drain();
    }
    void TearDown() override { ReleaseJoystick(); }
    iotest::ScratchGame game{400, 300, true};
};

TEST_F(InputEventsTest, KeysByPhysicalPositionRepeatAndUnknownKeys)
{
    PushKey(SDL_SCANCODE_LSHIFT, true);
    PushKey(SDL_SCANCODE_A, true);
    Drain();
    EXPECT_TRUE(KeyDown(16) && KeyDown(65));
    EXPECT_EQ(gKeyboard.lastKey, 65);
    PushKey(SDL_SCANCODE_A, false);
    PushKey(SDL_SCANCODE_LSHIFT, false);
    Drain();
    EXPECT_FALSE(KeyDown(16) || KeyDown(65));
    EndKeyboardFrame();
    PushKey(SDL_SCANCODE_BACKSPACE, true, true);  // a repeat is another key down
    Drain();
    EXPECT_EQ(gKeyboard.lastKey, 8);
    PushKey(SDL_SCANCODE_BACKSPACE, false);
    EndKeyboardFrame();
    for (SDL_Scancode key : {SDL_SCANCODE_NONUSBACKSLASH, SDL_SCANCODE_LGUI, SDL_SCANCODE_F13,
                             SDL_SCANCODE_PRINTSCREEN, SDL_SCANCODE_UNKNOWN})
        PushKey(key, true);
    Drain();
    for (int code = 0; code < kKeyCount; code++)
        EXPECT_FALSE(KeyDown(code)) << code;
    EXPECT_EQ(gKeyboard.lastKey, -1);
}

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
    PushMotion(cx + 25, cy);
    Drain();
    UpdateMouse(true);
    EXPECT_EQ(gMouse.dx, 25);
    EXPECT_EQ(gMouse.dy, 0);
    EXPECT_EQ(gMouse.x, cx);
    EXPECT_EQ(gMouse.y, cy);
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

TEST_F(InputEventsTest, MinimisingStopsTheFramesAndClosingQuits)
{
    SDL_Event event;
    memset(&event, 0, sizeof event);
    event.type = SDL_WINDOWEVENT;
    event.window.event = SDL_WINDOWEVENT_MINIMIZED;
    SDL_PushEvent(&event);
    Drain();
    EXPECT_EQ(windowActive, 0);
    event.window.event = SDL_WINDOWEVENT_RESTORED;
    SDL_PushEvent(&event);
    Drain();
    EXPECT_EQ(windowActive, 1);
    event.type = SDL_QUIT;
    SDL_PushEvent(&event);
    EXPECT_EQ(Drain(), 1);
}

class JoystickTest : public InputEventsTest {
protected:
    // Attaches a virtual joystick of two axes and four buttons; its device
    // index, or -1.
    int Attach()
    {
        int index = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, 2, 4, 0);
        Drain();
        return index;
    }
    SDL_Joystick* Device(int index)
    {
        return SDL_JoystickFromInstanceID(SDL_JoystickGetDeviceInstanceID(index));
    }
};

TEST_F(JoystickTest, AttachedAxesButtonsAndRemoval)
{
    UpdateJoystick();  // none yet: centred
    EXPECT_EQ(gJoystick.rawX, 32768u);
    EXPECT_EQ(gJoystick.x, 0.0f);
    int index = Attach();
    if (index < 0)
        GTEST_SKIP() << "no virtual joysticks: " << SDL_GetError();
    SDL_Joystick* joystick = Device(index);
    ASSERT_NE(joystick, nullptr) << "the game did not open the new joystick";

    SDL_JoystickSetVirtualAxis(joystick, 0, 32767);
    SDL_JoystickSetVirtualAxis(joystick, 1, -32768);
    Drain();
    EXPECT_EQ(gJoystick.rawX, 65535u);
    EXPECT_EQ(gJoystick.rawY, 0u);
    UpdateJoystick();
    EXPECT_NEAR(gJoystick.x, 1.0f, 1e-4);
    EXPECT_EQ(gJoystick.y, -1.0f);

    // Buttons 1 and 2 together: only button1, until a release clears all.
    SDL_JoystickSetVirtualButton(joystick, 0, SDL_PRESSED);
    SDL_JoystickSetVirtualButton(joystick, 1, SDL_PRESSED);
    Drain();
    EXPECT_EQ(gJoystick.button1, 1);
    EXPECT_EQ(gJoystick.button2, 0);
    SDL_JoystickSetVirtualButton(joystick, 0, SDL_RELEASED);
    Drain();
    EXPECT_EQ(gJoystick.button1 + gJoystick.button2 + gJoystick.button3 + gJoystick.button4, 0);
    SDL_JoystickSetVirtualButton(joystick, 3, SDL_PRESSED);
    Drain();
    EXPECT_EQ(gJoystick.button2, 1);  // button 2 is still held: the lowest
    EXPECT_EQ(gJoystick.button4, 0);
    SDL_JoystickSetVirtualButton(joystick, 1, SDL_RELEASED);
    SDL_JoystickSetVirtualButton(joystick, 3, SDL_RELEASED);
    Drain();

    // Removed while held: centred and released.
    SDL_JoystickSetVirtualButton(joystick, 2, SDL_PRESSED);
    Drain();
    EXPECT_EQ(gJoystick.button3, 1);
    SDL_JoystickDetachVirtual(index);
    Drain();
    EXPECT_EQ(gJoystick.rawX, 32768u);
    EXPECT_EQ(gJoystick.rawY, 32768u);
    EXPECT_EQ(gJoystick.button3, 0);
}

}  // namespace
