// The ground: the height grid from a heightmap and the ground query at
// corners, on the diagonal, off the grid and with a coarse step.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

#include "app/config.h"
#include "race_world.h"
#include "track_files.h"

namespace {

// Raw 24-bit pixels of one grey level each.
std::string GreyPixels(int count, unsigned char (*grey)(int))
{
    std::string data;
    for (int p = 0; p < count; p++)
        data += std::string(3, (char)grey(p));
    return data;
}

class TerrainLoadTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ConfigureOneTrack();
        SetDefaultPrefs();
        gRaceSetup.track = 0;
        memset(&gTerrain, 0, sizeof gTerrain);
    }
    void WriteMap(const std::string& bytes) { dir.Write("data/tracks/terrains/t.tga", bytes); }
    ScratchAppDir dir;
};

TEST_F(TerrainLoadTest, GreyLevelsBecomeHeightsWithTheFirstRowFarthest)
{
    // Pixel 0 blue 30, green 60, red 90: grey 60, height 0.75.  Every
    // other pixel p has grey p % 200.
    std::string data = GreyPixels(4096, [](int p) { return (unsigned char)(p % 200); });
    data[0] = 30;
    data[1] = 60;
    data[2] = 90;
    WriteMap(TgaHeader(2, 64, 64, 24) + data);
    LoadTerrain(1.0f, 0.0125f, 1);
    EXPECT_FLOAT_EQ(GridHeight(0, 63), 0.75f);  // first pixel: column 0, row 63
    EXPECT_FLOAT_EQ(GridHeight(0, 62), 64 * 0.0125f);
    EXPECT_FLOAT_EQ(GridHeight(63, 0), (4095 % 200) * 0.0125f);  // last three bytes
}

TEST_F(TerrainLoadTest, RunLengthDataMatchesItsRawTwin)
{
    // Each row: a raw packet of one pixel (0), a run of one (128), a run of 62 (189).
    std::string raw, rle;
    for (int r = 0; r < 64; r++) {
        const std::string a(3, (char)r), b(3, (char)(r + 1)), c(3, (char)2);
        rle += (char)0 + a + (char)128 + b + (char)189 + c;
        raw += a + b;
        for (int k = 0; k < 62; k++)
            raw += c;
    }
    WriteMap(TgaHeader(2, 64, 64, 24) + raw);
    LoadTerrain(1.0f, 1.0f, 1);
    float expected[kGridSize * kGridSize];
    memcpy(expected, gTerrain.heights, sizeof expected);
    memset(gTerrain.heights, 0, sizeof gTerrain.heights);
    WriteMap(TgaHeader(10, 64, 64, 24) + rle);
    LoadTerrain(1.0f, 1.0f, 1);
    EXPECT_EQ(memcmp(expected, gTerrain.heights, sizeof expected), 0);
}

TEST_F(TerrainLoadTest, UnusableHeightmapsEndTheProgram)
{
    const std::string full = GreyPixels(4096, [](int) { return (unsigned char)9; });
    const std::string bad[] = {
        TgaHeader(2, 64, 64, 24).substr(0, 17),                        // header cut short
        TgaHeader(2, 64, 64, 24) + full.substr(0, full.size() - 1),    // pixels cut short
        TgaHeader(2, 64, 0, 24) + full,                                // zero-sized
        TgaHeader(2, 4097, 1, 24) + full,                              // oversized
        TgaHeader(2, 1, 4097, 24) + full + "abc",
        TgaHeader(2, 64, 64, 16) + full,                               // unsupported depths
        TgaHeader(1, 64, 64, 24) + full,                               // colour-mapped
        TgaHeader(10, 64, 64, 24) + std::string(1, (char)255) + "abc", // run-length data ends early
        TgaHeader(10, 64, 64, 24) + std::string(1, (char)127) + "ab",  // raw packet cut inside a pixel
    };
    for (const std::string& bytes : bad) {
        WriteMap(bytes);
        EXPECT_EXIT(LoadTerrain(1.0f, 0.0125f, 1), ::testing::ExitedWithCode(1),
                    "ERROR \\(bad file\\): data/tracks/terrains/t.tga")
            << bytes.size() << " bytes";
    }
    std::remove((dir.path() + "data/tracks/terrains/t.tga").c_str());
    EXPECT_EXIT(LoadTerrain(1.0f, 0.0125f, 1), ::testing::ExitedWithCode(1),
                "ERROR \\(not found\\): data/tracks/terrains/t.tga");
    // Outside the list of one, whatever names lie beyond it.
    snprintf(gConfig.trackNames[1], kTrackNameSize, "%s", "u");
    dir.Write("data/tracks/terrains/u.tga", GreyTga(64, 64, 9));
    gRaceSetup.track = 1;
    EXPECT_EXIT(LoadTerrain(1.0f, 0.0125f, 1), ::testing::ExitedWithCode(1), "ERROR \\(not found\\)");
}

class GroundHeightTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetRaceWorld(1);
        // Distinct heights: (i, j) -> i * 0.01 + j * 0.1 + a bump at (1, 1).
        for (int j = 0; j < kGridSize; j++)
            for (int i = 0; i < kGridSize; i++)
                gTerrain.heights[i + kGridSize * j] = (float)i * 0.01f + (float)j * 0.1f;
        gTerrain.heights[1 + kGridSize] = 2.0f;
    }
    float sx = -7.0f, sz = -7.0f;
};

TEST_F(GroundHeightTest, CornersGiveTheirSamplesAndTheDiagonalBelongsToTheFarTriangle)
{
    EXPECT_FLOAT_EQ(GroundHeight(-32.5f, -32.5f, &sx, &sz), GridHeight(0, 0));
    // (-32, -32): cell (0, 0), fx = fz = 0.5, on the diagonal.
    const float h00 = GridHeight(0, 0), h10 = GridHeight(1, 0), h01 = GridHeight(0, 1), h11 = GridHeight(1, 1);
    EXPECT_NEAR(GroundHeight(-32.0f, -32.0f, &sx, &sz), (h10 + h01) / 2.0f, 1e-6f);
    EXPECT_FLOAT_EQ(sx, h11 - h01);
    EXPECT_FLOAT_EQ(sz, h11 - h10);
    // Just before the diagonal: the near triangle, slopes from corner (0, 0).
    const float h = GroundHeight(-32.3f, -32.3f, &sx, &sz);
    EXPECT_NEAR(h, h00 + (h10 - h00) * 0.2f + (h01 - h00) * 0.2f, 1e-5f);
    EXPECT_FLOAT_EQ(sx, h10 - h00);
    EXPECT_FLOAT_EQ(sz, h01 - h00);
    // Just after it: (h11 - h01) * 0.6 + h01 + (h10 - h11) * 0.4, the bump at (1, 1) pulling it up.
    EXPECT_NEAR(GroundHeight(-31.9f, -31.9f, &sx, &sz), 1.9f * 0.6f + 0.1f - 1.99f * 0.4f, 1e-4f);
}

TEST_F(GroundHeightTest, OffTheTerrainIsZeroAndLeavesTheSlopes)
{
    EXPECT_EQ(GroundHeight(30.6f, 0.0f, &sx, &sz), 0.0f);  // i = 63
    EXPECT_EQ(GroundHeight(NAN, 0.0f, &sx, &sz), 0.0f);
    EXPECT_NE(GroundHeight(30.4f, 0.0f, &sx, &sz), 0.0f);  // i = 62, the last cell
}

TEST_F(GroundHeightTest, StepTwoUsesEverySecondSample)
{
    gTerrain.pixelSkip = 2;
    // Cell (0, 0)-(2, 2), 2 wide: the odd samples are ignored.
    EXPECT_FLOAT_EQ(GroundHeight(-32.5f, -32.5f, &sx, &sz), GridHeight(0, 0));
    EXPECT_FLOAT_EQ(GroundHeight(-31.5f, -32.5f, &sx, &sz), (GridHeight(0, 0) + GridHeight(2, 0)) / 2.0f);
    EXPECT_EQ(GroundHeight(29.6f, 0.0f, &sx, &sz), 0.0f);  // would need column 64
    EXPECT_NE(GroundHeight(29.4f, 0.0f, &sx, &sz), 0.0f);
}

}  // namespace
