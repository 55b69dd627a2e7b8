// Physical keys to the Windows virtual-key codes that the preferences file
// stores.  Keys are named by their USB HID usage number (keyboard page),
// which is also SDL's scancode, so the table lives here without SDL and the
// players' WASD stays WASD on any keyboard layout.
#pragma once

// Escape's code: it skips the intro, opens and closes the race menu, and
// goes back a screen in the menus.
static const int kKeyEscape = 27;
// F12 saves a screenshot wherever the game is, so it never binds a control
// in the menus.
static const int kKeyScreenshot = 123;
// The keys that move through the menus: Enter presses, the arrows move.
static const int kKeyEnter = 13;
static const int kKeyLeft = 37, kKeyUp = 38, kKeyRight = 39, kKeyDown = 40;

// The virtual-key code of the key with HID usage `usage`; -1 for keys the
// game does not know (their events are ignored).
int KeyCodeFromUsage(int usage);
