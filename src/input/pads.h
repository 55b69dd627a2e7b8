// Up to four gamepads as plain records, numbered "Pad 1" to "Pad 4".  The
// platform's event pump (src/platform/events_pads.cpp) turns controller
// events into the On*() calls below; a pad keeps its number while it is
// plugged in, and a pad plugged in again (in any port) gets its old number
// back when that number is free.  Which player drives with which pad is a
// preference: `gamepadsteering` is the player on Pad 1, `padsteering[k]`
// the player on Pad k + 2 (99: nobody).
#pragma once

#include <cstdint>

struct Prefs;

static const int kMaxPads = 4;

// The pad's controls the game reads, in the platform's terms.
enum PadAxis { kPadSteerAxis, kPadThrottleAxis, kPadBrakeAxis };  // stick x, right and left trigger
// The throttle button also presses the menus' focused button; the menu
// buttons only move through the menus (the back button also brakes).
enum PadButton {
    kPadThrottleButton, kPadBrakeButton, kPadStartButton,
    kPadUpButton, kPadDownButton, kPadLeftButton, kPadRightButton, kPadBackButton,
};

struct PadSlot {
    int32_t instance;       // the platform's device id while connected, else -1
    uint8_t connected;      // a device holds this number now
    uint8_t used;           // a device has held this number since start-up
    uint8_t guid[16];       // model of the last device here: re-plugging finds its number
    char name[40];          // its name, for the menus
    float steer;            // stick x, -1 (left) .. 1 (right), before the dead zone
    float throttle, brake;  // triggers, 0 .. 1
    uint8_t throttleButton, brakeButton;  // held
    uint8_t startPressed;   // the start button went down this frame
    uint8_t menuPressed;    // bit b: PadButton b went down this frame (every button but Start)
    uint8_t menuHeld;       // bit b: PadButton b is held (every button but Start)
    uint8_t hat;            // a plain joystick's hat: the kPadHat* directions held
};

struct Pads {
    PadSlot slot[kMaxPads];
    int32_t pausedPlayer;   // player whose missing pad holds the race, or -1
};

// Per process; InitPads at every start-up pass (by the platform's
// InitJoystick) and in test fixtures.
extern Pads gPads;

void InitPads();
// The pad's number (0..3) for a device that appeared; the number it
// already has when known; -1 when four pads are connected.
int OnPadAdded(int32_t instance, const uint8_t guid[16], const char* name);
// The number the device had, or -1; its controls are released.
int OnPadRemoved(int32_t instance);
// `value` in the platform's units: -32768..32767 (triggers 0..32767).
void OnPadAxis(int32_t instance, PadAxis axis, int32_t value);
void OnPadButton(int32_t instance, PadButton button, bool down);
// A plain joystick's hat (a wheel's d-pad), as the directions it holds
// now; each direction is the d-pad button of that way, a diagonal two.
enum { kPadHatUp = 1, kPadHatRight = 2, kPadHatDown = 4, kPadHatLeft = 8 };
void OnPadHat(int32_t instance, uint8_t directions);
// Clears the start-button and menu latches, after each presented frame.
void EndPadFrame();
// Bit k set: Pad k + 1 is connected.
uint32_t ConnectedPads();
// Whether PadButton `button` went down this frame on any connected pad.
bool AnyPadPressed(PadButton button);
// Forgets this frame's presses of `button` (not Start) on every pad: a
// press one control has used is not seen by the next.
void TakePadPress(PadButton button);
// Bit b set: PadButton b is held on a connected pad (Start never).
uint32_t PadButtonsHeld();

// Pad <-> player through the preferences.
int32_t PadPlayer(const Prefs& prefs, int pad);           // player or 99
void SetPadPlayer(Prefs& prefs, int pad, int32_t player);  // 99: nobody
int PlayerPad(const Prefs& prefs, int32_t player);        // lowest pad, or -1
// Gives pad `pad` to `player`, taking it from whoever had it and taking
// the mouse, the wheel and any other pad from the player.
void AssignPad(Prefs& prefs, int pad, int32_t player);
// A pad whose start button was pressed on the set-up screen joins as the
// next player (nplayers + 1, opponents lowered to make room); the player
// index, or -1 when the pad already drives a player or four play.
int32_t ClaimNextPlayer(Prefs& prefs, int pad);
// The set-up screen: every pad whose start button went down this frame
// claims the next player (ClaimNextPlayer on gPrefs); true when one did.
bool ClaimPlayersByStart();
// "Pad 2: name" (the name cut to 21 characters, to fit the screen) or
// "Pad 2: not connected", at most size - 1 characters.
void PadLabel(int pad, char* text, int size);

// A person's controls from a pad: the four flags and the analogue values
// that the car maps like a wheel's axes.
struct PadDrive {
    bool accelerate, left, brake, right;
    float steer;  // -1 left .. 1 right, dead zone removed
    float pedal;  // -1 full throttle .. 1 full brake
};
// False when `player` does not drive with a pad (or it is not connected:
// then `out` is all zero).
bool ReadPadDrive(int32_t player, PadDrive* out);
// Stick dead zone: |x| below 0.2 is 0, the rest rescaled to reach 1.
float PadDeadZone(float x);

// The local player (0..nplayers-1) whose chosen pad is not connected, or
// -1.  A demo and a network race never wait.
int32_t PlayerMissingPad();
// Once per step of the race: records and logs the player the race waits
// for; true while it waits.
bool RaceWaitsForPad();
