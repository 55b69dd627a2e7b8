// The track checker: whether a track's three files make a track the game
// can race on.  The start-up track scan lists only tracks without
// problems, quibbit-sim --check-track prints them and the track maker
// tests its output with it.  Files are named relative to the executable's
// directory (OpenDataFile), like every file of the game.
#pragma once

#include <cstddef>
#include <cstdint>

#include "race/checkpoints.h"

static const int kMaxTrackProblems = 12;
static const int kTrackProblemSize = 160;

// The problems found, each one sentence; those after the first
// kMaxTrackProblems are counted in `dropped` only.
struct TrackProblems {
    int count;
    int dropped;
    char text[kMaxTrackProblems][kTrackProblemSize];
};

void ClearTrackProblems(TrackProblems* problems);

// A course as the game reads it: the gates (world units, as LoadCheckpoints
// builds them), the file line each gate starts on, and the first problem's
// line (0: none).  The game's reader stops at the first word that is not a
// number and at a gate that is not finite.
struct CourseRead {
    Checkpoint gates[kMaxGates];
    uint8_t visible[kMaxGates];
    float halfWidth[kMaxGates];  // W as written (0.5 for a hidden waypoint)
    int line[kMaxGates];
    uint32_t gateCount;
};

// Reads course text (`size` bytes, need not end in a zero byte) into
// `course`, number by number as a formatted "%f" read would.  Problems
// (every one a sentence naming its line) go to `problems`, which may be
// null.  Returns the line of the problem that ended the reading, or 0 when
// the gates were read to the end of the text or to the 99th gate.
int ReadCourseText(const char* text, size_t size, CourseRead* course, TrackProblems* problems);

// A gate from the four numbers of the course file: X and Z in map units
// (scaled by 1.25), A in degrees, W half the post distance (0.5 exactly: a
// hidden waypoint 3 wide each side).  False when a post, the centre or the
// aim point is not finite.
bool MakeGate(float x, float z, float a, float w, Checkpoint* gate, uint8_t* visible);

// The rules on the ground and the course together: gate count, every gate
// inside the world and on ground a car can reach from the grid, gate
// spacing, gates of different parts of the course apart, the start grid
// clear and level enough.  `heights` is the 64 x 64 grid of Terrain
// (world units, sample (i, j) at i + 64 j), with a cell size of 1.
void CheckTrackShape(const float* heights, const CourseRead& course, TrackProblems* problems);

// Every rule for track `name`: a name a race recording can hold (31
// characters), the heightmap ("data/tracks/terrains/"),
// the texture ("data/tracks/textures/") and the course
// ("data/tracks/checkpoints/") and then CheckTrackShape when the
// heightmap and the course could be read.  True when nothing was found.
bool CheckTrack(const char* name, TrackProblems* problems);

// Slope above which a car slides back (the mean of |dy/dx| + |dy/dz| over
// its wheels, the car step's rule): ground steeper than this is a wall.
static const float kClimbableSlope = 1.5f;
