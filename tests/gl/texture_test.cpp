// Textures from TGA files in a real rendering context: the colours that
// reach the texture, alpha dropped, the filters by Config::texturefilter,
// sizes GLU must rescale, and deletion; screenshots of the window.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <filesystem>
#include <vector>

#include "app/clock.h"
#include "app/config.h"
#include "assets/screenshot.h"
#include "assets/texture.h"
#include "assets/tga.h"
#include "io_test_util.h"

namespace {

class TextureTest : public ::testing::Test {
protected:
    // Level 0 of the bound texture as red-green-blue bytes.
    std::vector<uint8_t> Level0(int* width, int* height)
    {
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, width);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, height);
        std::vector<uint8_t> pixels((size_t)*width * *height * 3);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
        return pixels;
    }
    iotest::ScratchGame game{320, 240, true};
};

TEST_F(TextureTest, ColoursArriveInPlaceAndAlphaIsDropped)
{
    // 2 x 2, bottom row red then green, top row blue then white; stored
    // blue-green-red.
    game.Write("data/textures/c24.tga",
               iotest::TgaFile(2, 2, 24, {0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255}));
    game.Write("data/textures/c32.tga",
               iotest::TgaFile(2, 2, 32, {0, 0, 255, 0, 0, 255, 0, 10, 255, 0, 0, 128,
                                          255, 255, 255, 255}));
    const std::vector<uint8_t> expected = {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255};
    for (const char* name : {"data/textures/c24.tga", "data/textures/c32.tga"}) {
        SCOPED_TRACE(name);
        Texture texture = 0;
        LoadTexture(name, &texture);
        ASSERT_NE(texture, 0u);
        glBindTexture(GL_TEXTURE_2D, texture);
        int width = 0, height = 0;
        EXPECT_EQ(Level0(&width, &height), expected);
        EXPECT_EQ(width, 2);
        GLint alphaBits = -1;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_ALPHA_SIZE, &alphaBits);
        EXPECT_EQ(alphaBits, 0);
        DeleteTexture(&texture);
    }
    std::string log = game.Read("log.txt");
    EXPECT_NE(log.find("Loading texture: data/textures/c24.tga\n"), std::string::npos);
    EXPECT_NE(log.find("Loading texture: data/textures/c32.tga\n"), std::string::npos);
}

TEST_F(TextureTest, RowsOfOddWidthAreReadPacked)
{
    // 3 x 3 at 24 bits: rows of 9 bytes, not a multiple of 4.  Each row one
    // grey (40, 200, 90), so GLU's rescaling to 4 x 4 keeps every row of the
    // result uniform; rows read at a 4-byte alignment would mix greys.
    std::vector<uint8_t> pixels;
    for (uint8_t grey : {40, 200, 90})
        for (int i = 0; i < 9; i++)
            pixels.push_back(grey);
    game.Write("data/textures/odd.tga", iotest::TgaFile(3, 3, 24, pixels));
    gConfig.texturefilter = 0;
    Texture texture = 0;
    LoadTexture("data/textures/odd.tga", &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    int width = 0, height = 0;
    std::vector<uint8_t> level = Level0(&width, &height);
    ASSERT_EQ(width, 4);
    ASSERT_EQ(height, 4);
    for (int row = 0; row < 4; row++)
        for (int i = 0; i < 12; i++)
            EXPECT_EQ(level[row * 12 + i], level[row * 12]) << row << " " << i;
    EXPECT_EQ(level[0], 40);
    EXPECT_EQ(level[36], 90);
    DeleteTexture(&texture);
}

TEST_F(TextureTest, FiltersFollowTheSetting)
{
    game.Write("data/textures/f.tga", iotest::TgaFile(1, 1, 24, {1, 2, 3}));
    const struct {
        int setting;
        GLint mag, min;
    } cases[] = {
        {0, GL_NEAREST, GL_NEAREST},
        {1, GL_LINEAR, GL_LINEAR},
        {2, GL_LINEAR, GL_LINEAR_MIPMAP_NEAREST},
        {7, GL_LINEAR, GL_LINEAR_MIPMAP_NEAREST},
    };
    for (const auto& c : cases) {
        gConfig.texturefilter = c.setting;
        Texture texture = 0;
        LoadTexture("data/textures/f.tga", &texture);
        glBindTexture(GL_TEXTURE_2D, texture);
        GLint mag = 0, min = 0, wrapS = 0, wrapT = 0;
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &mag);
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &min);
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &wrapS);
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, &wrapT);
        EXPECT_EQ(mag, c.mag) << c.setting;
        EXPECT_EQ(min, c.min) << c.setting;
        EXPECT_EQ(wrapS, GL_REPEAT);
        EXPECT_EQ(wrapT, GL_REPEAT);
        DeleteTexture(&texture);
    }
}

TEST_F(TextureTest, SidesThatAreNotPowersOfTwoGetAWholeMipmapChain)
{
    game.Write("data/textures/odd.tga",
               iotest::TgaFile(100, 60, 24, std::vector<uint8_t>(100 * 60 * 3, 77)));
    Texture texture = 0;
    LoadTexture("data/textures/odd.tga", &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    GLint width = 0, height = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
    EXPECT_EQ(width & (width - 1), 0) << width;
    EXPECT_EQ(height & (height - 1), 0) << height;
    int levels = 0;
    for (GLint w = width, h = height; w > 1 || h > 1; w = w > 1 ? w / 2 : 1, h = h > 1 ? h / 2 : 1)
        levels++;
    GLint last = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, levels, GL_TEXTURE_WIDTH, &last);
    EXPECT_EQ(last, 1);
    EXPECT_EQ(glGetError(), (GLenum)GL_NO_ERROR);
    DeleteTexture(&texture);
}

TEST_F(TextureTest, DeletingFreesTheNameAndClearsTheVariable)
{
    game.Write("data/textures/d.tga", iotest::TgaFile(1, 1, 24, {1, 2, 3}));
    Texture texture = 0;
    LoadTexture("data/textures/d.tga", &texture);
    const GLuint name = texture;
    EXPECT_TRUE(glIsTexture(name));
    DeleteTexture(&texture);
    EXPECT_EQ(texture, 0u);
    EXPECT_FALSE(glIsTexture(name));
    DeleteTexture(&texture);  // 0: nothing
}

TEST_F(TextureTest, ScreenshotsHoldTheWindowAndSkipTheClock)
{
    // Left half red, right half blue, the bottom row green.
    glViewport(0, 0, 320, 240);
    glEnable(GL_SCISSOR_TEST);
    glScissor(0, 0, 160, 240);
    glClearColor(1, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glScissor(160, 0, 160, 240);
    glClearColor(0, 0, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glScissor(0, 0, 320, 1);
    glClearColor(0, 1, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glDisable(GL_SCISSOR_TEST);
    game.Write("data/screenshots/001.tga", "someone else's");
    gConfig.screenshotCount = 0;
    gClock.measureNext = 1;
    SaveScreenshot();
    EXPECT_EQ(gClock.measureNext, 0);
    SaveScreenshot();
    EXPECT_EQ(game.Read("data/screenshots/001.tga"), "someone else's");
    EXPECT_EQ(gConfig.screenshotCount, 3);
    EXPECT_NE(game.Read("log.txt").find("Saving: data/screenshots/000.tga\nSaving: "
                                        "data/screenshots/002.tga\n"),
              std::string::npos);
    EXPECT_EQ(game.Read("data/screenshots/000.tga"), game.Read("data/screenshots/002.tga"));

    std::string file = game.Read("data/screenshots/000.tga");
    ASSERT_EQ(file.size(), 18u + 320 * 240 * 3);
    EXPECT_EQ(file.substr(0, 18), std::string("\0\0\2\0\0\0\0\0\0\0\0\0\x40\x01\xf0\0\x18\0", 18));
    TgaImage image;
    ReadTgaImage("data/screenshots/000.tga", &image);
    auto pixel = [&](int x, int y) {
        const uint8_t* p = image.pixels + ((size_t)y * 320 + x) * 3;
        return std::vector<int>{p[0], p[1], p[2]};
    };
    EXPECT_EQ(pixel(5, 0), (std::vector<int>{0, 255, 0}));     // bottom row first
    EXPECT_EQ(pixel(5, 120), (std::vector<int>{255, 0, 0}));
    EXPECT_EQ(pixel(300, 239), (std::vector<int>{0, 0, 255}));
    FreeTgaImage(&image);
}

TEST_F(TextureTest, AScreenshotThatCannotBeWrittenIsLoggedAndTheGameGoesOn)
{
    std::filesystem::remove_all(game.path() + "data/screenshots");
    gConfig.screenshotCount = 4;
    SaveScreenshot();
    EXPECT_EQ(gConfig.screenshotCount, 5);
    EXPECT_NE(game.Read("log.txt").find("ERROR (unable to write file): data/screenshots/004.tga\n"),
              std::string::npos);
}

}  // namespace
