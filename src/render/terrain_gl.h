// The track's graphics: the terrain mesh and its textures, the ground decals
// (car shadows and the tag spot), the shadow textures and their pass, and
// the gate list.  The race loads only heights and gates; the graphics are
// rebuilt here when the race's terrain or course generation moves on.
#pragma once

#include <cstdint>

#include "render/car_gl.h"

// Rebuilds whatever belongs to a terrain or course load not yet seen (or
// made in an earlier rendering context).  Called before a race frame draws.
void UpdateTrackGraphics();
// Deletes the track's textures, mesh list and gate list.
void FreeTrackGraphics();
// Forgets what was built (a new rendering context): the next update rebuilds.
void ForgetTrackGraphics();

// The terrain geometry, issued while meshList is compiled.
void BuildTerrainMesh();
// The normal of grid vertex (i, j), issued with glNormal3f.
void TerrainVertexNormal(int i, int j);
// The unit normal of two slope vectors (n unchanged when its length is 0).
void SlopeNormal(const float a[3], const float b[3], float out[3]);
// Calls the mesh list.
void DrawTerrain();
// Car shadows and the tag holder's light spot laid over the terrain.
void DrawGroundDecals();

// The shadow atlas: one texture with every car's shadow in a slot of its
// own, laid out as the shadow pass draws the cars' outlines in the window's
// lower-left corner (`perRow` slots of `side` texels to a row, bottom row
// first), so that one copy takes a whole row of them.  Each copy makes the
// renderer finish what it was given so far, so fewer copies, less waiting.
struct ShadowAtlasLayout {
    int32_t side;           // texels of a slot: the shadow resolution (2 .. 1024)
    int32_t perRow;         // slots to a row: as many as the window's width holds, at least 1
    int32_t width, height;  // the texture: powers of two holding `cars` slots
};
ShadowAtlasLayout LayoutShadowAtlas(int32_t side, int32_t windowWidth, int32_t cars);
// Car c's slot in the atlas this frame; -1 when the shadow pass skipped it.
extern int32_t gShadowSlot[5];
// Where car c's outline reached in its slot this frame (set with the slot).
extern ShadowExtent gShadowExtent[5];

// How far from the middle of a decal picture spanning 5 units (the tag
// holder's light spot) any texel is lit, in world units along x or z, out to
// where the filter blends its light away: 0 for a black picture, at most 2.5.
struct TgaImage;
float LitReach(const TgaImage& image);

// The shadow camera: R x R viewport looking straight down on the origin.
void PrepareShadowPass();
// Copies slots first .. first + count - 1 from the window into the atlas:
// from the same places when first is 0 (one copy per row), else slot k of
// the window into slot first + k.  Makes the atlas first when needed.
void CaptureShadows(int32_t first, int32_t count);

// Calls the gate list (checkpoint mode).
void DrawGates();
// A banner on every visible post, hanging toward the gate's middle: orange
// (the goal arrow's colour) on the gate the car of currentView drives to
// next, white on the others.
void DrawGateFlags();
void FreeGateList();
