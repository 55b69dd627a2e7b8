// Five cars in any state at all (NaNs, infinities, huge and tiny numbers in
// their motion records) and people's controls of any value, on sloping
// ground with a three-gate course, stepped for a second of race.  After
// every step each car must be sound again (its speed aside: see below): the
// step's repair puts back a state that went bad, whatever the bytes.
//
// The input, so that short ones already reach odd states: three bytes of
// race set-up; per car its next gate and four (field, odd value) pairs;
// per car its controls record; then raw bytes laid over the cars' motion
// records in turn, as far as they go.  Missing bytes are zeros, and a zero
// value byte poisons nothing, so an empty input is a plain race start.
#include <cmath>
#include <cstddef>
#include <cstring>

#include "app/clock.h"
#include "fuzz_targets.h"
#include "game/game_state.h"
#include "game/prefs.h"
#include "game/race_prefs.h"
#include "race/car.h"
#include "race/checkpoints.h"
#include "race/dust.h"
#include "race/race.h"
#include "race/standings.h"
#include "race/terrain.h"

static const int kCarStateSteps = 500;
static const int kPoisonsPerCar = 4;
// A car's motion record: position .. turnRadius.
static const size_t kFuzzMotionStart = offsetof(Car, position);
static const size_t kFuzzMotionBytes = offsetof(Car, turnRadius) + sizeof(float) - kFuzzMotionStart;

// Reads bytes from the input in order; zeros once it runs out.
struct StateReader {
    const uint8_t* data;
    size_t size, at;
    void Take(void* out, size_t n)
    {
        uint8_t* o = (uint8_t*)out;
        for (size_t k = 0; k < n; k++)
            o[k] = at < size ? data[at++] : 0;
    }
    uint8_t Byte()
    {
        uint8_t b = 0;
        Take(&b, 1);
        return b;
    }
};

static void SetFuzzGate(uint32_t g, float x, float z)
{
    Checkpoint& gate = gCheckpoints.gates[g];
    memset(&gate, 0, sizeof gate);
    gate.leftPost[0] = x - 1.5f;
    gate.rightPost[0] = x + 1.5f;
    gate.centre[0] = gate.aimPoint[0] = x;
    gate.leftPost[2] = gate.rightPost[2] = gate.centre[2] = z;
    gate.aimPoint[2] = z - 1.0f;
    gCheckpoints.visible[g] = 1;
}

int FuzzCarState(const uint8_t* data, size_t size)
{
    StateReader in = {data, size, 0};
    const uint8_t flags = in.Byte();
    const uint8_t slopeX = in.Byte(), slopeZ = in.Byte();

    SetDefaultPrefs();
    gPrefs.gamemode = flags & 1;
    gPrefs.nplayers = 1 + (flags >> 1 & 3);
    gPrefs.nopponents = 5 - gPrefs.nplayers;
    gPrefs.carCount = 5;
    gPrefs.funnywheels = flags >> 3 & 1;
    gPrefs.particles = 1;
    gGame.state = Race;
    gGame.demo = 0;
    gClock.stepRate = 500.0;
    ResetRandom();
    ClearDust();
    ClearTotals();
    TakeRaceSetupFromPrefs();

    // Ground sloping both ways at the input's rates in grey levels, wrapping
    // into ridges, at the tracks' scale (a level is 0.0125 units).
    memset(&gTerrain, 0, sizeof gTerrain);
    gTerrain.cellSize = 1.0f;
    gTerrain.heightScale = 0.0125f;
    gTerrain.pixelSkip = 1 + (flags >> 4 & 1);
    for (int j = 0; j < kGridSize; j++)
        for (int i = 0; i < kGridSize; i++) {
            const int grey = (i * slopeX + j * slopeZ) % 256;
            gTerrain.heights[i + kGridSize * j] = (float)grey * gTerrain.heightScale;
        }
    // Dust colours known, as in a drawn race, from grass to water.
    gDust.ground.known = (flags >> 5 & 1) != 0;
    for (int c = 0; c < 64 * 64; c++) {
        gDust.ground.rgb[c][0] = (uint8_t)(c * 7);
        gDust.ground.rgb[c][1] = (uint8_t)(c * 13);
        gDust.ground.rgb[c][2] = (uint8_t)(c * 29);
    }
    memset(&gCheckpoints, 0, sizeof gCheckpoints);
    SetFuzzGate(0, 0.0f, -15.0f);
    SetFuzzGate(1, 15.0f, 10.0f);
    SetFuzzGate(2, -15.0f, 10.0f);
    gCheckpoints.gateCount = 3;

    ResetCars();
    gStandings.countdown = (float)(flags >> 6) * 0.5f;  // 0 .. 1.5: driving
    // Values that random bytes seldom make; 0 leaves the field alone.
    static const float kOdd[] = {0.0f, NAN, INFINITY, -INFINITY, 1e30f, -1e30f, 1e-40f, 40.0f, -33.6f, 1e6f};
    const size_t floats = kFuzzMotionBytes / sizeof(float);
    uint8_t poison[kMaxCars][kPoisonsPerCar][2];
    for (uint32_t c = 0; c < 5; c++) {
        gCars[c].nextCheckpoint = in.Byte() % gCheckpoints.gateCount;
        in.Take(poison[c], sizeof poison[c]);
    }
    // Controls as the game's writers can make them: a wheel or pad within
    // -1 .. 1 (recordings are refused otherwise), any finite mouse steering.
    for (uint32_t c = 0; c < 5; c++) {
        CarControls& k = gControls[c];
        in.Take(&k, sizeof k);
        k.wheelX = std::isfinite(k.wheelX) ? fmaxf(-1.0f, fminf(1.0f, k.wheelX)) : 0.0f;
        k.wheelY = std::isfinite(k.wheelY) ? fmaxf(-1.0f, fminf(1.0f, k.wheelY)) : 0.0f;
        k.mouseSteer = std::isfinite(k.mouseSteer) ? k.mouseSteer : 0.0f;
    }
    for (uint32_t c = 0; c < 5 && in.at < size; c++) {
        const size_t n = size - in.at < kFuzzMotionBytes ? size - in.at : kFuzzMotionBytes;
        in.Take((uint8_t*)&gCars[c] + kFuzzMotionStart, n);
    }
    for (uint32_t c = 0; c < 5; c++)
        for (const uint8_t* p : poison[c]) {
            const uint8_t which = p[1] % (sizeof kOdd / sizeof kOdd[0]);
            if (which != 0)
                memcpy((uint8_t*)&gCars[c] + kFuzzMotionStart + p[0] % floats * sizeof(float), &kOdd[which],
                       sizeof(float));
        }
    for (int step = 0; step < kCarStateSteps; step++) {
        UpdateRace(kRaceDriving);
        RankByScore();
        RaceIsOver();
        for (uint32_t c = 0; c < 5; c++) {
            // Sound but for its speed: the world's edge gives a car beyond
            // it the speed that brings it back in one step, whatever that is.
            Car car = gCars[c];
            for (float& v : car.velocity)
                v = std::isfinite(v) ? 0.0f : v;
            if (!CarStateIsSound(car))
                FuzzFail("a car unsound after its step");
            if (gCars[c].nextCheckpoint >= gCheckpoints.gateCount)
                FuzzFail("a car's next gate outside the course");
        }
    }
    return 0;
}
