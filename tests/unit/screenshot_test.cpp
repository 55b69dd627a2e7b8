// Screenshot files: the numbered names, the skip over files that exist
// (never overwritten), the counter when the folder is missing, and the
// 24-bit TGA written byte for byte.
#include <gtest/gtest.h>

#include <string>

#include "app/config.h"
#include "assets/screenshot.h"
#include "assets/tga.h"
#include "test_util.h"

namespace {

std::string Name(int32_t number)
{
    char path[256];
    ScreenshotName(number, path, sizeof path);
    return path;
}

TEST(ScreenshotName, AtLeastThreeDigits)
{
    EXPECT_EQ(Name(0), "data/screenshots/000.tga");
    EXPECT_EQ(Name(1), "data/screenshots/001.tga");
    EXPECT_EQ(Name(9), "data/screenshots/009.tga");
    EXPECT_EQ(Name(10), "data/screenshots/010.tga");
    EXPECT_EQ(Name(99), "data/screenshots/099.tga");
    EXPECT_EQ(Name(100), "data/screenshots/100.tga");
    EXPECT_EQ(Name(999), "data/screenshots/999.tga");
    EXPECT_EQ(Name(1000), "data/screenshots/1000.tga");
    EXPECT_EQ(Name(123456), "data/screenshots/123456.tga");
}

class ScreenshotFileTest : public ::testing::Test {
protected:
    void SetUp() override { gConfig.screenshotCount = 0; }
    // Creates the next file, writes `text` into it; the name used.
    std::string Create(const char* text = "new")
    {
        char path[256];
        FILE* file = CreateScreenshotFile(path, sizeof path);
        if (!file)
            return "(failed: " + std::string(path) + ")";
        fputs(text, file);
        fclose(file);
        return path;
    }
    ScratchAppDir dir;
};

TEST_F(ScreenshotFileTest, NumbersFollowTheCounter)
{
    dir.Write("data/screenshots/.keep", "");
    EXPECT_EQ(Create(), "data/screenshots/000.tga");
    EXPECT_EQ(Create(), "data/screenshots/001.tga");
    EXPECT_EQ(gConfig.screenshotCount, 2);
    gConfig.screenshotCount = 1000;
    EXPECT_EQ(Create(), "data/screenshots/1000.tga");
    EXPECT_TRUE(dir.Exists("data/screenshots/1000.tga"));
}

TEST_F(ScreenshotFileTest, ThreeFilesInTheFolderGiveTheFourthName)
{
    for (const char* name : {"000.tga", "001.tga", "002.tga"})
        dir.Write(std::string("data/screenshots/") + name, "old");
    ScanScreenshots();
    EXPECT_EQ(gConfig.screenshotCount, 3);
    EXPECT_EQ(Create(), "data/screenshots/003.tga");
}

TEST_F(ScreenshotFileTest, ExistingFilesAreSkippedNotOverwritten)
{
    // A gap and a file of another name: the scan counts 3, but 003 and
    // 004 are taken.
    for (const char* name : {"000.tga", "003.tga", "004.tga"})
        dir.Write(std::string("data/screenshots/") + name, "old");
    ScanScreenshots();
    ASSERT_EQ(gConfig.screenshotCount, 3);
    EXPECT_EQ(Create(), "data/screenshots/005.tga");
    EXPECT_EQ(gConfig.screenshotCount, 6);
    EXPECT_EQ(dir.Read("data/screenshots/003.tga"), "old");
    EXPECT_EQ(dir.Read("data/screenshots/004.tga"), "old");
    EXPECT_EQ(dir.Read("data/screenshots/005.tga"), "new");
    // 001 and 002 were free but lie behind the counter.
    EXPECT_FALSE(dir.Exists("data/screenshots/001.tga"));
}

TEST_F(ScreenshotFileTest, MissingFolderFailsAndTheCounterMovesOn)
{
    EXPECT_EQ(Create(), "(failed: data/screenshots/000.tga)");
    EXPECT_EQ(gConfig.screenshotCount, 1);
}

TEST_F(ScreenshotFileTest, WritesAnUncompressed24BitTga)
{
    dir.Write("data/screenshots/.keep", "");
    char path[256];
    FILE* file = CreateScreenshotFile(path, sizeof path);
    ASSERT_NE(file, nullptr);
    // 300 x 2 pixels: the width needs its high byte.
    std::string pixels;
    for (int i = 0; i < 600; i++)
        pixels += {(char)i, (char)(i >> 8), (char)7};
    EXPECT_TRUE(WriteScreenshotTga(file, 300, 2, (const uint8_t*)pixels.data()));
    fclose(file);
    const std::string header("\0\0\2\0\0\0\0\0\0\0\0\0\x2c\x01\x02\x00\x18\x00", 18);
    EXPECT_EQ(dir.Read(path), header + pixels);

    // The game's reader gets the same picture back in red-green-blue.
    TgaImage image;
    ReadTgaImage(path, &image);
    ASSERT_EQ(image.byteCount, 1800u);
    EXPECT_EQ(image.width, 300u);
    EXPECT_EQ(image.pixels[3 * 299 + 0], 7);
    EXPECT_EQ(image.pixels[3 * 299 + 1], 1);
    EXPECT_EQ(image.pixels[3 * 299 + 2], (uint8_t)299);
    FreeTgaImage(&image);
}

TEST(ScreenshotTga, RefusesSizesTheHeaderCannotHold)
{
    FILE* file = tmpfile();
    uint8_t pixel[3] = {0, 0, 0};
    EXPECT_FALSE(WriteScreenshotTga(file, 0, 1, pixel));
    EXPECT_FALSE(WriteScreenshotTga(file, 65536, 1, pixel));
    EXPECT_EQ(ftell(file), 0);
    fclose(file);
}

}  // namespace
