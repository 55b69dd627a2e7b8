// Track files for tests that pass the track checker, each replaceable.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "app/config.h"
#include "test_util.h"

// The 18-byte header of a TGA image of the given type (2 plain, 10 run-length).
// A configuration that lists one track, named "t".
inline void ConfigureOneTrack()
{
    memset(&gConfig, 0, sizeof gConfig);
    gConfig.trackCount = 1;
    snprintf(gConfig.trackNames[0], kTrackNameSize, "%s", "t");
}

inline std::string TgaHeader(int type, int w, int h, int bits)
{
    std::string tga(18, '\0');
    tga[2] = (char)type;
    const int v[5] = {w & 255, w >> 8, h & 255, h >> 8, bits};
    for (int k = 0; k < 5; k++)
        tga[12 + k] = (char)v[k];
    return tga;
}

// An uncompressed TGA of w x h pixels whose every byte is `grey`, or, with
// `heights`, grid heights (world units, sample (i, j) at i + 64 j, a 64 x 64
// picture) turned into grey levels as the game reads them.
inline std::string GreyTga(int w, int h, uint8_t grey, const float* heights = nullptr, int bits = 24)
{
    std::string tga = TgaHeader(2, w, h, bits);
    for (int r = 0; r < h; r++) {
        for (int c = 0; c < w; c++) {
            uint8_t g = grey;
            if (heights)  // the first stored row is grid row 63
                g = (uint8_t)(heights[c + 64 * (63 - r)] / 0.0125f + 0.5f);
            tga.append((size_t)bits / 8, (char)g);
        }
    }
    return tga;
}

// A w x h run-length TGA of one grey (packets of 128 pixels), small on disk.
inline std::string RunLengthTga(int w, int h)
{
    std::string tga = TgaHeader(10, w, h, 24);
    for (long left = (long)w * h; left > 0; left -= 128)
        tga += (char)(127 + (left < 128 ? left : 128)) + std::string(3, '\x60');
    return tga;
}

// Three gates round flat ground: the start line ahead of the grid, then
// (10, -10) and (10, 10) in world units.
inline const char* GoodCourse()
{
    return "-0.8 -1.6 180 4\n8 -8 90 3\n8 8 0 3\n";
}

inline void WriteTrack(const ScratchAppDir& dir, const std::string& name, const std::string& heightmap,
                       const std::string& texture, const std::string& course)
{
    dir.Write("data/tracks/terrains/" + name + ".tga", heightmap);
    dir.Write("data/tracks/textures/" + name + ".tga", texture);
    dir.Write("data/tracks/checkpoints/" + name + ".txt", course);
}

inline void WriteGoodTrack(const ScratchAppDir& dir, const std::string& name)
{
    WriteTrack(dir, name, GreyTga(64, 64, 40), RunLengthTga(512, 512), GoodCourse());
}
