// Text drawn into a real frame and read back: which sheet cell a character
// shows in each set and where the glyph lands, the mask pass that keeps text
// readable on white, the one-pass outline of a sheet with alpha, and the
// inked part of each cell that the glyph quads are cut to.  (The cell and
// pen arithmetic itself is in the unit tests.)
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
    Font font{};
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

// A 256 x 256 sheet with alpha whose cell of 'A' (row 2, column 1) is
// opaque: white in its middle 8 x 8 texels, black around them (the outline).
std::string OutlinedSheet()
{
    std::vector<uint8_t> pixels;
    for (int j = 0; j < 256; j++) {
        const int row = 15 - j / 16, y = 15 - j % 16;  // texel row inside the cell, from its top
        for (int i = 0; i < 256; i++) {
            const bool cell = row == 2 && i / 16 == 1;
            const bool fill = cell && i % 16 >= 4 && i % 16 < 12 && y >= 4 && y < 12;
            const uint8_t grey = fill ? 255 : 0;
            pixels.insert(pixels.end(), {grey, grey, grey, (uint8_t)(cell ? 255 : 0)});
        }
    }
    return iotest::TgaFile(256, 256, 32, pixels);
}

TEST_F(FontPrintTest, OutlinedTextIsOnePassOfColourInsideABlackOutline)
{
    Load(OutlinedSheet());
    ASSERT_TRUE(font.outlined);
    Box box = Frame(1, [&] { PrintTextOutlined(font, 0.25f, 0.5f, 1, 0, 0, 0, 0, 0.1f, "A"); });
    // The whole cell is covered: the glyph's size and place as plain text.
    EXPECT_NEAR(box.CentreX(), 0.335f * kFontWidth, 1.0f);
    EXPECT_NEAR(box.maxX + 1 - box.minX, 2 * 0.1f / 1.2f * kFontWidth, 2.0f);
    EXPECT_NEAR(box.maxY + 1 - box.minY, 0.2f * kFontHeight, 2.0f);
    const uint8_t* centre = At((int)box.CentreX(), (int)box.CentreY());
    EXPECT_EQ(centre[0] + 256 * (centre[1] + 256 * centre[2]), 255);  // red fill
    const uint8_t* rim = At(box.minX + 2, (int)box.CentreY());
    EXPECT_EQ(rim[0] + rim[1] + rim[2], 0);  // black outline, not blended with the white
    EXPECT_EQ(At(box.maxX + 3, (int)box.CentreY())[0], 255);
    EXPECT_FALSE(glIsEnabled(GL_BLEND) || glIsEnabled(GL_TEXTURE_2D));
}

// A 256 x 256 picture (16-texel cells), every texel blank but those listed
// as (x, y) from the picture's top left.
TgaImage InkImage(std::vector<uint8_t>* pixels, std::initializer_list<std::pair<int, int>> inked)
{
    pixels->assign(256 * 256 * 3, 0);
    for (const auto& t : inked)
        (*pixels)[((size_t)(255 - t.second) * 256 + t.first) * 3 + 1] = 1;  // one channel is enough
    return TgaImage{256, 256, 24, (uint32_t)pixels->size(), pixels->data()};
}

TEST_F(FontPrintTest, InkBoxesHoldTheInkWithAMarginInsideTheCell)
{
    float ink[256][4];
    std::vector<uint8_t> pixels;
    // Cell 33 (row 2, column 1): ink from texel (5, 4) to (8, 6) of the cell.
    // Cell 0: the corner texel, whose margin the cell cuts.
    MeasureGlyphInk(InkImage(&pixels, {{16 + 5, 32 + 4}, {16 + 8, 32 + 6}, {0, 0}}), ink);
    const float t = 1.0f / 256.0f;
    // s from 5 - 3 to 8 + 3 + 1; the rows are file rows: 255 - (32 + 6) - 3 to 255 - (32 + 4) + 3 + 1.
    EXPECT_FLOAT_EQ(ink[33][0], 18 * t);
    EXPECT_FLOAT_EQ(ink[33][2], 28 * t);
    EXPECT_FLOAT_EQ(ink[33][1], 214 * t);
    EXPECT_FLOAT_EQ(ink[33][3], 223 * t);
    EXPECT_FLOAT_EQ(ink[0][0], 0.0f);
    EXPECT_FLOAT_EQ(ink[0][2], 4 * t);
    EXPECT_FLOAT_EQ(ink[0][1], 252 * t);
    EXPECT_FLOAT_EQ(ink[0][3], 1.0f);
    for (int cell : {1, 32, 34, 255})
        EXPECT_GE(ink[cell][0], ink[cell][2]) << cell;  // blank: no quad

    // A blank cell draws nothing; an inked one only inside its ink box.
    Load(Sheet({{2 * 16 + 1, 255}}));
    ASSERT_FALSE(font.outlined);
    EXPECT_EQ(Frame(0, [&] { PrintText(font, 0.25f, 0.5f, 1, 1, 1, 0, 0, 0.1f, "B"); }).count, 0);
}

}  // namespace
