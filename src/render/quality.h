// The quality budget.  The saved settings say what the player wants drawn;
// with a target frame rate ("Target frame rate": off, 30, 45 or 60) the
// budget draws less of it, a step or two at a time in a fixed order, while
// the frame rate stays under the target, and draws more again when the rate
// has room to spare.  Each number of views keeps its own level, so going
// from one view to four and back returns to what suited each.  The saved
// settings themselves never change.  Plain arithmetic, tested headless.
#pragma once

#include <cstdint>

// What the renderer draws this frame.
struct Quality {
    int32_t shadowResolution;  // texels of a car's shadow texture: 0 none, 1 static, 32..1024
    float dustShare;           // share of the dust puffs drawn, 0..1
    float terrainFar;          // ground chunks farther than this (world units) use the coarse mesh
    uint8_t sceneryOuter;      // 1: the outer band of the scenery ring is drawn
    float carDetail;           // the share of its length on screen a car's models are chosen for:
                               // 1 as drawn, less gives plainer models from larger sizes
    uint8_t halfResolution;    // 1: the world drawn at half the window's resolution, each pixel doubled
    int32_t level;             // budget steps taken, 0 = the saved settings
};

// Level 0 draws everything the settings ask; each level lowers one more of,
// in turn, dust count, shadow resolution, terrain detail, scenery distance,
// then the cars' detail (each car's models chosen as if it were under a
// third of its size on screen), and as the very last step the resolution:
// the world at half the window's resolution, the HUD still at full.
static const int32_t kQualityLevels = 13;  // levels 0 .. 12

// The quality at `level` (held to 0 .. kQualityLevels - 1) for the saved
// shadow resolution (0 off, 1 static, else texels): a lowered resolution
// never rises above the saved one.
Quality QualityAtLevel(int32_t savedShadowResolution, int32_t level);

enum BudgetChange { kBudgetKept, kBudgetLowered, kBudgetRaised };

// What the budget keeps for one number of views.
struct BudgetTrack {
    int32_t level;       // steps taken
    uint32_t roomy;      // windows in a row with room to spare
    uint32_t patience;   // roomy windows needed to raise (0 reads as 4)
    uint8_t justRaised;  // 1 in the window after a raise
    uint8_t under;       // 1 when the last window judged was under 95 % of the target
    uint8_t farUnder;    // 1 when it was under 80 %
};

struct QualityBudget {
    int32_t target;         // frames per second to hold, 0 off
    BudgetTrack track[4];   // per number of views 1 .. 4
    uint32_t views;         // the number of views of the current window
    double seconds;         // length of the frames of the current window
    uint32_t frames;        // frames in the current window
    uint32_t trackGeneration;  // the loaded track's generation at the last race frame
    uint8_t building;       // 1 when the frame now ending builds a new track's graphics
    uint8_t racing;         // 1 when the frame now ending draws a race under way
};

// Frames are judged in windows of half a second, each of one number of
// views (a frame with another number starts a new window): a window under
// 95 % of the target lowers one level, and one under 80 % two when the
// window before was under 95 % too; after a window under 80 % the next is
// a quarter second long; four windows in a row above 125 % of the target
// raise one.  A raise that has to be taken back in the very next window
// doubles the windows the next raise waits for (up to 64), so the level
// does not swing.  Each number of views keeps all of this apart.  Returns
// what the frame changed.  `views` 1 .. 4 (held).
BudgetChange BudgetFrame(QualityBudget& budget, uint32_t views, double frameSeconds);
// BudgetFrame for a race frame, given the loaded track's generation as the
// frame begins and whether it draws a race under way (`racing`: not paused
// in the race menu, not over behind the results).  The frame that loaded a
// track and the one after it, which builds the track's graphics, take far
// longer than the race's frames and say nothing of them: neither is judged,
// and the window starts again, so that no window holds the frames of two
// races; nor does a new race remember whether the last one's windows were
// under the target.  Nor is a frame judged that drew a menu over the race:
// the level is the race's, and a paused race goes on at the level it had.
BudgetChange BudgetRaceFrame(QualityBudget& budget, uint32_t views, double frameSeconds,
                             uint32_t trackGeneration, bool racing);
