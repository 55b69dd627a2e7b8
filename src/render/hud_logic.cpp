// Places, names, clock and speed texts, text scale and the map projection.
#include "render/hud_logic.h"

#include <cmath>
#include <cstdio>

#include "game/prefs.h"

void RankForHud(const float* score, uint32_t count, HudRanking* out)
{
    if (count > 5)
        count = 5;
    out->count = count;
    // Stable insertion by descending score: equal scores stay in index order.
    for (uint32_t c = 0; c < count; c++) {
        uint32_t k = c;
        while (k > 0 && score[out->car[k - 1]] < score[c]) {
            out->car[k] = out->car[k - 1];
            k--;
        }
        out->car[k] = c;
    }
    for (uint32_t k = 0; k < count; k++) {
        if (k > 0 && score[out->car[k]] == score[out->car[k - 1]])
            out->place[k] = out->place[k - 1];
        else
            out->place[k] = k + 1;
    }
}

uint32_t PlaceOfCar(const HudRanking& ranking, uint32_t car)
{
    for (uint32_t k = 0; k < ranking.count; k++)
        if (ranking.car[k] == car)
            return ranking.place[k];
    return 0;
}

const char* PlaceSuffix(uint32_t place)
{
    if (place % 100 >= 11 && place % 100 <= 13)
        return "th";
    switch (place % 10) {
    case 1:
        return "st";
    case 2:
        return "nd";
    case 3:
        return "rd";
    default:
        return "th";
    }
}

void FormatRaceClock(float seconds, char* out, int size)
{
    if (!(seconds > 0.0f))
        seconds = 0.0f;
    if (seconds > 5999.9f)
        seconds = 5999.9f;
    const int tenths = (int)(seconds * 10.0f);
    snprintf(out, (size_t)size, "%d:%02d.%d", tenths / 600, tenths / 10 % 60, tenths % 10);
}

int SpeedKmh(float vx, float vz)
{
    const float metresPerSecond = sqrtf(vx * vx + vz * vz) * 2.0f;
    return (int)(metresPerSecond * 3.6f + 0.5f);
}

float HudTextScale(float viewHeight)
{
    const float scale = 1.0f + 0.8f * viewHeight;
    return scale > 1.0f ? scale : 1.0f;
}

void CarDisplayName(const Prefs& prefs, uint32_t car, bool human, char* out, int size)
{
    static const char* const kCpuNames[5] = {"Dusty", "Rattle", "Pebble", "Skid", "Gravel"};
    if (car > 4)
        car = 4;
    if (human)
        snprintf(out, (size_t)size, "%s", prefs.playername[car]);
    else
        snprintf(out, (size_t)size, "CPU %s", kCpuNames[car]);
}

void MapPoint(const ViewRect& rect, float cellSize, float wx, float wz, float* mx, float* my)
{
    const float s = cellSize != 0.0f ? cellSize : 1.0f;
    *mx = rect.x + rect.w * ((wx / s + 32.5f) / 64.0f);
    *my = rect.y + rect.h * (1.0f - (wz / s + 32.5f) / 64.0f);
}

ViewRect MapInCorner(const ViewRect& view, float side, float aspect, int corner, float margin)
{
    const float w = side / aspect, mw = margin / aspect;
    ViewRect r;
    r.w = w;
    r.h = side;
    r.x = (corner == 1 || corner == 3) ? view.x + view.w - mw - w : view.x + mw;
    r.y = corner >= 2 ? view.y + view.h - margin - side : view.y + margin;
    return r;
}

ViewRect MapInArea(const ViewRect& area, float aspect)
{
    // Side in window heights: the smaller of the area's height and its
    // width expressed in heights.
    float side = area.h;
    if (area.w * aspect < side)
        side = area.w * aspect;
    side *= 0.92f;
    ViewRect r;
    r.h = side;
    r.w = side / aspect;
    r.x = area.x + (area.w - r.w) / 2.0f;
    r.y = area.y + (area.h - r.h) / 2.0f;
    return r;
}

ArrowPlace PlaceArrow(float tanHalfFov, float distance)
{
    const float halfHeight = tanHalfFov * distance;
    ArrowPlace p;
    p.scale = halfHeight / 0.55f;
    if (p.scale > 1.0f)
        p.scale = 1.0f;
    p.height = halfHeight * 0.5f;
    p.tilt = atanf(p.height / distance) * 57.2957795f + 35.0f;
    return p;
}
