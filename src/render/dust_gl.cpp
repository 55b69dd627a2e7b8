#include "render/dust_gl.h"

#include <GL/gl.h>

#include "race/camera.h"
#include "race/dust.h"
#include "race/terrain.h"
#include "render/race_frame.h"

void InitDust()
{
    ClearDust();
    LoadTexture("data/textures/dust.tga", &gDust.texture);
}

void FreeDust()
{
    DeleteTexture(&gDust.texture);
}

static const float kStrength = 0.6f;

static bool Alive(const DustParticle& p)
{
    return p.startSize < p.size && p.size < p.endSize;
}

// Far to near, each puff laid over what is behind it through the texture's
// brightness (the texture has no alpha): one batch darkens the background
// by coverage x opacity, a second adds each puff's colour by the same
// amount (two draws per view, whatever the number of puffs).  Depth is
// tested but not written, so a near puff never cuts a square out of the
// puffs behind it.  Each puff's centre stays at least half its side above
// the ground under it, so the ground never cuts it in a straight line.
void DrawDust()
{
    const Camera& camera = gCameras[currentView];
    SortDustByDistance(camera.position);
    // The squares face the camera: its right and up axes are the first two
    // rows of the view rotation.
    float view[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, view);
    const float right[3] = {view[0], view[4], view[8]};
    const float up[3] = {view[1], view[5], view[9]};
    float centreY[kDustCount];
    int live = 0;
    for (const DustParticle& p : gDust.particles) {
        if (!Alive(p))
            break;  // free particles sort last
        const float lowest = GroundHeight(p.x, p.z, nullptr, nullptr) + p.size / 2;
        centreY[live++] = p.y > lowest ? p.y : lowest;
    }
    GLboolean depthWrites = GL_TRUE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &depthWrites);
    glDepthMask(GL_FALSE);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, gDust.texture);
    glEnable(GL_BLEND);
    for (int pass = 0; pass < 2; pass++) {
        if (pass == 0)
            glBlendFunc(GL_ZERO, GL_ONE_MINUS_SRC_COLOR);
        else
            glBlendFunc(GL_ONE, GL_ONE);
        glBegin(GL_QUADS);
        for (int k = 0; k < live; k++) {
            const DustParticle& p = gDust.particles[k];
            // Puffs fade from full strength to nothing as they grow
            // (shrinking ones, never emitted by the game, get the same rule).
            // Batched, overlapping puffs add up: each gives kStrength of its
            // coverage so that a dense cloud does not burn out to white.
            const float a = (p.endSize - p.size) / (p.endSize - p.startSize) * p.opacity * kStrength;
            if (pass == 0)
                glColor3f(a, a, a);
            else
                glColor3f(p.colour[0] * a, p.colour[1] * a, p.colour[2] * a);
            const float h = p.size / 2, centre[3] = {p.x, centreY[k], p.z};
            static const float kCorner[4][2] = {{-1, 1}, {-1, -1}, {1, -1}, {1, 1}};
            for (const auto& c : kCorner) {
                glTexCoord2f(c[0] > 0 ? 1.0f : 0.0f, c[1] > 0 ? 1.0f : 0.0f);
                glVertex3f(centre[0] + (right[0] * c[0] + up[0] * c[1]) * h,
                           centre[1] + (right[1] * c[0] + up[1] * c[1]) * h,
                           centre[2] + (right[2] * c[0] + up[2] * c[1]) * h);
            }
        }
        glEnd();
    }
    glDisable(GL_BLEND);
    glDisable(GL_TEXTURE_2D);
    glDepthMask(depthWrites);
}
