// Input without a window: the physical-key table (USB HID usages to the
// virtual-key codes of the preferences file) and the device records as the
// window procedure writes them.
#include <gtest/gtest.h>

#include <cstring>

#include "input/devices.h"
#include "input/keymap.h"

namespace {

TEST(KeyTable, EveryMappedKey)
{
    const struct {
        int usage, code;
        const char* key;
    } keys[] = {
        {4, 65, "A"}, {22, 83, "S"}, {26, 87, "W"}, {29, 90, "Z"},
        {30, 49, "1"}, {38, 57, "9"}, {39, 48, "0"},
        {58, 112, "F1"}, {63, 117, "F6"}, {69, 123, "F12"},
        {79, 39, "Right"}, {80, 37, "Left"}, {81, 40, "Down"}, {82, 38, "Up"},
        {225, 16, "left Shift"}, {229, 16, "right Shift"},
        {224, 17, "left Ctrl"}, {228, 17, "right Ctrl"},
        {226, 18, "left Alt"}, {230, 18, "right Alt"},
        {41, 27, "Escape"}, {44, 32, "Space"}, {42, 8, "Backspace"}, {43, 9, "Tab"},
        {40, 13, "Enter"}, {88, 13, "keypad Enter"},
        {75, 33, "Page Up"}, {78, 34, "Page Down"}, {77, 35, "End"}, {74, 36, "Home"},
        {73, 45, "Insert"}, {76, 46, "Delete"},
        {98, 96, "keypad 0"}, {89, 97, "keypad 1"}, {93, 101, "keypad 5"}, {97, 105, "keypad 9"},
        {85, 106, "keypad *"}, {87, 107, "keypad +"}, {86, 109, "keypad -"},
        {99, 110, "keypad ."}, {84, 111, "keypad /"},
        {57, 20, "Caps Lock"},
        {51, 186, ";"}, {46, 187, "="}, {54, 188, ","}, {45, 189, "-"}, {55, 190, "."},
        {56, 191, "/"}, {53, 192, "`"}, {47, 219, "["}, {49, 220, "\\"}, {48, 221, "]"},
        {52, 222, "'"},
    };
    for (const auto& k : keys)
        EXPECT_EQ(KeyCodeFromUsage(k.usage), k.code) << k.key;
}

TEST(KeyTable, UnknownKeysAreIgnored)
{
    // Nothing, error codes, the non-US backslash, Print Screen, keypad =,
    // F13, left GUI, and numbers no key has.
    for (int usage : {-1, 0, 1, 2, 3, 50, 70, 100, 103, 104, 227, 231, 255, 256, 512, 100000})
        EXPECT_EQ(KeyCodeFromUsage(usage), -1) << usage;
}

TEST(KeyTable, NoTwoPhysicalKeysShareACodeExceptTheDocumentedPairs)
{
    int uses[256] = {0};
    for (int usage = 0; usage < 512; usage++) {
        int code = KeyCodeFromUsage(usage);
        if (code >= 0) {
            ASSERT_LT(code, 255) << usage;
            uses[code]++;
        }
    }
    for (int code = 0; code < 256; code++) {
        bool pair = code == 13 || code == 16 || code == 17 || code == 18;
        if (uses[code]) {
            EXPECT_EQ(uses[code], pair ? 2 : 1) << code;
        }
    }
}

class DevicesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        InitKeyboard();
        memset(&gMouse, 0, sizeof gMouse);
        memset(&gJoystick, 0, sizeof gJoystick);
    }
};

TEST_F(DevicesTest, ShiftIsNeverTheLastKey)
{
    OnKeyDown(16);
    EXPECT_EQ(gKeyboard.lastKey, -1);
    OnKeyDown(65);
    EXPECT_TRUE(KeyDown(16));
    EXPECT_TRUE(KeyDown(65));
    EXPECT_EQ(gKeyboard.lastKey, 65);
    OnKeyUp(65);
    EXPECT_FALSE(KeyDown(65));
    EXPECT_EQ(gKeyboard.lastKey, 65);  // until the frame ends
    EndKeyboardFrame();
    EXPECT_EQ(gKeyboard.lastKey, -1);
}

TEST_F(DevicesTest, CodesOutsideTheTableAreIgnored)
{
    for (int code : {-1, 255, 256, 100000}) {
        OnKeyDown(code);
        EXPECT_FALSE(KeyDown(code));
    }
    EXPECT_EQ(gKeyboard.lastKey, -1);
    OnKeyDown(254);
    EXPECT_TRUE(KeyDown(254));
}

TEST_F(DevicesTest, ReleasingTheLeftButtonIsOneClick)
{
    OnMouseButton(0, true);
    EXPECT_EQ(gMouse.leftDown, 1);
    EXPECT_EQ(gMouse.clicked, 0);
    OnMouseButton(0, false);
    EXPECT_EQ(gMouse.leftDown, 0);
    EXPECT_EQ(gMouse.clicked, 1);
    OnMouseButton(1, true);
    EXPECT_EQ(gMouse.rightDown, 1);
    OnMouseButton(1, false);
    EXPECT_EQ(gMouse.rightDown, 0);
    EXPECT_EQ(gMouse.leftDown, 0);
}

TEST_F(DevicesTest, JoystickReportsTheLowestButtonAndClearsAllOnRelease)
{
    OnJoystickButtonDown(1 | 2);
    EXPECT_EQ(gJoystick.button1, 1);
    EXPECT_EQ(gJoystick.button2, 0);
    OnJoystickButtonUp();
    OnJoystickButtonDown(4 | 8);
    EXPECT_EQ(gJoystick.button3, 1);
    EXPECT_EQ(gJoystick.button4, 0);
    OnJoystickButtonDown(8);
    EXPECT_EQ(gJoystick.button4, 1);
    OnJoystickButtonUp();
    EXPECT_EQ(gJoystick.button1 + gJoystick.button2 + gJoystick.button3 + gJoystick.button4, 0);
}

TEST_F(DevicesTest, JoystickAxesNormaliseAroundTheCentre)
{
    OnJoystickAxes(0, 65535);
    UpdateJoystick();
    EXPECT_FLOAT_EQ(gJoystick.x, -1.0f);
    EXPECT_FLOAT_EQ(gJoystick.y, 32767.0f / 32768.0f);
    OnJoystickAxes(32768, 16384);
    UpdateJoystick();
    EXPECT_FLOAT_EQ(gJoystick.x, 0.0f);
    EXPECT_FLOAT_EQ(gJoystick.y, -0.5f);
}

}  // namespace
