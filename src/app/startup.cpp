// Start-up and shut-down passes, in the fixed order every subsystem relies on.
#include <GL/gl.h>

#include "app/clock.h"
#include "app/config.h"
#include "app/display_mode.h"
#include "app/log.h"
#include "app/shell.h"
#include "assets/texture.h"
#include "game/demo.h"
#include "game/recording.h"
#include "game/game_state.h"
#include "game/menus.h"
#include "game/prefs.h"
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
#include "sound/sound.h"

LaunchOptions gLaunch;

// Per start-up pass: loaded by StartUp, deleted by ShutDown.
static Texture logoTexture;
// Per start-up pass: the intro plays from step 10 until step 19 has waited for it.
static Sample introSample;
static Channel introChannel;

// The start-up image in the bottom-right corner of a white screen, drawn
// into both buffers.
static void ShowSplash()
{
    LoadTexture("data/bg/logo.tga", &logoTexture);
    glClearColor(1.0f, 1.0f, 1.0f, 1.0f);
    for (int buffer = 0; buffer < 2; buffer++) {
        glClear(GL_COLOR_BUFFER_BIT);
        SetOrtho2D(1, 1);
        glEnable(GL_TEXTURE_2D);
        glBindTexture(GL_TEXTURE_2D, logoTexture);
        glColor3f(1.0f, 1.0f, 1.0f);
        glBegin(GL_QUADS);
        glTexCoord2f(0.0f, 0.0f);
        glVertex2f(0.6875f, 0.02f);
        glTexCoord2f(1.0f, 0.0f);
        glVertex2f(1.0f, 0.02f);
        glTexCoord2f(1.0f, 1.0f);
        glVertex2f(1.0f, 0.10333333f);
        glTexCoord2f(0.0f, 1.0f);
        glVertex2f(0.6875f, 0.10333333f);
        glEnd();
        glDisable(GL_TEXTURE_2D);
        SwapGameWindow();
    }
}

// Waits while the intro plays; with sound off it never started and there is
// nothing to wait for.  A click, Escape, Enter or a pad's A or Start ends it
// early (the menu then waits for the mouse button to be let go, so the click
// does not also press a menu button); a close request ends the program.
static void WaitForIntro()
{
    while (IsChannelPlaying(introChannel)) {
        PollResult event;
        while ((event = PollWindowEvent()) != kNoEvent) {
            if (event == kQuitEvent)
                gGame.state = Quit;
        }
        if (gGame.state == Quit || gMouse.leftPressed || KeyDown(kKeyEscape) || KeyDown(kKeyEnter) ||
            AnyPadPressed(kPadThrottleButton) || AnyPadPressed(kPadStartButton))
            break;
        SysSleepMs(10);
    }
    while (gMouse.leftDown && gGame.state != Quit) {
        if (PollWindowEvent() == kQuitEvent)
            gGame.state = Quit;
        SysSleepMs(5);
    }
    EndMouseFrame();
    EndKeyboardFrame();  // the key that ended the intro presses nothing in the menu
    EndPadFrame();
    StopChannel(introChannel);
    FreeSample(&introSample);
    introChannel = 0;
}

// The window of this start-up pass.  After "Apply" in the graphics options
// the asked mode is tried exactly and saved only once its window exists;
// when it cannot be had, the mode that ran before comes back.
static bool OpenGameWindow()
{
    DisplayChange& change = gDisplayChange;
    if (change.pending) {
        change.pending = 0;
        gConfig.depth = change.depth;
        if (CreateGameWindowIn(change.asked)) {
            change.refused = 0;
            SaveConfig();
            return true;
        }
        char asked[64], previous[64];
        DescribeDisplayMode(change.asked, asked, sizeof asked);
        DescribeDisplayMode(change.previous, previous, sizeof previous);
        LogMessage("MINOR ERROR (display mode not available): %s [keeping %s]", asked, previous);
        change.refused = 1;
        gConfig.width = change.previous.width;
        gConfig.height = change.previous.height;
        gConfig.fullscreen = change.previous.fullscreen;
        gConfig.depth = change.previousDepth;
    }
    return CreateGameWindow();
}

bool StartUp()
{
    const uint64_t begun = SysCounter();
    uint64_t firstFrame = 0;
    OpenLog();                                  // 1
    StartNetwork();                             // 2
    LoadConfig();                               // 3
    if (!OpenGameWindow())                      // 4
        return false;
    InitGlState();                              // 5
    ShowSplash();                               // 7, before 6: the first frame does not wait for
    firstFrame = SysCounter();
    if (gConfig.loghwinfo)                      // 6  the report's clock measurement
        LogHardwareInfo();
    glClearColor(0.5f, 0.5f, 0.5f, 1.0f);       // 8: grey for the rest of the run
    gGame.demo = gLaunch.demo;                  // a demo saves no preferences
    LoadPrefs();                                // 9
    InitSound();                                // 10
    LoadSample("data/music/intro.wav", &introSample, false);
    PlaySample(introSample, &introChannel, false, false);
    LoadMenuAssets();                           // 11
    InitKeyboard();                             // 12
    InitMouse();
    InitJoystick();
    WarpCursor(gConfig.width / 2, (int)(gConfig.height / 3.25));  // 13
    gMouse.x = gMouse.prevX = gConfig.width / 2;
    gMouse.y = gMouse.prevY = (int)(gConfig.height / 3.25);
    HoverStartButton();
    InitClock();                                // 14
    ResetFrameMeter();
    LoadFont(gMainFont, "data/fonts/arial_black.tga", 0.85f);  // 15
    LoadFont(gKeyFont, "data/fonts/key.tga", 0.85f);
    LoadMedalTexture();                         // 16
    screenshotLatch = 0;                        // 17
    LoadRaceAssets();                           // 18
    SysReleaseFreedMemory();
    const uint64_t loaded = SysCounter();
    WaitForIntro();                             // 19
    const double tick = 1.0 / (double)SysFrequency();
    LogMessage("Start-up times: first frame %.2f s, loaded %.2f s, menu %.2f s",
               (double)(firstFrame - begun) * tick, (double)(loaded - begun) * tick,
               (double)(SysCounter() - begun) * tick);
    PlaySample(gGame.menuMusic, &gGame.menuChannel, false, false);  // 20
    if (gGame.state == Quit)                    // 21: closed during the intro
        return true;
    if (!firstStart)
        gGame.state = GraphicsOptions;
    else if (gLaunch.replay)
        StartWatching(gLaunch.replay);
    else if (gLaunch.demo)
        StartDemoRace();
    return true;
}

void ShutDown()
{
    finalShutdown = gGame.state != ApplyGraphics;
    if (finalShutdown)
        EndRaceRecording(false);  // a race left by closing the window
    firstStart = 0;
    ReleaseJoystick();
    DeleteTexture(&logoTexture);
    FreeMenuAssets();
    FreeRaceAssets();
    LogMessage("Framerate estimate: %.2f", gClock.raceRate);
    LogFrameMeter();
    FreeFont(gKeyFont);
    FreeFont(gMainFont);
    DestroyGameWindow();
    ShutdownSound();
    CloseSession();
}

int RunGame()
{
    firstStart = 1;
    for (;;) {
        if (!StartUp())
            return 1;
        RunMessageLoop();
        ShutDown();
        if (gGame.state != ApplyGraphics)
            return 0;
    }
}
