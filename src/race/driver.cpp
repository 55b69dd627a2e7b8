// The computer driver.  No plan and no memory: each step it aims at one
// point (the next gate, a point ahead of the tag holder, or away from the
// nearest car), steers toward it (the tag holder away from it) and decides
// the throttle by the angle to it.
#include "race/driver.h"

#include <cmath>

#include "race/checkpoints.h"
#include "race/race.h"
#include "race/standings.h"
#include "race/terrain.h"

static const float kDegToRad = 3.141592654f / 180.0f;

static float PlaneDistance(float ax, float az, float bx, float bz)
{
    return sqrtf((ax - bx) * (ax - bx) + (az - bz) * (az - bz));
}

void DriveComputerCar(const Car& car, bool* accelerate, bool* left, bool* brake, bool* right)
{
    (void)brake;  // a computer car never brakes, so it never reverses
    const float s = gTerrain.cellSize;
    const uint32_t cars = gRaceSetup.carCount > (uint32_t)kMaxCars ? (uint32_t)kMaxCars : gRaceSetup.carCount;
    const float x = car.position[0];
    const float z = car.position[2];
    const bool holder = gStandings.tagHolder == (int32_t)car.index;
    float tx, tz;

    // 1. The target point.
    if (gRaceSetup.gamemode == 0 && holder) {
        tx = x;
        tz = z;
        float best = 999.0f;
        for (uint32_t o = 0; o < cars; o++) {
            if (o == car.index)
                continue;
            float d = PlaneDistance(x, z, gCars[o].position[0], gCars[o].position[2]);
            if (d < best) {
                best = d;
                tx = gCars[o].position[0];
                tz = gCars[o].position[2];
            }
        }
        if (x < -32.0f * s / 2.0f)
            tx = -32.0f * s - 1.0f;
        else if (x > 28.0f * s / 2.0f)
            tx = 28.0f * s + 1.0f;
        if (z < -32.0f * s / 2.0f)
            tz = -32.0f * s - 1.0f;
        else if (z > 28.0f * s / 2.0f)
            tz = 28.0f * s + 1.0f;
    } else if (gRaceSetup.gamemode == 0) {
        // Chase a point ahead of the holder; with no valid holder, the
        // middle of the world.
        tx = 0.0f;
        tz = 0.0f;
        if (gStandings.tagHolder >= 0 && (uint32_t)gStandings.tagHolder < cars) {
            const Car& h = gCars[gStandings.tagHolder];
            float d = PlaneDistance(x, z, h.position[0], h.position[2]);
            float k = 0.9f + 0.1f * d;
            float lead = 2.0f + 0.15f * car.wheelCircumference * h.wheelSpeed -
                         0.15f * car.wheelCircumference * car.wheelSpeed;
            float g = (h.heading + h.steer) * kDegToRad;
            tx = h.position[0] - sinf(g) * lead * k + 0.25f * h.velocity[0];
            tz = h.position[2] - cosf(g) * lead * k + 0.25f * h.velocity[2];
        }
    } else if (gRaceSetup.gamemode == 1) {
        // The next gate's aim point from afar, its centre when close; with
        // no such gate, the middle of the world.
        tx = 0.0f;
        tz = 0.0f;
        if (car.nextCheckpoint < gCheckpoints.gateCount) {
            const Checkpoint& gate = gCheckpoints.gates[car.nextCheckpoint];
            if (PlaneDistance(x, z, gate.centre[0], gate.centre[2]) >= 5.0f) {
                tx = gate.aimPoint[0];
                tz = gate.aimPoint[2];
            } else {
                tx = gate.centre[0];
                tz = gate.centre[2];
            }
        }
    } else {
        return;
    }

    // 2. Jitter of up to 0.2 each way.
    tx += (float)(RandomInt() % 201 - 100) * 0.002f;
    tz += (float)(RandomInt() % 201 - 100) * 0.002f;

    // 3. The wanted heading, brought near the car's own.
    float theta = atanf((x - tx) / (z - tz)) * 180.0f / 3.141592654f;
    if (z < tz)
        theta += 180.0f;
    if (theta - car.heading < -180.0f)
        theta += 360.0f;
    else if (theta - car.heading > 180.0f)
        theta -= 360.0f;

    // 4. Steer toward it; the holder steers away.
    const float pointing = car.heading + car.steer;
    if (theta > pointing)
        *(holder && gRaceSetup.gamemode == 0 ? right : left) = true;
    else if (theta < pointing)
        *(holder && gRaceSetup.gamemode == 0 ? left : right) = true;

    // 5. Throttle by the angle to the target.
    const float e = fabsf(theta - car.heading);
    const bool slow = car.wheelSpeed < car.maxWheelSpeed / 3.0f;
    if (gRaceSetup.gamemode == 0 ? (holder || e < 35.0f || slow) : (e < 45.0f || slow))
        *accelerate = true;

    // 6. Wobble.
    if (e < 15.0f && RandomInt() % 50 > 40) {
        if (RandomInt() % 2 == 0)
            *left = true;
        else
            *right = true;
    }

    // 7. The difficulty caps the speed up to which the driver accelerates.
    if (gRaceSetup.opponentskill == 0 && car.wheelSpeed > car.maxWheelSpeed / 1.5f)
        *accelerate = false;
    else if (gRaceSetup.opponentskill == 1 && car.wheelSpeed > car.maxWheelSpeed / 1.25f)
        *accelerate = false;
}
