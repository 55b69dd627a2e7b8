// Display and machine settings ("data/config.txt"), the screenshot count and
// the list of usable tracks.  Read at every start-up pass, before the window.
#pragma once

#include <cstdint>

static const int kMaxTracks = 99;
static const int kTrackNameSize = 64;

struct Config {
    int32_t width;             // window width in pixels (800)
    int32_t height;            // window height in pixels (600)
    int32_t depth;             // colour bits per pixel, 16 or 32 (32)
    int32_t zdepth;            // depth-buffer bits (16)
    int32_t fullscreen;        // 1: switch the display to width x height; 0: a window (1)
    int32_t frameratecounter;  // non-zero: draw the frame-rate counter (1)
    uint32_t frameratelimit;   // frames per second at most, 1..300 after loading (500 before)
    int32_t texturefilter;     // 0 nearest, 1 linear, other: mipmapped (2)
    int32_t audiodevice;       // 0: no sound at all (1)
    int32_t screenshotCount;   // number of the next screenshot (from the folder scan)
    int32_t trackCount;        // usable entries of trackNames
    int32_t loghwinfo;         // non-zero: log the hardware report (1)
    uint32_t keysRead;         // keys found in the file (bit per key), written back by SaveConfig
    char trackNames[kMaxTracks][kTrackNameSize];  // base names, sorted
};

// Per process; LoadConfig resets every field at each start-up pass.
extern Config gConfig;

// Defaults, the file, the limits, the screenshot and track scans.
void LoadConfig();

// Writes width, height, depth and frameratecounter, then every other key
// the file held when it was read (zdepth, frameratelimit, texturefilter,
// audiodevice, loghwinfo, fullscreen, in that order), and audiodevice,
// loghwinfo and fullscreen also when they are 0.
void SaveConfig();

// The directory scans of LoadConfig (also used after a screenshot folder or
// track folder changes in tests).
void ScanScreenshots();
void ScanTracks();
