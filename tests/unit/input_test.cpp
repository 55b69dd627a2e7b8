// Input without a window: the physical-key table (USB HID usages to the
// virtual-key codes of the preferences file) and the device records as the
// window procedure writes them.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "input/devices.h"
#include "input/keymap.h"

namespace {

TEST(KeyTable, RangesEndsPairsAndPunctuation)
{
    const struct { int usage, code; } keys[] = {
        {4, 65}, {29, 90}, {30, 49}, {38, 57}, {39, 48}, {58, 112}, {69, 123},              // A Z 1 9 0 F1 F12
        {79, 39}, {82, 38}, {225, 16}, {229, 16}, {224, 17}, {230, 18}, {40, 13}, {88, 13},  // arrows, pairs
        {41, 27}, {44, 32}, {42, 8}, {74, 36}, {76, 46}, {98, 96}, {89, 97}, {97, 105},      // Esc Space Bksp Home Del, keypad
        {85, 106}, {84, 111}, {57, 20}, {51, 186}, {46, 187}, {45, 189}, {53, 192}, {52, 222},  // keypad * /, Caps Lock, ; = - ` '
        // Unknown: nothing, error codes, non-US backslash, Print Screen, F13, GUI, beyond.
        {-1, -1}, {0, -1}, {3, -1}, {50, -1}, {70, -1}, {104, -1}, {227, -1}, {231, -1}, {256, -1}, {100000, -1},
    };
    for (const auto& k : keys)
        EXPECT_EQ(KeyCodeFromUsage(k.usage), k.code) << k.usage;
    // No two physical keys share a code but Enter, Shift, Ctrl and Alt.
    int uses[256] = {0};
    for (int usage = 0; usage < 512; usage++)
        if (KeyCodeFromUsage(usage) >= 0)
            uses[KeyCodeFromUsage(usage)]++;
    for (int code = 0; code < 256; code++)
        EXPECT_LE(uses[code], code == 13 || (code >= 16 && code <= 18) ? 2 : 1) << code;
}

TEST(Devices, KeysMouseAndJoystickRecords)
{
    InitKeyboard();
    memset(&gMouse, 0, sizeof gMouse);
    memset(&gJoystick, 0, sizeof gJoystick);
    // Shift is never the last key; the last key lasts until the frame ends.
    OnKeyDown(16);
    EXPECT_EQ(gKeyboard.lastKey, -1);
    OnKeyDown(65);
    EXPECT_TRUE(KeyDown(16) && KeyDown(65));
    OnKeyUp(65);
    EXPECT_TRUE(!KeyDown(65) && gKeyboard.lastKey == 65);
    EndKeyboardFrame();
    EXPECT_EQ(gKeyboard.lastKey, -1);
    // A press lasts the frame even when the key is already up; a held key's
    // repeats press again; codes outside the table are never pressed.
    EXPECT_FALSE(KeyPressed(65));
    OnKeyDown(40);
    OnKeyUp(40);
    EXPECT_TRUE(KeyPressed(40) && !KeyDown(40));
    EndKeyboardFrame();
    EXPECT_FALSE(KeyPressed(40));
    OnKeyDown(16);
    EXPECT_TRUE(KeyPressed(16));
    EXPECT_FALSE(KeyPressed(-1) || KeyPressed(255));
    EndKeyboardFrame();
    OnKeyUp(16);
    // Releasing the left button is one click.
    OnMouseButton(0, true);
    OnMouseButton(0, false);
    EXPECT_EQ(gMouse.clicked, 1);
    // The joystick reports the lowest button held; a release clears all.
    const struct { uint32_t bits; int button; } presses[] = {{2, 2}, {8, 4}, {1 | 2, 1}, {4 | 8, 3}};
    for (const auto& p : presses) {
        OnJoystickButtonDown(p.bits);
        const int32_t held = gJoystick.button1 + 2 * gJoystick.button2 + 4 * gJoystick.button3 + 8 * gJoystick.button4;
        EXPECT_EQ(held, 1 << (p.button - 1)) << p.bits;
        OnJoystickButtonUp();
    }
    // Typed text collects over a frame and is cut when full.
    OnTextInput("a");
    OnTextInput(std::string(100, 'x').c_str());
    EXPECT_EQ(strlen(gKeyboard.typed), sizeof gKeyboard.typed - 1);
    EndKeyboardFrame();
    EXPECT_STREQ(gKeyboard.typed, "");
    OnJoystickAxes(0, 16384);
    UpdateJoystick();
    EXPECT_FLOAT_EQ(gJoystick.x, -1.0f);
    EXPECT_FLOAT_EQ(gJoystick.y, -0.5f);
}

}  // namespace
