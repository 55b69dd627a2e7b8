// The menus' plain logic (see menu_logic.h): no drawing, no sound, no files.
#include "game/menu_logic.h"

#include <cstdio>
#include <cstring>

#include "app/clock.h"
#include "game/prefs.h"
#include "input/pads.h"
#include "race/standings.h"

#define GREEN {0.0f, 1.0f, 0.0f}
#define BLUE {0.0f, 0.0f, 1.0f}
#define RED {1.0f, 0.0f, 0.0f}

const ButtonSpec kButtonTable[kButtonCount] = {
    {"singlerace", 0.7f, 256, 64, GREEN},
    {"tournament", 0.6f, 256, 64, GREEN},
    {"multiplayer", 0.5f, 256, 64, GREEN},
    {"options", 0.4f, 256, 64, BLUE},
    {"credits", 0.3f, 256, 64, BLUE},
    {"quit", 0.2f, 128, 64, RED},
    {"race", 0.7f, 128, 64, GREEN},
    {"gamemode", 0.625f, 256, 32, BLUE},
    {"flimsel", 0.575f, 256, 32, BLUE},
    {"players", 0.525f, 256, 32, BLUE},
    {"opponents", 0.475f, 256, 32, BLUE},
    {"difficulty", 0.425f, 256, 32, BLUE},
    {"laps", 0.375f, 256, 32, BLUE},
    {"timelimit", 0.375f, 256, 32, BLUE},
    {"host", 0.6f, 128, 64, BLUE},
    {"join", 0.5f, 128, 64, BLUE},
    {"player", 0.55f, 256, 32, BLUE},
    {"address", 0.45f, 256, 32, BLUE},
    {"audio", 0.575f, 256, 32, BLUE},
    {"musicvolume", 0.575f, 512, 32, BLUE},
    {"soundeffectsvolume", 0.525f, 512, 32, BLUE},
    {"graphics", 0.525f, 256, 32, BLUE},
    {"resolution", 0.69f, 256, 32, GREEN},
    {"colordepth", 0.645f, 256, 32, GREEN},
    {"apply", 0.2f, 128, 64, GREEN},
    {"shadows", 0.555f, 256, 32, BLUE},
    {"dust", 0.51f, 256, 32, BLUE},
    {"terraindetail", 0.465f, 256, 32, BLUE},
    {"drawfps", 0.42f, 256, 32, BLUE},
    {"controllers", 0.475f, 256, 32, BLUE},
    {"player", 0.675f, 256, 32, BLUE},
    {"accelerate", 0.625f, 256, 32, BLUE},
    {"deccelerate", 0.575f, 256, 32, BLUE},
    {"steering", 0.525f, 256, 32, BLUE},
    {"mousesensitivity", 0.475f, 256, 32, BLUE},
    {"left", 0.475f, 256, 32, BLUE},
    {"right", 0.425f, 256, 32, BLUE},
    {"camera", 0.375f, 256, 32, BLUE},
    {"continue", 0.5f, 256, 64, GREEN},
    {"continue", 0.4f, 256, 64, GREEN},
    {"restart", 0.4f, 256, 64, GREEN},
    {"back", 0.3f, 128, 64, RED},
    {"replay", 0.2f, 256, 64, GREEN},
    {"display", 0.6f, 256, 32, GREEN},
    {"targetfps", 0.375f, 256, 32, BLUE},
};

#undef GREEN
#undef BLUE
#undef RED

void SetButtonFromSpec(MenuButton& button, const ButtonSpec& spec)
{
    button.down = button.prevDown = button.hovering = button.pressed = button.activated = 0;
    button.state = 0;
    button.x = 0.5f;
    button.y = spec.y;
    button.w = spec.widthPixels / 1024.0f;
    button.h = spec.heightPixels / 768.0f;
    for (int c = 0; c < 3; c++) {
        button.colours[0][c] = 1.0f;
        button.colours[1][c] = spec.hover[c];
        button.colours[2][c] = 0.0f;
        button.colour[c] = button.colours[0][c];
    }
}

bool PointerOverButton(const MenuButton& b, float mx, float my)
{
    float top = 1.0f - b.y;
    return b.x - b.w / 2 <= mx && mx <= b.x + b.w / 2 && top - b.h / 2 <= my && my <= top + b.h / 2;
}

uint32_t ButtonMouseStep(MenuButton& b, float mx, float my, bool leftDown, bool pressBegan)
{
    uint32_t sounds = kSoundNone;
    if (PointerOverButton(b, mx, my)) {
        // On a slow frame the pointer can reach the button and the press
        // begin before the button has seen it hover: a press that began
        // this frame over the button began on it.
        if (pressBegan)
            b.hovering = 1;
        b.prevDown = b.down;
        b.down = leftDown ? 1 : 0;
        if (b.hovering) {
            if (!b.pressed && b.down)
                sounds |= kPlayClick;
            b.pressed = b.down;
        } else {
            b.pressed = 0;
        }
        // The button went up over the button after a press that began on it.
        if (b.hovering && !b.pressed && b.prevDown)
            b.activated = 1;
        b.state = b.pressed ? 2 : b.activated ? 3 : 1;
        if (!b.down) {
            if (!b.hovering)
                sounds |= kPlayRollover;
            b.hovering = 1;
        }
    } else {
        b.down = b.prevDown = 0;
        if (b.hovering)
            sounds |= kStopRollover;
        b.hovering = 0;
        b.state = 0;
    }
    b.activated = 0;
    return sounds;
}

void AnimateButtonColour(MenuButton& b, double dt)
{
    if (b.state < 0 || b.state > 2)
        return;
    const float* target = b.colours[b.state];
    for (int c = 0; c < 3; c++) {
        double rate = b.colour[c] <= target[c] ? 1.0 : 20.0;
        b.colour[c] += (float)((target[c] - b.colour[c]) * rate * dt);
    }
}

// The remainder of a / m in 0 .. m-1 (m > 0), also for negative a.  In 64
// bits, so that a value from a hand-edited file at the edge of the 32-bit
// range cannot overflow on its way to the menu's range.
static int32_t Wrap(int64_t a, int64_t m)
{
    int64_t r = a % m;
    return (int32_t)(r < 0 ? r + m : r);
}

void CycleGameMode(Prefs& p, int step)
{
    p.gamemode = Wrap((int64_t)p.gamemode + step, 2);
}

void CycleTrack(Prefs& p, int32_t trackCount, int step)
{
    if (trackCount > 0)
        p.track = Wrap((int64_t)p.track + step, trackCount);
}

void CyclePlayers(Prefs& p, int step)
{
    if (step > 0) {
        p.nplayers = Wrap((int64_t)p.nplayers + 1, 5);
        if (p.nplayers == 0)
            p.nplayers = 1;
    } else {
        p.nplayers = Wrap((int64_t)p.nplayers - 2, 4) + 1;
    }
    if (p.nopponents > 5 - p.nplayers)
        p.nopponents = 5 - p.nplayers;
}

void CycleOpponents(Prefs& p, int step)
{
    int32_t players = p.nplayers < 1 ? 1 : p.nplayers > 4 ? 4 : p.nplayers;
    p.nopponents = Wrap((int64_t)p.nopponents + step, 6 - players);
}

void CycleSkill(Prefs& p, int step)
{
    p.opponentskill = Wrap((int64_t)p.opponentskill + step, 3);
}

void CycleTimeLimit(Prefs& p, int step)
{
    p.timelimit = Wrap((int64_t)p.timelimit - 10 + 5 * step, 55) + 10;
}

void CycleLaps(Prefs& p, int step)
{
    p.laps = Wrap((int64_t)p.laps - 3 + step, 10) + 3;
}

const char* GameModeName(int32_t gamemode)
{
    return gamemode == 1 ? "Checkpoint" : gamemode == 0 ? "Tag!" : "";
}

const char* SkillName(int32_t skill)
{
    static const char* const kNames[3] = {"Easy", "Medium", "Hard"};
    return skill >= 0 && skill < 3 ? kNames[skill] : "";
}

int32_t StepVolume(int32_t volume, bool leftHalf)
{
    int64_t v = (int64_t)volume + (leftHalf ? -32 : 32);
    return (int32_t)(v < 0 ? 0 : v > 224 ? 224 : v);
}

int32_t VolumePercent(int32_t volume)
{
    return (int32_t)((int64_t)volume * 100 / 224);
}

int32_t StepColourDepth(int32_t depth)
{
    return depth == 32 ? 16 : 32;
}

void StepShadows(Prefs& p, int step)
{
    if (step < 0) {
        static const int32_t kBefore[][2] = {{0, 128}, {1, 0}, {32, 1}, {64, 32}, {128, 64}};
        int32_t before = 0;
        for (const auto& pair : kBefore)
            if (pair[0] == p.shadow_resolution)
                before = pair[1];
        p.shadow_resolution = before;
    } else if (p.shadow_resolution == 0) {
        p.shadow_resolution = 1;
    } else if (p.shadow_resolution == 1) {
        p.shadow_resolution = 32;
    } else {
        p.shadow_resolution = Wrap(2 * (int64_t)p.shadow_resolution, 256);
    }
    p.shadows = p.shadow_resolution != 0 ? 1 : 0;
}

void ShadowText(const Prefs& p, char* text, int size)
{
    if (!p.shadows)
        snprintf(text, (size_t)size, "Off");
    else if (p.shadow_resolution == 1)
        snprintf(text, (size_t)size, "Static");
    else
        snprintf(text, (size_t)size, "%dx%d Dynamic", p.shadow_resolution, p.shadow_resolution);
}

bool ApplyShown(int32_t pendingWidth, int32_t pendingHeight, int32_t pendingDepth, int32_t width,
                int32_t height, int32_t depth)
{
    return pendingWidth != width || pendingHeight != height || pendingDepth != depth;
}

SteeringDevice PlayerDevice(const Prefs& p, int32_t player)
{
    if (p.mousesteering == player)
        return kDeviceKeyboardMouse;
    if (PlayerPad(p, player) >= 0)
        return kDeviceGamepad;
    if (p.wheelsteering == player)
        return kDeviceWheel;
    return kDeviceKeyboard;
}

const char* DeviceName(SteeringDevice device)
{
    switch (device) {
    case kDeviceKeyboardMouse:
        return "Keyboard & Mouse";
    case kDeviceGamepad:
        return "Gamepad";
    case kDeviceWheel:
        return "Wheel";
    default:
        return "Keyboard";
    }
}

// The first pad from `from` on that the step offers player p, or -1.
static int NextOfferedPad(const Prefs& p, int32_t player, int from, uint32_t connectedPads)
{
    for (int k = from; k < kMaxPads; k++)
        if (k == 0 || (connectedPads & (1u << k)) || PadPlayer(p, k) == player)
            return k;
    return -1;
}

void StepDevice(Prefs& p, int32_t player, uint32_t connectedPads)
{
    int pad = -1;
    switch (PlayerDevice(p, player)) {
    case kDeviceKeyboard:  // the mouse is taken from whoever had it
        p.mousesteering = player;
        break;
    case kDeviceKeyboardMouse:
        p.mousesteering = kNoDevicePlayer;
        AssignPad(p, NextOfferedPad(p, player, 0, connectedPads), player);
        break;
    case kDeviceGamepad:
        pad = PlayerPad(p, player);
        SetPadPlayer(p, pad, kNoDevicePlayer);
        pad = NextOfferedPad(p, player, pad + 1, connectedPads);
        if (pad >= 0)
            AssignPad(p, pad, player);
        else
            p.wheelsteering = player;
        break;
    case kDeviceWheel:
        p.wheelsteering = kNoDevicePlayer;
        break;
    }
}

int32_t StepSensitivity(int32_t sensitivity, int step)
{
    return Wrap((int64_t)sensitivity - 3 + 3 * step, 15) + 3;
}

const char* SensitivityName(int32_t sensitivity)
{
    switch (sensitivity) {
    case 3:
        return "Very Low";
    case 6:
        return "Low";
    case 9:
        return "Normal";
    case 12:
        return "Fast";
    case 15:
        return "Very Fast";
    default:
        return "";
    }
}

int32_t HeldKey(const uint8_t down[255])
{
    for (int32_t code = 254; code >= 0; code--)
        if (down[code])
            return code;
    return -1;
}

bool EditName(char name[16], const char* typed, bool backspace)
{
    size_t length = strnlen(name, 15);
    name[length] = 0;
    bool changed = false;
    if (backspace && length > 0) {
        name[--length] = 0;
        changed = true;
    }
    // The preferences file stores a name as one word, and the glyph sheet
    // has pictures for printable ASCII only: spaces, control codes and the
    // bytes of other characters are refused.
    for (const char* c = typed; *c; c++) {
        if (*c <= 32 || *c > 126 || length >= (size_t)kMaxTypedName)
            continue;
        name[length++] = *c;
        name[length] = 0;
        changed = true;
    }
    return changed;
}

bool ResultsContinueShown(bool tournament, int32_t track, int32_t trackCount)
{
    return tournament && track + 1 < trackCount;
}

void AnimateButton(MenuButton& button)
{
    AnimateButtonColour(button, 1.0 / gClock.stepRate);
}

// ---- Keys and pads in the menus ----

uint32_t RepeatHeld(ButtonRepeat& r, uint32_t held, double dt)
{
    static const double kDelay = 0.4, kInterval = 0.1;
    if (held != r.held) {
        r.held = held;
        r.heldFor = 0.0;
        r.nextAt = kDelay;
        return 0;
    }
    if (held == 0)
        return 0;
    r.heldFor += dt;
    if (r.heldFor < r.nextAt)
        return 0;
    r.nextAt += kInterval;
    if (r.nextAt <= r.heldFor)
        r.nextAt = r.heldFor + kInterval;  // a slow frame does not bunch the presses
    return held;
}

int32_t MoveFocus(const MenuButton buttons[kButtonCount], const int32_t* shown, int count, int32_t focus, int dir)
{
    // Rank of each shown button from the top of the screen; equal heights
    // keep the order they were drawn in.
    auto above = [&](int i, int j) {
        float yi = buttons[shown[i]].y, yj = buttons[shown[j]].y;
        return yi > yj || (yi == yj && i < j);
    };
    int at = -1;
    for (int i = 0; i < count; i++)
        if (shown[i] == focus)
            at = i;
    int best = -1;
    for (int i = 0; i < count; i++) {
        if (i == at)
            continue;
        // Going down: the highest button below the focus; going up: the
        // lowest above it.  From outside the list every button qualifies.
        bool beyond = at < 0 || (dir > 0 ? above(at, i) : above(i, at));
        if (!beyond)
            continue;
        if (best < 0 || (dir > 0 ? above(i, best) : above(best, i)))
            best = i;
    }
    if (best < 0) {
        // Off the end: round to the top (going down) or the bottom.
        for (int i = 0; i < count; i++)
            if (best < 0 || (dir > 0 ? above(i, best) : above(best, i)))
                best = i;
    }
    return best < 0 ? -1 : shown[best];
}

// The quit fade is still the main menu.
static int32_t ScreenOf(int32_t state)
{
    return state == QuitFading ? MainMenu : state;
}

uint32_t MenuFocusFrame(MenuFocus& f, const MenuButton buttons[kButtonCount], int32_t state, const MenuKeys& keys)
{
    memcpy(f.shown, f.drawn, sizeof f.shown);
    f.shownCount = f.drawnCount;
    f.listScreen = f.drawingScreen;
    f.drawnCount = 0;
    f.drawingScreen = ScreenOf(state);
    f.step = 0;
    f.press = 0;
    if (keys.pointerUsed) {
        f.active = 0;
        f.button = -1;
        f.binding = 0;
        return kSoundNone;
    }
    const bool anyKey = keys.up || keys.down || keys.left || keys.right || keys.accept;
    if (!f.active && !anyKey)
        return kSoundNone;
    if (f.listScreen != f.drawingScreen || f.shownCount == 0)
        return kSoundNone;  // the screen has not been drawn yet: its keys are lost
    bool shown = false;
    for (int i = 0; i < f.shownCount; i++)
        shown = shown || f.shown[i] == f.button;
    if (!f.active || f.buttonScreen != f.drawingScreen || !shown) {
        // The first key, a new screen, or the focused button gone: the top.
        const bool first = !f.active;
        f.active = 1;
        f.binding = 0;
        f.button = MoveFocus(buttons, f.shown, f.shownCount, -1, 1);
        f.buttonScreen = f.drawingScreen;
        if (first)
            return kSoundNone;  // that key only shows where the focus is
    }
    if (f.binding)
        return kSoundNone;
    uint32_t sounds = kSoundNone;
    if (keys.up != keys.down) {
        int32_t next = MoveFocus(buttons, f.shown, f.shownCount, f.button, keys.down ? 1 : -1);
        if (next != f.button)
            sounds |= kPlayRollover;
        f.button = next;
    } else if (keys.left != keys.right) {
        f.step = keys.right ? 1 : -1;
    }
    f.press = keys.accept ? 1 : 0;
    return sounds;
}

void NoteButtonShown(MenuFocus& f, int32_t id)
{
    if (id < 0 || id >= kButtonCount)
        return;
    for (int i = 0; i < f.drawnCount; i++)
        if (f.drawn[i] == id)
            return;
    if (f.drawnCount < kButtonCount)
        f.drawn[f.drawnCount++] = id;
}

bool HasFocus(const MenuFocus& f, int32_t id)
{
    return f.active && f.button == id;
}
