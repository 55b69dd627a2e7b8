// SDL scancodes (physical keys) to the Windows virtual-key codes that the
// preferences file stores.  -1 for keys the game does not know.
#pragma once

int ScancodeToKeyCode(int scancode);
