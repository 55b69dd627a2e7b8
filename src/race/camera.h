// Race cameras: one per car, chasing target values with one blend per step.
// The two OpenGL transforms (ApplyCamera, FaceCamera) are src/render's.
#pragma once

#include <cstdint>

struct Camera {
    float position[3];
    float pitch;      // degrees, negative looks down
    float yaw;        // degrees; equals a car heading when looking along it
    float roll;
    float fov;        // vertical field of view, degrees
    float follow;     // blend factor of the current step
    float orbitAngle; // degrees
    uint32_t player;  // car (and player) index
    uint32_t mode;    // 0 chase, 1 roadside
    uint32_t modeCount;
    uint8_t keyReleased;
};

// Per race: ResetCars resets all five (the view mode is kept).
extern Camera gCameras[5];

void ResetCamera(Camera& camera, uint32_t player, float x, float y, float z,
                 float pitch, float yaw, float roll, float fov);
// The camera key of the camera's player, held or not this frame: each press
// switches to the next view mode.
void PollCameraKey(Camera& camera, bool held);
// One step; `frozen` (race menu, results): orbit the car.
void UpdateCamera(Camera& camera, bool frozen);
