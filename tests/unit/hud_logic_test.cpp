// The HUD's arithmetic: places with ties, place texts, clock and speed,
// the overview map's projection and the split-view arrow.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "game/prefs.h"
#include "render/hud_logic.h"

namespace {

TEST(HudRanking, BestFirstEqualScoresShareThePlaceInIndexOrder)
{
    struct Case { float score[5]; uint32_t count, car[5], place[5]; };
    const Case cases[] = {
        {{3, 1, 3}, 3, {0, 2, 1}, {1, 1, 3}},
        {{0, 0, 0, 0, 0}, 5, {0, 1, 2, 3, 4}, {1, 1, 1, 1, 1}},
        {{5, 7, 5, 7}, 4, {1, 3, 0, 2}, {1, 1, 3, 3}},
    };
    for (const Case& c : cases) {
        HudRanking r;
        RankForHud(c.score, c.count, &r);
        ASSERT_EQ(r.count, c.count);
        for (uint32_t k = 0; k < c.count; k++) {
            EXPECT_EQ(r.car[k], c.car[k]) << k;
            EXPECT_EQ(PlaceOfCar(r, c.car[k]), c.place[k]) << k;
        }
    }
    HudRanking r;
    const float six[6] = {0, 1, 2, 3, 4, 5};
    RankForHud(six, 6, &r);  // held to the five cars
    EXPECT_TRUE(r.count == 5u && PlaceOfCar(r, 5) == 0u);
}

TEST(HudTexts, PlacesClockAndSpeed)
{
    const struct { uint32_t place; const char* suffix; } places[] = {
        {2, "nd"}, {3, "rd"}, {4, "th"}, {12, "th"}, {21, "st"}, {111, "th"}};
    for (const auto& p : places)
        EXPECT_STREQ(PlaceSuffix(p.place), p.suffix) << p.place;

    const struct { float seconds; const char* text; } clocks[] = {
        {-3.0f, "0:00.0"}, {59.99f, "0:59.9"}, {125.5f, "2:05.5"}, {NAN, "0:00.0"}, {1e9f, "99:59.9"}};
    char text[16];
    for (const auto& c : clocks) {
        FormatRaceClock(c.seconds, text, sizeof text);
        EXPECT_STREQ(text, c.text) << c.seconds;
    }
    EXPECT_EQ(SpeedKmh(3, 4), 36);  // 5 units/s = 10 m/s
}

TEST(OverviewMap, ProjectsTheGroundOntoTheRectangleNorthUp)
{
    const ViewRect rect = {0.5f, 0.0f, 0.375f, 0.5f};
    const struct { float cell, wx, wz, mx, my; } cases[] = {
        {1.0f, -32.5f, -32.5f, 0.5f, 0.5f},       // the ground's north-west corner: top left
        {1.0f, 31.5f, 31.5f, 0.875f, 0.0f},       // south-east: bottom right
        {2.0f, -65.0f, 63.0f, 0.5f, 0.0f},        // twice the cell: twice the world
        {1.0f, 0.0f, -0.5f, 0.5f + 0.375f * 32.5f / 64.0f, 0.25f},
    };
    for (const auto& c : cases) {
        float mx, my;
        MapPoint(rect, c.cell, c.wx, c.wz, &mx, &my);
        EXPECT_TRUE(fabsf(mx - c.mx) < 1e-6f && fabsf(my - c.my) < 1e-6f) << c.wx << " " << c.wz << ": " << mx << " " << my;
    }
    // The fourth quarter of a 4:3 window: a square of 0.46 window heights, centred.
    const ViewRect map = MapInArea({0.5f, 0.0f, 0.5f, 0.5f}, 4.0f / 3.0f);
    EXPECT_NEAR(map.x + map.w / 2 + map.h + map.w, 0.75f + 0.46f + 0.46f * 0.75f, 1e-6f);
    // A corner map: bottom right of a full view, 0.02 heights from the edges.
    const ViewRect corner = MapInCorner({0, 0, 1, 1}, 0.3f, 1.5f, 1, 0.02f);
    EXPECT_NEAR(corner.x + corner.w, 1.0f - 0.02f / 1.5f, 1e-6f);
    EXPECT_NEAR(corner.y, 0.02f, 1e-6f);
}

TEST(SplitViewArrow, StaysAboveTheEyeLineAndInsideTheView)
{
    // Fields of view of quarters and halves (a half divides it by 1.5).
    for (float fov : {30.0f, 40.0f, 55.0f / 1.5f, 60.0f, 75.0f, 90.0f}) {
        const float t = tanf(fov / 2.0f * 3.14159265f / 180.0f), d = 0.75f;
        const ArrowPlace p = PlaceArrow(t, d);
        // The model reaches 0.16 along its length and 0.035 across its
        // thickness; tipped by `tilt`, its extent up and down the view.
        const float a = p.tilt * 3.14159265f / 180.0f;
        const float reach = p.scale * (0.16f * sinf(a) + 0.035f * cosf(a));
        // Both extremes, seen from the eye, inside (0, top of the view).
        const float nearZ = d - p.scale * 0.16f * cosf(a);
        EXPECT_GT(p.height - reach, 0.0f) << fov;
        EXPECT_LT((p.height + reach) / nearZ, t) << fov;
        EXPECT_GT(p.tilt, atanf(p.height / d) * 57.29578f) << fov;  // its top faces the eye
    }
}

}  // namespace
