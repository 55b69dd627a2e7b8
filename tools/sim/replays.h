// quibbit-sim --replay and --record.
#pragma once

#include <cstdint>

// Plays recording `file` headless and prints each car's recorded and
// replayed final score and place: 0 when all are equal, 1 when not, 2 when
// the file cannot be played (the reason on standard error).
int RunReplay(const char* file);

// Runs one race on `track` whose first `players` cars follow a scripted
// player (its own random numbers from `seed`) and writes it to `file`.
int RecordScripted(const char* file, int track, int mode, int players, int cars, int skill, int laps,
                   int timeLimit, double cap, uint32_t seed);
