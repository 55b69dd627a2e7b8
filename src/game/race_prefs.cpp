#include "game/race_prefs.h"

#include "app/clock.h"
#include "app/config.h"
#include "game/game_state.h"
#include "game/prefs.h"
#include "game/tournament.h"
#include "net/net_session.h"
#include "race/dust.h"
#include "race/race.h"
#include "race/standings.h"

void TakeRaceSetupFromPrefs()
{
    RaceSetup& s = gRaceSetup;
    s = RaceSetup{};
    s.track = gPrefs.track;
    s.carCount = gPrefs.carCount;
    const bool network = gNet.role == kRoleHost || gNet.role == kRoleClient;
    for (uint32_t i = 0; i < (uint32_t)kMaxCars; i++) {
        const bool local = (int64_t)i < (int64_t)gPrefs.nplayers;
        s.human[i] = !gGame.demo && (local || (i == 1 && network)) ? 1 : 0;
    }
    s.gamemode = gPrefs.gamemode;
    s.laps = gPrefs.laps;
    s.timelimit = gPrefs.timelimit;
    s.opponentskill = gPrefs.opponentskill;
    s.funnywheels = gPrefs.funnywheels;
    s.particles = gPrefs.particles;
    s.seffects = gPrefs.seffects;
    s.medalshowtime = gPrefs.medalshowtime;
    s.terrainPixelSkip = gPrefs.terrain_pixelskip;
    s.alternate = gPrefs.alternate;
}

void TakeRaceSetupForTrack(int32_t track, bool tournament)
{
    TakeRaceSetupFromPrefs();
    gRaceSetup.track = track >= 0 && track < gConfig.trackCount ? track : 0;
    if (tournament)
        gRaceSetup.gamemode = TournamentRaceMode(gPrefs, gRaceSetup.track);
}

void StartComputerRace(const ComputerRace& race)
{
    SetDefaultPrefs();
    gPrefs.track = race.track;
    gPrefs.gamemode = race.mode;
    gPrefs.nplayers = 0;
    gPrefs.nopponents = race.cars;
    gPrefs.carCount = (uint32_t)race.cars;
    gPrefs.opponentskill = race.skill;
    gPrefs.laps = race.laps;
    gPrefs.timelimit = race.timeLimit;
    gGame.demo = 1;
    gClock.stepRate = 500.0;
    ClearDust();
    ClearTotals();
    TakeRaceSetupFromPrefs();
    LoadTrack();
    ResetCars();
    gGame.state = Race;
}
