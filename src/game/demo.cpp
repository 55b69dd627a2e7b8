#include "game/demo.h"

#include "game/game_state.h"
#include "game/race_prefs.h"
#include "game/recording.h"
#include "race/race.h"
#include "race/standings.h"

void StartDemoRace()
{
    gGame.demo = 1;
    gGame.tournament = 0;
    ClearTotals();
    TakeRaceSetupFromPrefs();
    LoadTrack();
    BeginRaceRecording();
    ResetCars();
    gGame.state = Race;
}
