// The race cameras' OpenGL transforms.
#pragma once

#include "race/camera.h"

// Multiplies the modelview matrix by the camera's view transform.
void ApplyCamera(const Camera& camera);
// The inverse rotation, for squares that face the camera (dust, medals).
void FaceCamera(const Camera& camera);
