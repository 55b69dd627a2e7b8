// The message loop and the frame.
//
// A frame: device updates, the clock (waits for the frame-rate limit and
// measures the frame), the network exchange of a race, as many 2 ms steps of
// the current game state as the frame holds, one drawing of the state, the
// overlays, a screenshot on F12, and the swap.
#include <GL/gl.h>

#include "app/clock.h"
#include "app/config.h"
#include "app/log.h"
#include "app/shell.h"
#include "assets/screenshot.h"
#include "game/game_state.h"
#include "game/recording.h"
#include "input/controls.h"
#include "input/devices.h"
#include "input/keymap.h"
#include "input/pads.h"
#include "net/net_session.h"
#include "platform/sys.h"
#include "platform/window.h"
#include "render/font.h"
#include "render/frame_meter.h"
#include "render/gl_util.h"
#include "render/race_assets.h"

// The network activity points: green for a message received this frame,
// red for one sent, in the bottom-right corner.
static void DrawNetworkMarks()
{
    if (gNet.received || gNet.sent) {
        float w = (float)gConfig.width;
        glBegin(GL_POINTS);
        if (gNet.received) {
            glColor3f(0, 1, 0);
            glVertex2f(1 - 6 / w, 2 / w);
        }
        if (gNet.sent) {
            glColor3f(1, 0, 0);
            glVertex2f(1 - 2 / w, 2 / w);
        }
        glEnd();
        glColor3f(1, 1, 1);
    }
    gNet.received = 0;
    gNet.sent = 0;
}

// Per start-up pass: 1 while Alt+Enter is held after it acted.
static uint8_t fullscreenLatch;

// The running window between full screen and a window of its size; kept in
// the configuration when the display allows it.
static void ToggleDisplayMode()
{
    if (ToggleFullscreen()) {
        gGame.pendingFullscreen = gConfig.fullscreen;
        SaveConfig();
    } else {
        LogMessage("MINOR ERROR (display mode not available): %dx%d full screen [keeping the window]",
                   gConfig.width, gConfig.height);
    }
}

void RunFrame()
{
    // The controls records of the people here, then the race exchange: a
    // client sends its keys and takes the host's state before the steps; the
    // host takes the client's keys (car 1's record) before and answers after
    // them.
    if (IsRaceState(gGame.state)) {
        WriteLocalControls();
        if (gNet.role == kRoleHost) {
            raceRecv();
        } else if (gNet.role == kRoleClient) {
            raceSend();
            raceRecv();
        }
    }
    bool inRace = IsRaceState(gGame.state);
    while (NextStep(inRace)) {
        if (gNet.sendTimer > 0)
            gNet.sendTimer -= (float)(1.0 / gClock.stepRate);
        UpdateState();
    }
    if (IsRaceState(gGame.state) && gNet.role == kRoleHost)
        raceSend();
    PlayRaceSounds();
    DrawState();
    CheckRaceRecording();
    SetOrtho2D(1, 1);
    DrawNetworkMarks();
    // F12: one screenshot per press, of the frame just drawn.
    if (KeyDown(kKeyScreenshot)) {
        if (!screenshotLatch) {
            SaveScreenshot();
            screenshotLatch = 1;
        }
    } else {
        screenshotLatch = 0;
    }
    // Alt (18) + Enter (13): full screen <-> window, once per press.
    if (KeyDown(18) && KeyDown(13)) {
        if (!fullscreenLatch)
            ToggleDisplayMode();
        fullscreenLatch = 1;
    } else {
        fullscreenLatch = 0;
    }
}

// Red at 0, yellow at 42.5, green from 85 frames per second.
void DrawFrameRate()
{
    const double v = gClock.displayRate;
    const double t = v / 85.0;
    float red = 0.0f, green = 1.0f;
    if (v < 85.0) {
        if (t >= 0.5) {
            red = (float)(2.0 - 2.0 * t);
        } else {
            red = 1.0f;
            green = (float)(2.0 * t);
        }
    }
    PrintText(gMainFont, 0.93f, 0.975f, red, green, 0.0f, 0, 0, 0.02f, "%3.0f", v);
}

static bool QuitTimeReached(uint64_t start)
{
    if (gLaunch.quitAfter <= 0.0)
        return false;
    double elapsed = (double)(SysCounter() - start) / (double)SysFrequency();
    return elapsed >= gLaunch.quitAfter;
}

void RunMessageLoop()
{
    static uint64_t programStart = SysCounter();
    for (;;) {
        if (QuitTimeReached(programStart))
            gGame.state = Quit;
        if (gGame.state == Quit || gGame.state == ApplyGraphics)
            return;
        PollResult event = PollWindowEvent();
        if (event == kQuitEvent) {
            gGame.state = Quit;
            return;
        }
        if (event == kEventHandled)
            continue;
        if (!windowActive) {
            SysSleepMs(5);
            continue;
        }
        UpdateMouse(gGame.state == Race);
        UpdateJoystick();
        if (gNet.role == kRoleClient && gNet.inFrameRate < 25)
            gNet.inFrameRate = 25;
        UpdateClock();
        RunFrame();
        if (gConfig.frameratecounter)
            DrawFrameRate();
        glFlush();
        SwapGameWindow();
        // A race frame clears its own views; anything else starts black.
        if (!IsRaceState(gGame.state))
            glClear(GL_COLOR_BUFFER_BIT);
        if (IsRaceState(gGame.state))
            EndPass(kPassSwap);
        EndMouseFrame();
        EndKeyboardFrame();
        EndPadFrame();
    }
}
