// Dust puffs: a fixed pool of 64 camera-facing squares that grow and fade.
// Emitted by the cars, stepped by the race; drawn by src/render.
#pragma once

#include "assets/texture.h"

static const int kDustCount = 64;

struct DustParticle {
    float x, y, z;
    float vx, vy, vz;
    float size;       // current side; alive while startSize < size < endSize
    float startSize, endSize;
    float growth;     // size change per second
};

struct DustSystem {
    DustParticle particles[kDustCount];
    Texture texture;  // "data/textures/dust.tga" (render)
};

// Per start-up pass: InitDust empties the pool (not between races).
extern DustSystem gDust;

void ClearDust();
void EmitDust(float x, float y, float z, float vx, float vy, float vz,
              float startSize, float endSize, float growth);
void UpdateDust();
// Reorders the pool from the farthest live particle to the nearest seen
// from `eye` (free ones last), as drawing does once per view.
void SortDustByDistance(const float eye[3]);
