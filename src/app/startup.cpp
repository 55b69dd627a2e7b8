// Start-up and shut-down passes, in the fixed order every subsystem relies on.
#include <GL/gl.h>

#include "app/clock.h"
#include "app/config.h"
#include "app/log.h"
#include "app/shell.h"
#include "game/game_state.h"
#include "game/menus.h"
#include "game/prefs.h"
#include "input/devices.h"
#include "platform/sys.h"
#include "platform/window.h"
#include "render/gl_util.h"
#include "sound/sound.h"

LaunchOptions gLaunch;

bool StartUp()
{
    OpenLog();                                  // 1
    LoadConfig();                               // 3
    if (!CreateGameWindow())                    // 4
        return false;
    InitGlState();                              // 5
    if (gConfig.loghwinfo)                      // 6
        LogHardwareInfo();
    glClearColor(0.5f, 0.5f, 0.5f, 1.0f);       // 8: grey for the rest of the run
    LoadPrefs();                                // 9
    LoadMenuAssets();                           // 11
    InitKeyboard();                             // 12
    InitMouse();
    InitJoystick();
    WarpCursor(gConfig.width / 2, (int)(gConfig.height / 3.25));  // 13
    gMouse.x = gMouse.prevX = gConfig.width / 2;
    gMouse.y = gMouse.prevY = (int)(gConfig.height / 3.25);
    HoverStartButton();
    InitClock();                                // 14
    screenshotLatch = 0;                        // 17
    PlaySample(gGame.menuMusic, &gGame.menuChannel, false, false);  // 20
    if (!firstStart)                            // 21
        gGame.state = GraphicsOptions;
    return true;
}

void ShutDown()
{
    finalShutdown = gGame.state != ApplyGraphics;
    firstStart = 0;
    ReleaseJoystick();
    FreeMenuAssets();
    LogMessage("Framerate estimate: %.2f", gClock.raceRate);
    DestroyGameWindow();
}

int RunGame()
{
    firstStart = 1;
    for (;;) {
        if (!StartUp())
            return 0;
        RunMessageLoop();
        ShutDown();
        if (gGame.state != ApplyGraphics)
            return 0;
    }
}
