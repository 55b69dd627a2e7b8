// The track maker: a whole new track from a seed and a kind of ground,
// built by the same code as the shipped tracks.  The same seed and ground
// always give the same track.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "track.h"

// "dunes", "hills", "canyon", "lakes", "meadow", "quarry"; false for
// anything else.
bool ParseGround(const std::string& text, Ground* ground);
const char* GroundName(Ground ground);
// The ground a seed gets when none is asked for.
Ground GroundForSeed(uint32_t seed);

// A made track: its table, the built track and how many plans were tried
// before one passed the track checker (0 when none did).
struct MadeTrack {
  TrackTable table;
  TrackData data;
  int tries;
};

// Plans driving lines from `seed` until a built track passes the track
// checker's course and ground rules (at most 64 tries).  `name` must
// outlive the result (the table points at it).  With `why`, the reason
// each dropped plan failed is written there.
MadeTrack MakeTrack(uint32_t seed, Ground ground, const char* name, FILE* why = nullptr);

// The checker's course and ground rules on a built track, as the game
// would read its written heightmap and course; problems go to `problems`
// (a TrackProblems of src/race/track_check.h) when it is not null.
struct TrackProblems;
bool CheckBuiltTrack(const TrackData& track, TrackProblems* problems);
