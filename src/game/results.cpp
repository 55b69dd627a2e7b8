// The results screen (state 8) over the dimmed race: the scores of the race
// just run, or in a tournament the totals with this race's scores, and the
// continue button to the next track while one follows.
#include "app/config.h"
#include "game/menu_logic.h"
#include "game/menus.h"
#include "game/prefs.h"
#include "game/recording.h"
#include "race/race.h"
#include "race/standings.h"
#include "render/font.h"

static bool ContinueShown()
{
    return ResultsContinueShown(gGame.tournament != 0, gPrefs.track, gConfig.trackCount);
}

void DrawResults()
{
    MenuButton* b = gGame.buttons;
    const MenuButton& next = b[BtnResultsContinue];
    bool continueShown = ContinueShown();
    if (continueShown)
        UpdateButton(b[BtnResultsContinue], true);
    UpdateButton(b[BtnBack], true);
    const char* replay = ReplayOfResults();
    if (replay)
        UpdateButton(b[BtnReplay], true);

    ResultsTable table;
    BuildResultsTable(gStandings, gPrefs, gGame.tournament != 0, &table);
    PrintText(gMainFont, next.x, table.headerY, next.colour[0], next.colour[1], next.colour[2], 1, 0,
              0.015f, "%s", table.header);
    for (int i = 0; i < table.rowCount; i++) {
        const float* c = gPrefs.playerColour[table.rowCar[i]];
        PrintText(gMainFont, next.x, table.rowY[i], c[0], c[1], c[2], 1, 0, 0.015f, "%s", table.rows[i]);
    }

    if (continueShown && next.state == 3) {
        gPrefs.track += 1;
        StartRaceOnTrack();
    } else if (b[BtnBack].state == 3) {
        LeaveRace();
    } else if (replay && b[BtnReplay].state == 3) {
        char path[512];
        snprintf(path, sizeof path, "%s", replay);  // StartWatching may overwrite the source
        StartWatching(path);
    }
}

void UpdateResults()
{
    if (ContinueShown())
        AnimateButton(gGame.buttons[BtnResultsContinue]);
    AnimateButton(gGame.buttons[BtnBack]);
    if (ReplayOfResults())
        AnimateButton(gGame.buttons[BtnReplay]);
}
