#include "game/demo.h"

#include "game/game_state.h"
#include "race/race.h"
#include "race/standings.h"

void StartDemoRace()
{
    gGame.demo = 1;
    gGame.tournament = 0;
    ClearTotals();
    LoadTrack();
    ResetCars();
    gGame.state = Race;
}
