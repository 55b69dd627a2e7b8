// Reading TGA files: raw and run-length pixels byte for byte, the packet
// header arithmetic, and the decided answers to damaged or hostile files
// (cut short, oversized, wrong depth, runs past the end, image IDs and
// colour maps); the TGA fuzz target covers random damage.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "assets/tga.h"
#include "test_util.h"

namespace {

typedef std::vector<uint8_t> Bytes;

// The 18-byte header (no ID, no colour map) followed by `data`.
Bytes Tga(uint8_t type, unsigned width, unsigned height, uint8_t bits, const Bytes& data = Bytes())
{
    Bytes b = {0, 0, type, 0, 0, 0, 0, 0, 0, 0, 0, 0, (uint8_t)width, (uint8_t)(width >> 8),
               (uint8_t)height, (uint8_t)(height >> 8), bits, 0};
    for (uint8_t d : data)  // (an insert of an empty range upsets GCC 12's bounds warning)
        b.push_back(d);
    return b;
}

// The pixels ReadTgaImage gives for `file` (as data/t.tga).
Bytes Read(const Bytes& file)
{
    ScratchAppDir dir;
    dir.Write("data/t.tga", std::string(file.begin(), file.end()));
    TgaImage image;
    ReadTgaImage("data/t.tga", &image);
    Bytes pixels(image.pixels, image.pixels + image.byteCount);
    FreeTgaImage(&image);
    return pixels;
}

TEST(TgaRead, PixelsComeOutRedGreenBlueInFileRowOrder)
{
    const struct { const char* what; Bytes file, pixels; } cases[] = {
        {"raw 24", Tga(2, 3, 2, 24, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18}),
         {3, 2, 1, 6, 5, 4, 9, 8, 7, 12, 11, 10, 15, 14, 13, 18, 17, 16}},
        {"raw 32 keeps alpha", Tga(2, 2, 1, 32, {1, 2, 3, 200, 4, 5, 6, 0}), {3, 2, 1, 200, 6, 5, 4, 0}},
        // Raw packet of three; a run of two and a raw one.
        {"run-length", Tga(10, 3, 2, 24, {2, 1, 2, 3, 4, 5, 6, 7, 8, 9, 0x81, 10, 11, 12, 0, 16, 17, 18}),
         {3, 2, 1, 6, 5, 4, 9, 8, 7, 12, 11, 10, 12, 11, 10, 18, 17, 16}},
        {"128 is a run of one", Tga(10, 2, 1, 24, {128, 1, 1, 1, 128, 2, 2, 2}), {1, 1, 1, 2, 2, 2}},
        // 3 pixels: all decoded, not the 0 a division-first count would give.
        {"3 pixels", Tga(10, 3, 1, 24, {128, 1, 1, 1, 128, 2, 2, 2, 128, 3, 3, 3}), {1, 1, 1, 2, 2, 2, 3, 3, 3}},
        // Packets running past the image stop at its end.
        {"run past the end", Tga(10, 2, 1, 24, {255, 5, 6, 7}), {7, 6, 5, 7, 6, 5}},
        {"raw past the end", Tga(10, 2, 1, 24, {4, 1, 1, 1, 2, 2, 2, 3, 3, 3, 4, 4, 4}), {1, 1, 1, 2, 2, 2}},
        // Short files leave the missing pixels zero.
        {"raw cut short", Tga(2, 3, 1, 24, {1, 2, 3, 4, 5}), {3, 2, 1, 0, 5, 4, 0, 0, 0}},
        {"cut in a raw packet", Tga(10, 3, 1, 24, {2, 1, 2, 3, 4}), {3, 2, 1, 0, 0, 0, 0, 0, 0}},
        // The origin only places the picture: still run-length.
        {"y-origin", [] { Bytes b = Tga(10, 2, 1, 24, {128, 1, 1, 1, 128, 2, 2, 2}); b[10] = 1; return b; }(),
         {1, 1, 1, 2, 2, 2}},
        // A colour map: raw pixels from byte 18.
        {"colour map", [] { Bytes b = Tga(1, 2, 1, 24, {1, 2, 3, 4, 5, 6}); b[1] = 1; b[5] = 255; return b; }(),
         {3, 2, 1, 6, 5, 4}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Read(c.file), c.pixels) << c.what;
}

TEST(TgaRead, PacketHeadersOfTheFullRange)
{
    // 127: 128 raw pixels; 255: a run of 128; together 16 x 16.
    Bytes rle = {127};
    for (int i = 0; i < 128; i++)
        rle.insert(rle.end(), {(uint8_t)i, 0, 0});
    rle.insert(rle.end(), {255, 7, 8, 9});
    Bytes pixels = Read(Tga(10, 16, 16, 24, rle));
    ASSERT_EQ(pixels.size(), 768u);
    for (int i = 0; i < 256; i++)
        EXPECT_EQ(pixels[3 * i + (i < 128 ? 2 : 0)], i < 128 ? i : 9) << i;
    EXPECT_EQ(Read(Tga(2, 8192, 1, 24)).size(), 8192u * 3);  // the largest side
}

TEST(TgaRead, MissingAndUnusableFilesEndTheProgram)
{
    ScratchAppDir dir;
    EXPECT_EXIT({ TgaImage image; ReadTgaImage("data/none.tga", &image); }, testing::ExitedWithCode(1),
                "ERROR \\(not found\\): data/none.tga");
    // Each refused before any pixel is allocated or read.
    const Bytes cases[] = {
        Tga(2, 1, 8193, 24), Tga(10, 65535, 65535, 32, {255, 1, 2, 3, 4}), Tga(2, 0, 16, 24),
        Tga(10, 16, 0, 24), Tga(2, 1, 1, 16, {1, 2}), Bytes{0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 0, 2},
    };
    for (const Bytes& c : cases) {
        SCOPED_TRACE(&c - cases);
        dir.Write("data/bad.tga", std::string(c.begin(), c.end()));
        EXPECT_EXIT({ TgaImage image; ReadTgaImage("data/bad.tga", &image); }, testing::ExitedWithCode(1),
                    "ERROR \\(bad file\\): data/bad.tga");
    }
}

}  // namespace
