// Race frames drawn into a real window and read back with glReadPixels:
// the split-screen quarters with each car in its colour and the map, shadows, the goal arrow,
// the HUD countdown.
// The scene is built from hand-made files: a flat track, box models, plain
// textures and a patterned glyph sheet, so every expected pixel can be
// worked out by hand.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "../unit/chunk_builder.h"
#include "io_test_util.h"
#include "app/appdir.h"
#include "app/clock.h"
#include "app/config.h"
#include "app/log.h"
#include "assets/tga.h"
#include "game/game_state.h"
#include "game/menus.h"
#include "game/prefs.h"
#include "game/race_prefs.h"
#include "input/devices.h"
#include "platform/sys.h"
#include "platform/window.h"
#include "race/camera.h"
#include "race/car.h"
#include "race/race.h"
#include "race/standings.h"
#include "race/terrain.h"
#include "render/font.h"
#include "render/frame_meter.h"
#include "render/gl_util.h"
#include "render/hud.h"
#include "render/race_assets.h"
#include "render/race_frame.h"
#include "render/terrain_gl.h"

namespace {

const int kWidth = 320;
const int kHeight = 240;

iotest::ScratchGame* gGame_;  // the folder the scene's files are written to

// An uncompressed 24-bit TGA; pixel(x, y) gives red, green, blue.
template <typename F>
void WriteTga(const std::string& name, int w, int h, F pixel)
{
    std::vector<uint8_t> bytes;
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++) {
            uint8_t rgb[3];
            pixel(x, y, rgb);
            bytes.insert(bytes.end(), {rgb[2], rgb[1], rgb[0]});
        }
    gGame_->Write(name, iotest::TgaFile(w, h, 24, bytes));
}

void WritePlainTga(const std::string& name, uint8_t r, uint8_t g, uint8_t b)
{
    WriteTga(name, 8, 8, [=](int, int, uint8_t* p) { p[0] = r; p[1] = g; p[2] = b; });
}

void WriteModel(const std::string& name, const Bytes& contents)
{
    Bytes file = ModelFile(contents);
    gGame_->Write("data/models/" + name, std::string(file.begin(), file.end()));
}

void WriteGameData()
{
    gGame_->Write("data/config.txt", "width 320\nheight 240\ndepth 32\nfullscreen 0\nframeratecounter 0\n"
                                 "loghwinfo 0\naudiodevice 0\n");
    // A flat track at height 0 whose gates stand in the far corner, behind
    // every camera (the game lists only tracks a car can race: 3 gates and
    // a texture of 512 x 512).
    WriteTga("data/tracks/terrains/flat.tga", 64, 64, [](int, int, uint8_t* p) { p[0] = p[1] = p[2] = 0; });
    WriteTga("data/tracks/textures/flat.tga", 512, 512, [](int, int, uint8_t* p) { p[0] = p[1] = p[2] = 160; });
    gGame_->Write("data/tracks/checkpoints/flat.txt", "20 20 0 2\n20 12 0 2\n12 20 0 2\n");
    WritePlainTga("data/textures/dust.tga", 255, 255, 255);
    WritePlainTga("data/textures/medal_1.tga", 255, 255, 0);
    WritePlainTga("data/textures/lightmap.tga", 255, 255, 255);
    WritePlainTga("data/textures/shadowmap.tga", 64, 64, 64);  // a quarter: halves the ground
    WritePlainTga("data/textures/sky.tga", 40, 80, 200);
    // Glyph sheet: every cell of 8 x 8 texels has a pattern of its own.
    WriteTga("data/fonts/arial_black.tga", 128, 128, [](int x, int y, uint8_t* p) {
        int cell = (x / 8) + 16 * (y / 8);
        p[0] = p[1] = p[2] = ((x % 8) * 3 + (y % 8) + cell) % 5 == 0 ? 255 : 0;
    });
    // Body 1.2 wide, 1.8 long, 0.5 high; the middle body 1.5 wide, so that
    // a view tells which was drawn; the silhouette a wider 3 x 3 slab.
    WriteModel("body.3ds", BoxObject("body", -0.6f, -0.9f, 0.0f, 0.6f, 0.9f, 0.5f));
    WriteModel("MP_body.3ds", BoxObject("mp", -0.75f, -0.9f, 0.0f, 0.75f, 0.9f, 0.5f));
    WriteModel("LP_body.3ds", BoxObject("lp", -1.5f, -1.5f, 0.0f, 1.5f, 1.5f, 0.3f));
    WriteModel("wheel.3ds", BoxObject("wheel", -0.05f, -0.1f, -0.1f, 0.05f, 0.1f, 0.1f));
    WriteModel("MP_wheel.3ds", BoxObject("mpwheel", -0.05f, -0.1f, -0.1f, 0.05f, 0.1f, 0.1f));
    WriteModel("LP_wheel.3ds", BoxObject("lpwheel", -0.05f, -0.1f, -0.1f, 0.05f, 0.1f, 0.1f));
    WriteModel("arrow.3ds", BoxObject("arrow", -0.1f, -0.15f, -0.02f, 0.1f, 0.15f, 0.02f));
    WriteModel("sky.3ds", Cat({MaterialEntry("sky", 255, 255, 255, "sky.tga"),
                               BoxObject("dome", -150, -150, -150, 150, 150, 150, "sky")}));
    WriteModel("checkpoint.3ds", BoxObject("post", -0.1f, -0.1f, 0.0f, 0.1f, 0.1f, 5.0f));
    WriteModel("head.3ds", BoxObject("head", -0.3f, -0.3f, -0.3f, 0.3f, 0.3f, 0.3f));
}

struct Pixel {
    int r, g, b;
};

Pixel ReadPixel(int x, int y)
{
    uint8_t p[3];
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, p);
    return {p[0], p[1], p[2]};
}

std::vector<uint8_t> ReadWindow()
{
    std::vector<uint8_t> pixels((size_t)kWidth * kHeight * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, kWidth, kHeight, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

// Car c standing level at (x, z), heading h, at body height 0.
void PlaceCar(int c, float x, float z, float heading = 0.0f)
{
    ResetCar((uint32_t)c);
    Car& car = gCars[c];
    car.position[0] = x;
    car.position[1] = 0.0f;
    car.position[2] = z;
    car.heading = heading;
    for (WheelPoint& w : car.wheelPoint)
        w.y = 0.0f;
}

// Camera v straight above (x, z) at `height`, screen up along -z.
void CameraAbove(int v, float x, float z, float height)
{
    Camera& cam = gCameras[v];
    cam = Camera{};
    cam.position[0] = x;
    cam.position[1] = height;
    cam.position[2] = z;
    cam.pitch = -90.0f;
    cam.fov = 55.0f;
}

// Window pixel of ground point (x, z) seen by a full-window CameraAbove.
void GroundPixel(const Camera& cam, float x, float z, int* px, int* py)
{
    const float unitsPerHalfHeight = tanf(27.5f * 3.141592654f / 180.0f) * cam.position[1];
    const float scale = (kHeight / 2) / unitsPerHalfHeight;
    *px = (int)lrintf(kWidth / 2 + (x - cam.position[0]) * scale);
    *py = (int)lrintf(kHeight / 2 - (z - cam.position[2]) * scale);
}

class RaceFrameTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        gGame_ = new iotest::ScratchGame(kWidth, kHeight, false);
        WriteGameData();
        OpenLog();
        LoadConfig();
        ASSERT_EQ(gConfig.trackCount, 1);
        firstStart = 1;
        InitJoystick();  // the input records as the game starts them (the drawing reads them)
        ASSERT_TRUE(CreateGameWindow());
        InitGlState();
        glClearColor(0.5f, 0.5f, 0.5f, 1.0f);
        LoadFont(gMainFont, "data/fonts/arial_black.tga", 0.85f);
        LoadMedalTexture();
        LoadRaceAssets();
    }

    static void TearDownTestSuite()
    {
        finalShutdown = 1;
        FreeRaceAssets();
        FreeFont(gMainFont);
        DestroyGameWindow();
        delete gGame_;
    }

    // A fresh race: 1 player, 3 cars, checkpoint mode, no dust, no shadows;
    // the cars on plain ground, every camera looking at empty ground.
    void SetUp() override
    {
        gGame.state = Race;
        gPrefs.gamemode = 1;
        gPrefs.nplayers = 1;
        gPrefs.nopponents = 2;
        gPrefs.screenmode = gPrefs.shadow_resolution = 0;
        gPrefs.shadows = gPrefs.particles = 0;
        NormalisePrefs();
        TakeRaceSetupFromPrefs();
        LoadTrack();
        ResetCars();
        gStandings.countdown = 0.0f;
        PlaceCar(0, -5, -5);
        PlaceCar(1, 5, -5);
        PlaceCar(2, 5, 5);
        for (int v = 0; v < 4; v++)
            CameraAbove(v, 0, 20, 10);
    }
};

// Blue, green and red are the default colours of players 1, 2 and 3.
bool Dominant(Pixel p, int channel)
{
    int v[3] = {p.r, p.g, p.b};
    return v[channel] > 60 && v[channel] > 2 * v[(channel + 1) % 3] && v[channel] > 2 * v[(channel + 2) % 3];
}

TEST_F(RaceFrameTest, ThreePlayersSeeTheOverviewMapInTheFourthQuarter)
{
    gPrefs.nplayers = 3;
    gPrefs.nopponents = 0;
    gPrefs.screenmode = 2;
    NormalisePrefs();
    ASSERT_EQ(gPrefs.screenmode, 2);
    CameraAbove(0, -5, -5.5f, 10);
    CameraAbove(1, 5, -5.5f, 10);
    CameraAbove(2, 5, 4.5f, 10);
    CameraAbove(3, 5, 4.5f, 10);
    RenderRaceFrame();
    EXPECT_TRUE(Dominant(ReadPixel(kWidth / 4, 3 * kHeight / 4), 2));      // top left: player 1
    EXPECT_TRUE(Dominant(ReadPixel(3 * kWidth / 4, 3 * kHeight / 4), 1)); // top right: player 2
    EXPECT_TRUE(Dominant(ReadPixel(kWidth / 4, kHeight / 4), 0));         // bottom left: player 3
    // The map's dark surround: its corner and the middle of each strip
    // between the picture and the quarter's edge.
    const ViewRect map = MapInArea({0.5f, 0.0f, 0.5f, 0.5f}, (float)kWidth / kHeight);
    const int left = (int)(map.x * kWidth), right = (int)((map.x + map.w) * kWidth);
    const int bottom = (int)(map.y * kHeight), top = (int)((map.y + map.h) * kHeight);
    const int midX = (left + right) / 2, midY = (bottom + top) / 2;
    const int surround[5][2] = {{kWidth - 2, 2},
                                {(kWidth / 2 + left) / 2, midY},
                                {(right + kWidth) / 2, midY},
                                {midX, bottom / 2},
                                {midX, (top + kHeight / 2) / 2}};
    for (const auto& at : surround) {
        const Pixel p = ReadPixel(at[0], at[1]);
        EXPECT_LT(p.r + p.g + p.b, 120) << at[0] << ", " << at[1];
    }
    // Each car a dot in its colour where the map puts it.
    for (uint32_t c = 0; c < 3; c++) {
        float mx, my;
        MapPoint(map, gTerrain.cellSize, gCars[c].position[0], gCars[c].position[2], &mx, &my);
        const Pixel p = ReadPixel((int)(mx * kWidth), (int)(my * kHeight));
        const int channel = c == 0 ? 2 : c == 1 ? 1 : 0;  // blue, green, red
        EXPECT_TRUE(Dominant(p, channel)) << c << ": " << p.r << " " << p.g << " " << p.b;
    }
}

TEST_F(RaceFrameTest, DynamicShadowsDarkenTheGroundUnderACar)
{
    CameraAbove(0, 5, 5, 10);  // car 2 (red) at the centre
    int px, py, farX, farY;
    GroundPixel(gCameras[0], 5 + 1.0f, 5, &px, &py);    // under the silhouette, beside the body
    GroundPixel(gCameras[0], 5 + 2.4f, 5, &farX, &farY);  // inside the patch, outside the silhouette
    RenderRaceFrame();
    Pixel lit = ReadPixel(px, py), litFar = ReadPixel(farX, farY);
    gPrefs.shadows = 1;
    gPrefs.shadow_resolution = 64;
    RenderRaceFrame();
    Pixel shaded = ReadPixel(px, py), shadedFar = ReadPixel(farX, farY);
    // 2 x 0.25 x ground: half as bright.
    EXPECT_NEAR(shaded.g, lit.g / 2, 4);
    EXPECT_NEAR(shadedFar.g, litFar.g, 2);
}

// The dynamic shadow's patch is cut to where the outline reached, so the
// ground cells on that edge are drawn as pieces whose depths come out a
// little different from the ground's.  Every pixel of the shadow must still
// be darkened: no stripe of ground may win the depth test, on flat ground
// or on a bumpy slope.  The car stands so that the slab's edges (1.5 round
// the body's middle) fall inside cells of the ground (cell edges at x and z
// of n + 0.5), and every pixel beside the body out to 1.35, clear of the
// HUD, is checked in a view from above.
TEST_F(RaceFrameTest, ADynamicShadowDarkensEveryPixelUpToWhereItsPatchIsCut)
{
    const float bodyX = 4.7f, bodyZ = 4.7f;
    for (int bumpy = 0; bumpy < 2; bumpy++) {
        SCOPED_TRACE(bumpy ? "bumpy slope" : "flat");
        if (bumpy) {
            // Within 0.2 of height 0 round the car, so that the view from 5
            // up still finds the ground points where flat ground has them.
            for (int j = 0; j < kGridSize; j++)
                for (int i = 0; i < kGridSize; i++)
                    gTerrain.heights[i + kGridSize * j] =
                        0.03f * (float)(i - 37) + 0.02f * (float)(j - 37) + 0.05f * sinf(1.3f * (float)i) * cosf(0.9f * (float)j);
            BuildTerrainMesh();
        }
        PlaceCar(2, bodyX, bodyZ + gCars[2].rearAxleOffset);
        CameraAbove(0, bodyX, bodyZ, 5);
        gPrefs.shadows = 0;
        gPrefs.shadow_resolution = 0;
        RenderRaceFrame();
        const std::vector<uint8_t> lit = ReadWindow();
        gPrefs.shadows = 1;
        for (int resolution : {64, 128}) {
            SCOPED_TRACE(resolution);
            gPrefs.shadow_resolution = resolution;
            RenderRaceFrame();
            const std::vector<uint8_t> shaded = ReadWindow();
            int checked = 0, bright = 0;
            for (float dz = -1.35f; dz <= 1.35f; dz += 0.02f) {
                for (float dx = -1.35f; dx <= 1.35f; dx += 0.02f) {
                    // Clear of the body and the wheels as seen from 5 up.
                    if (fabsf(dx) < 0.9f && fabsf(dz) < 1.25f)
                        continue;
                    int x, y;
                    GroundPixel(gCameras[0], bodyX + dx, bodyZ + dz, &x, &y);
                    if (x < 0 || x >= kWidth || y < 75 || y >= 185)  // the HUD's text lies outside
                        continue;
                    const size_t at = ((size_t)y * kWidth + (size_t)x) * 3 + 1;
                    checked++;
                    bright += abs((int)shaded[at] - lit[at] / 2) > 4;
                }
            }
            EXPECT_GT(checked, 4000);
            EXPECT_EQ(bright, 0) << "of " << checked << " pixels";
        }
    }
    LoadTrack();  // flat again for the other tests
    BuildTerrainMesh();
}

// Each seen car's shadow comes from its own slot of the shadow atlas, with
// the slots in one row (one copy), and in batches when the window holds
// fewer slots than there are cars.  Two cars facing opposite ways each
// darken the ground beside their own body, ahead of the rear axle, and not
// behind it.  Car 0 lies outside the view and takes no slot, so slot and
// car number differ.
TEST_F(RaceFrameTest, EachCarsShadowComesFromItsOwnAtlasSlot)
{
    PlaceCar(0, -25, -25);
    PlaceCar(1, 1, 0, 0.0f);
    PlaceCar(2, 9, 0, 180.0f);
    CameraAbove(0, 5, 0, 10);  // the cars about 40 pixels long, clear of the goal arrow
    const float reach = gCars[1].rearAxleOffset + 1.2f;  // the slab reaches 1.5 round the body's middle
    // Beside each body, clear of it and the wheels, under the slab.
    const struct { float x, z; bool under; } spots[] = {
        {1 + 1.1f, -reach, true}, {1 + 1.1f, reach, false},  // car 1, nose to -z
        {9 + 1.1f, reach, true}, {9 + 1.1f, -reach, false},  // car 2, nose to +z
    };
    RenderRaceFrame();
    Pixel lit[4];
    for (int k = 0; k < 4; k++) {
        int x, y;
        GroundPixel(gCameras[0], spots[k].x, spots[k].z, &x, &y);
        ASSERT_TRUE(x >= 0 && x < kWidth && y >= 0 && y < kHeight) << k;
        lit[k] = ReadPixel(x, y);
    }
    // 5, 2 and 1 slots to the 320-pixel window's row; the atlas is made
    // anew in place when the resolution changes in mid-race.
    gPrefs.shadows = 1;
    for (int resolution : {64, 128, 256, 64}) {
        SCOPED_TRACE(resolution);
        gPrefs.shadow_resolution = resolution;
        RenderRaceFrame();
        EXPECT_EQ(gShadowSlot[0], -1);
        EXPECT_EQ(gShadowSlot[1], 0);
        EXPECT_EQ(gShadowSlot[2], 1);
        for (int k = 0; k < 4; k++) {
            int x, y;
            GroundPixel(gCameras[0], spots[k].x, spots[k].z, &x, &y);
            const Pixel p = ReadPixel(x, y);
            EXPECT_NEAR(p.g, spots[k].under ? lit[k].g / 2 : lit[k].g, spots[k].under ? 4 : 2) << k;
        }
    }
}

// The dynamic shadow's patch covers only where the car's outline reached.
// That reach is found from the outline's points as they are drawn, so it
// must hold every dark texel of the rendered shadow, however the car is
// turned, tipped and raised, and come within two texels of the farthest.
TEST_F(RaceFrameTest, ShadowReachHoldsTheWholeOutlineHoweverTheCarLeans)
{
    gPrefs.shadows = 1;
    gPrefs.shadow_resolution = 64;
    const struct { float heading, pitch, roll, suspensionPitch, suspensionRoll, height; } poses[] = {
        {0, 0, 0, 0, 0, 0}, {37, 12, -20, 8, -6, 2}, {90, -25, 30, -15, 10, 1.5f}, {200, 40, 5, 0, 0, 0.5f},
    };
    const float texel = 5.0f / 64.0f;
    for (const auto& pose : poses) {
        SCOPED_TRACE(pose.heading);
        PlaceCar(1, 5, 0, pose.heading);
        Car& car = gCars[1];
        car.pitch = pose.pitch;
        car.roll = pose.roll;
        car.suspensionPitch = pose.suspensionPitch;
        car.suspensionRoll = pose.suspensionRoll;
        car.position[1] = pose.height;
        CameraAbove(0, 5, 0, 10);
        RenderRaceFrame();
        const int32_t slot = gShadowSlot[1];
        ASSERT_GE(slot, 0);
        const ShadowAtlasLayout atlas = LayoutShadowAtlas(64, kWidth, 5);
        std::vector<uint8_t> texels((size_t)atlas.width * atlas.height);
        glBindTexture(GL_TEXTURE_2D, gTerrain.shadowAtlas);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_LUMINANCE, GL_UNSIGNED_BYTE, texels.data());
        const int s0 = (slot % atlas.perRow) * 64, t0 = (slot / atlas.perRow) * 64;
        float x0 = 1e9f, x1 = -1e9f, z0 = 1e9f, z1 = -1e9f;
        for (int t = 0; t < 64; t++) {
            for (int s = 0; s < 64; s++) {
                if (texels[(size_t)(t0 + t) * atlas.width + s0 + s] >= 100)
                    continue;  // the grey round the outline
                // The patch's mapping: 5 units across, z growing down the texture.
                const float x = ((s + 0.5f) / 64 - 0.5f) * 5, z = (0.5f - (t + 0.5f) / 64) * 5;
                x0 = std::min(x0, x);
                x1 = std::max(x1, x);
                z0 = std::min(z0, z);
                z1 = std::max(z1, z);
            }
        }
        ASSERT_LT(x0, x1) << "no outline in the slot";
        const ShadowExtent& e = gShadowExtent[1];
        EXPECT_LE(e.x0, x0 + 0.001f);
        EXPECT_GE(e.x1, x1 - 0.001f);
        EXPECT_LE(e.z0, z0 + 0.001f);
        EXPECT_GE(e.z1, z1 - 0.001f);
        EXPECT_GT(e.x0, x0 - 2 * texel);
        EXPECT_LT(e.x1, x1 + 2 * texel);
        EXPECT_GT(e.z0, z0 - 2 * texel);
        EXPECT_LT(e.z1, z1 + 2 * texel);
    }
}

// The tag holder's light spot is drawn only as far as its picture is lit:
// a lit texel's far corner and half a texel more, in the 5 units the
// picture spans, along whichever of x and z reaches further.
TEST(LightSpot, ReachesAsFarAsThePictureIsLit)
{
    const auto reach = [](uint32_t w, uint32_t h, uint32_t bits, std::vector<std::pair<uint32_t, uint32_t>> lit) {
        std::vector<uint8_t> pixels((size_t)w * h * bits / 8, 0);
        for (const auto& p : lit)
            pixels[((size_t)p.second * w + p.first) * bits / 8 + 1] = 200;  // green alone is enough
        TgaImage image = {w, h, bits, (uint32_t)pixels.size(), pixels.data()};
        return LitReach(image);
    };
    EXPECT_EQ(reach(16, 16, 24, {}), 0.0f);
    EXPECT_FLOAT_EQ(reach(16, 16, 24, {{8, 8}}), 1.5f * 5 / 16);
    EXPECT_FLOAT_EQ(reach(16, 16, 32, {{8, 8}, {12, 8}}), 5.5f * 5 / 16);
    EXPECT_FLOAT_EQ(reach(32, 16, 24, {{8, 11}}), 4.5f * 5 / 16);  // z reaches further than x
    EXPECT_EQ(reach(16, 16, 24, {{0, 0}}), 2.5f);                   // held to the picture's 5 units
    // A picture it cannot read keeps the whole square.
    std::vector<uint8_t> few(10, 0);
    TgaImage truncated = {16, 16, 24, 10, few.data()};
    EXPECT_EQ(LitReach(truncated), 2.5f);
}

// The frame meter counts the time from one race frame to the next, but not
// across a track's load (the load, and the menus or results between two
// races) nor the drawing of a new track's first picture, where the renderer
// compiles its code for the race: neither is a race frame, nor the longest.
TEST(FrameMeter, CountsRaceFramesButNotATracksLoadOrFirstPicture)
{
    const auto pause = [](int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); };
    ResetFrameMeter();
    gFrameMeter.passTiming = 0;
    MeterRaceFrame(1);  // the first race frame: its picture is the load's end
    pause(150);
    for (int k = 0; k < 3; k++) {
        MeterRaceFrame(1);
        pause(k == 1 ? 40 : 5);  // the second counted frame is the longest
    }
    MeterRaceFrame(1);
    pause(400);  // the results, the menus, the next track's load
    MeterRaceFrame(2);
    pause(150);  // the next track's first picture
    for (int k = 0; k < 2; k++) {
        MeterRaceFrame(2);
        pause(5);
    }
    MeterRaceFrame(2);
    const FrameMeter& m = gFrameMeter;
    EXPECT_EQ(m.frames, 5u);
    const double frequency = (double)SysFrequency();
    EXPECT_GE((double)m.ticks / frequency, 0.060);
    EXPECT_LT((double)m.ticks / frequency, 0.140);
    EXPECT_GE((double)m.longestTicks / frequency, 0.040);
    EXPECT_LT((double)m.longestTicks / frequency, 0.140);
    // It ended the second counted frame: 5 ms and 40 ms in, not 150.
    EXPECT_GE((double)m.longestAt / frequency, 0.045);
    EXPECT_LT((double)m.longestAt / frequency, 0.140);
    ResetFrameMeter();
}

// The atlas: as many slots to a row as the window's width holds, and the
// smallest powers of two that hold every car's slot.
TEST(ShadowAtlas, SlotsToARowAndPowerOfTwoSides)
{
    const struct { int side, window, perRow, width, height; } cases[] = {
        {128, 1024, 8, 1024, 128},  // one row of five: 640 wide
        {256, 1024, 4, 1024, 512},  // four and one
        {512, 1024, 2, 1024, 2048}, // three rows of two: 1536 high
        {1024, 800, 1, 1024, 8192}, // wider than the window: one to a row
        {32, 100, 3, 128, 64},      // 96 x 64
        {0, 1024, 512, 16, 2},      // held to 2 texels
        {4096, 1024, 1, 1024, 8192},// held to 1024
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.side);
        const ShadowAtlasLayout a = LayoutShadowAtlas(c.side, c.window, 5);
        EXPECT_EQ(a.perRow, c.perRow);
        EXPECT_EQ(a.width, c.width);
        EXPECT_EQ(a.height, c.height);
    }
}

// The model follows the car's length on screen: the full body from 2.2
// above (about 180 pixels long in this window), the middle one from 5
// (about 80), the far slab from 20 (about 20), and with the quality
// budget at its plainer cars' step already from 5.  Two points beside the body
// tell them apart: the first is covered by the middle body and the slab but
// not the full body, the second by the slab alone.  A box of half width w
// and top t seen from height h covers the ground out to w h / (h - t).
TEST_F(RaceFrameTest, EachCarSizeOnScreenGetsItsModel)
{
    const Car& car = gCars[0];  // blue
    const float bodyX = car.position[0], bodyZ = car.position[2] - car.rearAxleOffset;  // heading 0: nose to -z
    const float boxTop = car.wheelRadius + 0.5f, slabTop = car.wheelRadius + 0.3f;
    const struct { float height; bool middleOrFar, far; } cases[] = {{2.2f, false, false}, {5, true, false}, {20, true, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.height);
        const float h = c.height;
        const float fullEdge = 0.6f * h / (h - boxTop), middleEdge = 0.75f * h / (h - boxTop);
        const float slabEdge = 1.5f * h / (h - slabTop);
        CameraAbove(0, bodyX, bodyZ, h);
        RenderRaceFrame();
        int x, y;
        GroundPixel(gCameras[0], bodyX + (fullEdge + middleEdge) / 2, bodyZ, &x, &y);
        ASSERT_LT(x, kWidth);
        const Pixel first = ReadPixel(x, y);
        EXPECT_EQ(Dominant(first, 2), c.middleOrFar) << first.r << " " << first.g << " " << first.b;
        if (c.middleOrFar) {
            GroundPixel(gCameras[0], bodyX + (middleEdge + slabEdge) / 2, bodyZ, &x, &y);
            ASSERT_LT(x, kWidth);
            const Pixel second = ReadPixel(x, y);
            EXPECT_EQ(Dominant(second, 2), c.far) << second.r << " " << second.g << " " << second.b;
        }
    }
    // The quality budget's plainer cars give a car of the middle size the far slab.
    const float h = 5.0f;
    gPrefs.targetfps = 60;
    ResetQualityBudget();
    gBudget.track[0].level = kQualityLevels - 2;
    CameraAbove(0, bodyX, bodyZ, h);
    RenderRaceFrame();
    gPrefs.targetfps = 0;
    ResetQualityBudget();
    int x, y;
    GroundPixel(gCameras[0], bodyX + (0.75f * h / (h - boxTop) + 1.5f * h / (h - slabTop)) / 2, bodyZ, &x, &y);
    ASSERT_LT(x, kWidth);
    const Pixel plain = ReadPixel(x, y);
    EXPECT_TRUE(Dominant(plain, 2)) << plain.r << " " << plain.g << " " << plain.b;
}

// Aligned 2 x 2 blocks of the window's box x0..x1, y0..y1 (even corners)
// whose four pixels are not all the same.
int MixedBlocks(const std::vector<uint8_t>& window, int x0, int y0, int x1, int y1)
{
    int mixed = 0;
    for (int y = y0; y + 1 < y1; y += 2) {
        for (int x = x0; x + 1 < x1; x += 2) {
            const uint8_t* a = &window[((size_t)y * kWidth + x) * 3];
            const uint8_t* b = a + (size_t)kWidth * 3;
            mixed += memcmp(a, a + 3, 3) != 0 || memcmp(a, b, 3) != 0 || memcmp(a, b + 3, 3) != 0;
        }
    }
    return mixed;
}

// The budget's last step draws the world at half resolution: every pixel of
// it doubled, in every view's own place, the HUD still sharp on top.
TEST_F(RaceFrameTest, TheBudgetsLastStepDoublesEveryPixelOfTheWorld)
{
    gPrefs.targetfps = 60;
    ResetQualityBudget();
    auto frameAt = [](int32_t level) {
        for (int v = 0; v < 4; v++)
            gBudget.track[v].level = level;
        RenderRaceFrame();
        return ReadWindow();
    };
    // One view, looking down on car 0: its outline crosses the middle of
    // the window, where the HUD draws nothing.
    CameraAbove(0, -5, -5.5f, 6);
    const int x0 = kWidth / 4, y0 = kHeight / 4, x1 = 3 * kWidth / 4, y1 = 3 * kHeight / 4;
    EXPECT_GT(MixedBlocks(frameAt(kQualityLevels - 2), x0, y0, x1, y1), 10);
    EXPECT_EQ(MixedBlocks(frameAt(kQualityLevels - 1), x0, y0, x1, y1), 0);
    EXPECT_TRUE(Dominant(ReadPixel(kWidth / 2, kHeight / 2), 2));  // the blue car, where it was
    // The HUD's text is drawn after the doubling, at full resolution.
    const std::vector<uint8_t> window = ReadWindow();
    EXPECT_GT(MixedBlocks(window, 0, 0, kWidth, kHeight), MixedBlocks(window, x0, y0, x1, y1));

    // Four views: each quarter's world in its own quarter.
    gPrefs.nplayers = 3;
    gPrefs.nopponents = 0;
    gPrefs.screenmode = 2;
    NormalisePrefs();
    CameraAbove(0, -5, -5.5f, 10);
    CameraAbove(1, 5, -5.5f, 10);
    CameraAbove(2, 5, 4.5f, 10);
    frameAt(kQualityLevels - 1);
    gPrefs.targetfps = 0;
    ResetQualityBudget();
    EXPECT_TRUE(Dominant(ReadPixel(kWidth / 4, 3 * kHeight / 4), 2));      // top left: player 1
    EXPECT_TRUE(Dominant(ReadPixel(3 * kWidth / 4, 3 * kHeight / 4), 1)); // top right: player 2
    EXPECT_TRUE(Dominant(ReadPixel(kWidth / 4, kHeight / 4), 0));         // bottom left: player 3
}

// The world pass draws what lies wholly nearer than the haze's start with
// the fog off.  On the real renderer that must change no pixel there, while
// the fog does change what lies beyond.
TEST_F(RaceFrameTest, FogOffNearerThanTheHazeChangesNoPixel)
{
    RenderRaceFrame();  // leaves the world pass's fog settings behind
    SetPerspective();
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_LIGHTING);
    // A wall facing the eye at `depth`, half as wide as it is far, drawn
    // once with and once without fog.
    auto wall = [](float depth, bool fog) {
        const float h = depth / 2;
        if (fog)
            glEnable(GL_FOG);
        else
            glDisable(GL_FOG);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glBegin(GL_QUADS);
        glColor3f(0.6f, 0.1f, 0.05f);
        glVertex3f(-h, -h, -depth);
        glColor3f(0.1f, 0.5f, 0.2f);
        glVertex3f(h, -h, -depth);
        glVertex3f(h, h, -depth);
        glColor3f(0.2f, 0.3f, 0.9f);
        glVertex3f(-h, h, -depth);
        glEnd();
        glDisable(GL_FOG);
        std::vector<uint8_t> pixels((size_t)kWidth * kHeight * 3);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, kWidth, kHeight, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
        return pixels;
    };
    // The wall at depth 15 lies wholly within 18.4 of the eye.
    EXPECT_TRUE(wall(15, true) == wall(15, false));
    EXPECT_FALSE(wall(100, true) == wall(100, false));

    CameraAbove(0, 0, 0, 10);
    currentView = 0;
    const float lo[3] = {-12, -1, 3}, hi[3] = {4, 2, 8};
    EXPECT_NEAR(FarthestInBox(lo, hi), sqrtf(12.0f * 12.0f + 11.0f * 11.0f + 8.0f * 8.0f), 1e-4f);
    HazeFor(24.9f);
    EXPECT_FALSE(glIsEnabled(GL_FOG));
    HazeFor(25.1f);
    EXPECT_TRUE(glIsEnabled(GL_FOG));
    glDisable(GL_FOG);
}

// A chase view of car 0 from 4 behind and 2 above: the arrow, if drawn,
// covers the bottom centre of the window.
class ArrowTest : public RaceFrameTest {
protected:
    void SetUp() override
    {
        RaceFrameTest::SetUp();
        PlaceCar(0, 0, 0);
        CameraAbove(0, 0, 4, 2);
        gCameras[0].pitch = -10;
    }

    Pixel ArrowPixel()
    {
        RenderRaceFrame();
        return ReadPixel(kWidth / 2, 24);
    }
};

TEST_F(ArrowTest, PointsToTheGoalUnlessHiddenByStateOrTag)
{
    auto orange = [](Pixel p) { return p.r > 80 && p.r > p.g + 20 && p.b < 20; };
    EXPECT_TRUE(orange(ArrowPixel()));
    gGame.state = RaceMenu;
    const Pixel menu = ArrowPixel();
    gGame.state = Race;
    EXPECT_NEAR(menu.r, menu.b, 3);  // the ground behind it

    gRaceSetup.gamemode = 0;  // a Tag! race
    gStandings.tagHolder = 0;  // the viewer holds the tag
    Pixel holder = ArrowPixel();
    EXPECT_NEAR(holder.r, holder.b, 3);
    gStandings.tagHolder = 1;  // the arrow takes the holder's colour (green)
    Pixel chaser = ArrowPixel();
    EXPECT_TRUE(Dominant(chaser, 1)) << chaser.r << " " << chaser.g << " " << chaser.b;
}

TEST_F(RaceFrameTest, CountdownShowsThreeTwoOneThenGo)
{
    auto Hud = [] {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        DrawRaceHud({0.0f, 0.0f, 1.0f, 1.0f});
        return ReadWindow();
    };
    gRaceSetup.gamemode = 0;
    gStandings.countdown = 0.0f;
    RankByScore();
    std::vector<std::vector<uint8_t>> seen = {Hud()};  // nothing shown
    for (float t : {3.99f, 2.99f, 1.99f, 0.5f}) {      // 3, 2, 1 and "Go!" for the first second
        gStandings.countdown = t;
        const std::vector<uint8_t> shown = Hud();
        gStandings.countdown = std::floor(t);
        if (t > 1.0f) {
            EXPECT_EQ(Hud(), shown) << t;  // the whole second
        }
        for (const auto& other : seen)
            EXPECT_NE(shown, other) << t;
        seen.push_back(shown);
    }
    gStandings.countdown = 4.0f;  // the first step of a race: nothing yet
    EXPECT_EQ(Hud(), seen[0]);
}

}  // namespace
