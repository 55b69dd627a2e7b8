// The application shell: start-up and shut-down passes, the message loop
// and the frame.  State 14 (new graphics settings) tears everything down and
// runs start-up again without leaving the program.
#pragma once

// Command-line options.
struct LaunchOptions {
    double quitAfter;  // seconds of wall time before a normal shut-down; 0 = never
    bool demo;         // --demo: straight into a race of computer cars
    const char* replay;  // --replay FILE: straight into watching a recording; null = none
};

// Per process: set once by main from the command line.
extern LaunchOptions gLaunch;

// Start-up pass (log, network, configuration, window, ... race assets).
// False when the window system cannot be started at all.
bool StartUp();

// Shut-down pass, the reverse order; sets finalShutdown and firstStart.
void ShutDown();

// Runs frames until the window closes or the state is 14 or 16.
void RunMessageLoop();

// One frame between the clock update and presenting.
void RunFrame();

// The frame-rate counter in the top-right corner.
void DrawFrameRate();

// Whole start-up/loop/shut-down cycle; returns the process exit code: 0
// after a normal quit, 1 when no display could be opened.
int RunGame();
