// The frame clock and the fixed simulation step.
//
// Each frame, UpdateClock waits for the frame-rate limit and measures the
// frame; the frame then simulates 1 / (whole frames per second of the last
// frame) seconds, cut into 2 ms steps by NextStep, the last step of a frame
// taking the rest (more than 2 ms, at most 4 ms).  Every time-dependent
// update applies its per-second rates as rate / stepRate.
//   inputs:  the counter, Config::frameratelimit, and for a network client
//            NetSession::inFrameRate (it never runs faster than the host)
//   state:   lastCounter, frameRate, timeLeft
//   outputs: stepRate for each step, displayRate and raceRate (smoothed)
#pragma once

#include <cstdint>

struct Clock {
    uint8_t measureNext;  // cleared by a screenshot so its slow frame is not measured
    double timeLeft;      // seconds of this frame not yet stepped
    double frameRate;     // whole frames per second of the last measured frame
    double stepRate;      // 1 / length of the current step; dt = 1 / stepRate
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
extern uint8_t screenshotLatch;  // 1 while F12 is held after a screenshot

static const double kStepLength = 0.002;

void InitClock();

// Waits for the frame-rate limit, measures the frame and sets timeLeft.
void UpdateClock();

// The measuring half of UpdateClock: `rate` is the whole frames per second
// of the frame just ended, `measured` false when none could be measured.
// Sets frameRate (unless a screenshot asked to skip), stepRate and timeLeft.
void MeasureFrame(int64_t rate, bool measured);

// True while another step is due in this frame; fixes its stepRate.
bool NextStep(bool inRace);
