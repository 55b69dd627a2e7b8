// The dust pool: 64 puffs, emitted by the wheels, stepped with the race,
// reordered by distance once per drawn view.
#include "race/dust.h"

#include <cmath>
#include <cstring>

#include "app/clock.h"
#include "race/terrain.h"

DustSystem gDust;

static bool Alive(const DustParticle& d)
{
    return d.startSize < d.size && d.size < d.endSize;
}

void ClearDust()
{
    memset(gDust.particles, 0, sizeof gDust.particles);
}

void ClearDustGround()
{
    memset(&gDust.ground, 0, sizeof gDust.ground);
}

static float Clamp01(float v)
{
    return v < 0.0f ? 0.0f : (v > 1.0f ? 1.0f : v);
}

void DustColourOf(const float ground[3], float colour[3], float* opacity)
{
    const float r = ground[0], g = ground[1], b = ground[2];
    const float green = Clamp01((g - (r > b ? r : b)) * 5.0f);
    const float water = Clamp01((b - r) * 3.0f - 0.3f);  // blue and teal water
    static const float kBrown[3] = {0.58f, 0.47f, 0.33f};
    static const float kSpray[3] = {0.9f, 0.94f, 1.0f};
    static const float kDust[3] = {0.82f, 0.76f, 0.66f};
    for (int c = 0; c < 3; c++) {
        // Dust in the air is paler than the ground and greyer.
        const float light = (ground[c] * 0.7f + 0.3f) * 0.65f + kDust[c] * 0.35f;
        const float earth = light + (kBrown[c] - light) * green;
        colour[c] = earth + (kSpray[c] - earth) * water;
    }
    *opacity = 1.0f - 0.55f * green - 0.6f * water;
}

// The puff colour at world (x, z): the plain light dust where the ground is not known.
static void GroundDustColour(float x, float z, float colour[3], float* opacity)
{
    const DustGround& ground = gDust.ground;
    if (!ground.known) {
        colour[0] = colour[1] = colour[2] = 1.0f;
        *opacity = 1.0f;
        return;
    }
    const float cell = gTerrain.cellSize > 0.0f ? gTerrain.cellSize : 1.0f;
    const float fi = x / cell + 32.5f, fj = z / cell + 32.5f;
    const int i = fi < 0.0f ? 0 : (fi > 63.0f ? 63 : (int)fi);
    const int j = fj < 0.0f ? 0 : (fj > 63.0f ? 63 : (int)fj);
    const uint8_t* rgb = ground.rgb[i + 64 * j];
    const float g[3] = {rgb[0] / 255.0f, rgb[1] / 255.0f, rgb[2] / 255.0f};
    DustColourOf(g, colour, opacity);
}

void EmitDust(float x, float y, float z, float vx, float vy, float vz,
              float startSize, float endSize, float growth)
{
    // A wheel whose place is lost (a car state the step's repair is about
    // to undo) throws nothing; its ground colour cannot be looked up.
    if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(z))
        return;
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
        GroundDustColour(x, z, d.colour, &d.opacity);
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
