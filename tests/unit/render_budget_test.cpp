// What a view sees and what the quality budget lets it draw: frustum planes
// from the GL matrices, the quality levels lowering one thing each, and the
// budget's windows lowering and raising a level per number of views.
#include <gtest/gtest.h>

#include <cmath>

#include "render/frustum.h"
#include "render/quality.h"

namespace {

TEST(FrustumTest, BoxesInsideOutsideAndAcrossThePlanes)
{
    // gluPerspective(90, 1, 1, 100), column-major: the sides at 45 degrees.
    const float projection[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, -101.0f / 99, -1, 0, 0, -200.0f / 99, 0};
    // The modelview of an eye at (x, 0, 0) looking down -z.
    float modelview[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    const struct { float eyeX, lo[3], hi[3]; bool seen; } cases[] = {
        {0, {-1, -1, -11}, {1, 1, -9}, true},      {0, {-1, -1, 5}, {1, 1, 7}, false},      // ahead, behind
        {0, {-30, -1, -11}, {-12, 1, -9}, false},  {0, {-30, -1, -11}, {-8, 1, -9}, true},  // left side
        {0, {-1, -1, -130}, {1, 1, -101}, false},  {0, {-1, -1, -1.5f}, {1, 1, -0.5f}, true},  // far, near
        {0, {-1, -1, -0.9f}, {1, 1, 0.5f}, false}, {50, {-1, -1, -11}, {1, 1, -9}, false},  // eye moved 50 right
    };
    for (const auto& c : cases) {
        modelview[12] = -c.eyeX;
        Frustum f;
        FrustumFromMatrices(projection, modelview, &f);
        EXPECT_EQ(BoxInFrustum(f, c.lo, c.hi), c.seen) << c.eyeX << " " << c.lo[0] << " " << c.lo[2];
    }
    // A sphere 1 unit off the left side at depth 10 (the side is x = -10):
    // its distance to the plane is 1 / sqrt(2) * 1 = 0.707.
    modelview[12] = 0.0f;
    Frustum f;
    FrustumFromMatrices(projection, modelview, &f);
    const float off[3] = {-11.0f, 0.0f, -10.0f};
    EXPECT_FALSE(SphereInFrustum(f, off, 0.6f));
    EXPECT_TRUE(SphereInFrustum(f, off, 0.8f));
}

TEST(QualityTest, LevelsLowerOneThingAtATime)
{
    // Every step lowers exactly one thing and raises none.
    for (int32_t level = 1; level < kQualityLevels; level++) {
        const Quality a = QualityAtLevel(128, level - 1), b = QualityAtLevel(128, level);
        const int lowered = (b.dustShare < a.dustShare) + (b.shadowResolution < a.shadowResolution) +
                            (b.terrainFar < a.terrainFar) + (b.sceneryOuter < a.sceneryOuter) +
                            (b.carDetail < a.carDetail) + (b.halfResolution > a.halfResolution);
        EXPECT_EQ(lowered, 1) << level;
        EXPECT_TRUE(b.dustShare <= a.dustShare && b.shadowResolution <= a.shadowResolution &&
                    b.terrainFar <= a.terrainFar && b.sceneryOuter <= a.sceneryOuter &&
                    b.carDetail <= a.carDetail && b.halfResolution >= a.halfResolution)
            << level;
    }
    EXPECT_EQ(QualityAtLevel(128, 0).carDetail, 1.0f);
    EXPECT_EQ(QualityAtLevel(128, kQualityLevels - 4).shadowResolution, 1);  // static shadows
    EXPECT_EQ(QualityAtLevel(128, kQualityLevels - 3).shadowResolution, 0);  // then none
    EXPECT_EQ(QualityAtLevel(128, kQualityLevels - 3).carDetail, 1.0f);  // then the cars
    EXPECT_LT(QualityAtLevel(128, kQualityLevels - 2).carDetail, 1.0f);
    EXPECT_EQ(QualityAtLevel(128, kQualityLevels - 2).halfResolution, 0);  // the resolution last of all
    EXPECT_EQ(QualityAtLevel(128, kQualityLevels - 1).halfResolution, 1);
    // Never above the saved setting; out-of-range levels held.
    EXPECT_EQ(QualityAtLevel(32, 2).shadowResolution, 32);
    EXPECT_EQ(QualityAtLevel(0, kQualityLevels - 1).shadowResolution, 0);
    EXPECT_EQ(QualityAtLevel(1, kQualityLevels - 4).shadowResolution, 1);
    EXPECT_EQ(QualityAtLevel(128, 99).halfResolution, 1);
    EXPECT_EQ(QualityAtLevel(128, -3).halfResolution, 0);
    EXPECT_EQ(QualityAtLevel(128, 99).level, kQualityLevels - 1);
    EXPECT_EQ(QualityAtLevel(128, -3).level, 0);
}

// Feeds `frames` frames of 1 / rate seconds; returns the changes seen.
int Feed(QualityBudget& b, uint32_t views, double rate, int frames, BudgetChange* last = nullptr)
{
    int changes = 0;
    for (int k = 0; k < frames; k++) {
        const BudgetChange c = BudgetFrame(b, views, 1.0 / rate);
        if (c != kBudgetKept && ++changes && last)
            *last = c;
    }
    return changes;
}

TEST(QualityBudgetTest, LowersPerViewCountAndRaisesWhenThereIsRoom)
{
    QualityBudget b = QualityBudget();
    EXPECT_EQ(Feed(b, 4, 20.0, 200), 0);  // off
    b.target = 60;
    BudgetChange last = kBudgetKept;
    // 50 fps, under 95 % of the target: each half-second window (25 frames)
    // lowers one level.
    EXPECT_EQ(Feed(b, 4, 50.0, 24), 0);
    EXPECT_EQ(Feed(b, 4, 50.0, 26, &last), 2);
    EXPECT_TRUE(last == kBudgetLowered && b.track[3].level == 2);
    // 47 fps, under 80 % of it, after a window under 95 %: two levels a
    // window (of 24 frames).
    EXPECT_EQ(Feed(b, 4, 47.0, 23), 0);
    EXPECT_EQ(Feed(b, 4, 47.0, 1), 1);
    EXPECT_EQ(b.track[3].level, 4);
    EXPECT_EQ(b.track[0].level, 0);  // one view keeps its own level
    // Over 95 %, under 125 % of the target: held (the first window, after one
    // far under, a quarter second).
    EXPECT_EQ(Feed(b, 4, 64.0, 304), 0);
    // 128 fps: four windows in a row (of 64 frames) raise one level.
    EXPECT_EQ(Feed(b, 4, 128.0, 255), 0);
    EXPECT_EQ(Feed(b, 4, 128.0, 1, &last), 1);
    EXPECT_TRUE(last == kBudgetRaised && b.track[3].level == 3);
    // Taken back at once, one level even far under the target; the next
    // raise waits twice as long (eight windows, the first a quarter second).
    EXPECT_EQ(Feed(b, 4, 32.0, 16), 1);
    EXPECT_EQ(b.track[3].level, 4);
    EXPECT_EQ(Feed(b, 4, 128.0, 479), 0);
    EXPECT_EQ(Feed(b, 4, 128.0, 1), 1);
    EXPECT_EQ(b.track[3].level, 3);
    // A single slow window after a held one (a stall) lowers one level; a
    // second in a row, a quarter second long, two.
    EXPECT_EQ(Feed(b, 3, 64.0, 32), 0);
    EXPECT_EQ(Feed(b, 3, 4.0, 2), 1);
    EXPECT_EQ(b.track[2].level, 1);
    EXPECT_EQ(Feed(b, 3, 4.0, 1), 1);
    EXPECT_EQ(b.track[2].level, 3);
    // Far under the target from the saved settings (32 fps): the thirteen
    // levels in seven windows (1, 3, 5, 7, 9, 11, 12) instead of twelve, the
    // first half a second and the rest a quarter, 2 s in all; never past the
    // last. A frame over a second says nothing.
    EXPECT_EQ(Feed(b, 1, 64.0, 32), 0);
    EXPECT_EQ(Feed(b, 1, 32.0, 63), 6);
    EXPECT_EQ(b.track[0].level, kQualityLevels - 2);
    EXPECT_EQ(Feed(b, 1, 32.0, 1), 1);
    EXPECT_EQ(b.track[0].level, kQualityLevels - 1);
    EXPECT_EQ(Feed(b, 1, 4.0, 200), 0);
    EXPECT_EQ(BudgetFrame(b, 1, 2.0), kBudgetKept);
    EXPECT_EQ(b.frames, 0u);
    // An odd last step is taken alone.
    b.track[1].level = kQualityLevels - 2;
    b.track[1].under = 1;
    EXPECT_EQ(Feed(b, 2, 4.0, 2, &last), 1);
    EXPECT_EQ(b.track[1].level, kQualityLevels - 1);
}

TEST(QualityBudgetTest, EachNumberOfViewsIsJudgedApart)
{
    QualityBudget b = QualityBudget();
    b.target = 60;
    // Four views raise a level; the first window in two views, far under,
    // is not taking that raise back: it lowers one, and the next two.
    b.track[3].level = 5;
    EXPECT_EQ(Feed(b, 4, 128.0, 256), 1);
    EXPECT_EQ(b.track[3].level, 4);
    EXPECT_EQ(Feed(b, 2, 32.0, 24), 2);  // windows of 16 and 8 frames
    EXPECT_EQ(b.track[1].level, 3);
    EXPECT_EQ(b.track[1].patience, 4u);
    // Four views still wait four roomy windows for their next raise...
    EXPECT_EQ(Feed(b, 4, 128.0, 255), 0);
    EXPECT_EQ(Feed(b, 4, 128.0, 1), 1);
    EXPECT_EQ(b.track[3].level, 3);
    // ...and a slow first window in one view after that is a single step.
    EXPECT_EQ(Feed(b, 1, 32.0, 16), 1);
    EXPECT_EQ(b.track[0].level, 1);

    // A window holds one number of views: slow four-view frames left
    // unjudged when the views change do not count against one view.
    QualityBudget c = QualityBudget();
    c.target = 60;
    EXPECT_EQ(Feed(c, 4, 10.0, 4), 0);   // 0.4 s, under a window
    EXPECT_EQ(Feed(c, 1, 64.0, 32), 0);  // a window of its own, held
    EXPECT_EQ(c.track[0].level, 0);
    EXPECT_EQ(c.track[3].level, 0);
}

TEST(QualityBudgetTest, TrackLoadsAreNotJudgedAndEndTheWindow)
{
    QualityBudget b = QualityBudget();
    b.target = 60;
    // The first race frame after start-up sees the first track's load, the
    // next its graphics being built: neither counts, however long.
    EXPECT_EQ(BudgetRaceFrame(b, 1, 0.45, 1, true), kBudgetKept);
    EXPECT_EQ(BudgetRaceFrame(b, 1, 0.40, 1, true), kBudgetKept);
    EXPECT_EQ(b.frames, 0u);
    // 64 fps from then on: held, not lowered.
    for (int k = 0; k < 64; k++)
        EXPECT_EQ(BudgetRaceFrame(b, 1, 1.0 / 64.0, 1, true), kBudgetKept);
    EXPECT_EQ(b.track[0].level, 0);
    // The race ends with slow frames (0.4 s of a window at 10 fps); the next
    // race (a new generation) starts a window of its own, at 64 fps again.
    for (int k = 0; k < 4; k++)
        BudgetRaceFrame(b, 1, 0.1, 1, true);
    EXPECT_EQ(b.frames, 4u);
    EXPECT_EQ(BudgetRaceFrame(b, 1, 0.3, 2, true), kBudgetKept);
    EXPECT_EQ(b.frames, 0u);
    EXPECT_EQ(BudgetRaceFrame(b, 1, 0.3, 2, true), kBudgetKept);
    for (int k = 0; k < 64; k++)
        EXPECT_EQ(BudgetRaceFrame(b, 1, 1.0 / 64.0, 2, true), kBudgetKept);
    EXPECT_EQ(b.track[0].level, 0);
    // Without the generation the same frames would have lowered a level:
    // the check above is of the load, not of the frames.
    QualityBudget c = QualityBudget();
    c.target = 60;
    EXPECT_EQ(Feed(c, 1, 10.0, 4) + Feed(c, 1, 1.0 / 0.3, 2) + Feed(c, 1, 64.0, 64), 2);
    // A slow race frame with no load is still judged.
    for (int k = 0; k < 5; k++)
        BudgetRaceFrame(b, 1, 0.1, 2, true);
    EXPECT_EQ(b.track[0].level, 1);

    // A race that ends far under the target (32 fps: one step on the first
    // window, two on the quarter-second one after it) leaves the next race
    // to judge its first window whole: half a second, and one step.
    QualityBudget d = QualityBudget();
    d.target = 60;
    BudgetRaceFrame(d, 4, 0.4, 1, true);
    BudgetRaceFrame(d, 4, 0.4, 1, true);
    for (int k = 0; k < 24; k++)
        BudgetRaceFrame(d, 4, 1.0 / 32.0, 1, true);
    EXPECT_EQ(d.track[3].level, 3);
    BudgetRaceFrame(d, 4, 0.4, 2, true);
    BudgetRaceFrame(d, 4, 0.4, 2, true);
    for (int k = 0; k < 15; k++)
        EXPECT_EQ(BudgetRaceFrame(d, 4, 1.0 / 32.0, 2, true), kBudgetKept);
    EXPECT_EQ(d.track[3].level, 3);
    EXPECT_EQ(BudgetRaceFrame(d, 4, 1.0 / 32.0, 2, true), kBudgetLowered);
    EXPECT_EQ(d.track[3].level, 4);
    // From then on the race walks down as any does: two steps a quarter second.
    for (int k = 0; k < 8; k++)
        BudgetRaceFrame(d, 4, 1.0 / 32.0, 2, true);
    EXPECT_EQ(d.track[3].level, 6);
}

TEST(QualityBudgetTest, MenusOverTheRaceAreNotJudged)
{
    QualityBudget b = QualityBudget();
    b.target = 60;
    BudgetRaceFrame(b, 4, 0.4, 1, true);  // the load
    BudgetRaceFrame(b, 4, 0.4, 1, true);  // the build
    for (int k = 0; k < 16; k++)          // half a window at 64 fps
        BudgetRaceFrame(b, 4, 1.0 / 64.0, 1, true);
    // Paused: the race's last frame still counts; a second of slow menu
    // frames over the race lowers nothing, and the window starts again.
    EXPECT_EQ(BudgetRaceFrame(b, 4, 1.0 / 64.0, 1, false), kBudgetKept);
    EXPECT_EQ(b.frames, 17u);
    for (int k = 0; k < 30; k++)
        EXPECT_EQ(BudgetRaceFrame(b, 4, 1.0 / 30.0, 1, false), kBudgetKept);
    EXPECT_EQ(b.frames, 0u);
    // The first frame after the pause judges the menu's last frame: not
    // counted either; then the race's frames are.
    EXPECT_EQ(BudgetRaceFrame(b, 4, 1.0 / 30.0, 1, true), kBudgetKept);
    EXPECT_EQ(b.frames, 0u);
    EXPECT_EQ(b.track[3].level, 0);
    int lowered = 0;
    for (int k = 0; k < 20; k++)  // one window, and a third of the next
        lowered += BudgetRaceFrame(b, 4, 1.0 / 30.0, 1, true) == kBudgetLowered;
    EXPECT_EQ(lowered, 1);
    EXPECT_EQ(b.track[3].level, 1);
}

}  // namespace
