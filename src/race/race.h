// Race set-up and the race step.
//
// UpdateRace, once per 2 ms step of a race, in this order:
//   driving and countdown below 4.0: UpdateCar for cars 0..carCount-1, then
//   ApplyWorldRules for the same cars, then UpdateDust (when the particles
//   setting is on); driving: TickStandings; every phase but off:
//   UpdateCamera for cameras 0..carCount-1.
// Inputs of a step: the set-up record, the cars' controls records (written
// before the steps of a frame by the input layer and the network exchange),
// the random generator and the step length; nothing else.
#pragma once

#include <cstdint>

#include "race/car.h"

// What a race needs of the player's choices, copied once when a race is set
// up (the game copies its preferences, a replay its recording's header).
// The race reads this record and never the preferences.
struct RaceSetup {
    int32_t track;            // index into Config::trackNames
    uint32_t carCount;        // cars on the grid, 1..5
    uint8_t human[kMaxCars];   // 1: the car follows its controls record; 0: computer-driven
    int32_t gamemode;         // 0 tag, 1 checkpoint
    int32_t laps;             // checkpoint race length
    int32_t timelimit;        // tag race length, seconds held
    int32_t opponentskill;    // 0 easy, 1 medium, 2 hard
    uint8_t funnywheels;      // the tag holder's wheels bounce
    uint8_t particles;        // dust is stepped
    uint8_t seffects;         // collision and tag sounds are wanted
    float medalshowtime;      // seconds the leader medal stays up
    int32_t terrainPixelSkip; // terrain mesh step, 1 or 2
    uint8_t alternate;        // a tournament of both modes: every race scores place points
};
// Per race: written by whoever starts the race, before LoadTrack and ResetCars.
extern RaceSetup gRaceSetup;

// Which part of a race the game is in: decides what a step moves.
enum RacePhase : int32_t {
    kRaceOff = 0,      // no race: nothing moves
    kRaceDriving = 1,  // cars, standings and cameras
    kRacePaused = 2,   // the race menu: the cameras orbit the cars
    kRaceResults = 3,  // the results: the cameras orbit the cars
};

// The set-up's car count held to the five car records: the cars every
// loop over a race's cars walks.
uint32_t RaceCarCount();

// Frees nothing that draws: loads the current track's course and heights
// (the renderer rebuilds its textures and lists when it sees new ones).
void LoadTrack();
// All five cars, their cameras and the standings back to the start.
void ResetCars();
void ResetCar(uint32_t i);
void UpdateRace(RacePhase phase);

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
// The generator's whole state, kept by a recording and restored by a replay.
uint32_t RandomState();
void SetRandomState(uint32_t state);
