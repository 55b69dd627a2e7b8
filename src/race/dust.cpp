// The dust pool: 64 puffs, emitted by the wheels, stepped with the race,
// reordered by distance once per drawn view.
#include "race/dust.h"

#include <cmath>
#include <cstring>

#include "app/clock.h"

DustSystem gDust;

static bool Alive(const DustParticle& d)
{
    return d.startSize < d.size && d.size < d.endSize;
}

void ClearDust()
{
    memset(gDust.particles, 0, sizeof gDust.particles);
}

void EmitDust(float x, float y, float z, float vx, float vy, float vz,
              float startSize, float endSize, float growth)
{
    for (DustParticle& d : gDust.particles) {
        if (Alive(d))
            continue;
        d.x = x;
        d.y = y + startSize;
        d.z = z;
        d.vx = vx;
        d.vy = vy;
        d.vz = vz;
        d.size = growth > 0.0f ? startSize + 0.00001f : endSize - 0.00001f;
        d.startSize = startSize;
        d.endSize = endSize;
        d.growth = growth;
        return;
    }
}

void UpdateDust()
{
    const float dt = (float)(1.0 / gClock.stepRate);
    for (DustParticle& d : gDust.particles) {
        if (!Alive(d))
            continue;
        d.x += d.vx * dt;
        d.y += d.vy * dt;
        d.z += d.vz * dt;
        d.size += d.growth * dt;
    }
}

void SortDustByDistance(const float eye[3])
{
    // Selection from the farthest to the nearest; equal distances take the
    // higher index first, and free particles (distance 0) go last.
    float distance[kDustCount];
    bool taken[kDustCount];
    DustParticle sorted[kDustCount];
    for (int k = 0; k < kDustCount; k++) {
        const DustParticle& d = gDust.particles[k];
        distance[k] = 0.0f;
        if (Alive(d)) {
            const float dx = d.x - eye[0], dy = d.y - eye[1], dz = d.z - eye[2];
            distance[k] = sqrtf(dx * dx + dy * dy + dz * dz);
        }
        taken[k] = false;
    }
    for (int place = 0; place < kDustCount; place++) {
        int best = -1;
        for (int k = 0; k < kDustCount; k++) {
            if (!taken[k] && (best < 0 || distance[k] >= distance[best]))
                best = k;
        }
        taken[best] = true;
        sorted[place] = gDust.particles[best];
    }
    memcpy(gDust.particles, sorted, sizeof sorted);
}
