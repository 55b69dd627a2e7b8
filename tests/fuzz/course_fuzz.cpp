// A track's checkpoint course from arbitrary bytes: the loader, the gate
// tests, then a few steps of a five-car checkpoint race on that course
// (flat ground), with the car records checked after every step.
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "app/appdir.h"
#include "app/clock.h"
#include "app/config.h"
#include "fuzz_targets.h"
#include "game/game_state.h"
#include "game/prefs.h"
#include "game/race_prefs.h"
#include "race/car.h"
#include "race/checkpoints.h"
#include "race/dust.h"
#include "race/race.h"
#include "race/standings.h"

static const int kSteps = 40;

static void LoadCourse(void*)
{
    TakeRaceSetupFromPrefs();
    LoadTrack();
}

static void WriteFlatTerrain(const std::string& dir)
{
    std::string tga(18, '\0');
    tga[2] = 2;
    tga[12] = 64;
    tga[14] = 64;
    tga[16] = 24;
    tga += std::string(64 * 64 * 3, '\x40');
    FuzzWriteFile((dir + "data/tracks/terrains/fuzz.tga").c_str(), (const uint8_t*)tga.data(), tga.size());
}

static bool Finite3(const float v[3])
{
    return std::isfinite(v[0]) && std::isfinite(v[1]) && std::isfinite(v[2]);
}

static void CheckCars()
{
    for (uint32_t c = 0; c < gPrefs.carCount; c++) {
        const Car& car = gCars[c];
        if (!Finite3(car.position) || !Finite3(car.velocity) || !std::isfinite(car.heading))
            FuzzFail("car position, velocity or heading not finite");
        if (gCheckpoints.gateCount > 0 && car.nextCheckpoint >= gCheckpoints.gateCount)
            FuzzFail("car's next gate outside the course");
        if (!std::isfinite(gStandings.score[c]))
            FuzzFail("car's score not finite");
    }
}

int FuzzCourse(const uint8_t* data, size_t size)
{
    const std::string dir = FuzzScratchDir();
    SetAppDirectory(dir.c_str());
    static bool terrainWritten = false;
    if (!terrainWritten) {
        WriteFlatTerrain(dir);
        terrainWritten = true;
    }
    FuzzWriteFile((dir + "data/tracks/checkpoints/fuzz.txt").c_str(), data, size);
    gConfig.trackCount = 1;
    snprintf(gConfig.trackNames[0], kTrackNameSize, "%s", "fuzz");

    SetDefaultPrefs();
    gPrefs.track = 0;
    gPrefs.gamemode = 1;
    gPrefs.nplayers = 0;
    gPrefs.nopponents = 5;
    gPrefs.carCount = 5;
    gPrefs.laps = 3;
    gGame.demo = 1;
    gClock.stepRate = 500.0;
    ResetRandom();
    ClearDust();
    ClearTotals();
    const bool ended = RunTrappingExit(LoadCourse, nullptr);
    remove((dir + "log.txt").c_str());
    if (ended)
        FuzzFail("a course file ended the program");
    if (gCheckpoints.gateCount > (uint32_t)kMaxGates)
        FuzzFail("gate count above 99");
    for (uint32_t g = 0; g < gCheckpoints.gateCount; g++) {
        const Checkpoint& gate = gCheckpoints.gates[g];
        if (!Finite3(gate.leftPost) || !Finite3(gate.centre) || !Finite3(gate.rightPost) || !Finite3(gate.aimPoint))
            FuzzFail("gate coordinates not finite");
        if (gCheckpoints.visible[g] > 1)
            FuzzFail("gate visibility");
    }
    const float a[3] = {-40.0f, 0.0f, -40.0f}, b[3] = {40.0f, 0.0f, 40.0f};
    int32_t crossed = FindCrossedGate(a, b);
    if (crossed < -1 || crossed >= (int32_t)gCheckpoints.gateCount)
        FuzzFail("crossed gate index");
    HitGatePost(a, b);

    ResetCars();
    gGame.state = Race;
    for (int step = 0; step < kSteps; step++) {
        UpdateRace(kRaceDriving);
        RankByScore();
        RaceIsOver();
        CheckCars();
    }
    return 0;
}
