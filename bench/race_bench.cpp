// Race step benchmarks: the whole race step with five computer cars on a
// shipped track, one car's step alone, and the ground query.  The track is
// the first one under data/ beside the benchmark executable; without one
// (a build without game data) a rolling terrain and an oval course are made
// in memory, and the label says so.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <new>

#include "app/appdir.h"
#include "app/clock.h"
#include "app/config.h"
#include "game/game_state.h"
#include "game/prefs.h"
#include "game/race_prefs.h"
#include "race/camera.h"
#include "race/car.h"
#include "race/checkpoints.h"
#include "race/dust.h"
#include "race/race.h"
#include "race/standings.h"
#include "race/terrain.h"

// Every C++ allocation of the benchmark program is counted, so that the
// race step can show that it allocates nothing.
static long gAllocations = 0;

void* operator new(size_t size)
{
    gAllocations++;
    void* p = malloc(size ? size : 1);
    if (!p)
        abort();
    return p;
}

// The compiler sees free() after an inlined operator new and takes it for a
// mismatch; here new is malloc, so the pair matches.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void operator delete(void* p) noexcept
{
    free(p);
}

void operator delete(void* p, size_t) noexcept
{
    free(p);
}
#pragma GCC diagnostic pop

namespace {

// Rolling ground and eight gates round an oval, when no track is shipped.
void MakeTrackInMemory()
{
    memset(&gTerrain, 0, sizeof gTerrain);
    gTerrain.cellSize = 1.0f;
    gTerrain.heightScale = 0.0125f;
    gTerrain.pixelSkip = 1;
    for (int j = 0; j < kGridSize; j++)
        for (int i = 0; i < kGridSize; i++)
            gTerrain.heights[i + kGridSize * j] =
                1.5f + std::sin((float)i / 6.0f) * std::cos((float)j / 5.0f);
    memset(&gCheckpoints, 0, sizeof gCheckpoints);
    for (int g = 0; g < 8; g++) {
        const float a = (float)g * 45.0f;
        const float r = a * 3.141592654f / 180.0f;
        const float x = -18.0f * std::sin(r), z = -18.0f * std::cos(r);
        Checkpoint& gate = gCheckpoints.gates[g];
        gate.centre[0] = x;
        gate.centre[2] = z;
        gate.leftPost[0] = x - 3.0f * std::cos(r);
        gate.leftPost[2] = z + 3.0f * std::sin(r);
        gate.rightPost[0] = x + 3.0f * std::cos(r);
        gate.rightPost[2] = z - 3.0f * std::sin(r);
        gate.aimPoint[0] = x;
        gate.aimPoint[2] = z;
        gCheckpoints.visible[g] = 1;
    }
    gCheckpoints.gateCount = 8;
}

// Five computer cars on the grid of the first track; returns its name.
const char* SetUpRace(int mode)
{
    InitAppDirectory();
    ScanTracks();
    SetDefaultPrefs();
    gPrefs.gamemode = mode;
    gPrefs.nplayers = 0;
    gPrefs.nopponents = 5;
    gPrefs.carCount = 5;
    gPrefs.opponentskill = 2;
    gPrefs.track = 0;
    gGame.demo = 1;
    gGame.state = Race;
    gClock.stepRate = 500.0;
    ResetRandom();
    ClearDust();
    const char* name = "in-memory track (no data/)";
    if (gConfig.trackCount > 0) {
        TakeRaceSetupFromPrefs();
        LoadTrack();
        name = gConfig.trackNames[0];
    } else {
        MakeTrackInMemory();
    }
    ResetCars();
    return name;
}

void BM_UpdateRace(benchmark::State& state)
{
    const char* track = SetUpRace((int)state.range(0));
    for (int k = 0; k < 2000; k++)  // past the countdown, cars under way
        UpdateRace(kRaceDriving);
    long allocations = 0;
    for (auto _ : state) {
        const long before = gAllocations;
        UpdateRace(kRaceDriving);
        allocations += gAllocations - before;
        benchmark::ClobberMemory();
    }
    state.counters["allocations"] = (double)allocations;
    state.SetLabel(std::string(state.range(0) ? "checkpoint, " : "tag, ") + track);
}
BENCHMARK(BM_UpdateRace)->Arg(1)->Arg(0);

void BM_UpdateCar(benchmark::State& state)
{
    const char* track = SetUpRace(1);
    for (int k = 0; k < 2000; k++)
        UpdateRace(kRaceDriving);
    for (auto _ : state) {
        UpdateCar(gCars[2]);
        benchmark::ClobberMemory();
    }
    state.SetLabel(track);
}
BENCHMARK(BM_UpdateCar);

void BM_GroundHeight(benchmark::State& state)
{
    SetUpRace(1);
    gTerrain.pixelSkip = (uint32_t)state.range(0);
    float sx = 0.0f, sz = 0.0f;
    float x = -32.0f, z = -32.0f;
    for (auto _ : state) {
        benchmark::DoNotOptimize(GroundHeight(x, z, &sx, &sz));
        x += 0.37f;
        if (x > 30.0f) {
            x = -32.0f;
            z += 0.53f;
            if (z > 30.0f)
                z = -32.0f;
        }
    }
    benchmark::DoNotOptimize(sx + sz);
}
BENCHMARK(BM_GroundHeight)->Arg(1)->Arg(2);

}  // namespace
