// The generated data tree (the build writes it to build/data), read with the
// game's own readers: every picture the menus and the race draw, the glyph
// sheets where the text routine looks, every track accepted by the track
// checker, models wound outward, sounds that
// join where they loop.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "app/appdir.h"
#include "assets/model3ds.h"
#include "assets/tga.h"
#include "game/menu_logic.h"
#include "input/keymap.h"
#include "race/track_check.h"
#include "render/font.h"

namespace {

const std::string kData = QB_BUILD_DIR "/data/";

bool Exists(const std::string& path) { return std::filesystem::exists(path); }

class DataTree : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(Exists(kData + "menu")) << "no generated data: build the game_data target first";
        SetAppDirectory(QB_BUILD_DIR);
    }
    void TearDown() override { std::for_each(images.begin(), images.end(), [](TgaImage& i) { FreeTgaImage(&i); }); }
    // The picture data/<name> as the game reads it (a missing file would end
    // the program, so that is checked first).
    const TgaImage& Picture(const std::string& name)
    {
        images.push_back(TgaImage{});
        EXPECT_TRUE(Exists(kData + name)) << name;
        if (Exists(kData + name))
            ReadTgaImage(("data/" + name).c_str(), &images.back());
        return images.back();
    }
    std::vector<TgaImage> images;
};

// Brightest channel in a rectangle measured from the picture's top.
int BrightestIn(const TgaImage& p, int x0, int y0, int x1, int y1)
{
    const int bpp = (int)p.bitsPerPixel / 8;
    int best = 0;
    for (int y = y0; y < y1; y++)
        for (int x = x0; x < x1; x++)
            for (int c = 0; c < 3; c++)
                best = std::max(best, (int)p.pixels[(((int)p.height - 1 - y) * (int)p.width + x) * bpp + c]);
    return best;
}

// Every button's picture has the size the menu draws it at.
TEST_F(DataTree, MenuPicturesHaveTheirButtonSizesAndOtherPicturesTheirShape)
{
    for (const ButtonSpec& b : kButtonTable) {
        const TgaImage& p = Picture(std::string("menu/") + b.picture + ".tga");
        EXPECT_TRUE(p.width == (uint32_t)b.widthPixels && p.height == (uint32_t)b.heightPixels) << b.picture;
    }
    for (const char* name : {"bg/logo.tga", "bg/menu.tga", "textures/mouse.tga", "textures/sky.tga"})
        EXPECT_GE(Picture(name).width, 32u) << name;
}

// The text sheet's alpha is each glyph with a dark rim around it: never less
// than the glyph's own brightness, opaque a few texels beyond its ink in
// every printable cell, and blank on the cell's border texels so that
// filtering never bleeds into the neighbouring cell.
TEST_F(DataTree, TheTextSheetsAlphaOutlinesEveryGlyphInsideItsCell)
{
    const TgaImage& font = Picture("fonts/arial_black.tga");
    ASSERT_EQ(font.bitsPerPixel, 32u);
    const int w = (int)font.width, k = w / 16;
    auto texel = [&](int x, int y) { return font.pixels + ((size_t)(w - 1 - y) * w + x) * 4; };
    for (int set = 0; set < 2; set++) {
        for (int c = 33; c < 127; c++) {
            int row, col;
            GlyphCell((char)c, set, &row, &col);
            int rim = 0, below = 0, border = 0;
            for (int y = row * k; y < (row + 1) * k; y++) {
                for (int x = col * k; x < (col + 1) * k; x++) {
                    const uint8_t* p = texel(x, y);
                    below += p[3] < p[0];
                    rim += p[0] == 0 && p[3] > 200;
                    const bool edge = x == col * k || x == (col + 1) * k - 1 || y == row * k || y == (row + 1) * k - 1;
                    border += edge && p[3] != 0;
                }
            }
            EXPECT_EQ(below, 0) << "code " << c << " set " << set;
            EXPECT_GT(rim, k) << "code " << c << " set " << set;
            EXPECT_EQ(border, 0) << "code " << c << " set " << set;
        }
    }
}

// Every printable character in both sets of the text sheet, and every key
// the game can bind in the key sheet (printed as "%c" of its code in set 1),
// in the cell the text routine draws it from; the other key cells are empty.
TEST_F(DataTree, GlyphSheetsHoldEveryCharacterWhereTheTextRoutineLooks)
{
    auto ink = [](const TgaImage& p, int cell) {
        const int k = (int)p.width / 16, row = cell / 16, col = cell % 16;
        return BrightestIn(p, col * k, row * k, (col + 1) * k, (row + 1) * k);
    };
    auto cellOf = [](int code, int set) {
        int row, col;
        GlyphCell((char)code, set, &row, &col);
        return row * 16 + col;
    };
    const TgaImage& font = Picture("fonts/arial_black.tga");
    for (int set = 0; set < 2; set++)
        for (int c = 33; c < 127; c++)
            EXPECT_GT(ink(font, cellOf(c, set)), 200) << "code " << c << " set " << set;
    EXPECT_EQ(ink(font, cellOf(' ', 0)), 0);
    const TgaImage& keys = Picture("fonts/key.tga");
    for (int usage = 0; usage < 512; usage++) {
        const int code = KeyCodeFromUsage(usage);
        if (code >= 0) {
            EXPECT_GT(ink(keys, cellOf(code, 1)), 200) << "key code " << code;
        }
    }
}

TEST_F(DataTree, EveryTrackPassesTheChecker)
{
    for (const char* name : {"meadow", "dunes", "canyon", "hills", "quarry", "lakes"}) {
        TrackProblems problems;
        EXPECT_TRUE(CheckTrack(name, &problems)) << name << ": " << (problems.count ? problems.text[0] : "");
    }
}

TEST_F(DataTree, ModelsAreWoundOutwardWithTheirTextures)
{
    for (const char* name : {"body", "LP_body", "wheel", "checkpoint", "head", "arrow", "sky"}) {
        SCOPED_TRACE(name);
        Model m;
        ASSERT_TRUE(ReadModelFile(m, (std::string("data/models/") + name + ".3ds").c_str()));
        for (const MeshObject& o : m.objects) {
            ASSERT_GT(o.faceCount, 0) << o.name;
            const Material& mat = m.materials.at((size_t)o.materialIndex);
            if (mat.textureFile[0]) {
                EXPECT_EQ(o.texCoordCount, o.vertexCount) << o.name;
                EXPECT_TRUE(Exists(kData + "textures/" + mat.textureFile)) << mat.textureFile;
            }
            // Signed volume: positive when every face turns outward (the sky is seen from inside).
            double volume = 0.0;
            for (const MeshFace& f : o.faces) {
                const float *a = &o.vertices[3 * f.v[0]], *p = &o.vertices[3 * f.v[1]], *c = &o.vertices[3 * f.v[2]];
                volume += (a[0] * (p[1] * c[2] - p[2] * c[1]) - a[1] * (p[0] * c[2] - p[2] * c[0]) +
                           a[2] * (p[0] * c[1] - p[1] * c[0])) / 6.0;
            }
            EXPECT_EQ(volume > 0.0, strcmp(name, "sky") != 0) << o.name;
        }
    }
}

// Lengths of the sounds (the WAV header is pinned by the writer's test), and
// loops whose end runs on into their start with no larger step than the sound's own.
TEST_F(DataTree, SoundsHaveTheirLengthsAndLoopsJoin)
{
    const struct { const char* name; float minSeconds, maxSeconds; bool loop; } sounds[] = {
        {"music/intro.wav", 0.5f, 3, false}, {"music/menu.wav", 20, 120, true}, {"music/race.wav", 20, 120, true},
        {"seffects/r.wav", 0.02f, 1, false}, {"seffects/tag.wav", 0.1f, 2, false},
        {"seffects/squeeze0.wav", 0.1f, 2, false}, {"seffects/engine.wav", 0.2f, 2, true}};
    for (const auto& e : sounds) {
        SCOPED_TRACE(e.name);
        FILE* f = fopen((kData + e.name).c_str(), "rb");
        ASSERT_TRUE(f);
        std::vector<int16_t> s(1 << 22);
        s.resize(fread(s.data(), 2, s.size(), f));
        fclose(f);
        const int channels = s.size() > 22 ? s[11] : 0, rate = s.size() > 22 ? (uint16_t)s[12] | s[13] << 16 : 0;
        ASSERT_TRUE(channels * rate > 0);
        s.erase(s.begin(), s.begin() + 22);  // the 44-byte header
        const size_t frames = s.size() / channels;
        EXPECT_TRUE((float)frames / rate >= e.minSeconds && (float)frames / rate <= e.maxSeconds) << frames;
        for (int c = 0; c < channels; c++) {
            const int first = s[c], last = s[(frames - 1) * channels + c];
            double step = 0;
            for (size_t i = 1; i < frames; i++)
                step += std::abs(s[i * channels + c] - s[(i - 1) * channels + c]) / (frames - 1.0);
            EXPECT_LE(std::abs(first - last), e.loop ? std::max(600.0, 8.0 * step) : 600.0) << c;
        }
    }
}

}  // namespace
