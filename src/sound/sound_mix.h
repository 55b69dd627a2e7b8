// The sound layer's plain arithmetic: engine pitch and loudness from wheel
// speed, panning per split-screen view, the mix's headroom and the
// resampling of the engine loop.  No SDL here, so the tests run it alone.
#pragma once

#include <cstdint>

// Playback rate of the engine loop (1.0 = as recorded) for a car whose
// driven wheels turn at `wheelSpeed` revolutions per second of at most
// `maxWheelSpeed`: 0.6 at rest, rising linearly to 1.9 at full speed,
// reversing sounds like driving forwards, held there beyond it.
float EngineRate(float wheelSpeed, float maxWheelSpeed);
// Loudness 0..1 of that engine heard from `distance` world units away:
// idle 0.4 rising to 1.0 at full speed, halved at 10 units.
float EngineLoudness(float wheelSpeed, float maxWheelSpeed, float distance);

// Left and right gains 0..1 for the sounds of the player of view `view` in
// split-screen layout `screenmode`: one view centred; two halves (view 0
// the lower, 1 the upper) panned left and right by view number; quarters
// by the side of the screen their column is on.
void ViewPan(int32_t screenmode, uint32_t view, float* left, float* right);

// Headroom: the channels' peaks (fractions of full scale) times their
// volumes (0..128, the mixer's scale) may add up to at most `limit`; the
// factor every volume is multiplied by to keep that (1 when they fit).
float HeadroomScale(const float* peaks, const int* volumes, int count, float limit);

// Linear-interpolating resampler over a looping stereo 16-bit loop of
// `frames` frames: writes `outFrames` stereo frames of the loop's left
// channel at `rate` loop frames per output frame, times the gains, and
// advances `phase` (a loop frame position, kept inside the loop).
void ResampleLoop(const int16_t* loop, uint32_t frames, double* phase, float rate, float left, float right,
                  int16_t* out, uint32_t outFrames);
