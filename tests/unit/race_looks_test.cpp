// The generated car models as the renderer and the physics use them: the
// paint first in its model, and the tyre round at the physics' wheel radius.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "assets/model3ds.h"
#include "race_world.h"

namespace {

bool LoadGenerated(const char* name, Model* model)
{
    std::ifstream in(std::string(QB_BUILD_DIR "/data/models/") + name, std::ios::binary);
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return !bytes.empty() && ParseModel(*model, bytes.data(), bytes.size());
}

TEST(CarModels, PaintFirstAndARoundTyreAtTheWheelRadius)
{
    Model body, wheel;
    ASSERT_TRUE(LoadGenerated("body.3ds", &body)) << "build the game_data target first";
    ASSERT_TRUE(LoadGenerated("wheel.3ds", &wheel));
    ResetRaceWorld(1);
    // The paint takes the colour current when the list is called, before
    // any other part sets its own.
    for (const Model* m : {&body, &wheel}) {
        ASSERT_FALSE(m->objects.empty());
        const int32_t first = m->objects[0].materialIndex;
        ASSERT_LT(first, (int32_t)m->materialCount);
        EXPECT_STREQ(m->materials[(size_t)first].name, "paint");
    }
    const MeshObject* tyre = nullptr;
    for (const MeshObject& o : wheel.objects)
        if (strcmp(o.name, "tyre") == 0)
            tyre = &o;
    ASSERT_NE(tyre, nullptr);
    std::set<long> angles;  // round the axle (3DS x)
    float outer = 0.0f;
    for (int v = 0; v < tyre->vertexCount; v++) {
        const float y = tyre->vertices[3 * (size_t)v + 1], z = tyre->vertices[3 * (size_t)v + 2];
        outer = std::max(outer, std::hypot(y, z));
        if (std::hypot(y, z) > 0.2f)
            angles.insert(std::lround(std::atan2(z, y) * 180.0f / 3.14159265f));
    }
    EXPECT_GE(angles.size(), 24u);
    EXPECT_NEAR(outer, gCars[0].wheelRadius, 0.01f);
    FreeModelGeometry(body);
    FreeModelGeometry(wheel);
}

}  // namespace
