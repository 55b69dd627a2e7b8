// The generated car models as the renderer and the physics use them
// (material groups, size of the mesh, closed rims, round tyres, the body
// clear of the wheels at the axles the physics sets), and the dust colour
// a puff takes from the ground under it.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "assets/model3ds.h"
#include "race_world.h"

namespace {

bool LoadGenerated(const char* name, Model* model)
{
    const std::string path = std::string(QB_BUILD_DIR "/data/models/") + name;
    FILE* f = std::fopen(path.c_str(), "rb");
    if (f == nullptr)
        return false;
    std::vector<uint8_t> bytes;
    uint8_t buffer[65536];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0)
        bytes.insert(bytes.end(), buffer, buffer + n);
    std::fclose(f);
    return ParseModel(*model, bytes.data(), bytes.size());
}

const MeshObject* Find(const Model& model, const char* object)
{
    for (const MeshObject& o : model.objects) {
        if (strcmp(o.name, object) == 0)
            return &o;
    }
    return nullptr;
}

std::string MaterialOf(const Model& model, const MeshObject& o)
{
    return o.materialIndex < model.materialCount ? model.materials[(size_t)o.materialIndex].name : "";
}

int Triangles(const Model& model)
{
    int count = 0;
    for (const MeshObject& o : model.objects)
        count += o.faceCount;
    return count;
}

class CarModels : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(LoadGenerated("body.3ds", &body)) << "build the game_data target first";
        ASSERT_TRUE(LoadGenerated("wheel.3ds", &wheel));
        ResetRaceWorld(1);
    }
    void TearDown() override
    {
        FreeModelGeometry(body);
        FreeModelGeometry(wheel);
    }
    Model body, wheel;
};

TEST_F(CarModels, MaterialGroupsWithThePaintFirst)
{
    // The paint must come first: it takes the colour current when the list
    // is called, before any other part sets its own.
    const std::vector<std::pair<const char*, const char*>> bodyParts = {
        {"shell", "paint"}, {"chassis", "chassis"}, {"cage", "metal"}, {"lamps", "lamp"}, {"taillamps", "taillamp"}};
    ASSERT_EQ(body.objects.size(), bodyParts.size());
    for (size_t k = 0; k < bodyParts.size(); k++) {
        EXPECT_STREQ(body.objects[k].name, bodyParts[k].first);
        EXPECT_EQ(MaterialOf(body, body.objects[k]), bodyParts[k].second);
    }
    const std::vector<std::pair<const char*, const char*>> wheelParts = {{"rim", "paint"}, {"tyre", "rubber"}};
    ASSERT_EQ(wheel.objects.size(), wheelParts.size());
    for (size_t k = 0; k < wheelParts.size(); k++) {
        EXPECT_STREQ(wheel.objects[k].name, wheelParts[k].first);
        EXPECT_EQ(MaterialOf(wheel, wheel.objects[k]), wheelParts[k].second);
    }
    // Tyres and chassis are dark, the lamps bright.
    const MeshObject* tyre = Find(wheel, "tyre");
    ASSERT_NE(tyre, nullptr);
    EXPECT_LT(wheel.materials[(size_t)tyre->materialIndex].colour[0], 60);
    const MeshObject* lamps = Find(body, "lamps");
    ASSERT_NE(lamps, nullptr);
    EXPECT_GT(body.materials[(size_t)lamps->materialIndex].colour[1], 200);
}

TEST_F(CarModels, TriangleCountOfACarIsInRange)
{
    const int car = Triangles(body) + 4 * Triangles(wheel);
    EXPECT_GE(car, 2000);
    EXPECT_LE(car, 6000);
}

// Every edge of the rim, with its corners welded by position, belongs to
// exactly two triangles: the rim is a closed solid, no gap shows through.
TEST_F(CarModels, RimIsClosed)
{
    const MeshObject* rim = Find(wheel, "rim");
    ASSERT_NE(rim, nullptr);
    std::map<std::vector<long>, int> ids;
    auto id = [&](int v) {
        std::vector<long> key;
        for (int c = 0; c < 3; c++)
            key.push_back(std::lround(rim->vertices[3 * (size_t)v + c] * 1e5f));
        auto it = ids.find(key);
        if (it != ids.end())
            return it->second;
        const int next = (int)ids.size();
        ids[key] = next;
        return next;
    };
    std::map<std::pair<int, int>, int> edges;
    for (const MeshFace& f : rim->faces) {
        for (int k = 0; k < 3; k++) {
            int a = id(f.v[k]), b = id(f.v[(k + 1) % 3]);
            if (a > b)
                std::swap(a, b);
            edges[{a, b}]++;
        }
    }
    ASSERT_FALSE(edges.empty());
    for (const auto& e : edges)
        EXPECT_EQ(e.second, 2) << "edge " << e.first.first << "-" << e.first.second;
}

// The tyre is round: its vertices lie at 24 or more angles round the axle
// (3DS x), and it reaches the wheel radius the physics uses.
TEST_F(CarModels, TyreIsRoundAtTheWheelRadius)
{
    const MeshObject* tyre = Find(wheel, "tyre");
    ASSERT_NE(tyre, nullptr);
    std::set<long> angles;
    float outer = 0.0f;
    for (int v = 0; v < tyre->vertexCount; v++) {
        const float y = tyre->vertices[3 * (size_t)v + 1], z = tyre->vertices[3 * (size_t)v + 2];
        const float r = std::sqrt(y * y + z * z);
        outer = std::max(outer, r);
        if (r > 0.2f)
            angles.insert(std::lround(std::atan2(z, y) * 180.0f / 3.14159265f));
    }
    EXPECT_GE(angles.size(), 24u);
    EXPECT_NEAR(outer, gCars[0].wheelRadius, 0.01f);
}

// The body (origin midway between the axles at axle height, 3DS axes: y
// forward) keeps clear of the four wheels where the physics puts them, and
// its fenders cover them from above.
TEST_F(CarModels, BodyClearsTheWheelsAtThePhysicsAxles)
{
    const Car& car = gCars[0];
    const float middle = (car.frontAxleOffset + car.rearAxleOffset) / 2;
    struct Axle {
        float y, halfTrack;
    };
    const Axle axles[2] = {{car.frontAxleOffset + car.rearAxleOffset - middle, car.frontHalfTrack},
                           {-middle, car.rearHalfTrack}};
    const float r = car.wheelRadius, halfWidth = 0.09f;  // the tyre, less its bulge
    for (const Axle& axle : axles) {
        for (float side : {-1.0f, 1.0f}) {
            const float wx = side * axle.halfTrack;
            float inner = 0.0f, outer = 0.0f;  // the fender's reach across the wheel
            for (const MeshObject& o : body.objects) {
                for (int v = 0; v < o.vertexCount; v++) {
                    const float* p = &o.vertices[3 * (size_t)v];
                    const float across = std::fabs(p[0] - wx);
                    const float radial = std::hypot(p[1] - axle.y, p[2]);
                    EXPECT_FALSE(across < halfWidth && radial < r + 0.02f)
                        << o.name << " vertex " << v << " inside the wheel at (" << wx << ", " << axle.y << ")";
                    if (std::fabs(p[1] - axle.y) < 0.1f && p[2] > r && p[2] < r + 0.15f) {
                        inner = std::min(inner, (p[0] - wx) * side);
                        outer = std::max(outer, (p[0] - wx) * side);
                    }
                }
            }
            EXPECT_TRUE(inner < -halfWidth && outer > halfWidth) << "no fender over the wheel at (" << wx << ", " << axle.y << ")";
        }
    }
}

// The colour of a puff: paler than the ground it comes from, sand stays
// sand-coloured and full, grass gives a faint brown, water a faint white.
TEST(DustColour, FollowsTheGround)
{
    struct Case {
        float ground[3];
        float minOpacity, maxOpacity;
        bool brown;  // red above green above blue
    };
    const Case cases[] = {
        {{0.85f, 0.71f, 0.48f}, 0.99f, 1.0f, true},   // sand
        {{0.31f, 0.54f, 0.17f}, 0.3f, 0.6f, true},    // grass
        {{0.29f, 0.6f, 0.69f}, 0.2f, 0.6f, false},    // water
        {{0.6f, 0.59f, 0.55f}, 0.99f, 1.0f, false},   // grey gravel
    };
    for (const Case& c : cases) {
        float colour[3], opacity;
        DustColourOf(c.ground, colour, &opacity);
        EXPECT_GE(opacity, c.minOpacity) << c.ground[0];
        EXPECT_LE(opacity, c.maxOpacity) << c.ground[0];
        for (int k = 0; k < 3; k++) {
            EXPECT_GE(colour[k], 0.0f);
            EXPECT_LE(colour[k], 1.0f);
        }
        if (c.brown) {
            EXPECT_GT(colour[0], colour[1]) << c.ground[0];
            EXPECT_GT(colour[1], colour[2]) << c.ground[0];
        }
    }
    // Sand: paler than the ground, still warm.
    float colour[3], opacity;
    const float sand[3] = {0.85f, 0.71f, 0.48f};
    DustColourOf(sand, colour, &opacity);
    EXPECT_GT(colour[2], sand[2]);
    EXPECT_GT(colour[0] - colour[2], 0.1f);
}

TEST(DustColour, APuffTakesTheColourOfItsCell)
{
    ResetRaceWorld(1);
    ClearDust();
    ClearDustGround();
    EmitDust(0.0f, 0.0f, 0.0f, 0, 0, 0, 0.25f, 1.5f, 1.25f);
    EXPECT_EQ(gDust.particles[0].colour[0], 1.0f);  // no ground known: plain light dust
    EXPECT_EQ(gDust.particles[0].opacity, 1.0f);

    // Cell (i, j) covers x from i - 32.5 to i - 31.5: world (-30, 10) is cell (2, 42).
    gTerrain.cellSize = 1.0f;
    gDust.ground.known = true;
    const uint8_t grass[3] = {80, 138, 44};
    memcpy(gDust.ground.rgb[2 + 64 * 42], grass, 3);
    EmitDust(-30.0f, 0.0f, 10.0f, 0, 0, 0, 0.25f, 1.5f, 1.25f);
    const float g[3] = {80 / 255.0f, 138 / 255.0f, 44 / 255.0f};
    float colour[3], opacity;
    DustColourOf(g, colour, &opacity);
    EXPECT_FLOAT_EQ(gDust.particles[1].colour[1], colour[1]);
    EXPECT_FLOAT_EQ(gDust.particles[1].opacity, opacity);
    // Off the grid the nearest edge cell answers; cell (0, 0) is black here.
    EmitDust(-100.0f, 0.0f, -100.0f, 0, 0, 0, 0.25f, 1.5f, 1.25f);
    const float black[3] = {0, 0, 0};
    DustColourOf(black, colour, &opacity);
    EXPECT_FLOAT_EQ(gDust.particles[2].colour[0], colour[0]);
    ClearDustGround();
}

}  // namespace
