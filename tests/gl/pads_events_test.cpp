// Pads fed with real SDL events from virtual devices: two identical game
// controllers get Pads 1 and 2 and move only their own records, one pulled
// out and plugged in again gets its number back.
#include <gtest/gtest.h>

#include <SDL.h>

#include "input/devices.h"
#include "input/pads.h"
#include "io_test_util.h"
#include "platform/window.h"

namespace {

void Drain()
{
    for (int i = 0; i < 10000 && PollWindowEvent() != kNoEvent; i++) {
    }
}

class PadEventsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Drain();
        InitKeyboard();
        InitJoystick();  // the pads with it
        Drain();
    }
    void TearDown() override { ReleaseJoystick(); }
    // A virtual device of SDL's virtual game-controller layout (six axes,
    // fifteen buttons); its device index, or -1.
    int Attach()
    {
        const int index = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, 6, 15, 0);
        Drain();
        return index;
    }
    SDL_Joystick* Device(int index)
    {
        return SDL_JoystickFromInstanceID(SDL_JoystickGetDeviceInstanceID(index));
    }
    // The device index of the virtual device with instance id `id`.
    int IndexOf(SDL_JoystickID id)
    {
        for (int i = 0; i < SDL_NumJoysticks(); i++)
            if (SDL_JoystickGetDeviceInstanceID(i) == id)
                return i;
        return -1;
    }
    iotest::ScratchGame game{400, 300, true};
};

TEST_F(PadEventsTest, TwoIdenticalPadsUnplugAndPlugAgain)
{
    int first = Attach();
    if (first < 0)
        GTEST_SKIP() << "no virtual joysticks: " << SDL_GetError();
    int second = Attach();
    ASSERT_GE(second, 0);
    ASSERT_EQ(ConnectedPads(), 3u) << "the game did not open both pads";
    const SDL_JoystickID firstId = SDL_JoystickGetDeviceInstanceID(first);
    const SDL_JoystickID secondId = SDL_JoystickGetDeviceInstanceID(second);
    EXPECT_EQ(gPads.slot[0].instance, firstId);
    EXPECT_EQ(gPads.slot[1].instance, secondId);
    EXPECT_STREQ(gPads.slot[1].name, "Virtual Controller");

    SDL_Joystick* pad2 = Device(second);
    ASSERT_NE(pad2, nullptr);
    SDL_JoystickSetVirtualAxis(pad2, 0, -32768);     // left stick x
    SDL_JoystickSetVirtualAxis(pad2, 5, 32767);      // right trigger
    SDL_JoystickSetVirtualButton(pad2, 1, SDL_PRESSED);  // B
    SDL_JoystickSetVirtualButton(pad2, 6, SDL_PRESSED);  // Start
    Drain();
    EXPECT_EQ(gPads.slot[1].steer - gPads.slot[1].throttle, -2.0f);
    EXPECT_EQ(gPads.slot[1].brakeButton + gPads.slot[1].startPressed, 2);
    EXPECT_EQ(gPads.slot[0].steer + gPads.slot[0].throttle, 0.0f);  // only the pad that moved

    // Pad 1 out: Pad 2 keeps its number; back in: number 1 again.
    SDL_JoystickDetachVirtual(IndexOf(firstId));
    Drain();
    EXPECT_EQ(ConnectedPads(), 2u);
    first = Attach();
    ASSERT_GE(first, 0);
    EXPECT_EQ(ConnectedPads(), 3u);
    EXPECT_EQ(gPads.slot[0].instance, SDL_JoystickGetDeviceInstanceID(first));
    EXPECT_EQ(gPads.slot[1].steer, -1.0f);
    SDL_JoystickDetachVirtual(IndexOf(secondId));
    SDL_JoystickDetachVirtual(IndexOf(gPads.slot[0].instance));
    Drain();
    EXPECT_EQ(ConnectedPads(), 0u);
}

}  // namespace
