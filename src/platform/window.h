// The game window and its OpenGL context (SDL).  One window at a time; the
// shell destroys it and makes a new one when the graphics settings change.
#pragma once

#include <cstdint>

#include "app/display_mode.h"

// Makes the window and a double-buffered context in the configured mode
// (Config width, height, fullscreen; colour bits from Config depth), hides
// the cursor and logs "Initializing OpenGL".  When the display cannot have
// that mode, it falls back to full screen at the desktop's own mode and then
// to a window that fits the desktop, logging a "MINOR ERROR" line for each
// fallback, and leaves the mode in use in Config.  False, with an "ERROR"
// line giving SDL's reason, when no display can be opened; when no mode at
// all gives a window, the error is logged and the program ends.
bool CreateGameWindow();

// Makes the window in exactly `mode` (no fallback); false, with nothing but
// the video system left open, when the display cannot have it.  On success
// Config width, height and fullscreen are set to the mode.
bool CreateGameWindowIn(const DisplayMode& mode);

// Releases the context and the window (safe after a partial creation).
void DestroyGameWindow();

// Presents the back buffer.
void SwapGameWindow();

// Switches the running window between full screen and a window of the same
// size (Alt+Enter); false, and nothing changed, when the display has no such
// full-screen mode.  Config fullscreen follows.
bool ToggleFullscreen();

// The distinct window sizes the display reports, at most `max`; the count.
int ListDisplaySizes(int32_t (*sizes)[2], int max);
// The desktop's own mode (full screen).
DisplayMode GetDesktopMode();

// Moves the cursor to (x, y) in window pixels without reporting a movement.
void WarpCursor(int x, int y);

// The address of the current context's OpenGL function `name`, or null (for
// the benchmarks' optional counters; the game itself keeps to OpenGL 1.1).
void* GlFunction(const char* name);

enum PollResult { kNoEvent = 0, kEventHandled = 1, kQuitEvent = 2 };

// Takes one waiting window event, if any, and turns it into device state
// (input/devices.h) and windowActive.  kQuitEvent for a close request.
PollResult PollWindowEvent();
