// The results screen (state 8).  For its first two seconds the race stays
// in view with "Race over" and each car's place (drawn by the HUD); then the
// scores of the race just run, or in a tournament the totals with this
// race's scores, stand on a dark panel over the dimmed race, with the
// continue button to the next track while one follows.
#include <GL/gl.h>

#include <cstring>

#include "app/clock.h"
#include "app/config.h"
#include "game/menu_logic.h"
#include "game/menus.h"
#include "game/prefs.h"
#include "game/recording.h"
#include "game/results_panel.h"
#include "race/car.h"
#include "game/tournament.h"
#include "race/race.h"
#include "race/standings.h"
#include "render/font.h"
#include "render/gl_util.h"
#include "render/hud_logic.h"

namespace {

const float kRaceOverSeconds = 2.0f;

// Per race: BeginResults resets it when the race ends.
struct ResultsScreen {
    float shownFor;  // seconds since the race ended
};
ResultsScreen gResultsScreen = {kRaceOverSeconds};

bool ContinueShown()
{
    return ResultsContinueShown(gGame.tournament != 0, gRaceSetup.track, gConfig.trackCount);
}

// One column of the panel: where its text stands and how it is aligned.
struct Column {
    float x;
    int align;
};

void DrawPanel(const ResultsPanel& panel)
{
    const float scale = HudTextScale(1.0f);
    const float size = 0.015f * scale;
    const float line = size * 2.2f;
    const float left = 0.12f, right = 0.88f, top = 0.95f;
    const float headerY = top - size * 5.4f;
    const float firstRowY = headerY - line * 1.1f;
    const float bottom = firstRowY - line * (float)(panel.rowCount - 1) - line * 0.8f;

    SetOrtho2D(1, 1);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glColor4f(0.04f, 0.05f, 0.08f, 0.92f);
    FlatQuad(left, bottom, right, top);
    glColor4f(1.0f, 1.0f, 1.0f, 0.25f);
    FlatQuad(left + 0.02f, headerY - size * 1.25f, right - 0.02f, headerY - size * 1.15f);
    glDisable(GL_BLEND);

    PrintTextOutlined(gMainFont, 0.5f, top - size * 1.6f, 1.0f, 0.85f, 0.3f, 1, 0, size * 1.3f, "%s", panel.title);
    PrintTextOutlined(gMainFont, 0.5f, top - size * 3.8f, 0.8f, 0.8f, 0.8f, 1, 0, size * 0.8f, "%s",
                      panel.subtitle);

    // Columns: place, name, this race's score, and the total in a tournament.
    // Another column (the game mode of each race, say) takes its place here.
    const Column place = {left + 0.045f, 0};
    const Column name = {left + 0.155f, 0};
    const Column score = {panel.tournament ? right - 0.2f : right - 0.04f, 2};
    const Column total = {right - 0.04f, 2};
    const float grey = 0.75f;
    PrintTextOutlined(gMainFont, place.x, headerY, grey, grey, grey, place.align, 0, size * 0.8f, "Place");
    PrintTextOutlined(gMainFont, name.x, headerY, grey, grey, grey, name.align, 0, size * 0.8f, "Name");
    PrintTextOutlined(gMainFont, score.x, headerY, grey, grey, grey, score.align, 0, size * 0.8f, "Score");
    if (panel.tournament)
        PrintTextOutlined(gMainFont, total.x, headerY, grey, grey, grey, total.align, 0, size * 0.8f, "Total");

    for (int i = 0; i < panel.rowCount; i++) {
        const ResultsPanelRow& row = panel.rows[i];
        const float y = firstRowY - line * (float)i;
        const float* c = gPrefs.playerColour[row.car];
        if (row.local) {
            // A light bar in the player's colour and a mark in the margin.
            glEnable(GL_BLEND);
            glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
            glColor4f(0.5f + c[0] * 0.5f, 0.5f + c[1] * 0.5f, 0.5f + c[2] * 0.5f, 0.22f);
            FlatQuad(left + 0.01f, y - line * 0.45f, right - 0.01f, y + line * 0.45f);
            glDisable(GL_BLEND);
            PrintTextOutlined(gMainFont, left + 0.005f, y, 1, 1, 1, 0, 0, size, ">");
        }
        PrintTextOutlined(gMainFont, place.x, y, 1, 1, 1, place.align, 0, size, "%s", row.placeText);
        PrintTextOutlined(gMainFont, name.x, y, c[0], c[1], c[2], name.align, row.local ? 1 : 0, size, "%s",
                          row.name);
        PrintTextOutlined(gMainFont, score.x, y, 1, 1, 1, score.align, 0, size, "%.1f", row.score);
        if (panel.tournament)
            PrintTextOutlined(gMainFont, total.x, y, 1, 1, 0.6f, total.align, 0, size, "%.1f", row.total);
    }
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
}

}  // namespace

void BeginResults()
{
    gResultsScreen.shownFor = 0.0f;
}

bool RaceOverShowing()
{
    return gResultsScreen.shownFor < kRaceOverSeconds;
}

void DrawResults()
{
    if (RaceOverShowing())
        return;  // the HUD announces the end of the race in every view
    MenuButton* b = gGame.buttons;
    const MenuButton& next = b[BtnResultsContinue];
    bool continueShown = ContinueShown();

    uint32_t human = 0, local = 0;
    for (uint32_t c = 0; c < (uint32_t)kMaxCars; c++) {
        if (IsHumanCar(c))
            human |= 1u << c;
        if (!gGame.demo && (int64_t)c < (int64_t)gPrefs.nplayers)
            local |= 1u << c;
    }
    const int32_t track = gRaceSetup.track;
    const char* trackName =
        track >= 0 && track < gConfig.trackCount && track < kMaxTracks ? gConfig.trackNames[track] : "";
    Prefs shown;  // the race's rows, mode and names, not the set-up screen's
    ShownRacePrefs(&shown);
    ResultsPanel panel;
    BuildResultsPanel(gStandings, shown, gGame.tournament != 0, track, gConfig.trackCount, trackName, human, local,
                      &panel);
    DrawPanel(panel);

    if (continueShown)
        UpdateButton(b[BtnResultsContinue], true);
    UpdateButton(b[BtnBack], true);
    const char* replay = ReplayOfResults();
    if (replay)
        UpdateButton(b[BtnReplay], true);
    if (continueShown && next.state == 3) {
        StartRaceOnTrack(gRaceSetup.track + 1);
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
    if (gResultsScreen.shownFor < kRaceOverSeconds)
        gResultsScreen.shownFor += (float)(1.0 / gClock.stepRate);
    if (ContinueShown())
        AnimateButton(gGame.buttons[BtnResultsContinue]);
    AnimateButton(gGame.buttons[BtnBack]);
    if (ReplayOfResults())
        AnimateButton(gGame.buttons[BtnReplay]);
}
