// Choosing the display mode the window is made in: the fallbacks when the
// configured mode cannot be had, and the sizes the graphics options offer.
// Plain logic; src/platform/window.cpp asks the display and makes the window.
#pragma once

#include <cstdint>

struct DisplayMode {
    int32_t width, height;  // pixels
    int32_t fullscreen;     // 1: the display is switched to width x height; 0: a window
};

// The modes to try, best first, for the mode `asked`: the asked mode itself
// when the display can show it (a full-screen mode the display reports, or
// a window that fits the desktop); for full screen then the desktop's own
// mode in full screen; last a window no larger than the desktop.
// `askedReported`: the display lists asked's size.  Returns the count (1..3).
int PlanDisplayModes(const DisplayMode& asked, const DisplayMode& desktop, bool askedReported,
                     DisplayMode plan[3]);

// "1024x768 full screen" or "1024x768 window" into text.
void DescribeDisplayMode(const DisplayMode& mode, char* text, int size);

static const int kMaxResolutions = 32;

// The sizes the graphics options step through: the running size, the
// distinct sizes the display reports (`reported`, any order, duplicates
// allowed), and for a window (`windowLimit`, the desktop, not null) also the
// common sizes 640x480, 800x600, 1024x768, 1152x864, 1280x960 and 1600x1200;
// for a window only sizes that fit in windowLimit besides the running one.
// In ascending order (width, then height), at most kMaxResolutions.
// Returns the count (at least 1).
int BuildResolutionList(const int32_t (*reported)[2], int reportedCount, int32_t width, int32_t height,
                        const DisplayMode* windowLimit, int32_t (*list)[2]);

// The size after (forward) or before (backward) width x height in the list,
// wrapping at the ends; a size not in the list steps to the first entry
// (forward) or the last (backward).
void StepResolutionIn(const int32_t (*list)[2], int count, bool forward, int32_t* width, int32_t* height);

// A change of display mode asked for by "Apply" in the graphics options.
// The shell rebuilds the window in the new mode; the configuration is saved
// only when that window exists, otherwise the previous mode comes back and
// `refused` tells the graphics options to say so.
struct DisplayChange {
    uint8_t pending;       // set by Apply, consumed by the next start-up pass
    uint8_t refused;       // the last change could not be had (shown until the screen is left)
    DisplayMode asked;     // mode asked for
    int32_t depth;         // colour bits asked for
    DisplayMode previous;  // mode running when Apply was clicked
    int32_t previousDepth;
};

// Per process: set by the graphics options, read by each start-up pass.
extern DisplayChange gDisplayChange;
