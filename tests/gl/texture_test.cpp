// Textures from TGA files in a real rendering context: the colours that
// reach the texture, alpha dropped, rows of odd width, sizes GLU must
// rescale; a screenshot of the window.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <vector>

#include "app/clock.h"
#include "app/config.h"
#include "assets/screenshot.h"
#include "assets/texture.h"
#include "io_test_util.h"

namespace {

class TextureTest : public ::testing::Test {
protected:
    // Loads data/textures/<name>, binds it and returns level 0 as red-green-blue bytes.
    std::vector<uint8_t> Load(const char* name, int* width, int* height)
    {
        texture = 0;
        LoadTexture((std::string("data/textures/") + name).c_str(), &texture);
        glBindTexture(GL_TEXTURE_2D, texture);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, width);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, height);
        std::vector<uint8_t> pixels((size_t)*width * *height * 3);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
        return pixels;
    }
    void TearDown() override { DeleteTexture(&texture); }
    iotest::ScratchGame game{320, 240, true};
    Texture texture = 0;
};

TEST_F(TextureTest, ColoursArriveInPlaceAndAlphaIsDropped)
{
    // 2 x 2, bottom row red then green, top row blue then white; stored blue-green-red.
    game.Write("data/textures/c24.tga", iotest::TgaFile(2, 2, 24, {0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255}));
    game.Write("data/textures/c32.tga",
               iotest::TgaFile(2, 2, 32, {0, 0, 255, 0, 0, 255, 0, 10, 255, 0, 0, 128, 255, 255, 255, 255}));
    for (const char* name : {"c24.tga", "c32.tga"}) {
        int width = 0, height = 0;
        EXPECT_EQ(Load(name, &width, &height), (std::vector<uint8_t>{255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255}))
            << name;
        GLint alphaBits = -1;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_ALPHA_SIZE, &alphaBits);
        EXPECT_EQ(alphaBits, 0);
        DeleteTexture(&texture);
        EXPECT_EQ(texture, 0u);
    }
    EXPECT_NE(game.Read("log.txt").find("Loading texture: data/textures/c32.tga\n"), std::string::npos);
}

TEST_F(TextureTest, OddRowsAreReadPackedAndRescaledWithAWholeMipmapChain)
{
    // 3 x 3 at 24 bits: rows of 9 bytes.  Each row one grey, so GLU's
    // rescaling to 4 x 4 keeps every row uniform; rows read at a 4-byte
    // alignment would mix greys.
    std::vector<uint8_t> pixels;
    for (uint8_t grey : {40, 200, 90})
        pixels.insert(pixels.end(), 9, grey);
    game.Write("data/textures/odd.tga", iotest::TgaFile(3, 3, 24, pixels));
    int width = 0, height = 0;
    std::vector<uint8_t> level = Load("odd.tga", &width, &height);
    ASSERT_EQ(width * 10 + height, 44);
    for (int i = 0; i < 48; i++)
        EXPECT_EQ(level[i], level[i / 12 * 12]) << i;
    EXPECT_EQ(level[0], 40);
    EXPECT_EQ(level[36], 90);
    GLint last = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 2, GL_TEXTURE_WIDTH, &last);
    EXPECT_EQ(last, 1);
    EXPECT_EQ(glGetError(), (GLenum)GL_NO_ERROR);

    // Plain bilinear filtering replaces the mipmapped one; a chosen
    // nearest or linear filter stays.
    GLint filter = 0;
    for (int setting : {2, 0}) {
        gConfig.texturefilter = setting;
        Load("odd.tga", &width, &height);
        UseBilinearFilter(texture);
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &filter);
        EXPECT_EQ(filter, setting == 2 ? GL_LINEAR : GL_NEAREST);
        DeleteTexture(&texture);
    }
    gConfig.texturefilter = 2;
}

// The file holds the window's pixels, bottom row first, in blue-green-red.
TEST_F(TextureTest, ScreenshotsHoldTheWindow)
{
    // Left half red, right half blue, the bottom row green.
    glViewport(0, 0, 320, 240);
    glEnable(GL_SCISSOR_TEST);
    const struct { int x, y, w, h; float r, g, b; } parts[] = {
        {0, 0, 160, 240, 1, 0, 0}, {160, 0, 160, 240, 0, 0, 1}, {0, 0, 320, 1, 0, 1, 0}};
    for (const auto& p : parts) {
        glScissor(p.x, p.y, p.w, p.h);
        glClearColor(p.r, p.g, p.b, 1);
        glClear(GL_COLOR_BUFFER_BIT);
    }
    glDisable(GL_SCISSOR_TEST);
    gConfig.screenshotCount = 0;
    gClock.measureNext = 1;
    SaveScreenshot();
    EXPECT_EQ(gClock.measureNext, 0);  // the slow frame is not measured
    const std::string file = game.Read("data/screenshots/000.tga");
    ASSERT_EQ(file.size(), 18u + 320 * 240 * 3);
    EXPECT_EQ(file.substr(0, 18), std::string("\0\0\2\0\0\0\0\0\0\0\0\0\x40\x01\xf0\0\x18\0", 18));
    auto pixel = [&](int x, int y) { return file.substr(18 + ((size_t)y * 320 + x) * 3, 3); };
    EXPECT_EQ(pixel(5, 0), std::string("\0\xff\0", 3));
    EXPECT_EQ(pixel(5, 120), std::string("\0\0\xff", 3));
    EXPECT_EQ(pixel(300, 239), std::string("\xff\0\0", 3));
}

}  // namespace
