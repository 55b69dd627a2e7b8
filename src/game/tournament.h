// Tournament modes: a tournament runs every race in the set-up's mode, or
// with "Alternate" Tag! and Checkpoint by turns over the tracks (Tag! on
// the first), all scored with place points on one table.
#pragma once

#include <cstddef>
#include <cstdint>

#include "game/prefs.h"

// The mode (gamemode value) of the tournament race on track index `track`.
int32_t TournamentRaceMode(const Prefs& p, int32_t track);

// The tournament set-up's mode button: Tag!, Checkpoint, Alternate, Tag! ...
void CycleTournamentMode(Prefs& p);

// "Alternate", or the game mode's own name.
const char* TournamentModeName(const Prefs& p);

// The results' line naming the race just run: "Checkpoint" for a single
// race, "Race 2 of 6: Checkpoint" in a tournament (race number = track + 1).
void ResultsModeLine(int32_t gamemode, bool tournament, int32_t track, int32_t trackCount, char* out,
                     size_t size);
