// Text drawn into a real frame and read back: which sheet cell a character
// shows in each set and where the glyph lands, the mask pass that keeps text
// readable on white.  (The cell and pen
// arithmetic itself is in the unit tests.)
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <vector>

#include "app/config.h"
#include "io_test_util.h"
#include "render/font.h"
#include "render/gl_util.h"

namespace {

const int kFontWidth = 640, kFontHeight = 480;

// A 256 x 256 glyph sheet (16-pixel cells) whose cells are flat greys:
// `cells` maps row * 16 + column (row 0 at the top) to its grey, the rest
// is `other`.
std::string Sheet(const std::map<int, uint8_t>& cells, uint8_t other = 0)
{
    std::vector<uint8_t> pixels;
    for (int j = 0; j < 256; j++) {  // file rows, bottom first
        int row = 15 - j / 16;
        for (int i = 0; i < 256; i++) {
            auto found = cells.find(row * 16 + i / 16);
            uint8_t grey = found == cells.end() ? other : found->second;
            pixels.insert(pixels.end(), {grey, grey, grey});
        }
    }
    return iotest::TgaFile(256, 256, 24, pixels);
}

struct Box {
    int minX = 1 << 30, minY = 1 << 30, maxX = -1, maxY = -1, count = 0;
    float CentreX() const { return (minX + maxX + 1) / 2.0f; }
    float CentreY() const { return (minY + maxY + 1) / 2.0f; }
};

class FontPrintTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        InitGlState();
        gConfig.texturefilter = 0;  // sharp cell edges
    }
    void Load(const std::string& sheet)
    {
        game.Write("data/fonts/test.tga", sheet);
        LoadFont(font, "data/fonts/test.tga", 0.85f);
    }
    void TearDown() override { FreeFont(font); }
    // Clears to `grey`, runs `print` and reads the frame back; the box of
    // the pixels that differ from the clear colour.
    template <typename F>
    Box Frame(float grey, F print)
    {
        glClearColor(grey, grey, grey, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        print();
        pixels.assign((size_t)kFontWidth * kFontHeight * 3, 0);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, kFontWidth, kFontHeight, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
        Box box;
        for (int y = 0; y < kFontHeight; y++)
            for (int x = 0; x < kFontWidth; x++)
                if (memcmp(At(x, y), grey > 0 ? "\xff\xff\xff" : "\0\0\0", 3) != 0) {
                    box.minX = std::min(box.minX, x);
                    box.maxX = std::max(box.maxX, x);
                    box.minY = std::min(box.minY, y);
                    box.maxY = std::max(box.maxY, y);
                    box.count++;
                }
        return box;
    }
    const uint8_t* At(int x, int y) const { return &pixels[((size_t)y * kFontWidth + x) * 3]; }
    iotest::ScratchGame game{kFontWidth, kFontHeight, true};
    Font font{0.0f, 0};
    std::vector<uint8_t> pixels;
};

TEST_F(FontPrintTest, TheCellOfAInEachSetAndWhereItLands)
{
    Load(Sheet({{2 * 16 + 1, 255}, {10 * 16 + 1, 128}}));

    // Size 0.1: advance 0.085, glyph 2 * 0.1 / 1.2 wide and 0.2 high,
    // centred at (0.25 + 0.085, 0.5 + 0.002).
    Box box = Frame(0, [&] { PrintText(font, 0.25f, 0.5f, 1, 0, 0, 0, 0, 0.1f, "%c", 'A'); });
    EXPECT_NEAR(box.CentreX(), 0.335f * kFontWidth, 1.0f);
    EXPECT_NEAR(box.CentreY(), 0.502f * kFontHeight, 1.0f);
    EXPECT_NEAR(box.maxX + 1 - box.minX, 2 * 0.1f / 1.2f * kFontWidth, 2.0f);
    EXPECT_NEAR(box.maxY + 1 - box.minY, 0.2f * kFontHeight, 2.0f);
    const uint8_t* centre = At((int)box.CentreX(), (int)box.CentreY());
    EXPECT_EQ(centre[0] + 256 * (centre[1] + centre[2]), 255);

    // Set 1: the grey cell of row 10.
    box = Frame(0, [&] { PrintText(font, 0.25f, 0.5f, 1, 1, 1, 0, 1, 0.1f, "A"); });
    EXPECT_NEAR(box.CentreX(), 0.335f * kFontWidth, 1.0f);
    centre = At((int)box.CentreX(), (int)box.CentreY());
    EXPECT_NEAR(centre[0], 128, 1);
    EXPECT_NEAR(centre[2], 128, 1);
}

TEST_F(FontPrintTest, TheMaskKeepsDarkTextReadableOnWhite)
{
    Load(Sheet({{2 * 16 + 1, 255}}));
    Box box = Frame(1, [&] { PrintText(font, 0.25f, 0.5f, 0, 0, 1, 0, 0, 0.1f, "A"); });
    ASSERT_GT(box.count, 0);
    const uint8_t* centre = At((int)box.CentreX(), (int)box.CentreY());
    EXPECT_EQ(centre[0] + 256 * (centre[1] + 256 * centre[2]), 255 << 16);
    EXPECT_EQ(At(box.maxX + 3, (int)box.CentreY())[0], 255);
    EXPECT_FALSE(glIsEnabled(GL_BLEND) || glIsEnabled(GL_TEXTURE_2D));
}

}  // namespace
