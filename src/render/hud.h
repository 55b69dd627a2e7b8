// The race heads-up display of one view, the three-player overview map and
// the per-view overlays.
#pragma once

#include <cstdint>

#include "render/hud_logic.h"

// Everything the view being drawn (currentView) shows over its picture,
// `view` being its rectangle in window fractions: standings (own row
// marked, the tag holder tagged), place, race clock, speed, the lap and gate
// or tag time line, the countdown and "Go!", and on the results screen's
// first seconds "Race over" with the car's final place.  Text scales with
// the view's height and is outlined.
void DrawRaceHud(const ViewRect& view);

// Small things of one view that sit in their own spots: the corner map
// (bottom right, one- and two-view races) and, top left under the place,
// the spot kept for a per-view badge (the player's device, say).
void DrawViewOverlays(const ViewRect& view, uint32_t viewIndex);

// The live overview map filling `area`: the ground, the course line and
// gates, every car as a dot in its colour, the tag holder ringed.
void DrawOverviewMap(const ViewRect& area);

// The corner map in one- and two-view races (on by default).
extern bool gHudCornerMap;
