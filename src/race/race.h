// Race set-up and the race step.
//
// UpdateRace, once per 2 ms step in states 6, 7, 8, in this order:
//   state 6 and countdown below 4.0: UpdateCar for cars 0..carCount-1, then
//   ApplyWorldRules for the same cars, then UpdateDust (when the particles
//   preference is on); state 6: TickStandings; states 6-8: UpdateCamera for
//   cameras 0..carCount-1.
#pragma once

#include <cstdint>

// Frees nothing that draws: loads the current track's course and heights
// (the renderer rebuilds its textures and lists when it sees new ones).
void LoadTrack();
// All five cars, their cameras and the standings back to the start.
void ResetCars();
void ResetCar(uint32_t i);
void UpdateRace();

// Per-car world rules of one step: world edge, gates and laps, gate posts,
// car contacts, the tag.
void ApplyWorldRules(uint32_t car);

// The race-over test, once per drawn frame of state 6 (after RankByScore).
bool RaceIsOver();
// Final scores (checkpoint mode, and every race of an alternating
// tournament: 5 x place), tournament totals, RankByTotal.
void FinishRace(bool tournament);

// Sounds the world rules asked for during this frame's steps; the game plays
// them after the steps and clears the record.
struct RaceSoundEvents {
    uint8_t squeeze[5][3];  // per car: collision sound 0, 1, 2 wanted
    uint8_t tag[5];         // per car: tag sound wanted
};
// Per frame: set by ApplyWorldRules, cleared by the player of the sounds.
extern RaceSoundEvents gRaceSounds;

// The game's own pseudo-random generator, never seeded, so races repeat
// from run to run: non-negative integers.
int32_t RandomInt();
// Back to the first number of the sequence (tests, the simulator).
void ResetRandom();
