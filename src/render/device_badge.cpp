// The device badge and the reconnect message of one view (see device_badge.h).
#include "render/device_badge.h"

#include <GL/gl.h>

#include <cmath>
#include <cstdio>

#include "game/game_state.h"
#include "game/prefs.h"
#include "input/pads.h"
#include "race/standings.h"
#include "render/font.h"
#include "render/race_frame.h"

enum BadgeKind { kBadgeKeys, kBadgeMouse, kBadgePad, kBadgeWheel };

static void Rect(float x0, float y0, float x1, float y1)
{
    glVertex2f(x0, y0);
    glVertex2f(x1, y0);
    glVertex2f(x1, y1);
    glVertex2f(x0, y1);
}

// A symbol of about 0.05 x 0.03 with its lower left corner at (x, y).
static void DrawSymbol(BadgeKind kind, float x, float y)
{
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_LINE_BIT);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glDisable(GL_CULL_FACE);
    glDisable(GL_BLEND);
    glBegin(GL_QUADS);
    if (kind == kBadgePad) {
        glColor3f(0.2f, 0.2f, 0.25f);
        Rect(x + 0.006f, y + 0.01f, x + 0.044f, y + 0.028f);  // body
        Rect(x, y, x + 0.014f, y + 0.024f);                   // grips
        Rect(x + 0.036f, y, x + 0.05f, y + 0.024f);
        glColor3f(0.9f, 0.9f, 0.9f);
        Rect(x + 0.009f, y + 0.016f, x + 0.017f, y + 0.020f);  // cross
        Rect(x + 0.011f, y + 0.013f, x + 0.015f, y + 0.023f);
        glColor3f(0.9f, 0.3f, 0.3f);
        Rect(x + 0.034f, y + 0.018f, x + 0.038f, y + 0.022f);  // buttons
        glColor3f(0.3f, 0.9f, 0.3f);
        Rect(x + 0.029f, y + 0.013f, x + 0.033f, y + 0.017f);
    } else if (kind == kBadgeWheel) {
        glColor3f(0.2f, 0.2f, 0.25f);
        Rect(x + 0.022f, y + 0.002f, x + 0.028f, y + 0.016f);  // spoke
        Rect(x + 0.008f, y + 0.013f, x + 0.042f, y + 0.018f);
    } else {
        glColor3f(0.2f, 0.2f, 0.25f);
        Rect(x, y, x + 0.05f, y + 0.026f);
        glColor3f(0.9f, 0.9f, 0.9f);
        for (int row = 0; row < 3; row++)
            for (int key = 0; key < 6; key++) {
                const float kx = x + 0.003f + (float)key * 0.0078f, ky = y + 0.003f + (float)row * 0.0078f;
                Rect(kx, ky, kx + 0.0055f, ky + 0.0055f);
            }
        if (kind == kBadgeMouse) {
            glColor3f(0.2f, 0.2f, 0.25f);
            Rect(x + 0.054f, y, x + 0.066f, y + 0.02f);
        }
    }
    glEnd();
    if (kind == kBadgeWheel) {  // the rim
        glColor3f(0.2f, 0.2f, 0.25f);
        glLineWidth(3.0f);
        glBegin(GL_LINE_LOOP);
        for (int k = 0; k < 20; k++) {
            const float a = (float)k * 6.2831853f / 20.0f;
            glVertex2f(x + 0.025f + 0.02f * cosf(a), y + 0.015f + 0.014f * sinf(a));
        }
        glEnd();
    }
    glPopAttrib();
}

void DrawViewDevice(float left, float bottom, float width, float height, float badgeTop)
{
    if (gGame.state != Race && gGame.state != RaceMenu)
        return;
    const int32_t player = (int32_t)currentView;
    if (player >= gPrefs.nplayers || player > 3 || gGame.demo)
        return;
    const float textSize = gPrefs.screenmode == 2 ? 0.011f : 0.0125f;

    if (gGame.state == Race && gPads.pausedPlayer == player)
        PrintTextOutlined(gMainFont, left + width / 2.0f, bottom + height / 2.0f, 1.0f, 0.9f, 0.2f, 1, 0, textSize,
                  "Player %d: reconnect your pad or press Escape", player + 1);

    if (!(gStandings.countdown > 0.0f))
        return;
    BadgeKind kind = kBadgeKeys;
    char label[16];
    snprintf(label, sizeof label, "Keys");
    const int pad = PlayerPad(gPrefs, player);
    if (gPrefs.mousesteering == player) {
        kind = kBadgeMouse;
        snprintf(label, sizeof label, "Mouse");
    } else if (pad >= 0) {
        kind = kBadgePad;
        snprintf(label, sizeof label, "Pad %d", pad + 1);
    } else if (gPrefs.wheelsteering == player) {
        kind = kBadgeWheel;
        snprintf(label, sizeof label, "Wheel");
    }
    const float x = left + 0.012f, y = badgeTop - 0.035f;
    DrawSymbol(kind, x, y);
    PrintTextOutlined(gMainFont, x + 0.075f, y + 0.008f, 1, 1, 1, 0, 0, textSize, "%s", label);
}
