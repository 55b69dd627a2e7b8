#include "game/race_prefs.h"

#include "game/game_state.h"
#include "game/prefs.h"
#include "net/net_session.h"
#include "race/race.h"

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
