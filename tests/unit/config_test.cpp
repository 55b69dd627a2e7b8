// The display configuration: defaults, limits, the saved file byte for byte,
// the screenshot and track scans, and damaged files.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "app/config.h"
#include "test_util.h"

namespace {

std::string Log(const ScratchAppDir& dir) { return dir.Read("log.txt"); }

TEST(Config, MissingFileGivesDefaultsAndWritesFourLines)
{
    ScratchAppDir dir;
    LoadConfig();
    EXPECT_EQ(gConfig.width, 800);
    EXPECT_EQ(gConfig.height, 600);
    EXPECT_EQ(gConfig.depth, 32);
    EXPECT_EQ(gConfig.zdepth, 16);
    EXPECT_EQ(gConfig.fullscreen, 1);
    EXPECT_EQ(gConfig.frameratelimit, 300u);  // 500 held to 300
    EXPECT_EQ(gConfig.texturefilter, 2);
    EXPECT_EQ(gConfig.audiodevice, 1);
    EXPECT_EQ(gConfig.loghwinfo, 1);
    EXPECT_EQ(dir.Read("data/config.txt"), "width 800\nheight 600\ndepth 32\nframeratecounter 1\n");
    EXPECT_NE(Log(dir).find("MINOR ERROR (not found): data/config.txt [using defaults]\n"), std::string::npos);
    EXPECT_NE(Log(dir).find("Loading configuration: data/config.txt"), std::string::npos);
    EXPECT_FALSE(dir.Exists("data/config.txt.tmp"));
}

TEST(Config, EmptyFileGivesDefaultsAndIsNotRewritten)
{
    ScratchAppDir dir;
    dir.Write("data/config.txt", "");
    LoadConfig();
    EXPECT_EQ(gConfig.width, 800);
    EXPECT_EQ(dir.Read("data/config.txt"), "");
}

TEST(Config, FrameRateLimits)
{
    struct Case { const char* text; uint32_t limit; bool note; };
    const Case cases[] = {
        {"0", 1, true}, {"20", 20, true}, {"30", 30, false}, {"300", 300, false},
        {"1000", 300, false}, {"-5", 300, false}, {"99999999999999", 300, false},
    };
    for (const Case& c : cases) {
        ScratchAppDir dir;
        dir.Write("data/config.txt", std::string("frameratelimit ") + c.text);
        LoadConfig();
        EXPECT_EQ(gConfig.frameratelimit, c.limit) << c.text;
        bool note = Log(dir).find("NOTE: frameratelimit above 30 is highly recommended!") != std::string::npos;
        EXPECT_EQ(note, c.note) << c.text;
    }
}

TEST(Config, KeysInAnyOrderLastWinsUnknownWordsSkipped)
{
    ScratchAppDir dir;
    dir.Write("data/config.txt", "height 480 colour blue width 640\nwidth 1024 depth 16 audiodevice 0 loghwinfo 0");
    LoadConfig();
    EXPECT_EQ(gConfig.width, 1024);
    EXPECT_EQ(gConfig.height, 480);
    EXPECT_EQ(gConfig.depth, 16);
    EXPECT_EQ(gConfig.audiodevice, 0);
    EXPECT_EQ(gConfig.loghwinfo, 0);
}

TEST(Config, NonNumberValueIsReadAsTheNextKey)
{
    ScratchAppDir dir;
    dir.Write("data/config.txt", "width height 700 depth 12abc");
    LoadConfig();
    EXPECT_EQ(gConfig.width, 800);   // "height" is no number: left as it was
    EXPECT_EQ(gConfig.height, 700);  // ... and then read as a key
    EXPECT_EQ(gConfig.depth, 32);    // 12 is no colour depth the game offers
}

TEST(Config, SaveKeepsHandWrittenKeysAndAddsZeroSwitches)
{
    ScratchAppDir dir;
    dir.Write("data/config.txt", "zdepth 24 frameratelimit 60 texturefilter 0 audiodevice 0 fullscreen 0 width 1024 height 768");
    LoadConfig();
    EXPECT_EQ(gConfig.zdepth, 24);
    EXPECT_EQ(gConfig.fullscreen, 0);
    SaveConfig();
    EXPECT_EQ(dir.Read("data/config.txt"),
              "width 1024\nheight 768\ndepth 32\nframeratecounter 1\nzdepth 24\nframeratelimit 60\n"
              "texturefilter 0\naudiodevice 0\nfullscreen 0\n");
}

TEST(Config, DamagedFilesNeverCrash)
{
    const std::string junk[] = {
        std::string(5000, 'x') + " width 640",
        std::string("width\0 640", 10),
        "width 2147483648 height -2147483649 depth",
        "\xff\xfe\x01\x02 width \x80\x81 640",
        "width 0 height 0",
    };
    for (const std::string& text : junk) {
        ScratchAppDir dir;
        dir.Write("data/config.txt", text);
        LoadConfig();
        EXPECT_GE(gConfig.width, 320);
        EXPECT_GE(gConfig.height, 240);
        EXPECT_LE(gConfig.width, 8192);
    }
    ScratchAppDir dir;
    std::filesystem::create_directories(dir.path() + "data/config.txt");  // a directory
    LoadConfig();
    EXPECT_EQ(gConfig.width, 800);
}

TEST(Config, OnlyTheFirstMegabyteIsRead)
{
    ScratchAppDir dir;
    dir.Write("data/config.txt", "height 480 " + std::string(2 << 20, ' ') + " width 640");
    LoadConfig();
    EXPECT_EQ(gConfig.height, 480);
    EXPECT_EQ(gConfig.width, 800);
}

TEST(Config, SaveFailureKeepsTheOldFile)
{
    ScratchAppDir dir;
    dir.Write("data/config.txt", "width 1024\n");
    LoadConfig();
    std::filesystem::create_directories(dir.path() + "data/config.txt.tmp");  // cannot be opened
    gConfig.width = 640;
    SaveConfig();
    EXPECT_EQ(dir.Read("data/config.txt"), "width 1024\n");
    EXPECT_NE(Log(dir).find("ERROR (not found): data/config.txt"), std::string::npos);
}

TEST(Config, ScreenshotCountSkipsShortNames)
{
    ScratchAppDir dir;
    dir.Write("data/screenshots/000.tga", "x");
    dir.Write("data/screenshots/001.tga", "x");
    dir.Write("data/screenshots/a.tg", "x");
    LoadConfig();
    EXPECT_EQ(gConfig.screenshotCount, 2);
}

TEST(Config, TrackNeedsTerrainTextureAndCourse)
{
    ScratchAppDir dir;
    dir.Write("data/tracks/terrains/alpine.tga", "x");
    dir.Write("data/tracks/textures/alpine.tga", "x");
    dir.Write("data/tracks/terrains/a.tga", "x");
    dir.Write("data/tracks/textures/a.tga", "x");
    dir.Write("data/tracks/checkpoints/a.txt", "x");
    dir.Write("data/tracks/terrains/b.tg", "x");
    dir.Write("data/tracks/textures/b.tga", "x");
    dir.Write("data/tracks/checkpoints/b.txt", "x");
    LoadConfig();
    ASSERT_EQ(gConfig.trackCount, 1);
    EXPECT_STREQ(gConfig.trackNames[0], "a");
    dir.Write("data/tracks/checkpoints/alpine.txt", "x");
    LoadConfig();
    ASSERT_EQ(gConfig.trackCount, 2);
    EXPECT_STREQ(gConfig.trackNames[0], "a");
    EXPECT_STREQ(gConfig.trackNames[1], "alpine");
}

TEST(Config, TrackListHoldsAtMost99AndSkipsOverlongNames)
{
    ScratchAppDir dir;
    for (int i = 0; i < 105; i++) {
        char base[16];
        snprintf(base, sizeof base, "t%03d", i);
        dir.Write(std::string("data/tracks/terrains/") + base + ".tga", "x");
        dir.Write(std::string("data/tracks/textures/") + base + ".tga", "x");
        dir.Write(std::string("data/tracks/checkpoints/") + base + ".txt", "x");
    }
    std::string longName(70, 'a');
    dir.Write("data/tracks/terrains/" + longName + ".tga", "x");
    LoadConfig();
    EXPECT_EQ(gConfig.trackCount, 99);
    EXPECT_STREQ(gConfig.trackNames[98], "t098");
    EXPECT_NE(Log(dir).find("track name too long"), std::string::npos);
}

}  // namespace
