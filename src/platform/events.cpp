// SDL events into device records: the game's window procedure.
#include <SDL.h>

#include "app/clock.h"
#include "app/config.h"
#include "input/devices.h"
#include "platform/keymap.h"
#include "platform/window.h"

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
    default:
        break;
    }
}

PollResult PollWindowEvent()
{
    SDL_Event event;
    if (!SDL_PollEvent(&event))
        return kNoEvent;
    switch (event.type) {
    case SDL_QUIT:
        return kQuitEvent;
    case SDL_WINDOWEVENT:
        if (event.window.event == SDL_WINDOWEVENT_CLOSE)
            return kQuitEvent;
        HandleWindowEvent(event.window);
        break;
    case SDL_KEYDOWN:
        OnKeyDown(ScancodeToKeyCode(event.key.keysym.scancode));
        break;
    case SDL_KEYUP:
        OnKeyUp(ScancodeToKeyCode(event.key.keysym.scancode));
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
    default:
        break;
    }
    return kEventHandled;
}

void InitMouse()
{
    gMouse.leftDown = gMouse.rightDown = gMouse.clicked = 0;
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
        gMouse.x = gMouse.prevX = gConfig.width / 2;
        gMouse.y = gMouse.prevY = gConfig.height / 2;
        WarpCursor(gMouse.x, gMouse.y);
    }
}

void InitJoystick()
{
    gJoystick.rawX = gJoystick.rawY = 32768;
    gJoystick.x = gJoystick.y = 0.0f;
    OnJoystickButtonUp();
}

void ReleaseJoystick() {}
