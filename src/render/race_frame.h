// One frame of a race: the shadow textures, then one view per player in the
// split-screen layout of the screenmode preference, each with its camera's
// projection, the goal arrow, the world and the heads-up display.
#pragma once

#include <cstdint>

// The split-screen view being drawn, 0..3.  Per frame: RenderRaceFrame
// sets it before each view; the race assets' load sets it to 0.
extern uint32_t currentView;

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
// Full-window viewport and camera 0's projection; identity modelview.
void SetPerspective();
