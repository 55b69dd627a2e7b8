// Tournament modes and the results' mode line.
#include "game/tournament.h"

#include <cstdio>

#include "game/menu_logic.h"

int32_t TournamentRaceMode(const Prefs& p, int32_t track)
{
    if (!p.alternate)
        return p.gamemode;
    return (track & 1) == 0 ? 0 : 1;
}

void CycleTournamentMode(Prefs& p)
{
    if (p.alternate) {
        p.alternate = 0;
        p.gamemode = 0;
    } else if (p.gamemode == 0) {
        p.gamemode = 1;
    } else {
        p.alternate = 1;
        p.gamemode = 1;
    }
}

const char* TournamentModeName(const Prefs& p)
{
    return p.alternate ? "Alternate" : GameModeName(p.gamemode);
}

void ResultsModeLine(int32_t gamemode, bool tournament, int32_t track, int32_t trackCount, char* out, size_t size)
{
    if (tournament)
        snprintf(out, size, "Race %d of %d: %s", track + 1, trackCount, GameModeName(gamemode));
    else
        snprintf(out, size, "%s", GameModeName(gamemode));
}
