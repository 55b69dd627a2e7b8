// Pads through SDL's game-controller interface: a device SDL has a mapping
// for is opened as a game controller (left stick x steers, the right and
// left triggers are throttle and brake, A accelerates, B or X brakes,
// Start claims a player or pauses; in the menus the d-pad moves, A presses
// and B goes back); any other joystick as a plain one, read as the
// single joystick always was (axis 0 steers, button 2 accelerates,
// button 1 brakes), and in the menus its first hat moves, button 2
// presses and button 1 goes back.  Numbers are handed out by OnPadAdded.
#include "platform/events_pads.h"

#include "app/log.h"
#include "input/pads.h"

// Per start-up pass: filled by the hot-plug events after InitPadDevices,
// emptied by ReleasePadDevices or when the device goes away.
struct PadDevice {
    SDL_GameController* controller;  // null for a plain joystick
    SDL_Joystick* joystick;          // null: this entry is free
    SDL_JoystickID id;
    int pad;                         // number 0..3
};
static PadDevice gPadDevices[kMaxPads];
static bool gPadsStarted;

static_assert(SDL_HAT_UP == kPadHatUp && SDL_HAT_RIGHT == kPadHatRight && SDL_HAT_DOWN == kPadHatDown &&
                  SDL_HAT_LEFT == kPadHatLeft,
              "a hat's bits are handed on as they are");

static PadDevice* FindDevice(SDL_JoystickID id)
{
    for (PadDevice& d : gPadDevices)
        if (d.joystick && d.id == id)
            return &d;
    return nullptr;
}

static void CloseDevice(PadDevice& d)
{
    if (d.controller)
        SDL_GameControllerClose(d.controller);
    else if (d.joystick)
        SDL_JoystickClose(d.joystick);
    d.controller = nullptr;
    d.joystick = nullptr;
    d.id = -1;
}

static void OpenDevice(int index)
{
    if (!gPadsStarted || FindDevice(SDL_JoystickGetDeviceInstanceID(index)))
        return;
    PadDevice* free = nullptr;
    for (PadDevice& d : gPadDevices)
        if (!d.joystick && !free)
            free = &d;
    if (!free)
        return;
    PadDevice d = {nullptr, nullptr, -1, -1};
    if (SDL_IsGameController(index)) {
        d.controller = SDL_GameControllerOpen(index);
        d.joystick = d.controller ? SDL_GameControllerGetJoystick(d.controller) : nullptr;
    } else {
        d.joystick = SDL_JoystickOpen(index);
    }
    if (!d.joystick)
        return;
    d.id = SDL_JoystickInstanceID(d.joystick);
    const SDL_JoystickGUID guid = SDL_JoystickGetGUID(d.joystick);
    const char* name = d.controller ? SDL_GameControllerName(d.controller) : SDL_JoystickName(d.joystick);
    d.pad = OnPadAdded(d.id, guid.data, name ? name : "Joystick");
    if (d.pad < 0) {
        CloseDevice(d);
        return;
    }
    *free = d;
    LogMessage("Pad %d connected: %s", d.pad + 1, gPads.slot[d.pad].name);
}

// The game's buttons of each controller button; B both brakes and goes back.
static const struct {
    int button;
    PadButton pad;
} kControllerButtons[] = {
    {SDL_CONTROLLER_BUTTON_A, kPadThrottleButton},     {SDL_CONTROLLER_BUTTON_B, kPadBrakeButton},
    {SDL_CONTROLLER_BUTTON_B, kPadBackButton},         {SDL_CONTROLLER_BUTTON_X, kPadBrakeButton},
    {SDL_CONTROLLER_BUTTON_START, kPadStartButton},    {SDL_CONTROLLER_BUTTON_DPAD_UP, kPadUpButton},
    {SDL_CONTROLLER_BUTTON_DPAD_DOWN, kPadDownButton}, {SDL_CONTROLLER_BUTTON_DPAD_LEFT, kPadLeftButton},
    {SDL_CONTROLLER_BUTTON_DPAD_RIGHT, kPadRightButton},
};

static void ControllerButton(SDL_JoystickID id, int button, bool down)
{
    for (const auto& m : kControllerButtons)
        if (m.button == button)
            OnPadButton(id, m.pad, down);
}

void HandlePadEvent(const SDL_Event& event)
{
    PadDevice* d = nullptr;
    switch (event.type) {
    case SDL_JOYDEVICEADDED:
        OpenDevice(event.jdevice.which);
        break;
    case SDL_JOYDEVICEREMOVED:
        if ((d = FindDevice(event.jdevice.which)) != nullptr) {
            const int pad = OnPadRemoved(d->id);
            CloseDevice(*d);
            LogMessage("Pad %d disconnected", pad + 1);
        }
        break;
    case SDL_CONTROLLERAXISMOTION:
        if ((d = FindDevice(event.caxis.which)) == nullptr || !d->controller)
            break;
        if (event.caxis.axis == SDL_CONTROLLER_AXIS_LEFTX)
            OnPadAxis(d->id, kPadSteerAxis, event.caxis.value);
        else if (event.caxis.axis == SDL_CONTROLLER_AXIS_TRIGGERRIGHT)
            OnPadAxis(d->id, kPadThrottleAxis, event.caxis.value);
        else if (event.caxis.axis == SDL_CONTROLLER_AXIS_TRIGGERLEFT)
            OnPadAxis(d->id, kPadBrakeAxis, event.caxis.value);
        break;
    case SDL_CONTROLLERBUTTONDOWN:
    case SDL_CONTROLLERBUTTONUP:
        if ((d = FindDevice(event.cbutton.which)) != nullptr && d->controller)
            ControllerButton(d->id, event.cbutton.button, event.type == SDL_CONTROLLERBUTTONDOWN);
        break;
    case SDL_JOYAXISMOTION:
        if ((d = FindDevice(event.jaxis.which)) != nullptr && !d->controller && event.jaxis.axis == 0)
            OnPadAxis(d->id, kPadSteerAxis, event.jaxis.value);
        break;
    case SDL_JOYBUTTONDOWN:
    case SDL_JOYBUTTONUP:
        if ((d = FindDevice(event.jbutton.which)) == nullptr || d->controller)
            break;
        if (event.jbutton.button == 1) {
            OnPadButton(d->id, kPadThrottleButton, event.type == SDL_JOYBUTTONDOWN);
        } else if (event.jbutton.button == 0) {
            OnPadButton(d->id, kPadBrakeButton, event.type == SDL_JOYBUTTONDOWN);
            OnPadButton(d->id, kPadBackButton, event.type == SDL_JOYBUTTONDOWN);
        }
        break;
    case SDL_JOYHATMOTION:
        // SDL's hat bits are the game's directions.
        if ((d = FindDevice(event.jhat.which)) != nullptr && !d->controller && event.jhat.hat == 0)
            OnPadHat(d->id, event.jhat.value);
        break;
    default:
        break;
    }
}

// SDL reports every device already attached as an "added" event once the
// subsystem runs; those find their device open already.
void InitPadDevices()
{
    InitPads();
    for (PadDevice& d : gPadDevices)
        d = {nullptr, nullptr, -1, -1};
    gPadsStarted = SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) == 0;
    if (!gPadsStarted)
        return;
    const int count = SDL_NumJoysticks();
    for (int i = 0; i < count; i++)
        OpenDevice(i);
}

void ReleasePadDevices()
{
    ReleaseTestPads();
    for (PadDevice& d : gPadDevices)
        CloseDevice(d);
    if (gPadsStarted)
        SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
    gPadsStarted = false;
    InitPads();
}
