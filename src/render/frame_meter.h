// The race frame meter.  Always: race frames drawn, their wall time, the
// processor time of the whole process (the software renderer's threads
// included) over them, and that of the game's own thread alone.  The
// software renderer turns vertices into binned triangles on the game's
// thread and its pixel threads start on them only when the game waits for
// the pixels, so the game thread's time adds to the frame whole.  With the
// environment variable QUIBBIT_PASS_TIMES set (benchmarks only): the wall
// time of each pass of the frame, each pass ended by glFinish so that its
// pixels are counted where they are drawn.
// The waits make the frame slower, so the pass table is read for shares.
// Where the renderer counts them (GL_ARB_pipeline_statistics_query), each
// pass's fragment shader runs and vertices submitted are counted too; the
// software renderer shades whole 4 x 4 blocks and counts each as 16, so its
// figure is the blocks' work, not the pixels covered.
#pragma once

#include <cstdint>

enum FramePass {
    kPassOther,    // simulation, input, sound between two race frames
    kPassShadows,  // the shadow textures
    kPassClear,    // the one clear of all views
    kPassCars,
    kPassGates,    // posts, heads and flags
    kPassTerrain,  // mesh and scenery ring
    kPassSky,
    kPassDecals,   // car shadows and the tag spot on the ground
    kPassDust,
    kPassMarkers,  // medals
    kPassHud,      // arrow and HUD
    kPassDoubling, // the half-resolution world doubled over the window
    kPassSwap,     // overlays, swap and the window's clear
    kPassCount
};

struct FrameMeter {
    uint8_t passTiming;      // QUIBBIT_PASS_TIMES was set
    uint32_t generation;     // the loaded track's generation at the latest race frame
    uint8_t firstDrawing;    // the frame now drawn is a new track's first: not counted
    uint64_t frames;         // race frames counted
    uint64_t lastCounter;    // counter at the latest race frame, 0 before the first
    double lastProcess;      // process seconds at the latest race frame
    double lastThread;       // the game thread's processor seconds at the latest race frame
    uint64_t ticks;          // the counted frames' wall time, in counter ticks
    double processSeconds;   // the process's processor time over them
    double threadSeconds;    // the game thread's
    uint64_t longestTicks;   // the longest counted frame (a stall)
    uint64_t longestAt;      // `ticks` at the end of that frame
    uint64_t passMark;       // counter where the current pass began
    double passSeconds[kPassCount];
    uint8_t passCounting;    // the counters' queries run (pass timing on a renderer that has them)
    double passFragments[kPassCount];
    double passVertices[kPassCount];
};

// Per start-up pass: ResetFrameMeter clears it.
extern FrameMeter gFrameMeter;

void ResetFrameMeter();
// At the start of every race frame, after the track graphics are built,
// with the loaded track's generation.  The time since the race frame before
// counts as a frame unless a track was loaded in it or it drew a new track's
// first picture: the load, the menus or results between two races, and the
// renderer compiling its code for the race's first picture (60 to 120 ms,
// before the player sees the race) say nothing of a race's frames.
void MeterRaceFrame(uint32_t trackGeneration);
// The pass that has just been drawn (a no-op without pass timing).
void EndPass(FramePass pass);
// "Race frames: ...", "Longest race frame: ..." and, with pass timing,
// "Pass times ..." (and "Pass counts ..." where counted).
void LogFrameMeter();
