// The race set-up record (race/race.h) from the player's preferences.
#pragma once

#include <cstdint>

// Copies what the race needs of gPrefs into gRaceSetup; cars follow their
// controls record when a person at this machine or the network peer (car 1)
// drives them, never in a demonstration.  Call before LoadTrack and ResetCars.
void TakeRaceSetupFromPrefs();

// TakeRaceSetupFromPrefs for a race on `track` (0 when it is not in the
// list), in a tournament in the tournament's mode for that track.  gPrefs
// keeps the set-up screens' choices: the menus save it on any click.
void TakeRaceSetupForTrack(int32_t track, bool tournament);

// A race of computer cars alone, as the simulator, the track checker and
// the benchmarks run it headless: the default preferences with these
// choices, nobody at the keyboard, 500 steps a second.
struct ComputerRace {
    int32_t track;
    int32_t mode;       // 0 "Tag!", 1 "Checkpoint"
    int32_t cars;
    int32_t skill;      // 0 easy, 1 medium, 2 hard
    int32_t laps;
    int32_t timeLimit;  // seconds
};

// Loads the track and puts the cars on the grid, in state Race.  The random
// generator is left as it is: reset it first for a repeatable race.
void StartComputerRace(const ComputerRace& race);
