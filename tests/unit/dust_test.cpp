// The dust pool: emission into the first free particle, growth and fading,
// the full pool and the cars' puffs per distance.
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

}  // namespace
