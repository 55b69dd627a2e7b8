// Reading TGA images: the narrow subset every picture of the game uses
// (true colour, 24 or 32 bits, uncompressed or run-length encoded, rows
// bottom first).  Shared by the textures and the terrain heightmaps.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

static const uint32_t kTgaMaxSide = 8192;  // larger sides are refused

// Whether an 18-byte header starts run-length pixel data as the readers
// decode it: type 10, no image ID, no colour map (bytes 0, 1 and 3-7 zero).
// The origin (bytes 8-11) is left out of the decision: it only places the
// picture on a screen, no reader uses it, and painting programs fill it in.
// The texture and heightmap readers and the track checker all decide here,
// so a track the checker lists is read the way it was checked.
bool TgaIsRunLength(const uint8_t* header);

// A decoded image, pixels red, green, blue (and alpha) in file row order
// (the first row of the file first: the bottom of a standard TGA).
struct TgaImage {
    uint32_t width, height;  // 1..8192
    uint32_t bitsPerPixel;   // 24 or 32
    uint32_t byteCount;      // width * height * bitsPerPixel / 8
    uint8_t* pixels;         // byteCount bytes, owned; FreeTgaImage releases it
};

// Reads the TGA file `path` (relative to the executable's directory) into
// `image`.  A file that cannot be opened logs "ERROR (not found): %s"; a side
// of 0 or over 8192, a depth other than 24 or 32, or a buffer that cannot be
// allocated logs "ERROR (bad file): %s"; both end the program.  A short file
// leaves the missing pixels zero.  The caller logs its own "Loading ..." line.
void ReadTgaImage(const char* path, TgaImage* image);

void FreeTgaImage(TgaImage* image);

// Decodes run-length packets from `file` into `buffer` (byteCount bytes,
// bitsPerPixel 24 or 32), copying the pixels as stored.  Packets that would
// run past the buffer are cut at its end.  True once the buffer is full,
// false when the file ends first (the rest of the buffer is untouched).
bool DecodeTgaRle(FILE* file, uint8_t* buffer, uint32_t byteCount, uint32_t bitsPerPixel);
