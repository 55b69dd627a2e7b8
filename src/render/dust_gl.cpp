#include "render/dust_gl.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>

#include "assets/tga.h"
#include "race/camera.h"
#include "race/dust.h"
#include "race/terrain.h"
#include "render/race_frame.h"

// The dust picture (grey) is kept as an intensity texture: its brightness
// is then also its alpha, so one blended pass lays a puff over the scene.
void InitDust()
{
    ClearDust();
    static const char kPath[] = "data/textures/dust.tga";
    LoadTexture(kPath, &gDust.texture);
    TgaImage image;
    ReadTgaImage(kPath, &image);
    glBindTexture(GL_TEXTURE_2D, gDust.texture);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    gluBuild2DMipmaps(GL_TEXTURE_2D, GL_INTENSITY, (GLint)image.width, (GLint)image.height,
                      image.bitsPerPixel == 24 ? GL_RGB : GL_RGBA, GL_UNSIGNED_BYTE, image.pixels);
    FreeTgaImage(&image);
    UseBilinearFilter(gDust.texture);
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

// Far to near in one batch, each puff laid over what is behind it through
// the texture's brightness in one blend: the background darkened by
// coverage x opacity and the puff's colour added by the same amount.
// Depth is tested but not written, so a near puff never cuts a square out
// of the puffs behind it.  Each puff's centre stays at least half its side
// above the ground under it, so the ground never cuts it in a straight line.
//
// Only the puffs the view can see are sent, and only the quality budget's
// share of them (evenly spread through the order).  A puff near the eye is
// held to a side of a quarter of its distance (about a fifth of the view's
// height), so that a cloud passing the camera never fills the view.
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
    const Frustum& frustum = gViewFrustum[currentView % kMaxViews];
    const float share = gQuality.dustShare;
    GLboolean depthWrites = GL_TRUE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &depthWrites);
    glDepthMask(GL_FALSE);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, gDust.texture);
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
    glBegin(GL_QUADS);
    uint32_t n = 0;
    for (const DustParticle& p : gDust.particles) {
        if (!Alive(p))
            break;  // free particles sort last
        n++;
        if (share < 1.0f && floorf((float)n * share) == floorf((float)(n - 1) * share))
            continue;
        const float lowest = GroundHeight(p.x, p.z, nullptr, nullptr) + p.size / 2;
        const float centre[3] = {p.x, p.y > lowest ? p.y : lowest, p.z};
        float d2 = 0.0f;
        for (int k = 0; k < 3; k++)
            d2 += (centre[k] - camera.position[k]) * (centre[k] - camera.position[k]);
        const float capped = 0.125f * sqrtf(d2);
        const float h = p.size / 2 < capped ? p.size / 2 : capped;
        if (!SphereInFrustum(frustum, centre, h * 1.5f))
            continue;
        // Puffs fade from full strength to nothing as they grow (shrinking
        // ones, never emitted by the game, get the same rule).  Overlapping
        // puffs add up: each gives kStrength of its coverage so that a
        // dense cloud does not burn out to white.
        const float a = (p.endSize - p.size) / (p.endSize - p.startSize) * p.opacity * kStrength;
        glColor4f(p.colour[0] * a, p.colour[1] * a, p.colour[2] * a, a);
        static const float kCorner[4][2] = {{-1, 1}, {-1, -1}, {1, -1}, {1, 1}};
        for (const auto& c : kCorner) {
            glTexCoord2f(c[0] > 0 ? 1.0f : 0.0f, c[1] > 0 ? 1.0f : 0.0f);
            glVertex3f(centre[0] + (right[0] * c[0] + up[0] * c[1]) * h,
                       centre[1] + (right[1] * c[0] + up[1] * c[1]) * h,
                       centre[2] + (right[2] * c[0] + up[2] * c[1]) * h);
        }
    }
    glEnd();
    glDisable(GL_BLEND);
    glDisable(GL_TEXTURE_2D);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glDepthMask(depthWrites);
}
