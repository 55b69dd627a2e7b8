// SDL events into device records: the game's window procedure.  Keys are
// mapped by their physical position (scancode), key repeat delivers further
// key-downs, and the first joystick is opened when it is attached and closed
// when it is removed.  Up to four pads: events_pads.cpp.
#include <SDL.h>

#include "app/clock.h"
#include "app/config.h"
#include "input/devices.h"
#include "input/keymap.h"
#include "platform/events_pads.h"
#include "platform/window.h"

// SDL's scancodes are the USB HID usages the key table is written in.
static_assert(SDL_SCANCODE_A == 4 && SDL_SCANCODE_1 == 30 && SDL_SCANCODE_0 == 39 &&
                  SDL_SCANCODE_F1 == 58 && SDL_SCANCODE_RIGHT == 79 && SDL_SCANCODE_KP_1 == 89 &&
                  SDL_SCANCODE_LCTRL == 224 && SDL_SCANCODE_RALT == 230,
              "SDL scancodes are USB HID usages");

// Per start-up pass: opened by the hot-plug events after InitJoystick,
// closed by ReleaseJoystick or when the device goes away.
struct JoystickDevice {
    SDL_Joystick* joystick;
    SDL_JoystickID id;
    uint32_t heldButtons;  // bit b: button b (0..3) held
    bool started;          // the joystick subsystem is running
};
static JoystickDevice gJoyDevice;

static void CloseJoystick()
{
    if (gJoyDevice.joystick)
        SDL_JoystickClose(gJoyDevice.joystick);
    gJoyDevice.joystick = nullptr;
    gJoyDevice.id = -1;
    gJoyDevice.heldButtons = 0;
    OnJoystickAxes(32768, 32768);
    OnJoystickButtonUp();
}

// Opens the first attached joystick unless one is open already.
static void OpenFirstJoystick()
{
    if (gJoyDevice.joystick || !gJoyDevice.started)
        return;
    int count = SDL_NumJoysticks();
    for (int i = 0; i < count; i++) {
        SDL_Joystick* joystick = SDL_JoystickOpen(i);
        if (joystick) {
            gJoyDevice.joystick = joystick;
            gJoyDevice.id = SDL_JoystickInstanceID(joystick);
            gJoyDevice.heldButtons = 0;
            return;
        }
    }
}

static void HandleJoystickEvent(const SDL_Event& event)
{
    switch (event.type) {
    case SDL_JOYDEVICEADDED:
        OpenFirstJoystick();
        break;
    case SDL_JOYDEVICEREMOVED:
        if (gJoyDevice.joystick && event.jdevice.which == gJoyDevice.id) {
            CloseJoystick();
            OpenFirstJoystick();
        }
        break;
    case SDL_JOYAXISMOTION:
        if (!gJoyDevice.joystick || event.jaxis.which != gJoyDevice.id)
            break;
        if (event.jaxis.axis == 0)
            OnJoystickAxes((uint32_t)(event.jaxis.value + 32768), gJoystick.rawY);
        else if (event.jaxis.axis == 1)
            OnJoystickAxes(gJoystick.rawX, (uint32_t)(event.jaxis.value + 32768));
        break;
    case SDL_JOYBUTTONDOWN:
    case SDL_JOYBUTTONUP:
        if (!gJoyDevice.joystick || event.jbutton.which != gJoyDevice.id ||
            event.jbutton.button > 3)
            break;
        if (event.type == SDL_JOYBUTTONDOWN) {
            gJoyDevice.heldButtons |= 1u << event.jbutton.button;
            OnJoystickButtonDown(gJoyDevice.heldButtons);
        } else {
            gJoyDevice.heldButtons &= ~(1u << event.jbutton.button);
            OnJoystickButtonUp();
        }
        break;
    default:
        break;
    }
}

static void HandleWindowEvent(const SDL_WindowEvent& event)
{
    switch (event.event) {
    case SDL_WINDOWEVENT_MINIMIZED:
    case SDL_WINDOWEVENT_HIDDEN:
        windowActive = 0;
        break;
    case SDL_WINDOWEVENT_RESTORED:
    case SDL_WINDOWEVENT_SHOWN:
    case SDL_WINDOWEVENT_EXPOSED:
        windowActive = 1;
        break;
    case SDL_WINDOWEVENT_FOCUS_LOST:
        windowFocusLost = 1;
        break;
    default:
        break;
    }
}

PollResult PollWindowEvent()
{
    SDL_Event event;
    if (!SDL_PollEvent(&event)) {
        RunTestPadCommands();
        return kNoEvent;
    }
    switch (event.type) {
    case SDL_QUIT:
        return kQuitEvent;
    case SDL_WINDOWEVENT:
        if (event.window.event == SDL_WINDOWEVENT_CLOSE)
            return kQuitEvent;
        HandleWindowEvent(event.window);
        break;
    case SDL_KEYDOWN:  // also the repeats of a held key
        OnKeyDown(KeyCodeFromUsage(event.key.keysym.scancode));
        break;
    case SDL_KEYUP:
        OnKeyUp(KeyCodeFromUsage(event.key.keysym.scancode));
        break;
    case SDL_TEXTINPUT:
        OnTextInput(event.text.text);
        break;
    case SDL_MOUSEMOTION:
        OnMouseMove(event.motion.x, event.motion.y);
        break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
        if (event.button.button == SDL_BUTTON_LEFT)
            OnMouseButton(0, event.type == SDL_MOUSEBUTTONDOWN);
        else if (event.button.button == SDL_BUTTON_RIGHT)
            OnMouseButton(1, event.type == SDL_MOUSEBUTTONDOWN);
        break;
    case SDL_JOYDEVICEADDED:
    case SDL_JOYDEVICEREMOVED:
    case SDL_JOYAXISMOTION:
    case SDL_JOYBUTTONDOWN:
    case SDL_JOYBUTTONUP:
        HandleJoystickEvent(event);
        HandlePadEvent(event);
        break;
    case SDL_JOYHATMOTION:
    case SDL_CONTROLLERAXISMOTION:
    case SDL_CONTROLLERBUTTONDOWN:
    case SDL_CONTROLLERBUTTONUP:
        HandlePadEvent(event);
        break;
    default:
        break;
    }
    return kEventHandled;
}

void InitMouse()
{
    gMouse.leftDown = gMouse.rightDown = 0;
    EndMouseFrame();
    gMouse.x = gMouse.prevX = gConfig.width / 2;
    gMouse.y = gMouse.prevY = gConfig.height / 2;
    gMouse.dx = gMouse.dy = 0;
    WarpCursor(gMouse.x, gMouse.y);
}

void UpdateMouse(bool inRace)
{
    gMouse.dx = gMouse.x - gMouse.prevX;
    gMouse.dy = gMouse.y - gMouse.prevY;
    gMouse.prevX = gMouse.x;
    gMouse.prevY = gMouse.y;
    if (inRace) {
        // Held at the centre.  A warp waits on the display server, so the
        // cursor is only put back when it has left the centre.
        const int32_t cx = gConfig.width / 2, cy = gConfig.height / 2;
        const bool away = gMouse.x != cx || gMouse.y != cy;
        gMouse.x = gMouse.prevX = cx;
        gMouse.y = gMouse.prevY = cy;
        if (away) {
            WarpCursor(cx, cy);
            gMouse.warps++;
        }
    }
}

// Without a joystick the values stay centred.  SDL reports every joystick
// already attached as an "added" event once the subsystem runs.
void InitJoystick()
{
    gJoystick.rawX = gJoystick.rawY = 32768;
    gJoystick.x = gJoystick.y = 0.0f;
    OnJoystickButtonUp();
    gJoyDevice.joystick = nullptr;
    gJoyDevice.id = -1;
    gJoyDevice.heldButtons = 0;
    gJoyDevice.started = SDL_InitSubSystem(SDL_INIT_JOYSTICK) == 0;
    OpenFirstJoystick();
    InitPadDevices();
}

void ReleaseJoystick()
{
    ReleasePadDevices();
    CloseJoystick();
    if (gJoyDevice.started)
        SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
    gJoyDevice.started = false;
}
