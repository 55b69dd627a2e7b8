// The race HUD: the standings (best on top, in the cars' colours), the
// countdown and the lap or time line, drawn large with an outline, plus
// place, clock, speed, the race-over announcement and the maps.
#include "render/hud.h"

#include <GL/gl.h>

#include <cmath>
#include <cstdio>
#include <cstring>

#include "app/config.h"
#include "game/game_state.h"
#include "game/menus.h"
#include "game/prefs.h"
#include "game/recording.h"
#include "race/car.h"
#include "race/checkpoints.h"
#include "race/race.h"
#include "race/standings.h"
#include "race/terrain.h"
#include "render/device_badge.h"
#include "render/font.h"
#include "render/gl_util.h"
#include "render/race_frame.h"

bool gHudCornerMap = true;

namespace {

const float kHudSize = 0.0125f;       // floor of standings and status text
const float kCountdownSize = 0.02f;   // floor of the countdown
const float kTagMark[3] = {1.0f, 0.85f, 0.1f};

float WindowAspect()
{
    return gConfig.height > 0 ? (float)gConfig.width / (float)gConfig.height : 4.0f / 3.0f;
}

// The translucent dark frame of `area` round `hole`, which lies inside it:
// four strips, so that no pixel under the hole is blended for nothing.
void ShadeAround(const ViewRect& area, const ViewRect& hole, float alpha)
{
    const float x0 = area.x, x1 = area.x + area.w, y0 = area.y, y1 = area.y + area.h;
    const float hx0 = hole.x, hx1 = hole.x + hole.w, hy0 = hole.y, hy1 = hole.y + hole.h;
    SetOrtho2D(1, 1);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glColor4f(0.0f, 0.0f, 0.0f, alpha);
    FlatQuad(x0, y0, x1, hy0);
    FlatQuad(x0, hy1, x1, y1);
    FlatQuad(x0, hy0, hx0, hy1);
    FlatQuad(hx1, hy0, x1, hy1);
    glDisable(GL_BLEND);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
}

void Standings(const ViewRect& view, const HudRanking& ranking, uint32_t viewer, float size, float* top)
{
    const float line = 2.0f * size;
    const float x = view.x + 0.012f + size * gMainFont.spacing;  // room for the own-row mark
    const float y0 = view.y + 0.03f * view.h * 2.0f;
    char name[32];
    Prefs shown;  // a recording's names while watching
    ShownRacePrefs(&shown);
    for (uint32_t k = 0; k < ranking.count; k++) {
        const uint32_t car = ranking.car[k];
        // Best on top: the lines climb from the bottom of the view.
        const float y = y0 + line * (float)(ranking.count - 1 - k);
        const float* colour = gPrefs.playerColour[car];
        const int set = car == viewer ? 1 : 0;
        CarDisplayName(shown, car, IsHumanCar(car), name, sizeof name);
        char text[64];
        if (gRaceSetup.gamemode == 0)
            snprintf(text, sizeof text, "%4.1f  %s", gStandings.score[car], name);
        else
            snprintf(text, sizeof text, "%2d  %s", (int)(ranking.count - 1 - k) * 5, name);
        if (car == viewer) {
            // Own row: a light bar under the text and an arrow before it.
            const float w = TextWidth(gMainFont, (int)strlen(text), size);
            SetOrtho2D(1, 1);
            glEnable(GL_BLEND);
            glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
            glColor4f(1.0f, 1.0f, 1.0f, 0.3f);
            FlatQuad(x, y - size, x + w + size * 0.5f, y + size);
            glDisable(GL_BLEND);
            PrintTextOutlined(gMainFont, x - size * gMainFont.spacing * 1.2f, y, 1, 1, 1, 0, 0, size, ">");
        }
        PrintTextOutlined(gMainFont, x, y, colour[0], colour[1], colour[2], 0, set, size, "%s", text);
        if (gRaceSetup.gamemode == 0 && gStandings.tagHolder == (int32_t)car) {
            const float w = TextWidth(gMainFont, (int)strlen(text), size);
            PrintTextOutlined(gMainFont, x + w + size * 0.6f, y, kTagMark[0], kTagMark[1], kTagMark[2], 0, 0,
                              size * 0.8f, "TAG");
        }
    }
    *top = y0 + line * (float)ranking.count;
}

void Countdown(const ViewRect& view, float scale)
{
    const float countdown = gStandings.countdown;
    const float cx = view.x + view.w / 2.0f, cy = view.y + view.h * 0.62f;
    const float size = kCountdownSize * scale * 2.5f;
    if (countdown >= 1.0f && countdown < 4.0f)
        PrintTextOutlined(gMainFont, cx, cy, 1, 1, 1, 1, 0, size, "%d", (int)countdown);
    else if (countdown > 0.0f && countdown < 1.0f && gGame.state == Race)
        PrintTextOutlined(gMainFont, cx, cy, 0.3f, 1.0f, 0.3f, 1, 0, size, "Go!");
}

void RaceOver(const ViewRect& view, const HudRanking& ranking, uint32_t viewer, float scale)
{
    const float cx = view.x + view.w / 2.0f, cy = view.y + view.h * 0.6f;
    const float size = kCountdownSize * scale * 1.8f;
    PrintTextOutlined(gMainFont, cx, cy, 1, 1, 1, 1, 0, size, "Race over");
    const uint32_t place = PlaceOfCar(ranking, viewer);
    if (place > 0) {
        const float* colour = gPrefs.playerColour[viewer];
        PrintTextOutlined(gMainFont, cx, cy - size * 2.4f, colour[0], colour[1], colour[2], 1, 0, size * 0.8f,
                          "%u%s of %u", place, PlaceSuffix(place), ranking.count);
    }
}

}  // namespace

void DrawRaceHud(const ViewRect& view)
{
    SetOrtho2D(1, 1);
    const uint32_t cars = RaceCarCount();
    const uint32_t viewer = currentView % kMaxCars;
    const float scale = HudTextScale(view.h);
    const float size = kHudSize * scale;
    HudRanking ranking;
    RankForHud(gStandings.score, cars, &ranking);
    if (gGame.state == RaceResults) {
        if (RaceOverShowing())
            RaceOver(view, ranking, viewer, scale);
        return;
    }
    const Car& car = gCars[viewer];

    // Bottom left: standings, then the lap or tag time line above them.
    float top = view.y + 0.03f;
    if (gRaceSetup.gamemode == 0 || gRaceSetup.gamemode == 1)
        Standings(view, ranking, viewer, size, &top);
    const float statusY = top + size * 1.2f;
    const float x = view.x + 0.012f + size * gMainFont.spacing;
    if (gRaceSetup.gamemode == 1) {
        const uint32_t gates = gCheckpoints.gateCount;
        uint32_t lap = car.lapsDone + 1;
        if (gRaceSetup.laps > 0 && lap > (uint32_t)gRaceSetup.laps)
            lap = (uint32_t)gRaceSetup.laps;
        if (gates > 0)
            PrintTextOutlined(gMainFont, x, statusY, 1, 1, 1, 0, 0, size, "Lap %u/%d   Gate %u/%u", lap,
                              gRaceSetup.laps, car.nextCheckpoint % gates + 1, gates);
        else
            PrintTextOutlined(gMainFont, x, statusY, 1, 1, 1, 0, 0, size, "Lap %u/%d", lap, gRaceSetup.laps);
    } else if (gRaceSetup.gamemode == 0) {
        PrintTextOutlined(gMainFont, x, statusY, 1, 1, 1, 0, 0, size, "Tag time %.1f / %d",
                          gStandings.score[viewer], gRaceSetup.timelimit);
    }

    // Top left: the place, large, in the car's colour.
    const float* colour = gPrefs.playerColour[viewer];
    const float placeSize = size * 2.0f;
    const uint32_t place = PlaceOfCar(ranking, viewer);
    if (place > 0)
        PrintTextOutlined(gMainFont, view.x + 0.01f, view.y + view.h - placeSize * 1.3f, colour[0], colour[1],
                          colour[2], 0, 0, placeSize, "%u%s / %u", place, PlaceSuffix(place), cars);

    // Top right: the race clock and the speed.
    char clock[16];
    FormatRaceClock(gStandings.raceClock, clock, sizeof clock);
    const float clockSize = size * 1.3f;
    const float right = view.x + view.w - 0.012f - clockSize / 1.2f;  // the last glyph's centre
    PrintTextOutlined(gMainFont, right, view.y + view.h - clockSize * 1.6f, 1, 1, 1, 2, 0, clockSize, "%s", clock);
    PrintTextOutlined(gMainFont, right, view.y + view.h - clockSize * 1.6f - clockSize * 2.3f, 1, 1, 0.6f, 2, 0,
                      clockSize, "%d km/h", SpeedKmh(car.velocity[0], car.velocity[2]));

    Countdown(view, scale);
}

void DrawOverviewMap(const ViewRect& area)
{
    const uint32_t cars = RaceCarCount();
    const ViewRect map = MapInArea(area, WindowAspect());
    SetOrtho2D(1, 1);
    ShadeAround(area, map, 0.85f);
    // The ground picture, darkened so the marks stand out: opaque, so the
    // shade goes only round it.
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, gTerrain.trackTexture);
    glColor3f(0.7f, 0.7f, 0.7f);
    glBegin(GL_QUADS);
    glTexCoord2f(0, 1);
    glVertex2f(map.x, map.y + map.h);
    glTexCoord2f(0, 0);
    glVertex2f(map.x, map.y);
    glTexCoord2f(1, 0);
    glVertex2f(map.x + map.w, map.y);
    glTexCoord2f(1, 1);
    glVertex2f(map.x + map.w, map.y + map.h);
    glEnd();
    glDisable(GL_TEXTURE_2D);

    const float s = gTerrain.cellSize;
    const float px = map.h / 64.0f;  // one cell in window heights
    const float aspect = WindowAspect();
    const float scaleUp = map.h * (float)(gConfig.height > 0 ? gConfig.height : 600);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    if (gRaceSetup.gamemode == 1 && gCheckpoints.gateCount > 0) {
        const uint32_t gates = gCheckpoints.gateCount < (uint32_t)kMaxGates ? gCheckpoints.gateCount : kMaxGates;
        glLineWidth(scaleUp > 300.0f ? 3.0f : 2.0f);
        glColor4f(1.0f, 1.0f, 1.0f, 0.8f);
        glBegin(GL_LINE_LOOP);
        for (uint32_t g = 0; g < gates; g++) {
            float mx, my;
            MapPoint(map, s, gCheckpoints.gates[g].centre[0], gCheckpoints.gates[g].centre[2], &mx, &my);
            glVertex2f(mx, my);
        }
        glEnd();
        glLineWidth(1.0f);
        for (uint32_t g = 0; g < gates; g++) {
            float mx, my;
            MapPoint(map, s, gCheckpoints.gates[g].centre[0], gCheckpoints.gates[g].centre[2], &mx, &my);
            const float r = px * 0.9f;
            glColor4f(1.0f, 0.5f, 0.0f, 1.0f);
            FlatQuad(mx - r / aspect, my - r, mx + r / aspect, my + r);
        }
    }
    for (uint32_t c = 0; c < cars; c++) {
        float mx, my;
        MapPoint(map, s, gCars[c].position[0], gCars[c].position[2], &mx, &my);
        const float r = px * 1.3f;
        if (gRaceSetup.gamemode == 0 && gStandings.tagHolder == (int32_t)c) {
            glColor4f(kTagMark[0], kTagMark[1], kTagMark[2], 1.0f);
            glLineWidth(2.0f);
            glBegin(GL_LINE_LOOP);
            for (int k = 0; k < 16; k++) {
                const float a = (float)k * 6.2831853f / 16.0f;
                glVertex2f(mx + cosf(a) * r * 2.2f / aspect, my + sinf(a) * r * 2.2f);
            }
            glEnd();
            glLineWidth(1.0f);
        }
        glColor4f(0.0f, 0.0f, 0.0f, 1.0f);
        FlatQuad(mx - r * 1.35f / aspect, my - r * 1.35f, mx + r * 1.35f / aspect, my + r * 1.35f);
        const float* colour = gPrefs.playerColour[c];
        glColor4f(colour[0], colour[1], colour[2], 1.0f);
        FlatQuad(mx - r / aspect, my - r, mx + r / aspect, my + r);
    }
    glDisable(GL_BLEND);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
}

void DrawViewOverlays(const ViewRect& view, uint32_t viewIndex)
{
    (void)viewIndex;
    // Top left, under the place: the player's device badge and the
    // message while the race waits for an unplugged pad.
    SetOrtho2D(1, 1);
    const float placeSize = kHudSize * HudTextScale(view.h) * 2.0f;
    DrawViewDevice(view.x, view.y, view.w, view.h, view.y + view.h - placeSize * 1.3f - 0.015f);
    if (gGame.state != Race || !gHudCornerMap || gPrefs.screenmode == 2)
        return;
    const float side = view.h * 0.28f;
    DrawOverviewMap(MapInCorner(view, side, WindowAspect(), 1, 0.02f));
}
