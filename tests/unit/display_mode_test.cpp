// Choosing the display mode: the fallbacks of a mode the display cannot
// have, and the sizes the graphics options step through.
#include <gtest/gtest.h>

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
    EXPECT_EQ(Plan({800, 600, 1}, true),
              (Names{"800x600 full screen", "1024x768 full screen", "800x600 window"}));
    EXPECT_EQ(Plan({1024, 768, 1}, true), (Names{"1024x768 full screen", "1024x768 window"}));
    EXPECT_EQ(Plan({1024, 768, 1}, false), (Names{"1024x768 full screen", "1024x768 window"}));
    EXPECT_EQ(Plan({8192, 8192, 1}, false), (Names{"1024x768 full screen", "1024x768 window"}));
    // Windows: the asked one when it fits, else one held to the desktop.
    EXPECT_EQ(Plan({800, 600, 0}, false), (Names{"800x600 window"}));
    EXPECT_EQ(Plan({1024, 768, 0}, false), (Names{"1024x768 window"}));
    EXPECT_EQ(Plan({8192, 240, 0}, false), (Names{"1024x240 window"}));
}

TEST(DisplayModeList, ReportedSizesPlusTheRunningOneInOrder)
{
    const int32_t reported[][2] = {{1280, 1024}, {800, 600}, {1280, 1024}, {0, 0}, {1280, 960}};
    int32_t list[kMaxResolutions][2];
    int n = BuildResolutionList(reported, 5, 1000, 700, nullptr, list);
    ASSERT_EQ(n, 4);
    const int32_t expect[4][2] = {{800, 600}, {1000, 700}, {1280, 960}, {1280, 1024}};
    for (int i = 0; i < n; i++) {
        EXPECT_EQ(list[i][0], expect[i][0]) << i;
        EXPECT_EQ(list[i][1], expect[i][1]) << i;
    }
    // A window takes the common sizes too, but only what fits on the desktop.
    const DisplayMode desktop = {1152, 900, 1};
    n = BuildResolutionList(reported, 5, 1024, 768, &desktop, list);
    ASSERT_EQ(n, 4);  // 640x480 800x600 1024x768 1152x864
    EXPECT_EQ(list[1][0], 800);
    EXPECT_EQ(list[3][0], 1152);
    EXPECT_EQ(BuildResolutionList(nullptr, 0, 1024, 768, nullptr, list), 1);
}

TEST(DisplayModeList, StepsBothWaysAndWrap)
{
    const int32_t list[3][2] = {{800, 600}, {1024, 768}, {1280, 1024}};
    int32_t w = 1280, h = 1024;
    StepResolutionIn(list, 3, true, &w, &h);
    EXPECT_EQ(w, 800);
    StepResolutionIn(list, 3, false, &w, &h);
    EXPECT_EQ(w, 1280);
    StepResolutionIn(list, 3, false, &w, &h);
    EXPECT_EQ(w, 1024);
    EXPECT_EQ(h, 768);
    w = 1000;  // not in the list
    StepResolutionIn(list, 3, true, &w, &h);
    EXPECT_EQ(w, 800);
    w = 1000;
    StepResolutionIn(list, 3, false, &w, &h);
    EXPECT_EQ(w, 1280);
}

}  // namespace
