// The plain arithmetic of the heads-up display, the results panel's places
// and the overview map: no drawing, so the tests run it without a window.
#pragma once

#include <cstdint>

struct Prefs;

// Cars of a race in the order the HUD lists them: best first (highest score;
// in both modes a higher score is better), equal scores in index order.
// place[k] is the place of the car listed k-th, 1-based; equal scores share
// the better place ("1st, 1st, 3rd").
struct HudRanking {
    uint32_t count;
    uint32_t car[5];
    uint32_t place[5];
};
void RankForHud(const float* score, uint32_t count, HudRanking* out);
// The place of `car` in the ranking, 1-based (0 when it is not listed).
uint32_t PlaceOfCar(const HudRanking& ranking, uint32_t car);

// "1st", "2nd", "3rd", "4th" ... "11th", "12th", "13th", "21st".
const char* PlaceSuffix(uint32_t place);

// Race clock as "m:ss.t" (0:00.0 and up; negative times show 0:00.0).
void FormatRaceClock(float seconds, char* out, int size);

// The speed read-out in km/h of a car moving at (vx, vz) world units per
// second in the plane (one world unit, the wheelbase, counts as two metres).
int SpeedKmh(float vx, float vz);

// How much larger than the document's floor race text is drawn in a view
// `viewHeight` window heights tall (1 for a full window, 0.5 for halves
// and quarters): 1.8 for a full window, 1.4 for halves, never below 1.
float HudTextScale(float viewHeight);

// The name a car shows in the standings and results: the player's name
// for people, "CPU " and a name of its own for computer cars.
void CarDisplayName(const Prefs& prefs, uint32_t car, bool human, char* out, int size);

// A rectangle in window fractions (origin bottom left).
struct ViewRect {
    float x, y, w, h;
};

// The overview map: the whole ground (64 x 64 cells of cellSize) drawn into
// `rect`, north (-z) up.  World x runs from -32.5 to 31.5 cells left to
// right, world z from -32.5 cells (top) to 31.5 cells (bottom), matching
// the ground texture.
void MapPoint(const ViewRect& rect, float cellSize, float wx, float wz, float* mx, float* my);
// A square map of side `side` window heights (window aspect `aspect` =
// width / height) in the corner of `view`: `corner` 0 bottom left, 1 bottom
// right, 2 top left, 3 top right, `margin` window heights from the edges.
ViewRect MapInCorner(const ViewRect& view, float side, float aspect, int corner, float margin);
// The largest square map centred in `area`.
ViewRect MapInArea(const ViewRect& area, float aspect);

// The goal arrow of a split view, `distance` before the eye in a view whose
// half-height at distance 1 is `tanHalfFov`: its height above the eye line,
// its scale (the model is about 0.3 long, +-0.16 about its centre) and the
// tilt in degrees about x that shows its top to the eye.  Its whole extent
// stays above the eye line (cars are below it in the chase view) and inside
// the view's top edge.
struct ArrowPlace {
    float height, scale, tilt;
};
ArrowPlace PlaceArrow(float tanHalfFov, float distance);
