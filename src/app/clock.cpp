#include "app/clock.h"

#include <cmath>

#include "app/config.h"
#include "net/net_session.h"
#include "platform/sys.h"

Clock gClock;
uint8_t firstStart = 1;
uint8_t finalShutdown = 0;
uint8_t windowActive = 1;
uint8_t screenshotLatch = 0;

void InitClock()
{
    gClock.measureNext = 1;
    gClock.timeLeft = 999.0;
    gClock.frameRate = 999.0;
    gClock.stepRate = 999.0;
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

void MeasureFrame(int64_t rate, bool measured)
{
    if (gClock.measureNext && measured && rate > 0)
        gClock.frameRate = (double)rate;
    gClock.measureNext = 1;
    gClock.stepRate = gClock.frameRate;
    if (gClock.stepRate < 1.0)
        gClock.timeLeft = 1.0;
    else
        gClock.timeLeft = 1.0 / gClock.stepRate;
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
    if (elapsed <= 0) {
        MeasureFrame(0, false);
        return;
    }
    MeasureFrame(gClock.frequency / elapsed, true);
}

bool NextStep(bool inRace)
{
    if (!(gClock.timeLeft > kStepLength))
        return false;
    if (gClock.timeLeft - kStepLength > kStepLength) {
        gClock.stepRate = 500.0;
        gClock.timeLeft -= kStepLength;
    } else {
        gClock.stepRate = 1.0 / gClock.timeLeft;
        gClock.timeLeft = 0.0;
    }
    gClock.displayRate += (gClock.frameRate - gClock.displayRate) * 0.5 / gClock.frameRate;
    if (inRace)
        gClock.raceRate += (gClock.frameRate - gClock.raceRate) * 0.05 / gClock.frameRate;
    return true;
}
