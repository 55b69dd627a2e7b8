// A view's frustum as six planes, for deciding what a view can see before
// anything of it is sent to the renderer.  Plain arithmetic on the matrices
// OpenGL uses (column-major, as glGetFloatv returns them), so it runs and is
// tested without a rendering context.
#pragma once

struct Frustum {
    // Inside where a x + b y + c z + d >= 0, in world (model) coordinates:
    // left, right, bottom, top, near, far.
    float plane[6][4];
};

// The planes of clip = projection x modelview.
void FrustumFromMatrices(const float projection[16], const float modelview[16], Frustum* out);
// False only when the box lies wholly outside one plane (a box near a
// corner may be kept although unseen: the test errs on drawing).
bool BoxInFrustum(const Frustum& f, const float lo[3], const float hi[3]);
bool SphereInFrustum(const Frustum& f, const float centre[3], float radius);
