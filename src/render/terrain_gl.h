// The track's graphics: the terrain mesh and its textures, the ground decals
// (car shadows and the tag spot), the shadow textures and their pass, and
// the gate list.  The race loads only heights and gates; the graphics are
// rebuilt here when the race's terrain or course generation moves on.
#pragma once

#include <cstdint>

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

// The shadow camera: R x R viewport looking straight down on the origin.
void PrepareShadowPass();
// Copies the R x R pixels from (x, y) up and right into car i's shadow texture.
void CaptureShadow(int i, int x, int y);

// Calls the gate list (checkpoint mode).
void DrawGates();
// A banner on every visible post, hanging toward the gate's middle: orange
// (the goal arrow's colour) on the gate the car of currentView drives to
// next, white on the others.
void DrawGateFlags();
void FreeGateList();
