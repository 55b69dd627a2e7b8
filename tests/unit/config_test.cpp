// The display configuration: the written file byte for byte, the limits,
// damaged files, the save that keeps hand-written keys, the screenshot and
// track scans.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "app/config.h"
#include "app/settings_file.h"
#include "test_util.h"
#include "track_files.h"

namespace {

bool Logged(const ScratchAppDir& dir, const char* line) { return dir.Read("log.txt").find(line) != std::string::npos; }

TEST(Config, MissingFileGivesDefaultsAndWritesFourLinesAnEmptyOneIsKept)
{
    ScratchAppDir dir;
    LoadConfig();
    EXPECT_EQ(gConfig.frameratelimit, 300u);  // 500 held to 300
    EXPECT_EQ(dir.Read("data/config.txt"), "width 800\nheight 600\ndepth 32\nframeratecounter 1\n");
    dir.Write("data/config.txt", "");
    LoadConfig();
    EXPECT_EQ(gConfig.width, 800);
    EXPECT_EQ(dir.Read("data/config.txt"), "");
}

TEST(Config, ValuesAsWrittenOrHeldInRange)
{
    const struct { std::string text; int width, height, depth; uint32_t limit; bool note; } cases[] = {
        {"frameratelimit 0", 800, 600, 32, 1, true},
        {"frameratelimit 30", 800, 600, 32, 30, false},
        {"frameratelimit 99999999999999", 800, 600, 32, 300, false},
        // Any order, the last wins, unknown words skipped.
        {"height 480 colour blue width 640\nwidth 1024 depth 16", 1024, 480, 16, 300, false},
        // A value that is no number is read as the next key; 12 is no depth.
        {"width height 700 depth 12abc", 800, 700, 32, 300, false},
        {std::string("width\0 640", 10), 800, 600, 32, 300, false},
        {"width 2147483648 height -2147483649 depth", 8192, 240, 32, 300, false},
        {"width 0 height 0", 320, 240, 32, 300, false},
        {"height 480 " + std::string(2 << 20, ' ') + " width 640", 800, 480, 32, 300, false},  // 1 MB read
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text.substr(0, 60));
        ScratchAppDir dir;
        dir.Write("data/config.txt", c.text);
        LoadConfig();
        EXPECT_EQ(std::to_string(gConfig.width) + "x" + std::to_string(gConfig.height) + "x" + std::to_string(gConfig.depth),
                  std::to_string(c.width) + "x" + std::to_string(c.height) + "x" + std::to_string(c.depth));
        EXPECT_EQ(gConfig.frameratelimit, c.limit);
        EXPECT_EQ(Logged(dir, "NOTE: frameratelimit above 30 is highly recommended!"), c.note);
    }
}

TEST(SettingsReader, WordsAreCutInsideTheirBuffer)
{
    SettingsReader r;
    r.LoadText("abcdef  gh");
    struct { char word[4]; char guard; } w = {{0}, 'G'};
    EXPECT_TRUE(r.NextWord(w.word, sizeof w.word));
    EXPECT_STREQ(w.word, "abc");
    EXPECT_EQ(w.guard, 'G');
}

TEST(Config, SaveKeepsHandWrittenKeysOrTheOldFileWhenItFails)
{
    ScratchAppDir dir;
    dir.Write("data/config.txt", "zdepth 24 frameratelimit 60 texturefilter 0 loghwinfo 1 audiodevice 0 fullscreen 0 "
                                 "width 1024 height 768");
    LoadConfig();
    gConfig.frameratecounter = 0;
    SaveConfig();
    EXPECT_EQ(dir.Read("data/config.txt"),
              "width 1024\nheight 768\ndepth 32\nframeratecounter 0\nzdepth 24\nframeratelimit 60\n"
              "texturefilter 0\naudiodevice 0\nloghwinfo 1\nfullscreen 0\n");
    std::filesystem::create_directories(dir.path() + "data/config.txt.tmp");  // cannot be opened
    gConfig.width = 640;
    SaveConfig();
    EXPECT_EQ(dir.Read("data/config.txt").substr(0, 11), "width 1024\n");
    EXPECT_TRUE(Logged(dir, "ERROR (not found): data/config.txt"));
}

TEST(Config, ScansCountScreenshotsAndListUsableTracks)
{
    ScratchAppDir dir;
    dir.Write("data/screenshots/000.tga", "x");
    // A track needs its terrain, texture and course; names of 64
    // characters do not fit the list, names of 32 not a race recording.
    WriteGoodTrack(dir, "alpine");
    std::filesystem::remove(dir.path() + "data/tracks/checkpoints/alpine.txt");
    WriteGoodTrack(dir, "a");
    WriteGoodTrack(dir, std::string(kTrackNameSize, 'z'));
    WriteGoodTrack(dir, std::string(32, 'y'));
    LoadConfig();
    EXPECT_EQ(gConfig.screenshotCount, 1);
    EXPECT_TRUE(gConfig.trackCount == 1 && std::string(gConfig.trackNames[0]) == "a");
    EXPECT_TRUE(Logged(dir, "track name too long"));
    const std::string tooLong = "MINOR ERROR (track): " + std::string(32, 'y') +
                                ": the name has 32 characters; a race recording holds at most 31.";
    EXPECT_TRUE(Logged(dir, tooLong.c_str()));
    dir.Write("data/tracks/checkpoints/alpine.txt", GoodCourse());
    for (int i = 0; i < 105; i++) {
        char base[16];
        snprintf(base, sizeof base, "t%03d", i);
        WriteGoodTrack(dir, base);
    }
    LoadConfig();
    ASSERT_EQ(gConfig.trackCount, 99);
    EXPECT_EQ(std::string(gConfig.trackNames[1]) + " " + gConfig.trackNames[98], "alpine t096");
}

}  // namespace
