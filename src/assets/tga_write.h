// Writing TGA images: uncompressed (type 2) or run-length encoded (type 10)
// true colour, the subset the game's own reader understands.  Used by the
// screenshot code and by the data generator.
#pragma once

#include <cstdint>
#include <cstdio>

// Writes the 18-byte header (no image ID, no colour map, type 2 or 10,
// origin 0,0, width and height low byte first, bitsPerPixel, descriptor 0)
// and then the pixels.  `pixels` holds width x height pixels, rows bottom
// first, each blue, green, red (and alpha when bitsPerPixel is 32).  With
// `runLength` the pixels are packed into run packets (2 or more equal pixels,
// at most 128) and raw packets (at most 128), rows may be joined by a packet.
// False when the arguments are unusable (size not 1..65535, depth not 24 or
// 32, no pixels) or a write fails.
bool WriteTga(FILE* file, int width, int height, int bitsPerPixel, const uint8_t* pixels,
              bool runLength);
