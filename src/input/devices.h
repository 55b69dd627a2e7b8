// Keyboard, mouse and joystick as plain records.  The platform's event pump
// (src/platform/events.cpp) turns each window event into one of the
// On*() calls below, exactly as the game's window procedure would; the menus
// and the cars read the records directly.  Key codes are Windows
// virtual-key codes, the codes the preferences file stores.
#pragma once

#include <cstdint>

static const int kKeyCount = 255;  // codes 0..254

struct Keyboard {
    uint8_t down[kKeyCount];  // 1 while the key is held
    uint8_t pressed[kKeyCount];  // the key went down this frame (a held key's repeats too)
    int32_t lastKey;          // last key pressed this frame other than Shift; -1 when none
    char typed[32];           // text typed this frame (UTF-8 as the system composed it), "" when none
};

struct Mouse {
    uint8_t leftDown, rightDown;
    uint8_t clicked;          // the left button went up this frame
    uint8_t leftPressed;      // the left button went down this frame (latched: kept even if it went up again)
    uint8_t rightClicked;     // the right button went up this frame
    int32_t x, y;             // cursor in window pixels, origin top left
    int32_t prevX, prevY;     // position at the previous frame's update
    int32_t dx, dy;           // movement since the previous frame's update
    uint32_t warps;           // times the race put the cursor back at the centre
};

struct Joystick {
    uint32_t rawX, rawY;      // 0..65535, centre 32768
    float x, y;               // (raw - 32768) / 32768
    uint8_t button1, button2, button3, button4;
};

// Per process; the Init functions reset them at every start-up pass.
extern Keyboard gKeyboard;
extern Mouse gMouse;
extern Joystick gJoystick;

void InitKeyboard();
// lastKey = -1, typed = "", pressed cleared, after each presented frame.
void EndKeyboardFrame();
// Clears the per-frame mouse latches (clicked, leftPressed, rightClicked),
// after each presented frame.
void EndMouseFrame();
// The left button as a menu sees it this frame: held now, or pressed since
// the last frame, so a press and release between two frames still clicks.
bool LeftDownThisFrame();
// True while key `code` is held; codes outside 0..254 are never down.
bool KeyDown(int code);
// True when key `code` went down (or repeated) since the last frame.
bool KeyPressed(int code);

// Window-procedure semantics, one call per event.
void OnKeyDown(int code);           // codes outside 0..254 are ignored
void OnKeyUp(int code);
void OnTextInput(const char* text); // appended to typed (cut when full)
void OnMouseMove(int x, int y);
void OnMouseButton(int button, bool down);  // 0 left, 1 right
void OnJoystickAxes(uint32_t rawX, uint32_t rawY);
void OnJoystickButtonDown(uint32_t buttonBits);  // bit 0 = button 1 ...
void OnJoystickButtonUp();
void UpdateJoystick();              // x, y from rawX, rawY

// Need the window (src/platform): cursor warps and the joystick device.
void InitMouse();
void UpdateMouse(bool inRace);
void InitJoystick();
void ReleaseJoystick();
