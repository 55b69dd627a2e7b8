// One simulation step of one car: controls, drive and steering, the wheels
// on the ground, the angles the renderer shows, dust and the score.
//
// The car is a point on the ground plane (the middle of the rear axle) with
// a heading; its horizontal velocity is pulled with a finite grip towards
// the direction the wheels slide in and the speed of the driven wheels.
// Each wheel is a point that falls and is stopped by the ground; the body
// height follows the mean wheel height through a stiff spring.  Every
// quantity is advanced by rate * dt in the order below, and each later
// stage sees the values changed by the earlier ones.
#include "race/car.h"

#include <cmath>
#include <cstddef>
#include <cstring>

#include "app/clock.h"
#include "race/driver.h"
#include "race/dust.h"
#include "race/race.h"
#include "race/standings.h"
#include "race/terrain.h"

Car gCars[kMaxCars];
CarControls gControls[kMaxCars];

static const float kDegToRad = 3.141592654f / 180.0f;
static const float kRadToDeg = 180.0f / 3.141592654f;

static float SinDeg(float degrees) { return sinf(degrees * kDegToRad); }
static float CosDeg(float degrees) { return cosf(degrees * kDegToRad); }
static float AtanDeg(float value) { return atanf(value) * kRadToDeg; }
static float Clamp(float value, float low, float high) { return value < low ? low : (value > high ? high : value); }

bool IsHumanCar(uint32_t index)
{
    return index < (uint32_t)kMaxCars && gRaceSetup.human[index] != 0;
}

// A person's controls for this step: throttle and brake only once the
// countdown allows driving; the pedal of a wheel or pad drives towards the
// wheel speed it asks for.
static CarControls PersonControls(const Car& car)
{
    CarControls in = gControls[car.index];
    if (!(gStandings.countdown < 1.0f)) {
        in.accelerate = 0;
        in.brake = 0;
    } else if (in.wheelSteering) {
        const float y = in.wheelY;
        in.accelerate = -car.maxWheelSpeed * y > car.wheelSpeed && y < -0.01f;
        in.brake = -car.maxWheelSpeed * y < car.wheelSpeed && y > 0.01f;
    }
    return in;
}

void UpdateCar(Car& car)
{
    const float dt = (float)(1.0 / gClock.stepRate);
    const bool person = IsHumanCar(car.index);
    float* p = car.position;
    float* v = car.velocity;
    WheelPoint* w = car.wheelPoint;

    // 1. Position and velocity at the start of the step.
    for (int k = 0; k < 3; k++) {
        car.stepDelta[k] = p[k];
        car.stepDelta[3 + k] = v[k];
    }

    // 2. Control flags: the controls record, or the computer driver.
    CarControls in = {};
    if (person) {
        in = PersonControls(car);
    } else if (gStandings.countdown < 1.0f) {
        bool accelerate = false, left = false, brake = false, right = false;
        DriveComputerCar(car, &accelerate, &left, &brake, &right);
        in.accelerate = accelerate;
        in.left = left;
        in.brake = brake;
        in.right = right;
    }

    // 3. Score.
    if (gRaceSetup.gamemode == 0) {
        if (gStandings.tagHolder == (int32_t)car.index)
            UpdateScore(car.index);
        if (car.tagCooldown > 0.0f)
            car.tagCooldown -= dt;
    } else if (gRaceSetup.gamemode == 1) {
        UpdateScore(car.index);
    }

    const float s = SinDeg(car.heading);
    const float c = CosDeg(car.heading);

    // 4. Steering: the mouse, the wheel or pad, or the flags.
    if (in.mouseSteering) {
        car.steer -= in.mouseSteer;
        car.steer = Clamp(car.steer, -car.maxSteer, car.maxSteer);
    } else if (in.wheelSteering) {
        car.steer += (-in.wheelX * car.maxSteer - car.steer) * 25.0f * dt;
    } else if (in.left) {
        if (car.steer < car.maxSteer)
            car.steer += car.steerRate * dt;
    } else if (in.right) {
        if (car.steer > -car.maxSteer)
            car.steer -= car.steerRate * dt;
    } else {
        car.steer -= car.steerReturn * car.steer * dt;
    }

    // 5. Wheel speed, while the rear wheels grip.
    if (car.rearOnGround) {
        const float k = in.wheelSteering ? fabsf(in.wheelY) : 1.0f;
        float& ws = car.wheelSpeed;
        if (in.accelerate) {
            if (ws >= 0.0f && ws < car.maxWheelSpeed)
                ws += k * car.driveAccel / (fabsf(ws) + 1.0f) * dt;
            if (ws < 0.0f)
                ws += k * car.brakeDecel / (fabsf(ws) / 2.0f + 1.0f) * dt;
        } else if (in.brake) {
            if (ws > 0.0f)
                ws -= k * car.brakeDecel / (fabsf(ws) / 2.0f + 1.0f) * dt;
            if (ws <= 0.0f && ws > -2.0f)
                ws -= k * car.driveAccel / (fabsf(ws) + 1.0f) * dt;
        } else {
            ws -= (ws - (-s * v[0] - c * v[2]) / car.wheelCircumference) * 10.0f * dt;
            ws -= ws * 0.85f * dt;
        }
    }

    // 6. Drive, along the slide direction, in the air as well.
    const float drive = car.wheelCircumference * car.wheelSpeed;
    v[0] += (-SinDeg(car.slideHeading) * drive - v[0]) * car.grip * 20.0f * dt;
    v[2] += (-CosDeg(car.slideHeading) * drive - v[2]) * car.grip * 20.0f * dt;

    // 7. Gravity on the wheels.
    for (int k = 0; k < 4; k++)
        w[k].vy -= 100.0f * car.weight * dt;

    // 8. Damping of the body's turning.
    float* av = car.angularVelocity;
    av[0] -= car.grip * 100.0f * car.weight * av[0] * dt;
    av[1] -= car.grip * (car.frontOnGround ? 100.0f : 25.0f) * car.weight * av[1] * dt;
    av[2] -= car.grip * 100.0f * car.weight * av[2] * dt;

    // 9. The slide direction follows the heading while a wheel grips.
    if (car.frontOnGround || car.rearOnGround) {
        float d = car.heading - car.slideHeading;
        if (d < -180.0f)
            d += 360.0f;
        else if (d > 180.0f)
            d -= 360.0f;
        car.slideRate = d * 50.0f;
    } else {
        car.slideRate -= car.slideRate * 200.0f * dt;
    }

    // 10. Steering turns the car while the front wheels grip.
    if (car.frontOnGround) {
        const float g = car.heading + car.steer;
        av[1] -= (SinDeg(g) * v[0] + CosDeg(g) * v[2]) * car.grip * 20.0f * car.steer * dt;
    }

    // 11. Integrate.
    p[0] += v[0] * dt;
    p[2] += v[2] * dt;
    car.slideHeading += car.slideRate * dt;
    car.pitch += av[0] * dt;
    car.heading += av[1] * dt;
    car.roll += av[2] * dt;

    // 12. Turning geometry and the front wheels' steer angles.
    if (car.steer == 0.0f) {
        car.turnCircle = 999.0f;
        car.turnRadius = 999.0f;
    } else {
        car.turnCircle = 360.0f / fabsf(car.steer);
        car.turnRadius = (car.steer > 0.0f ? -car.turnCircle : car.turnCircle) / 6.283185307f;
    }
    const float wheelbase = car.frontAxleOffset + car.rearAxleOffset;
    const float flip = car.rearHalfTrack < car.turnRadius ? 180.0f : 0.0f;
    WheelAngles* wa = car.wheelAngles;
    wa[0].steer = flip + AtanDeg((car.turnRadius + car.rearHalfTrack) / wheelbase) + 90.0f;
    wa[1].steer = flip + AtanDeg((car.turnRadius - car.rearHalfTrack) / wheelbase) + 90.0f;

    // 13. Wheel spin: the front wheels roll with the ground, the rear ones
    // turn with the drive; the right wheels are drawn mirrored.
    for (int k = 0; k < 2; k++) {
        const float g = car.heading + wa[k].steer;
        const float roll = (SinDeg(g) * v[0] + CosDeg(g) * v[2]) / car.wheelCircumference * 360.0f * dt;
        wa[k].spin += k == 0 ? roll : -roll;
    }
    wa[2].spin -= car.wheelSpeed * 360.0f * dt;
    wa[3].spin += car.wheelSpeed * 360.0f * dt;

    // 14. Camber from the wheel heights of the previous step.
    wa[0].camber = -AtanDeg((w[0].y - w[1].y) / car.frontHalfTrack);
    wa[1].camber = -wa[0].camber;
    wa[2].camber = -AtanDeg((w[2].y - w[3].y) / car.rearHalfTrack);
    wa[3].camber = -wa[2].camber;

    // 15. What the step has changed so far (only the vx, vz parts are used).
    for (int k = 0; k < 3; k++) {
        car.stepDelta[k] -= p[k];
        car.stepDelta[3 + k] -= v[k];
    }

    // 16. The body height follows the mean wheel height.
    const float meanWheel = (w[0].y + w[1].y + w[2].y + w[3].y) / 4.0f;
    v[1] -= (p[1] - meanWheel) * 2000.0f * dt;
    v[1] -= v[1] * 20.0f * dt;
    p[1] += v[1] * dt;

    // 17. Wheel points from the new position and the old heading.
    const float F = car.frontAxleOffset, T = car.frontHalfTrack, R = car.rearHalfTrack;
    w[0].x = p[0] - 2 * F * s - T * c;
    w[0].z = p[2] - 2 * F * c + T * s;
    w[1].x = p[0] - 2 * F * s + T * c;
    w[1].z = p[2] - 2 * F * c - T * s;
    w[2].x = p[0] - R * c;
    w[2].z = p[2] + R * s;
    w[3].x = p[0] + R * c;
    w[3].z = p[2] - R * s;

    // 18. The ground under the wheels, always on the full grid.
    float ground[4];
    float slopeX[4] = {0, 0, 0, 0};
    float slopeZ[4] = {0, 0, 0, 0};
    const uint32_t savedSkip = gTerrain.pixelSkip;
    gTerrain.pixelSkip = 1;
    for (int k = 0; k < 4; k++)
        ground[k] = GroundHeight(w[k].x, w[k].z, &slopeX[k], &slopeZ[k]);
    gTerrain.pixelSkip = savedSkip;

    // 19. Contact: a wheel that would pass below the ground lands on it
    // (the tag holder's wheels bounce back at half speed instead).
    const bool bouncy = gStandings.tagHolder == (int32_t)car.index && gRaceSetup.funnywheels;
    car.frontOnGround = 0;
    for (int k = 0; k < 4; k++)
        car.wheelOnGround[k] = 0;
    for (int k = 0; k < 4; k++) {
        if (k == 2)
            car.rearOnGround = 0;
        if (!(w[k].vy * dt + w[k].y < ground[k]))
            continue;
        if (bouncy)
            w[k].vy *= -0.5f;
        if (w[k].vy * dt + w[k].y < ground[k] || !bouncy)
            w[k].vy = (ground[k] - w[k].y) / dt;
        car.wheelOnGround[k] = 1;
        if (k < 2)
            car.frontOnGround = 1;
        else
            car.rearOnGround = 1;
    }

    // 20. On steep ground the car slides down the slope.
    if (car.frontOnGround && car.rearOnGround) {
        float sum = 0.0f, sumX = 0.0f, sumZ = 0.0f;
        for (int k = 0; k < 4; k++) {
            sum += fabsf(slopeX[k]) + fabsf(slopeZ[k]);
            sumX += slopeX[k];
            sumZ += slopeZ[k];
        }
        if (sum / 8.0f > 1.5f) {
            v[0] -= sumX * sumX * sumX * dt;
            v[2] -= sumZ * sumZ * sumZ * dt;
        }
    }

    // 21. Dust: one puff per unit rolled above walking pace.
    const float speed = sqrtf(v[0] * v[0] + v[2] * v[2]);
    for (int k = 0; k < 4; k++) {
        if (car.dustTimer[k] > 0.0f && speed > 2.0f)
            car.dustTimer[k] -= speed * dt;
    }
    for (int k = 0; k < 4; k++) {
        if (car.dustTimer[k] <= 0.0f && car.wheelOnGround[k]) {
            EmitDust(w[k].x, w[k].y, w[k].z, 0.0f, 0.0f, 0.0f, 0.25f, 1.5f, 1.25f);
            car.dustTimer[k] = 1.0f;
        }
    }

    // 22. Speed limits.
    v[0] = Clamp(v[0], -20.0f, 20.0f);
    v[1] = Clamp(v[1], -20.0f, 20.0f);
    for (int k = 0; k < 4; k++)
        w[k].vy = Clamp(w[k].vy, -20.0f, 20.0f);
    v[2] = Clamp(v[2], -20.0f, 20.0f);

    // 23. The wheels move.
    for (int k = 0; k < 4; k++)
        w[k].y += w[k].vy * dt;

    // 24. Suspension (drawn only): braking and accelerating tip the body.
    const float dvx = car.stepDelta[3];
    const float dvz = car.stepDelta[5];
    car.suspensionPitchRate += (s * dvx + c * dvz) * 8000.0f * dt;
    car.suspensionPitchRate -= car.suspensionPitch * 150.0f * car.suspensionStiffness / car.bodyLength * dt;
    car.suspensionPitchRate -= car.suspensionPitchRate * 10.0f * dt;
    car.suspensionPitch += car.suspensionPitchRate * dt;
    if (car.suspensionPitch > 15.0f)
        car.suspensionPitch = 15.0f;
    car.suspensionRollRate += -(c * dvx - s * dvz) * 8000.0f * dt;
    car.suspensionRollRate -= car.suspensionRoll * 150.0f * car.suspensionStiffness / car.bodyWidth * dt;
    car.suspensionRollRate -= car.suspensionRollRate * 10.0f * dt;
    car.suspensionRoll += car.suspensionRollRate * dt;

    // 25. Body corners: 0, 1 in front, 2, 3 behind; even ones on the left.
    const float front = -wheelbase / 2.0f - car.bodyLength / 2.0f;
    const float back = -wheelbase / 2.0f + car.bodyLength / 2.0f;
    const float half = car.bodyWidth / 2.0f;
    const float cornerA[4] = {front, front, back, back};
    const float cornerB[4] = {-half, half, -half, half};
    for (int k = 0; k < 4; k++) {
        car.corner[k][0] = p[0] + cornerB[k] * c + cornerA[k] * s;
        car.corner[k][1] = p[1] + car.wheelRadius;
        car.corner[k][2] = p[2] + cornerA[k] * c - cornerB[k] * s;
    }

    // 26. Keep the headings within -180..180.
    if (car.heading >= 180.0f)
        car.heading -= 360.0f;
    else if (car.heading < -180.0f)
        car.heading += 360.0f;
    if (car.slideHeading >= 180.0f)
        car.slideHeading -= 360.0f;
    else if (car.slideHeading < -180.0f)
        car.slideHeading += 360.0f;

    // 27. Attitude of the ground under the wheels.
    car.groundPitch = AtanDeg(((w[0].y + w[1].y) / 2.0f - (w[2].y + w[3].y) / 2.0f) / car.bodyLength);
    car.groundRoll = (wa[0].camber + wa[2].camber) / 8.0f -
                     AtanDeg(((w[0].y + w[2].y) / 2.0f - (w[1].y + w[3].y) / 2.0f) / car.bodyLength);

    // 28. The leader medal: a score strictly above every other car's.
    const uint32_t cars = RaceCarCount();
    bool leader = cars > 1 && car.index < (uint32_t)kMaxCars;
    for (uint32_t o = 0; leader && o < cars; o++) {
        if (o != car.index && !(gStandings.score[car.index] > gStandings.score[o]))
            leader = false;
    }
    if (leader)
        AwardMedal(car.index, 0);
    else
        ClearMedal(car.index, 0);

    RepairCar(car);
}

// The motion fields, position .. turnRadius, as one block of the record.
static const size_t kMotionStart = offsetof(Car, position);
static const size_t kMotionSize = offsetof(Car, turnRadius) + sizeof(float) - kMotionStart;
static_assert(kMotionSize <= (size_t)kCarMotionBytes, "kCarMotionBytes too small for the motion fields");

static bool Finite(const float* values, int count)
{
    for (int i = 0; i < count; i++)
        if (!std::isfinite(values[i]))
            return false;
    return true;
}

bool CarStateIsSound(const Car& car)
{
    const float singles[] = {car.pitch, car.heading, car.roll, car.slideHeading, car.slideRate,
                             car.suspensionPitch, car.suspensionRoll, car.suspensionPitchRate,
                             car.suspensionRollRate, car.groundPitch, car.groundRoll, car.steer,
                             car.wheelSpeed, car.turnCircle, car.turnRadius};
    if (!Finite(singles, (int)(sizeof singles / sizeof singles[0])) || !Finite(car.position, 3) ||
        !Finite(car.velocity, 3) || !Finite(car.angularVelocity, 3) || !Finite(car.dustTimer, 4) ||
        !Finite(&car.corner[0][0], 12) || !Finite(car.stepDelta, 6))
        return false;
    for (int k = 0; k < 4; k++) {
        const WheelPoint& w = car.wheelPoint[k];
        const WheelAngles& a = car.wheelAngles[k];
        const float values[] = {w.x, w.y, w.z, w.vx, w.vy, w.vz, a.spin, a.steer, a.camber};
        if (!Finite(values, 9) || fabsf(w.vy) > kAbsurdSpeed)
            return false;
    }
    // The world's box widened by a car's length; from below the lowest
    // ground to far above any jump (a wheel thrown up at the speed limit
    // rises 8 units).
    const float s = gTerrain.cellSize;
    const float low = -32.0f * s - car.bodyLength, high = 30.0f * s + car.bodyLength;
    const float* p = car.position;
    if (p[0] < low || p[0] > high || p[2] < low || p[2] > high || p[1] < -car.bodyLength || p[1] > 40.0f)
        return false;
    for (int k = 0; k < 3; k++)
        if (fabsf(car.velocity[k]) > kAbsurdSpeed)
            return false;
    return true;
}

void RepairCar(Car& car)
{
    uint8_t* motion = (uint8_t*)&car + kMotionStart;
    if (CarStateIsSound(car)) {
        memcpy(car.goodState, motion, kMotionSize);
        car.hasGoodState = 1;
        return;
    }
    car.repairs++;
    if (car.hasGoodState) {
        memcpy(motion, car.goodState, kMotionSize);
        car.hasGoodState = 0;  // going bad again at once puts it on the course
    } else {
        memset(motion, 0, kMotionSize);
        PutCarOnCourse(car);
    }
}
