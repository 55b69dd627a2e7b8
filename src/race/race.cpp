// Race set-up (track, grid, cameras, standings), the race step and the
// game's own random numbers.
#include "race/race.h"

#include <cstring>

#include "race/camera.h"
#include "race/car.h"
#include "race/checkpoints.h"
#include "race/dust.h"
#include "race/standings.h"
#include "race/terrain.h"

RaceSoundEvents gRaceSounds;
RaceSetup gRaceSetup;

// Per process: the generator starts at seed 1 like an unseeded runtime
// generator; ResetRandom puts it back (tests, the simulator).
static uint32_t gRandomState = 1;

int32_t RandomInt()
{
    gRandomState = gRandomState * 214013u + 2531011u;
    return (int32_t)((gRandomState >> 16) & 0x7fffu);
}

void ResetRandom()
{
    gRandomState = 1;
}

uint32_t RandomState()
{
    return gRandomState;
}

void SetRandomState(uint32_t state)
{
    gRandomState = state;
}

uint32_t RaceCarCount()
{
    return gRaceSetup.carCount > (uint32_t)kMaxCars ? (uint32_t)kMaxCars : gRaceSetup.carCount;
}

void LoadTrack()
{
    LoadCheckpoints();
    LoadTerrain(1.0f, 0.0125f, (uint32_t)(gRaceSetup.terrainPixelSkip < 1 ? 1 : gRaceSetup.terrainPixelSkip));
}

void ResetCar(uint32_t i)
{
    if (i >= (uint32_t)kMaxCars)
        return;
    Car& car = gCars[i];
    // The sound channels stay as they are; everything else starts again.
    Channel squeeze[3] = {car.squeezeChannel[0], car.squeezeChannel[1], car.squeezeChannel[2]};
    Channel tag = car.tagChannel;
    memset(&car, 0, sizeof car);
    memcpy(car.squeezeChannel, squeeze, sizeof squeeze);
    car.tagChannel = tag;

    car.index = i;
    car.bodyWidth = 1.25f;
    car.suspensionStiffness = 0.75f;
    car.bodyLength = 1.5f;
    car.wheelRadius = 0.25f;
    car.wheelCircumference = car.wheelRadius * 6.283185307f;
    car.grip = 0.375f;
    car.frontAxleOffset = 0.5f;
    car.frontHalfTrack = 0.5f;
    car.rearAxleOffset = 0.5f;
    car.rearHalfTrack = 0.55f;
    car.driveAccel = 30.0f;
    car.brakeDecel = 50.0f;
    car.steerRate = 180.0f;
    car.steerReturn = 10.0f;
    car.maxWheelSpeed = 10.0f;
    car.maxSteer = 45.0f;
    car.weight = 0.25f;

    // The grid: a diagonal line towards +x and +z, car 0 in front, all
    // facing -z, 5 above the ground.
    car.position[0] = 2.0f * ((float)i - (float)gRaceSetup.carCount / 2.0f);
    car.position[1] = 5.0f;
    car.position[2] = 2.0f * (float)i + 5.0f;
    for (WheelPoint& w : car.wheelPoint)
        w.y = 5.0f;
    car.frontOnGround = 1;
    car.rearOnGround = 1;
}

void ResetCars()
{
    for (uint32_t i = 0; i < (uint32_t)kMaxCars; i++) {
        ResetCar(i);
        const float* p = gCars[i].position;
        ResetCamera(gCameras[i], i, p[0], p[1], p[2] + 5.0f, 0.0f, 0.0f, 0.0f, 55.0f);
    }
    ResetStandings();
    memset(&gRaceSounds, 0, sizeof gRaceSounds);
    memset(gControls, 0, sizeof gControls);
}

void UpdateRace(RacePhase phase)
{
    const uint32_t cars = RaceCarCount();
    if (phase == kRaceDriving) {
        if (gStandings.countdown < 4.0f) {
            for (uint32_t i = 0; i < cars; i++)
                UpdateCar(gCars[i]);
            for (uint32_t i = 0; i < cars; i++)
                ApplyWorldRules(i);
            if (gRaceSetup.particles)
                UpdateDust();
        }
        TickStandings();
    }
    if (phase != kRaceOff) {
        for (uint32_t i = 0; i < cars; i++)
            UpdateCamera(gCameras[i], phase != kRaceDriving);
    }
}
