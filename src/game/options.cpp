// The options screens: the hub (state 9), audio (10), graphics (11) and
// controllers (12).  Player preferences are saved after every change, the
// display settings go to the configuration file; a new resolution or colour
// depth takes effect through a rebuild of the shell (state 14).
#include "app/config.h"
#include "game/menu_logic.h"
#include "game/menus.h"
#include "game/prefs.h"
#include "input/devices.h"
#include "render/font.h"
#include "render/race_frame.h"

static const int kShiftKey = 16;
static const int kSpaceKey = 32;

// ---- Hub ----

static void DrawOptionsHub()
{
    MenuButton* b = gGame.buttons;
    UpdateButton(b[BtnAudio], true);
    UpdateButton(b[BtnGraphics], true);
    UpdateButton(b[BtnControllers], true);
    UpdateButton(b[BtnBack], true);
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

// A click on a volume button: left of its centre lowers, right raises.
static void ClickVolume(const MenuButton& button, int32_t* volume)
{
    bool leftHalf = button.x * (float)gConfig.width > (float)gMouse.x;
    *volume = StepVolume(*volume, leftHalf);
    SavePrefs();
}

static void DrawAudioOptions()
{
    MenuButton* b = gGame.buttons;
    UpdateButton(b[BtnMusicVolume], true);
    UpdateButton(b[BtnEffectsVolume], true);
    UpdateButton(b[BtnBack], true);
    if (b[BtnMusicVolume].state == 3)
        ClickVolume(b[BtnMusicVolume], &gPrefs.musicvolume);
    else if (b[BtnEffectsVolume].state == 3)
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
                      gConfig.height, gConfig.depth);
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
    UpdateButton(b[BtnTargetFps], true);
    UpdateButton(b[BtnBack], true);

    if (b[BtnResolution].state == 3) {
        StepResolution(&gGame.pendingWidth, &gGame.pendingHeight);
    } else if (b[BtnColourDepth].state == 3) {
        gGame.pendingDepth = StepColourDepth(gGame.pendingDepth);
    } else if (b[BtnShadows].state == 3) {
        StepShadows(gPrefs);
        SavePrefs();
    } else if (b[BtnDust].state == 3) {
        gPrefs.particles = !gPrefs.particles;
        SavePrefs();
    } else if (b[BtnTerrainDetail].state == 3) {
        gPrefs.terrain_pixelskip = gPrefs.terrain_pixelskip == 1 ? 2 : 1;
        SavePrefs();
    } else if (b[BtnDrawFps].state == 3) {
        gConfig.frameratecounter = !gConfig.frameratecounter;
        SaveConfig();
    } else if (b[BtnTargetFps].state == 3) {
        gPrefs.targetfps = gPrefs.targetfps >= 60 ? 0 : gPrefs.targetfps < 30 ? 30 : gPrefs.targetfps + 15;
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
    // The target, and how many steps the budget last took for this many views.
    const int32_t views = gPrefs.nplayers < 1 ? 1 : gPrefs.nplayers > 4 ? 4 : gPrefs.nplayers;
    if (gPrefs.targetfps == 0)
        DrawButtonValue(b[BtnTargetFps], "Off");
    else if (gBudget.target == gPrefs.targetfps && gBudget.level[views - 1] > 0)
        DrawButtonValue(b[BtnTargetFps], "%d (-%d)", gPrefs.targetfps, gBudget.level[views - 1]);
    else
        DrawButtonValue(b[BtnTargetFps], "%d", gPrefs.targetfps);

    if (applyShown && b[BtnApply].state == 3) {
        gConfig.width = gGame.pendingWidth;
        gConfig.height = gGame.pendingHeight;
        gConfig.depth = gGame.pendingDepth;
        SaveConfig();
        gGame.state = ApplyGraphics;
    } else if (b[BtnBack].state == 3) {
        gGame.pendingWidth = gConfig.width;
        gGame.pendingHeight = gConfig.height;
        gGame.pendingDepth = gConfig.depth;
        gGame.state = OptionsMenu;
    }
}

// ---- Controllers ----

// While the pointer rests on a key button, the key held binds to it.
static void BindKeyUnderPointer(const MenuButton& button, int32_t* key, int32_t held)
{
    if (button.state == 1 && held >= 0 && *key != held) {
        *key = held;
        SavePrefs();
    }
}

static void DrawControllerOptions()
{
    MenuButton* b = gGame.buttons;
    int32_t p = gGame.selectedPlayer;
    if (p < 0 || p > 3)
        p = gGame.selectedPlayer = 0;
    int32_t held = HeldKey(gKeyboard.down);
    SteeringDevice device = PlayerDevice(gPrefs, p);
    bool keyThrottle = device == kDeviceKeyboard || device == kDeviceKeyboardMouse;
    int32_t* keys = gPrefs.playerctrls[p];

    // The player button: no picture, the name glows in the player's colour.
    MenuButton& player = b[BtnCtrlPlayer];
    for (int c = 0; c < 3; c++)
        player.colours[1][c] = gPrefs.playerColour[p][c];
    UpdateButton(player, false);
    if (player.state == 3) {
        p = gGame.selectedPlayer = (p + 1) % 4;
        device = PlayerDevice(gPrefs, p);
        keyThrottle = device == kDeviceKeyboard || device == kDeviceKeyboardMouse;
        keys = gPrefs.playerctrls[p];
    } else if (player.state == 1 && gKeyboard.lastKey != -1) {
        if (EditName(gPrefs.playername[p], gKeyboard.lastKey, KeyDown(kShiftKey), KeyDown(kSpaceKey)))
            SavePrefs();
    }
    PrintText(gMainFont, player.x, player.y, player.colour[0], player.colour[1], player.colour[2], 1, 0,
              0.02f, "%s", gPrefs.playername[p]);
    DrawButtonValue(player, "%d", p + 1);

    if (keyThrottle) {
        UpdateButton(b[BtnAccelerate], true);
        UpdateButton(b[BtnBrake], true);
        BindKeyUnderPointer(b[BtnAccelerate], &keys[kCtrlAccelerate], held);
        BindKeyUnderPointer(b[BtnBrake], &keys[kCtrlBrake], held);
        DrawButtonKey(b[BtnAccelerate], keys[kCtrlAccelerate]);
        DrawButtonKey(b[BtnBrake], keys[kCtrlBrake]);
    }

    UpdateButton(b[BtnSteering], true);
    if (b[BtnSteering].state == 3) {
        StepDevice(gPrefs, p);
        SavePrefs();
    }
    // The rest of the screen follows the device as it is now.
    device = PlayerDevice(gPrefs, p);
    DrawButtonValue(b[BtnSteering], "%s", DeviceName(device));

    if (device == kDeviceKeyboardMouse) {
        UpdateButton(b[BtnMouseSensitivity], true);
        if (b[BtnMouseSensitivity].state == 3) {
            gPrefs.mousesensitivity = StepSensitivity(gPrefs.mousesensitivity);
            SavePrefs();
        }
        DrawButtonValue(b[BtnMouseSensitivity], "%s", SensitivityName(gPrefs.mousesensitivity));
    } else if (device == kDeviceKeyboard) {
        UpdateButton(b[BtnLeft], true);
        UpdateButton(b[BtnRight], true);
        BindKeyUnderPointer(b[BtnLeft], &keys[kCtrlLeft], held);
        BindKeyUnderPointer(b[BtnRight], &keys[kCtrlRight], held);
        DrawButtonKey(b[BtnLeft], keys[kCtrlLeft]);
        DrawButtonKey(b[BtnRight], keys[kCtrlRight]);
    }

    UpdateButton(b[BtnCamera], true);
    BindKeyUnderPointer(b[BtnCamera], &keys[kCtrlCamera], held);
    DrawButtonKey(b[BtnCamera], keys[kCtrlCamera]);

    UpdateButton(b[BtnBack], true);
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
        static const int kButtons[] = {BtnResolution, BtnColourDepth, BtnApply,        BtnDust,
                                       BtnTerrainDetail, BtnDrawFps};
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
