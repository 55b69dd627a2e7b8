// The frame clock: steps of a frame, the last long step, smoothing.
#include <gtest/gtest.h>

#include "app/clock.h"

namespace {

int CountSteps(double* lastStep)
{
    int steps = 0;
    while (NextStep(true)) {
        steps++;
        *lastStep = 1.0 / gClock.stepRate;
    }
    return steps;
}

TEST(Clock, FrameOf59PerSecondGivesSevenStepsAndALongLast)
{
    InitClock();
    MeasureFrame(59, true);
    double last = 0;
    int steps = 0;
    double total = 0;
    while (NextStep(false)) {
        steps++;
        last = 1.0 / gClock.stepRate;
        total += last;
    }
    EXPECT_EQ(steps, 8);  // seven of 0.002 s and the last of the rest
    EXPECT_NEAR(last, 1.0 / 59 - 7 * 0.002, 1e-9);
    EXPECT_NEAR(last, 0.0029492, 1e-7);
    EXPECT_NEAR(total, 1.0 / 59, 1e-12);
}

TEST(Clock, ShortFramesRunNoStep)
{
    InitClock();
    double last;
    MeasureFrame(500, true);
    EXPECT_EQ(CountSteps(&last), 0);
    MeasureFrame(1000, true);
    EXPECT_EQ(CountSteps(&last), 0);
    MeasureFrame(300, true);  // 3.33 ms: one step takes all of it
    EXPECT_EQ(CountSteps(&last), 1);
    EXPECT_NEAR(last, 1.0 / 300, 1e-12);
}

TEST(Clock, UnmeasuredAndScreenshotFramesKeepTheLastRate)
{
    InitClock();
    MeasureFrame(0, false);
    EXPECT_DOUBLE_EQ(gClock.frameRate, 999.0);  // first frames: 1/999 s
    EXPECT_DOUBLE_EQ(gClock.timeLeft, 1.0 / 999);
    MeasureFrame(60, true);
    EXPECT_DOUBLE_EQ(gClock.frameRate, 60.0);
    gClock.measureNext = 0;  // a screenshot was taken
    MeasureFrame(3, true);
    EXPECT_DOUBLE_EQ(gClock.frameRate, 60.0);
    EXPECT_EQ(gClock.measureNext, 1);
    MeasureFrame(0, true);   // a frame longer than a second
    EXPECT_DOUBLE_EQ(gClock.frameRate, 60.0);
}

TEST(Clock, SmoothingRunsPerStep)
{
    InitClock();
    MeasureFrame(100, true);  // 10 ms: five steps
    double last;
    ASSERT_EQ(CountSteps(&last), 4);
    // displayRate moves half of the way per frame-rate-weighted step.
    double display = 1.0, race = 1.0;
    for (int i = 0; i < 4; i++) {
        display += (100.0 - display) * 0.5 / 100.0;
        race += (100.0 - race) * 0.05 / 100.0;
    }
    EXPECT_NEAR(gClock.displayRate, display, 1e-12);
    EXPECT_NEAR(gClock.raceRate, race, 1e-12);
}

}  // namespace
