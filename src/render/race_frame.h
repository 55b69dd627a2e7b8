// One frame of a race: the shadow textures, then one view per player in the
// split-screen layout of the screenmode preference, each with its camera's
// projection, the goal arrow, the world and the heads-up display.
#pragma once

#include <cstdint>

#include "render/frustum.h"
#include "render/quality.h"

static const int kMaxViews = 4;

// The split-screen view being drawn, 0..3.  Per frame: RenderRaceFrame
// sets it before each view; the race assets' load sets it to 0.
extern uint32_t currentView;

// What each view of this frame sees, in world coordinates.  Per frame:
// RenderRaceFrame sets every view's before the shadow pass.
extern Frustum gViewFrustum[kMaxViews];
// Pixels one world unit covers at distance 1 in each view (view height over
// twice the tangent of half the field of view).  Per frame, with the frusta.
extern float gViewScale[kMaxViews];

// A car (about 1.8 units long) drawn fewer pixels long than kMidCarPixels
// in a view gets the middle body, under kFarCarPixels the far model.  Its
// wheels (a quarter of its length across) are the full ones from
// kFullWheelPixels, the middle ones from kLowWheelPixels, below that the low
// ones: each within about a pixel of the full wheel's outline.
static const float kCarLength = 1.8f;
static const float kMidCarPixels = 150.0f;
static const float kFarCarPixels = 28.0f;
static const float kFullWheelPixels = 300.0f;
static const float kLowWheelPixels = 100.0f;
// What this frame draws: the saved settings as the quality budget lowers
// them.  Per frame: RenderRaceFrame sets it first.
extern Quality gQuality;
// The budget's state.  Per start-up pass: ResetQualityBudget.
extern QualityBudget gBudget;

// The haze leaves everything nearer the eye than its start as it is.  In
// the world pass, a piece of the world wholly nearer than that (its
// farthest point `farthest` from the eye of currentView) is drawn with the
// fog off, pixel for pixel the same, and the renderer skips the fog's blend
// for each of its pixels; anything else with the fog on.
void HazeFor(float farthest);
// The farthest any point of the box lo..hi lies from the eye of currentView.
float FarthestInBox(const float lo[3], const float hi[3]);

// The budget off or at the target of the preference, all levels at 0.
void ResetQualityBudget();

// Light 0's place in the world (a positional light).
extern const float kLightPosition[4];

// The whole race frame (states 6, 7 and 8).
void RenderRaceFrame();
// The scene seen by the camera of currentView (projection and viewport set).
void DrawWorld();
// The 3-D arrow in front of the eye pointing at the viewer's goal.
void DrawDirectionArrow();
// The leader's medal above its car, camera-facing, far ones first.
void DrawMedalMarkers();
// How much of a medal marker shows at `distance` from the eye: none within
// 3 units, all from 6 on, in between in proportion.
float MedalFade(float distance);
// The texture of the budget's half-resolution world: deleted (race assets
// freed) / forgotten (a new rendering context, whose names are its own).
void FreeHalfPicture();
void ForgetHalfPicture();
// Full-window viewport and camera 0's projection; identity modelview.
void SetPerspective();
