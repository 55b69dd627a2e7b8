// A track's heightmap from arbitrary bytes: the terrain loader, the ground
// query all over the world (and beyond it), and the run-length decoder on
// its own.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "app/appdir.h"
#include "app/config.h"
#include "fuzz_targets.h"
#include "game/prefs.h"
#include "race/race.h"
#include "race/terrain.h"
#include "race/terrain_image.h"

// Sides above this are read only through DecodeRunLength below (the loader
// itself takes up to 4096 x 4096, but a 64 MiB picture per input is slow).
static const uint32_t kMaxFuzzPixels = 1024 * 1024;

static void LoadHeightmap(void*)
{
    LoadTerrain(1.0f, 0.0125f, 1);
}

static void DecodeOnly(const uint8_t* data, size_t size)
{
    if (size < 3)
        return;
    const uint32_t bytesPerPixel = (data[0] & 1) ? 4 : 3;
    const uint32_t byteCount = (uint32_t)data[1] + 256u * data[2];
    uint8_t* out = (uint8_t*)malloc(byteCount + 1);
    if (!out)
        return;
    memset(out, 0xab, byteCount + 1);
    DecodeRunLength(data + 3, (uint32_t)(size - 3), out, byteCount, bytesPerPixel);
    if (out[byteCount] != 0xab)
        FuzzFail("heightmap run-length decoder wrote past its buffer");
    free(out);
}

int FuzzHeightmap(const uint8_t* data, size_t size)
{
    DecodeOnly(data, size);
    if (size >= 18 && (uint64_t)(data[12] + 256u * data[13]) * (data[14] + 256u * data[15]) > kMaxFuzzPixels)
        return 0;
    const std::string dir = FuzzScratchDir();
    SetAppDirectory(dir.c_str());
    FuzzWriteFile((dir + "data/tracks/terrains/fuzz.tga").c_str(), data, size);
    gConfig.trackCount = 1;
    snprintf(gConfig.trackNames[0], kTrackNameSize, "%s", "fuzz");
    gRaceSetup.track = 0;
    const uint32_t generation = gTerrain.generation;
    memset(gTerrain.heights, 0, sizeof gTerrain.heights);
    if (!RunTrappingExit(LoadHeightmap, nullptr)) {
        if (gTerrain.generation != generation + 1)
            FuzzFail("terrain generation");
        const float highest = 255.0f * 0.0125f;
        for (float h : gTerrain.heights)
            if (!(h >= 0.0f && h <= highest))
                FuzzFail("terrain height outside 0..255 grey levels");
        // The ground under every point of the world and well outside it.
        for (float x = -40.0f; x <= 40.0f; x += 0.37f) {
            for (float z = -40.0f; z <= 40.0f; z += 2.9f) {
                float sx = 0.0f, sz = 0.0f;
                float y = GroundHeight(x, z, &sx, &sz);
                if (!std::isfinite(y) || !std::isfinite(sx) || !std::isfinite(sz))
                    FuzzFail("ground height or slope not finite");
                // On the grid: between the lowest and highest sample, give or
                // take the rounding of the interpolation.  Within a cell of
                // the low edges the query carries the edge cell's slope on
                // (its cell index is truncated toward zero): at most one
                // more height range away.
                const bool onGrid = x >= -32.0f && z >= -32.0f;
                const float low = onGrid ? -1e-4f : -highest, high = onGrid ? highest + 1e-4f : 2.0f * highest;
                if (y < low || y > high)
                    FuzzFail("ground height outside the heightmap's range");
            }
        }
    }
    remove((dir + "log.txt").c_str());
    return 0;
}
