// Race recordings ("data/replays/NNN.qbr"): the set-up, the controls of the
// cars people drove in every driving step, and the results.  A race is a
// pure function of its set-up, its random generator's state at the start and
// those controls, so playing the steps again gives the same race.  Every
// step of a race is 2 ms long (the clock carries the rest of a frame to the
// next), so step lengths are not stored.
//
// File layout, little-endian, no padding:
//   "QBR" 0x1a, u32 format version (kReplayFormat)
//   char[16] game version, char[32] track name, u32 track checksum
//   u32 cars (1..5), u8 human[5], i32 mode (0 tag, 1 checkpoint), i32 laps,
//   i32 time limit, i32 skill (0..2), u8 funny wheels, u8 particles,
//   u8 sound effects, f32 medal time, i32 terrain step, char[5][16] names,
//   u32 random state at the start
//   u32 run count, then each run: u32 steps (at least 1), and for each car
//   with human[c] = 1 in car order: u8 flags (1 accelerate, 2 left, 4 brake,
//   8 right, 16 mouse steering, 32 wheel steering), f32 mouse steer,
//   f32 wheel x, f32 wheel y
//   u8 finished (0: left early), f32 score[5], u8 place[5] (1 = first)
// Strings are NUL-terminated inside their fields.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "race/car.h"
#include "race/race.h"

static const uint32_t kReplayFormat = 1;
static const uint32_t kReplayMaxSteps = 500u * 3600u * 4u;  // four hours of driving
static const uint32_t kReplayMaxRuns = 1u << 19;  // changes of controls; bounds a file's memory
static const size_t kReplayMaxBytes = 8u << 20;
static const int kReplayKept = 50;  // the newest recordings kept in data/replays
static const size_t kReplayTrackSize = 32;  // the track name's field, its NUL included

// A stretch of steps with the same controls (only people's cars are used).
struct ReplayRun {
    uint32_t steps;
    CarControls controls[kMaxCars];
};

struct Replay {
    char gameVersion[16];
    char track[kReplayTrackSize];  // track base name
    uint32_t trackChecksum;   // TrackChecksum of its three files when recorded
    RaceSetup setup;          // setup.track is found again by name when played
    char names[kMaxCars][16];
    uint32_t randomState;     // RandomState() before ResetCars put the cars on the grid
    std::vector<ReplayRun> runs;
    uint32_t steps;           // sum of the runs' steps
    uint8_t finished;         // the race reached its end
    bool full;                // not stored: a step was dropped at a limit, so every later one is
    float score[kMaxCars];    // final scores (checkpoint mode: 5 x place from last)
    uint8_t place[kMaxCars];  // 1 = winner, for cars 0..carCount-1
};

// Empties `r` (no runs, no results).
void ClearReplay(Replay& r);

// Appends one driving step with the controls of the people's cars.  The
// first step beyond kReplayMaxSteps steps, kReplayMaxRuns runs or a file of
// kReplayMaxBytes is dropped and marks the recording full: every later step
// is dropped too.
void AppendReplayStep(Replay& r, const CarControls* controls);

// The size of the file EncodeReplay writes for `r`.
size_t ReplayFileBytes(const Replay& r);

// The results as the race stands now: gStandings scores and places by
// rankByScore (RankByScore must have run).  A full recording stops before
// the race did, so it is kept as left early (finished 0) whatever
// `finished` says.
void TakeReplayResults(Replay& r, bool finished);

// The file's bytes.
std::string EncodeReplay(const Replay& r);

// Reads a recording from `size` bytes; false with a one-line reason in
// `error` for a damaged or foreign file.  Never reads past `size`.
bool DecodeReplay(const uint8_t* data, size_t size, Replay* out, char* error, size_t errorSize);

// FNV-1a over the track's heightmap, course and texture files (lengths
// included); false when one of them cannot be read.
bool TrackChecksum(const char* track, uint32_t* out);

// Writes the recording as the next free "data/replays/NNN.qbr" (through a
// temporary file, never over an existing one) and removes all but the newest
// kReplayKept recordings.  False when it could not be written.
bool SaveReplay(const Replay& r, char* path, size_t pathSize);

// Reads the file at `path` (as given, relative to the current directory or
// absolute); false with a reason.
bool LoadReplayFile(const char* path, Replay* out, char* error, size_t errorSize);

// Puts the race of `r` on the grid: set-up, track, cars, random state (the
// tournament totals stay).
// False with a reason when its version differs from this game's, its track
// is missing or its track files have changed since it was recorded.
bool StartReplay(const Replay& r, char* error, size_t errorSize);

// Where a replay has got to.
struct ReplayCursor {
    uint32_t run;     // current run
    uint32_t inRun;   // steps of it already played
    uint32_t step;    // steps played in all
};

// One driving step of the replay: the people's controls of this step, then
// UpdateRace.  False (and nothing done) once every step has been played.
bool ReplayStep(const Replay& r, ReplayCursor& cursor);
