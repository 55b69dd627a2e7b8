#include "render/quality.h"

namespace {

struct Step {
    float dustShare;
    int32_t shadowCap;  // highest shadow resolution, texels (1: static, 0: none)
    float terrainFar;
    uint8_t sceneryOuter;
    float carDetail;
    uint8_t halfResolution;
};

// The fixed order: dust, shadows, terrain, scenery, then again finer; the
// cars, which the players watch most, come next to last, and the whole
// picture's sharpness last of all.
const Step kSteps[kQualityLevels] = {
    {1.0f, 1024, 32.0f, 1, 1.0f, 0},  // the saved settings
    {0.5f, 1024, 32.0f, 1, 1.0f, 0},  // half the dust
    {0.5f, 64, 32.0f, 1, 1.0f, 0},    // shadows at 64 texels
    {0.5f, 64, 16.0f, 1, 1.0f, 0},    // coarse ground from 16 units
    {0.5f, 64, 16.0f, 0, 1.0f, 0},    // scenery ring's outer band off
    {0.25f, 64, 16.0f, 0, 1.0f, 0},   // a quarter of the dust
    {0.25f, 32, 16.0f, 0, 1.0f, 0},   // shadows at 32 texels
    {0.25f, 32, 8.0f, 0, 1.0f, 0},    // coarse ground from 8 units
    {0.0f, 32, 8.0f, 0, 1.0f, 0},     // no dust
    {0.0f, 1, 8.0f, 0, 1.0f, 0},      // static shadows
    {0.0f, 0, 8.0f, 0, 1.0f, 0},      // no car shadows (the tag spot stays)
    {0.0f, 0, 8.0f, 0, 0.3f, 0},      // plainer cars: their models chosen for 0.3 of their size
    {0.0f, 0, 8.0f, 0, 0.3f, 1},      // the world at half resolution
};

const double kWindow = 0.5;
const double kUnder = 0.95;     // of the target: a window this slow lowers a level
const double kFarUnder = 0.8;   // ... and this slow, two in a row, two levels
const double kRoomy = 1.25;     // a window this fast has room to spare
const uint32_t kRoomyWindows = 4;
const uint32_t kMostPatience = 64;

// Forgets the current window (after a change of views, or a judged window).
void RestartBudgetWindow(QualityBudget& budget)
{
    budget.seconds = 0.0;
    budget.frames = 0;
}

}  // namespace

Quality QualityAtLevel(int32_t savedShadowResolution, int32_t level)
{
    if (level < 0)
        level = 0;
    if (level >= kQualityLevels)
        level = kQualityLevels - 1;
    const Step& s = kSteps[level];
    Quality q;
    q.shadowResolution = savedShadowResolution < s.shadowCap ? savedShadowResolution : s.shadowCap;
    if (q.shadowResolution < 0)
        q.shadowResolution = 0;
    q.dustShare = s.dustShare;
    q.terrainFar = s.terrainFar;
    q.sceneryOuter = s.sceneryOuter;
    q.carDetail = s.carDetail;
    q.halfResolution = s.halfResolution;
    q.level = level;
    return q;
}

BudgetChange BudgetFrame(QualityBudget& budget, uint32_t views, double frameSeconds)
{
    if (budget.target <= 0 || !(frameSeconds > 0.0) || frameSeconds > 1.0)
        return kBudgetKept;  // off, or a frame that says nothing (a load, a pause)
    views = views < 1 ? 1 : views > 4 ? 4 : views;
    if (views != budget.views) {
        RestartBudgetWindow(budget);
        budget.views = views;
    }
    budget.seconds += frameSeconds;
    budget.frames++;
    BudgetTrack& track = budget.track[views - 1];
    // After a window far under the target the next is a quarter second: a
    // race's first seconds walk down the levels in 2 s instead of 3.5.
    if (budget.seconds < (track.farUnder ? kWindow / 2 : kWindow))
        return kBudgetKept;
    const double rate = (double)budget.frames / budget.seconds;
    RestartBudgetWindow(budget);
    if (track.patience == 0)
        track.patience = kRoomyWindows;
    const bool afterRaise = track.justRaised != 0;
    track.justRaised = 0;
    const bool underBefore = track.under != 0;
    track.under = rate < kUnder * budget.target;
    track.farUnder = rate < kFarUnder * budget.target;
    if (track.under) {
        track.roomy = 0;
        if (afterRaise && track.patience < kMostPatience)
            track.patience *= 2;
        // Far under the target for a second window in a row, two steps at a
        // time, so that a race's first seconds are slow for half as long.
        // A single slow window (a stall, new pixel code being compiled) and
        // a raise taken back (its window was over) lower one.
        const int32_t steps = track.farUnder && underBefore ? 2 : 1;
        const int32_t lowered = track.level + steps < kQualityLevels ? track.level + steps : kQualityLevels - 1;
        if (lowered > track.level) {
            track.level = lowered;
            return kBudgetLowered;
        }
        return kBudgetKept;
    }
    if (rate > kRoomy * budget.target && track.level > 0) {
        if (++track.roomy >= track.patience) {
            track.roomy = 0;
            track.justRaised = 1;
            track.level--;
            return kBudgetRaised;
        }
        return kBudgetKept;
    }
    track.roomy = 0;
    return kBudgetKept;
}

BudgetChange BudgetRaceFrame(QualityBudget& budget, uint32_t views, double frameSeconds, uint32_t trackGeneration,
                             bool racing)
{
    const bool loaded = trackGeneration != budget.trackGeneration;
    const bool built = budget.building != 0;
    const bool raced = budget.racing != 0;
    budget.trackGeneration = trackGeneration;
    budget.building = loaded;
    budget.racing = racing;
    if (loaded) {
        // The last race's last windows say nothing of this one's first: a
        // race that ended far under the target must not shorten the next
        // race's first window or make its first slow window a double step.
        for (BudgetTrack& track : budget.track) {
            track.under = 0;
            track.farUnder = 0;
        }
    }
    if (loaded || built || !raced) {
        RestartBudgetWindow(budget);
        return kBudgetKept;
    }
    return BudgetFrame(budget, views, frameSeconds);
}
