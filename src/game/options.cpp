// The options screens: the hub (state 9), audio (10), graphics (11) and
// controllers (12).  Player preferences are saved after every change, the
// display settings go to the configuration file; a new resolution or colour
// depth takes effect through a rebuild of the shell (state 14).
#include "app/config.h"
#include "app/display_mode.h"
#include "game/menu_logic.h"
#include "game/menus.h"
#include "game/prefs.h"
#include "input/devices.h"
#include "input/keymap.h"
#include "input/pads.h"
#include "platform/window.h"
#include "render/font.h"
#include "render/race_frame.h"

static const int kBackspaceKey = 8;

// ---- Hub ----

static void DrawOptionsHub()
{
    MenuButton* b = gGame.buttons;
    UpdateButton(b[BtnAudio], true);
    UpdateButton(b[BtnGraphics], true);
    UpdateButton(b[BtnControllers], true);
    UpdateBackButton();
    if (b[BtnAudio].state == 3)
        gGame.state = AudioOptions;
    else if (b[BtnGraphics].state == 3)
        gGame.state = GraphicsOptions;
    else if (b[BtnControllers].state == 3)
        gGame.state = ControllerOptions;
    else if (b[BtnBack].state == 3)
        gGame.state = MainMenu;
}

// ---- Audio ----

// A click on a volume button: left of its centre lowers, right raises; a
// right click lowers.  With the keys, Left lowers and Right or Enter raises.
static void ClickVolume(const MenuButton& button, int32_t* volume)
{
    int step = ClickStep(button);
    if (button.state == 3 && !gGame.focus.active)
        step = button.x * (float)gConfig.width > (float)gMouse.x ? -1 : 1;
    if (step == 0)
        return;
    *volume = StepVolume(*volume, step < 0);
    SavePrefs();
}

static void DrawAudioOptions()
{
    MenuButton* b = gGame.buttons;
    UpdateButton(b[BtnMusicVolume], true);
    UpdateButton(b[BtnEffectsVolume], true);
    UpdateBackButton();
    ClickVolume(b[BtnMusicVolume], &gPrefs.musicvolume);
    ClickVolume(b[BtnEffectsVolume], &gPrefs.soundeffectsvolume);
    DrawButtonValue(b[BtnMusicVolume], "%d%c", VolumePercent(gPrefs.musicvolume), '%');
    DrawButtonValue(b[BtnEffectsVolume], "%d%c", VolumePercent(gPrefs.soundeffectsvolume), '%');
    if (b[BtnBack].state == 3)
        gGame.state = OptionsMenu;
}

// ---- Graphics ----

static bool ApplyVisible()
{
    return ApplyShown(gGame.pendingWidth, gGame.pendingHeight, gGame.pendingDepth, gConfig.width,
                      gConfig.height, gConfig.depth) ||
           gGame.pendingFullscreen != gConfig.fullscreen;
}

// The sizes the display reports plus the running one, and for a window the
// common sizes that fit on the desktop.
static void StepPendingResolution(bool forward)
{
    int32_t reported[kMaxResolutions][2];
    int32_t list[kMaxResolutions][2];
    int reportedCount = ListDisplaySizes(reported, kMaxResolutions);
    DisplayMode desktop = GetDesktopMode();
    int count = BuildResolutionList(reported, reportedCount, gConfig.width, gConfig.height,
                                    gGame.pendingFullscreen ? nullptr : &desktop, list);
    StepResolutionIn(list, count, forward, &gGame.pendingWidth, &gGame.pendingHeight);
}

// Apply: the shell is rebuilt in the pending mode; the configuration is
// saved only once the new window exists (app/startup.cpp).
static void ApplyPendingMode()
{
    DisplayChange& change = gDisplayChange;
    change.pending = 1;
    change.refused = 0;
    change.asked = {gGame.pendingWidth, gGame.pendingHeight, gGame.pendingFullscreen};
    change.depth = gGame.pendingDepth;
    change.previous = {gConfig.width, gConfig.height, gConfig.fullscreen};
    change.previousDepth = gConfig.depth;
    gGame.state = ApplyGraphics;
}

// Off, 30, 45, 60 and round again, either way.
static int32_t StepTargetFps(int32_t target, int step)
{
    static const int32_t kTargets[] = {0, 30, 45, 60};
    int at = 0;
    for (int i = 0; i < 4; i++)
        if (kTargets[i] == target)
            at = i;
    return kTargets[(at + (step > 0 ? 1 : 3)) % 4];
}

static void DrawGraphicsOptions()
{
    MenuButton* b = gGame.buttons;
    UpdateButton(b[BtnResolution], true);
    UpdateButton(b[BtnColourDepth], true);
    bool applyShown = ApplyVisible();
    if (applyShown)
        UpdateButton(b[BtnApply], true);
    UpdateButton(b[BtnShadows], true);
    UpdateButton(b[BtnDust], true);
    UpdateButton(b[BtnTerrainDetail], true);
    UpdateButton(b[BtnDrawFps], true);
    UpdateButton(b[BtnDisplayMode], true);
    UpdateButton(b[BtnTargetFps], true);
    UpdateBackButton();

    int step;
    if ((step = ClickStep(b[BtnResolution])) != 0) {
        StepPendingResolution(step > 0);
    } else if (ClickStep(b[BtnColourDepth]) != 0) {
        gGame.pendingDepth = StepColourDepth(gGame.pendingDepth);
    } else if (ClickStep(b[BtnDisplayMode]) != 0) {
        gGame.pendingFullscreen = !gGame.pendingFullscreen;
    } else if ((step = ClickStep(b[BtnShadows])) != 0) {
        StepShadows(gPrefs, step);
        SavePrefs();
    } else if (ClickStep(b[BtnDust]) != 0) {
        gPrefs.particles = !gPrefs.particles;
        SavePrefs();
    } else if (ClickStep(b[BtnTerrainDetail]) != 0) {
        gPrefs.terrain_pixelskip = gPrefs.terrain_pixelskip == 1 ? 2 : 1;
        SavePrefs();
    } else if (ClickStep(b[BtnDrawFps]) != 0) {
        gConfig.frameratecounter = !gConfig.frameratecounter;
        SaveConfig();
    } else if ((step = ClickStep(b[BtnTargetFps])) != 0) {
        gPrefs.targetfps = StepTargetFps(gPrefs.targetfps, step);
        SavePrefs();
    }

    char shadows[32];
    ShadowText(gPrefs, shadows, sizeof shadows);
    DrawButtonValue(b[BtnResolution], "%dx%d", gGame.pendingWidth, gGame.pendingHeight);
    DrawButtonValue(b[BtnColourDepth], "%dbit", gGame.pendingDepth);
    DrawButtonValue(b[BtnShadows], "%s", shadows);
    DrawButtonValue(b[BtnDust], "%s", gPrefs.particles ? "Yes" : "No");
    DrawButtonValue(b[BtnTerrainDetail], "%s", gPrefs.terrain_pixelskip == 1 ? "High" : "Low");
    DrawButtonValue(b[BtnDrawFps], "%s", gConfig.frameratecounter ? "Yes" : "No");
    DrawButtonValue(b[BtnDisplayMode], "%s", gGame.pendingFullscreen ? "Fullscreen" : "Window");
    if (gDisplayChange.refused)
        PrintText(gMainFont, 0.5f, 0.13f, 1.0f, 0.3f, 0.3f, 1, 0, 0.02f, "%s",
                  "That display mode is not available");
    // The target, and how many steps the budget last took for this many views.
    const int32_t views = gPrefs.nplayers < 1 ? 1 : gPrefs.nplayers > 4 ? 4 : gPrefs.nplayers;
    if (gPrefs.targetfps == 0)
        DrawButtonValue(b[BtnTargetFps], "Off");
    else if (gBudget.target == gPrefs.targetfps && gBudget.track[views - 1].level > 0)
        DrawButtonValue(b[BtnTargetFps], "%d (-%d)", gPrefs.targetfps, gBudget.track[views - 1].level);
    else
        DrawButtonValue(b[BtnTargetFps], "%d", gPrefs.targetfps);

    if (applyShown && b[BtnApply].state == 3) {
        ApplyPendingMode();
    } else if (b[BtnBack].state == 3) {
        gGame.pendingWidth = gConfig.width;
        gGame.pendingHeight = gConfig.height;
        gGame.pendingDepth = gConfig.depth;
        gGame.pendingFullscreen = gConfig.fullscreen;
        gDisplayChange.refused = 0;
        gGame.state = OptionsMenu;
    }
}

// ---- Controllers ----

// While the pointer rests on a key button, the key held binds to it.  With
// the keys, Enter on the focused key button waits for a key: once every key
// is up, the next one pressed binds, and Escape or a pad's back button
// gives up the wait.
static void BindKey(const MenuButton& button, int32_t* key, int32_t held)
{
    MenuFocus& focus = gGame.focus;
    if (!focus.active) {
        if (button.state == 1 && held >= 0 && *key != held) {
            *key = held;
            SavePrefs();
        }
        DrawButtonKey(button, *key);
        return;
    }
    if (!KeysFocusOn(button)) {
        DrawButtonKey(button, *key);
        return;
    }
    if (!focus.binding && button.state == 3) {
        focus.binding = 1;
        focus.bindArmed = 0;
    } else if (focus.binding && BackPressed()) {
        focus.binding = 0;
        // The press that gave up is not also the screen's Back.
        if (KeyDown(kKeyEscape))
            gGame.escapeLatch = 0;
        TakePadPress(kPadBackButton);
    } else if (focus.binding && HeldKey(gKeyboard.down) < 0) {
        focus.bindArmed = 1;
    } else if (focus.binding && focus.bindArmed && held >= 0) {
        focus.binding = 0;
        if (*key != held) {
            *key = held;
            SavePrefs();
        }
    }
    if (focus.binding)
        DrawButtonValue(button, "%s", "press a key");
    else
        DrawButtonKey(button, *key);
}

static void DrawControllerOptions()
{
    MenuButton* b = gGame.buttons;
    int32_t p = gGame.selectedPlayer;
    if (p < 0 || p > 3)
        p = gGame.selectedPlayer = 0;
    // Escape is the menus' way back and the race menu's key, F12 takes a
    // screenshot of this screen: neither binds.
    int32_t held = HeldKey(gKeyboard.down);
    if (held == kKeyEscape || held == kKeyScreenshot)
        held = -1;
    SteeringDevice device = PlayerDevice(gPrefs, p);
    bool keyThrottle = device == kDeviceKeyboard || device == kDeviceKeyboardMouse;
    int32_t* keys = gPrefs.playerctrls[p];

    // The player button: no picture, the name glows in the player's colour.
    MenuButton& player = b[BtnCtrlPlayer];
    for (int c = 0; c < 3; c++)
        player.colours[1][c] = gPrefs.playerColour[p][c];
    UpdateButton(player, false);
    int step = ClickStep(player);
    if (step != 0) {
        p = gGame.selectedPlayer = (p + step + 4) % 4;
        device = PlayerDevice(gPrefs, p);
        keyThrottle = device == kDeviceKeyboard || device == kDeviceKeyboardMouse;
        keys = gPrefs.playerctrls[p];
    } else if (player.state == 1) {
        if (EditName(gPrefs.playername[p], gKeyboard.typed, gKeyboard.lastKey == kBackspaceKey))
            SavePrefs();
    }
    PrintText(gMainFont, player.x, player.y, player.colour[0], player.colour[1], player.colour[2], 1, 0,
              0.02f, "%s", gPrefs.playername[p]);
    DrawButtonValue(player, "%d", p + 1);

    if (keyThrottle) {
        UpdateButton(b[BtnAccelerate], true);
        UpdateButton(b[BtnBrake], true);
        BindKey(b[BtnAccelerate], &keys[kCtrlAccelerate], held);
        BindKey(b[BtnBrake], &keys[kCtrlBrake], held);
    }

    UpdateButton(b[BtnSteering], true);
    if (ClickStep(b[BtnSteering]) != 0) {
        StepDevice(gPrefs, p, ConnectedPads());
        SavePrefs();
    }
    // The rest of the screen follows the device as it is now.
    device = PlayerDevice(gPrefs, p);
    char padLabel[64];
    PadLabel(PlayerPad(gPrefs, p), padLabel, sizeof padLabel);
    DrawButtonValue(b[BtnSteering], "%s", device == kDeviceGamepad ? padLabel : DeviceName(device));

    if (device == kDeviceKeyboardMouse) {
        UpdateButton(b[BtnMouseSensitivity], true);
        if ((step = ClickStep(b[BtnMouseSensitivity])) != 0) {
            gPrefs.mousesensitivity = StepSensitivity(gPrefs.mousesensitivity, step);
            SavePrefs();
        }
        DrawButtonValue(b[BtnMouseSensitivity], "%s", SensitivityName(gPrefs.mousesensitivity));
    } else if (device == kDeviceKeyboard) {
        UpdateButton(b[BtnLeft], true);
        UpdateButton(b[BtnRight], true);
        BindKey(b[BtnLeft], &keys[kCtrlLeft], held);
        BindKey(b[BtnRight], &keys[kCtrlRight], held);
    }

    UpdateButton(b[BtnCamera], true);
    BindKey(b[BtnCamera], &keys[kCtrlCamera], held);

    UpdateBackButton();
    if (b[BtnBack].state == 3)
        gGame.state = OptionsMenu;
}

void DrawOptions()
{
    switch (gGame.state) {
    case OptionsMenu:
        DrawOptionsHub();
        break;
    case AudioOptions:
        DrawAudioOptions();
        break;
    case GraphicsOptions:
        DrawGraphicsOptions();
        break;
    case ControllerOptions:
        DrawControllerOptions();
        break;
    default:
        break;
    }
}

void UpdateOptions()
{
    MenuButton* b = gGame.buttons;
    switch (gGame.state) {
    case OptionsMenu:
        AnimateButton(b[BtnAudio]);
        AnimateButton(b[BtnGraphics]);
        AnimateButton(b[BtnControllers]);
        break;
    case AudioOptions:
        AnimateButton(b[BtnMusicVolume]);
        AnimateButton(b[BtnEffectsVolume]);
        break;
    case GraphicsOptions: {
        static const int kButtons[] = {BtnResolution,    BtnColourDepth, BtnApply,      BtnDust,
                                       BtnTerrainDetail, BtnDrawFps,     BtnDisplayMode, BtnTargetFps};
        for (int id : kButtons)
            AnimateButton(b[id]);
        if (gConfig.depth == 32)
            AnimateButton(b[BtnShadows]);
        break;
    }
    case ControllerOptions: {
        SteeringDevice device = PlayerDevice(gPrefs, gGame.selectedPlayer);
        AnimateButton(b[BtnCtrlPlayer]);
        if (device == kDeviceKeyboard || device == kDeviceKeyboardMouse) {
            AnimateButton(b[BtnAccelerate]);
            AnimateButton(b[BtnBrake]);
        }
        AnimateButton(b[BtnSteering]);
        if (device == kDeviceKeyboardMouse)
            AnimateButton(b[BtnMouseSensitivity]);
        if (device == kDeviceKeyboard) {
            AnimateButton(b[BtnLeft]);
            AnimateButton(b[BtnRight]);
        }
        AnimateButton(b[BtnCamera]);
        break;
    }
    default:
        return;
    }
    AnimateButton(b[BtnBack]);
}
