// Building the results panel's rows.
#include "game/results_panel.h"

#include <cstdio>

#include "game/menu_logic.h"
#include "game/prefs.h"
#include "race/standings.h"
#include "render/hud_logic.h"

void BuildResultsPanel(const RaceStandings& s, const Prefs& p, bool tournament, int32_t track, int32_t trackCount,
                       const char* trackName, uint32_t humanCars, uint32_t localCars, ResultsPanel* panel)
{
    const uint32_t count = p.carCount > 5 ? 5 : p.carCount;
    panel->tournament = tournament;
    panel->rowCount = (int)count;
    snprintf(panel->title, sizeof panel->title, "%s", trackName && trackName[0] ? trackName : "Results");
    if (tournament)
        snprintf(panel->subtitle, sizeof panel->subtitle, "Race %d of %d", track + 1,
                 trackCount > track ? trackCount : track + 1);
    else
        snprintf(panel->subtitle, sizeof panel->subtitle, "%s", GameModeName(p.gamemode));
    HudRanking ranking;
    RankForHud(tournament ? s.total : s.score, count, &ranking);
    for (uint32_t k = 0; k < count; k++) {
        ResultsPanelRow& row = panel->rows[k];
        row.car = ranking.car[k];
        row.place = ranking.place[k];
        snprintf(row.placeText, sizeof row.placeText, "%u%s", row.place, PlaceSuffix(row.place));
        row.local = (localCars >> row.car & 1u) != 0;
        CarDisplayName(p, row.car, (humanCars >> row.car & 1u) != 0, row.name, sizeof row.name);
        row.score = s.score[row.car];
        row.total = s.total[row.car];
    }
}
