// The computer driver.  No plan: each step it aims at one point (the next
// gate, a point ahead of the tag holder, or away from the nearest car),
// steers toward it (the tag holder away from it) and decides the throttle by
// the angle to it.  Its only memory is the stuck watch in the car record: a
// car that has not moved a unit in 2 s backs off for about a second, and
// after three such tries it is put back on the course.
#include "race/driver.h"

#include <cmath>

#include "app/clock.h"
#include "race/checkpoints.h"
#include "race/race.h"
#include "race/standings.h"
#include "race/terrain.h"

static const float kDegToRad = 3.141592654f / 180.0f;

// The stuck watch.  A car is stuck when it has stayed within kStuckRadius of
// one spot for kStuckSeconds of driving.  It then brakes until its wheels
// turn backwards and reverses for kReverseSeconds, or until it is
// kBackOffDistance from the spot, kMaxReverseSeconds at most; a reversal that
// cannot move it a unit means it is pinned, and it is put back on the course
// at once.  It is clear again once it has driven kClearDistance from where
// its trouble began.
static const float kStuckRadius = 1.0f;
static const float kStuckSeconds = 2.0f;
static const float kReverseSeconds = 1.0f;
static const float kBackOffDistance = 2.5f;
static const float kMaxReverseSeconds = 2.5f;
static const uint8_t kMaxTries = 3;
static const float kClearDistance = 4.0f;
// What the car backs away from: anything within this of its body's middle.
static const float kObstacleRange = 3.0f;

static float PlaneDistance(float ax, float az, float bx, float bz)
{
    return sqrtf((ax - bx) * (ax - bx) + (az - bz) * (az - bz));
}

// The car's spot for the stuck watch is where it stands now.
static void MarkSpot(Car& car)
{
    car.stuckFrom[0] = car.position[0];
    car.stuckFrom[1] = car.position[2];
    car.stuckTimer = 0.0f;
}

void PutCarOnCourse(Car& car)
{
    const float s = gTerrain.cellSize;
    const uint32_t n = gCheckpoints.gateCount;
    // The spot and the point to face: the last gate passed and the next one;
    // on a course of one gate, in front of it; without a course, the middle.
    float x = 0.0f, z = 0.0f, tx = 0.0f, tz = -1.0f;
    if (n == 1) {
        const Checkpoint& g = gCheckpoints.gates[0];
        tx = g.centre[0];
        tz = g.centre[2];
        float nx = g.aimPoint[0] - tx, nz = g.aimPoint[2] - tz;
        const float len = PlaneDistance(nx, nz, 0.0f, 0.0f);
        if (len > 0.0f) {
            nx /= len;
            nz /= len;
        }
        x = tx - 3.0f * nx;
        z = tz - 3.0f * nz;
    } else if (n > 1) {
        const uint32_t next = car.nextCheckpoint % n;
        const uint32_t last = (next + n - 1) % n;
        x = gCheckpoints.gates[last].centre[0];
        z = gCheckpoints.gates[last].centre[2];
        tx = gCheckpoints.gates[next].centre[0];
        tz = gCheckpoints.gates[next].centre[2];
    }
    float dx = tx - x, dz = tz - z;
    float len = PlaneDistance(dx, dz, 0.0f, 0.0f);
    if (len <= 0.0f) {
        dx = 0.0f;
        dz = -1.0f;
        len = 1.0f;
    }
    dx /= len;
    dz /= len;
    // Back along the line while another car stands on the spot.
    const uint32_t cars = RaceCarCount();
    for (int tries = 0; tries < 4; tries++) {
        bool taken = false;
        for (uint32_t o = 0; o < cars; o++)
            if (o != car.index && PlaneDistance(x, z, gCars[o].position[0], gCars[o].position[2]) < 2.0f)
                taken = true;
        if (!taken)
            break;
        x -= 2.0f * dx;
        z -= 2.0f * dz;
    }
    // Well inside the edges, whatever the course says.
    const float low = -32.0f * s + 2.0f, high = 30.0f * s - 2.0f;
    x = x < low ? low : (x > high ? high : x);
    z = z < low ? low : (z > high ? high : z);

    float slopeX = 0.0f, slopeZ = 0.0f;
    const uint32_t savedSkip = gTerrain.pixelSkip;
    gTerrain.pixelSkip = 1;
    const float ground = GroundHeight(x, z, &slopeX, &slopeZ);
    gTerrain.pixelSkip = savedSkip;

    const float heading = atan2f(-dx, -dz) / kDegToRad;
    car.position[0] = x;
    car.position[1] = ground;
    car.position[2] = z;
    for (int k = 0; k < 3; k++) {
        car.velocity[k] = 0.0f;
        car.angularVelocity[k] = 0.0f;
        car.stepDelta[3 + k] = 0.0f;
    }
    car.pitch = car.roll = 0.0f;
    car.heading = car.slideHeading = heading;
    car.slideRate = 0.0f;
    car.suspensionPitch = car.suspensionRoll = 0.0f;
    car.suspensionPitchRate = car.suspensionRollRate = 0.0f;
    car.steer = 0.0f;
    car.wheelSpeed = 0.0f;
    for (WheelPoint& w : car.wheelPoint) {
        w.x = x;
        w.z = z;
        w.y = ground;
        w.vy = 0.0f;
    }
    car.frontOnGround = car.rearOnGround = 1;
    // The body corners as the car step places them, for the world rules.
    const float hs = sinf(heading * kDegToRad), hc = cosf(heading * kDegToRad);
    const float wheelbase = car.frontAxleOffset + car.rearAxleOffset;
    const float front = -wheelbase / 2.0f - car.bodyLength / 2.0f, back = -wheelbase / 2.0f + car.bodyLength / 2.0f;
    const float along[4] = {front, front, back, back};
    const float across[4] = {-car.bodyWidth / 2.0f, car.bodyWidth / 2.0f, -car.bodyWidth / 2.0f, car.bodyWidth / 2.0f};
    for (int k = 0; k < 4; k++) {
        car.corner[k][0] = x + across[k] * hc + along[k] * hs;
        car.corner[k][1] = ground + car.wheelRadius;
        car.corner[k][2] = z + along[k] * hc - across[k] * hs;
    }
    car.reverseTimer = 0.0f;
    car.stuckTries = 0;
    MarkSpot(car);
}

// Keeps the stuck watch of one step.  True when a new reversal is due; a car
// out of tries, or one that a reversal could not move at all, has been put
// back on the course instead.
static bool WatchStuck(Car& car, float dt)
{
    const float x = car.position[0], z = car.position[2];
    if (car.reverseTimer > 0.0f) {
        // Reversing: stuckTimer counts the whole manoeuvre, reverseTimer
        // only the time the wheels actually turn backwards.
        car.stuckTimer += dt;
        if (car.wheelSpeed < 0.0f)
            car.reverseTimer -= dt;
        const float backed = PlaneDistance(x, z, car.stuckFrom[0], car.stuckFrom[1]);
        if (car.reverseTimer <= 0.0f || backed >= kBackOffDistance || car.stuckTimer >= kMaxReverseSeconds) {
            car.reverseTimer = 0.0f;
            if (backed < kStuckRadius)
                PutCarOnCourse(car);
            else
                MarkSpot(car);
        }
        return false;
    }
    if (car.stuckTries > 0 && PlaneDistance(x, z, car.stuckOrigin[0], car.stuckOrigin[1]) > kClearDistance)
        car.stuckTries = 0;
    if (PlaneDistance(x, z, car.stuckFrom[0], car.stuckFrom[1]) >= kStuckRadius) {
        MarkSpot(car);
        return false;
    }
    car.stuckTimer += dt;
    if (car.stuckTimer < kStuckSeconds)
        return false;
    MarkSpot(car);
    if (car.stuckTries >= kMaxTries) {
        PutCarOnCourse(car);
        return false;
    }
    if (car.stuckTries == 0) {
        car.stuckOrigin[0] = x;
        car.stuckOrigin[1] = z;
    }
    car.stuckTries++;
    return true;
}

// Which way to steer while reversing so that the nose swings away from the
// nearest thing in reach (another car, the world's edge, a gate post in the
// checkpoint mode): reversing with the wheels turned left swings the nose
// right.  1 left, -1 right, 0 when nothing is in reach or it is dead ahead.
static int8_t SteerAwayFrom(const Car& car)
{
    const float s = gTerrain.cellSize;
    const float h = car.heading * kDegToRad;
    const float fx = -sinf(h), fz = -cosf(h);  // forward
    const float lx = -cosf(h), lz = sinf(h);   // left
    const float cx = car.position[0] + 0.5f * fx, cz = car.position[2] + 0.5f * fz;
    float best = kObstacleRange, ox = 0.0f, oz = 0.0f;
    bool found = false;
    auto consider = [&](float px, float pz) {
        const float d = PlaneDistance(cx, cz, px, pz);
        if (d < best) {
            best = d;
            ox = px;
            oz = pz;
            found = true;
        }
    };
    const uint32_t cars = RaceCarCount();
    for (uint32_t o = 0; o < cars; o++) {
        if (o == car.index)
            continue;
        const Car& other = gCars[o];
        const float oh = other.heading * kDegToRad;
        consider(other.position[0] - 0.5f * sinf(oh), other.position[2] - 0.5f * cosf(oh));
    }
    consider(-32.0f * s, cz);
    consider(30.0f * s, cz);
    consider(cx, -32.0f * s);
    consider(cx, 30.0f * s);
    if (gRaceSetup.gamemode == 1) {
        for (uint32_t g = 0; g < gCheckpoints.gateCount && g < (uint32_t)kMaxGates; g++) {
            consider(gCheckpoints.gates[g].leftPost[0], gCheckpoints.gates[g].leftPost[2]);
            consider(gCheckpoints.gates[g].rightPost[0], gCheckpoints.gates[g].rightPost[2]);
        }
    }
    if (!found)
        return 0;
    const float side = (ox - cx) * lx + (oz - cz) * lz;
    if (fabsf(side) < 0.1f * best)
        return 0;
    return side > 0.0f ? 1 : -1;
}

void DriveComputerCar(Car& car, bool* accelerate, bool* left, bool* brake, bool* right)
{
    const bool reverse = WatchStuck(car, (float)(1.0 / gClock.stepRate));
    const float s = gTerrain.cellSize;
    const uint32_t cars = RaceCarCount();
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

    // 8. Backing off; with nothing in reach to swing away from, the nose
    // swings towards where the car wants to go.
    if (reverse) {
        car.reverseTimer = kReverseSeconds;
        car.reverseSteer = SteerAwayFrom(car);
        if (car.reverseSteer == 0) {
            const bool toLeft = (theta > car.heading) != (holder && gRaceSetup.gamemode == 0);
            car.reverseSteer = toLeft ? -1 : 1;
        }
    }
    if (car.reverseTimer > 0.0f) {
        *accelerate = false;
        *brake = true;
        *left = car.reverseSteer > 0;
        *right = car.reverseSteer < 0;
    }
}
