#include "render/camera_gl.h"

#include <GL/gl.h>

void ApplyCamera(const Camera& camera)
{
    glRotatef(-camera.pitch, 1.0f, 0.0f, 0.0f);
    glRotatef(-camera.roll, 0.0f, 0.0f, 1.0f);
    glRotatef(-camera.yaw, 0.0f, 1.0f, 0.0f);
    glTranslatef(-camera.position[0], -camera.position[1], -camera.position[2]);
}

void FaceCamera(const Camera& camera)
{
    glRotatef(camera.yaw, 0.0f, 1.0f, 0.0f);
    glRotatef(camera.roll, 0.0f, 0.0f, 1.0f);
    glRotatef(camera.pitch, 1.0f, 0.0f, 0.0f);
}
