// The game window and its OpenGL context (SDL).  One window at a time; the
// shell destroys it and makes a new one when the graphics settings change.
#pragma once

// Makes the window (Config width x height; with Config::fullscreen the
// display is switched to exactly that mode) and a double-buffered context,
// hides the cursor and logs "Initializing OpenGL".  False when the video
// system cannot be started at all; every later failure logs its
// "ERROR: Unable to ..." line and ends the program.
bool CreateGameWindow();

// Releases the context and the window (safe after a partial creation).
void DestroyGameWindow();

// Presents the back buffer.
void SwapGameWindow();

// Moves the cursor to (x, y) in window pixels without reporting a movement.
void WarpCursor(int x, int y);

// Window size in pixels as SDL has it now (tests).
void GetWindowSize(int* width, int* height);

enum PollResult { kNoEvent = 0, kEventHandled = 1, kQuitEvent = 2 };

// Takes one waiting window event, if any, and turns it into device state
// (input/devices.h) and windowActive.  kQuitEvent for a close request.
PollResult PollWindowEvent();
