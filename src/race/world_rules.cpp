// The world rules of one car in one step (edge of the world, gates and
// laps, gate posts, car contacts, the tag) and the end of a race.
#include "race/race.h"

#include <cmath>

#include "app/clock.h"
#include "net/net_session.h"
#include "race/car.h"
#include "race/checkpoints.h"
#include "race/standings.h"
#include "race/terrain.h"

static const float kDegToRad = 3.141592654f / 180.0f;

// The first corner beyond the low or high edge on `axis` decides: its
// velocity brings it back to the edge in one step.
static void PushBack(Car& car, int axis, float low, float high, float rate)
{
    for (int k = 0; k < 4; k++) {
        const float at = car.corner[k][axis];
        if (at < low) {
            car.velocity[axis] = (low - at) * rate;
            return;
        }
        if (at > high) {
            car.velocity[axis] = (high - at) * rate;
            return;
        }
    }
}

// The four body edges in test order: 0-1 (front), 1-3, 3-2 (back), 2-0.
static const int kEdges[4][2] = {{0, 1}, {1, 3}, {3, 2}, {2, 0}};

// The collision sound of `car` (0, 1, 2) or its tag sound (3), for the
// game to play after the steps.
static void WantSound(uint32_t car, int32_t sound)
{
    if (sound >= 0 && sound < 3)
        gRaceSounds.squeeze[car][sound] = 1;
    else if (sound == 3)
        gRaceSounds.tag[car] = 1;
}

// True while a body corner of `car` lies beyond the world's edge (then the
// edge rule has just given it the speed that brings it back in one step).
static bool CornerOutside(const Car& car, float low, float high)
{
    for (int k = 0; k < 4; k++)
        for (int axis = 0; axis <= 2; axis += 2)
            if (car.corner[k][axis] < low || car.corner[k][axis] > high)
                return true;
    return false;
}

// Moves a car by (dx, dz) as far as its body stays within the world's edges
// on each axis (a car already beyond an edge is not moved further out), the
// body corners with it; returns the distance moved along (nx, nz).
static float ShiftInside(Car& car, float dx, float dz, float nx, float nz, float low, float high)
{
    float shift[2] = {dx, dz};
    const int axes[2] = {0, 2};
    for (int a = 0; a < 2; a++) {
        float least = car.corner[0][axes[a]], most = least;
        for (int k = 1; k < 4; k++) {
            least = fminf(least, car.corner[k][axes[a]]);
            most = fmaxf(most, car.corner[k][axes[a]]);
        }
        const float down = fminf(0.0f, low - least), up = fmaxf(0.0f, high - most);
        shift[a] = shift[a] < down ? down : (shift[a] > up ? up : shift[a]);
    }
    car.position[0] += shift[0];
    car.position[2] += shift[1];
    for (int k = 0; k < 4; k++) {
        car.corner[k][0] += shift[0];
        car.corner[k][2] += shift[1];
    }
    return shift[0] * nx + shift[1] * nz;
}

// Two touching cars whose contact points lie `distance` apart in the plane,
// along (nx, nz) from `other` to `car`, are pushed apart until they lie
// kContactReach + kContactGap apart: half each, and what one cannot take
// because of the world's edge, the other.  So no pair stays merged; the
// small gap keeps a pair from touching again in the very next steps.
static const float kContactReach = 1.6f;
static const float kContactGap = 0.3f;
static void Separate(Car& car, Car& other, float nx, float nz, float distance, float low, float high)
{
    float rest = kContactReach + kContactGap - distance;
    if (rest <= 0.0f)
        return;
    rest -= ShiftInside(car, nx * rest / 2.0f, nz * rest / 2.0f, nx, nz, low, high);
    rest -= -ShiftInside(other, -nx * rest, -nz * rest, nx, nz, low, high);
    if (rest > 0.0f)
        ShiftInside(car, nx * rest, nz * rest, nx, nz, low, high);
}

// One handling of a touching pair from `car`'s side: the bounce, the
// collision sound, `car` taking the tag from `other`.  `bounce` false: the
// cars touch (sound, tag) but keep their speeds.  A car being pushed back
// from the world's edge is not bounced: the bounce would undo the push-back,
// or hand its speed of hundreds of units per second to the other car and
// throw that one out of the world.
static void Touch(Car& car, Car& other, bool bounce)
{
    const float u[3] = {other.velocity[0], other.velocity[1], other.velocity[2]};
    const float v[3] = {car.velocity[0], car.velocity[1], car.velocity[2]};
    for (int k = 0; k < 3 && bounce; k++) {
        const float delta = car.position[k] - other.position[k];
        car.velocity[k] = (0.505f * delta - 1.01f * u[k]) * 1.025f;
        other.velocity[k] = (0.505f * delta + 1.01f * v[k]) * -1.025f;
    }
    const bool client = gNet.role == kRoleClient;
    if (gRaceSetup.seffects) {
        if (client) {
            WantSound(car.index, gNet.inSound);
        } else {
            const float e = fabsf((u[0] + u[1] + u[2]) - (v[0] + v[1] + v[2]));
            int32_t sound = e > 8.5f ? 2 : (e > 8.0f ? 1 : (e > 7.5f ? 0 : -1));
            if (sound >= 0) {
                WantSound(car.index, sound);
                gNet.outSound = sound;
            }
        }
    }
    if (gRaceSetup.gamemode == 0 && gStandings.tagHolder != (int32_t)car.index &&
        gStandings.tagHolder == (int32_t)other.index && car.tagCooldown <= 0.0f) {
        gStandings.tagHolder = (int32_t)car.index;
        other.tagCooldown = 1.0f;
        if (gRaceSetup.seffects && !client) {
            WantSound(car.index, 3);
            gNet.outSound = 3;
        }
    }
}

void ApplyWorldRules(uint32_t index)
{
    const uint32_t cars = RaceCarCount();
    if (index >= cars)
        return;
    Car& car = gCars[index];
    const float s = gTerrain.cellSize;
    const float rate = (float)gClock.stepRate;

    // 1. The edge of the world.
    PushBack(car, 0, -32.0f * s, 30.0f * s, rate);
    PushBack(car, 2, -32.0f * s, 30.0f * s, rate);

    if (gRaceSetup.gamemode == 1) {
        // 2. Gates in order, then laps.  An empty course has no laps.
        int32_t crossed = -1;
        for (int e = 0; e < 4 && crossed < 0; e++)
            crossed = FindCrossedGate(car.corner[kEdges[e][0]], car.corner[kEdges[e][1]]);
        if (gCheckpoints.gateCount == 1) {
            // The one gate is always the next one: a pass counts once, when
            // the body first reaches the gate, not in every step it straddles it.
            if (crossed == 0 && !car.onOnlyGate)
                car.nextCheckpoint++;
            car.onOnlyGate = crossed == 0;
        } else if (crossed >= 0 && (uint32_t)crossed == car.nextCheckpoint) {
            car.nextCheckpoint++;
        }
        if (gCheckpoints.gateCount > 0 && car.nextCheckpoint >= gCheckpoints.gateCount) {
            car.nextCheckpoint = 0;
            car.lapsDone++;
        }

        // 3. Posts throw the car back.
        for (int e = 0; e < 4; e++) {
            if (HitGatePost(car.corner[kEdges[e][0]], car.corner[kEdges[e][1]])) {
                car.velocity[0] = (car.position[0] - lastPostHit[0]) * 0.505f * 1.05f;
                car.velocity[2] = (car.position[2] - lastPostHit[1]) * 0.505f * 1.05f;
                break;
            }
        }
    }

    // 4. Contacts with every other car of the race.
    const float f = car.frontAxleOffset;
    const float h = car.heading * kDegToRad;
    for (uint32_t o = 0; o < cars; o++) {
        if (o == index)
            continue;
        // The contact point from the position as earlier pushes left it.
        const float ax = car.position[0] - f * sinf(h);
        const float ay = car.position[1];
        const float az = car.position[2] - f * cosf(h);
        Car& other = gCars[o];
        const float oh = other.heading * kDegToRad;
        const float dx = ax - (other.position[0] - f * sinf(oh));
        const float dy = ay - other.position[1];
        const float dz = az - (other.position[2] - f * cosf(oh));
        if (sqrtf(dx * dx + 1.5f * dy * dy + dz * dz) < kContactReach) {
            const bool bounce = !CornerOutside(car, -32.0f * s, 30.0f * s) &&
                                !CornerOutside(other, -32.0f * s, 30.0f * s);
            // The pair is handled from both sides, as the pass of the other
            // car would handle it with the speeds just written; then pushed
            // apart, so that pass finds it no longer touching.
            Touch(car, other, bounce);
            Touch(other, car, bounce);
            // Apart along the line between the contact points (on top
            // of each other: along the line between the cars, or x).
            float distance = sqrtf(dx * dx + dz * dz), nx = 1.0f, nz = 0.0f;
            if (distance > 1e-4f) {
                nx = dx / distance;
                nz = dz / distance;
            } else {
                const float px = car.position[0] - other.position[0], pz = car.position[2] - other.position[2];
                const float len = sqrtf(px * px + pz * pz);
                if (len > 1e-4f) {
                    nx = px / len;
                    nz = pz / len;
                }
            }
            Separate(car, other, nx, nz, distance, -32.0f * s, 30.0f * s);
        }
    }
}

bool RaceIsOver()
{
    const uint32_t cars = RaceCarCount();
    if (cars == 0)
        return false;
    const uint32_t last = gStandings.rankByScore[cars - 1];
    if (last >= cars)
        return false;
    if (gRaceSetup.gamemode == 0)
        return gStandings.score[last] >= (float)gRaceSetup.timelimit;
    if (gRaceSetup.gamemode == 1) {
        // The laps done and gate 0 passed once more.  On a course of one gate
        // the next gate is always gate 0 again, so passing it once more is
        // one more lap.
        const Car& car = gCars[last];
        const int64_t laps = gRaceSetup.laps;
        if (gCheckpoints.gateCount == 0)
            return false;
        if (gCheckpoints.gateCount == 1)
            return (int64_t)car.lapsDone >= laps + 1;
        return (int64_t)car.lapsDone >= laps && car.nextCheckpoint >= 1;
    }
    return false;
}

void FinishRace(bool tournament)
{
    const uint32_t cars = RaceCarCount();
    // Place points in checkpoint races, and in every race of a tournament
    // that alternates the modes, so that both kinds add up on one table.
    if (gRaceSetup.gamemode == 1 || (tournament && gRaceSetup.alternate)) {
        for (uint32_t i = 0; i < cars; i++) {
            const uint32_t c = gStandings.rankByScore[i];
            if (c < (uint32_t)kMaxCars)
                gStandings.score[c] = 5.0f * (float)i;
        }
    }
    if (tournament) {
        for (uint32_t c = 0; c < cars; c++)
            gStandings.total[c] += gStandings.score[c];
    }
    RankByTotal();
}
