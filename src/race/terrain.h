// The ground of the current track: a 64 x 64 height grid from the track's
// heightmap, and the one ground query the simulation uses everywhere.  The
// drawing half (track texture, decal and shadow textures, mesh display
// list) is src/render's: it watches `generation` and rebuilds after a load.
#pragma once

#include <cstdint>

#include "assets/texture.h"

static const int kGridSize = 64;

struct Terrain {
    float heights[kGridSize * kGridSize];  // sample (i, j) at i + 64 j; i along x, j along z
    float cellSize;          // world distance between samples (1.0)
    float heightScale;       // world height of one grey level (0.0125)
    uint32_t meshList;       // display list of the mesh (render)
    uint32_t pixelSkip;      // grid step of queries and mesh, from terrain_pixelskip
    Texture trackTexture;    // render
    Texture shadowAtlas;        // render: every car's shadow texture in one (LayoutShadowAtlas)
    Texture lightmapTexture;    // render: "data/textures/lightmap.tga"
    Texture shadowmapTexture;   // render: "data/textures/shadowmap.tga"
    uint32_t generation;     // grows at every LoadTerrain; the renderer rebuilds when it changes
};

// Per track: LoadTerrain refills it at every race start.
extern Terrain gTerrain;

// Reads "data/tracks/terrains/<track>.tga" of the current track (Prefs
// track) into the grid.  A missing or unusable file ends the program.
void LoadTerrain(float cellSize, float heightScale, uint32_t pixelSkip);

// Base name of the current track (RaceSetup track in Config trackNames), or ""
// when the index is outside the list.
const char* CurrentTrackName();

// Grid sample (i, j); callers stay inside 0..63.
float GridHeight(int i, int j);

// Interpolated ground height at world (x, z) and the slopes dy/dx, dy/dz of
// the triangle under it.  Off the terrain: 0.0, slopes untouched.  Either
// slope pointer may be null.
float GroundHeight(float x, float z, float* slopeX, float* slopeZ);
