// Reading a track's heightmap: the TGA subset the game writes (18-byte
// header, uncompressed or run-length true colour of 24 or 32 bits).  Kept
// beside the terrain so that the race loads without the texture code.
#pragma once

#include <cstdint>

struct HeightmapImage {
    uint8_t* pixels;       // byteCount bytes, file row order, blue-green-red(-alpha) as stored
    uint32_t byteCount;    // width * height * bitsPerPixel / 8
    uint32_t width, height;
    uint32_t bitsPerPixel; // 24 or 32
};

static const uint32_t kMaxHeightmapSide = 4096;

// Reads `path` (relative to the executable's directory).  A missing file
// logs "ERROR (not found): %s", an unusable one (zero-sized, wider or
// higher than 4096, not 24 or 32 bits, not true colour, cut short)
// "ERROR (bad file): %s"; both end the program.  The caller frees the
// pixels with FreeHeightmapImage.
void ReadHeightmapImage(const char* path, HeightmapImage* image);
void FreeHeightmapImage(HeightmapImage* image);

// Run-length pixel data from `bytes` (size `size`) into `out` (byteCount
// bytes).  Packets that would pass the end of `out` are cut there.  False
// when the data ends before byteCount bytes were written.
bool DecodeRunLength(const uint8_t* bytes, uint32_t size, uint8_t* out, uint32_t byteCount,
                     uint32_t bytesPerPixel);
