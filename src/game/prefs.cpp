#include "game/prefs.h"

#include <cstdio>
#include <cstring>

#include "app/appdir.h"
#include "app/config.h"
#include "app/log.h"
#include "app/settings_file.h"
#include "game/game_state.h"
#include "input/devices.h"
#include "input/keymap.h"

Prefs gPrefs;

static const char kPrefsName[] = "data/prefs.txt";

static void FillDefaults(Prefs& p)
{
    memset(&p, 0, sizeof p);
    p.shadows = 1;
    p.particles = 1;
    p.seffects = 1;
    p.music = 1;
    p.funnywheels = 1;
    p.shadow_resolution = 64;
    p.terrain_pixelskip = 1;
    p.musicvolume = 224;
    p.soundeffectsvolume = 224;
    p.gamemode = 0;
    p.screenmode = 0;
    p.track = 1;
    p.nplayers = 1;
    p.nopponents = 1;
    p.opponentskill = 0;
    p.carCount = 2;
    p.viewCount = 1;
    p.mousesteering = 3;
    p.mousesensitivity = 9;
    p.gamepadsteering = kNoDevicePlayer;
    p.wheelsteering = kNoDevicePlayer;
    for (int32_t& pad : p.padsteering)
        pad = kNoDevicePlayer;
    p.laps = 3;
    p.timelimit = 60;
    p.viewKeyReleased = 1;
    // Each car's default name is its colour, so the standings tell them apart.
    static const char* const names[5] = {"Blue", "Green", "Red", "Yellow", "Cyan"};
    for (int i = 0; i < 5; i++)
        snprintf(p.playername[i], sizeof p.playername[i], "%s", names[i]);
    snprintf(p.p2p_ip, sizeof p.p2p_ip, "%s", "192.168.0.2");
    static const float colours[5][3] = {{0, 0, 1}, {0, 1, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 1}};
    memcpy(p.playerColour, colours, sizeof colours);
    p.medalshowtime = 10.0f;
    static const int32_t keys[4][5] = {
        {38, 37, 40, 39, 16},      // arrows, Shift
        {87, 65, 83, 68, 81},      // W A S D, Q
        {73, 74, 75, 76, 85},      // I J K L, U
        {109, 104, 107, 105, 106}, // keypad - 8 + 9 *
    };
    memcpy(p.playerctrls, keys, sizeof keys);
}

void SetDefaultPrefs()
{
    FillDefaults(gPrefs);
}

static void ReadFlag(SettingsReader& reader, uint8_t* flag)
{
    int32_t v;
    if (reader.ReadInt(&v))
        *flag = (uint8_t)v;
}

// Reads a one-word text value.  A name left empty in the menus is saved as
// its key and a space, the next key on the next line: the empty value is
// told by its line ending there, so a name spelt like a key ("laps") is
// still a name.
static void ReadTextValue(SettingsReader& reader, char* value, int size)
{
    char word[256];
    if (reader.LineBlankAhead() || !reader.NextWord(word, sizeof word)) {
        value[0] = 0;
        return;
    }
    size_t n = strlen(word);
    if (n > (size_t)size - 1)
        n = (size_t)size - 1;
    memcpy(value, word, n);
    value[n] = 0;
}

static void ReadPrefs(SettingsReader& reader)
{
    struct FlagKey { const char* name; uint8_t* field; };
    struct IntKey { const char* name; int32_t* field; };
    const FlagKey flags[] = {
        {"shadows", &gPrefs.shadows}, {"particles", &gPrefs.particles}, {"seffects", &gPrefs.seffects},
        {"music", &gPrefs.music}, {"funnywheels", &gPrefs.funnywheels}, {"alternate", &gPrefs.alternate},
    };
    const IntKey ints[] = {
        {"shadow_resolution", &gPrefs.shadow_resolution}, {"terrain_pixelskip", &gPrefs.terrain_pixelskip},
        {"musicvolume", &gPrefs.musicvolume}, {"soundeffectsvolume", &gPrefs.soundeffectsvolume},
        {"gamemode", &gPrefs.gamemode}, {"screenmode", &gPrefs.screenmode}, {"track", &gPrefs.track},
        {"nplayers", &gPrefs.nplayers}, {"nopponents", &gPrefs.nopponents},
        {"opponentskill", &gPrefs.opponentskill}, {"mousesteering", &gPrefs.mousesteering},
        {"mousesensitivity", &gPrefs.mousesensitivity}, {"gamepadsteering", &gPrefs.gamepadsteering},
        {"wheelsteering", &gPrefs.wheelsteering}, {"laps", &gPrefs.laps}, {"timelimit", &gPrefs.timelimit},
        {"pad2steering", &gPrefs.padsteering[0]}, {"pad3steering", &gPrefs.padsteering[1]},
        {"pad4steering", &gPrefs.padsteering[2]},
        {"targetfps", &gPrefs.targetfps},
    };
    char word[256];
    while (reader.NextWord(word, sizeof word)) {
        bool done = false;
        for (const FlagKey& key : flags)
            if (!done && strcmp(word, key.name) == 0) {
                ReadFlag(reader, key.field);
                done = true;
            }
        for (const IntKey& key : ints)
            if (!done && strcmp(word, key.name) == 0) {
                reader.ReadInt(key.field);
                done = true;
            }
        if (done)
            continue;
        if (strcmp(word, "medalshowtime") == 0) {
            reader.ReadFloat(&gPrefs.medalshowtime);
        } else if (strcmp(word, "p2p_ip") == 0 || strcmp(word, "player6name") == 0) {
            ReadTextValue(reader, gPrefs.p2p_ip, sizeof gPrefs.p2p_ip);
        } else if (strncmp(word, "player", 6) == 0 && word[6] >= '1' && word[6] <= '5' &&
                   strcmp(word + 7, "name") == 0) {
            char* name = gPrefs.playername[word[6] - '1'];
            ReadTextValue(reader, name, 16);
        } else if (strncmp(word, "player", 6) == 0 && word[6] >= '1' && word[6] <= '4' &&
                   strcmp(word + 7, "ctrls") == 0) {
            int32_t* keys = gPrefs.playerctrls[word[6] - '1'];
            for (int k = 0; k < 5; k++)
                if (!reader.ReadInt(&keys[k]))
                    break;
        }
    }
}

void LoadPrefs()
{
    SetDefaultPrefs();
    FILE* file = OpenDataFile(kPrefsName, "r");
    if (!file) {
        LogMessage("MINOR ERROR (not found): %s [using defaults]", kPrefsName);
        SavePrefs();
    } else {
        SettingsReader reader;
        reader.Load(file);
        fclose(file);
        ReadPrefs(reader);
    }
    LogMessage("Loading prefs: %s", kPrefsName);
    NormalisePrefs();
}

// `value` when it lies in lo..hi, else the default.
static int32_t InRangeOr(int32_t value, int32_t lo, int32_t hi, int32_t fallback)
{
    return value >= lo && value <= hi ? value : fallback;
}

// True for a code some key of the keyboard gives (the key table).
static bool IsKeyCode(int32_t code)
{
    if (code < 0 || code >= kKeyCount)
        return false;
    for (int usage = 0; usage < 256; usage++)
        if (KeyCodeFromUsage(usage) == code)
            return true;
    return false;
}

void NormalisePrefs()
{
    // Values a hand-edited file may hold out of range go back to their
    // defaults (never to 0, which is no usable race length or key).
    Prefs defaults;
    FillDefaults(defaults);
    Prefs& p = gPrefs;
    const Prefs& d = defaults;
    p.nplayers = InRangeOr(p.nplayers, 1, 4, d.nplayers);
    p.nopponents = InRangeOr(p.nopponents, 0, 4, d.nopponents);
    p.gamemode = InRangeOr(p.gamemode, 0, 1, d.gamemode);
    p.opponentskill = InRangeOr(p.opponentskill, 0, 2, d.opponentskill);
    if (p.shadow_resolution != 0 && p.shadow_resolution != 1 && p.shadow_resolution != 32 &&
        p.shadow_resolution != 64 && p.shadow_resolution != 128)
        p.shadow_resolution = d.shadow_resolution;
    p.terrain_pixelskip = InRangeOr(p.terrain_pixelskip, 1, 32, d.terrain_pixelskip);
    p.musicvolume = InRangeOr(p.musicvolume, 0, 255, d.musicvolume);
    p.soundeffectsvolume = InRangeOr(p.soundeffectsvolume, 0, 255, d.soundeffectsvolume);
    p.mousesensitivity = InRangeOr(p.mousesensitivity, 1, 100, d.mousesensitivity);
    p.laps = InRangeOr(p.laps, 1, 99, d.laps);
    p.timelimit = InRangeOr(p.timelimit, 1, 3600, d.timelimit);
    if (!(p.medalshowtime >= 0.0f && p.medalshowtime <= 3600.0f))
        p.medalshowtime = d.medalshowtime;
    int32_t* devices[] = {&p.mousesteering, &p.gamepadsteering, &p.wheelsteering,
                          &p.padsteering[0], &p.padsteering[1], &p.padsteering[2]};
    for (int32_t* device : devices)
        if (*device < 0 || *device > 3)
            *device = kNoDevicePlayer;
    // Escape opens the race menu, so it drives nothing either.
    for (int i = 0; i < 4; i++)
        for (int k = 0; k < 5; k++)
            if (!IsKeyCode(p.playerctrls[i][k]) || p.playerctrls[i][k] == kKeyEscape)
                p.playerctrls[i][k] = d.playerctrls[i][k];
    for (auto& name : gPrefs.playername)
        name[15] = 0;
    gPrefs.p2p_ip[15] = 0;
    if (gPrefs.targetfps != 30 && gPrefs.targetfps != 45 && gPrefs.targetfps != 60)
        gPrefs.targetfps = 0;

    uint32_t cars = (uint32_t)gPrefs.nplayers + (uint32_t)gPrefs.nopponents;
    gPrefs.carCount = cars > 5 ? 5 : cars;
    gPrefs.viewCount = (uint32_t)gPrefs.nplayers;
    if (gPrefs.nplayers == 3 || gPrefs.nplayers == 4)
        gPrefs.screenmode = 2;
    else if (gPrefs.nplayers == 2)
        gPrefs.screenmode = 1;
    else
        gPrefs.screenmode = 0;
    if (gPrefs.viewCount > 3)
        gPrefs.viewCount = 3;
    if ((uint32_t)gPrefs.track >= (uint32_t)gConfig.trackCount)
        gPrefs.track = gConfig.trackCount > 0 ? gConfig.trackCount - 1 : 0;
    if (gConfig.depth == 16)
        gPrefs.shadows = 0;
}

void SavePrefs()
{
    NormalisePrefs();
    if (gGame.demo)  // a demo changes nothing on disk
        return;
    FILE* file = BeginSettingsSave(kPrefsName);
    if (!file) {
        LogMessage("ERROR (not found): %s", kPrefsName);
        ExitProgram();
    }
    const Prefs& p = gPrefs;
    fprintf(file, "shadows %d\n", p.shadows ? 1 : 0);
    fprintf(file, "particles %d\n", p.particles ? 1 : 0);
    fprintf(file, "seffects %d\n", p.seffects ? 1 : 0);
    fprintf(file, "music %d\n", p.music ? 1 : 0);
    fprintf(file, "funnywheels %d\n", p.funnywheels ? 1 : 0);
    fprintf(file, "shadow_resolution %d\n", p.shadow_resolution);
    fprintf(file, "terrain_pixelskip %d\n", p.terrain_pixelskip);
    fprintf(file, "musicvolume %d\n", p.musicvolume);
    fprintf(file, "soundeffectsvolume %d\n", p.soundeffectsvolume);
    fprintf(file, "gamemode %d\n", p.gamemode);
    fprintf(file, "screenmode %d\n", p.screenmode);
    fprintf(file, "track %d\n", p.track);
    fprintf(file, "nplayers %d\n", p.nplayers);
    fprintf(file, "nopponents %d\n", p.nopponents);
    fprintf(file, "opponentskill %d\n", p.opponentskill);
    fprintf(file, "medalshowtime %f\n", p.medalshowtime);
    fprintf(file, "mousesteering %d\n", p.mousesteering);
    fprintf(file, "mousesensitivity %d\n", p.mousesensitivity);
    fprintf(file, "gamepadsteering %d\n", p.gamepadsteering);
    fprintf(file, "wheelsteering %d\n", p.wheelsteering);
    fprintf(file, "laps %d\n", p.laps);
    fprintf(file, "timelimit %d\n", p.timelimit);
    fprintf(file, "p2p_ip %s\n", p.p2p_ip);
    for (int i = 0; i < 4; i++) {
        const int32_t* k = p.playerctrls[i];
        fprintf(file, "player%dname %s\n", i + 1, p.playername[i]);
        fprintf(file, "player%dctrls %d %d %d %d %d\n", i + 1, k[0], k[1], k[2], k[3], k[4]);
    }
    fprintf(file, "player5name %s\n", p.playername[4]);
    fprintf(file, "player6name %s\n", p.p2p_ip);
    for (int k = 0; k < 3; k++)  // added with more pads: older files end above
        fprintf(file, "pad%dsteering %d\n", k + 2, p.padsteering[k]);
    fprintf(file, "targetfps %d\n", p.targetfps);
    if (p.alternate)  // a file without the key reads as tournaments of one mode
        fprintf(file, "alternate 1\n");
    if (!EndSettingsSave(file, kPrefsName)) {
        LogMessage("ERROR (not found): %s", kPrefsName);
        ExitProgram();
    }
    LogMessage("Saving prefs: %s", kPrefsName);
}

void CycleScreenMode()
{
    if (KeyDown(48)) {
        if (gPrefs.viewKeyReleased) {
            gPrefs.viewKeyReleased = 0;
            gPrefs.screenmode++;
            if ((uint32_t)gPrefs.screenmode >= gPrefs.viewCount)
                gPrefs.screenmode = 0;
        }
    } else {
        gPrefs.viewKeyReleased = 1;
    }
}
