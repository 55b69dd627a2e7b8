// Every race the game runs is recorded (single races, tournaments, demos
// and network races on the host), and a recording can be watched again.
#pragma once

#include <cstdint>

#include "game/prefs.h"
#include "race/camera.h"
#include "race/replay.h"

// The race being recorded.  Per race: BeginRaceRecording starts it,
// EndRaceRecording writes it out.
struct RaceRecording {
    Replay replay;
    uint8_t active;     // steps are being recorded
    uint8_t unevenSteps; // a step was not 2 ms long (logged once)
    char lastPath[512]; // the last recording written (full path), "" when none
};
extern RaceRecording gRecording;

// A recording on screen.  Per watching: StartWatching sets it, leaving the
// race states or starting a race clears it.
struct Watching {
    Replay replay;
    ReplayCursor cursor;
    uint8_t active;     // the race on screen is a recording
    uint8_t paused;     // Space: no steps
    uint8_t spaceLatch; // 1 while Space has been up since it last acted
    char path[512];     // the file on screen
};
extern Watching gWatch;

// Before ResetCars of a new race or a restart: writes the recording under
// way (as left early) and starts one of the race about to begin (the set-up
// and the random generator's state are taken now).  A network client
// records nothing (the host's state overrides its steps).
void BeginRaceRecording();

// Before each driving step: the controls of the people's cars.
void RecordRaceStep();

// The race ended (`finished`) or was left: results from the standings
// (ranked), then "data/replays/NNN.qbr".  Nothing when no race is recorded.
void EndRaceRecording(bool finished);

// Once per frame: a recording under way whose race is no longer on screen
// is written as left early; watching ends with the race states.
void CheckRaceRecording();

// Loads and checks a recording, puts its race on the grid and shows it
// (state 6).  False, with the reason logged and shown, when it cannot be
// played (damaged, another version, a changed or missing track).
bool StartWatching(const char* path);

// The recording the results screen's Replay button plays: the one being
// watched, else the race just finished; null when there is none (and in a
// network game, which goes on).
const char* ReplayOfResults();

// One step of state 6 while watching: the next recorded step (four while
// Right is held, none while paused); after the last, the results.
void WatchStep();

// Once per frame while watching: Space pauses and resumes.
void WatchKeys();

// The preferences the race on screen is drawn, heard and listed with: the
// player's own (colours, views, sound), with car count, mode, track, laps
// and time limit as the race was set up, and while watching the
// recording's names.  A copy: nothing of the race reaches gPrefs, so a save
// from the menus keeps the player's own choices.
void ShownRacePrefs(Prefs* out);

// Player 1's camera key while watching: the next camera mode, and after the
// last mode the next car.
void WatchCameraKey(Camera& camera, bool held);
