// The frame clock and the fixed simulation step.
//
// Each frame, UpdateClock waits for the frame-rate limit and measures the
// frame; the frame then simulates its own real length in steps of exactly
// 2 ms (kStepLength).  What is left over, less than one step, is carried to
// the next frame, so no time is lost or gained at any frame rate; after a
// stall (a slow disk, a minimised window) at most kMaxFrameTime is
// simulated.  Every time-dependent update applies its per-second rates as
// rate / stepRate, and stepRate is always 500.
//   inputs:  the counter, Config::frameratelimit, and for a network client
//            NetSession::inFrameRate (it never runs faster than the host)
//   state:   lastCounter, carry, lastFrameTicks
//   outputs: stepsLeft and frameSteps for the steps of this frame,
//            frameRate, displayRate and raceRate (smoothed)
#pragma once

#include <cstdint>

struct Clock {
    uint8_t measureNext;  // cleared by a screenshot so its slow frame is not simulated in full
    int64_t carry;        // time carried to the next frame, in 1 / (500 * frequency) seconds
    int64_t lastFrameTicks;  // counter ticks of the last measured frame
    int32_t stepsLeft;    // 2 ms steps of this frame not yet run
    int32_t frameSteps;   // 2 ms steps this frame runs in all
    double frameRate;     // frames per second of the last measured frame
    double stepRate;      // 1 / length of a step: 500
    double displayRate;   // quickly smoothed frame rate, shown by the counter
    double raceRate;      // slowly smoothed frame rate of the race states
    int64_t frequency;    // counter ticks per second (0 until the first frame)
    int64_t lastCounter;  // counter at the end of the last frame's wait
};

// Per process: InitClock at every start-up pass (frequency and lastCounter
// are kept across passes).
extern Clock gClock;

// Program-wide flags of the main loop.
extern uint8_t firstStart;       // 1 until the first shut-down: models are read from disk
extern uint8_t finalShutdown;    // set at shut-down unless the shell is being rebuilt
extern uint8_t windowActive;     // frames run only while the window is not minimised
extern uint8_t windowFocusLost;  // the keyboard went to another window; the next frame takes it
extern uint8_t screenshotLatch;  // 1 while F12 is held after a screenshot

static const double kStepLength = 0.002;  // seconds
static const double kMaxFrameTime = 0.25;  // seconds simulated at most in one frame

// The 2 ms steps a frame of `frameTicks` counter ticks (at `frequency`
// ticks per second) simulates, with `*carry` (in 1 / (500 * frequency)
// seconds, below one step) taken from the previous frame and the new
// remainder left in it.  A frame longer than kMaxFrameTime counts as
// kMaxFrameTime and drops the old carry.  Pure arithmetic.
int32_t StepsForFrame(int64_t frameTicks, int64_t frequency, int64_t* carry);

void InitClock();

// Waits for the frame-rate limit, measures the frame and sets the steps.
void UpdateClock();

// True while another step is due in this frame.
bool NextStep(bool inRace);
