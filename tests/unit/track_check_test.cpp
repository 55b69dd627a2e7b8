// The track checker: one small hand-made bad track per rule and the course
// reader's line numbers.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "assets/tga.h"
#include "race/race.h"
#include "race/terrain.h"
#include "race/track_check.h"
#include "track_files.h"

namespace {

std::string Problems(const TrackProblems& p)
{
    std::string all;
    for (int k = 0; k < p.count; k++)
        all += std::string(p.text[k]) + "\n";
    return all;
}

std::string CheckOne(const ScratchAppDir& dir, const std::string& heightmap, const std::string& texture,
                     const std::string& course)
{
    WriteTrack(dir, "t", heightmap, texture, course);
    TrackProblems problems;
    CheckTrack("t", &problems);
    return Problems(problems);
}

TEST(TrackCheck, GoodTrackPassesAndEachFileRuleNamesItsProblem)
{
    ScratchAppDir dir;
    const std::string flat = GreyTga(64, 64, 40), texture = RunLengthTga(512, 512);
    EXPECT_EQ(CheckOne(dir, flat, GreyTga(512, 512, 90, nullptr, 32), GoodCourse()), "");
    struct Case { std::string heightmap, texture; const char* expected; };
    std::string rle8 = RunLengthTga(512, 512);
    rle8[16] = 8;
    std::string withId = flat;
    withId[0] = 4;
    const std::vector<Case> cases = {
        {GreyTga(4, 4, 40), texture, "the heightmap is 4 x 4 pixels; it must be 64 x 64."},
        {flat.substr(0, 1000), texture, "the heightmap's pixel data is cut short."},
        {"x", texture, "the heightmap is not a TGA image (1 bytes)."},
        {withId, texture, "the heightmap is not a plain true-colour TGA"},
        {flat, GreyTga(100, 60, 90), "the texture is 100 x 60 pixels; it must be at least 512 x 512."},
        {flat, rle8, "the texture has 8 bits per pixel; it must have 24 or 32."},
        {flat, GreyTga(512, 512, 90).substr(0, 5000), "the texture's pixel data is cut short."},
    };
    for (const Case& c : cases)
        EXPECT_NE(CheckOne(dir, c.heightmap, c.texture, GoodCourse()).find(c.expected), std::string::npos)
            << c.expected;
}

TEST(TrackCheck, CourseReaderNamesTheLineOfEachProblem)
{
    struct Case { const char* text; uint32_t gates; const char* expected; };  // gates: what the game reads
    const Case cases[] = {
        {"1 1 0 3\n2 2 0 3\n\n3 3 zero 3\n4 4 0 3\n", 2, "course line 4: \"zero\" is not a number; the game reads "
                                                         "no further."},
        {"1 1 0 3\n2 2 0 3\n3 3\n", 2, "course line 3: the text ends after 2 of the last gate's 4 numbers."},
        {"1 1 0 3 nan 2 0 3", 1, "course line 1: \"nan\" is not a number"},
        {"1 1 0 3\n2 2 0 1e-45\n", 1, "course line 2: gate 1 lies beyond the range of numbers"},
        {"1 1 0 3\r\n2 2 0 3\r\n", 2, ""},
    };
    for (const Case& c : cases) {
        CourseRead course;
        TrackProblems problems;
        ClearTrackProblems(&problems);
        ReadCourseText(c.text, strlen(c.text), &course, &problems);
        EXPECT_EQ(course.gateCount, c.gates) << c.text;
        const std::string found = Problems(problems);
        if (*c.expected)
            EXPECT_NE(found.find(c.expected), std::string::npos) << found;
        else
            EXPECT_EQ(found, "");
    }
}

TEST(TrackCheck, CourseRulesOnFlatGround)
{
    ScratchAppDir dir;
    const std::string flat = GreyTga(64, 64, 40), texture = RunLengthTga(512, 512);
    struct Case { const char* course; const char* expected; };
    const Case cases[] = {
        {"-0.8 -1.6 180 4\n8 -8 90 3\n", "the course has 2 gates; it needs at least 3."},
        {"-0.8 -1.6 180 4\n8 -8 90 3\n25 8 0 3\n", "course line 3: gate 2 (at 31.2, 10.0) reaches outside the world"},
        {"-0.8 -1.6 180 4\n-0.8 -3 180 4\n8 8 0 3\n", "course line 2: gates 0 and 1 are 1.8 apart"},
        {"-0.8 -1.6 180 4\n8 -8 90 3\n-20 -20 0 3\n", "course line 3: gates 1 and 2 are 38.1 apart; drivers aim"},
        // Gate 3 runs across gate 1 from another part of the course.
        {"-0.8 -1.6 180 4\n8 -8 90 3\n8 8 0 3\n8 -8 0 3\n",
         "course line 4: gates 1 and 3 come within 0.0 of each other"},
        {"-0.8 -1.6 180 4\n8 -8 90 3\n-1 8 90 3\n", "course line 3: gate 2 stands on the start grid"},
        {"-0.8 -1.6 180 4\n8 -8 90 0.2\n8 8 0 3\n", "course line 2: gate 1 has a half-width of 0.2"},
    };
    for (const Case& c : cases)
        EXPECT_NE(CheckOne(dir, flat, texture, c.course).find(c.expected), std::string::npos)
            << c.expected << "\n" << CheckOne(dir, flat, texture, c.course);
}

TEST(TrackCheck, GroundRulesReachAndGrid)
{
    ScratchAppDir dir;
    const std::string texture = RunLengthTga(512, 512);
    // A plateau of full height around gate 1 at world (10, -10): its edge
    // rises 3.19 in one unit, a slope of 1.59 that no car climbs.
    std::vector<float> h(64 * 64, 0.0f);
    for (int j = 15; j < 32; j++)
        for (int i = 34; i < 52; i++)
            h[i + 64 * j] = 255 * 0.0125f;
    EXPECT_NE(CheckOne(dir, GreyTga(64, 64, 0, h.data()), texture, GoodCourse())
                  .find("course line 2: gate 1 (at 10.0, -10.0) stands on ground a car cannot reach"),
              std::string::npos);
    // A ridge through the grid: the car at (-1, 9) stands on a cliff.
    for (int j = 0; j < 64; j++)
        for (int i = 0; i < 64; i++)
            h[i + 64 * j] = (j <= 41 ? 0.0f : 255 * 0.0125f);
    EXPECT_NE(CheckOne(dir, GreyTga(64, 64, 0, h.data()), texture, GoodCourse())
                  .find("the start grid at (-1, 9) has a slope of 1.6"),
              std::string::npos);
}

// A run-length picture of w x h whose raw reading would look nothing like
// it: each row one raw pixel (its row number), then runs of grey 7.  The
// raw twin holds the same pixels uncompressed.
void RowPatternTgas(int w, int h, std::string* packed, std::string* raw)
{
    *packed = TgaHeader(10, w, h, 24);
    *raw = TgaHeader(2, w, h, 24);
    for (int r = 0; r < h; r++) {
        *packed += (char)0 + std::string(3, (char)r);
        *raw += std::string(3, (char)r);
        for (int left = w - 1; left > 0; left -= 128)
            *packed += (char)(127 + (left < 128 ? left : 128)) + std::string(3, '\x07');
        *raw += std::string((size_t)(w - 1) * 3, '\x07');
    }
}

// The pixels ReadTgaImage gives for the track's texture.
std::vector<uint8_t> CheckedTexturePixels()
{
    TgaImage image;
    ReadTgaImage("data/tracks/textures/t.tga", &image);
    std::vector<uint8_t> pixels(image.pixels, image.pixels + image.byteCount);
    FreeTgaImage(&image);
    return pixels;
}

// Each header variant of a run-length heightmap and texture: what the
// checker lists, the readers read as packets; what it refuses, the
// heightmap reader refuses too.  The y-origin of 64 is what a painting
// program wrote when it re-encoded a track; it used to be listed and then
// end the game at the race's start.
TEST(TrackCheck, CheckerAndReadersAgreeOnRunLengthHeaders)
{
    ScratchAppDir dir;
    ConfigureOneTrack();
    gRaceSetup.track = 0;
    std::string mapPacked, mapRaw, texPacked, texRaw;
    RowPatternTgas(64, 64, &mapPacked, &mapRaw);
    RowPatternTgas(512, 512, &texPacked, &texRaw);
    WriteTrack(dir, "t", mapRaw, texRaw, GoodCourse());
    LoadTerrain(1.0f, 0.0125f, 1);
    std::vector<float> heights(gTerrain.heights, gTerrain.heights + kGridSize * kGridSize);
    const std::vector<uint8_t> texels = CheckedTexturePixels();

    struct Variant { const char* what; int at; char value; bool listed; };
    const Variant variants[] = {
        {"plain", 2, 10, true},          {"x-origin 5", 8, 5, true},
        {"y-origin 64", 10, 64, true},   {"y-origin 256", 11, 1, true},
        {"image ID", 0, 1, false},       {"colour-map type", 1, 1, false},
        {"colour-map start", 3, 1, false}, {"colour-map length", 5, 1, false},
        {"colour-map entry size", 7, 24, false},
    };
    for (const Variant& v : variants) {
        SCOPED_TRACE(v.what);
        std::string map = mapPacked, texture = texPacked;
        map[v.at] = v.value;
        texture[v.at] = v.value;
        WriteTrack(dir, "t", map, texture, GoodCourse());
        TrackProblems problems;
        EXPECT_EQ(CheckTrack("t", &problems), v.listed) << Problems(problems);
        if (v.listed) {
            // In a child: a reader that refuses the file ends the program.
            EXPECT_EXIT(
                {
                    memset(gTerrain.heights, 0, sizeof gTerrain.heights);
                    LoadTerrain(1.0f, 0.0125f, 1);
                    exit(std::equal(heights.begin(), heights.end(), gTerrain.heights) ? 0 : 2);
                },
                ::testing::ExitedWithCode(0), "");
            EXPECT_TRUE(CheckedTexturePixels() == texels);
        } else {
            EXPECT_NE(Problems(problems).find("the heightmap is not a plain true-colour TGA"), std::string::npos);
            EXPECT_NE(Problems(problems).find("the texture is not a plain true-colour TGA"), std::string::npos);
            EXPECT_EXIT(LoadTerrain(1.0f, 0.0125f, 1), ::testing::ExitedWithCode(1), "ERROR \\(bad file\\)");
        }
    }
}

// The texture reader refuses sides above 8192, so the checker does too.
TEST(TrackCheck, TextureNoLargerThanTheReaderTakes)
{
    ScratchAppDir dir;
    const std::string flat = GreyTga(64, 64, 40);
    EXPECT_EQ(CheckOne(dir, flat, RunLengthTga(8192, 512), GoodCourse()), "");
    EXPECT_EQ(CheckOne(dir, flat, RunLengthTga(8200, 512), GoodCourse()),
              "the texture is 8200 x 512 pixels; it must be at most 8192 x 8192.\n");
    EXPECT_EQ(CheckOne(dir, flat, RunLengthTga(512, 8193), GoodCourse()),
              "the texture is 512 x 8193 pixels; it must be at most 8192 x 8192.\n");
}

// A race is recorded under its track's name, which must fit the
// recording: 31 characters do, 32 are refused (they used to be listed and
// their races never recorded).
TEST(TrackCheck, NamesARecordingCanHold)
{
    ScratchAppDir dir;
    TrackProblems problems;
    const std::string fits(31, 'n'), tooLong(32, 'n');
    WriteGoodTrack(dir, fits);
    EXPECT_TRUE(CheckTrack(fits.c_str(), &problems)) << Problems(problems);
    WriteGoodTrack(dir, tooLong);
    EXPECT_FALSE(CheckTrack(tooLong.c_str(), &problems));
    EXPECT_EQ(Problems(problems), "the name has 32 characters; a race recording holds at most 31.\n");
}

}  // namespace
