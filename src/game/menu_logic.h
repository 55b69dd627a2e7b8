// The menus' plain logic: the button table, the per-frame mouse logic and
// the per-step colour animation of a MenuButton, and every value a menu
// button steps through.  Nothing here draws or plays; the screens in
// src/game do both with what these functions return, so the whole of the
// menus' behaviour can be run frame by frame without a window.
#pragma once

#include <cstdint>

#include "game/game_state.h"

struct Prefs;
struct RaceStandings;

// One row of the button table: picture "data/menu/" + picture + ".tga",
// centre height y (window fraction from the bottom; every button has x 0.5),
// size in pixels of the 1024 x 768 layout, and the hover colour.
struct ButtonSpec {
    const char* picture;
    float y;
    int widthPixels, heightPixels;
    float hover[3];
};

// The buttons in table order (ButtonId).
extern const ButtonSpec kButtonTable[kButtonCount];

// Geometry and colours of the button from its table row: state 0, idle
// colour white, hover colour of the row, pressed colour black, colour =
// idle colour, every flag clear.  The texture is left as it is.
void SetButtonFromSpec(MenuButton& button, const ButtonSpec& spec);

// Sounds a button asks for in one frame (bit set).
enum ButtonSound : uint32_t {
    kSoundNone = 0,
    kPlayClick = 1,      // the left button went down over a hovered button
    kPlayRollover = 2,   // the pointer came onto the button, no mouse button held
    kStopRollover = 4,   // the pointer left the button
};

// The per-frame mouse logic of one button.  mx, my: the pointer in window
// fractions, my counted from the top; leftDown: the left mouse button;
// pressBegan: the left button went down since the last frame.  Updates
// down, prevDown, hovering, pressed and state (3 only in the frame of a
// completed click) and returns the sounds to play.
uint32_t ButtonMouseStep(MenuButton& button, float mx, float my, bool leftDown, bool pressBegan = false);

// True when the pointer (window fractions, my from the top) is over the
// button, all four bounds included.
bool PointerOverButton(const MenuButton& button, float mx, float my);

// One simulation step of the colour animation, dt in seconds: rising
// components approach their target at 1.0 per second of the difference,
// falling ones at 20.0; in state 3 the colour stays.
void AnimateButtonColour(MenuButton& button, double dt);
// The same over the current step (dt = 1 / stepRate of the clock); each
// screen's per-step update calls it for the buttons it shows.
void AnimateButton(MenuButton& button);

// ---- Keys and pads in the menus (MenuFocus) ----

// What the keyboard and the pads asked of the menus in one frame.
struct MenuKeys {
    bool up, down, left, right;
    bool accept;
    bool pointerUsed;  // the mouse moved or one of its buttons went down
};

// The buttons of `held` (bits) to press again this frame, dt seconds after
// the last: once they have been held together for 0.4 s, then every 0.1 s,
// never more than once a frame.  Another set held starts the wait again.
uint32_t RepeatHeld(ButtonRepeat& repeat, uint32_t held, double dt);

// The button after (dir 1: down the screen) or before (dir -1) `focus`
// among `shown`, by height on the screen and wrapping round; from a focus
// not shown, the top (dir 1) or the bottom (dir -1) button; -1 when nothing
// is shown.
int32_t MoveFocus(const MenuButton buttons[kButtonCount], const int32_t* shown, int count, int32_t focus, int dir);

// The start of a frame drawn in `state`: the list the last frame drew
// becomes the shown list, then the keys act on it.  The first key that is
// not the pointer's shows the focus on the screen's top button, as does
// every new screen while the keys drive; the mouse ends it all.  While a
// key button waits for a key, the keys are left to it.  Returns
// kPlayRollover when the focus moved.
uint32_t MenuFocusFrame(MenuFocus& focus, const MenuButton buttons[kButtonCount], int32_t state,
                        const MenuKeys& keys);
// The screen updates button `id` this frame (a repeat is listed once).
void NoteButtonShown(MenuFocus& focus, int32_t id);
// Whether the keys drive the menus and `id` is the focused button.
bool HasFocus(const MenuFocus& focus, int32_t id);

// ---- Set-up screens (prefs in memory; the caller saves) ----
// step 1 moves to the next value (a left click), -1 to the one before (a
// right click); both wrap at the ends of the cycle.

void CycleGameMode(Prefs& prefs, int step = 1);                  // 0 <-> 1
void CycleTrack(Prefs& prefs, int32_t trackCount, int step = 1); // nothing without tracks
void CyclePlayers(Prefs& prefs, int step = 1);     // 1..4, opponents lowered to fit 5 cars
void CycleOpponents(Prefs& prefs, int step = 1);   // 0..5 - nplayers
void CycleSkill(Prefs& prefs, int step = 1);       // 0, 1, 2
void CycleTimeLimit(Prefs& prefs, int step = 1);   // 10, 15, .. 60, 10
void CycleLaps(Prefs& prefs, int step = 1);        // 3 .. 12, 3

const char* GameModeName(int32_t gamemode);   // "Tag!", "Checkpoint"
const char* SkillName(int32_t skill);         // "Easy", "Medium", "Hard"

// ---- Audio options ----

// A click on a volume button: 32 down when the pointer is left of the
// button's centre, else 32 up, held to 0 .. 224 (0 % .. 100 %).
int32_t StepVolume(int32_t volume, bool leftHalf);
// The shown percentage: volume * 100 / 224, truncated.
int32_t VolumePercent(int32_t volume);

// ---- Graphics options ----

int32_t StepColourDepth(int32_t depth);  // 32 -> 16, anything else -> 32
// shadow_resolution 0 -> 1 -> 32 -> 64 -> 128 -> 0 (step -1: the other way,
// any other value to 0); shadows follows it.
void StepShadows(Prefs& prefs, int step = 1);
// "Off", "Static" or "%dx%d Dynamic" into text (size at least 32).
void ShadowText(const Prefs& prefs, char* text, int size);
// The apply button is shown only while the pending mode differs from the
// running one.
bool ApplyShown(int32_t pendingWidth, int32_t pendingHeight, int32_t pendingDepth,
                int32_t width, int32_t height, int32_t depth);

// ---- Controller options ----

enum SteeringDevice { kDeviceKeyboard, kDeviceKeyboardMouse, kDeviceGamepad, kDeviceWheel };

// The device of player p by the assignments (kDeviceGamepad: any pad).
SteeringDevice PlayerDevice(const Prefs& prefs, int32_t p);
const char* DeviceName(SteeringDevice device);
// Keyboard -> Keyboard & Mouse -> Pad 1 -> the other pads offered -> Wheel
// -> Keyboard.  Pad 1 is always offered; Pads 2..4 when bit k of
// `connectedPads` (Pad k + 1) is set or the player holds them already.
// Taking a pad takes it from whoever had it.
void StepDevice(Prefs& prefs, int32_t p, uint32_t connectedPads = 0);
// 3, 6, 9, 12, 15, 3 (step -1: the other way).
int32_t StepSensitivity(int32_t sensitivity, int step = 1);
// "Very Low", "Low", "Normal", "Fast", "Very Fast", or "" for other values.
const char* SensitivityName(int32_t sensitivity);
// The highest key code 0..254 whose down flag is set, or -1.
int32_t HeldKey(const uint8_t down[255]);
// One frame of typing into a player name (at most 12 characters typed):
// Backspace removes the last character, then the characters of `typed`
// (the text the keys gave) are appended.  Spaces and anything outside
// printable ASCII are refused, so the name stays one word.  Returns whether
// the name changed.
bool EditName(char name[16], const char* typed, bool backspace);

static const int kMaxTypedName = 12;

// ---- Results ----

// The results' continue button: a tournament with another track to come.
bool ResultsContinueShown(bool tournament, int32_t track, int32_t trackCount);
