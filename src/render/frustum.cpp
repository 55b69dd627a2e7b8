#include "render/frustum.h"

#include <cmath>

void FrustumFromMatrices(const float projection[16], const float modelview[16], Frustum* out)
{
    // clip[row][col] with element (r, c) of a column-major matrix at [c * 4 + r].
    float m[4][4];
    for (int r = 0; r < 4; r++) {
        for (int c = 0; c < 4; c++) {
            float sum = 0.0f;
            for (int k = 0; k < 4; k++)
                sum += projection[k * 4 + r] * modelview[c * 4 + k];
            m[r][c] = sum;
        }
    }
    // A point is inside when -w <= x, y, z <= w: each plane is row 3 plus or
    // minus row 0, 1 or 2.
    for (int p = 0; p < 6; p++) {
        const int row = p / 2;
        const float sign = (p % 2 == 0) ? 1.0f : -1.0f;
        float* plane = out->plane[p];
        for (int c = 0; c < 4; c++)
            plane[c] = m[3][c] + sign * m[row][c];
        const float length = sqrtf(plane[0] * plane[0] + plane[1] * plane[1] + plane[2] * plane[2]);
        if (length > 0.0f) {
            for (int c = 0; c < 4; c++)
                plane[c] /= length;
        }
    }
}

bool BoxInFrustum(const Frustum& f, const float lo[3], const float hi[3])
{
    for (const auto& plane : f.plane) {
        // The box corner farthest along the plane's normal.
        const float x = plane[0] >= 0.0f ? hi[0] : lo[0];
        const float y = plane[1] >= 0.0f ? hi[1] : lo[1];
        const float z = plane[2] >= 0.0f ? hi[2] : lo[2];
        if (plane[0] * x + plane[1] * y + plane[2] * z + plane[3] < 0.0f)
            return false;
    }
    return true;
}

bool SphereInFrustum(const Frustum& f, const float centre[3], float radius)
{
    for (const auto& plane : f.plane) {
        if (plane[0] * centre[0] + plane[1] * centre[1] + plane[2] * centre[2] + plane[3] < -radius)
            return false;
    }
    return true;
}
