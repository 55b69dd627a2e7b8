// Shared set-up of the race tests: default preferences, a 2 ms step, flat
// ground, no course, devices or dust colours, random from its start, cars on
// the grid.
#pragma once

#include <cstring>

#include "app/clock.h"
#include "game/game_state.h"
#include "game/prefs.h"
#include "game/race_prefs.h"
#include "input/controls.h"
#include "input/devices.h"
#include "net/net_session.h"
#include "race/camera.h"
#include "race/car.h"
#include "race/checkpoints.h"
#include "race/driver.h"
#include "race/dust.h"
#include "race/race.h"
#include "race/standings.h"
#include "race/terrain.h"

inline void ResetRaceWorld(uint32_t cars = 2, float groundHeight = 0.0f)
{
    SetDefaultPrefs();
    gPrefs.nplayers = 1;
    gPrefs.nopponents = (int32_t)cars - 1;
    gPrefs.carCount = cars;
    gPrefs.gamemode = 1;
    gClock.stepRate = 500.0;
    memset(&gTerrain, 0, sizeof gTerrain);
    gTerrain.cellSize = 1.0f;
    gTerrain.heightScale = 0.0125f;
    gTerrain.pixelSkip = 1;
    for (float& h : gTerrain.heights)
        h = groundHeight;
    memset(&gCheckpoints, 0, sizeof gCheckpoints);
    memset(&gKeyboard, 0, sizeof gKeyboard);
    memset(&gMouse, 0, sizeof gMouse);
    memset(&gJoystick, 0, sizeof gJoystick);
    memset(&gStandings, 0, sizeof gStandings);
    memset(&gRaceSounds, 0, sizeof gRaceSounds);
    gNet.role = kRoleNone;
    gNet.inSound = -1;
    gNet.outSound = -1;
    gGame.state = Race;
    gGame.demo = 0;
    ResetRandom();
    ClearDust();
    ClearDustGround();  // puffs in the plain colour unless a test lays a ground
    memset(gCameras, 0, sizeof(Camera) * 5);
    TakeRaceSetupFromPrefs();
    ResetCars();
}

// Puts car `i` standing on flat ground of height `ground` at (x, z) with
// heading `heading`, wheels on the ground and at rest.
inline void PlaceCar(uint32_t i, float x, float z, float heading = 0.0f, float ground = 0.0f)
{
    Car& car = gCars[i];
    car.position[0] = x;
    car.position[1] = ground;
    car.position[2] = z;
    car.heading = heading;
    car.slideHeading = heading;
    memset(car.velocity, 0, sizeof car.velocity);
    for (WheelPoint& w : car.wheelPoint) {
        w.y = ground;
        w.vy = 0.0f;
    }
    car.frontOnGround = car.rearOnGround = 1;
}

// Sets a gate directly: posts (lx, lz) and (rx, rz), centre between them.
inline void SetGate(uint32_t g, float lx, float lz, float rx, float rz)
{
    Checkpoint& gate = gCheckpoints.gates[g];
    memset(&gate, 0, sizeof gate);
    gate.leftPost[0] = lx;
    gate.leftPost[2] = lz;
    gate.rightPost[0] = rx;
    gate.rightPost[2] = rz;
    gate.centre[0] = (lx + rx) / 2.0f;
    gate.centre[2] = (lz + rz) / 2.0f;
    gate.aimPoint[0] = gate.centre[0];
    gate.aimPoint[2] = gate.centre[2];
    gCheckpoints.visible[g] = 1;
    if (gCheckpoints.gateCount <= g)
        gCheckpoints.gateCount = g + 1;
}

// Writes the corners of an axis-aligned square of half-side `half` around
// (x, z) into car i (0, 1 at low z; even ones at low x).
inline void SetSquareCorners(uint32_t i, float x, float z, float half)
{
    float (*c)[3] = gCars[i].corner;
    for (int k = 0; k < 4; k++) {
        c[k][0] = k % 2 ? x + half : x - half;
        c[k][2] = k < 2 ? z - half : z + half;
    }
}
