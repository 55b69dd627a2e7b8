// Writing TGA files byte for byte: the generator's writer (header, raw
// pixels, run-length packing into packets of at most 128 pixels) and the
// screenshots (numbered names, taken names skipped, never overwritten).
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <string>
#include <vector>

#include "app/config.h"
#include "assets/screenshot.h"
#include "assets/tga_write.h"
#include "chunk_builder.h"
#include "test_util.h"

namespace {

Bytes Header(int type, int w, int h, int bpp)
{
    return {0, 0, (uint8_t)type, 0, 0, 0, 0, 0, 0, 0, 0, 0, (uint8_t)w, (uint8_t)(w >> 8), (uint8_t)h,
            (uint8_t)(h >> 8), (uint8_t)bpp, 0};
}

// Every byte WriteTga writes ("" when it refuses).
Bytes Written(int w, int h, int bpp, const Bytes& pixels, bool rle)
{
    FILE* f = tmpfile();
    const bool ok = WriteTga(f, w, h, bpp, pixels.empty() ? nullptr : pixels.data(), rle);
    Bytes bytes((size_t)ftell(f));
    rewind(f);
    EXPECT_EQ(fread(bytes.data(), 1, bytes.size(), f), bytes.size());
    fclose(f);
    EXPECT_EQ(ok, !bytes.empty());
    return bytes;
}

Bytes Same(int n, uint8_t b, uint8_t g, uint8_t r)
{
    Bytes p;
    while (n-- > 0)
        p.insert(p.end(), {b, g, r});
    return p;
}

TEST(TgaWrite, RawIsTheHeaderThenThePixelsAsGiven)
{
    Bytes pixels(300 * 2 * 4);
    for (size_t i = 0; i < pixels.size(); i++)
        pixels[i] = (uint8_t)(i * 7);
    EXPECT_EQ(Written(300, 2, 32, pixels, false), Cat({Header(2, 300, 2, 32), pixels}));
    const Bytes small = {1, 2, 3, 4, 5, 6};
    for (auto refused : {std::array<int, 3>{0, 1, 24}, {1, 0, 24}, {65536, 1, 24}, {1, 1, 16}})
        EXPECT_TRUE(Written(refused[0], refused[1], refused[2], small, false).empty());
}

TEST(TgaWrite, RunLengthPackets)
{
    Bytes distinct;
    for (int k = 0; k < 130; k++)
        distinct.insert(distinct.end(), {(uint8_t)k, (uint8_t)(k >> 8), 7});
    const struct { const char* what; int w, h, bpp; Bytes pixels, packets; } cases[] = {
        {"130 equal: a full run and a run of two", 130, 1, 24, Same(130, 9, 8, 7), {255, 9, 8, 7, 129, 9, 8, 7}},
        {"129 equal and another: the leftover goes raw", 130, 1, 24, Cat({Same(129, 1, 1, 1), Same(1, 2, 2, 2)}),
         {255, 1, 1, 1, 1, 1, 1, 1, 2, 2, 2}},
        {"130 distinct: raw 128 and raw 2", 130, 1, 24, distinct,
         Cat({{127}, Bytes(distinct.begin(), distinct.begin() + 384), {1}, Bytes(distinct.begin() + 384, distinct.end())})},
        {"A B C C", 4, 1, 24, {1, 0, 0, 2, 0, 0, 3, 0, 0, 3, 0, 0}, {1, 1, 0, 0, 2, 0, 0, 129, 3, 0, 0}},
        {"alpha counts", 3, 1, 32, {5, 5, 5, 1, 5, 5, 5, 2, 5, 5, 5, 2}, {0, 5, 5, 5, 1, 129, 5, 5, 5, 2}},
        {"runs join rows", 3, 2, 24, {1, 1, 1, 2, 2, 2, 3, 3, 3, 3, 3, 3, 3, 3, 3, 4, 4, 4},
         {1, 1, 1, 1, 2, 2, 2, 130, 3, 3, 3, 0, 4, 4, 4}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Written(c.w, c.h, c.bpp, c.pixels, true), Cat({Header(10, c.w, c.h, c.bpp), c.packets})) << c.what;
}

TEST(Screenshots, NamesFollowTheCounterAndSkipTakenFiles)
{
    char path[256];
    ScreenshotName(1000, path, sizeof path);
    EXPECT_STREQ(path, "data/screenshots/1000.tga");
    ScratchAppDir dir;
    auto create = [&]() {
        FILE* file = CreateScreenshotFile(path, sizeof path);
        if (!file)
            return "(failed: " + std::string(path) + ")";
        fputs("new", file);
        fclose(file);
        return std::string(path);
    };
    // A file where the folder should be: the counter moves on.
    dir.Write("data/screenshots", "not a folder");
    gConfig.screenshotCount = 0;
    EXPECT_EQ(create(), "(failed: data/screenshots/000.tga)");
    EXPECT_EQ(gConfig.screenshotCount, 1);
    std::remove((dir.path() + "data/screenshots").c_str());
    // A gap: the scan counts 3 files, but 003 and 004 are taken.
    for (const char* name : {"000.tga", "003.tga", "004.tga"})
        dir.Write(std::string("data/screenshots/") + name, "old");
    ScanScreenshots();
    ASSERT_EQ(gConfig.screenshotCount, 3);
    EXPECT_EQ(create(), "data/screenshots/005.tga");
    EXPECT_EQ(gConfig.screenshotCount, 6);
    EXPECT_EQ(dir.Read("data/screenshots/003.tga") + dir.Read("data/screenshots/004.tga"), "oldold");
    EXPECT_FALSE(dir.Exists("data/screenshots/001.tga"));  // free, but behind the counter
}

// A fresh game folder (as installed, without data/screenshots/): the first
// picture makes the folder.
TEST(Screenshots, FirstPictureMakesTheMissingFolder)
{
    ScratchAppDir dir;
    ASSERT_FALSE(dir.Exists("data/screenshots"));
    gConfig.screenshotCount = 0;
    char path[256];
    FILE* file = CreateScreenshotFile(path, sizeof path);
    ASSERT_TRUE(file != nullptr) << path;
    fputs("new", file);
    fclose(file);
    EXPECT_STREQ(path, "data/screenshots/000.tga");
    EXPECT_EQ(dir.Read("data/screenshots/000.tga"), "new");
}

TEST(Screenshots, AreUncompressed24BitTgaFiles)
{
    // 300 x 2 pixels: the width needs its high byte.
    std::string pixels;
    for (int i = 0; i < 600; i++)
        pixels += {(char)i, (char)(i >> 8), (char)7};
    FILE* file = tmpfile();
    EXPECT_TRUE(WriteScreenshotTga(file, 300, 2, (const uint8_t*)pixels.data()));
    std::string written(18 + 1800, 0);
    rewind(file);
    EXPECT_EQ(fread(&written[0], 1, written.size() + 1, file), written.size());
    fclose(file);
    EXPECT_EQ(written, std::string("\0\0\2\0\0\0\0\0\0\0\0\0\x2c\x01\x02\x00\x18\x00", 18) + pixels);
}

}  // namespace
