// What the menu buttons step through: set-up cycles both ways and their
// wraps, volumes, shadows, colour depth and the apply button, key binding
// and name entry.
#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <cstring>
#include <string>

#include "game/menu_logic.h"
#include "game/prefs.h"

namespace {

Prefs Start()
{
    Prefs p;
    memset(&p, 0, sizeof p);
    p.nplayers = p.nopponents = 1;
    p.timelimit = 60;
    p.laps = 3;
    return p;
}

void Laps(Prefs& p, int d) { CycleLaps(p, d); }
void Time(Prefs& p, int d) { CycleTimeLimit(p, d); }
void Track(Prefs& p, int d) { CycleTrack(p, 6, d); }
void Players(Prefs& p, int d) { CyclePlayers(p, d); }
void Opponents(Prefs& p, int d) { CycleOpponents(p, d); }

TEST(MenuValues, CyclesWrapBothWaysAndKeepTheCarCount)
{
    // Each row: a value before, one step, the value after (and the other
    // count where the step moves it).
    const struct { const char* what; void (*step)(Prefs&, int); int32_t Prefs::*field; int32_t from, dir, to;
                   int32_t Prefs::*other; int32_t otherFrom, otherTo; } rows[] = {
        {"time up", Time, &Prefs::timelimit, 60, 1, 10, nullptr, 0, 0},
        {"time down", Time, &Prefs::timelimit, 10, -1, 60, nullptr, 0, 0},
        {"laps up", Laps, &Prefs::laps, 12, 1, 3, nullptr, 0, 0},
        {"laps down", Laps, &Prefs::laps, 3, -1, 12, nullptr, 0, 0},
        {"skill up", CycleSkill, &Prefs::opponentskill, 2, 1, 0, nullptr, 0, 0},
        {"track down", Track, &Prefs::track, 0, -1, 5, nullptr, 0, 0},
        {"opponents to five cars", Opponents, &Prefs::nopponents, 3, 1, 4, nullptr, 0, 0},
        {"opponents down", Opponents, &Prefs::nopponents, 0, -1, 4, nullptr, 0, 0},
        {"opponents of four players", Opponents, &Prefs::nopponents, 1, 1, 0, &Prefs::nplayers, 4, 4},
        {"players leave a computer car", Players, &Prefs::nplayers, 3, 1, 4, &Prefs::nopponents, 2, 1},
        {"players wrap, opponents stay", Players, &Prefs::nplayers, 4, 1, 1, &Prefs::nopponents, 1, 1},
        {"players down", Players, &Prefs::nplayers, 1, -1, 4, &Prefs::nopponents, 4, 1},
    };
    for (const auto& r : rows) {
        Prefs p = Start();
        p.*r.field = r.from;
        if (r.other)
            p.*r.other = r.otherFrom;
        r.step(p, r.dir);
        EXPECT_TRUE(p.*r.field == r.to && (!r.other || p.*r.other == r.otherTo)) << r.what;
    }
    Prefs p = Start();
    CycleTrack(p, 0);  // no usable track: nothing to step to
    EXPECT_EQ(p.track, 0);
    // Hand-edited extremes come back into the menus' ranges.
    p.timelimit = INT32_MIN;
    p.laps = INT32_MAX;
    p.track = INT32_MAX;
    CycleTimeLimit(p);
    CycleLaps(p);
    CycleTrack(p, 6);
    EXPECT_TRUE(p.timelimit >= 10 && p.timelimit <= 64) << p.timelimit;
    EXPECT_TRUE(p.laps >= 3 && p.laps <= 12) << p.laps;
    EXPECT_TRUE(p.track >= 0 && p.track < 6) << p.track;
}

TEST(MenuValues, VolumeSensitivityShadowsAndColourDepthSteps)
{
    const struct { int32_t from; bool down; int32_t to, percent; } volumes[] = {
        {224, false, 224, 100}, {224, true, 192, 85}, {16, true, 0, 0}, {INT32_MIN, true, 0, 0}, {200, false, 224, 100},
    };
    for (const auto& v : volumes) {
        EXPECT_EQ(StepVolume(v.from, v.down), v.to) << v.from;
        EXPECT_EQ(VolumePercent(v.to), v.percent) << v.from;
    }
    const struct { int32_t from, dir, to; } sensitivity[] = {{3, 1, 6}, {15, 1, 3}, {7, 1, 10}, {-4, 1, 14}, {3, -1, 15}};
    for (const auto& s : sensitivity)
        EXPECT_EQ(StepSensitivity(s.from, s.dir), s.to) << s.from << " " << s.dir;
    // Shadows: the last dynamic size steps back to off; forced off (16-bit colour) reads Off.
    Prefs p = Start();
    p.shadows = 1;
    p.shadow_resolution = 128;
    StepShadows(p);
    EXPECT_EQ(p.shadows, 0);
    char text[32];
    p.shadow_resolution = 64;
    ShadowText(p, text, sizeof text);
    EXPECT_STREQ(text, "Off");
    // Colour depth toggles; Apply shows only while the pending mode differs.
    const int32_t d = StepColourDepth(32);
    EXPECT_TRUE(d == 16 && ApplyShown(1024, 768, d, 1024, 768, 32));
    EXPECT_FALSE(ApplyShown(1024, 768, StepColourDepth(d), 1024, 768, 32));
    EXPECT_TRUE(ApplyShown(1024, 1024, 32, 1024, 768, 32));
}

TEST(MenuValues, TheHighestHeldKeyBinds)
{
    uint8_t down[255] = {};
    EXPECT_EQ(HeldKey(down), -1);
    down[16] = down[87] = down[254] = 1;
    EXPECT_EQ(HeldKey(down), 254);
}

TEST(MenuValues, NameEntryTypesTwelveCharactersOfOneWord)
{
    char name[16] = "";
    const struct { const char* typed; bool backspace, changed; const char* after; } keys[] = {
        {"B", false, true, "B"}, {"ob7", false, true, "Bob7"}, {" ", false, false, "Bob7"}, {"", true, true, "Bob"},
        {"", false, false, "Bob"}, {"\xc3\xa9!", false, true, "Bob!"},  // a UTF-8 letter has no glyph
        {"x", true, true, "Bobx"},                                      // Backspace first, then the text
        {"abcdefghijklm", false, true, "Bobxabcdefgh"}, {"z", false, false, "Bobxabcdefgh"},
    };
    for (const auto& k : keys)
        EXPECT_TRUE(EditName(name, k.typed, k.backspace) == k.changed && std::string(name) == k.after) << k.typed;
    char full[16];
    memset(full, 'x', sizeof full);  // no terminator at all
    EXPECT_FALSE(EditName(full, "a", false));  // 15 characters: longer than typing allows
    EXPECT_TRUE(full[15] == 0 && EditName(full, "", true) && strlen(full) == 14u);
}

}  // namespace
