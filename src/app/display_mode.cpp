#include "app/display_mode.h"

#include <algorithm>
#include <cstdio>

DisplayChange gDisplayChange;

int PlanDisplayModes(const DisplayMode& asked, const DisplayMode& desktop, bool askedReported,
                     DisplayMode plan[3])
{
    int n = 0;
    bool fits = asked.width <= desktop.width && asked.height <= desktop.height;
    if (asked.fullscreen ? askedReported : fits)
        plan[n++] = asked;
    bool askedIsDesktop = asked.width == desktop.width && asked.height == desktop.height;
    if (asked.fullscreen && !(n == 1 && askedIsDesktop))
        plan[n++] = {desktop.width, desktop.height, 1};
    DisplayMode window = {std::min(asked.width, desktop.width), std::min(asked.height, desktop.height), 0};
    if (n == 0 || plan[n - 1].fullscreen)
        plan[n++] = window;
    return n;
}

void DescribeDisplayMode(const DisplayMode& mode, char* text, int size)
{
    snprintf(text, (size_t)size, "%dx%d %s", mode.width, mode.height, mode.fullscreen ? "full screen" : "window");
}

int BuildResolutionList(const int32_t (*reported)[2], int reportedCount, int32_t width, int32_t height,
                        const DisplayMode* windowLimit, int32_t (*list)[2])
{
    int n = 0;
    auto add = [&](int32_t w, int32_t h) {
        for (int i = 0; i < n; i++)
            if (list[i][0] == w && list[i][1] == h)
                return;
        if (n < kMaxResolutions) {
            list[n][0] = w;
            list[n][1] = h;
            n++;
        }
    };
    add(width, height);
    auto fits = [&](int32_t w, int32_t h) {
        return !windowLimit || (w <= windowLimit->width && h <= windowLimit->height);
    };
    for (int i = 0; i < reportedCount; i++)
        if (reported[i][0] > 0 && reported[i][1] > 0 && fits(reported[i][0], reported[i][1]))
            add(reported[i][0], reported[i][1]);
    static const int32_t kCommon[6][2] = {{640, 480},  {800, 600},  {1024, 768},
                                          {1152, 864}, {1280, 960}, {1600, 1200}};
    if (windowLimit)
        for (const auto& size : kCommon)
            if (fits(size[0], size[1]))
                add(size[0], size[1]);
    for (int i = 1; i < n; i++) {
        for (int j = i; j > 0; j--) {
            int32_t* a = list[j - 1];
            int32_t* b = list[j];
            if (a[0] < b[0] || (a[0] == b[0] && a[1] <= b[1]))
                break;
            std::swap(a[0], b[0]);
            std::swap(a[1], b[1]);
        }
    }
    return n;
}

void StepResolutionIn(const int32_t (*list)[2], int count, bool forward, int32_t* width, int32_t* height)
{
    if (count <= 0)
        return;
    int at = -1;
    for (int i = 0; i < count; i++)
        if (list[i][0] == *width && list[i][1] == *height)
            at = i;
    int next;
    if (at < 0)
        next = forward ? 0 : count - 1;
    else
        next = forward ? (at + 1) % count : (at + count - 1) % count;
    *width = list[next][0];
    *height = list[next][1];
}
