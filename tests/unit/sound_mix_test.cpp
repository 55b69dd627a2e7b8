// Engine pitch and loudness from wheel speed, panning per split-screen
// layout, the mix's headroom factor and the engine loop's resampler.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>

#include "sound/sound_mix.h"

namespace {

TEST(EngineSound, PitchAndLoudnessFollowTheWheels)
{
    const struct { float wheel, max, rate, loudness; } cases[] = {
        {-5.0f, 10.0f, 1.25f, 0.7f},   // reversing at half speed sounds as forwards
        {25.0f, 10.0f, 1.9f, 1.0f},    // held at full speed
        {5.0f, 0.0f, 0.6f, 0.4f},      // no top speed: idle
        {NAN, 10.0f, 0.6f, 0.4f},
    };
    for (const auto& c : cases)
        EXPECT_TRUE(fabsf(EngineRate(c.wheel, c.max) - c.rate) + fabsf(EngineLoudness(c.wheel, c.max, 0) - c.loudness) < 1e-6f)
            << c.wheel;
    EXPECT_NEAR(EngineLoudness(10.0f, 10.0f, 10.0f), 0.5f, 1e-6f);  // halved at 10 units
}

TEST(EngineSound, PanningPerLayout)
{
    const struct { int32_t screenmode; uint32_t view; float left, right; } cases[] = {
        {1, 1, 0.3f, 1.0f}, {2, 2, 1.0f, 0.3f}, {2, 3, 0.3f, 1.0f},  // halves, quarters by their column
        {7, 1, 1.0f, 1.0f},                                          // an unknown layout: centred
    };
    for (const auto& c : cases) {
        float l, r;
        ViewPan(c.screenmode, c.view, &l, &r);
        EXPECT_TRUE(l == c.left && r == c.right) << c.screenmode << " " << c.view << ": " << l << " " << r;
    }
}

TEST(MixHeadroom, PeaksAtTheirVolumesStayUnderTheLimit)
{
    const float peaks[4] = {0.8f, 0.9f, 0.9f, 0.5f};
    const int full[4] = {128, 128, 128, 128}, quiet[4] = {32, 0, 16, -5};  // quiet: 0.2 + 0.1125 fits as it is
    EXPECT_NEAR(HeadroomScale(peaks, full, 4, 0.9f), 0.9f / 3.1f, 1e-6f);
    EXPECT_FLOAT_EQ(HeadroomScale(peaks, quiet, 4, 0.9f), 1.0f);
}

TEST(EngineResampler, InterpolatesWrapsAndPans)
{
    // A stereo loop of four frames: left 0, 100, 200, 300.
    const int16_t loop[8] = {0, 0, 100, 100, 200, 200, 300, 300};
    int16_t out[12];
    double phase = 0.0;
    ResampleLoop(loop, 4, &phase, 1.5f, 1.0f, 0.5f, out, 6);
    // Positions 0, 1.5, 3, 4.5 (wraps to 0.5), 2, 3.5 (between 300 and 0).
    const int16_t left[6] = {0, 150, 300, 50, 200, 150};
    for (int n = 0; n < 6; n++)
        EXPECT_TRUE(out[2 * n] == left[n] && out[2 * n + 1] == (int16_t)lrintf(left[n] * 0.5f)) << n;
    EXPECT_NEAR(phase, 1.0, 1e-9);  // 9 frames on, inside the loop
}

}  // namespace
