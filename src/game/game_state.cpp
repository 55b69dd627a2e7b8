// UpdateState and DrawState: the dispatch of the game's state machine, the
// Escape latch, the fade between screens and the choice of music.
#include <GL/gl.h>

#include "app/clock.h"
#include "game/game_state.h"
#include "game/prefs.h"
#include "input/devices.h"
#include "race/race.h"
#include "render/race_frame.h"

static const int kEscapeKey = 27;

void UpdateState()
{
    const double dt = 1.0 / gClock.stepRate;
    if (gGame.fade < 1.0f && gGame.state != QuitFading && gGame.state != Quit)
        gGame.fade += (float)(1.75 * dt);
    switch (gGame.state) {
    case Race:
    case RaceMenu:
    case RaceResults:
        UpdateRace();
        break;
    case QuitFading:
        if (gGame.fade > 0.0f)
            gGame.fade -= (float)(0.5 * dt);
        break;
    default:
        break;
    }
}

// Darkens the whole screen to `fade` of its brightness.
static void DrawFade(float fade)
{
    glEnable(GL_BLEND);
    glBlendFunc(GL_ZERO, GL_SRC_COLOR);
    glColor3f(fade, fade, fade);
    glBegin(GL_QUADS);
    glVertex2f(0, 0);
    glVertex2f(1, 0);
    glVertex2f(1, 1);
    glVertex2f(0, 1);
    glEnd();
    glDisable(GL_BLEND);
    glColor3f(1, 1, 1);
}

void DrawState()
{
    if (!KeyDown(kEscapeKey))
        gGame.escapeLatch = 1;
    switch (gGame.state) {
    case QuitFading:
        if (gGame.fade <= 0.0f) {
            gGame.state = Quit;
            return;
        }
        break;
    default:
        break;
    }
    if (IsRaceState(gGame.state)) {
        RenderRaceFrame();
        if (gGame.state == Race && RaceIsOver()) {
            FinishRace(gGame.tournament);
            gGame.state = RaceResults;
        }
    }
    if (KeyDown(kEscapeKey) && gGame.escapeLatch)
        gGame.escapeLatch = 0;
    if (!IsRaceState(gGame.state)) {
        if (gGame.fade < 1.0f)
            DrawFade(gGame.fade);
    } else {
        gGame.fade = 0.0f;
    }
}
