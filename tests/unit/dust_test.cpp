// The dust pool: emission into the first free particle, growth and fading,
// the full pool, the cars' puffs per distance and the distance order.
#include <gtest/gtest.h>

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
    EXPECT_FLOAT_EQ(d.size, 0.25001f);
    for (int k = 0; k < 250; k++)
        UpdateDust();
    EXPECT_NEAR(d.size, 0.875f, 1e-3f);
    EXPECT_NEAR((d.endSize - d.size) / (d.endSize - d.startSize), 0.5f, 1e-3f);  // brightness
    for (int k = 0; k < 250; k++)
        UpdateDust();
    EXPECT_EQ(LiveParticles(), 0);
    const float size = d.size;
    UpdateDust();
    EXPECT_EQ(d.size, size);  // free particles stay as they are
}

TEST_F(DustTest, MovingAndShrinkingPuffs)
{
    EmitDust(0.0f, 0.0f, 0.0f, 1.0f, 2.0f, -3.0f, 0.5f, 2.0f, -1.0f);
    const DustParticle& d = gDust.particles[0];
    EXPECT_FLOAT_EQ(d.size, 1.99999f);
    UpdateDust();
    EXPECT_FLOAT_EQ(d.x, 0.002f);
    EXPECT_FLOAT_EQ(d.y, 0.5f + 0.004f);
    EXPECT_FLOAT_EQ(d.z, -0.006f);
    EXPECT_FLOAT_EQ(d.size, 1.99999f - 0.002f);
}

TEST_F(DustTest, AFullPoolDropsThePuff)
{
    for (int k = 0; k < kDustCount; k++)
        EmitDust((float)k, 0, 0, 0, 0, 0, 0.25f, 1.5f, 1.25f);
    EXPECT_EQ(LiveParticles(), kDustCount);
    DustSystem before = gDust;
    EmitDust(99.0f, 0, 0, 0, 0, 0, 0.25f, 1.5f, 1.25f);
    for (int k = 0; k < kDustCount; k++)
        EXPECT_EQ(gDust.particles[k].x, before.particles[k].x);
    // A freed particle is taken again, the first in pool order.
    gDust.particles[5].size = 2.0f;
    gDust.particles[9].size = 0.0f;
    EmitDust(99.0f, 0, 0, 0, 0, 0, 0.25f, 1.5f, 1.25f);
    EXPECT_EQ(gDust.particles[5].x, 99.0f);
    EXPECT_EQ(gDust.particles[9].x, 9.0f);
}

TEST_F(DustTest, SortingPutsTheFarthestFirstAndFreeOnesLast)
{
    EmitDust(1.0f, -0.25f, 0.0f, 0, 0, 0, 0.25f, 1.5f, 1.25f);   // distance 1
    EmitDust(5.0f, -0.25f, 0.0f, 0, 0, 0, 0.25f, 1.5f, 1.25f);   // 5
    EmitDust(-3.0f, -0.25f, 0.0f, 0, 0, 0, 0.25f, 1.5f, 1.25f);  // 3
    EmitDust(0.0f, -0.25f, 3.0f, 0, 0, 0, 0.25f, 1.5f, 1.25f);   // 3, higher index
    gDust.particles[10].x = 50.0f;  // free: sorted as distance 0
    const float eye[3] = {0.0f, 0.0f, 0.0f};
    SortDustByDistance(eye);
    EXPECT_EQ(gDust.particles[0].x, 5.0f);
    EXPECT_EQ(gDust.particles[1].z, 3.0f);   // equal distances: higher index first
    EXPECT_EQ(gDust.particles[2].x, -3.0f);
    EXPECT_EQ(gDust.particles[3].x, 1.0f);
    EXPECT_EQ(LiveParticles(), 4);
    for (int k = 4; k < kDustCount; k++)
        EXPECT_FALSE(gDust.particles[k].startSize < gDust.particles[k].size &&
                     gDust.particles[k].size < gDust.particles[k].endSize);
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
    for (float& t : gCars[0].dustTimer)
        EXPECT_EQ(t, 1.0f);
    for (float& t : gCars[0].dustTimer)
        t = 0.0f;
    Roll(10.0f, 125);  // 0.25 s at 10: 2.5 units per wheel
    EXPECT_EQ(LiveParticles(), 4 * 3);  // at 0, 1 and 2 units
}

TEST_F(DustTest, WheelsInTheAirRaiseNoDust)
{
    gStandings.countdown = 0.0f;
    PlaceCar(0, 0.0f, 0.0f, 0.0f, 3.0f);  // 3 above the ground, falling
    for (float& t : gCars[0].dustTimer)
        t = 0.0f;
    UpdateCar(gCars[0]);
    EXPECT_EQ(LiveParticles(), 0);
}

}  // namespace
