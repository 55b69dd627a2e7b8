#include "input/controls.h"

#include "app/clock.h"
#include "game/prefs.h"
#include "input/devices.h"
#include "input/pads.h"
#include "race/car.h"

void WriteLocalControls()
{
    const int64_t players = gPrefs.nplayers < 4 ? gPrefs.nplayers : 4;  // four control sets
    for (int64_t i = 0; i < players && i < kMaxCars; i++) {
        if (!IsHumanCar((uint32_t)i))  // a demonstration: nobody drives
            continue;
        const int32_t* keys = gPrefs.playerctrls[i];
        CarControls c = {};
        PadDrive pad;
        if (ReadPadDrive((int32_t)i, &pad)) {
            // A pad drives as a wheel does: the stick steers, the triggers
            // (or buttons) are the pedal.  An unplugged pad reads all zero;
            // the race waits for it meanwhile.
            c.wheelSteering = 1;
            c.wheelX = pad.steer;
            c.wheelY = pad.pedal;
        } else {
            c.left = KeyDown(keys[kCtrlLeft]);
            c.right = KeyDown(keys[kCtrlRight]);
            if (gPrefs.wheelsteering == (int32_t)i) {
                c.wheelSteering = 1;
                c.wheelX = gJoystick.x;
                c.wheelY = gJoystick.y;
            } else {
                c.accelerate = KeyDown(keys[kCtrlAccelerate]);
                c.brake = KeyDown(keys[kCtrlBrake]);
            }
        }
        if (gPrefs.mousesteering == (int32_t)i) {
            c.mouseSteering = 1;
            // A frame's movement turns the wheels by dx / 250 * sensitivity
            // * 8 degrees in all, spread over the frame's steps: the same
            // hand movement gives the same turn at any frame rate.
            const int32_t steps = gClock.frameSteps > 0 ? gClock.frameSteps : 1;
            c.mouseSteer = (float)(gMouse.dx / 250.0 * 8.0 / steps) * (float)gPrefs.mousesensitivity;
        }
        gControls[i] = c;
    }
}

bool CameraKeyHeld(uint32_t player)
{
    return player < 4 && KeyDown(gPrefs.playerctrls[player][kCtrlCamera]);
}
