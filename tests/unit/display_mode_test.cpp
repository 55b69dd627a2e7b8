// Choosing the display mode: the fallbacks of a mode the display cannot
// have, and the sizes the graphics options step through.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/display_mode.h"

namespace {

std::vector<std::string> Plan(DisplayMode asked, bool reported)
{
    const DisplayMode desktop = {1024, 768, 1};
    DisplayMode plan[3];
    int n = PlanDisplayModes(asked, desktop, reported, plan);
    std::vector<std::string> out;
    for (int i = 0; i < n; i++) {
        char text[64];
        DescribeDisplayMode(plan[i], text, sizeof text);
        out.push_back(text);
    }
    return out;
}

using Names = std::vector<std::string>;

TEST(DisplayModePlan, FallbacksEndInAWindowThatFits)
{
    // The default 800 x 600 full screen on a 1024 x 768 desktop without that mode.
    EXPECT_EQ(Plan({800, 600, 1}, false), (Names{"1024x768 full screen", "800x600 window"}));
    EXPECT_EQ(Plan({800, 600, 1}, true), (Names{"800x600 full screen", "1024x768 full screen", "800x600 window"}));
    // Windows: the asked one when it fits, else one held to the desktop.
    EXPECT_EQ(Plan({8192, 240, 0}, false), (Names{"1024x240 window"}));
}

TEST(DisplayModeList, ReportedSizesPlusTheRunningOneInOrder)
{
    const int32_t reported[][2] = {{1280, 1024}, {800, 600}, {1280, 1024}, {0, 0}, {1280, 960}};
    int32_t list[kMaxResolutions][2];
    const int32_t expect[4][2] = {{800, 600}, {1000, 700}, {1280, 960}, {1280, 1024}};
    ASSERT_EQ(BuildResolutionList(reported, 5, 1000, 700, nullptr, list), 4);
    EXPECT_EQ(memcmp(list, expect, sizeof expect), 0);
    // A window takes the common sizes too, but only what fits on the desktop.
    const DisplayMode desktop = {1152, 900, 1};
    ASSERT_EQ(BuildResolutionList(reported, 5, 1024, 768, &desktop, list), 4);  // 640x480 800x600 1024x768 1152x864
    EXPECT_EQ(list[3][0], 1152);
    EXPECT_EQ(BuildResolutionList(nullptr, 0, 1024, 768, nullptr, list), 1);
}

TEST(DisplayModeList, StepsBothWaysWrapAndLeaveUnlistedSizes)
{
    const int32_t list[3][2] = {{800, 600}, {1024, 768}, {1280, 1024}};
    const struct { int32_t w; bool up; int32_t to; } steps[] = {
        {1280, true, 800}, {800, false, 1280}, {1000, true, 800}, {1000, false, 1280}};
    for (const auto& s : steps) {
        int32_t w = s.w, h = s.w == 800 ? 600 : s.w == 1280 ? 1024 : 700;
        StepResolutionIn(list, 3, s.up, &w, &h);
        EXPECT_EQ(w, s.to) << s.w << (s.up ? " up" : " down");
        EXPECT_EQ(h, s.to == 800 ? 600 : s.to == 1024 ? 768 : 1024);
    }
}

}  // namespace
