// The height grid of the current track and the ground query.
#include "race/terrain.h"

#include <cstdio>

#include "app/config.h"
#include "app/log.h"
#include "race/race.h"
#include "race/terrain_image.h"

Terrain gTerrain;

// The current track's base name, or "" when `track` is outside the list
// (the files then cannot be found and the loaders end the program).
const char* CurrentTrackName()
{
    if (gRaceSetup.track < 0 || gRaceSetup.track >= gConfig.trackCount || gRaceSetup.track >= kMaxTracks)
        return "";
    return gConfig.trackNames[gRaceSetup.track];
}

void LoadTerrain(float cellSize, float heightScale, uint32_t pixelSkip)
{
    gTerrain.cellSize = cellSize;
    gTerrain.heightScale = heightScale;
    gTerrain.pixelSkip = pixelSkip == 0 ? 1 : pixelSkip;  // a step of 0 never advances

    char path[256];
    snprintf(path, sizeof path, "data/tracks/terrains/%s.tga", CurrentTrackName());
    HeightmapImage image;
    ReadHeightmapImage(path, &image);
    LogMessage("Loading terrain: %s", path);

    // The first 4096 pixels in file order, whatever the header's size; a
    // smaller image wraps around.  The first stored row is the far row
    // (j = 63).  Grey is the plain mean of the three colour bytes, so the
    // byte order does not matter.
    for (uint32_t p = 0; p < (uint32_t)(kGridSize * kGridSize); p++) {
        uint32_t r = p / kGridSize;
        uint32_t c = p % kGridSize;
        uint32_t o = p * image.bitsPerPixel / 8;
        float b0 = image.pixels[o % image.byteCount];
        float b1 = image.pixels[(o + 1) % image.byteCount];
        float b2 = image.pixels[(o + 2) % image.byteCount];
        float grey = (b0 + b1 + b2) / 3.0f;
        gTerrain.heights[c + kGridSize * (kGridSize - 1 - r)] = grey * heightScale;
    }
    FreeHeightmapImage(&image);
    gTerrain.generation++;
}

float GridHeight(int i, int j)
{
    return gTerrain.heights[i + kGridSize * j];
}

float GroundHeight(float x, float z, float* slopeX, float* slopeZ)
{
    const float s = gTerrain.cellSize;
    const int k = gTerrain.pixelSkip == 0 ? 1 : (int)gTerrain.pixelSkip;
    const float w = (float)k * s;
    if (!(w > 0.0f))
        return 0.0f;
    float u = (float)(x + 32.0f * s) + s / 2.0f;
    float v = (float)(z + 32.0f * s) + s / 2.0f;
    float fu = u / w;
    float fv = v / w;
    // Far beyond the grid (or not a number) the truncation below would
    // overflow; such points are off the terrain anyway.
    if (!(fu > -2.0f && fu < 2.0f * kGridSize && fv > -2.0f && fv < 2.0f * kGridSize))
        return 0.0f;
    int ci = (int)fu;  // truncation toward zero
    int cj = (int)fv;
    float fx = fu - (float)ci;
    float fz = fv - (float)cj;
    int i = ci * k;
    int j = cj * k;
    if (i < 0 || i + k > kGridSize - 1 || j < 0 || j + k > kGridSize - 1)
        return 0.0f;
    float h00 = GridHeight(i, j);
    float h10 = GridHeight(i + k, j);
    float h01 = GridHeight(i, j + k);
    float h11 = GridHeight(i + k, j + k);
    if (fx + fz < 1.0f) {
        if (slopeX)
            *slopeX = (h10 - h00) / w;
        if (slopeZ)
            *slopeZ = (h01 - h00) / w;
        return (h10 - h00) * fx + h00 + (h01 - h00) * fz;
    }
    if (slopeX)
        *slopeX = (h11 - h01) / w;
    if (slopeZ)
        *slopeZ = (h11 - h10) / w;
    return (h11 - h01) * fx + h01 + (h10 - h11) * (1.0f - fz);
}
