#include "render/hud.h"

#include "game/game_state.h"
#include "game/prefs.h"
#include "race/car.h"
#include "race/standings.h"
#include "render/device_badge.h"
#include "render/font.h"
#include "render/gl_util.h"
#include "render/race_frame.h"

static const float kHudSize = 0.0125f;
static const float kLineHeight = 0.025f;

void DrawRaceHud(float x, float y)
{
    SetOrtho2D(1, 1);
    DrawViewDevice(x, y);
    if (gGame.state == RaceResults)
        return;
    const uint32_t cars = gPrefs.carCount <= (uint32_t)kMaxCars ? gPrefs.carCount : kMaxCars;
    const uint32_t viewer = currentView % kMaxCars;
    int lines = 0;
    if (gPrefs.gamemode == 0 || gPrefs.gamemode == 1) {
        for (uint32_t k = 0; k < cars; k++) {
            const uint32_t car = gStandings.rankByScore[k] % kMaxCars;
            const float* colour = gPrefs.playerColour[car];
            const int set = car == viewer ? 1 : 0;
            const float lineY = y + kLineHeight * (float)k;
            if (gPrefs.gamemode == 0)
                PrintText(gMainFont, x, lineY, colour[0], colour[1], colour[2], 0, set, kHudSize, "%2.1f - %s",
                          gStandings.score[car], gPrefs.playername[car]);
            else
                PrintText(gMainFont, x, lineY, colour[0], colour[1], colour[2], 0, set, kHudSize, "%2d - %s",
                          (int)k * 5, gPrefs.playername[car]);
            lines++;
        }
    }
    const float o = kLineHeight * (float)lines;
    const float countdown = gStandings.countdown;
    if (countdown >= 1.0f && countdown < 4.0f)
        PrintText(gMainFont, x, y + o + 0.2f, 1, 1, 1, 0, 0, 0.02f, "%d", (int)countdown);
    if (gPrefs.gamemode == 1)
        PrintText(gMainFont, x, y + o + 0.075f, 1, 1, 1, 0, 0, kHudSize, "Lap: %d/%d",
                  (int)gCars[viewer].lapsDone + 1, gPrefs.laps);
    else if (gPrefs.gamemode == 0)
        PrintText(gMainFont, x, y + o + 0.075f, 1, 1, 1, 0, 0, kHudSize, "Time: %2.1f/%2d",
                  gStandings.score[viewer], gPrefs.timelimit);
}
