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
    for (const char* name : {"body", "MP_body", "LP_body", "wheel", "MP_wheel", "LP_wheel", "checkpoint", "head", "arrow", "sky"}) {
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

// The sky dome starts at the horizon (below it the race view's clear colour,
// the horizon row's, is the same picture for fewer pixels), and its lowest
// ring takes the horizon row.
TEST_F(DataTree, SkyDomeStartsAtTheHorizon)
{
    Model m;
    ASSERT_TRUE(ReadModelFile(m, "data/models/sky.3ds"));
    ASSERT_EQ(m.objects.size(), 1u);
    const MeshObject& o = m.objects[0];
    float lowest = 1e9f, highest = -1e9f;
    for (int32_t v = 0; v < o.vertexCount; v++) {
        const float* p = &o.vertices[3 * (size_t)v];
        EXPECT_NEAR(std::sqrt(p[0] * p[0] + p[1] * p[1] + p[2] * p[2]), 150.0f, 0.01f);
        lowest = std::min(lowest, p[2]);
        highest = std::max(highest, p[2]);
        if (p[2] < 0.01f) {
            EXPECT_LT(o.texCoords[2 * (size_t)v + 1], 0.01f) << "on the horizon, vertex " << v;
        }
    }
    EXPECT_NEAR(lowest, 0.0f, 0.01f);
    EXPECT_NEAR(highest, 150.0f, 0.01f);

    // The horizon row, and the one the filter blends it with, are all the
    // race view's clear colour (cf e3 f2), so that the dome's lowest band
    // meets an uncovered pixel below it without a seam.
    const TgaImage& sky = Picture("textures/sky.tga");
    ASSERT_GE(sky.height, 2u);
    const uint32_t bpp = sky.bitsPerPixel / 8;
    int off = 0;
    for (uint32_t i = 0; i < 2 * sky.width; i++) {
        const uint8_t* rgb = sky.pixels + (size_t)i * bpp;
        off += rgb[0] != 0xcf || rgb[1] != 0xe3 || rgb[2] != 0xf2;
    }
    EXPECT_EQ(off, 0) << "texels of the two bottom rows differ from the clear colour";
}

// Distance from p to the triangle abc (the closest point found by the
// triangle's regions: corners, edges, face).
float DistanceToTriangle(const float* p, const float* a, const float* b, const float* c)
{
    const auto sub = [](const float* u, const float* v, float* out) {
        for (int k = 0; k < 3; k++)
            out[k] = u[k] - v[k];
    };
    const auto dot = [](const float* u, const float* v) { return u[0] * v[0] + u[1] * v[1] + u[2] * v[2]; };
    float ab[3], ac[3], ap[3], bp[3], cp[3], q[3];
    sub(b, a, ab);
    sub(c, a, ac);
    sub(p, a, ap);
    const auto at = [&](float v, float w) {
        for (int k = 0; k < 3; k++)
            q[k] = a[k] + ab[k] * v + ac[k] * w;
        float d[3];
        sub(p, q, d);
        return sqrtf(dot(d, d));
    };
    const float d1 = dot(ab, ap), d2 = dot(ac, ap);
    if (d1 <= 0 && d2 <= 0)
        return at(0, 0);
    sub(p, b, bp);
    const float d3 = dot(ab, bp), d4 = dot(ac, bp);
    if (d3 >= 0 && d4 <= d3)
        return at(1, 0);
    const float vc = d1 * d4 - d3 * d2;
    if (vc <= 0 && d1 >= 0 && d3 <= 0)
        return at(d1 / (d1 - d3), 0);
    sub(p, c, cp);
    const float d5 = dot(ab, cp), d6 = dot(ac, cp);
    if (d6 >= 0 && d5 <= d6)
        return at(0, 1);
    const float vb = d5 * d2 - d1 * d6;
    if (vb <= 0 && d2 >= 0 && d6 <= 0)
        return at(0, d2 / (d2 - d6));
    const float va = d3 * d6 - d5 * d4;
    if (va <= 0 && d4 - d3 >= 0 && d5 - d6 >= 0) {
        const float w = (d4 - d3) / ((d4 - d3) + (d5 - d6));
        return at(1 - w, w);
    }
    const float denom = 1.0f / (va + vb + vc);
    return at(vb * denom, vc * denom);
}

// The farthest any used corner of `from` lies from the surface of `to`.
float FarthestCorner(const MeshObject& from, const MeshObject& to)
{
    float worst = 0.0f;
    for (const MeshFace& f : from.faces) {
        for (uint16_t v : f.v) {
            float nearest = 1e9f;
            for (const MeshFace& g : to.faces) {
                nearest = std::min(nearest, DistanceToTriangle(&from.vertices[3 * v], &to.vertices[3 * g.v[0]],
                                                               &to.vertices[3 * g.v[1]], &to.vertices[3 * g.v[2]]));
            }
            worst = std::max(worst, nearest);
        }
    }
    return worst;
}

TEST(TriangleDistance, CornersEdgesAndFace)
{
    const float a[3] = {0, 0, 0}, b[3] = {2, 0, 0}, c[3] = {0, 2, 0};
    const float above[3] = {0.5f, 0.5f, 3}, beyondCorner[3] = {-3, -4, 0}, besideEdge[3] = {1, -2, 0},
                pastHypotenuse[3] = {2, 2, 0};
    EXPECT_FLOAT_EQ(DistanceToTriangle(above, a, b, c), 3.0f);
    EXPECT_FLOAT_EQ(DistanceToTriangle(beyondCorner, a, b, c), 5.0f);
    EXPECT_FLOAT_EQ(DistanceToTriangle(besideEdge, a, b, c), 2.0f);
    EXPECT_FLOAT_EQ(DistanceToTriangle(pastHypotenuse, a, b, c), sqrtf(2.0f));
}

// The middle models and the low wheel stand in for the full ones on cars
// small on screen: the same objects in the same materials, every corner of
// either within 4 cm (3 pixels of a car 150 pixels long, 2 of one 100 long)
// of the other's surface, in far fewer triangles.
TEST_F(DataTree, MiddleModelsMatchTheFullOnesInFewerTriangles)
{
    const struct { const char* full; const char* middle; float maxShare; } pairs[] = {
        {"body", "MP_body", 0.75f}, {"wheel", "MP_wheel", 0.55f}, {"wheel", "LP_wheel", 0.25f}};
    for (const auto& pair : pairs) {
        SCOPED_TRACE(pair.middle);
        Model full, middle;
        ASSERT_TRUE(ReadModelFile(full, (std::string("data/models/") + pair.full + ".3ds").c_str()));
        ASSERT_TRUE(ReadModelFile(middle, (std::string("data/models/") + pair.middle + ".3ds").c_str()));
        ASSERT_EQ(full.objects.size(), middle.objects.size());
        ASSERT_EQ(full.materials.size(), middle.materials.size());
        for (size_t m = 0; m < full.materials.size(); m++) {
            EXPECT_STREQ(full.materials[m].name, middle.materials[m].name);
            EXPECT_EQ(0, memcmp(full.materials[m].colour, middle.materials[m].colour, 3)) << full.materials[m].name;
        }
        int fullFaces = 0, middleFaces = 0;
        for (size_t o = 0; o < full.objects.size(); o++) {
            const MeshObject &a = full.objects[o], &b = middle.objects[o];
            EXPECT_STREQ(a.name, b.name);
            EXPECT_EQ(a.materialIndex, b.materialIndex) << a.name;
            fullFaces += a.faceCount;
            middleFaces += b.faceCount;
            EXPECT_LT(FarthestCorner(a, b), 0.04f) << a.name << ": a full corner far from the middle surface";
            EXPECT_LT(FarthestCorner(b, a), 0.04f) << a.name << ": a middle corner far from the full surface";
        }
        EXPECT_LE(middleFaces, pair.maxShare * fullFaces) << middleFaces << " of " << fullFaces;
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
