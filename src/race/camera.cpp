// Race cameras: a chase view, a roadside view and, behind the race menu and
// the results, an orbit around the car.  Every step each value moves a
// fixed share of the way to its target.
#include "race/camera.h"

#include <cmath>

#include "app/clock.h"
#include "race/car.h"
#include "race/terrain.h"

Camera gCameras[5];

static const float kDegToRad = 3.141592654f / 180.0f;

void ResetCamera(Camera& camera, uint32_t player, float x, float y, float z,
                 float pitch, float yaw, float roll, float fov)
{
    camera.player = player;
    camera.position[0] = x;
    camera.position[1] = y;
    camera.position[2] = z;
    camera.pitch = pitch;
    camera.yaw = yaw;
    camera.roll = roll;
    camera.fov = fov;
    camera.modeCount = 2;
    if (camera.mode >= camera.modeCount)
        camera.mode = 0;
    camera.follow = 0.0f;
    camera.orbitAngle = 0.0f;
    camera.keyReleased = 0;
}

void PollCameraKey(Camera& camera, bool held)
{
    if (held) {
        if (camera.keyReleased) {
            camera.keyReleased = 0;
            camera.mode++;
            if (camera.mode >= camera.modeCount)
                camera.mode = 0;
        }
    } else {
        camera.keyReleased = 1;
    }
}

void UpdateCamera(Camera& camera, bool frozen)
{
    if (camera.player >= (uint32_t)kMaxCars)
        return;
    const Car& car = gCars[camera.player];
    const float rate = (float)gClock.stepRate;
    const float h = car.heading;
    const float sh = sinf(h * kDegToRad);
    const float ch = cosf(h * kDegToRad);
    float* eye = camera.position;
    float target[3] = {eye[0], eye[1], eye[2]};
    float targetPitch = camera.pitch, targetYaw = camera.yaw;
    float targetRoll = camera.roll, targetFov = camera.fov;

    if (!frozen)
        camera.orbitAngle = h;
    if (frozen) {
        // Orbit around the body centre, 15 degrees per second.
        const float r = car.rearAxleOffset;
        const float cx = car.position[0] - sh * r;
        const float cz = car.position[2] - ch * r;
        target[0] = cx + sinf(camera.orbitAngle * kDegToRad) * 2.5f;
        target[1] = car.position[1] + 1.0f;
        target[2] = cz + cosf(camera.orbitAngle * kDegToRad) * 2.5f;
        targetPitch = -20.0f;
        targetYaw = camera.orbitAngle;
        targetRoll = 0.0f;
        targetFov = 75.0f;
        camera.follow = 1.0f / rate;
        camera.orbitAngle += 15.0f / rate;
        if (camera.orbitAngle >= 360.0f)
            camera.orbitAngle -= 360.0f;
    } else if (camera.mode == 0) {
        // Chase: 4 behind and 2 above the car, looking along it.
        target[0] = car.position[0] + sh * 4.0f;
        target[1] = car.position[1] + 2.0f;
        target[2] = car.position[2] + ch * 4.0f;
        targetPitch = -10.0f;
        targetYaw = h;
        targetRoll = 0.0f;
        targetFov = 55.0f;
        camera.follow = 5.0f / rate;
    } else if (camera.mode == 1) {
        // Roadside: stays put unless the car gets further than 5 away.
        const float dx = car.position[0] - eye[0];
        const float dy = car.position[1] - eye[1];
        const float dz = car.position[2] - eye[2];
        const float distance = sqrtf(dx * dx + dy * dy + dz * dz);
        if (distance > 5.0f) {
            target[0] = eye[0] + (distance - 5.0f) * dx * 0.005f;
            target[2] = eye[2] + (distance - 5.0f) * dz * 0.005f;
        }
        target[1] = 4.0f;
        const float g = sqrtf(dx * dx + dz * dz);
        targetPitch = atanf((g + 0.123456789f) / (eye[1] - car.position[1])) * 57.29577951f - 90.0f;
        if (eye[1] < car.position[1])
            targetPitch += 180.0f;
        if (target[2] == car.position[2])
            eye[2] += 0.123456789f;
        targetYaw = atanf((eye[0] - car.position[0]) / (eye[2] - car.position[2])) * 180.0f / 3.141592654f;
        if (eye[2] < car.position[2])
            targetYaw += 180.0f;
        targetRoll = 0.0f;
        targetFov = 55.0f;
        camera.follow = 10.0f / rate;
    }

    if (camera.follow != 0.0f) {
        const float ground = GroundHeight(target[0], target[2], nullptr, nullptr);
        if (target[1] < ground + 0.5f)
            target[1] = ground + 0.5f;
        const float f = camera.follow;
        for (int k = 0; k < 3; k++)
            eye[k] += (target[k] - eye[k]) * f;
        camera.pitch += (targetPitch - camera.pitch) * f;
        camera.roll += (targetRoll - camera.roll) * f;
        camera.fov += (targetFov - camera.fov) * f;
        float d = targetYaw - camera.yaw;
        if (d < -180.0f)
            d += 360.0f;
        else if (d > 180.0f)
            d -= 360.0f;
        camera.yaw += d * f;
    }

    if (camera.pitch >= 180.0f)
        camera.pitch -= 360.0f;
    else if (camera.pitch < -180.0f)
        camera.pitch += 360.0f;
    if (camera.yaw >= 180.0f)
        camera.yaw -= 360.0f;
    else if (camera.yaw < -180.0f)
        camera.yaw += 360.0f;
}
