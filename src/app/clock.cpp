#include "app/clock.h"

#include <cmath>

#include "app/config.h"
#include "net/net_session.h"
#include "platform/sys.h"

Clock gClock;
uint8_t firstStart = 1;
uint8_t finalShutdown = 0;
uint8_t windowActive = 1;
uint8_t windowFocusLost = 0;
uint8_t screenshotLatch = 0;

static const int64_t kStepsPerSecond = 500;

int32_t StepsForFrame(int64_t frameTicks, int64_t frequency, int64_t* carry)
{
    if (frequency <= 0 || frameTicks <= 0)
        return 0;
    // Times are counted in 1 / (500 * frequency) seconds, in which a step
    // is exactly `frequency` units and a tick exactly 500: no rounding.
    const int64_t maxTicks = (int64_t)(kMaxFrameTime * (double)frequency);
    int64_t total;
    if (frameTicks > maxTicks)
        total = maxTicks * kStepsPerSecond;
    else
        total = *carry + frameTicks * kStepsPerSecond;
    *carry = total % frequency;
    return (int32_t)(total / frequency);
}

void InitClock()
{
    gClock.measureNext = 1;
    gClock.carry = 0;
    gClock.lastFrameTicks = 0;
    gClock.stepsLeft = 0;
    gClock.frameSteps = 0;
    gClock.frameRate = 999.0;
    gClock.stepRate = (double)kStepsPerSecond;
    gClock.displayRate = 1.0;
    gClock.raceRate = 1.0;
}

// The frame may end once freq / elapsed (a whole number) is below the limit,
// that is once elapsed > freq / limit.  Long waits sleep until about 2 ms
// before that moment, so a capped game does not keep a core busy; the last
// stretch is polled so the measured frame lengths stay exact.
static int64_t WaitForFrameEnd(int64_t last, int64_t limit)
{
    const int64_t freq = gClock.frequency;
    const int64_t margin = freq / 500;
    for (;;) {
        int64_t now = (int64_t)SysCounter();
        int64_t elapsed = now - last;
        if (elapsed <= 0)
            return now;
        if (freq / elapsed < limit)
            return now;
        int64_t remaining = freq / limit - elapsed;
        if (remaining > margin)
            SysSleepMs((unsigned)((remaining - margin) * 1000 / freq));
    }
}

// The measuring half of UpdateClock: `ticks` counter ticks of the frame just
// ended, `measured` false when none could be measured (the first frame).
// Sets frameRate, frameSteps and stepsLeft; a frame after a screenshot
// simulates the previous frame's length instead of its own.
static void MeasureFrame(int64_t ticks, bool measured)
{
    gClock.stepRate = (double)kStepsPerSecond;
    if (!measured || ticks <= 0 || gClock.frequency <= 0) {
        gClock.frameSteps = gClock.stepsLeft = 0;
        gClock.measureNext = 1;
        return;
    }
    if (!gClock.measureNext && gClock.lastFrameTicks > 0)
        ticks = gClock.lastFrameTicks;
    gClock.measureNext = 1;
    gClock.lastFrameTicks = ticks;
    gClock.frameRate = (double)gClock.frequency / (double)ticks;
    gClock.frameSteps = gClock.stepsLeft = StepsForFrame(ticks, gClock.frequency, &gClock.carry);
}

void UpdateClock()
{
    if (gClock.frequency == 0) {
        gClock.frequency = (int64_t)SysFrequency();
        MeasureFrame(0, false);
        return;
    }
    if (gClock.lastCounter == 0) {
        gClock.lastCounter = (int64_t)SysCounter();
        MeasureFrame(0, false);
        return;
    }
    int64_t limit = (int64_t)gConfig.frameratelimit;
    if (gNet.role == kRoleClient && gNet.inFrameRate > 0 && gNet.inFrameRate < limit)
        limit = gNet.inFrameRate;
    if (limit < 1)
        limit = 1;
    int64_t now = WaitForFrameEnd(gClock.lastCounter, limit);
    int64_t elapsed = now - gClock.lastCounter;
    gClock.lastCounter = now;
    MeasureFrame(elapsed, elapsed > 0);
}

bool NextStep(bool inRace)
{
    if (gClock.stepsLeft <= 0)
        return false;
    gClock.stepsLeft--;
    gClock.stepRate = (double)kStepsPerSecond;
    gClock.displayRate += (gClock.frameRate - gClock.displayRate) * 0.5 / gClock.frameRate;
    if (inRace)
        gClock.raceRate += (gClock.frameRate - gClock.raceRate) * 0.05 / gClock.frameRate;
    return true;
}
