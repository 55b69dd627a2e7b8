// The dust pool: emission into the first free particle, growth and fading,
// the full pool and the cars' puffs per distance.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "race_world.h"

namespace {

int LiveParticles()
{
    int live = 0;
    for (const DustParticle& d : gDust.particles)
        live += d.startSize < d.size && d.size < d.endSize;
    return live;
}

class DustTest : public ::testing::Test {
protected:
    void SetUp() override { ResetRaceWorld(1); }
};

TEST_F(DustTest, APuffGrowsForOneSecond)
{
    EmitDust(1.0f, 10.0f, 2.0f, 0.0f, 0.0f, 0.0f, 0.25f, 1.5f, 1.25f);
    const DustParticle& d = gDust.particles[0];
    EXPECT_EQ(d.y, 10.25f);
    for (int k = 0; k < 250; k++)
        UpdateDust();
    EXPECT_NEAR(d.size, 0.875f, 1e-3f);
    for (int k = 0; k < 250; k++)
        UpdateDust();
    EXPECT_EQ(LiveParticles(), 0);
}

TEST_F(DustTest, AFullPoolDropsThePuff)
{
    for (int k = 0; k < kDustCount; k++)
        EmitDust((float)k, 0, 0, 0, 0, 0, 0.25f, 1.5f, 1.25f);
    EXPECT_EQ(LiveParticles(), kDustCount);
    EmitDust(99.0f, 0, 0, 0, 0, 0, 0.25f, 1.5f, 1.25f);
    EXPECT_EQ(gDust.particles[0].x, 0.0f);  // nothing overwritten
    // A freed particle is taken again, the first in pool order; a puff
    // shrunk to its start size is free.
    gDust.particles[5].size = gDust.particles[5].startSize;
    gDust.particles[9].size = 2.0f;
    EmitDust(99.0f, 0, 0, 0, 0, 0, 0.25f, 1.5f, 1.25f);
    EXPECT_EQ(gDust.particles[5].x, 99.0f);
    EXPECT_EQ(gDust.particles[9].x, 9.0f);
}

// A car rolling straight at `speed` on flat ground, with the dust stepped.
void Roll(float speed, int steps)
{
    Car& car = gCars[0];
    for (int k = 0; k < steps; k++) {
        car.velocity[2] = -speed;
        car.wheelSpeed = speed / car.wheelCircumference;
        UpdateCar(car);
        UpdateDust();
    }
}

TEST_F(DustTest, WheelsPuffOncePerUnitAboveWalkingPace)
{
    gStandings.countdown = 0.0f;
    PlaceCar(0, 0.0f, 0.0f);
    Roll(1.5f, 1);
    EXPECT_EQ(LiveParticles(), 4);  // the reset timers are 0: a puff at once
    Roll(1.5f, 600);
    EXPECT_EQ(LiveParticles(), 0);  // and slower than 2 never again
    Roll(3.0f, 200);  // at 3 one unit takes a third of a second
    EXPECT_EQ(LiveParticles(), 4);
    ClearDust();
    for (float& t : gCars[0].dustTimer)
        t = 0.0f;
    Roll(10.0f, 125);  // 0.25 s at 10: 2.5 units per wheel
    EXPECT_EQ(LiveParticles(), 4 * 3);  // at 0, 1 and 2 units
}

TEST_F(DustTest, PuffsTakeTheirGroundsColourFromAnyPlaceAndNoneFromNowhere)
{
    // A ground of grass everywhere but the corner cells, sand there.
    for (int c = 0; c < 64 * 64; c++) {
        gDust.ground.rgb[c][0] = 50;
        gDust.ground.rgb[c][1] = 160;
        gDust.ground.rgb[c][2] = 50;
    }
    const uint8_t sand[3] = {220, 200, 150};
    for (int c : {0, 63, 64 * 63, 64 * 64 - 1})
        memcpy(gDust.ground.rgb[c], sand, 3);
    gDust.ground.known = true;
    float grass[3], sandColour[3], grassOpacity, sandOpacity;
    const float g[3] = {50 / 255.0f, 160 / 255.0f, 50 / 255.0f};
    const float s[3] = {220 / 255.0f, 200 / 255.0f, 150 / 255.0f};
    DustColourOf(g, grass, &grassOpacity);
    DustColourOf(s, sandColour, &sandOpacity);
    EXPECT_NEAR(grassOpacity, 0.45f, 1e-5);  // grass throws a faint puff
    EXPECT_EQ(sandOpacity, 1.0f);

    EmitDust(0.0f, 0.0f, 0.0f, 0, 0, 0, 0.25f, 1.5f, 1.25f);
    EXPECT_EQ(gDust.particles[0].opacity, grassOpacity);
    // Far outside the world each way: the nearest corner cell.
    const float far[4][2] = {{-1e30f, -1e30f}, {1e30f, -1e30f}, {-1e30f, 1e30f}, {1e30f, 1e30f}};
    for (int k = 0; k < 4; k++) {
        EmitDust(far[k][0], 0.0f, far[k][1], 0, 0, 0, 0.25f, 1.5f, 1.25f);
        EXPECT_EQ(gDust.particles[1 + k].opacity, sandOpacity) << k;
        EXPECT_EQ(gDust.particles[1 + k].colour[0], sandColour[0]) << k;
    }
    // A wheel with no place (a car state about to be repaired) throws nothing.
    const float nan = std::numeric_limits<float>::quiet_NaN();
    EmitDust(nan, 0.0f, 0.0f, 0, 0, 0, 0.25f, 1.5f, 1.25f);
    EmitDust(0.0f, 0.0f, nan, 0, 0, 0, 0.25f, 1.5f, 1.25f);
    EmitDust(0.0f, INFINITY, 0.0f, 0, 0, 0, 0.25f, 1.5f, 1.25f);
    EXPECT_EQ(LiveParticles(), 5);
}

TEST_F(DustTest, SortedFromTheFarthestLiveParticleToTheNearestThenTheFreeOnes)
{
    const float xs[] = {5.0f, 1.0f, 9.0f, 3.0f};
    for (float x : xs)
        EmitDust(x, -0.25f, 0.0f, 0, 0, 0, 0.25f, 1.5f, 1.25f);
    gDust.particles[3].size = gDust.particles[3].endSize;  // burnt out
    const float eye[3] = {0.0f, 0.0f, 0.0f};
    SortDustByDistance(eye);
    EXPECT_EQ(gDust.particles[0].x, 9.0f);
    EXPECT_EQ(gDust.particles[1].x, 5.0f);
    EXPECT_EQ(gDust.particles[2].x, 1.0f);
    EXPECT_EQ(LiveParticles(), 3);
    for (int k = 3; k < kDustCount; k++)
        EXPECT_GE(gDust.particles[k].size, gDust.particles[k].endSize) << k;
    // Seen from the other side the order turns round; nothing is lost.
    const float other[3] = {12.0f, 0.0f, 0.0f};
    SortDustByDistance(other);
    EXPECT_EQ(gDust.particles[0].x, 1.0f);
    EXPECT_EQ(gDust.particles[2].x, 9.0f);
    EXPECT_EQ(LiveParticles(), 3);
}

}  // namespace
