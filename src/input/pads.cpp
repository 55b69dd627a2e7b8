// Pad numbers as devices come and go, pads to players, a pad's driving
// controls and the race's wait for a missing pad (see pads.h).
#include "input/pads.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "app/log.h"
#include "game/game_state.h"
#include "game/prefs.h"
#include "net/net_session.h"

Pads gPads;

static const float kStickDeadZone = 0.2f;
static const float kTriggerDeadZone = 0.05f;

static void ReleaseControls(PadSlot& s)
{
    s.steer = s.throttle = s.brake = 0.0f;
    s.throttleButton = s.brakeButton = s.startPressed = s.menuPressed = s.menuHeld = s.hat = 0;
}

void InitPads()
{
    memset(&gPads, 0, sizeof gPads);
    for (PadSlot& s : gPads.slot)
        s.instance = -1;
    gPads.pausedPlayer = -1;
}

static PadSlot* FindPad(int32_t instance)
{
    for (PadSlot& s : gPads.slot)
        if (s.connected && s.instance == instance)
            return &s;
    return nullptr;
}

int OnPadAdded(int32_t instance, const uint8_t guid[16], const char* name)
{
    if (PadSlot* known = FindPad(instance))
        return (int)(known - gPads.slot);
    // The number this model had before, then a number never used, then any.
    int chosen = -1;
    for (int pass = 0; pass < 3 && chosen < 0; pass++)
        for (int k = 0; k < kMaxPads && chosen < 0; k++) {
            const PadSlot& s = gPads.slot[k];
            if (s.connected)
                continue;
            if ((pass == 0 && s.used && memcmp(s.guid, guid, 16) == 0) || (pass == 1 && !s.used) || pass == 2)
                chosen = k;
        }
    if (chosen < 0)
        return -1;
    PadSlot& s = gPads.slot[chosen];
    ReleaseControls(s);
    s.instance = instance;
    s.connected = s.used = 1;
    memcpy(s.guid, guid, 16);
    snprintf(s.name, sizeof s.name, "%s", name ? name : "");
    return chosen;
}

int OnPadRemoved(int32_t instance)
{
    PadSlot* s = FindPad(instance);
    if (!s)
        return -1;
    ReleaseControls(*s);
    s->connected = 0;
    s->instance = -1;
    return (int)(s - gPads.slot);
}

void OnPadAxis(int32_t instance, PadAxis axis, int32_t value)
{
    PadSlot* s = FindPad(instance);
    if (!s)
        return;
    float v = (float)value / 32767.0f;
    v = v < -1.0f ? -1.0f : (v > 1.0f ? 1.0f : v);
    if (axis == kPadSteerAxis)
        s->steer = v;
    else if (axis == kPadThrottleAxis)
        s->throttle = v > 0.0f ? v : 0.0f;
    else if (axis == kPadBrakeAxis)
        s->brake = v > 0.0f ? v : 0.0f;
}

void OnPadButton(int32_t instance, PadButton button, bool down)
{
    PadSlot* s = FindPad(instance);
    if (!s)
        return;
    if (button == kPadThrottleButton)
        s->throttleButton = down ? 1 : 0;
    else if (button == kPadBrakeButton)
        s->brakeButton = down ? 1 : 0;
    if (button == kPadStartButton) {
        if (down)
            s->startPressed = 1;
    } else if ((int)button >= 0 && (int)button < 8) {  // a number from the platform
        const uint8_t bit = (uint8_t)(1u << button);
        if (down) {
            s->menuPressed |= bit;
            s->menuHeld |= bit;
        } else {
            s->menuHeld &= (uint8_t)~bit;
        }
    }
}

void OnPadHat(int32_t instance, uint8_t directions)
{
    static const struct {
        uint8_t direction;
        PadButton button;
    } kWays[] = {{kPadHatUp, kPadUpButton}, {kPadHatRight, kPadRightButton},
                 {kPadHatDown, kPadDownButton}, {kPadHatLeft, kPadLeftButton}};
    PadSlot* s = FindPad(instance);
    if (!s)
        return;
    const uint8_t was = s->hat;
    s->hat = directions & 15u;
    for (const auto& way : kWays)
        if ((was ^ s->hat) & way.direction)
            OnPadButton(instance, way.button, (s->hat & way.direction) != 0);
}

void EndPadFrame()
{
    for (PadSlot& s : gPads.slot) {
        s.startPressed = 0;
        s.menuPressed = 0;
    }
}

bool AnyPadPressed(PadButton button)
{
    for (const PadSlot& s : gPads.slot) {
        if (!s.connected)
            continue;
        if (button == kPadStartButton ? s.startPressed != 0 : (s.menuPressed >> button & 1u) != 0)
            return true;
    }
    return false;
}

void TakePadPress(PadButton button)
{
    if (button == kPadStartButton || (int)button < 0 || (int)button >= 8)
        return;
    for (PadSlot& s : gPads.slot)
        s.menuPressed &= (uint8_t)~(1u << button);
}

uint32_t PadButtonsHeld()
{
    uint32_t bits = 0;
    for (const PadSlot& s : gPads.slot)
        if (s.connected)
            bits |= s.menuHeld;
    return bits;
}

uint32_t ConnectedPads()
{
    uint32_t bits = 0;
    for (int k = 0; k < kMaxPads; k++)
        if (gPads.slot[k].connected)
            bits |= 1u << k;
    return bits;
}

int32_t PadPlayer(const Prefs& p, int pad)
{
    if (pad == 0)
        return p.gamepadsteering;
    if (pad > 0 && pad < kMaxPads)
        return p.padsteering[pad - 1];
    return kNoDevicePlayer;
}

void SetPadPlayer(Prefs& p, int pad, int32_t player)
{
    if (pad == 0)
        p.gamepadsteering = player;
    else if (pad > 0 && pad < kMaxPads)
        p.padsteering[pad - 1] = player;
}

int PlayerPad(const Prefs& p, int32_t player)
{
    if (player < 0 || player > 3)
        return -1;
    for (int k = 0; k < kMaxPads; k++)
        if (PadPlayer(p, k) == player)
            return k;
    return -1;
}

void AssignPad(Prefs& p, int pad, int32_t player)
{
    if (pad < 0 || pad >= kMaxPads)
        return;
    for (int k = 0; k < kMaxPads; k++)
        if (PadPlayer(p, k) == player)
            SetPadPlayer(p, k, kNoDevicePlayer);
    if (p.mousesteering == player)
        p.mousesteering = kNoDevicePlayer;
    if (p.wheelsteering == player)
        p.wheelsteering = kNoDevicePlayer;
    SetPadPlayer(p, pad, player);
}

int32_t ClaimNextPlayer(Prefs& p, int pad)
{
    if (pad < 0 || pad >= kMaxPads)
        return -1;
    const int32_t owner = PadPlayer(p, pad);
    if ((owner >= 0 && owner < p.nplayers) || p.nplayers >= 4)
        return -1;
    const int32_t player = p.nplayers < 1 ? 0 : p.nplayers;
    p.nplayers = player + 1;
    if (p.nopponents > 5 - p.nplayers)
        p.nopponents = 5 - p.nplayers;
    AssignPad(p, pad, player);
    return player;
}

bool ClaimPlayersByStart()
{
    bool claimed = false;
    for (int k = 0; k < kMaxPads; k++) {
        PadSlot& s = gPads.slot[k];
        if (!s.startPressed || !s.connected)
            continue;
        s.startPressed = 0;
        const int32_t player = ClaimNextPlayer(gPrefs, k);
        if (player >= 0) {
            LogMessage("Pad %d joins as player %d", k + 1, player + 1);
            claimed = true;
        }
    }
    return claimed;
}

void PadLabel(int pad, char* text, int size)
{
    if (size <= 0)
        return;
    if (pad < 0 || pad >= kMaxPads) {
        text[0] = 0;
        return;
    }
    const PadSlot& s = gPads.slot[pad];
    if (s.connected)
        snprintf(text, (size_t)size, "Pad %d: %.21s", pad + 1, s.name);
    else
        snprintf(text, (size_t)size, "Pad %d: not connected", pad + 1);
}

float PadDeadZone(float x)
{
    float a = fabsf(x);
    if (a <= kStickDeadZone)
        return 0.0f;
    if (a > 1.0f)
        a = 1.0f;
    const float v = (a - kStickDeadZone) / (1.0f - kStickDeadZone);
    return x < 0.0f ? -v : v;
}

bool ReadPadDrive(int32_t player, PadDrive* out)
{
    memset(out, 0, sizeof *out);
    if (gPrefs.mousesteering == player)  // the mouse comes first
        return false;
    const int pad = PlayerPad(gPrefs, player);
    if (pad < 0)
        return false;
    const PadSlot& s = gPads.slot[pad];
    if (!s.connected)
        return true;
    out->steer = PadDeadZone(s.steer);
    float throttle = s.throttle < kTriggerDeadZone ? 0.0f : s.throttle;
    float brake = s.brake < kTriggerDeadZone ? 0.0f : s.brake;
    if (s.throttleButton)
        throttle = 1.0f;
    if (s.brakeButton)
        brake = 1.0f;
    out->pedal = brake - throttle;
    out->left = out->steer < -0.5f;
    out->right = out->steer > 0.5f;
    out->accelerate = out->pedal < -0.01f;
    out->brake = out->pedal > 0.01f;
    return true;
}

int32_t PlayerMissingPad()
{
    if (gGame.demo || gNet.role == kRoleHost || gNet.role == kRoleClient)
        return -1;
    const int32_t players = gPrefs.nplayers > 4 ? 4 : gPrefs.nplayers;
    for (int32_t p = 0; p < players; p++) {
        if (gPrefs.mousesteering == p)
            continue;
        const int pad = PlayerPad(gPrefs, p);
        if (pad >= 0 && !gPads.slot[pad].connected)
            return p;
    }
    return -1;
}

bool RaceWaitsForPad()
{
    const int32_t missing = PlayerMissingPad();
    if (missing != gPads.pausedPlayer) {
        if (missing >= 0)
            LogMessage("Race paused: player %d has no pad", missing + 1);
        else
            LogMessage("Race resumed: player %d has a pad", gPads.pausedPlayer + 1);
        gPads.pausedPlayer = missing;
    }
    return missing >= 0;
}
