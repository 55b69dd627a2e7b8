#include "input/devices.h"

#include <cstring>

Keyboard gKeyboard;
Mouse gMouse;
Joystick gJoystick;

void InitKeyboard()
{
    memset(gKeyboard.down, 0, sizeof gKeyboard.down);
    memset(gKeyboard.pressed, 0, sizeof gKeyboard.pressed);
    gKeyboard.lastKey = -1;
    gKeyboard.typed[0] = 0;
}

void EndKeyboardFrame()
{
    memset(gKeyboard.pressed, 0, sizeof gKeyboard.pressed);
    gKeyboard.lastKey = -1;
    gKeyboard.typed[0] = 0;
}

void EndMouseFrame()
{
    gMouse.clicked = 0;
    gMouse.leftPressed = 0;
    gMouse.rightClicked = 0;
}

bool LeftDownThisFrame()
{
    return gMouse.leftDown || gMouse.leftPressed;
}

void OnTextInput(const char* text)
{
    size_t used = strlen(gKeyboard.typed);
    size_t room = sizeof gKeyboard.typed - 1 - used;
    size_t n = strnlen(text, room);
    memcpy(gKeyboard.typed + used, text, n);
    gKeyboard.typed[used + n] = 0;
}

bool KeyDown(int code)
{
    return code >= 0 && code < kKeyCount && gKeyboard.down[code];
}

bool KeyPressed(int code)
{
    return code >= 0 && code < kKeyCount && gKeyboard.pressed[code];
}

void OnKeyDown(int code)
{
    if (code < 0 || code >= kKeyCount)
        return;
    gKeyboard.down[code] = 1;
    gKeyboard.pressed[code] = 1;
    if (code != 16)
        gKeyboard.lastKey = code;
}

void OnKeyUp(int code)
{
    if (code < 0 || code >= kKeyCount)
        return;
    gKeyboard.down[code] = 0;
}

void OnMouseMove(int x, int y)
{
    gMouse.x = x;
    gMouse.y = y;
}

void OnMouseButton(int button, bool down)
{
    if (button == 0) {
        if (down)
            gMouse.leftPressed = 1;
        else
            gMouse.clicked = 1;
        gMouse.leftDown = down ? 1 : 0;
    } else if (button == 1) {
        if (!down)
            gMouse.rightClicked = 1;
        gMouse.rightDown = down ? 1 : 0;
    }
}

void OnJoystickAxes(uint32_t rawX, uint32_t rawY)
{
    gJoystick.rawX = rawX > 65535 ? 65535 : rawX;
    gJoystick.rawY = rawY > 65535 ? 65535 : rawY;
}

void OnJoystickButtonDown(uint32_t bits)
{
    if (bits & 1)
        gJoystick.button1 = 1;
    else if (bits & 2)
        gJoystick.button2 = 1;
    else if (bits & 4)
        gJoystick.button3 = 1;
    else if (bits & 8)
        gJoystick.button4 = 1;
}

void OnJoystickButtonUp()
{
    gJoystick.button1 = gJoystick.button2 = gJoystick.button3 = gJoystick.button4 = 0;
}

void UpdateJoystick()
{
    gJoystick.x = (float)((int32_t)gJoystick.rawX - 32768) / 32768.0f;
    gJoystick.y = (float)((int32_t)gJoystick.rawY - 32768) / 32768.0f;
}
