#include "render/dust_gl.h"

#include <GL/gl.h>

#include "race/camera.h"
#include "race/dust.h"
#include "render/camera_gl.h"
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

static bool Alive(const DustParticle& p)
{
    return p.startSize < p.size && p.size < p.endSize;
}

void DrawDust()
{
    const Camera& camera = gCameras[currentView];
    SortDustByDistance(camera.position);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, gDust.texture);
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE_MINUS_DST_COLOR, GL_ONE);
    for (const DustParticle& p : gDust.particles) {
        if (!Alive(p))
            break;  // free particles sort last
        // Puffs fade from full brightness to nothing as they grow (shrinking
        // ones, never emitted by the game, get the same colour rule).
        const float fade = (p.endSize - p.size) / (p.endSize - p.startSize);
        glColor3f(fade, fade, fade);
        const float h = p.size / 2;
        glPushMatrix();
        glTranslatef(p.x, p.y, p.z);
        FaceCamera(camera);
        glBegin(GL_QUADS);
        glTexCoord2f(0, 1);
        glVertex2f(-h, h);
        glTexCoord2f(0, 0);
        glVertex2f(-h, -h);
        glTexCoord2f(1, 0);
        glVertex2f(h, -h);
        glTexCoord2f(1, 1);
        glVertex2f(h, h);
        glEnd();
        glPopMatrix();
    }
    glDisable(GL_BLEND);
    glDisable(GL_TEXTURE_2D);
}
