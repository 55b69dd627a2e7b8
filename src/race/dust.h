// Dust puffs: a fixed pool of 64 camera-facing squares that grow and fade.
// Emitted by the cars, stepped by the race; drawn by src/render.
#pragma once

#include <cstdint>

#include "assets/texture.h"

static const int kDustCount = 64;

struct DustParticle {
    float x, y, z;
    float vx, vy, vz;
    float size;       // current side; alive while startSize < size < endSize
    float startSize, endSize;
    float growth;     // size change per second
    float colour[3];  // 0..1, taken from the ground under the puff when it is thrown
    float opacity;    // 0..1 at full brightness (fine grass dust is faint)
};

// The ground's colour per terrain cell, for the puffs: cell (i, j) covers
// world x from (i - 32.5) to (i - 31.5) cell sizes, and z likewise, the
// way the track texture lies over the terrain.
struct DustGround {
    uint8_t rgb[64 * 64][3];
    bool known;  // false: every puff is the plain light dust colour
};

struct DustSystem {
    DustParticle particles[kDustCount];
    DustGround ground;  // filled by the renderer from the track texture (per track)
    Texture texture;    // "data/textures/dust.tga" (render)
};

// Per start-up pass: InitDust empties the pool (not between races).  The
// ground colours are refilled whenever the renderer loads a track's
// graphics; ClearDustGround forgets them (tests, headless runs never fill them).
extern DustSystem gDust;

void ClearDust();
void ClearDustGround();
// The colour and opacity of a puff thrown from ground of colour `ground`
// (0..1): sand throws a lighter sand, grass a faint brown, water a faint
// white spray.
void DustColourOf(const float ground[3], float colour[3], float* opacity);
// A puff into the first free particle; none when the pool is full or the
// place is not a finite point.
void EmitDust(float x, float y, float z, float vx, float vy, float vz,
              float startSize, float endSize, float growth);
void UpdateDust();
// Reorders the pool from the farthest live particle to the nearest seen
// from `eye` (free ones last), as drawing does once per view.
void SortDustByDistance(const float eye[3]);
