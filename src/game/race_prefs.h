// The race set-up record (race/race.h) from the player's preferences.
#pragma once

// Copies what the race needs of gPrefs into gRaceSetup; cars follow their
// controls record when a person at this machine or the network peer (car 1)
// drives them, never in a demonstration.  Call before LoadTrack and ResetCars.
void TakeRaceSetupFromPrefs();
